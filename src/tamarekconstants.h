// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

namespace Tamarek::Constants {

const char PLUGIN_ID[] = "tamarek";

} // namespace Tamarek::Constants
