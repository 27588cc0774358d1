// Stands in for the kit's SDK object: its build engines and installation.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "nork_global.h"

#include <utils/filepath.h>

#include <QList>
#include <QObject>

namespace Nork {

class BuildEngine;

// The stand-in reads everything from one JSON file: the file named by the
// environment variable NEVERRAOS_KIT_CONFIG, else the one made by the build.
class NORK_EXPORT Sdk : public QObject
{
    Q_OBJECT

public:
    enum TextStyle { SystemStyle = 0, ShortStyle = 1 };

    static Sdk *instance();

    static QList<BuildEngine *> buildEngines();
    static QString installationPath();
    static QString osVariant(TextStyle style);
    static Utils::FilePath norkPath();

    static QString configurationPath();
    // Replaces the engines (old ones are deleted later) and points the kit's
    // command-line tool, run from this process, at the same file.
    static bool loadConfiguration(const QString &filePath, QString *errorString = nullptr);

signals:
    void configurationChanged();

private:
    Sdk();
};

} // namespace Nork
