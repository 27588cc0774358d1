// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "tamarektests.h"

#include <extensionsystem/iplugin.h>

#include <QList>

namespace Tamarek::Internal {

static QList<std::function<QObject *()>> &creators()
{
    static QList<std::function<QObject *()>> list;
    return list;
}

int addTestCreator(const std::function<QObject *()> &creator)
{
    creators().append(creator);
    return int(creators().size());
}

void registerTests(ExtensionSystem::IPlugin *plugin)
{
    for (const auto &creator : creators())
        plugin->addTestCreator(creator);
}

} // namespace Tamarek::Internal
