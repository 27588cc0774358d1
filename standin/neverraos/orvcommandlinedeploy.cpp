// Stands in for the Neverra OS kit's deploy from the command line.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "orvcommandlinedeploy.h"

#include "neverraostr.h"

#include <coreplugin/session.h>

#include <projectexplorer/buildmanager.h>
#include <projectexplorer/buildstep.h>
#include <projectexplorer/buildsteplist.h>
#include <projectexplorer/buildsystem.h>
#include <projectexplorer/deployconfiguration.h>
#include <projectexplorer/project.h>
#include <projectexplorer/projectmanager.h>
#include <projectexplorer/target.h>

#include <QCoreApplication>
#include <QTextStream>

using namespace ProjectExplorer;

namespace Orv::Internal {

static void print(const QString &text)
{
    QTextStream out(stdout);
    out << text;
    out.flush();
}

OrvCommandLineDeploy::OrvCommandLineDeploy(QObject *parent)
    : QObject(parent)
{
    // The files of the command line are open when the startup session is.
    connect(Core::SessionManager::instance(),
            &Core::SessionManager::startupSessionRestored,
            this,
            &OrvCommandLineDeploy::start,
            Qt::QueuedConnection);
}

void OrvCommandLineDeploy::start()
{
    Project *project = ProjectManager::startupProject();
    if (!project) {
        print(Tr::tr("No project to deploy: give its project file on the command line.") + '\n');
        finish(false);
        return;
    }
    Target *target = project->activeTarget();
    if (!target) {
        print(Tr::tr("The project \"%1\" has no kit to deploy with.").arg(project->displayName())
              + '\n');
        finish(false);
        return;
    }
    const auto parsed = [this, project](bool success) {
        if (success) {
            deployWhenSettled(project);
            return;
        }
        print(Tr::tr("The project \"%1\" could not be parsed.").arg(project->displayName()) + '\n');
        finish(false);
    };
    const BuildSystem *buildSystem = target->buildSystem();
    if (buildSystem && (buildSystem->isParsing() || buildSystem->isWaitingForParse()))
        connect(target, &Target::parsingFinished, this, parsed, Qt::SingleShotConnection);
    else
        parsed(!buildSystem || buildSystem->hasParsingData());
}

// Long enough for what reacts to the end of parsing after a quiet moment of
// its own; each change of the deploy steps starts the wait again.
const int settleMs = 2000;

void OrvCommandLineDeploy::deployWhenSettled(Project *project)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_settle, &QTimer::timeout, this, [this, project] { deploy(project); });
    if (DeployConfiguration *configuration = project->activeDeployConfiguration()) {
        BuildStepList *steps = configuration->stepList();
        for (const auto changed : {&BuildStepList::stepInserted, &BuildStepList::stepRemoved})
            connect(steps, changed, &m_settle, qOverload<>(&QTimer::start));
    }
    m_settle.start();
}

void OrvCommandLineDeploy::deploy(Project *project)
{
    print(Tr::tr("Deploying %1 with the kit %2")
              .arg(project->displayName(), project->activeTarget()->displayName())
          + '\n');
    if (DeployConfiguration *configuration = project->activeDeployConfiguration()) {
        for (BuildStep *step : configuration->stepList()->steps()) {
            connect(step,
                    &BuildStep::addOutput,
                    this,
                    [](const QString &text,
                       BuildStep::OutputFormat,
                       BuildStep::OutputNewlineSetting newline) {
                        print(newline == BuildStep::DoAppendNewline ? text + '\n' : text);
                    });
        }
    }
    connect(BuildManager::instance(),
            &BuildManager::buildQueueFinished,
            this,
            &OrvCommandLineDeploy::finish);
    BuildManager::deployProjects({project});
    // Steps that fail their init, or no steps at all, never start the queue.
    if (!m_finished && !BuildManager::isBuilding())
        finish(false);
}

void OrvCommandLineDeploy::finish(bool success)
{
    if (m_finished)
        return;
    m_finished = true;
    print((success ? Tr::tr("The deploy succeeded.") : Tr::tr("The deploy failed.")) + '\n');
    // Leaves the build manager's signal before the IDE goes down.
    QMetaObject::invokeMethod(
        qApp, [success] { QCoreApplication::exit(success ? 0 : 1); }, Qt::QueuedConnection);
}

} // namespace Orv::Internal
