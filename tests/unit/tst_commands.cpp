// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "commands.h"
#include "signtool.h"

#include <nork/sdk.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace Tamarek::Internal;

const char nork[] = "/opt/kit/bin/nork";
const char target[] = "NeverraOS-5.0-aarch64";

class CommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void testCommand_data();
    void testCommand();
    void testToolPathIsReadForEachCommand();
    void testRunLine_data();
    void testRunLine();

private:
    bool useKitTool(const QString &norkPath);

    QTemporaryDir m_folder;
};

bool CommandsTest::useKitTool(const QString &norkPath)
{
    const QString configPath = m_folder.filePath("kit.json");
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    config.write(QJsonDocument(QJsonObject{{"norkPath", norkPath}}).toJson());
    config.close();
    QString error;
    return Nork::Sdk::loadConfiguration(configPath, &error);
}

void CommandsTest::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QVERIFY(useKitTool(nork));
}

void CommandsTest::testCommand_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QStringList>("expected");

    const QStringList exec{nork, "engine", "exec", "-tt", "sb2", "-t", target};
    const QStringList rpmsign = exec + QStringList{"rpmsign-external"};
    const QStringList vyxcert = exec + QStringList{"vyxcert-cli"};
    const QStringList packages{"/ws/a.rpm", "/ws/b.rpm"};

    SignKeys keys;
    keys.binaryKey = "/ws/bin.pem";
    keys.developerKey = "/ws/dev-key.pem";
    keys.developerCertificate = "/ws/dev-cert.pem";
    keys.clientKey = "/ws/client-key.pem";
    SignKeys withClient = keys;
    withClient.clientCertificate = "/ws/client-cert.pem";

    QTest::newRow("engine") << Commands::engineCommand() << QStringList{nork, "engine"};
    QTest::newRow("engine start")
        << Commands::engineStartCommand() << QStringList{nork, "engine", "start"};
    QTest::newRow("exec") << Commands::execCommand(target) << exec;
    QTest::newRow("exec, empty target")
        << Commands::execCommand({}) << QStringList{nork, "engine", "exec", "-tt", "sb2", "-t", ""};
    QTest::newRow("vyxcert") << Commands::vyxcertCommand(target) << vyxcert;

    QTest::newRow("customer-sign, no client certificate")
        << Commands::customerSignCommand(target, keys, packages)
        << exec
               + QStringList{"customer-sign", "--binaries-key", "/ws/bin.pem", "--packages-key",
                             "/ws/dev-key.pem", "--packages-cert", "/ws/dev-cert.pem",
                             "/ws/a.rpm", "/ws/b.rpm"};
    QTest::newRow("customer-sign, client certificate before the packages")
        << Commands::customerSignCommand(target, withClient, packages)
        << exec
               + QStringList{"customer-sign", "--binaries-key", "/ws/bin.pem", "--packages-key",
                             "/ws/dev-key.pem", "--packages-cert", "/ws/dev-cert.pem",
                             "--packages-client-cert", "/ws/client-cert.pem", "/ws/a.rpm",
                             "/ws/b.rpm"};
    QTest::newRow("customer-sign, empty keys stay as empty arguments")
        << Commands::customerSignCommand(target, SignKeys(), {})
        << exec
               + QStringList{"customer-sign", "--binaries-key", "", "--packages-key", "",
                             "--packages-cert", ""};
    QTest::newRow("customer-sign help")
        << Commands::customerSignHelpCommand(target)
        << exec + QStringList{"customer-sign", "--help"};
    QTest::newRow("vyxcert help")
        << Commands::vyxcertHelpCommand(target) << vyxcert + QStringList{"--help"};
    QTest::newRow("vyxcert verify")
        << Commands::vyxcertVerifyCommand(target, "/ws/ca.pem", packages)
        << vyxcert
               + QStringList{"verify", "--root-cert-file-path", "/ws/ca.pem", "/ws/a.rpm",
                             "/ws/b.rpm"};
    QTest::newRow("vyxcert verify, empty root certificate kept")
        << Commands::vyxcertVerifyCommand(target, {}, {"/ws/a.rpm"})
        << vyxcert + QStringList{"verify", "--root-cert-file-path", "", "/ws/a.rpm"};
    QTest::newRow("vyxcert dump")
        << Commands::vyxcertDumpCommand(target, packages)
        << vyxcert + QStringList{"dump", "/ws/a.rpm", "/ws/b.rpm"};
    QTest::newRow("vyxcert dump, no packages")
        << Commands::vyxcertDumpCommand(target, {}) << vyxcert + QStringList{"dump"};
    QTest::newRow("vyxcert delete")
        << Commands::vyxcertDeleteCommand(target, packages)
        << vyxcert + QStringList{"delete", "/ws/a.rpm", "/ws/b.rpm"};

    QTest::newRow("rpmsign sign")
        << Commands::rpmsignSignCommand(target, "/ws/k.pem", "/ws/c.pem", packages)
        << rpmsign
               + QStringList{"sign", "-k", "/ws/k.pem", "-c", "/ws/c.pem", "/ws/a.rpm",
                             "/ws/b.rpm"};
    QTest::newRow("rpmsign sign, empty pair")
        << Commands::rpmsignSignCommand(target, {}, {}, {"/ws/a.rpm"})
        << rpmsign + QStringList{"sign", "-k", "", "-c", "", "/ws/a.rpm"};
    QTest::newRow("rpmsign verify")
        << Commands::rpmsignVerifyCommand(target, "/ws/ca.pem", packages)
        << rpmsign + QStringList{"verify", "--root-cert", "/ws/ca.pem", "/ws/a.rpm", "/ws/b.rpm"};
    QTest::newRow("rpmsign verify, no root certificate option")
        << Commands::rpmsignVerifyCommand(target, {}, packages)
        << rpmsign + QStringList{"verify", "/ws/a.rpm", "/ws/b.rpm"};
    QTest::newRow("rpmsign dump")
        << Commands::rpmsignDumpCommand(target, packages)
        << rpmsign + QStringList{"dump", "/ws/a.rpm", "/ws/b.rpm"};
    QTest::newRow("rpmsign dump, no packages")
        << Commands::rpmsignDumpCommand(target, {}) << rpmsign + QStringList{"dump"};
    QTest::newRow("rpmsign delete")
        << Commands::rpmsignDeleteCommand(target, packages)
        << rpmsign + QStringList{"delete", "/ws/a.rpm", "/ws/b.rpm"};
    QTest::newRow("rpmsign version")
        << Commands::rpmsignVersionCommand(target) << rpmsign + QStringList{"--version"};

    QTest::newRow("openssl version, one element")
        << Commands::opensslVersionCommand(target) << exec + QStringList{"openssl version"};
    const QStringList rsa{"openssl", "genpkey", "--algorithm", "rsa", "-pkeyopt",
                          "rsa_keygen_bits:2048", "-out", "/ws/key.pem"};
    QTest::newRow("rsa key") << Commands::rsaKeyCommand(target, "/ws/key.pem", false)
                             << exec + rsa;
    QTest::newRow("rsa key, encrypted")
        << Commands::rsaKeyCommand(target, "/ws/key.pem", true)
        << exec + rsa + QStringList{"-aes256"};
    const QStringList gost{"openssl", "genpkey", "-engine", "gost", "-algorithm", "gost2012_256",
                           "-pkeyopt", "paramset:A", "-out", "/ws/key.pem"};
    QTest::newRow("gost key") << Commands::gostKeyCommand(target, "/ws/key.pem", false)
                              << exec + gost;
    QTest::newRow("gost key, encrypted")
        << Commands::gostKeyCommand(target, "/ws/key.pem", true)
        << exec + gost + QStringList{"-aes256"};
    QTest::newRow("request")
        << Commands::requestCommand(target, "/ws/key.pem", "/ws/req.csr", "/ws/.csr_1.conf")
        << exec
               + QStringList{"openssl", "req", "-new", "-utf8", "-batch", "-config",
                             "/ws/.csr_1.conf", "-key", "/ws/key.pem", "-out", "/ws/req.csr"};
}

