// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace Tamarek::Internal {

// The passphrases the user asked to be remembered for this session: in
// memory only, in pages kept out of swap and core dumps, never written
// anywhere, overwritten when forgotten, and forgotten after an hour unused.
class PassphraseCache
{
public:
    static PassphraseCache &instance();

    // What an answer to the prompt is remembered under: the prompt and the
    // contents of the key file it names, so that another key at the same path
    // is asked for anew. Empty when the prompt names no regular file of at
    // most maxKeyFileSize (the passphrase of a key yet to be made, a FIFO
    // that would stall the IDE): nothing to remember it for.
    static QByteArray keyFor(const QString &prompt);
    static const qint64 maxKeyFileSize = 1 << 20;

    // How long a passphrase may go unused before it is forgotten.
    static const qint64 idleLimitMs = 60 * 60 * 1000;

    std::optional<QString> passphrase(const QByteArray &key);
    void remember(const QByteArray &key, const QString &passphrase);
    void forget(const QByteArray &key);
    void forgetAll();
    // Forgets what has gone unused for longer than idleLimitMs.
    void forgetUnused();
    bool isEmpty() const { return m_entries.isEmpty(); }

    // For tests: the clock that says how long a passphrase went unused, in
    // milliseconds of any origin.
    void setClock(const std::function<qint64()> &now);

private:
    class Secret;
    struct Entry
    {
        std::shared_ptr<Secret> secret;
        qint64 lastUse = 0;
    };

    PassphraseCache();
    ~PassphraseCache();

    QHash<QByteArray, Entry> m_entries;
    std::function<qint64()> m_now;
};

} // namespace Tamarek::Internal
