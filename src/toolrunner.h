// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <type_traits>

QT_BEGIN_NAMESPACE
class QObject;
class QProcess;
QT_END_NAMESPACE

namespace Tamarek::Internal {

struct ProcessResult
{
    bool crashed = false;
    int exitCode = 0;
    QByteArray standardError;
    QByteArray standardOutput;
    // The run was ended on its handler's request: a prompt not answered, a stop.
    bool stopped = false;
    // Why the program could not be started; empty when it ran.
    QString startError;
    // It was ended for taking longer than its time limit.
    bool timedOut = false;

    bool isSuccess() const { return !crashed && exitCode == 0; }
};

// What one run does with the tool's output. The scan gets the new bytes of
// both channels on every pass of the run; it returns false to have the tool
// stopped, and bytes it puts into input go to the tool's standard input. The
// quiet call comes when the tool has printed nothing for a short while after
// its last output (a prompt without its colon may be complete then), with the
// same meaning of its result and input. The finish call comes once, when the
// tool has ended, and the ended call last, with the run's result.
class OutputHandler
{
public:
    using Scan = std::function<bool(const QByteArray &standardOutput,
                                    const QByteArray &standardError,
                                    QByteArray &input)>;
    using Quiet = std::function<bool(QByteArray &input)>;
    using Finish = std::function<void()>;
    using Ended = std::function<void(const ProcessResult &)>;

    OutputHandler() = default;
    OutputHandler(std::nullptr_t) {}

    template<typename Callable>
        requires(!std::is_same_v<std::remove_cvref_t<Callable>, OutputHandler>
                 && std::is_invocable_r_v<bool,
                                          Callable &,
                                          const QByteArray &,
                                          const QByteArray &,
                                          QByteArray &>)
    OutputHandler(Callable scan, Finish finish = {}, Quiet quiet = {}, Ended ended = {})
        : m_scan(std::move(scan))
        , m_quiet(std::move(quiet))
        , m_finish(std::move(finish))
        , m_ended(std::move(ended))
    {}

    explicit operator bool() const { return bool(m_scan); }

    bool operator()(const QByteArray &standardOutput,
                    const QByteArray &standardError,
                    QByteArray &input) const
    {
        return m_scan(standardOutput, standardError, input);
    }

    bool hasQuiet() const { return bool(m_quiet); }
    bool quiet(QByteArray &input) const { return !m_quiet || m_quiet(input); }

    void finish() const
    {
        if (m_finish)
            m_finish();
    }

    void ended(const ProcessResult &result) const
    {
        if (m_ended)
            m_ended(result);
    }

private:
    Scan m_scan;
    Quiet m_quiet;
    Finish m_finish;
    Ended m_ended;
};

// How long the tool must be silent before the quiet call, and how long a
// tool asked to end may take before it is killed.
const int quietPeriodMs = 250;
const int stopGracePeriodMs = 3000;

// Runs command[0] with the other elements as its arguments, in the first build
// engine's workspace, keeping the event loop turning until the tool ends. With
// an empty handler the tool's output is not read. A tool that is to stop is
// asked to end (SIGTERM, which the kit's tool passes on into the target) and
// killed when it has not ended after the grace period.
ProcessResult runProcess(OutputHandler handler, const QStringList &command);

// How long a read that never prompts may take before it is given up.
const int readTimeLimitMs = 15000;

// Starts the command without waiting for it, for the plug-in's own reads of
// files, which must never prompt: its standard input is closed, and it is
// logged under the logging category, not in General Messages (the user did
// not ask for it). done gets the result when the tool has ended, or at once
// when it could not start or has run for longer than timeLimitMs (it is then
// ended in the background, see endProcess), unless the process, which
// belongs to context, is ended or deleted first.
QProcess *startProcess(const QStringList &command,
                       QObject *context,
                       const std::function<void(const ProcessResult &)> &done,
                       int timeLimitMs = readTimeLimitMs);

// Ends a process of startProcess without waiting for it: asked to end first
// and killed after the grace period, as a stopped run is; nothing of it is
// reported any more. It deletes itself once it has ended.
void endProcess(QProcess *process);

// How long a run of runProcess may take before it is stopped as out of time;
// 0, the default, for none: in the IDE its user stops it.
void setRunTimeLimit(int milliseconds);

// Where the runs and the tools' lines are echoed ("[$]", "[I]", "[E]" lines):
// the IDE's General Messages, or the command-line program's standard error.
// A disrupting line asks for the user's attention. Nothing is echoed until set.
using Echo = std::function<void(const QString &line, bool disrupting)>;
void setEcho(const Echo &echo);
Echo currentEcho();
void echo(const QString &line, bool disrupting = false);

} // namespace Tamarek::Internal
