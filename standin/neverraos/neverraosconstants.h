// Stands in for the ids of the Neverra OS kit's host plug-in.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

namespace Orv::Constants {

const char DEVICE_TYPE[] = "Orv.Device.Type";
const char DEVICE_ID[] = "Orv.Device.Default";
const char KIT_ASPECT_ID[] = "Orv.KitAspect.Sdk";
const char KIT_ID_PREFIX[] = "Orv.Kit.";
const char KIT_DETECTION_SOURCE[] = "Orv.Sdk";

const char RPM_BUILD_STEP_ID[] = "Orv.RpmBuildStep";
const char RPM_BUILD_STEP_DISPLAY_NAME[] = "RPM Build";
const char DEPLOY_CONFIGURATION_ID[] = "Orv.DeployConfiguration";

const char PROJECT_ID[] = "Orv.Project";
const char PROJECT_MIME_TYPE[] = "application/x-orvproject";
const char BUILD_CONFIGURATION_ID[] = "Orv.BuildConfiguration";

const char TOOLS_MENU_ID[] = "Orv.Tools.Menu";

// The kit's command-line tool reads the kit configuration from this variable.
const char KIT_CONFIG_VARIABLE[] = "NEVERRAOS_KIT_CONFIG";

} // namespace Orv::Constants
