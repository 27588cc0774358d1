// Stands in for the kit's own description of its build engines and targets.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Nork {

// The stand-in kit is one JSON file. The Nork library, the kit's tool and the
// tests all read (and the tests write) it through these, so that they agree.
struct KitTarget
{
    QString name;
    QString root; // of the build target's file system
    QStringList tools; // the signing tools it provides
};

struct KitEngine
{
    QString name;
    bool canStart = true;
    QString sharedHome;
    QString sharedSrc;
    QList<KitTarget> targets;
};

struct KitConfig
{
    QString osVariant = "Neverra OS";
    QString installationPath;
    QString norkPath;
    QList<KitEngine> engines;
};

// The file named by NEVERRAOS_KIT_CONFIG, else the one the build made.
QString defaultKitConfigPath();

// Paths in the file are taken relative to its folder and come back absolute
// and clean; an empty one stays empty.
bool readKitConfig(const QString &filePath, KitConfig *config, QString *errorString);
bool writeKitConfig(const QString &filePath, const KitConfig &config, QString *errorString);

} // namespace Nork
