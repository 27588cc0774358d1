// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "passphrasecache.h"


#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>

namespace Tamarek::Internal {

PassphraseCache &PassphraseCache::instance()
{
    static PassphraseCache cache;
    return cache;
}

PassphraseCache::~PassphraseCache()
{
    forgetAll();
}

QByteArray PassphraseCache::keyFor(const QString &prompt)
{
    // "Enter pass phrase for /ws/k.pem:", "Enter passphrase for binaries key /ws/b.pem: "
    static const QRegularExpression namedFile("^Enter pass ?phrase for (?:binaries key )?(.+?):\\s*$");
    const QRegularExpressionMatch match = namedFile.match(prompt);
    if (!match.hasMatch())
        return {};
    QFile key(match.captured(1));
    if (!key.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash contents(QCryptographicHash::Sha256);
    if (!contents.addData(&key))
        return {};
    return prompt.toUtf8() + '\n' + contents.result().toHex();
}

std::optional<QString> PassphraseCache::passphrase(const QByteArray &key) const
{
    const auto it = m_passphrases.constFind(key);
    if (key.isEmpty() || it == m_passphrases.cend())
        return {};
    return *it;
}

void PassphraseCache::remember(const QByteArray &key, const QString &passphrase)
{
    if (key.isEmpty())
        return;
    forget(key);
    // A copy of its own, so that forgetting overwrites the one it holds.
    m_passphrases.insert(key, QString(passphrase.constData(), passphrase.size()));
}

void PassphraseCache::forget(const QByteArray &key)
{
    const auto it = m_passphrases.find(key);
    if (it == m_passphrases.end())
        return;
    it->fill(QChar::Null);
    m_passphrases.erase(it);
}

void PassphraseCache::forgetAll()
{
    for (QString &passphrase : m_passphrases)
        passphrase.fill(QChar::Null);
    m_passphrases.clear();
}

} // namespace Tamarek::Internal
