// Stands in for the Neverra OS kit's deploy configuration.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <projectexplorer/deployconfiguration.h>

namespace Orv::Internal {

// Gives every target of a kit of the device type a deploy configuration that
// starts with the RPM build step.
class OrvDeployConfigurationFactory final : public ProjectExplorer::DeployConfigurationFactory
{
public:
    OrvDeployConfigurationFactory();
};

} // namespace Orv::Internal
