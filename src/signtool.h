// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/filepath.h>

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <functional>

namespace Tamarek::Internal {

struct ProcessResult
{
    bool crashed = false;
    int exitCode = 0;
    QByteArray standardError;
    QByteArray standardOutput;

    bool isSuccess() const { return !crashed && exitCode == 0; }
};

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

// Returns false to have the tool killed; bytes put into input go to its stdin.
using OutputHandler = std::function<bool(const QByteArray &standardOutput,
                                         const QByteArray &standardError,
                                         QByteArray &input)>;

ProcessResult runProcess(OutputHandler handler, const QStringList &command);

class SignTool : public QObject
{
    Q_OBJECT

public:
    explicit SignTool(QObject *parent = nullptr);

    virtual ProcessResult sign(const QString &target, const QStringList &packages,
                               const SignKeys &keys) = 0;
    virtual ProcessResult removeSignature(const QString &target, const QStringList &packages) = 0;
    virtual ProcessResult verify(const QString &target, const QStringList &packages,
                                 const SignKeys &keys) = 0;
    virtual ProcessResult dump(const QString &target, const QStringList &packages) = 0;
    virtual ProcessResult generateRequest(const QString &target,
                                          const RequestParameters &request) = 0;

    bool handleOutput(const QByteArray &standardOutput, const QByteArray &standardError,
                      QByteArray &input);
    bool handleChunk(const QByteArray &chunk, bool isError, QByteArray &input);

signals:
    void addOutput(const QString &output);
    void addError(const QString &error);

protected:
    OutputHandler outputHandler;
};

} // namespace Tamarek::Internal
