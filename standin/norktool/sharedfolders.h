// Stands in for the build engine's walls: its targets see no host folder but its shared ones.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <string>
#include <vector>

namespace Nork {

struct SharedFolder
{
    std::string path; // the same inside the target as outside
    bool readOnly = false;
};

// For the forked child, before it enters root: in a mount namespace of its
// own, covers every host folder mounted below root (the target's /proc and
// /dev stay) and binds only the given folders back at their own paths.
bool showOnlySharedFolders(const std::string &root,
                           std::vector<SharedFolder> folders,
                           std::string *errorString);

} // namespace Nork
