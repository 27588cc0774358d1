// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signaturereport.h"

#include "signaturedump.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace Tamarek::Internal {

QList<SignatureEntry> signatureEntries(const QString &packageDump)
{
    static const QRegularExpression field("^\\s*(Subject|Group|Key ID):\\s?(.*?)\\s*$",
                                          QRegularExpression::MultilineOption);
    QList<SignatureEntry> entries;
    for (const QString &block : splitSignatureDumps(packageDump)) {
        SignatureEntry entry;
        bool any = false;
        QRegularExpressionMatchIterator it = field.globalMatch(block);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            const QString name = match.captured(1);
            QString &value = name == "Subject" ? entry.subject
                             : name == "Group" ? entry.group
                                               : entry.keyId;
            // The first of each: a subject may hold "Group:" further on.
            if (value.isEmpty())
                value = match.captured(2);
            any = true;
        }
        if (any && !entry.subject.isEmpty())
            entries << entry;
    }
    return entries;
}

QList<PackageReport> packageReports(const QStringList &packages, const QString &dumpText)
{
    QList<PackageDump> dumps = splitSignatureDump(dumpText, packages);
    QList<PackageReport> reports;
    for (const QString &package : packages) {
        PackageReport report;
        report.path = package;
        const QString name = packages.size() == 1 ? package : QFileInfo(package).fileName();
        const auto it = std::find_if(dumps.begin(), dumps.end(), [&name](const PackageDump &d) {
            return d.packageName == name;
        });
        if (it != dumps.end()) {
            report.dumpText = it->dumpText;
            report.signatures = signatureEntries(it->dumpText);
            dumps.erase(it);
        }
        reports << report;
    }
    return reports;
}

QByteArray reportJson(const QList<PackageReport> &reports)
{
    QJsonArray packages;
    for (const PackageReport &report : reports) {
        QJsonArray signatures;
        for (const SignatureEntry &entry : report.signatures) {
            signatures.append(QJsonObject{{"subject", entry.subject},
                                          {"group", entry.group},
                                          {"keyId", entry.keyId}});
        }
        QJsonObject package{{"path", report.path}, {"signatures", signatures}};
        if (report.verified) {
            package.insert("verified", *report.verified);
            if (!*report.verified)
                package.insert("reason", report.reason);
        }
        packages.append(package);
    }
    return QJsonDocument(QJsonObject{{"packages", packages}}).toJson(QJsonDocument::Indented);
}

} // namespace Tamarek::Internal
