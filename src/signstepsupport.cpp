// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signstepsupport.h"

#include <neverraos/orvvbtrpmbuildstep.h>

#include <projectexplorer/buildsteplist.h>

using namespace ProjectExplorer;
using Orv::Internal::OrvVbtRpmBuildStep;

namespace Tamarek::Internal {

OrvVbtRpmBuildStep *findRpmBuildStep(const BuildStepList *stepList, const BuildStep *step)
{
    for (BuildStep *candidate : stepList->steps()) {
        if (candidate == step)
            break;
        if (auto rpmBuildStep = qobject_cast<OrvVbtRpmBuildStep *>(candidate))
            return rpmBuildStep;
    }
    return nullptr;
}

} // namespace Tamarek::Internal
