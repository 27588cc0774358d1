// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "runreason.h"

#include "linesplitter.h"


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

QString failureReason(const ProcessResult &result)
{
    if (result.isSuccess())
        return {};
    if (!result.startError.isEmpty() || result.stopped)
        return failureDescription(result);
    const QStringList errors = lines(result.standardError);
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
    if (!result.startError.isEmpty() || result.stopped || lastErrorLine.trimmed().isEmpty())
        return failureReason(result);
    return lastErrorLine.trimmed();
}

} // namespace Tamarek::Internal
