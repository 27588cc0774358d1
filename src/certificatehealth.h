// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace Tamarek::Internal {

// What openssl in a build target tells of a signing certificate, and whether
// its key belongs to it.
struct CertificateInfo
{
    QString subject;
    QString issuer;
    QDateTime notBefore;
    QDateTime notAfter;
};

enum class KeyMatch {
    NotChecked, // no key given
    Matches,
    Differs,
    Encrypted, // not checked: that would need the passphrase
    Unreadable, // openssl reads no key in the file
    NotCompared, // the reading failed: keyError says why
};

struct CertificateCheck
{
    std::optional<CertificateInfo> info;
    QString error; // why the certificate could not be read
    KeyMatch keyMatch = KeyMatch::NotChecked;
    QString keyError;
};

// A certificate closer to its end than this is worth a warning.
const int expiryWarningDays = 30;

// Reads the output of "openssl x509 -noout -subject -issuer -startdate
// -enddate"; nothing when a field is missing or a date unreadable.
std::optional<CertificateInfo> parseCertificateInfo(const QString &text);

// Whether a PEM key file's text is encrypted, by its headers.
bool isEncryptedKey(const QByteArray &pem);

// The public key printed by "openssl x509 -pubkey" or "openssl pkey -pubout",
// line ends folded, for comparing.
QByteArray publicKeyBlock(const QByteArray &output);

// The warnings a sign step gives before signing with the certificate, each a
// sentence naming it; none when all is well.
QStringList certificateWarnings(const CertificateCheck &check,
                                const QString &certificatePath,
                                const QDateTime &now);

// What a deploy tells of a certificate from its last read, before any tool
// runs: only what makes its packages useless (expired, not valid yet, not its
// key's). Expiring soon is told when it signs.
QStringList lastReadProblems(const CertificateCheck &check,
                             const QString &certificatePath,
                             const QDateTime &now);

// A signing pair's certificate, or a CA certificate that signatures are
// verified against: that has no key, and its issuer is itself.
enum class CertificateRole { SigningPair, TrustRoot };

// Subject, issuer and validity for a label beside the choosers, and what is
// wrong, a problem each; expiring within warningDays is one.
struct SummaryLine
{
    QString text;
    bool isProblem = false;
};
QList<SummaryLine> certificateSummary(const CertificateCheck &check,
                                      const QDateTime &now,
                                      CertificateRole role = CertificateRole::SigningPair,
                                      int warningDays = expiryWarningDays);

} // namespace Tamarek::Internal
