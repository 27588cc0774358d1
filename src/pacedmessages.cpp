// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "pacedmessages.h"

#include <utils/qtcassert.h>

#include <limits>

namespace Tamarek::Internal {

static PacedMessages *theInstance = nullptr;

PacedMessages::PacedMessages(const Sink &sink, QObject *parent)
    : QObject(parent)
    , m_sink(sink)
{
    QTC_CHECK(m_sink);
    QTC_CHECK(!theInstance);
    theInstance = this;
    m_timer.setSingleShot(true);
    m_timer.setInterval(biteIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_pending.isEmpty())
            return;
        writeBite(biteSize);
        m_timer.start();
    });
}

PacedMessages::~PacedMessages()
{
    if (theInstance == this)
        theInstance = nullptr;
}

PacedMessages *PacedMessages::instance()
{
    return theInstance;
}

// The timer runs for one interval after each bite: what comes meanwhile waits
// for it, what comes later goes at once.
void PacedMessages::write(const QString &text, bool disrupting)
{
    for (const QString &line : text.split('\n'))
        m_pending.append({line, disrupting});
    if (m_timer.isActive())
        return;
    writeBite(biteSize);
    m_timer.start();
}

void PacedMessages::flush()
{
    m_timer.stop();
    writeBite(std::numeric_limits<qsizetype>::max());
}

void PacedMessages::discard()
{
    m_timer.stop();
    m_pending.clear();
}

// Whole lines, at least one; lines of one kind in a row go on as one text.
void PacedMessages::writeBite(qsizetype limit)
{
    QTC_ASSERT(limit > 0 && m_sink, return);
    qsizetype size = 0;
    const auto fits = [&] {
        return !m_pending.isEmpty() && (size == 0 || size + m_pending.first().text.size() < limit);
    };
    while (fits()) {
        const bool disrupting = m_pending.first().disrupting;
        QStringList lines;
        while (fits() && m_pending.first().disrupting == disrupting) {
            size += m_pending.first().text.size() + 1;
            lines << m_pending.takeFirst().text;
        }
        m_sink(lines.join('\n'), disrupting);
    }
}

} // namespace Tamarek::Internal
