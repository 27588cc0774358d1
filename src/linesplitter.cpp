// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "linesplitter.h"

#include <array>

namespace Tamarek::Internal {

static const std::array<QByteArrayView, 4> prompts = {"Enter passphrase for binaries key",
                                                      "Enter PEM pass phrase",
                                                      "Verifying - Enter PEM pass phrase",
                                                      "Enter pass phrase"};

PromptMatch matchPrompt(QByteArrayView text)
{
    bool prefix = false;
    for (const QByteArrayView prompt : prompts) {
        if (text.startsWith(prompt))
            return PromptMatch::Full;
        if (prompt.startsWith(text))
            prefix = true;
    }
    return prefix ? PromptMatch::Prefix : PromptMatch::None;
}

static bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

QStringList LineSplitter::splitLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text.at(i) != '\n' && text.at(i) != '\r')
            continue;
        if (i > start)
            lines << text.sliced(start, i - start).toString();
        start = i + 1;
    }
    return lines;
}

QList<LineSplitter::Line> LineSplitter::take(const QByteArray &chunk)
{
    QList<Line> lines;
    // Only the new bytes can hold a line end: a long line arriving in many
    // reads is not scanned again each time.
    qsizetype start = 0;
    const qsizetype scanFrom = m_pending.size();
    m_pending.append(chunk);
    for (qsizetype i = scanFrom; i < m_pending.size(); ++i) {
        if (!isLineEnd(m_pending.at(i)))
            continue;
        takeLine(QByteArrayView(m_pending).sliced(start, i - start), lines);
        start = i + 1;
    }
    m_pending.remove(0, start);

    if (matchPrompt(m_pending) == PromptMatch::Full && m_pending.trimmed().endsWith(':'))
        lines.append({QString::fromUtf8(std::exchange(m_pending, {})), true});
    return lines;
}

std::optional<LineSplitter::Line> LineSplitter::takeHeldPrompt()
{
    if (m_pending.isEmpty() || matchPrompt(m_pending) != PromptMatch::Full)
        return {};
    return Line{QString::fromUtf8(std::exchange(m_pending, {})), true};
}

void LineSplitter::takeLine(QByteArrayView line, QList<Line> &lines)
{
    if (!line.isEmpty())
        lines.append({QString::fromUtf8(line), matchPrompt(line) == PromptMatch::Full});
}

std::optional<QString> LineSplitter::finish()
{
    const QByteArray rest = std::exchange(m_pending, {});
    if (rest.isEmpty())
        return {};
    return QString::fromUtf8(rest);
}

} // namespace Tamarek::Internal
