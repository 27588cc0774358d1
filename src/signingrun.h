// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "stoprequest.h"
#include "waitalive.h"

#include <projectexplorer/buildstep.h>

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
    // The work gives whether the packages were signed; what it waits for
    // ends at its run's stop request. onStopped tells the step's output when
    // the tree goes before the work has ended.
    using Work = std::function<bool(const StopRequest &stop)>;
    void setWork(SignTool &tool, const Work &work, const std::function<void()> &onStopped);

    void start();
    // Deletes this now or, while the work runs, once it has returned; the
    // running tool is stopped and the work's stop requested meanwhile.
    void discard();

signals:
    void done(Tasking::DoneResult result);

private:
    void run();

    enum class State { Idle, Waiting, Running, Finished, Discarded };

    QPointer<SignTool> m_tool;
    StopRequest m_stop;
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

// The recipe of both sign steps: the checks in the group's setup handler, the
// signing in a SigningRun, and a deploy that goes on after everything but a
// cancel, unless failureStopsDeploy says that a failure stops it. sign,
// onStopped and failureStopsDeploy are only called while the step exists;
// sign gets its own run's stop request.
template <typename Input>
Tasking::GroupItem signingRecipe(ProjectExplorer::BuildStep *step,
                                 SignTool &tool,
                                 const std::function<Tasking::SetupResult(Input &)> &prepare,
                                 const std::function<bool(const Input &, const StopRequest &)> &sign,
                                 const std::function<void()> &onStopped,
                                 const std::function<bool()> &failureStopsDeploy)
{
    using namespace Tasking;
    const Storage<Input> input;
    const auto onSigningSetup = [step, &tool, input, sign, onStopped](SigningRun &run) {
        run.setWork(tool,
                    ifAlive(
                        step,
                        [sign, input = *input](const StopRequest &stop) {
                            return sign(input, stop);
                        },
                        false),
                    ifAlive(step, onStopped));
    };
    const std::function<bool()> stopsDeploy = ifAlive(step, failureStopsDeploy, false);
    const auto onDone = [stopsDeploy](DoneWith result) {
        // The signing run has told the user of a cancel.
        if (result == DoneWith::Cancel)
            return DoneResult::Error;
        // A failed signing is reported already; it stops the deploy only when asked.
        if (result == DoneWith::Error && stopsDeploy())
            return DoneResult::Error;
        return DoneResult::Success;
    };
    return Group{input,
                 onGroupSetup([prepare, input] { return prepare(*input); }),
                 SigningRunTask(onSigningSetup),
                 onGroupDone(onDone)};
}

} // namespace Tamarek::Internal
