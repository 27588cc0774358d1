// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
    QFile file(QStringLiteral(BUILD_KIT_CONFIG));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonObject engine
        = QJsonDocument::fromJson(file.readAll())["engines"].toArray().first().toObject();
    return engine["targets"].toArray().first().toObject()["root"].toString();
}

inline QString writeConfig(const QString &folder, bool canStart, const QList<TargetSpec> &targets)
{
    QJsonArray targetList;
    for (const TargetSpec &target : targets) {
        targetList.append(QJsonObject{{"name", target.name},
                                      {"root", targetRoot()},
                                      {"tools", QJsonArray::fromStringList(target.tools)}});
    }
    const QJsonObject engine{{"name", "Test Engine"},
                             {"canStart", canStart},
                             {"sharedHome", "."},
                             {"sharedSrc", "."},
                             {"targets", targetList}};
    const QJsonObject config{{"osVariant", "Neverra OS"},
                             {"installationPath", "."},
                             {"norkPath", NORK_PATH},
                             {"engines", QJsonArray{engine}}};
    const QString path = folder + "/kit.json";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QJsonDocument(config).toJson());
    return path;
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
