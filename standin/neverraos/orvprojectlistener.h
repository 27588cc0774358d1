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

// Calls watchProject for each open project of the kit (now and later) and
// unwatchProject when it is closed or loses its last kit target.
class NEVERRAOS_EXPORT OrvProjectListener : public QObject
{
    Q_OBJECT

public:
    explicit OrvProjectListener(QObject *parent = nullptr);
    ~OrvProjectListener() override;

protected:
    virtual bool watchProject(ProjectExplorer::Project *project) = 0;
    virtual bool unwatchProject(ProjectExplorer::Project *project) = 0;

    void init();
    void onTargetAddedToProject(ProjectExplorer::Target *target);
    void onTargetRemovedFromProject(ProjectExplorer::Target *target);
    void onProjectAdded(ProjectExplorer::Project *project);
    void onProjectRemoved(ProjectExplorer::Project *project);

private:
    QList<ProjectExplorer::Project *> m_projects;
};

} // namespace Orv::Internal
