// Stands in for the kit's SDK object: its build engines and installation.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "sdk.h"

#include "buildengine.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

static QString absolute(const QDir &base, const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(base.absoluteFilePath(path));
}

static bool read(const QString &filePath, Configuration &config, QString *errorString)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        *errorString = QString("Cannot read the kit configuration %1: %2")
                           .arg(filePath, file.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        *errorString = QString("The kit configuration %1 is not valid: %2")
                           .arg(filePath, parseError.errorString());
        return false;
    }

    const QDir base = QFileInfo(filePath).absoluteDir();
    const QJsonObject root = document.object();
    config.filePath = QFileInfo(filePath).absoluteFilePath();
    config.osVariant = root.value("osVariant").toString("Neverra OS");
    config.installationPath = absolute(base, root.value("installationPath").toString());
    config.norkPath = Utils::FilePath::fromString(absolute(base, root.value("norkPath").toString()));
    for (const QJsonValue &engineValue : root.value("engines").toArray()) {
        const QJsonObject engineObject = engineValue.toObject();
        auto engine = new BuildEngine;
        engine->setName(engineObject.value("name").toString());
        engine->setSharedHomePath(Utils::FilePath::fromString(
            absolute(base, engineObject.value("sharedHome").toString())));
        engine->setSharedSrcPath(Utils::FilePath::fromString(
            absolute(base, engineObject.value("sharedSrc").toString())));
        QList<BuildTargetData> targets;
        for (const QJsonValue &targetValue : engineObject.value("targets").toArray()) {
            const QJsonObject targetObject = targetValue.toObject();
            BuildTargetData target;
            target.name = targetObject.value("name").toString();
            for (const QJsonValue &tool : targetObject.value("tools").toArray())
                target.signingTools << tool.toString();
            targets << target;
        }
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
    const QString fromEnvironment = qEnvironmentVariable(CONFIG_VARIABLE);
    return fromEnvironment.isEmpty() ? QString(NEVERRAOS_DEFAULT_CONFIG) : fromEnvironment;
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
