// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "lineelidinglabel.h"

#include "linesplitter.h"

#include <QResizeEvent>

namespace Tamarek::Internal {

LineElidingLabel::LineElidingLabel(QWidget *parent)
    : QLabel(parent)
{
    setWordWrap(false);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void LineElidingLabel::setLines(const QList<Line> &lines)
{
    m_lines = lines;
    m_plainText.clear();
    render();
    updateGeometry();
}

void LineElidingLabel::setPlainLines(const QString &text)
{
    QList<Line> lines;
    for (const QString &line : LineSplitter::splitLines(text))
        lines.append({line});
    setLines(lines);
    m_plainText = text;
}

QString LineElidingLabel::fullText() const
{
    if (!m_plainText.isEmpty())
        return m_plainText;
    QStringList texts;
    for (const Line &line : m_lines)
        texts << line.text;
    return texts.join('\n');
}

QSize LineElidingLabel::minimumSizeHint() const
{
    return {fontMetrics().averageCharWidth() * 4, sizeHint().height()};
}

// As tall as its lines, as wide as the widest: what it takes unelided.
QSize LineElidingLabel::sizeHint() const
{
    int width = 0;
    for (const Line &line : m_lines)
        width = std::max(width, fontMetrics().horizontalAdvance(line.text));
    const QMargins margins = contentsMargins();
    const int lines = std::max<int>(1, m_lines.size());
    return {width + margins.left() + margins.right() + 2 * margin(),
            lines * fontMetrics().lineSpacing() + margins.top() + margins.bottom()
                + 2 * margin()};
}

void LineElidingLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    render();
}

void LineElidingLabel::render()
{
    const int width = contentsRect().width() - 2 * margin();
    const bool rich = std::any_of(m_lines.cbegin(), m_lines.cend(), [](const Line &line) {
        return line.isProblem;
    });
    QStringList shown;
    bool elided = false;
    for (const Line &line : m_lines) {
        const QString text = fontMetrics().elidedText(line.text, Qt::ElideRight, width);
        elided = elided || text != line.text;
        if (!rich)
            shown << text;
        else if (line.isProblem)
            shown << QString("<span style=\"color:red\">%1</span>").arg(text.toHtmlEscaped());
        else
            shown << text.toHtmlEscaped();
    }
    setTextFormat(rich ? Qt::RichText : Qt::PlainText);
    QLabel::setText(shown.join(rich ? QString("<br>") : QString("\n")));
    setToolTip(elided ? fullText().trimmed() : QString());
}

} // namespace Tamarek::Internal
