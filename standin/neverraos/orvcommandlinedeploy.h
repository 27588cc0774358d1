// Stands in for the Neverra OS kit's deploy from the command line.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QObject>
#include <QTimer>

namespace ProjectExplorer {
class Project;
}

namespace Orv::Internal {

// Deploys the project opened from the command line once it has been parsed
// and its deploy steps have settled (plug-ins add theirs after parsing),
// prints every output line of the deploy to stdout and quits the IDE with
// exit code 0 on success, 1 on failure.
class OrvCommandLineDeploy final : public QObject
{
    Q_OBJECT

public:
    explicit OrvCommandLineDeploy(QObject *parent = nullptr);

private:
    void start();
    void deployWhenSettled(ProjectExplorer::Project *project);
    void deploy(ProjectExplorer::Project *project);
    void finish(bool success);

    QTimer m_settle;
    bool m_finished = false;
};

} // namespace Orv::Internal
