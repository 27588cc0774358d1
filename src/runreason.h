// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "toolrunner.h"

namespace Tamarek::Internal {

// Why a run failed, as a sentence for the user: the start failure or the stop,
// else the last line the tool printed on standard error, else how it ended.
QString failureReason(const ProcessResult &result);

// Why a request could not be generated: what the failing run printed on
// standard output (its passphrase prompts left out); when that is nothing, the
// last error line the tool reported (a refusal of its own included), else
// failureReason.
QString requestFailureReason(const ProcessResult &result, const QString &lastErrorLine);

} // namespace Tamarek::Internal
