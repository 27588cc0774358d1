// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "runreason.h"

#include "linesplitter.h"
#include "tamarektr.h"

#include <algorithm>

namespace Tamarek::Internal {

static QStringList lines(const QByteArray &bytes)
{
    QStringList result;
    for (const QString &line : LineSplitter::splitLines(QString::fromUtf8(bytes))) {
        if (!line.trimmed().isEmpty())
            result << line.trimmed();
    }
    return result;
}

RunEnd runEnd(const ProcessResult &result)
{
    if (result.isSuccess())
        return RunEnd::Succeeded;
    if (!result.startError.isEmpty())
        return RunEnd::NotStarted;
    if (result.timedOut)
        return RunEnd::TimedOut;
    if (result.stopped)
        return RunEnd::Stopped;
    if (result.crashed)
        return RunEnd::Crashed;
    return RunEnd::ExitCode;
}

bool cutShort(const ProcessResult &result)
{
    const RunEnd end = runEnd(result);
    return end == RunEnd::NotStarted || end == RunEnd::TimedOut || end == RunEnd::Stopped;
}

// A tool's last word means something only when it ended by itself.
static bool endedByItself(const ProcessResult &result)
{
    return !result.isSuccess() && !cutShort(result);
}

QString failureDescription(const ProcessResult &result)
{
    switch (runEnd(result)) {
    case RunEnd::Succeeded:
        return {};
    case RunEnd::NotStarted:
        return result.startError;
    case RunEnd::TimedOut:
        return Tr::tr("The tool did not finish in time.");
    case RunEnd::Stopped:
        return Tr::tr("The tool was stopped before it finished.");
    case RunEnd::Crashed:
        return Tr::tr("The tool crashed.");
    case RunEnd::ExitCode:
        break;
    }
    return Tr::tr("The tool ended with exit code %1.").arg(result.exitCode);
}

QString failureReason(const ProcessResult &result)
{
    const QStringList errors = endedByItself(result) ? lines(result.standardError)
                                                            : QStringList();
    return errors.isEmpty() ? failureDescription(result) : errors.last();
}

QString requestFailureReason(const ProcessResult &result, const QString &lastErrorLine)
{
    if (result.isSuccess())
        return {};
    QStringList output = lines(result.standardOutput);
    output.removeIf(
        [](const QString &line) { return matchPrompt(line.toUtf8()) == PromptMatch::Full; });
    if (!output.isEmpty())
        return output.join(' ');
    if (!endedByItself(result) || lastErrorLine.trimmed().isEmpty())
        return failureReason(result);
    return lastErrorLine.trimmed();
}

QString readFailureReason(const ProcessResult &result, int timeLimitMs)
{
    if (runEnd(result) == RunEnd::TimedOut) {
        return Tr::tr("openssl did not answer within %n second(s).",
                      nullptr,
                      std::max(1, timeLimitMs / 1000));
    }
    const QStringList said = endedByItself(result)
                                 ? lines(result.standardError + result.standardOutput)
                                 : QStringList();
    return said.isEmpty() ? failureDescription(result) : said.last();
}

// The step says what the run came to for the packages, not for the tool.
QString signingFailureMessage(const ProcessResult &result)
{
    QString reason;
    switch (runEnd(result)) {
    case RunEnd::Succeeded:
        return {};
    case RunEnd::NotStarted:
        reason = result.startError;
        break;
    case RunEnd::TimedOut:
        reason = Tr::tr("the signing tool did not finish in time.");
        break;
    case RunEnd::Stopped:
        reason = Tr::tr("signing was stopped, no passphrase was given.");
        break;
    case RunEnd::Crashed:
        reason = Tr::tr("the signing tool crashed.");
        break;
    case RunEnd::ExitCode:
        reason = Tr::tr("the signing tool ended with exit code %1.").arg(result.exitCode);
        break;
    }
    return Tr::tr("Error: Packages were not signed: %1").arg(reason);
}

} // namespace Tamarek::Internal
