// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "customertamarek.h"
#include "signtestproject.h"
#include "tamarektests.h"
#include "testkit.h"
#include "testsupport.h"

#include <QProcess>
#include <QtTest>

using namespace Tamarek::Testing;
using Orv::Testing::TestEngine;
using Orv::Testing::TestKit;

namespace Tamarek::Internal {

const char target[] = "NeverraOS-5.0-armv7hl";
const char sentinel[] = "Sentinel-pass-7Qx9";

static TestEngine engine()
{
    return {"Engine", {{target, {"customer-sign", "vyxcert-cli", "openssl"}, {}}}, true};
}

static QStringList execArguments()
{
    return {"engine", "exec", "-tt", "sb2", "-t", target};
}

static bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

class CustomerTamarekTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void testCommands_data();
    void testCommands();
    void testGenerateRequestRunsNothing();
    void testSignVerifyDumpRemove_data();
    void testSignVerifyDumpRemove();
    void testEncryptedBinariesKey_data();
    void testEncryptedBinariesKey();

private:
    static SignKeys kitKeys(const TestKit &kit, bool withClient);
};

void CustomerTamarekTest::initTestCase()
{
    QVERIFY2(standinKitFolder().pathAppended("workspace/keys/binaries-key.pem").exists(),
             "the build makes the stand-in kit's keys");
}

// The stand-in kit's keys, copied where the test kit's engine sees them; empty
// paths when they could not be.
SignKeys CustomerTamarekTest::kitKeys(const TestKit &kit, bool withClient)
{
    const Utils::FilePath copy = copyStandinKitFiles(kit.sharedSrcPath());
    const auto file = [&copy](const QString &name) {
        return copy.isEmpty() ? QString() : copy.pathAppended(name).toFSPathString();
    };
    SignKeys keys;
    keys.binaryKey = file("workspace/keys/binaries-key.pem");
    keys.developerKey = file("workspace/keys/developer-key.pem");
    keys.developerCertificate = file("workspace/keys/developer-cert.pem");
    if (withClient)
        keys.clientCertificate = file("workspace/keys/developer-client-cert.pem");
    keys.caCertificate = file("ca/ca-cert.pem");
    return keys;
}

void CustomerTamarekTest::testCommands_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("clientCertificate");
    QTest::addColumn<QString>("caCertificate");
    QTest::addColumn<QStringList>("arguments");

    const QStringList signing{"customer-sign", "--binaries-key", "/ws/b.pem", "--packages-key",
                              "/ws/k.pem", "--packages-cert", "/ws/c.pem"};
    QTest::newRow("sign without client certificate")
        << "sign" << "" << "" << signing + QStringList{"/ws/a.rpm"};
    QTest::newRow("sign with client certificate")
        << "sign" << "/ws/cc.pem" << ""
        << signing + QStringList{"--packages-client-cert", "/ws/cc.pem", "/ws/a.rpm"};
    QTest::newRow("verify")
        << "verify" << "" << "/ws/ca.pem"
        << QStringList{"vyxcert-cli", "verify", "--root-cert-file-path", "/ws/ca.pem", "/ws/a.rpm"};
    QTest::newRow("verify, empty CA still passed")
        << "verify" << "" << ""
        << QStringList{"vyxcert-cli", "verify", "--root-cert-file-path", "", "/ws/a.rpm"};
    QTest::newRow("dump") << "dump" << "" << "" << QStringList{"vyxcert-cli", "dump", "/ws/a.rpm"};
    QTest::newRow("remove") << "remove" << "" << ""
                            << QStringList{"vyxcert-cli", "delete", "/ws/a.rpm"};
}

void CustomerTamarekTest::testCommands()
{
    QFETCH(QString, operation);
    QFETCH(QString, clientCertificate);
    QFETCH(QString, caCertificate);
    QFETCH(QStringList, arguments);

    ToolDouble double_("exit 0");
    TestKit kit({engine()}, {double_.path(), {}, {}});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));

    SignKeys keys;
    keys.binaryKey = "/ws/b.pem";
    keys.developerKey = "/ws/k.pem";
    keys.developerCertificate = "/ws/c.pem";
    keys.clientKey = "/ws/never-read.pem";
    keys.clientCertificate = clientCertificate;
    keys.caCertificate = caCertificate;
    CustomerTamarek tool(nullptr);
    ProcessResult result;
    if (operation == "sign")
        result = tool.sign(target, {"/ws/a.rpm"}, keys);
    else if (operation == "verify")
        result = tool.verify(target, {"/ws/a.rpm"}, keys);
    else if (operation == "dump")
        result = tool.dump(target, {"/ws/a.rpm"});
    else
        result = tool.removeSignature(target, {"/ws/a.rpm"});
    QVERIFY(result.isSuccess());
    QCOMPARE(double_.calls(), QList<QStringList>({execArguments() + arguments}));
}

