// Stands in for the kit's own description of its build engines and targets.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "kitconfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Nork {

QString defaultKitConfigPath()
{
    const QString fromEnvironment = qEnvironmentVariable("NEVERRAOS_KIT_CONFIG");
    return fromEnvironment.isEmpty() ? QString(NEVERRAOS_DEFAULT_CONFIG) : fromEnvironment;
}

static QString absolute(const QDir &base, const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(base.absoluteFilePath(path));
}

bool readKitConfig(const QString &filePath, KitConfig *config, QString *errorString)
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
    KitConfig result;
    result.osVariant = root.value("osVariant").toString(result.osVariant);
    result.installationPath = absolute(base, root.value("installationPath").toString());
    result.norkPath = absolute(base, root.value("norkPath").toString());
    for (const QJsonValue &engineValue : root.value("engines").toArray()) {
        const QJsonObject engineObject = engineValue.toObject();
        KitEngine engine;
        engine.name = engineObject.value("name").toString();
        engine.canStart = engineObject.value("canStart").toBool(true);
        engine.sharedHome = absolute(base, engineObject.value("sharedHome").toString());
        engine.sharedSrc = absolute(base, engineObject.value("sharedSrc").toString());
        for (const QJsonValue &targetValue : engineObject.value("targets").toArray()) {
            const QJsonObject targetObject = targetValue.toObject();
            KitTarget target;
            target.name = targetObject.value("name").toString();
            target.root = absolute(base, targetObject.value("root").toString());
            for (const QJsonValue &tool : targetObject.value("tools").toArray())
                target.tools << tool.toString();
            engine.targets << target;
        }
        result.engines << engine;
    }
    *config = result;
    return true;
}

bool writeKitConfig(const QString &filePath, const KitConfig &config, QString *errorString)
{
    QJsonArray engines;
    for (const KitEngine &engine : config.engines) {
        QJsonArray targets;
        for (const KitTarget &target : engine.targets) {
            targets.append(QJsonObject{{"name", target.name},
                                       {"root", target.root},
                                       {"tools", QJsonArray::fromStringList(target.tools)}});
        }
        engines.append(QJsonObject{{"name", engine.name},
                                   {"canStart", engine.canStart},
                                   {"sharedHome", engine.sharedHome},
                                   {"sharedSrc", engine.sharedSrc},
                                   {"targets", targets}});
    }
    const QJsonObject root{{"osVariant", config.osVariant},
                           {"installationPath", config.installationPath},
                           {"norkPath", config.norkPath},
                           {"engines", engines}};

    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(root).toJson()) < 0
        || !file.flush()) {
        *errorString = QString("Cannot write %1: %2").arg(filePath, file.errorString());
        return false;
    }
    return true;
}

} // namespace Nork
