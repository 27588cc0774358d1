// Test scaffolding for the stand-in kit: kit configurations of a test's own.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "testkit.h"

#include <neverraos/orvsdkkitaspect.h>

#include <nork/sdk.h>

#include <projectexplorer/kitmanager.h>

#include <utils/algorithm.h>

#include <kitconfig.h>

#include <QDir>

namespace Orv::Testing {

static QString engineFolder(int engine)
{
    return QString("engine-%1").arg(engine + 1);
}

TestKit::TestKit()
    : TestKit({defaultEngine()})
{}

TestKit::TestKit(const QList<TestEngine> &engines)
    : TestKit(engines, {})
{}

// The folder lies under the temporary folder, which build targets share.
TestKit::TestKit(const QList<TestEngine> &engines, const Options &options)
    : m_folder(QDir::tempPath() + "/orv-testkit-XXXXXX")
    , m_engines(engines)
    , m_previousConfiguration(Nork::Sdk::configurationPath())
{
    if (!m_folder.isValid()) {
        m_errorString = m_folder.errorString();
        return;
    }
    if (!write(engines, options))
        return;
    m_loaded = Nork::Sdk::loadConfiguration(configurationPath().toFSPathString(), &m_errorString);
}

TestKit::~TestKit()
{
    if (m_loaded)
        Nork::Sdk::loadConfiguration(m_previousConfiguration);
}

Utils::FilePath TestKit::folder() const
{
    return Utils::FilePath::fromString(m_folder.path());
}

Utils::FilePath TestKit::configurationPath() const
{
    return folder().pathAppended("kit.json");
}

Utils::FilePath TestKit::sharedHomePath(int engine) const
{
    return folder().pathAppended(engineFolder(engine) + "/home");
}

Utils::FilePath TestKit::sharedSrcPath(int engine) const
{
    return folder().pathAppended(engineFolder(engine) + "/workspace");
}

ProjectExplorer::Kit *TestKit::kit(int engine, int target) const
{
    using Orv::Internal::OrvSdkKitAspectFactory;
    const QString engineName = m_engines.value(engine).name;
    const QString targetName = m_engines.value(engine).targets.value(target).name;
    if (!m_loaded || targetName.isEmpty())
        return nullptr;
    return Utils::findOrDefault(ProjectExplorer::KitManager::kits(),
                                [&](const ProjectExplorer::Kit *kit) {
                                    // Not one that a test made on its own.
                                    return kit->isAutoDetected()
                                           && OrvSdkKitAspectFactory::engineName(kit) == engineName
                                           && OrvSdkKitAspectFactory::targetName(kit) == targetName;
                                });
}

TestEngine TestKit::defaultEngine()
{
    return {"Test Engine", {{"TestTarget-aarch64", {"rpmsign-external", "openssl"}, {}}}, true};
}

QString TestKit::currentTargetRoot()
{
    Nork::KitConfig kit;
    QString error;
    if (!Nork::readKitConfig(Nork::Sdk::configurationPath(), &kit, &error))
        return {};
    for (const Nork::KitEngine &engine : std::as_const(kit.engines)) {
        for (const Nork::KitTarget &target : engine.targets) {
            if (!target.root.isEmpty())
                return target.root;
        }
    }
    return {};
}

bool TestKit::write(const QList<TestEngine> &engines, const Options &options)
{
    const QString defaultRoot = currentTargetRoot();
    Nork::KitConfig kit;
    for (int i = 0; i < engines.size(); ++i) {
        const TestEngine &engine = engines.at(i);
        for (const Utils::FilePath &path : {sharedHomePath(i), sharedSrcPath(i)}) {
            if (!path.ensureWritableDir()) {
                m_errorString = QString("Cannot make the folder %1").arg(path.toUserOutput());
                return false;
            }
        }
        Nork::KitEngine kitEngine{engine.name,
                                  engine.canStart,
                                  sharedHomePath(i).toFSPathString(),
                                  sharedSrcPath(i).toFSPathString(),
                                  {}};
        for (const TestTarget &target : engine.targets) {
            kitEngine.targets.append(
                {target.name, target.root.isEmpty() ? defaultRoot : target.root, target.tools});
        }
        kit.engines.append(kitEngine);
    }
    kit.osVariant = options.osVariant.isEmpty() ? Nork::Sdk::osVariant(Nork::Sdk::SystemStyle)
                                                : options.osVariant;
    kit.installationPath = options.installationPath.isEmpty() ? Nork::Sdk::installationPath()
                                                              : options.installationPath;
    kit.norkPath = (options.norkPath.isEmpty() ? Nork::Sdk::norkPath() : options.norkPath)
                       .toFSPathString();
    return Nork::writeKitConfig(configurationPath().toFSPathString(), kit, &m_errorString);
}

} // namespace Orv::Testing
