// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/filepath.h>

namespace Tamarek::Internal {

// A plain prefix test on native paths: /home/u/ws2/a.pem lies inside /home/u/ws.
bool isInsideFolder(const QString &path, const Utils::FilePath &folder);

} // namespace Tamarek::Internal
