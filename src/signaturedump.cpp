// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signaturedump.h"

#include <QDebug>
#include <QFileInfo>
#include <QRegularExpression>

namespace Tamarek::Internal {

QList<PackageDump> splitSignatureDump(const QString &dumpText, const QStringList &packages)
{
    if (packages.size() == 1)
        return {{packages.first(), dumpText}};

    // A package path is a line of its own: matched inside a line, a folder
    // such as ~/rpmbuild would cut the path short and split the dump wrongly.
    static const QRegularExpression packagePath("^(\\/[^\\r\\n]*[^\\r\\n]rpm)\\r?$",
                                                QRegularExpression::MultilineOption);
    QList<QRegularExpressionMatch> matches;
    for (const QRegularExpressionMatch &match : packagePath.globalMatch(dumpText))
        matches << match;

    QList<PackageDump> dumps;
    for (int i = 0; i < matches.size(); ++i) {
        const qsizetype start = matches.at(i).capturedStart();
        const qsizetype end = i + 1 < matches.size() ? matches.at(i + 1).capturedStart()
                                                     : dumpText.size();
        dumps.append(
            {QFileInfo(matches.at(i).captured(1)).fileName(), dumpText.mid(start, end - start)});
    }
    return dumps;
}

SignatureNote signatureNote(const QString &dumpText)
{
    // Anchored: a certificate subject such as "O=Acme Group: client" names no group.
    static const QRegularExpression group("^Group: ([^\\r\\n]*)[\\r\\n]",
                                          QRegularExpression::MultilineOption);
    bool developer = false;
    for (const QRegularExpressionMatch &match : group.globalMatch(dumpText)) {
        const QString name = match.captured(1);
        if (name == "client")
            return SignatureNote::None;
        if (name == "developer")
            developer = true;
    }
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

} // namespace Tamarek::Internal
