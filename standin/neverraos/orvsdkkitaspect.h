// Stands in for the Neverra OS kit aspect: a kit's build engine and build target.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "neverraos_global.h"

#include <nork/buildtargetdata.h>

#include <projectexplorer/kitaspect.h>

namespace Nork {
class BuildEngine;
}

namespace Orv::Internal {

// Keeps the names of the engine and the target in the kit, so a kit survives
// the engines being read anew; the objects are looked up on every call.
class NEVERRAOS_EXPORT OrvSdkKitAspectFactory : public ProjectExplorer::KitAspectFactory
{
public:
    OrvSdkKitAspectFactory();

    static Utils::Id id();
    // Null when the kit has no engine (or the engine is gone).
    static Nork::BuildEngine *buildEngine(const ProjectExplorer::Kit *kit);
    // Invalid (empty name) when the kit has none.
    static Nork::BuildTargetData buildTarget(const ProjectExplorer::Kit *kit);
    static QString engineName(const ProjectExplorer::Kit *kit);
    static QString targetName(const ProjectExplorer::Kit *kit);
    static void setBuildTarget(ProjectExplorer::Kit *kit,
                               const QString &engineName,
                               const QString &targetName);

    ProjectExplorer::Tasks validate(const ProjectExplorer::Kit *kit) const override;
    ItemList toUserOutput(const ProjectExplorer::Kit *kit) const override;
    ProjectExplorer::KitAspect *createKitAspect(ProjectExplorer::Kit *kit) const override;
};

} // namespace Orv::Internal
