// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "keychoice.h"

#include "regularkeys.h"
#include "tamarekconstants.h"

#include <nork/buildengine.h>

#include <QSettings>

using namespace Utils;

namespace Tamarek::Internal {

static QString globalPath(const char settingsKey[], const FilePath &regularPath)
{
    const QSettings settings;
    // A stored empty path stays empty: the user cleared it on purpose.
    if (settings.contains(QLatin1String(settingsKey)))
        return settings.value(QLatin1String(settingsKey)).toString();
    return regularPath.toFSPathString();
}

static FilePath sharedSrcPath(const Nork::BuildEngine *engine)
{
    return engine ? engine->sharedSrcPath() : FilePath();
}

QString KeyChoice::key() const
{
    if (!useDefaultValues)
        return customKey;
    return globalPath(Constants::GLOBAL_SIGN_KEY_KEY,
                      regularKeyFilePath(sharedSrcPath(buildEngine)));
}

QString KeyChoice::certificate() const
{
    if (!useDefaultValues)
        return customCertificate;
    return globalPath(Constants::GLOBAL_SIGN_CERT_KEY,
                      regularCertFilePath(sharedSrcPath(buildEngine)));
}

} // namespace Tamarek::Internal
