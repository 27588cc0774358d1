// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QCoreApplication>

namespace Tamarek {

struct Tr
{
    Q_DECLARE_TR_FUNCTIONS(QtC::Tamarek)
};

} // namespace Tamarek
