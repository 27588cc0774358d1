// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QtGlobal>

namespace Tamarek::Internal {

// Numbers the runs of one owner, so that a stop ends the runs in progress
// and none started after it.
class RunStops
{
public:
    quint64 start() { return m_next++; }
    void stopRunning() { m_stopBefore = m_next; }
    bool isStopped(quint64 run) const { return run < m_stopBefore; }

private:
    quint64 m_next = 0;
    quint64 m_stopBefore = 0;
};

} // namespace Tamarek::Internal
