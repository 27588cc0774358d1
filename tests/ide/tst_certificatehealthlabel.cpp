// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtestproject.h"
#include "tamarektests.h"
#include "testsupport.h"

#include "certificatehealthcache.h"
#include "certificatehealthlabel.h"

#include <QProcess>
#include <QtTest>

using namespace Tamarek::Testing;
using namespace Utils;

namespace Tamarek::Internal {

// What the label beside a signing pair shows, read with the target's openssl.
class CertificateHealthLabelTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void testShown_data();
    void testShown();
    void testNoCertificateHides();
    void testTrustRoot();

private:
    std::unique_ptr<SignTestKit> m_kit;
};

void CertificateHealthLabelTest::init()
{
    m_kit = std::make_unique<SignTestKit>();
    QVERIFY2(m_kit->isValid(), qPrintable(m_kit->errorString()));
}

void CertificateHealthLabelTest::cleanup()
{
    m_kit.reset();
}

void CertificateHealthLabelTest::testShown_data()
{
    QTest::addColumn<QString>("certificate");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("shown");

    const QStringList details{"Subject: O=Tamarek Test, OU=developer, CN=Tamarek Developer",
                              "Issuer: O=Tamarek Test, CN=Tamarek Test CA",
                              "Valid from "};
    QTest::newRow("the pair") << "developer-cert.pem" << "developer-key.pem"
                              << details + QStringList{"The key belongs to the certificate."};
    QTest::newRow("another key") << "developer-cert.pem" << "client-key.pem"
                                 << details
                                        + QStringList{"The key does not belong to the "
                                                      "certificate."};
    QTest::newRow("encrypted key, never asked for")
        << "developer-cert.pem" << "encrypted-key.pem"
        << details + QStringList{"The key is encrypted: whether it belongs to the certificate is "
                                 "not checked."};
    QTest::newRow("certificate only") << "developer-cert.pem" << "" << details;
    QTest::newRow("not a certificate")
        << "developer-key.pem" << "" << QStringList{"The certificate can't be read: "};
    QTest::newRow("missing") << "missing.pem" << ""
                             << QStringList{"The certificate can't be read: The file does not "
                                            "exist."};
}

void CertificateHealthLabelTest::testShown()
{
    QFETCH(QString, certificate);
    QFETCH(QString, key);
    QFETCH(QStringList, shown);

    QProcess openssl;
    openssl.start("openssl",
                  {"pkey", "-in", m_kit->key("developer-key.pem"), "-aes256", "-passout",
                   "pass:label-test", "-out", m_kit->key("encrypted-key.pem")});
    QVERIFY(openssl.waitForFinished(60000) && openssl.exitCode() == 0);

    PasswordAnswerer answerer({});
    CertificateHealthLabel label;
    QSignalSpy updated(&label, &CertificateHealthLabel::updated);
    label.setTarget(SignTestKit::rpmsignTarget());
    label.setPair(m_kit->key(certificate), key.isEmpty() ? QString() : m_kit->key(key));
    QVERIFY(updated.wait(30000));
    QVERIFY(!label.isHidden());
    const QString text = label.fullText();
    for (const QString &part : shown)
        QVERIFY2(text.contains(part), qPrintable(text));
    QCOMPARE(answerer.prompts(), QStringList());
}

void CertificateHealthLabelTest::testNoCertificateHides()
{
    CertificateHealthLabel label;
    QSignalSpy updated(&label, &CertificateHealthLabel::updated);
    label.setTarget(SignTestKit::rpmsignTarget());
    label.setPair(m_kit->key("developer-cert.pem"));
    QVERIFY(updated.wait(30000));
    QVERIFY(!label.isHidden());
    label.setPair({});
    QVERIFY(updated.wait(30000));
    QVERIFY(label.isHidden());
}

// The kit's CA, read as a trust root: its subject and validity, no issuer, and
// the read kept for the checks before a deploy.
void CertificateHealthLabelTest::testTrustRoot()
{
    const FilePath root = m_kit->workspace().pathAppended("keys/ca-cert.pem");
    QVERIFY(standinKitFolder().pathAppended("ca/ca-cert.pem").copyFile(root));
    CertificateHealthLabel label;
    label.setRole(CertificateRole::TrustRoot);
    QCOMPARE(label.accessibleName(), "CA certificate details");
    QSignalSpy updated(&label, &CertificateHealthLabel::updated);
    label.setTarget(SignTestKit::rpmsignTarget());
    label.setPair(root.toFSPathString());
    QVERIFY(updated.wait(30000));
    const QString text = label.fullText();
    QVERIFY2(text.startsWith("Subject: O=Tamarek Test, CN=Tamarek Test CA\nValid from "),
             qPrintable(text));
    QVERIFY2(!text.contains("Issuer") && !text.contains("key"), qPrintable(text));
    const std::optional<CertificateCheck> kept = CertificateHealthCache::instance().find(
        CertificateFiles::of(root.toFSPathString()));
    QVERIFY(kept && kept->info);
    QCOMPARE(kept->info->subject, "O=Tamarek Test, CN=Tamarek Test CA");
}

TAMAREK_TEST(CertificateHealthLabelTest)

} // namespace Tamarek::Internal

#include "tst_certificatehealthlabel.moc"
