// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QPointer>
#include <QString>

namespace Nork {
class BuildEngine;
}

namespace Tamarek::Internal {

// The rpmsign-external step's choice between the global pair and its own.
// The global pair is read anew on each use, so the options page applies to
// the next run.
class KeyChoice
{
public:
    QString key() const;
    QString certificate() const;

    bool useDefaultValues = true;
    QPointer<Nork::BuildEngine> buildEngine;
    QString customKey;
    QString customCertificate;
};

} // namespace Tamarek::Internal
