// Stands in for the Neverra OS kit's base of process-running build steps.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "orvprocessstep.h"

#include "neverraostr.h"
#include "orvsdkkitaspect.h"

#include <projectexplorer/kit.h>
#include <projectexplorer/target.h>
#include <projectexplorer/task.h>

#include <utils/commandline.h>

using namespace ProjectExplorer;

namespace Orv::Internal {

OrvProcessStep::OrvProcessStep(BuildStepList *stepList, Utils::Id id)
    : AbstractProcessStep(stepList, id)
{}

bool OrvProcessStep::init(InitOptions options)
{
    const Kit *kit = target()->kit();
    if (!OrvSdkKitAspectFactory::buildEngine(kit)) {
        reportError(Tr::tr("The kit \"%1\" has no build engine.").arg(kit->displayName()));
        return false;
    }
    if (!OrvSdkKitAspectFactory::buildTarget(kit).isValid()) {
        reportError(Tr::tr("The kit \"%1\" has no build target.").arg(kit->displayName()));
        return false;
    }
    if (!options.testFlag(NoBuildConfiguration) && !buildConfiguration()) {
        reportError(Tr::tr("The step \"%1\" needs a build configuration.").arg(displayName()));
        return false;
    }
    return m_hasCommandLineProvider ? AbstractProcessStep::init() : true;
}

void OrvProcessStep::setCommandLineProvider(const std::function<Utils::CommandLine()> &provider)
{
    m_hasCommandLineProvider = bool(provider);
    AbstractProcessStep::setCommandLineProvider(provider);
}

void OrvProcessStep::reportError(const QString &message)
{
    emit addTask(DeploymentTask(Task::Error, message));
    emit addOutput(message, OutputFormat::ErrorMessage);
}

} // namespace Orv::Internal
