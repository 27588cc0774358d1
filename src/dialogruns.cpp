// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "dialogruns.h"

#include <utils/qtcassert.h>

namespace Tamarek::Internal {

void DialogRuns::begin(const std::function<void()> &stopTool)
{
    // Every caller defers while a run is in progress.
    QTC_CHECK(!m_running);
    m_running = true;
    m_stopTool = stopTool;
}

void DialogRuns::end()
{
    QTC_CHECK(m_running);
    m_running = false;
    m_stopTool = {};
}

void DialogRuns::stop()
{
    if (!m_running)
        return;
    if (m_stopTool)
        m_stopTool();
    m_ownRuns.stopRunning();
}

bool DialogRuns::deferWhileRunning(Work work)
{
    if (m_running)
        defer(work);
    return m_running;
}

bool DialogRuns::take(Work work)
{
    const bool deferred = m_deferred.testFlag(work);
    m_deferred.setFlag(work, false);
    return deferred;
}

} // namespace Tamarek::Internal
