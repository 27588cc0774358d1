// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "toolrunner.h"

#include "commands.h"
#include "tamarektr.h"

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <utils/qtcassert.h>

#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QProcess>
#include <QTimer>

#include <memory>
#include <utility>

namespace Tamarek::Internal {

static Q_LOGGING_CATEGORY(readLog, "qtc.tamarek.read", QtWarningMsg)

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

static void writeInput(QProcess &process, const QByteArray &input)
{
    if (input.isEmpty() || process.state() != QProcess::Running)
        return;
    process.write(input);
    process.waitForBytesWritten(writeTimeoutMs);
}


static Echo &echoFunction()
{
    static Echo function;
    return function;
}

void setEcho(const Echo &echo)
{
    echoFunction() = echo;
}

Echo currentEcho()
{
    return echoFunction();
}

void echo(const QString &line, bool disrupting)
{
    if (const Echo &function = echoFunction())
        function(line, disrupting);
}

static int &runTimeLimit()
{
    static int milliseconds = 0;
    return milliseconds;
}

void setRunTimeLimit(int milliseconds)
{
    QTC_ASSERT(milliseconds >= 0, return);
    runTimeLimit() = milliseconds;
}

static void logRun(const QStringList &command, const ProcessResult &result)
{
    echo(Commands::runLine(command, result.exitCode));
}

static QString startErrorOf(const QStringList &command, const QProcess &process)
{
    return Tr::tr("Could not start \"%1\": %2")
        .arg(QDir::toNativeSeparators(command.value(0)), process.errorString());
}

// At most this much of each channel per pass: a tool that floods its output
// must not keep the event loop from turning for long.
const qint64 maxBytesPerPass = 64 * 1024;

static QByteArray readSome(QProcess &process, QProcess::ProcessChannel channel)
{
    process.setReadChannel(channel);
    return process.read(maxBytesPerPass);
}

static bool hasMore(QProcess &process)
{
    for (const QProcess::ProcessChannel channel :
         {QProcess::StandardOutput, QProcess::StandardError}) {
        process.setReadChannel(channel);
        if (process.bytesAvailable() > 0)
            return true;
    }
    return false;
}

// Gives whether any bytes arrived.
static bool passOutput(QProcess &process,
                       const OutputHandler &handler,
                       ProcessResult &result,
                       const std::function<void()> &stop)
{
    const QByteArray standardOutput = readSome(process, QProcess::StandardOutput);
    const QByteArray standardError = readSome(process, QProcess::StandardError);
    result.standardOutput.append(standardOutput);
    result.standardError.append(standardError);

    QByteArray input;
    if (!handler(standardOutput, standardError, input))
        stop();
    else
        writeInput(process, input);
    wipe(input);
    return !standardOutput.isEmpty() || !standardError.isEmpty();
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
        // A forwarding tool can pass an ending on into the target; a kill it can't.
        QTimer killTimer;
        killTimer.setSingleShot(true);
        killTimer.setInterval(stopGracePeriodMs);
        QObject::connect(&killTimer, &QTimer::timeout, &process, &QProcess::kill);
        const auto stop = [&] {
            if (result.stopped)
                return;
            result.stopped = true;
            process.terminate();
            killTimer.start();
        };
        QTimer limitTimer;
        limitTimer.setSingleShot(true);
        QObject::connect(&limitTimer, &QTimer::timeout, [&] {
            result.timedOut = true;
            stop();
        });
        if (runTimeLimit() > 0)
            limitTimer.start(runTimeLimit());

        bool quietDue = false;
        QTimer quietTimer;
        quietTimer.setSingleShot(true);
        quietTimer.setInterval(quietPeriodMs);
        QObject::connect(&quietTimer, &QTimer::timeout, [&quietDue] { quietDue = true; });

        bool more = false;
        while (process.state() != QProcess::NotRunning) {
            QCoreApplication::processEvents(more ? QEventLoop::AllEvents
                                                 : QEventLoop::WaitForMoreEvents);
            more = false;
            if (!handler)
                continue;
            if (passOutput(process, handler, result, stop) && handler.hasQuiet())
                quietTimer.start();
            if (std::exchange(quietDue, false) && !result.stopped) {
                QByteArray input;
                if (handler.quiet(input))
                    writeInput(process, input);
                else
                    stop();
                wipe(input);
            }
            more = hasMore(process);
        }
        if (handler) {
            // Waiting for a write can notice the end of the tool and leave output unread.
            passOutput(process, handler, result, stop);
            while (hasMore(process)) {
                QCoreApplication::processEvents();
                passOutput(process, handler, result, stop);
            }
            handler.finish();
        }
        result.crashed = process.exitStatus() == QProcess::CrashExit;
        result.exitCode = process.exitCode();
    } else {
        // A process that never ran reports a clean exit; it must not look like a success.
        result.exitCode = -1;
        result.startError = startErrorOf(command, process);
        echo(QString("[E]\t%1").arg(result.startError), true);
    }
    handler.ended(result);
    handler = {};

    logRun(command, result);
    return result;
}

QProcess *startProcess(const QStringList &command,
                       QObject *context,
                       const std::function<void(const ProcessResult &)> &done,
                       int timeLimitMs)
{
    // An empty command fails to start and is reported so; no context would leak.
    QTC_CHECK(!command.isEmpty() && context && done);
    // Every read ends: none without a limit.
    QTC_CHECK(timeLimitMs > 0);
    auto process = new QProcess(context);
    process->setProgram(command.value(0));
    process->setArguments(command.mid(1));
    process->setWorkingDirectory(workingDirectory());
    const auto result = std::make_shared<ProcessResult>();
    const auto reported = std::make_shared<bool>(false);
    // Ended first: done may delete the context, the process's parent.
    const auto report = [process, result, reported, command, done] {
        if (std::exchange(*reported, true))
            return;
        endProcess(process);
        qCDebug(readLog).noquote() << Commands::runLine(command, result->exitCode);
        done(*result);
    };
    QObject::connect(process, &QProcess::readyReadStandardOutput, process, [process, result] {
        result->standardOutput.append(process->readAllStandardOutput());
    });
    QObject::connect(process, &QProcess::readyReadStandardError, process, [process, result] {
        result->standardError.append(process->readAllStandardError());
    });
    // Queued: a start that fails at once reports from inside start(), before
    // the caller even has the process.
    QObject::connect(
        process,
        &QProcess::errorOccurred,
        process,
        [process, result, command, report](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            result->exitCode = -1;
            result->startError = startErrorOf(command, *process);
            report();
        },
        Qt::QueuedConnection);
    QObject::connect(process,
                     &QProcess::finished,
                     process,
                     [process, result, report](int exitCode, QProcess::ExitStatus exitStatus) {
                         result->standardOutput.append(process->readAllStandardOutput());
                         result->standardError.append(process->readAllStandardError());
                         result->crashed = exitStatus == QProcess::CrashExit;
                         result->exitCode = exitCode;
                         report();
                     });
    QTimer::singleShot(timeLimitMs, process, [result, report] {
        result->exitCode = -1;
        result->timedOut = true;
        report();
    });
    process->start(QIODevice::ReadWrite);
    process->closeWriteChannel();
    return process;
}

void endProcess(QProcess *process)
{
    if (!process)
        return;
    process->disconnect();
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    // Its owner may be going: the application keeps it until it has ended.
    process->setParent(QCoreApplication::instance());
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QTimer::singleShot(stopGracePeriodMs, process, &QProcess::kill);
    process->terminate();
}

} // namespace Tamarek::Internal
