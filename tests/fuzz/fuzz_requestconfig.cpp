// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "fuzzcheck.h"
#include "requestconfig.h"

#include <QStringDecoder>

#include <optional>

using namespace Tamarek::Internal;

static bool isQuote(char c)
{
    return c == '"' || c == '\'' || c == '`';
}

static bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// How OpenSSL's configuration reader (NCONF_default) takes a value: # outside
// quotes starts a comment, blanks at either end go, a backslash takes the next
// byte, quotes keep what they enclose, and $ outside them names a variable,
// which is nullopt here.
static std::optional<QByteArray> opensslValue(QByteArrayView raw)
{
    char quote = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw.at(i);
        if (c == '\\')
            ++i;
        else if (quote && c == quote)
            quote = 0;
        else if (!quote && isQuote(c))
            quote = c;
        else if (!quote && c == '#')
            raw.truncate(i);
    }
    while (!raw.isEmpty() && isBlank(raw.front()))
        raw.slice(1);
    while (!raw.isEmpty() && isBlank(raw.back()))
        raw.chop(1);

    QByteArray value;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw.at(i);
        if (isQuote(c)) {
            for (++i; i < raw.size() && raw.at(i) != c; ++i) {
                if (raw.at(i) == '\\' && ++i == raw.size())
                    break;
                value.append(raw.at(i));
            }
        } else if (c == '\\') {
            if (++i < raw.size())
                value.append(raw.at(i));
        } else if (c == '$') {
            return {};
        } else {
            value.append(c);
        }
    }
    return value;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses how the rest reads: as UTF-8, or as UTF-16,
    // which can hold what no UTF-8 can (a lone surrogate).
    const char *text = reinterpret_cast<const char *>(data + 1);
    const qsizetype length = qsizetype(size - 1);
    const QString name = data[0] & 1
                             ? QString(reinterpret_cast<const QChar *>(text), length / 2)
                             : QString::fromUtf8(text, length);
    QString error;
    const bool accepted = checkCompanyName(name, &error);
    FUZZ_CHECK(accepted == error.isEmpty());
    if (!accepted)
        return 0;

    // An accepted name changes the common name's line and nothing else, and
    // OpenSSL reads it back as it was given.
    static const QList<QByteArray> plain = requestConfig("x").split('\n');
    static const qsizetype cnLine = plain.indexOf(" CN = x");
    const QList<QByteArray> lines = requestConfig(name).split('\n');
    FUZZ_CHECK(cnLine >= 0 && lines.size() == plain.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        FUZZ_CHECK(i == cnLine || lines.at(i) == plain.at(i));
    FUZZ_CHECK(!plain.join('\n').contains("%COMPANY_NAME%"));
    FUZZ_CHECK(lines.at(cnLine).startsWith(" CN ="));
    const std::optional<QByteArray> value = opensslValue(
        QByteArrayView(lines.at(cnLine)).sliced(5));
    // A leading U+FEFF is part of the name here, not a byte order mark.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    FUZZ_CHECK(value && QString(utf8(*value)) == name);
    return 0;
}
