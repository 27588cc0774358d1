// Stands in for the kit's build engine: the virtual machine that builds packages.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "buildtargetdata.h"

#include <utils/filepath.h>

#include <QObject>

namespace Nork {

class NORK_EXPORT BuildEngine : public QObject
{
    Q_OBJECT

public:
    explicit BuildEngine(QObject *parent = nullptr);
    ~BuildEngine() override;

    QString name() const;
    Utils::FilePath sharedHomePath() const;
    Utils::FilePath sharedSrcPath() const;
    QStringList buildTargetOrigins() const;
    QList<BuildTargetData> buildTargets() const;
    BuildTargetData buildTarget(const QString &name) const;

    // What the engine's settings page would do; emits sharedSrcPathChanged.
    void setSharedSrcPath(const Utils::FilePath &path);

    // Used by the SDK when it reads its configuration.
    void setName(const QString &name);
    void setSharedHomePath(const Utils::FilePath &path);
    void setBuildTargets(const QList<BuildTargetData> &targets);

signals:
    void sharedSrcPathChanged(const Utils::FilePath &sharedSrcPath);

private:
    QString m_name;
    Utils::FilePath m_sharedHomePath;
    Utils::FilePath m_sharedSrcPath;
    QList<BuildTargetData> m_buildTargets;
};

} // namespace Nork
