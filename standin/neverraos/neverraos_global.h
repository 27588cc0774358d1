// Stands in for the export header of the Neverra OS kit's host plug-in.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QtGlobal>

#if defined(NEVERRAOS_LIBRARY)
#  define NEVERRAOS_EXPORT Q_DECL_EXPORT
#else
#  define NEVERRAOS_EXPORT Q_DECL_IMPORT
#endif
