// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signstepsupport.h"

#include "signtool.h"

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

void forwardToolOutput(SignTool &tool, BuildStep *step)
{
    QObject::connect(&tool, &SignTool::addError, step, [step](const QString &line) {
        emit step->addOutput(line, BuildStep::OutputFormat::Stderr, BuildStep::DoAppendNewline);
    });
    QObject::connect(&tool, &SignTool::addOutput, step, [step](const QString &line) {
        emit step->addOutput(line, BuildStep::OutputFormat::Stdout, BuildStep::DoAppendNewline);
    });
}

} // namespace Tamarek::Internal
