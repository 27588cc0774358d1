// Stands in for the Neverra OS kit's RPM build step.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "orvprocessstep.h"

#include <projectexplorer/buildstep.h>

namespace Orv::Internal {

// Builds the project's RPM packages in the kit's build target, into a folder
// of the build engine's workspace, so that their paths are the same on the
// host and in the target.
class NEVERRAOS_EXPORT OrvVbtRpmBuildStep : public OrvProcessStep
{
    Q_OBJECT

public:
    OrvVbtRpmBuildStep(ProjectExplorer::BuildStepList *stepList, Utils::Id id);

    static Utils::Id stepId();
    static QString displayName();

    // Host paths of the packages of the last run, sorted; source packages
    // are left out, debug packages are not.
    QStringList packages() const;
    QStringList deployablePackagesFileNames() const;

    Utils::FilePath recipeFilePath() const;
    Utils::FilePath outputDirectory() const;

private:
    bool init() override;
    Tasking::GroupItem runRecipe() override;

    Utils::CommandLine commandLine() const;
    void collectPackages();

    QStringList m_packages;
};

class OrvVbtRpmBuildStepFactory final : public ProjectExplorer::BuildStepFactory
{
public:
    OrvVbtRpmBuildStepFactory();
};

} // namespace Orv::Internal
