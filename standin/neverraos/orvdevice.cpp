// Stands in for the Neverra OS kit's device type and its device.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "orvdevice.h"

#include "neverraosconstants.h"
#include "neverraostr.h"

#include <projectexplorer/devicesupport/devicemanager.h>

using namespace ProjectExplorer;

namespace Orv::Internal {

OrvDevice::OrvDevice()
{
    setType(Constants::DEVICE_TYPE);
    setupId(AutoDetected, Constants::DEVICE_ID);
    setDefaultDisplayName(Tr::tr("Neverra OS Device"));
    setDisplayType(Tr::tr("Neverra OS"));
    setMachineType(Emulator);
    setOsType(Utils::OsTypeLinux);
    setDeviceState(DeviceReadyToUse);
}

OrvDeviceFactory::OrvDeviceFactory()
    : IDeviceFactory(Constants::DEVICE_TYPE)
{
    setDisplayName(Tr::tr("Neverra OS Device"));
    setConstructionFunction([] { return std::make_shared<OrvDevice>(); });
}

void OrvDeviceFactory::registerDevice()
{
    DeviceManager *manager = DeviceManager::instance();
    // Replaces the copy read back from the settings, which has no state.
    const auto add = [manager] { manager->addDevice(std::make_shared<OrvDevice>()); };
    if (manager->isLoaded())
        add();
    else
        QObject::connect(manager,
                         &DeviceManager::devicesLoaded,
                         manager,
                         add,
                         Qt::SingleShotConnection);
}

} // namespace Orv::Internal
