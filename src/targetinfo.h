// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QString>

namespace Tamarek::Internal {

// The tools found in one build target.
struct TargetInfo
{
    QString name;
    bool hasRpmsignExternal = false;
    bool hasCustomerSign = false;
    bool hasVyxcertCli = false;
    bool hasOpenssl = false;
};

// Which of the dialog's controls a target's tools call for.
struct TargetControls
{
    bool binaryKey = false;
    bool addSignature = false;
    bool packageButtons = false; // remove, verify, dump
    bool requestTab = false;
};

TargetControls controlsFor(const TargetInfo &target);

} // namespace Tamarek::Internal
