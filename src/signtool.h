// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "linesplitter.h"
#include "runstops.h"
#include "toolrunner.h"

#include <utils/filepath.h>

#include <QObject>
#include <QSet>

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
    LineSplitter standardOutput;
    LineSplitter standardError;
};

// A signing tool in a build target. Every line it prints is emitted as
// addOutput or addError and echoed to General Messages; its passphrase prompts
// are answered by asking the user.
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

    RunStops m_runs;
};

} // namespace Tamarek::Internal
