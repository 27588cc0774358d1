// Stands in for the Neverra OS kit's RPM build step.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "orvprocessstep.h"

namespace Orv::Internal {

// Builds the project's RPM packages in the kit's build target.
class NEVERRAOS_EXPORT OrvVbtRpmBuildStep : public OrvProcessStep
{
    Q_OBJECT

public:
    OrvVbtRpmBuildStep(ProjectExplorer::BuildStepList *stepList, Utils::Id id);

    static Utils::Id stepId();
    static QString displayName();

    // Host paths of the packages of the last run.
    QStringList packages() const;
    QStringList deployablePackagesFileNames() const;

private:
    bool init() override;
    Tasking::GroupItem runRecipe() override;

    QStringList m_packages;
};

} // namespace Orv::Internal
