// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <solutions/tasking/tasktree.h>

#include <QObject>
#include <QPointer>

#include <functional>

namespace Tamarek::Internal {

class SignTool;

// A sign step's signing, started from a zero-delay timer so that it runs
// outside the task tree's handlers: it waits for the tool in a nested event
// loop, where a cancelled deploy may delete the tree, which must not happen
// with one of the tree's handlers on the stack.
class SigningRun final : public QObject
{
    Q_OBJECT

public:
    // The work gives whether the packages were signed; onStopped tells the
    // step's output when the tree goes before the work has ended.
    using Work = std::function<bool()>;
    void setWork(SignTool &tool, const Work &work, const std::function<void()> &onStopped);

    void start();
    // Deletes this now or, while the work runs, once it has returned; the
    // running tool is killed meanwhile.
    void discard();

signals:
    void done(Tasking::DoneResult result);

private:
    void run();

    enum class State { Idle, Waiting, Running, Finished, Discarded };

    QPointer<SignTool> m_tool;
    Work m_work;
    std::function<void()> m_onStopped;
    State m_state = State::Idle;
};

class SigningRunDeleter
{
public:
    void operator()(SigningRun *run) const { run->discard(); }
};

class SigningRunTaskAdapter final : public Tasking::TaskAdapter<SigningRun, SigningRunDeleter>
{
public:
    SigningRunTaskAdapter();

private:
    void start() final;
};

using SigningRunTask = Tasking::CustomTask<SigningRunTaskAdapter>;

} // namespace Tamarek::Internal
