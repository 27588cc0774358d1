// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signaturedump.h"

#include <QDebug>
#include <QRegularExpression>

namespace Tamarek::Internal {

// The lines of a text with where each begins, its line end left out; whether
// a line end follows it.
template<typename Visit>
static void forEachLine(QStringView text, const Visit &visit)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        visit(start, text.sliced(start, end - start), end < text.size());
        // "\r\n" ends one line; any other line end ends one too.
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

// A package path is a line of its own, from a "/" to its "rpm": matched
// inside a line, a folder such as ~/rpmbuild would cut the path short.
static bool isPackageLine(QStringView line)
{
    return line.size() >= 5 && line.startsWith('/') && line.endsWith(u"rpm");
}

QList<PackageDump> splitSignatureDump(const QString &dumpText, const QStringList &packages)
{
    if (packages.size() == 1)
        return {{packages.first(), dumpText}};

    QList<std::pair<qsizetype, QStringView>> paths;
    forEachLine(dumpText, [&paths](qsizetype start, QStringView line, bool) {
        if (isPackageLine(line))
            paths.append({start, line});
    });

    QList<PackageDump> dumps;
    dumps.reserve(paths.size());
    for (int i = 0; i < paths.size(); ++i) {
        const qsizetype start = paths.at(i).first;
        const qsizetype end = i + 1 < paths.size() ? paths.at(i + 1).first : dumpText.size();
        const QStringView path = paths.at(i).second;
        dumps.append({path.sliced(path.lastIndexOf('/') + 1).toString(),
                      dumpText.mid(start, end - start)});
    }
    return dumps;
}

SignatureNote signatureNote(const QString &dumpText)
{
    // A whole line with its line end: a certificate subject such as
    // "O=Acme Group: client" names no group.
    bool client = false;
    bool developer = false;
    forEachLine(dumpText, [&](qsizetype, QStringView line, bool ended) {
        if (!ended || !line.startsWith(u"Group: "))
            return;
        const QStringView name = line.sliced(7);
        client = client || name == u"client";
        developer = developer || name == u"developer";
    });
    if (client)
        return SignatureNote::None;
    return developer ? SignatureNote::DeveloperOnly : SignatureNote::NotSigned;
}

QStringList splitSignatureDumps(const QString &text)
{
    static const QRegularExpression subject("(Subject.*)");
    QList<qsizetype> starts;
    for (const QRegularExpressionMatch &match : subject.globalMatch(text))
        starts << match.capturedStart();

    QStringList blocks;
    for (int i = 0; i < starts.size(); ++i) {
        const qsizetype end = i + 1 < starts.size() ? starts.at(i + 1) : text.size();
        blocks << text.mid(starts.at(i), end - starts.at(i));
    }
    return blocks;
}

QString signatureSummary(const QString &block)
{
    static const QRegularExpression field("(?:Subject:(.*))|(?:Group:(.*))|(?:Subgroup:(.*))"
                                          "|(?:Key ID:(.*))|(?:Signature:(.*))");
    QString summary;
    for (const QRegularExpressionMatch &match : field.globalMatch(block)) {
        const QString line = match.captured(0);
        qDebug().noquote() << line;
        if (line.startsWith("Subject") || line.startsWith("Group"))
            summary += line + '\n';
    }
    return summary;
}

QString verifyFailureReason(const QString &errorText, const QString &package)
{
    const QString fileName = package.mid(package.lastIndexOf('/') + 1);
    QString lastLine;
    QString reason;
    forEachLine(errorText, [&](qsizetype, QStringView rawLine, bool) {
        const QStringView line = rawLine.trimmed();
        if (line.isEmpty() || !reason.isEmpty())
            return;
        lastLine = line.toString();
        for (const QString &name : {package, fileName}) {
            const qsizetype at = name.isEmpty() ? -1 : line.indexOf(name);
            if (at < 0)
                continue;
            QStringView rest = line.sliced(at + name.size());
            if (rest.startsWith(':'))
                rest = rest.sliced(1);
            rest = rest.trimmed();
            reason = rest.isEmpty() ? line.toString() : rest.toString();
            return;
        }
    });
    return reason.isEmpty() ? lastLine : reason;
}

} // namespace Tamarek::Internal
