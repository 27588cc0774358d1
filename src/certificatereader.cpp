// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "certificatereader.h"

#include "commands.h"
#include "tamarektr.h"
#include "toolrunner.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

namespace Tamarek::Internal {

// openssl's last word on standard error, or what else went wrong.
static QString reasonOf(const ProcessResult &result)
{
    if (!result.startError.isEmpty())
        return result.startError;
    const QStringList lines = QString::fromUtf8(result.standardError + result.standardOutput)
                                  .split(QRegularExpression("[\r\n]"), Qt::SkipEmptyParts);
    return lines.isEmpty() ? failureDescription(result) : lines.last().trimmed();
}

CertificateReader::CertificateReader(QObject *parent)
    : QObject(parent)
{}

CertificateReader::~CertificateReader()
{
    stop();
}

bool CertificateReader::isReading() const
{
    return m_process;
}

void CertificateReader::stop()
{
    if (!m_process)
        return;
    m_process->disconnect();
    m_process->kill();
    m_process->deleteLater();
    m_process = nullptr;
}

void CertificateReader::read(const QString &target, const QString &certificate, const QString &key)
{
    stop();
    ++m_generation;
    m_target = target;
    m_certificate = certificate;
    m_key = key;
    m_check = {};
    m_certificatePublicKey.clear();

    if (!QFile::exists(certificate)) {
        m_check.error = Tr::tr("The file does not exist.");
        // Reported from the event loop, as a read that ran would be.
        QTimer::singleShot(0, this, [this, generation = m_generation] {
            if (generation == m_generation)
                finish();
        });
        return;
    }
    m_process = startProcess(Commands::certificateInfoCommand(target, certificate),
                             this,
                             [this](const ProcessResult &result) { onInfoRead(result); });
}

void CertificateReader::onInfoRead(const ProcessResult &result)
{
    m_process = nullptr;
    if (result.isSuccess())
        m_check.info = parseCertificateInfo(QString::fromUtf8(result.standardOutput));
    if (!m_check.info) {
        m_check.error = result.isSuccess() ? Tr::tr("It is no PEM certificate.")
                                           : reasonOf(result);
        finish();
        return;
    }
    readPublicKeys();
}

void CertificateReader::readPublicKeys()
{
    if (m_key.isEmpty()) {
        finish();
        return;
    }
    QFile keyFile(m_key);
    if (!keyFile.open(QIODevice::ReadOnly)) {
        m_check.keyMatch = KeyMatch::Unreadable;
        finish();
        return;
    }
    if (isEncryptedKey(keyFile.read(1 << 20))) {
        m_check.keyMatch = KeyMatch::Encrypted;
        finish();
        return;
    }
    m_process = startProcess(Commands::certificatePublicKeyCommand(m_target, m_certificate),
                             this,
                             [this](const ProcessResult &result) {
                                 m_certificatePublicKey = publicKeyBlock(result.standardOutput);
                                 m_process = startProcess(
                                     Commands::keyPublicKeyCommand(m_target, m_key),
                                     this,
                                     [this](const ProcessResult &key) { onKeyRead(key); });
                             });
}

void CertificateReader::onKeyRead(const ProcessResult &result)
{
    m_process = nullptr;
    const QByteArray publicKey = publicKeyBlock(result.standardOutput);
    if (!result.isSuccess() || publicKey.isEmpty())
        m_check.keyMatch = KeyMatch::Unreadable;
    else if (publicKey == m_certificatePublicKey)
        m_check.keyMatch = KeyMatch::Matches;
    else
        m_check.keyMatch = KeyMatch::Differs;
    finish();
}

void CertificateReader::finish()
{
    emit finished(m_check);
}

CertificateCheck readCertificate(const QString &target,
                                 const QString &certificate,
                                 const QString &key)
{
    CertificateReader reader;
    CertificateCheck check;
    QEventLoop loop;
    QObject::connect(&reader, &CertificateReader::finished, &loop, [&](const CertificateCheck &c) {
        check = c;
        loop.quit();
    });
    reader.read(target, certificate, key);
    loop.exec();
    return check;
}

} // namespace Tamarek::Internal
