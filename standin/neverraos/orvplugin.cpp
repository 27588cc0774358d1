// Stands in for the Neverra OS kit's host plug-in object.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "orvplugin.h"

#include "neverraosconstants.h"
#include "neverraostr.h"
#include "orvcommandlinedeploy.h"
#include "orvdeployconfigurationfactory.h"
#include "orvdevice.h"
#include "orvkitmanager.h"
#include "orvproject.h"
#include "orvsdkkitaspect.h"
#include "orvvbtrpmbuildstep.h"

#ifdef WITH_TESTS
#include "neverraostests.h"
#endif

#include <coreplugin/actionmanager/actioncontainer.h>
#include <coreplugin/actionmanager/actionmanager.h>
#include <coreplugin/coreconstants.h>

#include <extensionsystem/pluginmanager.h>
#include <extensionsystem/pluginspec.h>

#include <QCoreApplication>
#include <QMenu>
#include <QTextStream>
#include <QTimer>

using namespace ExtensionSystem;

namespace Orv::Internal {

class OrvPluginPrivate
{
public:
    OrvSdkKitAspectFactory kitAspectFactory;
    OrvDeviceFactory deviceFactory;
    OrvVbtRpmBuildStepFactory rpmBuildStepFactory;
    OrvDeployConfigurationFactory deployConfigurationFactory;
    OrvKitManager kitManager;
};

OrvPlugin::~OrvPlugin()
{
    delete d;
}

// The kit's own menu, which other plug-ins fill.
static void createToolsMenu()
{
    Core::ActionContainer *menu = Core::ActionManager::createMenu(Constants::TOOLS_MENU_ID);
    menu->menu()->setTitle(Tr::tr("Neverra OS"));
    menu->setOnAllDisabledBehavior(Core::ActionContainer::Show);
    Core::ActionManager::actionContainer(Core::Constants::M_TOOLS)->addMenu(menu);
}

bool OrvPlugin::initialize(const QStringList &arguments, QString *errorString)
{
    Q_UNUSED(errorString)
    m_printPlugins = arguments.contains("-neverraos-print-plugins");
    m_deploy = arguments.contains("-neverraos-deploy");

    d = new OrvPluginPrivate;
    OrvDeviceFactory::registerDevice();
    setupOrvProject();
    createToolsMenu();
    if (m_deploy)
        new OrvCommandLineDeploy(this);

#ifdef WITH_TESTS
    registerTests(this);
#endif
    return true;
}

void OrvPlugin::extensionsInitialized() {}

static void printPlugins()
{
    QTextStream out(stdout);
    out << "Loaded plug-ins:\n";
    for (const PluginSpec *pluginSpec : PluginManager::plugins()) {
        if (pluginSpec->state() == PluginSpec::Running)
            out << "  " << pluginSpec->id() << ' ' << pluginSpec->version() << '\n';
    }
    for (const PluginSpec *pluginSpec : PluginManager::plugins()) {
        if (pluginSpec->id() != "tamarek")
            continue;
        out << "\nTamarek, " << (pluginSpec->state() == PluginSpec::Running ? "loaded" : "NOT loaded")
            << ":\n";
        const auto row = [&out](const char *key, const QString &value) {
            out << "  " << key << ": " << value << '\n';
        };
        row("Name", pluginSpec->name());
        row("Id", pluginSpec->id());
        row("Version", pluginSpec->version());
        row("CompatVersion", pluginSpec->compatVersion());
        row("Description", pluginSpec->description());
        row("Vendor", pluginSpec->vendor());
        row("VendorId", pluginSpec->vendorId());
        row("Copyright", pluginSpec->copyright());
        row("License", pluginSpec->license());
        row("Url", pluginSpec->url());
        QStringList dependencies;
        for (const PluginDependency &dependency : pluginSpec->dependencies())
            dependencies << dependency.id + ' ' + dependency.version;
        row("Dependencies", dependencies.join(", "));
        if (pluginSpec->hasError())
            row("Error", pluginSpec->errorString());
    }
    out.flush();
}

bool OrvPlugin::delayedInitialize()
{
    if (m_printPlugins) {
        printPlugins();
        // A deploy asked for as well quits when it is done.
        if (!m_deploy)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return false;
}

} // namespace Orv::Internal
