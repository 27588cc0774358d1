// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/filepath.h>

#include <QObject>

namespace Tamarek::Internal {

// The global pair of the options page, which steps on the global keys sign
// with. It is read anew on each use; changed() tells those that show it.
class SigningDefaults final : public QObject
{
    Q_OBJECT

public:
    static SigningDefaults &instance();

    // The stored path, else the regular file of the workspace's copy.
    static QString key(const Utils::FilePath &sharedSrcPath);
    static QString certificate(const Utils::FilePath &sharedSrcPath);
    // The CA certificate that steps verify against when they name none.
    static QString verifyRootCertificate();
    // Whether packages not signed or not verified stop the deploy.
    static bool stopDeployOnFailure();

signals:
    void changed();
};

} // namespace Tamarek::Internal
