// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "runstops.h"

#include <QFlags>

#include <functional>

namespace Tamarek::Internal {

// A window's runs: one at a time and stoppable; work asked for while one is
// on is noted, to be done once it has ended.
class DialogRuns
{
public:
    enum class Work { TargetChange = 0x1, Refresh = 0x2, OpensslCheck = 0x4 };
    Q_DECLARE_FLAGS(WorkFlags, Work)

    bool isRunning() const { return m_running; }
    // stopTool ends a tool's run in progress; the window's own runs (probes)
    // end through isOwnRunStopped.
    void begin(const std::function<void()> &stopTool = {});
    void end();
    void stop();

    quint64 startOwnRun() { return m_ownRuns.start(); }
    bool isOwnRunStopped(quint64 run) const { return m_ownRuns.isStopped(run); }

    // Notes work when a run is on, and says whether it did.
    bool deferWhileRunning(Work work);
    void defer(Work work) { m_deferred.setFlag(work); }
    bool isDeferred(Work work) const { return m_deferred.testFlag(work); }
    // Whether work was noted; no longer noted afterwards.
    bool take(Work work);

private:
    bool m_running = false;
    std::function<void()> m_stopTool;
    RunStops m_ownRuns;
    WorkFlags m_deferred;
};

} // namespace Tamarek::Internal
