// Stands in for the Neverra OS kit's registration of one kit per build target.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "orvkitmanager.h"

#include "neverraosconstants.h"
#include "orvsdkkitaspect.h"

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <projectexplorer/devicesupport/devicekitaspects.h>
#include <projectexplorer/kit.h>
#include <projectexplorer/kitmanager.h>

#include <utils/algorithm.h>

using namespace ProjectExplorer;
using namespace Utils;

namespace Orv::Internal {

struct KitData
{
    Id id;
    QString displayName;
    QString engineName;
    QString targetName;
};

static QList<KitData> configuredKits()
{
    const QList<Nork::BuildEngine *> engines = Nork::Sdk::buildEngines();
    const QString osVariant = Nork::Sdk::osVariant(Nork::Sdk::SystemStyle);
    QList<KitData> result;
    for (const Nork::BuildEngine *engine : engines) {
        for (const QString &target : engine->buildTargetOrigins()) {
            // Two engines may offer targets of the same name.
            const QString displayName
                = engines.size() > 1 ? QString("%1 (%2, %3)").arg(osVariant, target, engine->name())
                                     : QString("%1 (%2)").arg(osVariant, target);
            result.append({OrvKitManager::kitId(engine->name(), target),
                           displayName,
                           engine->name(),
                           target});
        }
    }
    return result;
}

static void setUp(Kit *kit, const KitData &data)
{
    kit->setUnexpandedDisplayName(data.displayName);
    kit->setAutoDetected(true);
    kit->setAutoDetectionSource(Constants::KIT_DETECTION_SOURCE);
    kit->setDeviceTypeForIcon(Constants::DEVICE_TYPE);
    RunDeviceTypeKitAspect::setDeviceTypeId(kit, Constants::DEVICE_TYPE);
    RunDeviceKitAspect::setDeviceId(kit, Constants::DEVICE_ID);
    OrvSdkKitAspectFactory::setBuildTarget(kit, data.engineName, data.targetName);
    kit->setSticky(OrvSdkKitAspectFactory::id(), true);
    kit->setSticky(RunDeviceTypeKitAspect::id(), true);
}

OrvKitManager::OrvKitManager(QObject *parent)
    : QObject(parent)
{
    // Kits can be registered only once the kit manager has read its settings.
    if (KitManager::isLoaded())
        updateKits();
    else
        connect(KitManager::instance(), &KitManager::kitsLoaded, this, &OrvKitManager::updateKits);
    connect(Nork::Sdk::instance(), &Nork::Sdk::configurationChanged, this, [this] {
        if (KitManager::isLoaded())
            updateKits();
    });
}

Id OrvKitManager::kitId(const QString &engineName, const QString &targetName)
{
    return Id(Constants::KIT_ID_PREFIX).withSuffix(QString(engineName + '.' + targetName));
}

QList<Kit *> OrvKitManager::kits()
{
    return Utils::filtered(KitManager::kits(), [](const Kit *kit) {
        return kit->autoDetectionSource() == Constants::KIT_DETECTION_SOURCE;
    });
}

void OrvKitManager::updateKits()
{
    const QList<KitData> wanted = configuredKits();
    const QList<Kit *> existing = kits();

    const QList<Kit *> gone = Utils::filtered(existing, [&wanted](const Kit *kit) {
        return !Utils::contains(wanted,
                                [kit](const KitData &data) { return data.id == kit->id(); });
    });
    if (!gone.isEmpty())
        KitManager::deregisterKits(gone);

    for (const KitData &data : wanted) {
        if (Kit *kit = KitManager::kit(data.id)) {
            KitGuard guard(kit);
            setUp(kit, data);
        } else {
            KitManager::registerKit([&data](Kit *kit) { setUp(kit, data); }, data.id);
        }
    }
}

} // namespace Orv::Internal
