// Stands in for the Neverra OS kit's registration of one kit per build target.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/id.h>

#include <QObject>

namespace ProjectExplorer {
class Kit;
}

namespace Orv::Internal {

// Keeps one IDE kit for each build target of each configured build engine.
class OrvKitManager final : public QObject
{
    Q_OBJECT

public:
    explicit OrvKitManager(QObject *parent = nullptr);

    static Utils::Id kitId(const QString &engineName, const QString &targetName);
    static QList<ProjectExplorer::Kit *> kits();

private:
    void updateKits();
};

} // namespace Orv::Internal
