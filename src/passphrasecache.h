// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

namespace Tamarek::Internal {

// The passphrases the user asked to be remembered for this session: in
// memory only, never written anywhere, overwritten when forgotten.
class PassphraseCache
{
public:
    static PassphraseCache &instance();

    // What an answer to the prompt is remembered under: the prompt and the
    // contents of the key file it names, so that another key at the same path
    // is asked for anew. Empty when the prompt names no existing file (the
    // passphrase of a key yet to be made): nothing to remember it for.
    static QByteArray keyFor(const QString &prompt);

    std::optional<QString> passphrase(const QByteArray &key) const;
    void remember(const QByteArray &key, const QString &passphrase);
    void forget(const QByteArray &key);
    void forgetAll();
    bool isEmpty() const { return m_passphrases.isEmpty(); }

private:
    PassphraseCache() = default;
    ~PassphraseCache();

    QHash<QByteArray, QString> m_passphrases;
};

} // namespace Tamarek::Internal
