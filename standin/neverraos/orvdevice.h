// Stands in for the Neverra OS kit's device type and its device.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <projectexplorer/devicesupport/idevice.h>
#include <projectexplorer/devicesupport/idevicefactory.h>

namespace Orv::Internal {

class OrvDevice final : public ProjectExplorer::IDevice
{
public:
    OrvDevice();

    ProjectExplorer::IDeviceWidget *createWidget() override { return nullptr; }
};

class OrvDeviceFactory final : public ProjectExplorer::IDeviceFactory
{
public:
    OrvDeviceFactory();

    // Adds the kit's one device, once the device manager has read its settings.
    static void registerDevice();
};

} // namespace Orv::Internal
