// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "regularkeys.h"

#include "tamarekconstants.h"

#include <nork/sdk.h>


using namespace Utils;

namespace Tamarek::Internal {

static FilePath kitFolder()
{
    return FilePath::fromUserInput(Nork::Sdk::installationPath())
        .pathAppended(QLatin1String(Constants::REGULAR_KEYS_KIT_FOLDER));
}

QString regularKeysKitPath()
{
    return kitFolder().nativePath();
}

QString regularKeysPath(const FilePath &sharedSrcPath)
{
    // An empty workspace would make the copy's folder a path below the root.
    if (sharedSrcPath.isEmpty())
        return regularKeysKitPath();
    const FilePath workspaceCopy = sharedSrcPath.pathAppended(
        QLatin1String(Constants::REGULAR_KEYS_WORKSPACE_FOLDER));
    return workspaceCopy.exists() ? workspaceCopy.nativePath() : regularKeysKitPath();
}

FilePath regularKeyFilePath(const FilePath &sharedSrcPath)
{
    return FilePath::fromUserInput(regularKeysPath(sharedSrcPath))
        .pathAppended(QLatin1String(Constants::REGULAR_KEY_FILE));
}

FilePath regularCertFilePath(const FilePath &sharedSrcPath)
{
    return FilePath::fromUserInput(regularKeysPath(sharedSrcPath))
        .pathAppended(QLatin1String(Constants::REGULAR_CERT_FILE));
}

} // namespace Tamarek::Internal
