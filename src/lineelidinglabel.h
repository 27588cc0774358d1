// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QLabel>
#include <QList>

namespace Tamarek::Internal {

// A few lines of text that each end in "..." where the width the form gives
// is too small, instead of widening the form; the whole text is the tooltip.
class LineElidingLabel : public QLabel
{
    Q_OBJECT

public:
    struct Line
    {
        QString text;
        bool isProblem = false; // shown in red
    };

    explicit LineElidingLabel(QWidget *parent = nullptr);

    void setLines(const QList<Line> &lines);
    // Lines at each line end, empty ones left out, none a problem; empty text
    // clears.
    void setPlainLines(const QString &text);
    // What is shown when there is room for all of it, as it was given.
    QString fullText() const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void render();

    QList<Line> m_lines;
    QString m_plainText;
};

} // namespace Tamarek::Internal
