// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "toolrunner.h"

#include "tamarektr.h"

#include <coreplugin/messagemanager.h>

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <utils/qtcassert.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

namespace Tamarek::Internal {

const int writeTimeoutMs = 30000;

static QString workingDirectory()
{
    const QList<Nork::BuildEngine *> engines = Nork::Sdk::buildEngines();
    if (engines.isEmpty())
        return QDir::homePath();
    return engines.first()->sharedSrcPath().toFSPathString();
}

// Passphrases pass through these buffers: overwrite them before they are freed.
static void wipe(QByteArray &bytes)
{
    bytes.fill('\0');
    bytes.clear();
}

static void passOutput(QProcess &process, const OutputHandler &handler, ProcessResult &result)
{
    const QByteArray standardOutput = process.readAllStandardOutput();
    const QByteArray standardError = process.readAllStandardError();
    result.standardOutput.append(standardOutput);
    result.standardError.append(standardError);

    QByteArray input;
    if (!handler(standardOutput, standardError, input)) {
        process.kill();
    } else if (!input.isEmpty() && process.state() == QProcess::Running) {
        process.write(input);
        process.waitForBytesWritten(writeTimeoutMs);
    }
    wipe(input);
}

ProcessResult runProcess(OutputHandler handler, const QStringList &command)
{
    QTC_ASSERT(!command.isEmpty(), return ProcessResult({false, -1, {}, {}}));

    ProcessResult result;
    QProcess process;
    process.setProgram(command.first());
    process.setWorkingDirectory(workingDirectory());
    process.setArguments(command.mid(1));
    process.start(QIODevice::ReadWrite);

    if (process.waitForStarted(-1)) {
        while (process.state() != QProcess::NotRunning) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (handler)
                passOutput(process, handler, result);
        }
        if (handler) {
            // Waiting for a write can notice the end of the tool and leave output unread.
            passOutput(process, handler, result);
            handler.finish();
        }
        result.crashed = process.exitStatus() == QProcess::CrashExit;
        result.exitCode = process.exitCode();
    } else {
        // A process that never ran reports a clean exit; it must not look like a success.
        result.exitCode = -1;
        Core::MessageManager::writeDisrupting(QString("[E]\t%1").arg(
            Tr::tr("Could not start \"%1\": %2")
                .arg(QDir::toNativeSeparators(command.first()), process.errorString())));
    }
    handler = {};

    Core::MessageManager::writeSilently(
        QString("[$] %1\t%2").arg(QString::number(result.exitCode), command.join(' ')));
    return result;
}

} // namespace Tamarek::Internal
