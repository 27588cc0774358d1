// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "certificatehealth.h"
#include "certificatehealthcache.h"
#include "toolrunner.h"

#include <QObject>
#include <QPointer>

QT_BEGIN_NAMESPACE
class QProcess;
QT_END_NAMESPACE

namespace Tamarek::Internal {

class StopRequest;

// Reads a certificate, and whether a key belongs to it, with openssl in a
// build target, in the background. Never asks for a passphrase: an encrypted
// key is left unchecked. Each openssl run has readTimeLimitMs. A read that
// ends is kept in the CertificateHealthCache.
class CertificateReader : public QObject
{
    Q_OBJECT

public:
    explicit CertificateReader(QObject *parent = nullptr);
    ~CertificateReader() override;

    // Starts anew; a read still running is dropped without a word.
    void read(const QString &target, const QString &certificate, const QString &key = {});
    bool isReading() const;
    // Ends the read in progress, which then finishes as stopped.
    void stop();
    // Every reader's, at shut-down.
    static void stopAll();
    // Of each openssl run; readTimeLimitMs unless set.
    void setTimeLimit(int milliseconds) { m_timeLimitMs = milliseconds; }

signals:
    void finished(const Tamarek::Internal::CertificateCheck &check);

private:
    using Step = void (CertificateReader::*)(const ProcessResult &);
    void start(const QStringList &command, Step next);
    void onInfoRead(const ProcessResult &result);
    void onCertificateKeyRead(const ProcessResult &result);
    void onKeyRead(const ProcessResult &result);
    void finish();
    void drop();
    QString reasonOf(const ProcessResult &result) const;

    QString m_target;
    QString m_certificate;
    QString m_key;
    CertificateFiles m_files; // as they were when the read began
    QByteArray m_certificatePublicKey;
    CertificateCheck m_check;
    QPointer<QProcess> m_process;
    int m_timeLimitMs = readTimeLimitMs;
    bool m_reading = false;
};

// The same, waiting for the result while the event loop turns; a stop
// request ends the wait at once, with the read failed as stopped.
CertificateCheck readCertificate(const QString &target,
                                 const QString &certificate,
                                 const QString &key = {},
                                 const StopRequest *stop = nullptr);

} // namespace Tamarek::Internal
