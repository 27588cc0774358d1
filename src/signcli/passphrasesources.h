// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/expected.h>

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

namespace Tamarek::Internal {

struct CliOptions;

// The keys of a run whose passphrases can have sources of their own.
enum class KeyRole { Key, ClientKey, BinariesKey, Other };

// The key file a prompt asks the passphrase of; empty for the passphrase of a
// key being made ("Enter PEM pass phrase:"), nothing when it is no prompt.
std::optional<QString> promptedKeyFile(const QString &prompt);

// The option that gives the role's passphrase, for telling the user.
QString passphraseOptionFor(KeyRole role);

// A passphrase file's first line, refused when others may read or write the
// file or it holds no passphrase.
Utils::expected_str<QByteArray> readPassphraseFile(const QString &filePath);

// The passphrase in what was read: the first line, without its line end.
QByteArray firstLine(const QByteArray &bytes);

// Whether a failed tool run says that it was given a wrong passphrase.
bool saysWrongPassphrase(const QByteArray &output);

// Answers the tools' passphrase prompts of one tamarek-sign run from the
// passphrase files, the descriptor or the environment's file, else from the
// terminal, never waiting for an answer nobody can give.
class PassphraseSources
{
public:
    explicit PassphraseSources(const CliOptions &options);
    ~PassphraseSources();

    PassphraseSources(const PassphraseSources &) = delete;
    PassphraseSources &operator=(const PassphraseSources &) = delete;

    // The answer, or a null string and *ok false with failure() set.
    QString answer(const QString &prompt, int timesAsked, bool *ok);

    // Why a passphrase was not given; empty when all were.
    QString failure() const { return m_failure; }
    // The key of the last passphrase given, for a run that failed on it.
    QString lastAnsweredKey() const { return m_lastAnsweredKey; }
    bool hasAnswered() const { return !m_lastAnsweredKey.isEmpty(); }

private:
    KeyRole roleOf(const QString &keyFile) const;
    std::optional<Utils::expected_str<QByteArray>> fromSources(KeyRole role);
    std::optional<QByteArray> fromTerminal(const QString &prompt);

    QHash<KeyRole, QString> m_keys;
    QHash<KeyRole, QString> m_files;
    QString m_commonFile;
    QString m_environmentFile;
    int m_fd = -1;
    int m_timeLimitSeconds = 0;
    std::optional<Utils::expected_str<QByteArray>> m_fromFd;
    QString m_newKey;
    QString m_failure;
    QString m_lastAnsweredKey;
};

} // namespace Tamarek::Internal
