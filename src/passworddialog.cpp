// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "passworddialog.h"

#include <utils/qtcassert.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace Tamarek::Internal {

PasswordDialogPrivate::PasswordDialogPrivate(const QString &prompt)
{
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto layout = new QVBoxLayout(this);

    auto promptLabel = new QLabel(prompt);
    promptLabel->setObjectName("promptLabel");
    promptLabel->setTextFormat(Qt::PlainText);
    layout->addWidget(promptLabel);

    m_passwordLineEdit = new QLineEdit;
    m_passwordLineEdit->setObjectName("passwordLineEdit");
    m_passwordLineEdit->setEchoMode(QLineEdit::Password);
    auto formLayout = new QFormLayout;
    formLayout->addRow(tr("Password:"), m_passwordLineEdit);
    layout->addLayout(formLayout);

    m_rememberCheckBox = new QCheckBox(tr("Remember for this session"));
    m_rememberCheckBox->setObjectName("rememberCheckBox");
    m_rememberCheckBox->setToolTip(tr("Kept in memory only, until a signing with it fails, the "
                                      "IDE ends or the remembered passphrases are forgotten."));
    formLayout->addRow(QString(), m_rememberCheckBox);
    formLayout->setRowVisible(m_rememberCheckBox, false);

    m_errorLabel = new QLabel;
    m_errorLabel->setObjectName("errorLabel");
    m_errorLabel->setStyleSheet("color: red");
    m_errorLabel->hide();
    layout->addWidget(m_errorLabel);

    auto buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &PasswordDialogPrivate::validate);
    layout->addWidget(buttonBox);

    m_passwordLineEdit->setFocus(Qt::OtherFocusReason);
}

PasswordDialogPrivate::~PasswordDialogPrivate() = default;

QString PasswordDialogPrivate::takePassword()
{
    const QString password = m_passwordLineEdit->text();
    // setText, unlike clear, also drops the field's undo history.
    m_passwordLineEdit->setText({});
    return password;
}

void PasswordDialogPrivate::setRememberOffered(bool offered)
{
    m_rememberOffered = offered;
    if (auto formLayout = findChild<QFormLayout *>())
        formLayout->setRowVisible(m_rememberCheckBox, offered);
}

bool PasswordDialogPrivate::remember() const
{
    return m_rememberOffered && m_rememberCheckBox->isChecked();
}

void PasswordDialogPrivate::validate()
{
    static const QRegularExpression lineBreak("\r\n|\r|\n");
    const QString password = m_passwordLineEdit->text();
    if (password.isEmpty()) {
        m_errorLabel->setText(tr("Password can't be empty"));
        m_errorLabel->show();
    } else if (password.contains(lineBreak)) {
        m_errorLabel->setText(tr("Password contains invalid newline characters"));
        m_errorLabel->show();
    } else {
        accept();
        return;
    }
    m_passwordLineEdit->setFocus(Qt::OtherFocusReason);
}

QString getPassword(const QString &prompt, bool *ok, bool *remember)
{
    QTC_ASSERT(ok, return {});
    auto dialog = new PasswordDialogPrivate(prompt);
    dialog->setRememberOffered(remember != nullptr);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    QString password;
    if (accepted)
        password = dialog->takePassword();
    if (remember)
        *remember = accepted && dialog->remember();
    dialog->deleteLater();
    *ok = accepted;
    return password;
}

} // namespace Tamarek::Internal
