// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace Tamarek::Internal {

enum class PromptMatch { None, Prefix, Full };

// Full when the text begins with a passphrase prompt of the signing tools,
// Prefix when it is a shorter start of one and might still become one.
PromptMatch matchPrompt(QByteArrayView text);

// Splits one output channel of a run into lines at each CR and LF, carrying an
// unterminated line over to the next read. An unterminated line that begins
// with a prompt is handed out at once, since tools print their prompts without
// a line end and wait; as on a terminal, the answer ends that line.
class LineSplitter
{
public:
    struct Line
    {
        QString text;
        bool isPrompt = false;
    };

    QList<Line> take(const QByteArray &chunk);
    // The unterminated last line, when the run has ended.
    std::optional<QString> finish();

private:
    void takeLine(QByteArrayView line, QList<Line> &lines);

    QByteArray m_pending;
};

} // namespace Tamarek::Internal
