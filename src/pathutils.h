// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/filepath.h>

namespace Tamarek::Internal {

// Whether the path, once "." and ".." and doubled separators are resolved, is
// the folder or lies below it; file names compare as the host does. A folder
// sharing a prefix with the path (/home/u/ws2 for /home/u/ws) does not count.
bool isInsideFolder(const QString &path, const Utils::FilePath &folder);

// Whether every path lies inside one of the folders; none given counts as
// inside.
bool areInsideFolders(const QStringList &paths, const QList<Utils::FilePath> &folders);

// What must lie inside the folders the build engine shares with the host.
enum class InsideWhat {
    Path,               // a chooser's path
    KeyAndCertificate,  // a sign step's pair
    KeysAndCertificate, // the customer-sign step's files
};

// Why what was checked is refused, naming the folders: the workspace alone,
// or the shared home and workspace folders.
QString outsideFoldersMessage(InsideWhat what, const QList<Utils::FilePath> &folders);

// The path as isInsideFolder reads it: what is checked is what a tool must get,
// or the kernel would resolve "link/.." through the link.
QString cleanPath(const QString &path);

} // namespace Tamarek::Internal
