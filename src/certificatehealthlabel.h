// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "certificatereader.h"
#include "lineelidinglabel.h"

#include <QTimer>

namespace Tamarek::Internal {

// Beside the choosers of a signing pair: the certificate's subject, issuer and
// validity and whether the key belongs to it, read anew a moment after a path
// stops changing. Hidden while no certificate is chosen.
class CertificateHealthLabel : public LineElidingLabel
{
    Q_OBJECT

public:
    explicit CertificateHealthLabel(QWidget *parent = nullptr);

    void setTarget(const QString &target);
    void setPair(const QString &certificate, const QString &key = {});
    // A CA certificate's label: subject and validity only.
    void setRole(CertificateRole role);

    // For tests: whether a read is pending or running.
    bool isBusy() const;

signals:
    void updated();

private:
    void read();
    void showCheck(const CertificateCheck &check);

    QString m_target;
    QString m_certificate;
    QString m_key;
    CertificateRole m_role = CertificateRole::SigningPair;
    QTimer m_delay;
    CertificateReader m_reader;
};

} // namespace Tamarek::Internal
