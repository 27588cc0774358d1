// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "rpmsignexternal.h"

#include "commands.h"
#include "pathutils.h"
#include "requestconfig.h"
#include "waitalive.h"

#include <QScopeGuard>

namespace Tamarek::Internal {

enum KeyAlgorithm { Rsa2048 = 0, Gost2012_256 = 1 };

RpmsignExternal::RpmsignExternal(QObject *parent)
    : SignTool(parent)
{}

ProcessResult RpmsignExternal::sign(const QString &target,
                                    const QStringList &packages,
                                    const SignKeys &keys)
{
    // Whoever owns this object may delete it from inside the first run.
    ProcessResult developerResult;
    const bool alive = waitAlive(this, [&] {
        developerResult = signWithPair(outputHandler(),
                                       target,
                                       keys.developerKey,
                                       keys.developerCertificate,
                                       packages);
    });
    if (!alive || !developerResult.isSuccess())
        return developerResult;
    if (keys.clientCertificate.isEmpty() || keys.clientKey.isEmpty())
        return developerResult;
    return signWithPair(outputHandler(), target, keys.clientKey, keys.clientCertificate, packages);
}

ProcessResult RpmsignExternal::removeSignature(const QString &target, const QStringList &packages)
{
    return runProcess(outputHandler(), Commands::rpmsignDeleteCommand(target, packages));
}

ProcessResult RpmsignExternal::verify(const QString &target,
                                      const QStringList &packages,
                                      const SignKeys &keys)
{
    return runProcess(outputHandler(),
                      Commands::rpmsignVerifyCommand(target, keys.caCertificate, packages));
}

ProcessResult RpmsignExternal::dump(const QString &target, const QStringList &packages)
{
    return runProcess(outputHandler(), Commands::rpmsignDumpCommand(target, packages));
}

ProcessResult RpmsignExternal::generateRequest(const QString &target,
                                               const RequestParameters &request)
{
    if (request.algorithm != Rsa2048 && request.algorithm != Gost2012_256) {
        emit addError(
            tr("Unknown key algorithm %1: expected 0 (RSA) or 1 (GOST).").arg(request.algorithm));
        return {false, -1, {}, {}};
    }
    // Written first, so that a request that can't be made costs no key.
    QString error;
    const QFileInfo config = writeRequestConfig(request, error);
    if (!config.exists())
        return refuseRequest(error);
    const QString configPath = config.absoluteFilePath();
    const auto removeConfig = qScopeGuard([&config] { removeRequestConfig(config); });

    const QString keyPath = request.keyPath.toUserOutput();
    if (!request.keyPath.exists()) {
        const QStringList keyCommand
            = request.algorithm == Rsa2048
                  ? Commands::rsaKeyCommand(target, keyPath, request.encrypt)
                  : Commands::gostKeyCommand(target, keyPath, request.encrypt);
        ProcessResult keyResult;
        const bool alive = waitAlive(this, [&] {
            keyResult = runProcess(outputHandler(), keyCommand);
        });
        if (!alive || !keyResult.isSuccess())
            return keyResult;
    }

    return runProcess(outputHandler(),
                      Commands::requestCommand(target,
                                               keyPath,
                                               request.requestPath.toUserOutput(),
                                               configPath));
}

ProcessResult RpmsignExternal::signWithPair(OutputHandler handler,
                                            const QString &target,
                                            const QString &key,
                                            const QString &certificate,
                                            const QStringList &packages)
{
    return runProcess(std::move(handler),
                      Commands::rpmsignSignCommand(target, key, certificate, packages));
}

ProcessResult RpmsignExternal::refuseRequest(const QString &reason)
{
    emit addError(tr("Filed to generate CSR"));
    emit addError(reason);
    return {false, -1, {}, {}};
}

bool checkKeysInWorkspace(const SignKeys &keys, const Utils::FilePath &workspace, QString *error)
{
    if (keys.developerKey.isEmpty() || keys.developerCertificate.isEmpty()) {
        *error = RpmsignExternal::tr("Error: key and certificate can't be empty");
        return false;
    }
    if (areInsideFolders({keys.developerKey, keys.developerCertificate}, {workspace}))
        return true;
    *error = outsideFoldersMessage(InsideWhat::KeyAndCertificate, {workspace});
    return false;
}

} // namespace Tamarek::Internal
