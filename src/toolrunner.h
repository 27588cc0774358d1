// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <type_traits>

namespace Tamarek::Internal {

struct ProcessResult
{
    bool crashed = false;
    int exitCode = 0;
    QByteArray standardError;
    QByteArray standardOutput;

    bool isSuccess() const { return !crashed && exitCode == 0; }
};

// What one run does with the tool's output. The scan gets the new bytes of
// both channels on every pass of the run; it returns false to have the tool
// killed, and bytes it puts into input go to the tool's standard input. The
// finish call comes once, when the tool has ended.
class OutputHandler
{
public:
    using Scan = std::function<bool(const QByteArray &standardOutput,
                                    const QByteArray &standardError,
                                    QByteArray &input)>;
    using Finish = std::function<void()>;

    OutputHandler() = default;
    OutputHandler(std::nullptr_t) {}

    template<typename Callable>
        requires(!std::is_same_v<std::remove_cvref_t<Callable>, OutputHandler>
                 && std::is_invocable_r_v<bool,
                                          Callable &,
                                          const QByteArray &,
                                          const QByteArray &,
                                          QByteArray &>)
    OutputHandler(Callable scan, Finish finish = {})
        : m_scan(std::move(scan))
        , m_finish(std::move(finish))
    {}

    explicit operator bool() const { return bool(m_scan); }

    bool operator()(const QByteArray &standardOutput,
                    const QByteArray &standardError,
                    QByteArray &input) const
    {
        return m_scan(standardOutput, standardError, input);
    }

    void finish() const
    {
        if (m_finish)
            m_finish();
    }

private:
    Scan m_scan;
    Finish m_finish;
};

// Runs command[0] with the other elements as its arguments, in the first build
// engine's workspace, keeping the event loop turning until the tool ends. With
// an empty handler the tool's output is not read.
ProcessResult runProcess(OutputHandler handler, const QStringList &command);

} // namespace Tamarek::Internal
