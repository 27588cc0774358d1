// Stands in for the translation context of the Neverra OS kit's host plug-in.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QCoreApplication>

namespace Orv {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(QtC::NeverraOS)
};

} // namespace Orv
