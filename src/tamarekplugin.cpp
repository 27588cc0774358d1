// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "tamarekplugin.h"

#ifdef WITH_TESTS
#include "tamarektests.h"
#endif

namespace Tamarek::Internal {

TamarekPlugin::TamarekPlugin() = default;

TamarekPlugin::~TamarekPlugin() = default;

bool TamarekPlugin::initialize(const QStringList &arguments, QString *errorString)
{
    Q_UNUSED(arguments)
    Q_UNUSED(errorString)
#ifdef WITH_TESTS
    registerTests(this);
#endif
    return true;
}

void TamarekPlugin::extensionsInitialized() {}

ExtensionSystem::IPlugin::ShutdownFlag TamarekPlugin::aboutToShutdown()
{
    return SynchronousShutdown;
}

} // namespace Tamarek::Internal
