// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "customertamarek.h"

#include "commands.h"

namespace Tamarek::Internal {

CustomerTamarek::CustomerTamarek(QObject *parent)
    : SignTool(parent)
{}

ProcessResult CustomerTamarek::sign(const QString &target,
                                    const QStringList &packages,
                                    const SignKeys &keys)
{
    return runProcess(outputHandler(), Commands::customerSignCommand(target, keys, packages));
}

ProcessResult CustomerTamarek::removeSignature(const QString &target, const QStringList &packages)
{
    return runProcess(outputHandler(), Commands::vyxcertDeleteCommand(target, packages));
}

ProcessResult CustomerTamarek::verify(const QString &target,
                                      const QStringList &packages,
                                      const SignKeys &keys)
{
    return runProcess(outputHandler(),
                      Commands::vyxcertVerifyCommand(target, keys.caCertificate, packages));
}

ProcessResult CustomerTamarek::dump(const QString &target, const QStringList &packages)
{
    return runProcess(outputHandler(), Commands::vyxcertDumpCommand(target, packages));
}

ProcessResult CustomerTamarek::generateRequest(const QString &target,
                                               const RequestParameters &request)
{
    Q_UNUSED(target)
    Q_UNUSED(request)
    return {false, -1, {}, {}};
}

} // namespace Tamarek::Internal
