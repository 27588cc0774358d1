// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signingrun.h"

#include "signtool.h"

#include <utils/qtcassert.h>

#include <QTimer>

using namespace Tasking;

namespace Tamarek::Internal {

void SigningRun::setWork(SignTool &tool,
                         const Work &work,
                         const std::function<void()> &onStopped)
{
    // A run's work is set once, before it starts.
    QTC_ASSERT(m_state == State::Idle, return);
    m_tool = &tool;
    m_work = work;
    m_onStopped = onStopped;
}

void SigningRun::start()
{
    QTC_ASSERT(m_state == State::Idle, return);
    m_state = State::Waiting;
    QTimer::singleShot(0, this, &SigningRun::run);
}

void SigningRun::run()
{
    QTC_CHECK(m_state == State::Waiting || m_state == State::Discarded);
    m_state = State::Running;
    const bool success = m_work && m_work(m_stop);
    if (m_state == State::Discarded) {
        deleteLater();
        return;
    }
    m_state = State::Finished;
    emit done(toDoneResult(success));
}

void SigningRun::discard()
{
    if ((m_state == State::Waiting || m_state == State::Running) && m_onStopped)
        m_onStopped();
    if (m_state != State::Running) {
        delete this;
        return;
    }
    m_state = State::Discarded;
    m_stop.request();
    if (m_tool)
        m_tool->stop();
}

SigningRunTaskAdapter::SigningRunTaskAdapter()
{
    connect(task(), &SigningRun::done, this, &TaskInterface::done);
}

void SigningRunTaskAdapter::start()
{
    task()->start();
}

} // namespace Tamarek::Internal
