// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/filepath.h>

#include <QObject>
#include <QStringList>

namespace Tamarek::Internal {

// The build targets of the kit's first build engine, read once the event loop
// runs, after the engine has been started.
class BuildEngineInfo : public QObject
{
    Q_OBJECT

public:
    explicit BuildEngineInfo(QObject *parent = nullptr);

    Utils::FilePath sharedSrcPath() const;

signals:
    void targetsChanged(const QStringList &targets);
    // The list could not be had; the reason is a sentence for the user.
    void targetsUnavailable(const QString &reason);

private:
    void updateTargets();
    void setTargets(const QStringList &targets);

    QStringList m_targets;
    Utils::FilePath m_sharedSrcPath;
};

} // namespace Tamarek::Internal
