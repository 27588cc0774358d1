// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "pathutils.h"

#include <utils/hostosinfo.h>

#include <QDir>

namespace Tamarek::Internal {

QString cleanPath(const QString &path)
{
    if (path.isEmpty())
        return {};
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(path)));
}

bool isInsideFolder(const QString &path, const Utils::FilePath &folder)
{
    if (folder.isEmpty() || path.isEmpty())
        return false;
    const QString cleanedPath = QDir::cleanPath(QDir::fromNativeSeparators(path));
    QString cleanFolder = QDir::cleanPath(QDir::fromNativeSeparators(folder.toFSPathString()));
    const Qt::CaseSensitivity caseSensitivity = Utils::HostOsInfo::fileNameCaseSensitivity();
    if (cleanedPath.compare(cleanFolder, caseSensitivity) == 0)
        return true;
    // The root keeps its separator when cleaned.
    if (!cleanFolder.endsWith('/'))
        cleanFolder += '/';
    return cleanedPath.startsWith(cleanFolder, caseSensitivity);
}

} // namespace Tamarek::Internal
