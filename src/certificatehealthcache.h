// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "certificatehealth.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace Tamarek::Internal {

// Which files a health read was of, as they were then: a file changed since
// is another entry.
struct CertificateFiles
{
    QString certificate; // cleaned
    QDateTime certificateModified;
    QString key; // cleaned; empty for a certificate read alone
    QDateTime keyModified;

    // The files as they are now; no modification time for a file that is
    // not there.
    static CertificateFiles of(const QString &certificate, const QString &key = {});

    bool operator==(const CertificateFiles &other) const = default;
};

// The last health read of each certificate, with its key, so that a deploy
// can tell what is wrong with its files before any tool runs.
class CertificateHealthCache
{
public:
    static CertificateHealthCache &instance();

    void insert(const CertificateFiles &files, const CertificateCheck &check);
    // The read of exactly these files.
    std::optional<CertificateCheck> find(const CertificateFiles &files) const;
    // The latest read of the certificate as it is, with whatever key: its
    // dates, without a word on the key.
    std::optional<CertificateCheck> findCertificate(const QString &certificate,
                                                    const QDateTime &modified) const;
    void clear();

    // A sign step's files stay few; a long session must not grow this without end.
    static const int maxEntries = 64;

private:
    struct Entry
    {
        CertificateFiles files;
        CertificateCheck check;
    };
    QList<Entry> m_entries; // the latest last
};

} // namespace Tamarek::Internal
