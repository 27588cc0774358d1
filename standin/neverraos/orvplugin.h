// Stands in for the Neverra OS kit's host plug-in object.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <extensionsystem/iplugin.h>

namespace Orv::Internal {

class OrvPluginPrivate;

class OrvPlugin final : public ExtensionSystem::IPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QtCreatorPlugin" FILE "NeverraOS.json")

public:
    ~OrvPlugin() final;

    bool initialize(const QStringList &arguments, QString *errorString) final;
    void extensionsInitialized() final;
    bool delayedInitialize() final;

private:
    OrvPluginPrivate *d = nullptr;
    bool m_printPlugins = false;
    bool m_deploy = false;
};

} // namespace Orv::Internal
