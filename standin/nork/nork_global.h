// Stands in for the export header of the kit's build-engine library Nork.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QtGlobal>

#if defined(NORK_LIBRARY)
#  define NORK_EXPORT Q_DECL_EXPORT
#else
#  define NORK_EXPORT Q_DECL_IMPORT
#endif
