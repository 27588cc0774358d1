// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QDialog>

QT_BEGIN_NAMESPACE
class QCheckBox;
class QLabel;
class QLineEdit;
QT_END_NAMESPACE

namespace Tamarek::Internal {

class PasswordDialogPrivate : public QDialog
{
    Q_OBJECT

public:
    explicit PasswordDialogPrivate(const QString &prompt);
    ~PasswordDialogPrivate() override;

    // Hands the passphrase over and clears the field, so the dialog keeps no copy.
    QString takePassword();

    // Offers "Remember for this session", unticked.
    void setRememberOffered(bool offered);
    bool remember() const;

private:
    void validate();

    QLineEdit *m_passwordLineEdit = nullptr;
    QLabel *m_errorLabel = nullptr;
    QCheckBox *m_rememberCheckBox = nullptr;
    bool m_rememberOffered = false;
};

// Asks for the passphrase that a tool's prompt line asks for; a null string
// and *ok false when the user cancels. With remember given, the dialog offers
// to remember the answer and tells whether the user wants it.
QString getPassword(const QString &prompt, bool *ok, bool *remember = nullptr);

} // namespace Tamarek::Internal
