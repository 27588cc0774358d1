// Stands in for the kit's SDK object: its build engines and installation.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "sdk.h"

#include "buildengine.h"

#include <kitconfig.h>

#include <QFileInfo>
#include <QPointer>

namespace Nork {

const char CONFIG_VARIABLE[] = "NEVERRAOS_KIT_CONFIG";

struct Configuration
{
    QString filePath;
    QString osVariant;
    QString installationPath;
    Utils::FilePath norkPath;
    QList<QPointer<BuildEngine>> engines;
    bool loaded = false;
};

static Configuration &configuration()
{
    static Configuration config;
    return config;
}

static bool read(const QString &filePath, Configuration &config, QString *errorString)
{
    KitConfig kit;
    if (!readKitConfig(filePath, &kit, errorString))
        return false;
    config.filePath = QFileInfo(filePath).absoluteFilePath();
    config.osVariant = kit.osVariant;
    config.installationPath = kit.installationPath;
    config.norkPath = Utils::FilePath::fromString(kit.norkPath);
    for (const KitEngine &kitEngine : std::as_const(kit.engines)) {
        // Owned by the SDK object: the last configuration's engines go at exit.
        auto engine = new BuildEngine(Sdk::instance());
        engine->setName(kitEngine.name);
        engine->setSharedHomePath(Utils::FilePath::fromString(kitEngine.sharedHome));
        engine->setSharedSrcPath(Utils::FilePath::fromString(kitEngine.sharedSrc));
        QList<BuildTargetData> targets;
        for (const KitTarget &kitTarget : kitEngine.targets)
            targets << BuildTargetData{kitTarget.name, kitTarget.tools};
        engine->setBuildTargets(targets);
        config.engines << engine;
    }
    config.loaded = true;
    return true;
}

static Configuration &loadedConfiguration()
{
    Configuration &config = configuration();
    if (!config.loaded) {
        QString error;
        if (!read(Sdk::configurationPath(), config, &error))
            qWarning("[Nork] %s", qPrintable(error));
        config.loaded = true;
    }
    return config;
}

Sdk::Sdk() = default;

Sdk *Sdk::instance()
{
    static Sdk sdk;
    return &sdk;
}

QList<BuildEngine *> Sdk::buildEngines()
{
    QList<BuildEngine *> engines;
    for (const QPointer<BuildEngine> &engine : loadedConfiguration().engines) {
        if (engine)
            engines << engine.data();
    }
    return engines;
}

QString Sdk::installationPath()
{
    return loadedConfiguration().installationPath;
}

QString Sdk::osVariant(TextStyle style)
{
    const QString variant = loadedConfiguration().osVariant;
    return style == ShortStyle ? variant.section(' ', 0, 0) : variant;
}

Utils::FilePath Sdk::norkPath()
{
    return loadedConfiguration().norkPath;
}

QString Sdk::configurationPath()
{
    const Configuration &config = configuration();
    if (config.loaded && !config.filePath.isEmpty())
        return config.filePath;
    return defaultKitConfigPath();
}

bool Sdk::loadConfiguration(const QString &filePath, QString *errorString)
{
    Configuration fresh;
    QString error;
    if (!read(filePath, fresh, &error)) {
        if (errorString)
            *errorString = error;
        return false;
    }
    // Old engines go later: callers may still be inside one of their signals.
    for (const QPointer<BuildEngine> &engine : std::as_const(configuration().engines)) {
        if (engine)
            engine->deleteLater();
    }
    configuration() = fresh;
    qputenv(CONFIG_VARIABLE, fresh.filePath.toLocal8Bit());
    emit instance()->configurationChanged();
    return true;
}

} // namespace Nork
