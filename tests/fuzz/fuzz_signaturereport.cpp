// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "fuzzcheck.h"
#include "signaturedump.h"

using namespace Tamarek::Internal;

static bool isLineEnd(QChar c)
{
    return c == '\n' || c == '\r';
}

static QStringView firstLine(QStringView text)
{
    qsizetype end = 0;
    while (end < text.size() && !isLineEnd(text[end]))
        ++end;
    return text.first(end);
}

static void checkPackageSplit(const QString &text)
{
    const QList<PackageDump> dumps = splitSignatureDump(text, {});
    // Contiguous to the end, each dump beginning with a whole line that is
    // the package's path.
    qsizetype start = text.size();
    for (qsizetype i = dumps.size() - 1; i >= 0; --i)
        start -= dumps.at(i).dumpText.size();
    FUZZ_CHECK(start >= 0);
    for (const PackageDump &dump : dumps) {
        FUZZ_CHECK(text.mid(start, dump.dumpText.size()) == dump.dumpText);
        FUZZ_CHECK(start == 0 || isLineEnd(text.at(start - 1)));
        const QStringView path = firstLine(dump.dumpText);
        FUZZ_CHECK(path.startsWith(u'/') && path.endsWith(u"rpm"));
        FUZZ_CHECK(!dump.packageName.isEmpty() && path.endsWith(QString('/' + dump.packageName)));
        start += dump.dumpText.size();
    }
}

// Whatever precedes them, a client signature leaves nothing to say, a
// developer one rules out "not signed", and a group inside a line is none.
static void checkNote(const QString &text)
{
    const SignatureNote note = signatureNote(text + '\n');
    FUZZ_CHECK(signatureNote(text + "\nSubject: O=Acme Group: client\n") == note);
    FUZZ_CHECK(signatureNote(text + "\nGroup: client\n") == SignatureNote::None);
    FUZZ_CHECK(signatureNote(text + "\nGroup: developer\n") != SignatureNote::NotSigned);
    if (note == SignatureNote::None)
        FUZZ_CHECK(signatureNote(text + "\nGroup: developer\n") == SignatureNote::None);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkPackageSplit(text);
    checkNote(text);
    return 0;
}
