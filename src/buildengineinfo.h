// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "toolrunner.h"

#include <utils/filepath.h>

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

namespace Tamarek::Internal {

// The build targets of the kit's first build engine, read once the event loop
// runs, after the engine has been started.
class BuildEngineInfo : public QObject
{
    Q_OBJECT

public:
    // Runs the engine start and gives its result, or nothing when whoever
    // ran it went away meanwhile.
    using Runner = std::function<std::optional<ProcessResult>(const QStringList &command)>;

    explicit BuildEngineInfo(QObject *parent = nullptr);

    Utils::FilePath sharedSrcPath() const;
    // How the engine is started; by default a run nobody can stop.
    void setRunner(const Runner &runner);
    // Starts the engine and reads the targets anew.
    void updateTargets();

signals:
    void targetsChanged(const QStringList &targets);
    // The list could not be had; the reason is a sentence for the user.
    void targetsUnavailable(const QString &reason);

private:
    void setTargets(const QStringList &targets);

    QStringList m_targets;
    Utils::FilePath m_sharedSrcPath;
    Runner m_runner;
};

} // namespace Tamarek::Internal
