// Stands in for the build engine's walls: its targets see no host folder but its shared ones.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "sharedfolders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace Nork {

static bool isAtOrBelow(const std::string &path, const std::string &folder)
{
    return path == folder
           || (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0
               && path[folder.size()] == '/');
}

// Mount points in mountinfo have blanks and the like as octal escapes.
static std::string unescaped(const std::string &field)
{
    std::string result;
    for (size_t i = 0; i < field.size(); ++i) {
        const auto isOctal = [&](size_t at) { return field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(i + 1) && isOctal(i + 2)
            && isOctal(i + 3)) {
            result += char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + field[i + 3]
                           - '0');
            i += 3;
        } else {
            result += field[i];
        }
    }
    return result;
}

static std::vector<std::string> mountsBelow(const std::string &root)
{
    std::vector<std::string> result;
    std::ifstream mountInfo("/proc/self/mountinfo");
    std::string line;
    while (std::getline(mountInfo, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, source, mountPoint;
        fields >> id >> parent >> device >> source >> mountPoint;
        mountPoint = unescaped(mountPoint);
        if (mountPoint != root && isAtOrBelow(mountPoint, root))
            result.push_back(mountPoint);
    }
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

static std::string systemError(const std::string &what)
{
    return what + ": " + std::strerror(errno);
}

// Below a covering tmpfs, so nothing of the target's own root is changed.
static bool makeFolders(const std::string &path, size_t from)
{
    for (size_t slash = path.find('/', from + 1);; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

static bool bind(const SharedFolder &folder, const std::string &target)
{
    const unsigned long readOnly = MS_REMOUNT | MS_BIND | MS_RDONLY;
    return mount(folder.path.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) == 0
           && mount(nullptr, target.c_str(), nullptr, MS_PRIVATE, nullptr) == 0
           && (!folder.readOnly || mount(nullptr, target.c_str(), nullptr, readOnly, nullptr) == 0);
}

bool showOnlySharedFolders(const std::string &root,
                           std::vector<SharedFolder> folders,
                           std::string *errorString)
{
    // "/" of a chroot is no mount point, so it can't be made private as a
    // whole; the mounts below the target's root can, one by one, and nothing
    // mounted on them then reaches the host.
    if (unshare(CLONE_NEWNS) != 0) {
        *errorString = systemError("cannot make a mount namespace");
        return false;
    }
    const std::vector<std::string> mounts = mountsBelow(root);
    for (const std::string &mountPoint : mounts) {
        if (mount(nullptr, mountPoint.c_str(), nullptr, MS_PRIVATE, nullptr) != 0) {
            *errorString = systemError("cannot make " + mountPoint + " private");
            return false;
        }
    }

    std::vector<std::string> covered;
    for (const std::string &mountPoint : mounts) {
        const bool targetsOwn = isAtOrBelow(mountPoint, root + "/proc")
                                || isAtOrBelow(mountPoint, root + "/dev")
                                || isAtOrBelow(mountPoint, root + "/sys");
        const bool hidden = std::any_of(covered.begin(), covered.end(), [&](const auto &c) {
            return isAtOrBelow(mountPoint, c);
        });
        if (targetsOwn || hidden)
            continue;
        // A folder removed on the host leaves its mount behind, reaching nothing.
        struct stat info;
        if (stat(mountPoint.c_str(), &info) != 0) {
            if (errno == ENOENT)
                continue;
            *errorString = systemError("cannot read " + mountPoint);
            return false;
        }
        char options[32];
        std::snprintf(options, sizeof options, "mode=%o", unsigned(info.st_mode & 07777));
        if (mount("tmpfs", mountPoint.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options) != 0) {
            if (errno == ENOENT)
                continue;
            *errorString = systemError("cannot cover " + mountPoint);
            return false;
        }
        covered.push_back(mountPoint);
    }

    // A parent first, so that a folder shared inside another one stays on top.
    std::sort(folders.begin(), folders.end(), [](const SharedFolder &a, const SharedFolder &b) {
        return a.path < b.path;
    });
    for (const SharedFolder &folder : folders) {
        const std::string target = root + folder.path;
        const auto holder = std::find_if(covered.begin(), covered.end(), [&](const auto &c) {
            return isAtOrBelow(target, c);
        });
        if (holder == covered.end()) {
            *errorString = "cannot share " + folder.path + ": no mount of the root holds it";
            return false;
        }
        struct stat info;
        if (stat(folder.path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
            *errorString = "cannot share " + folder.path + ": not a folder";
            return false;
        }
        if (!makeFolders(target, holder->size()) || !bind(folder, target)) {
            *errorString = systemError("cannot share " + folder.path);
            return false;
        }
    }
    return true;
}

} // namespace Nork
