// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "regularkeys.h"

#include "tamarekconstants.h"

#include <nork/sdk.h>

#include <QDir>
#include <QFileInfo>

using namespace Utils;

namespace Tamarek::Internal {

QString regularKeysKitPath()
{
    return Nork::Sdk::installationPath() + QDir::separator()
           + QLatin1String(Constants::REGULAR_KEYS_KIT_FOLDER);
}

QString regularKeysPath(const FilePath &sharedSrcPath)
{
    QString path = regularKeysKitPath();
    // An empty workspace would make the copy's folder a path below the root.
    if (sharedSrcPath.isEmpty())
        return path;
    const QString workspaceCopy = sharedSrcPath.toFSPathString() + QDir::separator()
                                  + QLatin1String(Constants::REGULAR_KEYS_WORKSPACE_FOLDER);
    if (QFileInfo::exists(workspaceCopy))
        path = workspaceCopy;
    return path;
}

FilePath regularKeyFilePath(const FilePath &sharedSrcPath)
{
    return FilePath::fromUserInput(regularKeysPath(sharedSrcPath) + QDir::separator()
                                   + QLatin1String(Constants::REGULAR_KEY_FILE));
}

FilePath regularCertFilePath(const FilePath &sharedSrcPath)
{
    return FilePath::fromUserInput(regularKeysPath(sharedSrcPath) + QDir::separator()
                                   + QLatin1String(Constants::REGULAR_CERT_FILE));
}

} // namespace Tamarek::Internal
