// Stands in for the kit's description of one build target of a build engine.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "nork_global.h"

#include <QString>
#include <QStringList>

namespace Nork {

class NORK_EXPORT BuildTargetData
{
public:
    bool isValid() const { return !name.isEmpty(); }

    QString name;               // the target of "engine exec ... sb2 -t NAME"
    QStringList signingTools;   // e.g. "rpmsign-external", "customer-sign", "openssl"
};

} // namespace Nork
