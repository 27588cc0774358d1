// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "packagereport.h"

#include "linesplitter.h"
#include "runreason.h"
#include "signaturedump.h"

#include <utils/filepath.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <functional>

namespace Tamarek::Internal {

struct DialogTr
{
    Q_DECLARE_TR_FUNCTIONS(Tamarek::Internal::SignDialog)
};

static const QChar separator = ';';

QStringList packagesOf(const QString &fieldText)
{
    if (fieldText.contains(separator)) {
        QStringList packages;
        for (const QString &part : fieldText.split(separator)) {
            if (!part.trimmed().isEmpty())
                packages << part.trimmed();
        }
        return packages;
    }
    if (!fieldText.isEmpty() && QFileInfo(fieldText).isDir()) {
        const QDir folder(fieldText);
        QStringList packages;
        for (const QString &name : folder.entryList({"*.rpm"}, QDir::Files, QDir::Name))
            packages << folder.filePath(name);
        return packages;
    }
    return fieldText.isEmpty() ? QStringList() : QStringList{fieldText};
}

QString packageFieldText(const QStringList &packages)
{
    return packages.join(QString(separator) + ' ');
}

QStringList fieldPackagePaths(const QString &fieldText)
{
    const auto asTyped = [](const QString &path) {
        return Utils::FilePath::fromUserInput(path).toFSPathString();
    };
    if (!fieldText.contains(separator))
        return packagesOf(asTyped(fieldText));
    QStringList packages;
    for (const QString &package : packagesOf(fieldText))
        packages << asTyped(package);
    return packages;
}

bool areFiles(const QStringList &paths)
{
    return std::all_of(paths.cbegin(), paths.cend(), [](const QString &path) {
        return QFileInfo(path).isFile();
    });
}

QList<PackageReport> reportsFor(const QStringList &packages, const QList<PackageReport> &known)
{
    QList<PackageReport> reports;
    for (const QString &package : packages) {
        const auto same = std::find_if(known.cbegin(), known.cend(), [&](const PackageReport &r) {
            return r.path == package;
        });
        reports << (same != known.cend() ? *same : PackageReport{package});
    }
    return reports;
}

static QString fieldValue(const QString &line, QLatin1StringView name)
{
    return line.startsWith(name) ? line.sliced(name.size()).trimmed() : QString();
}

QList<SignatureEntry> signatureEntries(const QString &dumpText)
{
    QList<SignatureEntry> entries;
    for (const QString &block : splitSignatureDumps(dumpText)) {
        SignatureEntry entry;
        for (const QString &line : LineSplitter::splitLines(block)) {
            if (entry.subject.isEmpty())
                entry.subject = fieldValue(line, QLatin1StringView("Subject:"));
            if (entry.group.isEmpty())
                entry.group = fieldValue(line, QLatin1StringView("Group:"));
            if (entry.keyId.isEmpty())
                entry.keyId = fieldValue(line, QLatin1StringView("Key ID:"));
        }
        entries << entry;
    }
    return entries;
}

void addDumps(QList<PackageReport> &reports, const QString &dumpText)
{
    QStringList paths;
    for (const PackageReport &report : std::as_const(reports))
        paths << report.path;
    const QString text = QString(dumpText).replace("\r\n", "\n");
    const QList<PackageDump> dumps = splitSignatureDump(text, paths);
    for (PackageReport &report : reports) {
        const QString name = QFileInfo(report.path).fileName();
        for (const PackageDump &dump : dumps) {
            // A single package's dump is named by its path, a batch's by file name.
            if (dump.packageName == report.path || dump.packageName == name) {
                report.signatures = signatureEntries(dump.dumpText);
                break;
            }
        }
    }
}

QString verificationReason(const ProcessResult &result, const QString &package)
{
    // A run cut short said nothing about the packages.
    const QString reason = cutShort(result)
                               ? QString()
                               : verifyFailureReason(QString::fromUtf8(result.standardError),
                                                     package);
    return reason.isEmpty() ? failureReason(result) : reason;
}

void addVerification(QList<PackageReport> &reports,
                     const ProcessResult &result,
                     const QString &root)
{
    for (PackageReport &report : reports) {
        report.verifyRan = true;
        report.root = root;
        report.verified = result.isSuccess();
        report.reason = report.verified ? QString() : verificationReason(result, report.path);
    }
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
        if (report.verifyRan) {
            package.insert("verified", report.verified);
            package.insert("reason", report.reason);
            package.insert("root", report.root);
        }
        packages.append(package);
    }
    return QJsonDocument(packages).toJson();
}

QString verificationText(const PackageReport &report)
{
    if (!report.verifyRan)
        return {};
    return report.verified ? DialogTr::tr("Verified")
                           : DialogTr::tr("Not verified: %1").arg(report.reason);
}

QString batchSummary(const QList<PackageReport> &reports)
{
    if (reports.isEmpty())
        return {};
    const auto count = [&reports](const std::function<bool(const PackageReport &)> &test) {
        return std::count_if(reports.cbegin(), reports.cend(), test);
    };
    QString summary = DialogTr::tr("%n package(s)", nullptr, reports.size());
    summary += ": "
               + DialogTr::tr("%1 signed").arg(count([](const PackageReport &report) {
                     return !report.signatures.isEmpty();
                 }));
    if (reports.first().verifyRan) {
        summary += ", " + DialogTr::tr("%1 verified").arg(count([](const PackageReport &report) {
                       return report.verified;
                   }));
    }
    return summary;
}

QString reportText(const QList<PackageReport> &reports)
{
    QString text;
    for (const PackageReport &report : reports) {
        text += report.path + '\n';
        if (report.signatures.isEmpty())
            text += "  " + DialogTr::tr("No signatures found in package") + '\n';
        for (const SignatureEntry &entry : report.signatures) {
            text += "  " + DialogTr::tr("%1 signature: %2, key %3")
                               .arg(entry.group, entry.subject, entry.keyId)
                    + '\n';
        }
        if (report.verifyRan) {
            const QString root = report.root.isEmpty() ? DialogTr::tr("no CA certificate")
                                                       : report.root;
            text += "  " + verificationText(report) + " (" + root + ")\n";
        }
    }
    return text;
}

} // namespace Tamarek::Internal
