// Stands in for the Neverra OS kit's settings.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "neverraos_global.h"

#include <utils/filepath.h>

namespace Orv::Internal {

class NEVERRAOS_EXPORT OrvSettings
{
public:
    // The kit's command-line tool.
    static Utils::FilePath norkPath();
};

} // namespace Orv::Internal
