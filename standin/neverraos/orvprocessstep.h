// Stands in for the Neverra OS kit's base of process-running build steps.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "neverraos_global.h"

#include <projectexplorer/abstractprocessstep.h>

namespace Orv::Internal {

class NEVERRAOS_EXPORT OrvProcessStep : public ProjectExplorer::AbstractProcessStep
{
    Q_OBJECT

public:
    enum InitOption {
        NoInitOption = 0x0,
        NoBuildConfiguration = 0x1, // the step works without a build configuration
    };
    Q_DECLARE_FLAGS(InitOptions, InitOption)

    OrvProcessStep(ProjectExplorer::BuildStepList *stepList, Utils::Id id);

protected:
    // Checks that the kit has a build engine and a build target.
    bool init(InitOptions options);
};

} // namespace Orv::Internal

Q_DECLARE_OPERATORS_FOR_FLAGS(Orv::Internal::OrvProcessStep::InitOptions)
