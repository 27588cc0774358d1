// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "certificatereader.h"

#include "commands.h"
#include "runreason.h"
#include "stoprequest.h"
#include "tamarektr.h"

#include <utils/qtcassert.h>

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace Tamarek::Internal {

// A key file larger than this is no PEM key.
const qint64 maxKeyFileSize = 1 << 20;

static QList<QPointer<CertificateReader>> &readers()
{
    static QList<QPointer<CertificateReader>> list;
    return list;
}

static QString stoppedText()
{
    return Tr::tr("The read was stopped.");
}

QString CertificateReader::reasonOf(const ProcessResult &result) const
{
    return readFailureReason(result, m_timeLimitMs);
}

CertificateReader::CertificateReader(QObject *parent)
    : QObject(parent)
{
    readers().append(this);
}

CertificateReader::~CertificateReader()
{
    drop();
    readers().removeAll(this);
}

bool CertificateReader::isReading() const
{
    return m_reading;
}

void CertificateReader::drop()
{
    m_reading = false;
    endProcess(m_process);
    m_process = nullptr;
}

void CertificateReader::stop()
{
    if (!m_reading)
        return;
    drop();
    if (!m_check.info)
        m_check.error = stoppedText();
    else if (m_check.keyMatch == KeyMatch::NotChecked && !m_key.isEmpty())
        m_check = {m_check.info, {}, KeyMatch::NotCompared, stoppedText()};
    emit finished(m_check);
}

void CertificateReader::stopAll()
{
    for (const QPointer<CertificateReader> &reader : QList(readers())) {
        if (reader)
            reader->stop();
    }
}

void CertificateReader::read(const QString &target, const QString &certificate, const QString &key)
{
    drop();
    m_reading = true;
    m_target = target;
    m_certificate = certificate;
    m_key = key;
    m_files = CertificateFiles::of(certificate, key);
    m_check = {};
    m_certificatePublicKey.clear();

    if (!QFileInfo::exists(certificate)) {
        m_check.error = Tr::tr("The file does not exist.");
        // Reported from the event loop, as a read that ran would be.
        QTimer::singleShot(0, this, [this, certificate] {
            if (m_reading && m_certificate == certificate)
                finish();
        });
        return;
    }
    start(Commands::certificateInfoCommand(target, certificate), &CertificateReader::onInfoRead);
}

void CertificateReader::start(const QStringList &command, Step next)
{
    QTC_CHECK(m_reading && !m_process);
    m_process = startProcess(
        command,
        this,
        [this, next](const ProcessResult &result) {
            m_process = nullptr;
            (this->*next)(result);
        },
        m_timeLimitMs);
}

void CertificateReader::onInfoRead(const ProcessResult &result)
{
    if (result.isSuccess())
        m_check.info = parseCertificateInfo(QString::fromUtf8(result.standardOutput));
    if (!m_check.info) {
        m_check.error = result.isSuccess() ? Tr::tr("It is no PEM certificate.")
                                           : reasonOf(result);
        finish();
        return;
    }
    if (m_key.isEmpty()) {
        finish();
        return;
    }
    QFile keyFile(m_key);
    const QFileInfo keyInfo(m_key);
    if (!keyInfo.isFile() || keyInfo.size() > maxKeyFileSize
        || !keyFile.open(QIODevice::ReadOnly)) {
        m_check.keyMatch = KeyMatch::Unreadable;
        finish();
        return;
    }
    if (isEncryptedKey(keyFile.read(maxKeyFileSize))) {
        m_check.keyMatch = KeyMatch::Encrypted;
        finish();
        return;
    }
    start(Commands::certificatePublicKeyCommand(m_target, m_certificate),
          &CertificateReader::onCertificateKeyRead);
}

// Without the certificate's own key there is nothing to compare with: that is
// no mismatch.
void CertificateReader::onCertificateKeyRead(const ProcessResult &result)
{
    QTC_CHECK(m_check.info && !m_key.isEmpty());
    m_certificatePublicKey = publicKeyBlock(result.standardOutput);
    if (!result.isSuccess() || m_certificatePublicKey.isEmpty()) {
        m_check.keyMatch = KeyMatch::NotCompared;
        m_check.keyError = result.isSuccess() ? Tr::tr("openssl gave no public key.")
                                              : reasonOf(result);
        finish();
        return;
    }
    start(Commands::keyPublicKeyCommand(m_target, m_key), &CertificateReader::onKeyRead);
}

void CertificateReader::onKeyRead(const ProcessResult &result)
{
    QTC_CHECK(!m_certificatePublicKey.isEmpty());
    const QByteArray publicKey = publicKeyBlock(result.standardOutput);
    if (cutShort(result) || result.crashed) {
        m_check.keyMatch = KeyMatch::NotCompared;
        m_check.keyError = reasonOf(result);
    } else if (!result.isSuccess() || publicKey.isEmpty()) {
        m_check.keyMatch = KeyMatch::Unreadable;
    } else {
        m_check.keyMatch = publicKey == m_certificatePublicKey ? KeyMatch::Matches
                                                               : KeyMatch::Differs;
    }
    finish();
}

void CertificateReader::finish()
{
    QTC_ASSERT(m_reading, return);
    m_reading = false;
    CertificateHealthCache::instance().insert(m_files, m_check);
    emit finished(m_check);
}

CertificateCheck readCertificate(const QString &target,
                                 const QString &certificate,
                                 const QString &key,
                                 const StopRequest *stop)
{
    CertificateReader reader;
    std::optional<CertificateCheck> check;
    QEventLoop loop;
    QObject::connect(&reader, &CertificateReader::finished, &loop, [&](const CertificateCheck &c) {
        check = c;
        loop.quit();
    });
    if (stop)
        QObject::connect(stop, &StopRequest::requested, &reader, &CertificateReader::stop);
    if (stop && stop->isRequested())
        return {{}, stoppedText()};
    reader.read(target, certificate, key);
    // Bounded: every openssl run of the read has its time limit, and a stop
    // ends the read at once.
    if (!check)
        loop.exec();
    return check.value_or(CertificateCheck{{}, stoppedText()});
}

} // namespace Tamarek::Internal
