// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "certificatehealthlabel.h"

#include "tamarektr.h"

#include <utils/qtcassert.h>

namespace Tamarek::Internal {

// Long enough not to start a read for every keystroke.
const int readDelayMs = 400;

CertificateHealthLabel::CertificateHealthLabel(QWidget *parent)
    : LineElidingLabel(parent)
{
    setObjectName("certificateHealthLabel");
    setAccessibleName(Tr::tr("Certificate details"));
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setVisible(false);
    m_delay.setSingleShot(true);
    m_delay.setInterval(readDelayMs);
    connect(&m_delay, &QTimer::timeout, this, &CertificateHealthLabel::read);
    connect(&m_reader, &CertificateReader::finished, this, &CertificateHealthLabel::showCheck);
}

void CertificateHealthLabel::setTarget(const QString &target)
{
    if (target == m_target)
        return;
    m_target = target;
    m_delay.start();
}

void CertificateHealthLabel::setPair(const QString &certificate, const QString &key)
{
    QTC_CHECK(m_role == CertificateRole::SigningPair || key.isEmpty());
    if (certificate == m_certificate && key == m_key)
        return;
    m_certificate = certificate;
    m_key = key;
    m_delay.start();
}

void CertificateHealthLabel::setRole(CertificateRole role)
{
    m_role = role;
    setAccessibleName(role == CertificateRole::TrustRoot ? Tr::tr("CA certificate details")
                                                         : Tr::tr("Certificate details"));
}

bool CertificateHealthLabel::isBusy() const
{
    return m_delay.isActive() || m_reader.isReading();
}

void CertificateHealthLabel::read()
{
    if (m_certificate.isEmpty() || m_target.isEmpty()) {
        setVisible(false);
        setLines({});
        emit updated();
        return;
    }
    m_reader.read(m_target, m_certificate, m_key);
}

void CertificateHealthLabel::showCheck(const CertificateCheck &check)
{
    QList<Line> lines;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const SummaryLine &line : certificateSummary(check, now, m_role))
        lines.append({line.text, line.isProblem});
    setLines(lines);
    setVisible(true);
    emit updated();
}

} // namespace Tamarek::Internal
