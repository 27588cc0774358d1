// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "tamarekconstants.h"

#include <projectexplorer/buildstep.h>
#include <projectexplorer/projectexplorerconstants.h>

namespace Tamarek::Internal {

// Offers a sign step for the deploy step lists of the kit's devices. The steps
// that the project listener inserts are made directly, not through this.
template<typename Step>
class DeployStepFactory : public ProjectExplorer::BuildStepFactory
{
public:
    DeployStepFactory()
    {
        registerStep<Step>(Step::stepId());
        setDisplayName(Step::displayName());
        setSupportedStepList(ProjectExplorer::Constants::BUILDSTEPS_DEPLOY);
        setSupportedDeviceType(Utils::Id(Constants::ORV_DEVICE_TYPE));
    }
    ~DeployStepFactory() override = default;
};

} // namespace Tamarek::Internal
