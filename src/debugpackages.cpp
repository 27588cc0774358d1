// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "debugpackages.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace Tamarek::Internal {

QStringList withoutDebugPackages(const QStringList &packages)
{
    // Only the file name: a workspace below a folder named "debuginfo" must
    // not lose every package.
    static const QRegularExpression notDebug("^((?!debug(info|source)).)*$");
    QStringList kept;
    for (const QString &package : packages) {
        if (notDebug.match(QFileInfo(package).fileName()).hasMatch())
            kept << package;
    }
    return kept;
}

} // namespace Tamarek::Internal
