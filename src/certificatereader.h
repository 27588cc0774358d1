// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "certificatehealth.h"
#include "toolrunner.h"

#include <QObject>
#include <QPointer>

QT_BEGIN_NAMESPACE
class QProcess;
QT_END_NAMESPACE

namespace Tamarek::Internal {

// Reads a certificate, and whether a key belongs to it, with openssl in a
// build target, in the background. Never asks for a passphrase: an encrypted
// key is left unchecked.
class CertificateReader : public QObject
{
    Q_OBJECT

public:
    explicit CertificateReader(QObject *parent = nullptr);
    ~CertificateReader() override;

    // Starts anew; a read still running is dropped.
    void read(const QString &target, const QString &certificate, const QString &key = {});
    bool isReading() const;

signals:
    void finished(const Tamarek::Internal::CertificateCheck &check);

private:
    void onInfoRead(const ProcessResult &result);
    void readPublicKeys();
    void onKeyRead(const ProcessResult &result);
    void finish();
    void stop();

    int m_generation = 0;
    QString m_target;
    QString m_certificate;
    QString m_key;
    QByteArray m_certificatePublicKey;
    CertificateCheck m_check;
    QPointer<QProcess> m_process;
};

// The same, waiting for the result while the event loop turns.
CertificateCheck readCertificate(const QString &target,
                                 const QString &certificate,
                                 const QString &key = {});

} // namespace Tamarek::Internal
