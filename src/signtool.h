// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "linesplitter.h"
#include "runstops.h"
#include "toolrunner.h"

#include <utils/filepath.h>

#include <QHash>
#include <QObject>
#include <QSet>

#include <functional>

namespace Tamarek::Internal {

struct SignKeys
{
    QString binaryKey;
    QString clientKey;
    QString clientCertificate;
    QString developerCertificate;
    QString developerKey;
    QString caCertificate;
};

struct RequestParameters
{
    QString companyName;
    Utils::FilePath requestPath;
    bool encrypt = false;
    Utils::FilePath keyPath;
    int algorithm = 0; // 0: RSA 2048, 1: GOST R 34.10-2012 256
};

// The state of one run: its lines, one splitter per channel, and whether it
// is to end.
struct RunOutput
{
    quint64 run = 0;
    bool stopped = false;
    // Passphrases remembered, or answered from memory, in this run: forgotten
    // when it fails, so that a wrong one is never used again.
    QSet<QByteArray> rememberedKeys;
    QSet<QByteArray> answeredFromMemory;
    // How often each prompt came in this run.
    QHash<QString, int> promptCounts;
    LineSplitter standardOutput;
    LineSplitter standardError;
};

// Asks for the passphrase that a tool's prompt line asks for, the timesAsked-th
// time in its run (1 the first): the IDE's dialog, or the command-line
// program's sources. A null string and *ok false stop the run. remember, when
// given, is to tell whether the answer is to be remembered for the session.
using PassphrasePrompt = std::function<
    QString(const QString &prompt, int timesAsked, bool *ok, bool *remember)>;

// A signing tool in a build target. Every line it prints is emitted as
// addOutput or addError and echoed (see setEcho); its passphrase prompts are
// answered through the passphrase prompt, none until one is set.
class SignTool : public QObject
{
    Q_OBJECT

public:
    explicit SignTool(QObject *parent = nullptr);
    ~SignTool() override;

    virtual ProcessResult sign(const QString &target,
                               const QStringList &packages,
                               const SignKeys &keys)
        = 0;
    virtual ProcessResult removeSignature(const QString &target, const QStringList &packages) = 0;
    virtual ProcessResult verify(const QString &target,
                                 const QStringList &packages,
                                 const SignKeys &keys)
        = 0;
    virtual ProcessResult dump(const QString &target, const QStringList &packages) = 0;
    virtual ProcessResult generateRequest(const QString &target, const RequestParameters &request)
        = 0;

    // Stops the runs in progress: their tools are asked to end, then killed.
    // Runs started afterwards are not affected.
    void stop();

    static void setPassphrasePrompt(const PassphrasePrompt &prompt);

    bool handleOutput(RunOutput &output,
                      const QByteArray &standardOutput,
                      const QByteArray &standardError,
                      QByteArray &input);
    bool handleChunk(RunOutput &output,
                     LineSplitter &lines,
                     const QByteArray &chunk,
                     bool isError,
                     QByteArray &input);
    bool handleQuiet(RunOutput &output, QByteArray &input);
    void finishOutput(RunOutput &output);

signals:
    void addOutput(const QString &output);
    void addError(const QString &error);

protected:
    // A fresh handler for each run, carrying its own partial lines.
    OutputHandler outputHandler();

private:
    bool isStopped(RunOutput &output) const;
    bool askForPassword(RunOutput &output, const QString &prompt, QByteArray &input);
    void echoLine(const QString &line, bool isError);
    void echoCollected(bool isError);

    RunStops m_runs;
    // The lines of one chunk go to the log in one write: a write each keeps
    // the log's pane busy for long with a big dump.
    bool m_collecting = false;
    QStringList m_collected;
};

} // namespace Tamarek::Internal