void CustomerTamarekTest::testGenerateRequestRunsNothing()
{
    ToolDouble double_("exit 0");
    TestKit kit({engine()}, {double_.path(), {}, {}});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    GeneralMessages messages;

    CustomerTamarek tool(nullptr);
    RequestParameters request;
    request.companyName = "Example";
    request.keyPath = kit.sharedSrcPath().pathAppended("key.pem");
    request.requestPath = kit.sharedSrcPath().pathAppended("request.csr");
    const ProcessResult result = tool.generateRequest(target, request);
    QVERIFY(!result.crashed);
    QCOMPARE(result.exitCode, -1);
    QVERIFY(result.standardOutput.isEmpty() && result.standardError.isEmpty());
    QCOMPARE(double_.calls(), QList<QStringList>());
    QVERIFY(messages.text().isEmpty());
    QVERIFY(!request.keyPath.exists());
}

void CustomerTamarekTest::testSignVerifyDumpRemove_data()
{
    QTest::addColumn<bool>("withClient");
    QTest::newRow("developer signature") << false;
    QTest::newRow("developer and client signatures") << true;
}

void CustomerTamarekTest::testSignVerifyDumpRemove()
{
    QFETCH(bool, withClient);
    TestKit kit({engine()});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    const QString package = kit.sharedSrcPath().pathAppended("example-1.0-1.armv7hl.rpm")
                                .toFSPathString();
    QVERIFY(writeFile(package, "not really an RPM package\n"));
    GeneralMessages messages;
    CustomerTamarek tool(nullptr);
    SignKeys keys = kitKeys(kit, withClient);

    QVERIFY(tool.sign(target, {package}, keys).isSuccess());
    QVERIFY(messages.lines().contains(
        QString("[I]\t%1: signed (%2)")
            .arg(package, withClient ? QString("developer and client") : QString("developer"))));

    const ProcessResult dump = tool.dump(target, {package});
    QVERIFY(dump.isSuccess());
    const QString listing = QString::fromUtf8(dump.standardOutput);
    QCOMPARE(listing.count("Subject: "), withClient ? 2 : 1);
    QCOMPARE(listing.count("Group: client"), withClient ? 1 : 0);

    QVERIFY(tool.verify(target, {package}, keys).isSuccess());
    keys.caCertificate.clear();
    QVERIFY(!tool.verify(target, {package}, keys).isSuccess());
    QVERIFY(messages.lines().contains(
        "[E]\tvyxcert-cli: no root certificate given: --root-cert-file-path is empty"));

    QVERIFY(tool.removeSignature(target, {package}).isSuccess());
    QVERIFY(!QFileInfo::exists(package + ".sig"));
}

void CustomerTamarekTest::testEncryptedBinariesKey_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("passphrase given") << false;
    QTest::newRow("prompt cancelled") << true;
}

void CustomerTamarekTest::testEncryptedBinariesKey()
{
    QFETCH(bool, cancel);
    TestKit kit({engine()});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    const QString key = kit.sharedSrcPath().pathAppended("binaries-key.pem").toFSPathString();
    QProcess openssl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TAMAREK_TEST_PASS", sentinel);
    openssl.setProcessEnvironment(environment);
    openssl.start("openssl", {"genpkey", "-algorithm", "rsa", "-pkeyopt", "rsa_keygen_bits:2048",
                              "-aes256", "-pass", "env:TAMAREK_TEST_PASS", "-out", key});
    QVERIFY(openssl.waitForFinished(60000) && openssl.exitCode() == 0);

    const QString package = kit.sharedSrcPath().pathAppended("a.rpm").toFSPathString();
    QVERIFY(writeFile(package, "package\n"));
    GeneralMessages messages;
    PasswordAnswerer answerer({cancel ? QString() : QString(sentinel)});
    CustomerTamarek tool(nullptr);
    SignKeys keys = kitKeys(kit, true);
    keys.binaryKey = key;

    const ProcessResult result = tool.sign(target, {package}, keys);
    QCOMPARE(result.isSuccess(), !cancel);
    QCOMPARE(answerer.prompts(),
             QStringList({QString("Enter passphrase for binaries key %1: ").arg(key)}));
    QCOMPARE(QFileInfo::exists(package + ".sig/binaries.sig"), !cancel);
    QVERIFY(!messages.text().contains("Enter passphrase"));
    QVERIFY(!messages.text().contains(sentinel));
    QVERIFY(!result.standardOutput.contains(sentinel));
    QCOMPARE(filesContaining(kit.folder().toFSPathString(), sentinel), QStringList());
}

TAMAREK_TEST(CustomerTamarekTest)

} // namespace Tamarek::Internal

#include "tst_customertamarek.moc"
