// Stands in for the Neverra OS kit's base of objects that follow the open projects.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "neverraos_global.h"

#include <QObject>

namespace ProjectExplorer {
class Project;
class Target;
} // namespace ProjectExplorer

namespace Orv::Internal {

// Calls watchProject for each open project with a target of the kit's device
// type (now and later, again for each further such target) and unwatchProject
// when the project is closed or loses its last such target.
class NEVERRAOS_EXPORT OrvProjectListener : public QObject
{
    Q_OBJECT

public:
    explicit OrvProjectListener(QObject *parent = nullptr);
    ~OrvProjectListener() override;

    static bool isKitProject(const ProjectExplorer::Project *project);

protected:
    // A project counts as watched only when watchProject gives true.
    virtual bool watchProject(ProjectExplorer::Project *project) = 0;
    virtual bool unwatchProject(ProjectExplorer::Project *project) = 0;

    // Takes up the projects already open; the constructor has it run once the
    // event loop turns, and calling it again changes nothing.
    void init();
    void onTargetAddedToProject(ProjectExplorer::Target *target);
    void onTargetRemovedFromProject(ProjectExplorer::Target *target);
    void onProjectAdded(ProjectExplorer::Project *project);
    void onProjectRemoved(ProjectExplorer::Project *project);

private:
    void drop(ProjectExplorer::Project *project);

    QList<ProjectExplorer::Project *> m_projects;
};

} // namespace Orv::Internal
