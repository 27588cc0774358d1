// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "toolrunner.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Tamarek::Internal {

// What the dialog knows of each package of a batch after one dump run and
// one verify run over all of them.

struct SignatureEntry
{
    QString subject;
    QString group;
    QString keyId;
};

struct PackageReport
{
    QString path;
    QList<SignatureEntry> signatures;
    bool verifyRan = false;
    bool verified = false;
    QString reason; // why it did not verify
    QString root;   // what it was verified against; empty: integrity only
};

// The packages a package field names: several paths separated by ";", or a
// folder, which stands for the .rpm files in it, by name. Anything else is
// the field's text as it is.
QStringList packagesOf(const QString &fieldText);
QString packageFieldText(const QStringList &packages);
// The same, each path read as the user typed it (~, relative parts).
QStringList fieldPackagePaths(const QString &fieldText);
bool areFiles(const QStringList &paths);

// A report for each package, what is known of it already kept: a verify keeps
// the signatures shown, a dump the verification.
QList<PackageReport> reportsFor(const QStringList &packages, const QList<PackageReport> &known);

QList<SignatureEntry> signatureEntries(const QString &dumpText);

// Each package's part of a dump of all of them, found by its path line.
void addDumps(QList<PackageReport> &reports, const QString &dumpText);

// Why a verify run failed for one package: the tool's words for it, else the
// run's reason.
QString verificationReason(const ProcessResult &result, const QString &package);

// A run that succeeded verified every package. One that did not says for
// each failing package why, in lines that name it; a package it names
// nowhere is as unverified as the run, for the run's reason.
void addVerification(QList<PackageReport> &reports,
                     const ProcessResult &result,
                     const QString &root);

// One object per package: path, signatures (subject, group, keyId),
// verified, reason and root.
QByteArray reportJson(const QList<PackageReport> &reports);
QString reportText(const QList<PackageReport> &reports);

// One line on all of them: how many, signed, verified.
QString batchSummary(const QList<PackageReport> &reports);

// The verification column of the dialog's table.
QString verificationText(const PackageReport &report);

} // namespace Tamarek::Internal
