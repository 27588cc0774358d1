// Stands in for the Neverra OS kit's base of process-running build steps.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "neverraos_global.h"

#include <projectexplorer/abstractprocessstep.h>

namespace Orv::Internal {

class NEVERRAOS_EXPORT OrvProcessStep : public ProjectExplorer::AbstractProcessStep
{
    Q_OBJECT

public:
    enum InitOption {
        NoInitOption = 0x0,
        NoBuildConfiguration = 0x1, // the step works without a build configuration
    };
    Q_DECLARE_FLAGS(InitOptions, InitOption)

    OrvProcessStep(ProjectExplorer::BuildStepList *stepList, Utils::Id id);

protected:
    // Checks that the kit has a build engine and a build target (and, unless
    // told otherwise, that there is a build configuration), reporting what is
    // missing as a task; then sets up the process when the step runs one.
    bool init(InitOptions options);

    // Hides the base's, to know whether the step runs a process of its own.
    void setCommandLineProvider(const std::function<Utils::CommandLine()> &provider);

private:
    void reportError(const QString &message);

    bool m_hasCommandLineProvider = false;
};

} // namespace Orv::Internal

Q_DECLARE_OPERATORS_FOR_FLAGS(Orv::Internal::OrvProcessStep::InitOptions)
