// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "pathutils.h"

#include <utils/hostosinfo.h>

#include <QDir>

namespace Tamarek::Internal {

bool isInsideFolder(const QString &path, const Utils::FilePath &folder)
{
    if (folder.isEmpty())
        return false;
    return QDir::toNativeSeparators(path).startsWith(folder.nativePath(),
                                                     Utils::HostOsInfo::fileNameCaseSensitivity());
}

} // namespace Tamarek::Internal
