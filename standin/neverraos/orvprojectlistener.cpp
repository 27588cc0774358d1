// Stands in for the Neverra OS kit's base of objects that follow the open projects.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "orvprojectlistener.h"

#include "neverraosconstants.h"

#include <projectexplorer/devicesupport/devicekitaspects.h>
#include <projectexplorer/project.h>
#include <projectexplorer/projectmanager.h>
#include <projectexplorer/target.h>

#include <utils/algorithm.h>

using namespace ProjectExplorer;

namespace Orv::Internal {

static bool isKitTarget(const Target *target)
{
    return RunDeviceTypeKitAspect::deviceTypeId(target->kit()) == Constants::DEVICE_TYPE;
}

OrvProjectListener::OrvProjectListener(QObject *parent)
    : QObject(parent)
{
    ProjectManager *manager = ProjectManager::instance();
    connect(manager, &ProjectManager::projectAdded, this, &OrvProjectListener::onProjectAdded);
    connect(manager,
            &ProjectManager::aboutToRemoveProject,
            this,
            &OrvProjectListener::onProjectRemoved);
    // The hooks are pure virtual here: they can be called only after construction.
    QMetaObject::invokeMethod(this, &OrvProjectListener::init, Qt::QueuedConnection);
}

OrvProjectListener::~OrvProjectListener() = default;

bool OrvProjectListener::isKitProject(const Project *project)
{
    return project && Utils::anyOf(project->targets(), &isKitTarget);
}

void OrvProjectListener::init()
{
    for (Project *project : ProjectManager::projects())
        onProjectAdded(project);
}

void OrvProjectListener::onProjectAdded(Project *project)
{
    connect(project,
            &Project::addedTarget,
            this,
            &OrvProjectListener::onTargetAddedToProject,
            Qt::UniqueConnection);
    connect(project,
            &Project::removedTarget,
            this,
            &OrvProjectListener::onTargetRemovedFromProject,
            Qt::UniqueConnection);
    if (!m_projects.contains(project) && isKitProject(project) && watchProject(project))
        m_projects.append(project);
}

void OrvProjectListener::onProjectRemoved(Project *project)
{
    disconnect(project, nullptr, this, nullptr);
    drop(project);
}

void OrvProjectListener::onTargetAddedToProject(Target *target)
{
    // Watching again lets the listener take up the new target as well.
    Project *project = target->project();
    if (isKitTarget(target) && watchProject(project) && !m_projects.contains(project))
        m_projects.append(project);
}

void OrvProjectListener::onTargetRemovedFromProject(Target *target)
{
    Project *project = target->project();
    if (!isKitProject(project))
        drop(project);
}

void OrvProjectListener::drop(Project *project)
{
    if (m_projects.removeOne(project))
        unwatchProject(project);
}

} // namespace Orv::Internal
