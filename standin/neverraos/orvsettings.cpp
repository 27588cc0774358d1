// Stands in for the Neverra OS kit's settings.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "orvsettings.h"

#include <nork/sdk.h>

namespace Orv::Internal {

Utils::FilePath OrvSettings::norkPath()
{
    return Nork::Sdk::norkPath();
}

} // namespace Orv::Internal
