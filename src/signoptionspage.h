// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <coreplugin/dialogs/ioptionspage.h>

#include <QObject>
#include <QPointer>

namespace Tamarek::Internal {

class SignOptionsWidget;

// Registers itself with the options dialog when made.
class SignOptionsPage final : public QObject, public Core::IOptionsPage
{
    Q_OBJECT

public:
    SignOptionsPage();
    ~SignOptionsPage() final;

    QWidget *widget() final;
    void apply() final;
    void finish() final;
    bool matches(const QRegularExpression &regexp) const final;

private:
    QPointer<SignOptionsWidget> m_widget;
    QString m_searchKeywords;
};

} // namespace Tamarek::Internal
