// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "passphrasesources.h"

#include "clioptions.h"
#include "pathutils.h"
#include "tamarektr.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace Utils;

namespace Tamarek::Internal {

const char ENVIRONMENT_FILE_VARIABLE[] = "TAMAREK_PASSPHRASE_FILE";

// More than any passphrase: a file this long is something else.
const qint64 maxPassphraseFileSize = 64 * 1024;

static void wipe(QByteArray &bytes)
{
    bytes.fill('\0');
    bytes.clear();
}

std::optional<QString> promptedKeyFile(const QString &prompt)
{
    static const QRegularExpression namedFile(
        "^Enter pass ?phrase for (?:binaries key )?(.+?):\\s*$");
    static const QRegularExpression newKey("^(?:Verifying - )?Enter PEM pass phrase:?\\s*$");
    const QRegularExpressionMatch match = namedFile.match(prompt);
    if (match.hasMatch())
        return match.captured(1);
    if (newKey.match(prompt).hasMatch())
        return QString();
    return {};
}

QString passphraseOptionFor(KeyRole role)
{
    switch (role) {
    case KeyRole::Key:
        return "--key-passphrase-file";
    case KeyRole::ClientKey:
        return "--client-key-passphrase-file";
    case KeyRole::BinariesKey:
        return "--binaries-key-passphrase-file";
    case KeyRole::Other:
        break;
    }
    return "--passphrase-file";
}

QByteArray firstLine(const QByteArray &bytes)
{
    qsizetype end = bytes.indexOf('\n');
    if (end < 0)
        end = bytes.size();
    if (end > 0 && bytes.at(end - 1) == '\r')
        --end;
    return bytes.left(end);
}

expected_str<QByteArray> readPassphraseFile(const QString &filePath)
{
    struct stat status;
    if (stat(QFile::encodeName(filePath).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return make_unexpected(Tr::tr("The passphrase file %1 does not exist.").arg(filePath));
    if (status.st_mode & (S_IRWXG | S_IRWXO)) {
        return make_unexpected(
            Tr::tr("The passphrase file %1 may be read or changed by others: make it "
                   "readable by its owner only (chmod 600).")
                .arg(filePath));
    }
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return make_unexpected(
            Tr::tr("The passphrase file %1 can't be read: %2").arg(filePath, file.errorString()));
    QByteArray bytes = file.read(maxPassphraseFileSize);
    QByteArray passphrase = firstLine(bytes);
    wipe(bytes);
    if (passphrase.isEmpty())
        return make_unexpected(Tr::tr("The passphrase file %1 holds no passphrase.").arg(filePath));
    return passphrase;
}

bool saysWrongPassphrase(const QByteArray &output)
{
    static const QRegularExpression wrong("wrong pass ?phrase|bad decrypt|wrong password"
                                          "|bad password read",
                                          QRegularExpression::CaseInsensitiveOption);
    return wrong.match(QString::fromUtf8(output)).hasMatch();
}

static QString absoluteClean(const QString &path)
{
    if (path.isEmpty())
        return {};
    return cleanPath(QFileInfo(path).absoluteFilePath());
}

PassphraseSources::PassphraseSources(const CliOptions &options)
    : m_commonFile(options.passphraseFile)
    , m_environmentFile(qEnvironmentVariable(ENVIRONMENT_FILE_VARIABLE))
    , m_fd(options.passphraseFd)
    , m_timeLimitSeconds(options.timeLimitSeconds)
{
    m_keys.insert(KeyRole::Key, absoluteClean(options.key));
    m_keys.insert(KeyRole::ClientKey, absoluteClean(options.clientKey));
    m_keys.insert(KeyRole::BinariesKey, absoluteClean(options.binariesKey));
    m_files.insert(KeyRole::Key, options.keyPassphraseFile);
    m_files.insert(KeyRole::ClientKey, options.clientKeyPassphraseFile);
    m_files.insert(KeyRole::BinariesKey, options.binariesKeyPassphraseFile);
    if (options.command == CliCommand::Request)
        m_newKey = absoluteClean(options.key);
    // The tools are started before the prompt that reads it: they must not get it.
    if (m_fd >= 0)
        fcntl(m_fd, F_SETFD, fcntl(m_fd, F_GETFD) | FD_CLOEXEC);
}

PassphraseSources::~PassphraseSources()
{
    if (m_fromFd && *m_fromFd)
        wipe(**m_fromFd);
}

KeyRole PassphraseSources::roleOf(const QString &keyFile) const
{
    const QString path = absoluteClean(keyFile);
    for (const KeyRole role : {KeyRole::Key, KeyRole::ClientKey, KeyRole::BinariesKey}) {
        if (!path.isEmpty() && m_keys.value(role) == path)
            return role;
    }
    return KeyRole::Other;
}

std::optional<expected_str<QByteArray>> PassphraseSources::fromSources(KeyRole role)
{
    if (const QString file = m_files.value(role); !file.isEmpty())
        return readPassphraseFile(file);
    if (!m_commonFile.isEmpty())
        return readPassphraseFile(m_commonFile);
    if (m_fd >= 0) {
        // Read once: the descriptor may be a pipe.
        if (!m_fromFd) {
            QFile input;
            if (!input.open(m_fd, QIODevice::ReadOnly)) {
                m_fromFd = make_unexpected(
                    Tr::tr("The passphrase descriptor %1 can't be read.").arg(m_fd));
            } else {
                QByteArray bytes = input.read(maxPassphraseFileSize);
                QByteArray passphrase = firstLine(bytes);
                wipe(bytes);
                if (passphrase.isEmpty()) {
                    m_fromFd = make_unexpected(
                        Tr::tr("The passphrase descriptor %1 gave no passphrase.").arg(m_fd));
                } else {
                    m_fromFd = passphrase;
                }
            }
        }
        return m_fromFd;
    }
    if (!m_environmentFile.isEmpty())
        return readPassphraseFile(m_environmentFile);
    return {};
}

// Nobody may be at the terminal: the answer is waited for as long as a tool run.
std::optional<QByteArray> PassphraseSources::fromTerminal(const QString &prompt)
{
    if (!isatty(STDIN_FILENO))
        return {};
    termios saved;
    if (tcgetattr(STDIN_FILENO, &saved) != 0)
        return {};
    termios silent = saved;
    silent.c_lflag &= ~tcflag_t(ECHO);
    silent.c_lflag |= ECHONL;
    // Silent before the prompt shows: an answer typed at once must not echo.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    std::fprintf(stderr, "%s ", qPrintable(prompt.trimmed()));
    std::fflush(stderr);
    QByteArray line;
    const QDeadlineTimer deadline{std::chrono::seconds(m_timeLimitSeconds)};
    bool complete = false;
    while (!complete && !deadline.hasExpired()) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int ready = poll(&input, 1, int(qMin<qint64>(deadline.remainingTime(), 1000)));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        char c = 0;
        if (read(STDIN_FILENO, &c, 1) != 1)
            break;
        complete = c == '\n';
        if (!complete)
            line.append(c);
        c = 0;
    }
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    if (!complete)
        std::fputc('\n', stderr);
    QByteArray passphrase = complete ? firstLine(line) : QByteArray();
    wipe(line);
    if (passphrase.isEmpty())
        return {};
    return passphrase;
}

QString PassphraseSources::answer(const QString &prompt, int timesAsked, bool *ok)
{
    *ok = false;
    const std::optional<QString> keyFile = promptedKeyFile(prompt);
    const QString key = keyFile && !keyFile->isEmpty() ? *keyFile : m_newKey;
    const QString shownKey = key.isEmpty() ? Tr::tr("the new key") : QDir::toNativeSeparators(key);
    const KeyRole role = keyFile && keyFile->isEmpty() ? KeyRole::Key : roleOf(key);
    if (timesAsked > 1) {
        m_failure = Tr::tr("wrong passphrase for %1").arg(shownKey);
        return {};
    }
    std::optional<expected_str<QByteArray>> given = fromSources(role);
    if (!given) {
        if (std::optional<QByteArray> typed = fromTerminal(prompt))
            given = *typed;
    }
    if (!given) {
        m_failure = Tr::tr("%1 needs a passphrase: give %2")
                        .arg(shownKey, passphraseOptionFor(role));
        return {};
    }
    if (!*given) {
        m_failure = given->error();
        return {};
    }
    QString passphrase = QString::fromUtf8(**given);
    wipe(**given);
    m_lastAnsweredKey = shownKey;
    *ok = true;
    return passphrase;
}

} // namespace Tamarek::Internal
