// Stands in for a Neverra OS application project: a JSON file naming its RPM recipe.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "neverraos_global.h"

#include <projectexplorer/project.h>

namespace Orv::Internal {

// A project file looks like {"name": "example", "recipe": "example.rpmrecipe"},
// the recipe relative to the project file's folder.
class NEVERRAOS_EXPORT OrvProject final : public ProjectExplorer::Project
{
    Q_OBJECT

public:
    explicit OrvProject(const Utils::FilePath &projectFile);

    // Reads the project file anew; on failure the recipe path is empty.
    bool readProjectFile(QString *errorString = nullptr);
    Utils::FilePath recipeFilePath() const { return m_recipeFilePath; }

    bool needsConfiguration() const final { return false; }

    // Empty for a project of another type.
    static Utils::FilePath recipeOf(const ProjectExplorer::Project *project);

private:
    RestoreResult fromMap(const Utils::Store &map, QString *errorMessage) final;

    Utils::FilePath m_recipeFilePath;
};

void setupOrvProject();

} // namespace Orv::Internal
