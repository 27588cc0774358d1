// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "pathutils.h"

#include "tamarektr.h"

#include <utils/hostosinfo.h>
#include <utils/qtcassert.h>

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

bool areInsideFolders(const QStringList &paths, const QList<Utils::FilePath> &folders)
{
    return std::all_of(paths.cbegin(), paths.cend(), [&folders](const QString &path) {
        return std::any_of(folders.cbegin(), folders.cend(), [&path](const Utils::FilePath &folder) {
            return isInsideFolder(path, folder);
        });
    });
}

QString outsideFoldersMessage(InsideWhat what, const QList<Utils::FilePath> &folders)
{
    QTC_ASSERT(folders.size() == 1 || folders.size() == 2, return {});
    const bool workspaceOnly = folders.size() == 1;
    const auto userOutput = [&folders](int i) { return folders.at(i).toUserOutput(); };
    const auto nativePath = [&folders](int i) { return folders.at(i).shortNativePath(); };
    switch (what) {
    case InsideWhat::Path:
        return workspaceOnly
                   ? Tr::tr("The path must be inside workspace folder:\n%1").arg(userOutput(0))
                   : Tr::tr("The path must be inside shared folders:\n%1\n%2")
                         .arg(userOutput(0), userOutput(1));
    case InsideWhat::KeyAndCertificate:
        QTC_CHECK(workspaceOnly);
        return Tr::tr("Error: key and certificate must be inside workspace folder: %1")
            .arg(nativePath(0));
    case InsideWhat::KeysAndCertificate:
        QTC_CHECK(!workspaceOnly);
        return Tr::tr("Error: keys and certificate must be inside shared folders: %1, %2")
            .arg(nativePath(0), nativePath(1));
    }
    return {};
}

} // namespace Tamarek::Internal
