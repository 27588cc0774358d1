// Stands in for the Neverra OS kit aspect: a kit's build engine and build target.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "orvsdkkitaspect.h"

#include "neverraosconstants.h"
#include "neverraostr.h"

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <projectexplorer/kit.h>

#include <utils/layoutbuilder.h>
#include <utils/qtcassert.h>

#include <QLabel>

using namespace ProjectExplorer;
using namespace Utils;

namespace Orv::Internal {

const char ENGINE_KEY[] = "Engine";
const char TARGET_KEY[] = "Target";

static QString describe(const Kit *kit)
{
    const QString engine = OrvSdkKitAspectFactory::engineName(kit);
    const QString target = OrvSdkKitAspectFactory::targetName(kit);
    if (engine.isEmpty() && target.isEmpty())
        return Tr::tr("None");
    return Tr::tr("%1 in the build engine %2").arg(target, engine);
}

class OrvSdkKitAspect final : public KitAspect
{
public:
    OrvSdkKitAspect(Kit *kit, const KitAspectFactory *factory)
        : KitAspect(kit, factory)
    {
        m_label = createSubWidget<QLabel>(describe(kit));
    }

    ~OrvSdkKitAspect() override { delete m_label; }

private:
    void makeReadOnly() override {}
    void refresh() override { m_label->setText(describe(kit())); }
    void addToInnerLayout(Layouting::Layout &layout) override
    {
        layout.addItem(Layouting::Span(2, m_label));
    }

    QLabel *m_label = nullptr;
};

OrvSdkKitAspectFactory::OrvSdkKitAspectFactory()
{
    setId(id());
    setDisplayName(Tr::tr("Build target"));
    setDescription(Tr::tr("The build engine and the build target that build the packages."));
    setPriority(25500);
}

Id OrvSdkKitAspectFactory::id()
{
    return Constants::KIT_ASPECT_ID;
}

QString OrvSdkKitAspectFactory::engineName(const Kit *kit)
{
    return kit ? kit->value(id()).toMap().value(ENGINE_KEY).toString() : QString();
}

QString OrvSdkKitAspectFactory::targetName(const Kit *kit)
{
    return kit ? kit->value(id()).toMap().value(TARGET_KEY).toString() : QString();
}

Nork::BuildEngine *OrvSdkKitAspectFactory::buildEngine(const Kit *kit)
{
    const QString name = engineName(kit);
    if (name.isEmpty())
        return nullptr;
    for (Nork::BuildEngine *engine : Nork::Sdk::buildEngines()) {
        if (engine->name() == name)
            return engine;
    }
    return nullptr;
}

Nork::BuildTargetData OrvSdkKitAspectFactory::buildTarget(const Kit *kit)
{
    const Nork::BuildEngine *engine = buildEngine(kit);
    return engine ? engine->buildTarget(targetName(kit)) : Nork::BuildTargetData();
}

void OrvSdkKitAspectFactory::setBuildTarget(Kit *kit,
                                            const QString &engineName,
                                            const QString &targetName)
{
    QTC_ASSERT(kit, return );
    kit->setValue(id(), QVariantMap{{ENGINE_KEY, engineName}, {TARGET_KEY, targetName}});
}

Tasks OrvSdkKitAspectFactory::validate(const Kit *kit) const
{
    if (!kit->hasValue(id()))
        return {};
    if (!buildEngine(kit)) {
        return {BuildSystemTask(Task::Error,
                                Tr::tr("The build engine \"%1\" is not configured.")
                                    .arg(engineName(kit)))};
    }
    if (!buildTarget(kit).isValid()) {
        return {BuildSystemTask(Task::Error,
                                Tr::tr("The build engine \"%1\" has no build target \"%2\".")
                                    .arg(engineName(kit), targetName(kit)))};
    }
    return {};
}

KitAspectFactory::ItemList OrvSdkKitAspectFactory::toUserOutput(const Kit *kit) const
{
    return {{displayName(), describe(kit)}};
}

KitAspect *OrvSdkKitAspectFactory::createKitAspect(Kit *kit) const
{
    QTC_ASSERT(kit, return nullptr);
    return new OrvSdkKitAspect(kit, this);
}

} // namespace Orv::Internal
