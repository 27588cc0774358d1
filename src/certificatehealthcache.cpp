// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "certificatehealthcache.h"

#include <QDir>
#include <QFileInfo>
#include <QTimeZone>

namespace Tamarek::Internal {

static QString cleaned(const QString &path)
{
    if (path.isEmpty())
        return {};
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

static QDateTime modified(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    return info.exists() ? info.lastModified(QTimeZone::UTC) : QDateTime();
}

CertificateFiles CertificateFiles::of(const QString &certificate, const QString &key)
{
    return {cleaned(certificate), modified(certificate), cleaned(key), modified(key)};
}

CertificateHealthCache &CertificateHealthCache::instance()
{
    static CertificateHealthCache cache;
    return cache;
}

void CertificateHealthCache::insert(const CertificateFiles &files, const CertificateCheck &check)
{
    // A file that was not there has nothing to remember.
    if (files.certificate.isEmpty() || !files.certificateModified.isValid())
        return;
    m_entries.removeIf([&files](const Entry &entry) { return entry.files == files; });
    m_entries.append({files, check});
    while (m_entries.size() > maxEntries)
        m_entries.removeFirst();
}

std::optional<CertificateCheck> CertificateHealthCache::find(const CertificateFiles &files) const
{
    for (auto it = m_entries.crbegin(); it != m_entries.crend(); ++it) {
        if (it->files == files)
            return it->check;
    }
    return {};
}

std::optional<CertificateCheck> CertificateHealthCache::findCertificate(
    const QString &certificate, const QDateTime &modified) const
{
    const QString path = cleaned(certificate);
    for (auto it = m_entries.crbegin(); it != m_entries.crend(); ++it) {
        if (it->files.certificate == path && it->files.certificateModified == modified) {
            CertificateCheck check = it->check;
            check.keyMatch = KeyMatch::NotChecked;
            check.keyError.clear();
            return check;
        }
    }
    return {};
}

void CertificateHealthCache::clear()
{
    m_entries.clear();
}

} // namespace Tamarek::Internal
