// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "toolrunner.h"

namespace Tamarek::Internal {

// How a run ended, the first that holds in this order: a run that never
// started, ran out of time or was stopped has no exit code worth telling.
enum class RunEnd { Succeeded, NotStarted, TimedOut, Stopped, Crashed, ExitCode };

RunEnd runEnd(const ProcessResult &result);

// The tool never got to end by itself (not started, out of time, stopped):
// what it printed is no answer.
bool cutShort(const ProcessResult &result);

// How a run that did not succeed ended, as a sentence for the user; empty for
// a success.
QString failureDescription(const ProcessResult &result);

// Why a run failed, as a sentence for the user: the start failure or the stop,
// else the last line the tool printed on standard error, else how it ended.
QString failureReason(const ProcessResult &result);

// Why a request could not be generated: what the failing run printed on
// standard output (its passphrase prompts left out); when that is nothing, the
// last error line the tool reported (a refusal of its own included), else
// failureReason.
QString requestFailureReason(const ProcessResult &result, const QString &lastErrorLine);

// Why one of the plug-in's own reads failed: its time limit, else the last
// line the tool printed on either channel, else how it ended.
QString readFailureReason(const ProcessResult &result, int timeLimitMs);

// The signing step's error line for a signing run that failed.
QString signingFailureMessage(const ProcessResult &result);

} // namespace Tamarek::Internal
