// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "linesplitter.h"
#include "toolrunner.h"

#include <utils/filepath.h>

#include <QObject>

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

// The line state of one run, one splitter per channel.
struct RunOutput
{
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

    // Until allowRuns() has come as often, the tool of every run is killed on
    // the run's next pass: for a deploy cancelled while its step signs.
    void stopRuns();
    void allowRuns();

    bool handleOutput(RunOutput &output,
                      const QByteArray &standardOutput,
                      const QByteArray &standardError,
                      QByteArray &input);
    bool handleChunk(LineSplitter &lines, const QByteArray &chunk, bool isError, QByteArray &input);
    void finishOutput(RunOutput &output);

signals:
    void addOutput(const QString &output);
    void addError(const QString &error);

protected:
    // A fresh handler for each run, carrying its own partial lines.
    OutputHandler outputHandler();

private:
    int m_stopCount = 0;
};

} // namespace Tamarek::Internal
