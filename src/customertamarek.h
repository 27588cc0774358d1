// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "signtool.h"

namespace Tamarek::Internal {

// customer-sign adds the signatures; vyxcert-cli verifies, dumps and removes them.
class CustomerTamarek : public SignTool
{
    Q_OBJECT

public:
    explicit CustomerTamarek(QObject *parent = nullptr);

    ProcessResult sign(const QString &target,
                       const QStringList &packages,
                       const SignKeys &keys) override;
    ProcessResult removeSignature(const QString &target, const QStringList &packages) override;
    ProcessResult verify(const QString &target,
                         const QStringList &packages,
                         const SignKeys &keys) override;
    ProcessResult dump(const QString &target, const QStringList &packages) override;
    // The tool set makes no requests: always a failure, and nothing runs.
    ProcessResult generateRequest(const QString &target, const RequestParameters &request) override;
};

} // namespace Tamarek::Internal
