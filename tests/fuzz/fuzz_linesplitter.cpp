// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "fuzzcheck.h"
#include "linesplitter.h"

using namespace Tamarek::Internal;

// 0xFF ends a read, 0xFE ends one and stands for the tool going quiet: neither
// byte occurs in UTF-8, so the reads keep every text that matters.
const char endOfRead = char(0xff);
const char quiet = char(0xfe);

struct Run
{
    QList<LineSplitter::Line> pieces;
    bool anyPrompt = false;
};

static void keep(Run &run, const LineSplitter::Line &line)
{
    FUZZ_CHECK(!line.text.isEmpty());
    FUZZ_CHECK(!line.text.contains('\n') && !line.text.contains('\r'));
    run.anyPrompt = run.anyPrompt || line.isPrompt;
    run.pieces.append(line);
}

static Run split(const QList<QByteArray> &reads, const QList<bool> &quietAfter)
{
    Run run;
    LineSplitter splitter;
    for (qsizetype i = 0; i < reads.size(); ++i) {
        for (const LineSplitter::Line &line : splitter.take(reads.at(i)))
            keep(run, line);
        if (quietAfter.at(i)) {
            if (const std::optional<LineSplitter::Line> prompt = splitter.takeHeldPrompt())
                keep(run, *prompt);
        }
    }
    if (const std::optional<QString> rest = splitter.finish())
        keep(run, {*rest, false});
    return run;
}

// Once a text begins with a prompt, or can no longer become one, no longer
// text changes that: the runner waits on a Prefix for the rest of a prompt.
static void checkPromptPrefixes(QByteArrayView text)
{
    PromptMatch previous = matchPrompt(text.first(0));
    FUZZ_CHECK(previous == PromptMatch::Prefix);
    for (qsizetype n = 1; n <= std::min<qsizetype>(text.size(), 64); ++n) {
        const PromptMatch match = matchPrompt(text.first(n));
        FUZZ_CHECK(previous == PromptMatch::Prefix || match == previous);
        previous = match;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(data, size);
    QList<QByteArray> reads{{}};
    QList<bool> quietAfter;
    for (const char c : input) {
        if (c == endOfRead || c == quiet) {
            quietAfter.append(c == quiet);
            reads.append(QByteArray());
        } else {
            reads.last().append(c);
        }
    }
    quietAfter.append(false);
    checkPromptPrefixes(reads.first());

    const Run run = split(reads, quietAfter);
    const QByteArray whole = reads.join();
    // No byte lost or doubled but the line ends, when no read cuts a character.
    if (std::all_of(reads.cbegin(), reads.cend(), [](const QByteArray &r) {
            return QByteArrayView(r).isValidUtf8();
        })) {
        QString text;
        for (const LineSplitter::Line &piece : run.pieces)
            text += piece.text;
        const QByteArray kept = QByteArray(whole).replace('\r', "").replace('\n', "");
        FUZZ_CHECK(text == QString::fromUtf8(kept));
    }
    // Where no prompt is handed out early, how the output was cut into reads
    // changes no line.
    const Run once = split({whole}, {false});
    if (!run.anyPrompt && !once.anyPrompt) {
        FUZZ_CHECK(run.pieces.size() == once.pieces.size());
        for (qsizetype i = 0; i < run.pieces.size(); ++i)
            FUZZ_CHECK(run.pieces.at(i).text == once.pieces.at(i).text);
    }
    return 0;
}
