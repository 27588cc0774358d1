// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "focuschain.h"

#include <utils/qtcassert.h>

namespace Tamarek::Internal {

void FocusChain::setOrder(const QList<QWidget *> &order)
{
    m_order.clear();
    for (QWidget *widget : order) {
        QTC_ASSERT(widget, continue);
        if (!m_order.isEmpty())
            QWidget::setTabOrder(m_order.last(), widget);
        m_order << widget;
    }
}

bool FocusChain::contains(const QWidget *widget) const
{
    return widget && m_order.contains(widget);
}

QWidget *FocusChain::next(const QWidget *current, bool forward, const QWidget *window) const
{
    const qsizetype at = current ? m_order.indexOf(current) : -1;
    if (at < 0)
        return nullptr;
    const qsizetype count = m_order.size();
    for (qsizetype step = 1; step < count; ++step) {
        QWidget *candidate = m_order.at((at + (forward ? step : count - step)) % count);
        if (candidate && candidate->isVisibleTo(window) && candidate->isEnabled()
            && (candidate->focusPolicy() & Qt::TabFocus)) {
            return candidate;
        }
    }
    return nullptr;
}

} // namespace Tamarek::Internal
