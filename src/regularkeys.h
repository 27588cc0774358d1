// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/filepath.h>

namespace Tamarek::Internal {

// The folder the regular pair is used from: the workspace copy once its
// folder exists, else the kit's own "package-signing" folder.
QString regularKeysPath(const Utils::FilePath &sharedSrcPath);
Utils::FilePath regularKeyFilePath(const Utils::FilePath &sharedSrcPath);
Utils::FilePath regularCertFilePath(const Utils::FilePath &sharedSrcPath);

QString regularKeysKitPath();

} // namespace Tamarek::Internal
