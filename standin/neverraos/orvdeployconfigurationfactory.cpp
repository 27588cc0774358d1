// Stands in for the Neverra OS kit's deploy configuration.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "orvdeployconfigurationfactory.h"

#include "neverraosconstants.h"
#include "neverraostr.h"
#include "orvvbtrpmbuildstep.h"

namespace Orv::Internal {

OrvDeployConfigurationFactory::OrvDeployConfigurationFactory()
{
    setConfigBaseId(Constants::DEPLOY_CONFIGURATION_ID);
    addSupportedTargetDeviceType(Constants::DEVICE_TYPE);
    setDefaultDisplayName(Tr::tr("Build RPM Packages"));
    addInitialStep(OrvVbtRpmBuildStep::stepId());
}

} // namespace Orv::Internal
