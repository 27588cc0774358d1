// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <kitconfig.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace TestSupport {

struct NorkRun
{
    bool finished = false;
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
    QStringList prompts;
    bool unexpectedPrompt = false;
};

struct TargetSpec
{
    QString name;
    QStringList tools;
};

// The root of the build's own kit, so tests use the same Debian root.
inline QString targetRoot()
{
    Nork::KitConfig kit;
    QString error;
    if (!Nork::readKitConfig(QStringLiteral(BUILD_KIT_CONFIG), &kit, &error)
        || kit.engines.isEmpty() || kit.engines.first().targets.isEmpty()) {
        return {};
    }
    return kit.engines.first().targets.first().root;
}

inline QString writeConfig(const QString &folder, bool canStart, const QList<TargetSpec> &targets)
{
    Nork::KitEngine engine{"Test Engine", canStart, folder, folder, {}};
    for (const TargetSpec &target : targets)
        engine.targets.append({target.name, targetRoot(), target.tools});
    Nork::KitConfig kit;
    kit.installationPath = folder;
    kit.norkPath = NORK_PATH;
    kit.engines = {engine};
    const QString path = folder + "/kit.json";
    QString error;
    return Nork::writeKitConfig(path, kit, &error) ? path : QString();
}

inline void setUpNork(QProcess *process, const QString &config, const QString &workingDir)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("NEVERRAOS_KIT_CONFIG", config);
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(workingDir);
    process->setProgram(NORK_PATH);
}

// The prompts that the plug-in answers; a line counts once it ends in a colon.
inline bool isPrompt(const QString &line)
{
    static const QStringList prompts{"Enter passphrase for binaries key",
                                     "Enter PEM pass phrase",
                                     "Verifying - Enter PEM pass phrase",
                                     "Enter pass phrase"};
    if (!line.trimmed().endsWith(':'))
        return false;
    for (const QString &prompt : prompts) {
        if (line.startsWith(prompt))
            return true;
    }
    return false;
}

// Answers each prompt with the next answer, and only once the prompt is there.
inline NorkRun runNork(const QStringList &arguments,
                       const QString &config,
                       const QString &workingDir,
                       QStringList answers = {},
                       int timeoutMs = 120000)
{
    NorkRun run;
    QProcess process;
    setUpNork(&process, config, workingDir);
    process.setArguments(arguments);
    qsizetype scanned = 0;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, [&] {
        run.output += process.readAllStandardOutput();
        const QString pending = QString::fromUtf8(run.output.mid(scanned));
        const QString lastLine = pending.split(QRegularExpression("[\r\n]")).last();
        if (!isPrompt(lastLine))
            return;
        scanned = run.output.size();
        run.prompts.append(lastLine.trimmed());
        if (answers.isEmpty()) {
            run.unexpectedPrompt = true;
            process.kill();
            return;
        }
        process.write(answers.takeFirst().toUtf8() + '\n');
    });
    process.start();
    run.finished = process.waitForFinished(timeoutMs);
    if (!run.finished)
        process.kill();
    process.waitForFinished();
    run.output += process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

inline QStringList execArgs(const QString &target, const QStringList &command)
{
    return QStringList{"engine", "exec", "-tt", "sb2", "-t", target} + command;
}

} // namespace TestSupport
