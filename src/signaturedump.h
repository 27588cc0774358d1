// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Tamarek::Internal {

// Reading the signature listings that the tools' dump commands print: a
// package's path on a line of its own, then for each signature a "Subject:",
// "Group:", "Subgroup:", "Key ID:" and "Signature:" line.

// What a package's signature groups call for.
enum class SignatureNote { None, DeveloperOnly, NotSigned };

struct PackageDump
{
    QString packageName;
    QString dumpText;
};

// One entry for a single package (named as given), else one per package
// path found in the dump, named by file name.
QList<PackageDump> splitSignatureDump(const QString &dumpText, const QStringList &packages);

// A group is a whole line "Group: NAME" with its line end; a client group
// means nothing is to be said, a developer group alone calls for the note.
SignatureNote signatureNote(const QString &dumpText);

// The blocks of the signatures, in order: each begins at a line's "Subject"
// and runs to the next such line or the end.
QStringList splitSignatureDumps(const QString &text);

// The block's "Subject" and "Group" lines, each with a line feed.
QString signatureSummary(const QString &block);

// Why a verify run of one package failed, in the tool's words: its first line
// naming the package, from the package's name on ("tool: PACKAGE: reason"
// gives "reason"), else its last line; empty when it said nothing.
QString verifyFailureReason(const QString &errorText, const QString &package);

} // namespace Tamarek::Internal
