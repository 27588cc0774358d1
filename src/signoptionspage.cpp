// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signoptionspage.h"

#include "signoptionswidget.h"
#include "tamarekconstants.h"

#include <utils/qtcassert.h>

#include <QRegularExpression>

namespace Tamarek::Internal {

SignOptionsPage::SignOptionsPage()
{
    setId(Utils::Id(Constants::SIGN_OPTIONS_PAGE_ID));
    setDisplayName(tr("Sign packages"));
    setCategory(Utils::Id(Constants::OPTIONS_CATEGORY_ID));
}

SignOptionsPage::~SignOptionsPage() = default;

QWidget *SignOptionsPage::widget()
{
    if (!m_widget) {
        m_widget = new SignOptionsWidget;
        m_searchKeywords = m_widget->searchKeywords();
    }
    return m_widget;
}

void SignOptionsPage::apply()
{
    QTC_ASSERT(m_widget, return);
    m_widget->saveSettings();
}

void SignOptionsPage::finish()
{
    delete m_widget;
}

bool SignOptionsPage::matches(const QRegularExpression &regexp) const
{
    // The options dialog searches all pages before it shows any: the keywords
    // come from the widget, which is made for that as the host does for its pages.
    if (m_searchKeywords.isEmpty())
        const_cast<SignOptionsPage *>(this)->widget();
    return m_searchKeywords.contains(regexp);
}

} // namespace Tamarek::Internal
