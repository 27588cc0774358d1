// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signingdefaults.h"

#include "regularkeys.h"
#include "tamarekconstants.h"

#include <QSettings>

using namespace Utils;

namespace Tamarek::Internal {

SigningDefaults &SigningDefaults::instance()
{
    static SigningDefaults defaults;
    return defaults;
}

static QString globalPath(const char settingsKey[], const FilePath &regularPath)
{
    const QSettings settings;
    // A stored empty path stays empty: the user cleared it on purpose.
    if (settings.contains(QLatin1String(settingsKey)))
        return settings.value(QLatin1String(settingsKey)).toString();
    return regularPath.toFSPathString();
}

QString SigningDefaults::key(const FilePath &sharedSrcPath)
{
    return globalPath(Constants::GLOBAL_SIGN_KEY_KEY, regularKeyFilePath(sharedSrcPath));
}

QString SigningDefaults::certificate(const FilePath &sharedSrcPath)
{
    return globalPath(Constants::GLOBAL_SIGN_CERT_KEY, regularCertFilePath(sharedSrcPath));
}

QString SigningDefaults::verifyRootCertificate()
{
    return QSettings()
        .value(QLatin1String(Constants::DEFAULT_VERIFY_ROOT_CERTIFICATE_KEY))
        .toString();
}

bool SigningDefaults::stopDeployOnFailure()
{
    return QSettings().value(QLatin1String(Constants::STOP_DEPLOY_ON_FAILURE_KEY), false).toBool();
}

} // namespace Tamarek::Internal
