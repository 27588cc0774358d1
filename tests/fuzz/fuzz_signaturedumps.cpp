// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "fuzzcheck.h"
#include "signaturedump.h"

#include <QLoggingCategory>

using namespace Tamarek::Internal;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The summary logs every field line it reads.
    QLoggingCategory::setFilterRules("default.debug=false");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList blocks = splitSignatureDumps(text);

    // The blocks are the text from its first "Subject" on, cut only before a "Subject".
    QString joined;
    for (const QString &block : blocks) {
        FUZZ_CHECK(block.startsWith("Subject"));
        joined += block;
    }
    const qsizetype first = text.indexOf("Subject");
    FUZZ_CHECK(first < 0 ? blocks.isEmpty() : joined == text.mid(first));

    // A summary holds only Subject and Group lines of its block, in the block's order.
    for (const QString &block : blocks) {
        const QString summary = signatureSummary(block);
        FUZZ_CHECK(summary.isEmpty() || summary.endsWith('\n'));
        QStringList lines = summary.split('\n');
        lines.removeLast();
        qsizetype from = 0;
        for (const QString &line : std::as_const(lines)) {
            FUZZ_CHECK(line.startsWith("Subject:") || line.startsWith("Group:"));
            from = block.indexOf(line, from);
            FUZZ_CHECK(from >= 0);
            from += line.size();
        }
    }
    return 0;
}
