// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "projectlistener.h"

#include "customersignstep.h"
#include "rpmsignexternalstep.h"
#include "tamarekconstants.h"

#include <neverraos/orvsdkkitaspect.h>
#include <neverraos/orvvbtrpmbuildstep.h>

#include <projectexplorer/buildsteplist.h>
#include <projectexplorer/deployconfiguration.h>
#include <projectexplorer/project.h>
#include <projectexplorer/target.h>

#include <utils/algorithm.h>
#include <utils/qtcassert.h>

#include <QTimerEvent>

#include <chrono>

using namespace ProjectExplorer;
using namespace std::chrono_literals;
using Orv::Internal::OrvSdkKitAspectFactory;
using Orv::Internal::OrvVbtRpmBuildStep;

namespace Tamarek::Internal {

// Parsing comes in bursts; the steps go in once the target has been quiet that long.
const auto QUIET_PERIOD = 1100ms;

BuildStep *createSignStep(const Kit *kit, BuildStepList *stepList)
{
    const QStringList tools = OrvSdkKitAspectFactory::buildTarget(kit).signingTools;
    if (tools.contains(QLatin1String(Constants::RPMSIGN_EXTERNAL_TOOL)))
        return new RpmsignExternalStep(stepList, RpmsignExternalStep::stepId(), true);
    if (tools.contains(QLatin1String(Constants::CUSTOMER_SIGN_TOOL)))
        return new CustomerSignStep(stepList, CustomerSignStep::stepId(), false);
    return nullptr;
}

ProjectListener::ProjectListener(QObject *parent)
    : OrvProjectListener(parent)
{}

ProjectListener::~ProjectListener() = default;

bool ProjectListener::watchProject(Project *project)
{
    QTC_ASSERT(project, return false);
    for (Target *target : project->targets()) {
        connect(target,
                &Target::parsingFinished,
                this,
                &ProjectListener::scheduleProjectUpdate,
                Qt::UniqueConnection);
    }
    return true;
}

bool ProjectListener::unwatchProject(Project *project)
{
    QTC_ASSERT(project, return false);
    m_pendingTargets.removeIf([project](const QPointer<Target> &target) {
        return !target || target->project() == project;
    });
    for (Target *target : project->targets())
        disconnect(target, &Target::parsingFinished, this, &ProjectListener::scheduleProjectUpdate);
    return true;
}

void ProjectListener::scheduleProjectUpdate()
{
    auto target = qobject_cast<Target *>(sender());
    QTC_ASSERT(target, return);
    m_pendingTargets.append(target);
    m_updateTimer.start(QUIET_PERIOD, this);
}

void ProjectListener::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_updateTimer.timerId()) {
        OrvProjectListener::timerEvent(event);
        return;
    }
    m_updateTimer.stop();
    while (!m_pendingTargets.isEmpty()) {
        const QPointer<Target> target = m_pendingTargets.takeFirst();
        if (target)
            addSignStep(target);
    }
}

void ProjectListener::addSignStep(Target *target)
{
    for (DeployConfiguration *deployConfiguration : target->deployConfigurations()) {
        BuildStepList *stepList = deployConfiguration->stepList();
        if (stepList->contains(RpmsignExternalStep::stepId())
            || stepList->contains(CustomerSignStep::stepId())) {
            continue;
        }
        const int rpmBuildStepIndex = Utils::indexOf(stepList->steps(), [](const BuildStep *step) {
            return step->id() == OrvVbtRpmBuildStep::stepId();
        });
        if (rpmBuildStepIndex < 0)
            continue;
        if (BuildStep *signStep = createSignStep(target->kit(), stepList))
            stepList->insertStep(rpmBuildStepIndex + 1, signStep);
    }
}

} // namespace Tamarek::Internal
