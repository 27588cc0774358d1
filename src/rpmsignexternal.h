// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "signtool.h"

namespace Tamarek::Internal {

// rpmsign-external signs, verifies, dumps and strips packages; openssl in the
// same target makes keys and certificate signing requests.
class RpmsignExternal : public SignTool
{
    Q_OBJECT

public:
    explicit RpmsignExternal(QObject *parent = nullptr);

    // A developer signature, then a client one when both client files are set.
    ProcessResult sign(const QString &target,
                       const QStringList &packages,
                       const SignKeys &keys) override;
    ProcessResult removeSignature(const QString &target, const QStringList &packages) override;
    ProcessResult verify(const QString &target,
                         const QStringList &packages,
                         const SignKeys &keys) override;
    ProcessResult dump(const QString &target, const QStringList &packages) override;
    // Generates the key first when its file does not exist.
    ProcessResult generateRequest(const QString &target, const RequestParameters &request) override;

    ProcessResult signWithPair(OutputHandler handler,
                               const QString &target,
                               const QString &key,
                               const QString &certificate,
                               const QStringList &packages);

private:
    ProcessResult refuseRequest(const QString &reason);
};

// Both files of the developer pair must be set and lie in the workspace.
bool checkKeysInWorkspace(const SignKeys &keys, const Utils::FilePath &workspace, QString *error);

} // namespace Tamarek::Internal
