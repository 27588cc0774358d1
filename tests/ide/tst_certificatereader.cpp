// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtestproject.h"
#include "tamarektests.h"
#include "testsupport.h"

#include "certificatereader.h"
#include "stoprequest.h"

#include <kitconfig.h>
#include <nork/sdk.h>

#include <QProcess>
#include <QtTest>

using namespace Tamarek::Testing;
using namespace Utils;

namespace Tamarek::Internal {

// The plug-in's own look at a signing pair: it never asks for a passphrase
// and never waits for ever, whatever file the chooser holds.
class CertificateReaderTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void testNeverAsks_data();
    void testNeverAsks();
    void testTimeLimit();
    void testStopAsksFirst();
    void testStopEndsWait();
    void testFailedStart();
    void testCertificateKeyUnread();
    void testNotInGeneralMessages();

private:
    bool openssl(const QStringList &arguments) const;
    std::unique_ptr<SignTestKit> m_kit;
};

void CertificateReaderTest::init()
{
    m_kit = std::make_unique<SignTestKit>();
    QVERIFY2(m_kit->isValid(), qPrintable(m_kit->errorString()));
}

void CertificateReaderTest::cleanup()
{
    m_kit.reset();
}

bool CertificateReaderTest::openssl(const QStringList &arguments) const
{
    QProcess process;
    process.setWorkingDirectory(m_kit->workspace().pathAppended("keys").toFSPathString());
    process.start("openssl", arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

void CertificateReaderTest::testNeverAsks_data()
{
    QTest::addColumn<QString>("certificate");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("subject"); // empty: not readable
    QTest::addColumn<KeyMatch>("keyMatch");

    QTest::newRow("a traditionally encrypted key") << "old-encrypted-key.pem" << "" << ""
                                                   << KeyMatch::NotChecked;
    QTest::newRow("an encrypted key, then the certificate")
        << "bundle.pem" << "" << "CN=Tamarek Developer" << KeyMatch::NotChecked;
    QTest::newRow("a PKCS#12 file") << "pair.p12" << "" << "" << KeyMatch::NotChecked;
    QTest::newRow("the bundle as the key") << "developer-cert.pem" << "bundle.pem"
                                           << "CN=Tamarek Developer" << KeyMatch::Encrypted;
}

void CertificateReaderTest::testNeverAsks()
{
    QFETCH(QString, certificate);
    QFETCH(QString, key);
    QFETCH(QString, subject);
    QFETCH(KeyMatch, keyMatch);

    QVERIFY(openssl({"rsa", "-in", "developer-key.pem", "-aes256", "-traditional", "-passout",
                     "pass:old-key", "-out", "old-encrypted-key.pem"}));
    QFile bundle(m_kit->key("bundle.pem"));
    QVERIFY(bundle.open(QIODevice::WriteOnly));
    bundle.write(FilePath::fromString(m_kit->key("old-encrypted-key.pem")).fileContents().value()
                 + FilePath::fromString(m_kit->key("developer-cert.pem")).fileContents().value());
    bundle.close();
    QVERIFY(openssl({"pkcs12", "-export", "-in", "developer-cert.pem", "-inkey",
                     "developer-key.pem", "-passout", "pass:p12", "-out", "pair.p12"}));

    PasswordAnswerer answerer({});
    CertificateReader reader;
    QSignalSpy finished(&reader, &CertificateReader::finished);
    reader.read(SignTestKit::rpmsignTarget(),
                m_kit->key(certificate),
                key.isEmpty() ? QString() : m_kit->key(key));
    QVERIFY(finished.wait(2 * readTimeLimitMs));
    const auto check = finished.first().first().value<CertificateCheck>();
    QCOMPARE(bool(check.info), !subject.isEmpty());
    if (check.info)
        QVERIFY2(check.info->subject.contains(subject), qPrintable(check.info->subject));
    else
        QVERIFY(!check.error.isEmpty());
    QCOMPARE(check.keyMatch, keyMatch);
    QCOMPARE(answerer.prompts(), QStringList());
    QTRY_COMPARE(processesMentioning(m_kit->key(certificate)), QStringList());
}

// A kit whose openssl does not answer; its marker file tells "started", and
// "asked" when it was asked to end.
class HangingKit
{
public:
    HangingKit()
        : m_tool(QString("case \"$*\" in *' openssl '*)\n"
                         "  trap 'echo asked >>\"%1\"; kill $!; exit 143' TERM\n"
                         "  echo started >>\"%1\"; sleep 600 & wait; exit 0;;\n"
                         "esac\nexec '%2' \"$@\"")
                     .arg(marker(), Nork::Sdk::norkPath().toFSPathString()))
        , m_kit(m_tool.path())
    {}

    bool isValid() const { return m_tool.isValid() && m_kit.isValid(); }
    QString marker() const { return m_folder.filePath("marker"); }
    QString tool() const { return m_tool.path().toFSPathString(); }
    QString key(const QString &name) const { return m_kit.key(name); }

private:
    QTemporaryDir m_folder;
    ToolDouble m_tool;
    SignTestKit m_kit;
};

void CertificateReaderTest::testTimeLimit()
{
    const HangingKit kit;
    QVERIFY(kit.isValid());

    CertificateReader reader;
    reader.setTimeLimit(500);
    QSignalSpy finished(&reader, &CertificateReader::finished);
    reader.read(SignTestKit::rpmsignTarget(), kit.key("developer-cert.pem"));
    QVERIFY(finished.wait(10000));
    const auto check = finished.first().first().value<CertificateCheck>();
    QVERIFY(!check.info);
    QCOMPARE(check.error, QString("openssl did not answer within 1 second."));
    QTRY_COMPARE(processesMentioning(kit.tool()), QStringList());
}

// As a tool run that is stopped: asked to end first, so that the kit's tool
// can end what it runs in the target.
void CertificateReaderTest::testStopAsksFirst()
{
    const HangingKit kit;
    QVERIFY(kit.isValid());

    {
        CertificateReader reader;
        reader.read(SignTestKit::rpmsignTarget(), kit.key("developer-cert.pem"));
        QTRY_VERIFY(QFile::exists(kit.marker()));
    }
    QTRY_COMPARE(FilePath::fromString(kit.marker()).fileContents().value_or(QByteArray()),
                 QByteArray("started\nasked\n"));
    QTRY_COMPARE(processesMentioning(kit.tool()), QStringList());
}

// A cancelled deploy must not wait for a read that does not end.
void CertificateReaderTest::testStopEndsWait()
{
    const HangingKit kit;
    QVERIFY(kit.isValid());

    StopRequest stop;
    QTimer::singleShot(300, &stop, &StopRequest::request);
    const Watchdog watchdog(10000, "readCertificate did not end at its stop request");
    const CertificateCheck check = readCertificate(SignTestKit::rpmsignTarget(),
                                                   kit.key("developer-cert.pem"),
                                                   kit.key("developer-key.pem"),
                                                   &stop);
    QVERIFY(!check.info);
    QCOMPARE(check.error, QString("The read was stopped."));
    QTRY_COMPARE(processesMentioning(kit.tool()), QStringList());
}

// A kit tool path that can't be started fails inside start() itself.
void CertificateReaderTest::testFailedStart()
{
    Nork::KitConfig config;
    QString error;
    const QString file = m_kit->testKit().configurationPath().toFSPathString();
    QVERIFY2(Nork::readKitConfig(file, &config, &error), qPrintable(error));
    config.norkPath.clear();
    QVERIFY2(Nork::writeKitConfig(file, config, &error), qPrintable(error));
    QVERIFY2(Nork::Sdk::loadConfiguration(file, &error), qPrintable(error));

    const Watchdog watchdog(10000, "readCertificate did not end after a failed start");
    const CertificateCheck check = readCertificate(SignTestKit::rpmsignTarget(),
                                                   m_kit->key("developer-cert.pem"));
    QVERIFY(!check.info);
    QVERIFY2(check.error.startsWith("Could not start"), qPrintable(check.error));
}

// A pair whose certificate can't give its public key is no mismatch.
void CertificateReaderTest::testCertificateKeyUnread()
{
    ToolDouble tool(QString("case \"$*\" in *' -pubkey '*) echo 'no such engine' >&2; exit 3;; "
                            "esac\nexec '%1' \"$@\"")
                        .arg(Nork::Sdk::norkPath().toFSPathString()));
    QVERIFY(tool.isValid());
    SignTestKit kit(tool.path());
    QVERIFY2(kit.isValid(), qPrintable(kit.errorString()));

    const CertificateCheck check = readCertificate(SignTestKit::rpmsignTarget(),
                                                   kit.key("developer-cert.pem"),
                                                   kit.key("developer-key.pem"));
    QVERIFY(check.info);
    QCOMPARE(check.keyMatch, KeyMatch::NotCompared);
    QCOMPARE(check.keyError, QString("no such engine"));
    const QStringList warnings = certificateWarnings(check, "c.pem", check.info->notBefore);
    QCOMPARE(warnings,
             QStringList{"Whether the certificate c.pem belongs to its key could not be read: "
                         "no such engine"});
}

// The plug-in's own look at the files, not a run the user asked for.
void CertificateReaderTest::testNotInGeneralMessages()
{
    GeneralMessages messages;
    const CertificateCheck check = readCertificate(SignTestKit::rpmsignTarget(),
                                                   m_kit->key("developer-cert.pem"),
                                                   m_kit->key("developer-key.pem"));
    QCOMPARE(check.keyMatch, KeyMatch::Matches);
    QCOMPARE(messages.text(), QString());
}

TAMAREK_TEST(CertificateReaderTest)

} // namespace Tamarek::Internal

#include "tst_certificatereader.moc"
