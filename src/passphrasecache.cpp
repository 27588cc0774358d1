// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "passphrasecache.h"

#include <utils/qtcassert.h>

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstring>

#include <sys/mman.h>

namespace Tamarek::Internal {

// A passphrase's characters in pages of their own: the heap would let them
// into a core dump and onto swap, and leave copies behind when it moves them.
class PassphraseCache::Secret
{
public:
    explicit Secret(const QString &text)
        : m_size(text.size())
    {
        m_bytes = std::max<size_t>(1, m_size * sizeof(QChar));
        void *pages = mmap(nullptr, m_bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                           -1, 0);
        if (pages == MAP_FAILED) {
            m_size = 0;
            return;
        }
        m_data = static_cast<QChar *>(pages);
        madvise(pages, m_bytes, MADV_DONTDUMP);
        // Best effort: the locked-memory limit may be small.
        m_locked = mlock(pages, m_bytes) == 0;
        std::memcpy(m_data, text.constData(), m_size * sizeof(QChar));
    }

    ~Secret()
    {
        if (!m_data)
            return;
        explicit_bzero(m_data, m_bytes);
        if (m_locked)
            munlock(m_data, m_bytes);
        munmap(m_data, m_bytes);
    }

    Secret(const Secret &) = delete;
    Secret &operator=(const Secret &) = delete;

    bool isValid() const { return m_data; }
    QString text() const { return QString(m_data, qsizetype(m_size)); }

private:
    QChar *m_data = nullptr;
    size_t m_size = 0;
    size_t m_bytes = 0;
    bool m_locked = false;
};

static qint64 monotonicNow()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

PassphraseCache::PassphraseCache()
    : m_now(monotonicNow)
{}

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
    static const QRegularExpression namedFile(
        "^Enter pass ?phrase for (?:binaries key )?(.+?):\\s*$");
    const QRegularExpressionMatch match = namedFile.match(prompt);
    if (!match.hasMatch())
        return {};
    const QString path = match.captured(1);
    // Read on the GUI thread: a FIFO or a huge file named by a tool would stall it.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxKeyFileSize)
        return {};
    QFile key(path);
    if (!key.open(QIODevice::ReadOnly))
        return {};
    const QByteArray contents = key.read(maxKeyFileSize + 1);
    if (contents.size() > maxKeyFileSize)
        return {};
    return prompt.toUtf8() + '\n'
           + QCryptographicHash::hash(contents, QCryptographicHash::Sha256).toHex();
}

std::optional<QString> PassphraseCache::passphrase(const QByteArray &key)
{
    forgetUnused();
    const auto it = m_entries.find(key);
    if (key.isEmpty() || it == m_entries.end())
        return {};
    it->lastUse = m_now();
    return it->secret->text();
}

void PassphraseCache::remember(const QByteArray &key, const QString &passphrase)
{
    QTC_ASSERT(!key.isEmpty(), return);
    forget(key);
    auto secret = std::make_shared<Secret>(passphrase);
    if (secret->isValid())
        m_entries.insert(key, {secret, m_now()});
}

void PassphraseCache::forget(const QByteArray &key)
{
    m_entries.remove(key);
}

void PassphraseCache::forgetAll()
{
    m_entries.clear();
}

void PassphraseCache::forgetUnused()
{
    const qint64 now = m_now();
    m_entries.removeIf([now](const QHash<QByteArray, Entry>::iterator &it) {
        return now - it->lastUse > idleLimitMs;
    });
}

void PassphraseCache::setClock(const std::function<qint64()> &now)
{
    m_now = now ? now : std::function<qint64()>(monotonicNow);
}

} // namespace Tamarek::Internal
