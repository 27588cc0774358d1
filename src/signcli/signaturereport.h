// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Tamarek::Internal {

struct SignatureEntry
{
    QString subject;
    QString group;
    QString keyId;
};

// What tamarek-sign reports of one package.
struct PackageReport
{
    QString path;
    QString dumpText;
    QList<SignatureEntry> signatures;
    std::optional<bool> verified; // only verify tells
    QString reason;               // why it did not verify
};

// The signatures of one package's part of a dump, in order.
QList<SignatureEntry> signatureEntries(const QString &packageDump);

// One report for each package, in the order given, from the dump of them
// all; a package the dump does not name has no signatures.
QList<PackageReport> packageReports(const QStringList &packages, const QString &dumpText);

// {"packages": [{"path", "signatures": [{"subject", "group", "keyId"}],
// "verified", "reason"}]}, indented.
QByteArray reportJson(const QList<PackageReport> &reports);

} // namespace Tamarek::Internal
