// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QStringList>

namespace Tamarek::Internal {

// Drops the debuginfo and debugsource packages, keeping the order of the others.
QStringList withoutDebugPackages(const QStringList &packages);

} // namespace Tamarek::Internal
