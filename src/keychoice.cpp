// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "keychoice.h"

#include "signingdefaults.h"

#include <nork/buildengine.h>

using namespace Utils;

namespace Tamarek::Internal {

static FilePath sharedSrcPath(const Nork::BuildEngine *engine)
{
    return engine ? engine->sharedSrcPath() : FilePath();
}

QString KeyChoice::key() const
{
    return useDefaultValues ? SigningDefaults::key(sharedSrcPath(buildEngine)) : customKey;
}

QString KeyChoice::certificate() const
{
    return useDefaultValues ? SigningDefaults::certificate(sharedSrcPath(buildEngine))
                            : customCertificate;
}

} // namespace Tamarek::Internal
