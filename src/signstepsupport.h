// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

namespace ProjectExplorer {
class BuildStep;
class BuildStepList;
} // namespace ProjectExplorer

namespace Orv::Internal {
class OrvVbtRpmBuildStep;
}

namespace Tamarek::Internal {

class SignTool;

// The first RPM build step in front of the step. A step being created is not
// in the list yet, so then the whole list counts.
Orv::Internal::OrvVbtRpmBuildStep *findRpmBuildStep(const ProjectExplorer::BuildStepList *stepList,
                                                    const ProjectExplorer::BuildStep *step);

// Shows every line of the tool in the step's output pane too.
void forwardToolOutput(SignTool &tool, ProjectExplorer::BuildStep *step);

} // namespace Tamarek::Internal
