// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Tamarek::Internal {

enum class PromptMatch { None, Prefix, Full };

// Full when the text begins with a passphrase prompt of the signing tools,
// Prefix when it is a shorter start of one and might still become one.
PromptMatch matchPrompt(QByteArrayView text);

// Splits one output channel of a run into lines at each CR and LF, carrying an
// unterminated line over to the next read. Tools print their prompts without
// a line end and wait, so an unterminated line that is a prompt is handed out
// once it ends with its colon, or through takeHeldPrompt() when the tool has
// gone quiet: asked earlier, a prompt cut between two reads would show only
// its start ("Enter pass phrase" without the key it is for). As on a
// terminal, the answer ends that line.
class LineSplitter
{
public:
    struct Line
    {
        QString text;
        bool isPrompt = false;
    };

    // A whole output's lines at each CR and LF, empty ones left out, for
    // reading what a run printed once it has ended.
    static QStringList splitLines(QStringView text);

    QList<Line> take(const QByteArray &chunk);
    // The prompt held back for want of its colon.
    std::optional<Line> takeHeldPrompt();
    // The unterminated last line, when the run has ended.
    std::optional<QString> finish();

private:
    void takeLine(QByteArrayView line, QList<Line> &lines);

    QByteArray m_pending;
};

} // namespace Tamarek::Internal
