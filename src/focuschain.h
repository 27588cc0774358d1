// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace Tamarek::Internal {

// The Tab order of a form built of compound widgets. Qt's chain keeps their
// containers in it, so from the last control it would come back somewhere in
// the middle; this one goes through the listed widgets, round and round,
// past those that are hidden, disabled or take no Tab focus.
class FocusChain
{
public:
    void setOrder(const QList<QWidget *> &order);

    bool contains(const QWidget *widget) const;
    // The widget after (or before) current that can take the focus within
    // window; null when there is none or current is not in the chain.
    QWidget *next(const QWidget *current, bool forward, const QWidget *window) const;

private:
    QList<QPointer<QWidget>> m_order;
};

} // namespace Tamarek::Internal
