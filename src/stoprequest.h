// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QObject>

namespace Tamarek::Internal {

// Whoever ends a run early (a cancelled deploy, a closed dialog, shut-down)
// requests its stop here; whatever the run waits for listens, so that the
// stop belongs to that one run and not to whatever runs next.
class StopRequest final : public QObject
{
    Q_OBJECT

public:
    bool isRequested() const { return m_requested; }

    void request()
    {
        if (m_requested)
            return;
        m_requested = true;
        emit requested();
    }

signals:
    void requested();

private:
    bool m_requested = false;
};

} // namespace Tamarek::Internal
