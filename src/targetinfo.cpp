// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "targetinfo.h"

namespace Tamarek::Internal {

// rpmsign-external does all with keys of its own; customer-sign needs a binary
// key and vyxcert-cli for the rest.
TargetControls controlsFor(const TargetInfo &target)
{
    TargetControls controls;
    controls.binaryKey = !target.hasRpmsignExternal && target.hasCustomerSign;
    controls.addSignature = target.hasRpmsignExternal || target.hasCustomerSign;
    controls.packageButtons = target.hasRpmsignExternal || target.hasVyxcertCli;
    controls.requestTab = target.hasRpmsignExternal;
    return controls;
}

} // namespace Tamarek::Internal
