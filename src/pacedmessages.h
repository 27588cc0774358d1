// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

namespace Tamarek::Internal {

// Hands the log's lines on to General Messages in bites. The pane lays out
// what it has queued in passes of its timer, as much as its own adaptive
// chunk size lets it, at several microseconds a character: a run's output
// handed on at once keeps the event loop 50 ms and more at a time. One bite of
// at most biteSize characters a biteIntervalMs keeps each pass short; a line
// after a quiet spell goes on at once.
class PacedMessages : public QObject
{
public:
    using Sink = std::function<void(const QString &text, bool disrupting)>;
    static const int biteSize = 1000;
    static const int biteIntervalMs = 25;

    explicit PacedMessages(const Sink &sink, QObject *parent = nullptr);
    ~PacedMessages() override;

    // The one the plug-in writes through, while it is loaded.
    static PacedMessages *instance();

    void write(const QString &text, bool disrupting);
    // Hands on at once what is left: before the pane is read, and at shut-down.
    void flush();
    void discard();

private:
    void writeBite(qsizetype limit);

    struct Line
    {
        QString text;
        bool disrupting = false;
    };
    Sink m_sink;
    QList<Line> m_pending;
    QTimer m_timer;
};

} // namespace Tamarek::Internal
