// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <neverraos/orvprojectlistener.h>

#include <QBasicTimer>
#include <QList>
#include <QPointer>

namespace ProjectExplorer {
class BuildStep;
class BuildStepList;
class Kit;
class Project;
class Target;
} // namespace ProjectExplorer

namespace Tamarek::Internal {

// The sign step that suits the kit's build target: rpmsign-external before
// customer-sign; null when the target has neither tool.
ProjectExplorer::BuildStep *createSignStep(const ProjectExplorer::Kit *kit,
                                           ProjectExplorer::BuildStepList *stepList);

// Puts a sign step behind the RPM build step of each deploy configuration of
// the kit's projects, once a target has been quiet for a while after parsing.
class ProjectListener : public Orv::Internal::OrvProjectListener
{
    Q_OBJECT

public:
    explicit ProjectListener(QObject *parent = nullptr);
    ~ProjectListener() override;

protected:
    bool watchProject(ProjectExplorer::Project *project) override;
    bool unwatchProject(ProjectExplorer::Project *project) override;
    void timerEvent(QTimerEvent *event) override;

private slots:
    void scheduleProjectUpdate();

private:
    void addSignStep(ProjectExplorer::Target *target);

    // A target may go (its kit removed, the user's doing) while it waits.
    QList<QPointer<ProjectExplorer::Target>> m_pendingTargets;
    QBasicTimer m_updateTimer;

#ifdef WITH_TESTS
    friend class ProjectListenerTest;
#endif
};

} // namespace Tamarek::Internal
