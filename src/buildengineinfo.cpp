// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "buildengineinfo.h"

#include "commands.h"
#include "runreason.h"
#include "toolrunner.h"
#include "waitalive.h"

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <utils/qtcassert.h>

#include <QTimer>

namespace Tamarek::Internal {

BuildEngineInfo::BuildEngineInfo(QObject *parent)
    : QObject(parent)
{
    QTimer::singleShot(0, this, &BuildEngineInfo::updateTargets);
    const QList<Nork::BuildEngine *> engines = Nork::Sdk::buildEngines();
    if (!engines.isEmpty())
        m_sharedSrcPath = engines.first()->sharedSrcPath();
}

Utils::FilePath BuildEngineInfo::sharedSrcPath() const
{
    return m_sharedSrcPath;
}

void BuildEngineInfo::setRunner(const Runner &runner)
{
    m_runner = runner;
}

void BuildEngineInfo::updateTargets()
{
    const Runner run = m_runner ? m_runner : [](const QStringList &command) {
        // Read, not echoed: the reason of a failed start is on its standard error.
        return std::optional(runProcess([](const QByteArray &, const QByteArray &, QByteArray &) {
            return true;
        }, command));
    };
    const auto started = waitAlive(this, [&run] { return run(Commands::engineStartCommand()); });
    if (!started || !*started)
        return;
    const ProcessResult &result = **started;
    if (result.stopped) {
        emit targetsUnavailable(
            tr("Starting the build engine was stopped. Close and open the window to try again."));
        return;
    }
    if (!result.isSuccess()) {
        emit targetsUnavailable(
            tr("Could not start the build engine. %1").arg(failureReason(result)));
        return;
    }
    const QList<Nork::BuildEngine *> engines = Nork::Sdk::buildEngines();
    if (engines.isEmpty()) {
        emit targetsUnavailable(tr("The kit has no build engine."));
        return;
    }
    const QStringList targets = engines.first()->buildTargetOrigins();
    if (targets.isEmpty()) {
        emit targetsUnavailable(tr("The build engine has no build targets."));
        return;
    }
    setTargets(targets);
}

void BuildEngineInfo::setTargets(const QStringList &targets)
{
    // No targets is said as such, never as an empty list.
    QTC_ASSERT(!targets.isEmpty(), return);
    if (targets == m_targets)
        return;
    m_targets = targets;
    emit targetsChanged(targets);
}

} // namespace Tamarek::Internal