void CommandsTest::testCommand()
{
    QFETCH(QStringList, command);
    QFETCH(QStringList, expected);
    QCOMPARE(command, expected);
}

void CommandsTest::testToolPathIsReadForEachCommand()
{
    QVERIFY(useKitTool("/other/kit/nork"));
    const QStringList command = Commands::engineStartCommand();
    QVERIFY(useKitTool(nork));
    QCOMPARE(command, QStringList({"/other/kit/nork", "engine", "start"}));
    QCOMPARE(Commands::engineStartCommand().first(), QString(nork));
}

void CommandsTest::testRunLine_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines");

    const QString a(240, 'a');
    const QString b(240, 'b');
    const QString c(240, 'c');
    const QString x(600, 'x');
    QTest::newRow("short: one line, as run")
        << QStringList{"nork", "-k", "", "-c"} << 0 << QStringList{"[$] 0\tnork -k  -c"};
    QTest::newRow("long: broken between arguments")
        << QStringList{"nork", a, b, c} << 0
        << QStringList{"[$] 0\tnork " + a + " " + b + " \\", "\t" + c};
    QTest::newRow("an argument longer than a line stands alone")
        << QStringList{"nork", x, "tail"} << 143
        << QStringList{"[$] 143\tnork \\", "\t" + x + " \\", "\ttail"};
}

void CommandsTest::testRunLine()
{
    QFETCH(QStringList, command);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    QCOMPARE(Commands::runLine(command, exitCode).split('\n'), lines);
}

QTEST_GUILESS_MAIN(CommandsTest)

#include "tst_commands.moc"
