// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "norkrun.h"

#include "signaturedump.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace TestSupport;
using namespace Tamarek::Internal;
using namespace Qt::StringLiterals;

static const QString PASSPHRASE = QStringLiteral("correct horse battery");

// The package file names in a dump, read as the plug-in reads it.
static QStringList dumpedPackages(const QString &dump)
{
    QStringList names;
    for (const PackageDump &block : splitSignatureDump(dump, {}))
        names << block.packageName;
    return names;
}

static QStringList fileNames(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths)
        names << QFileInfo(path).fileName();
    return names;
}

class SigningToolsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void probes_data();
    void probes();
    void roundTrip_data();
    void roundTrip();
    void failures_data();
    void failures();
    void exampleRpmsSigned();
    void verifyTrustsOnlyTheGivenRoot_data();
    void verifyTrustsOnlyTheGivenRoot();

private:
    QString keysDir() const { return m_dir.filePath("kit/workspace/keys"); }
    QString key(const QString &name) const { return keysDir() + '/' + name; }
    QString caCert() const { return m_dir.filePath("kit/ca/ca-cert.pem"); }
    QString otherCaCert() const { return m_dir.filePath("other/ca/ca-cert.pem"); }
    NorkRun run(const QString &target,
                const QStringList &command,
                const QStringList &answers = {}) const;
    static QStringList makePackages(const QTemporaryDir &folder, int count);

    QTemporaryDir m_dir{"/tmp/tst_signingtools-XXXXXX"};
    QString m_config;
};

NorkRun SigningToolsTest::run(const QString &target,
                              const QStringList &command,
                              const QStringList &answers) const
{
    return runNork(execArgs(target, command), m_config, m_dir.path(), answers);
}

QStringList SigningToolsTest::makePackages(const QTemporaryDir &folder, int count)
{
    QStringList packages;
    for (int i = 1; i <= count; ++i) {
        const QString path = folder.filePath(QString("pkg%1-1.0-1.noarch.rpm").arg(i));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        QByteArray bytes(4096, Qt::Uninitialized);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(bytes.data()),
                                              bytes.size() / 4);
        file.write(bytes);
        packages.append(path);
    }
    return packages;
}

static bool runHost(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        qWarning() << program << arguments << process.readAllStandardError();
        return false;
    }
    return true;
}

void SigningToolsTest::initTestCase()
{
    if (geteuid() != 0)
        QSKIP("entering a build target needs root (chroot)");
    if (!QFileInfo(targetRoot() + "/usr/bin/openssl").exists())
        QSKIP("no build-target root with OpenSSL; run through scripts/env.sh");
    QVERIFY(m_dir.isValid());
    QVERIFY(runHost("bash", {MAKE_KIT_SCRIPT, m_dir.filePath("kit")}));
    QVERIFY(runHost("bash", {MAKE_KIT_SCRIPT, m_dir.filePath("other")}));
    for (const QString &name : QStringList{"developer-key", "binaries-key"}) {
        QVERIFY(runHost("openssl",
                        {"pkey", "-in", key(name + ".pem"), "-aes256", "-passout",
                         "pass:" + PASSPHRASE, "-out", key(name + "-enc.pem")}));
    }
    QFile unsignedPackage(m_dir.filePath("unsigned.rpm"));
    QVERIFY(unsignedPackage.open(QIODevice::WriteOnly));
    unsignedPackage.write("not really an rpm");
    m_config = writeConfig(m_dir.path(),
                           true,
                           {{"T-rpmsign", {"rpmsign-external", "openssl"}},
                            {"T-customer", {"customer-sign", "vyxcert-cli", "openssl"}}});
    QVERIFY(!m_config.isEmpty());
}

void SigningToolsTest::probes_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("rpmsign-external in its target")
        << "T-rpmsign" << QStringList{"rpmsign-external", "--version"} << 0;
    QTest::newRow("rpmsign-external elsewhere")
        << "T-customer" << QStringList{"rpmsign-external", "--version"} << 127;
    QTest::newRow("customer-sign in its target")
        << "T-customer" << QStringList{"customer-sign", "--help"} << 0;
    QTest::newRow("vyxcert-cli in its target")
        << "T-customer" << QStringList{"vyxcert-cli", "--help"} << 0;
    QTest::newRow("customer-sign elsewhere")
        << "T-rpmsign" << QStringList{"customer-sign", "--help"} << 127;
    QTest::newRow("openssl everywhere") << "T-rpmsign" << QStringList{"openssl version"} << 0;
}

void SigningToolsTest::probes()
{
    QFETCH(QString, target);
    QFETCH(QStringList, command);
    QFETCH(int, exitCode);

    const NorkRun result = run(target, command);

    QCOMPARE(result.exitCode, exitCode);
    if (exitCode == 0)
        QVERIFY(!result.output.isEmpty());
}

void SigningToolsTest::roundTrip_data()
{
    QTest::addColumn<bool>("customerSign");
    QTest::addColumn<bool>("withClient");
    QTest::addColumn<bool>("encrypted");
    QTest::addColumn<int>("packageCount");

    QTest::newRow("customer-sign, developer") << true << false << false << 1;
    QTest::newRow("customer-sign, developer and client") << true << true << false << 2;
    QTest::newRow("customer-sign, encrypted keys") << true << true << true << 1;
    QTest::newRow("rpmsign-external, developer") << false << false << false << 2;
    QTest::newRow("rpmsign-external, developer then client") << false << true << false << 1;
    QTest::newRow("rpmsign-external, encrypted key") << false << true << true << 2;
}

void SigningToolsTest::roundTrip()
{
    QFETCH(bool, customerSign);
    QFETCH(bool, withClient);
    QFETCH(bool, encrypted);
    QFETCH(int, packageCount);
    QTemporaryDir folder(m_dir.filePath("pkg-XXXXXX"));
    const QStringList packages = makePackages(folder, packageCount);
    QCOMPARE(packages.size(), packageCount);
    QFile first(packages.first());
    QVERIFY(first.open(QIODevice::ReadWrite));
    const QByteArray original = first.readAll();
    const QString target = customerSign ? u"T-customer"_s : u"T-rpmsign"_s;
    const QString checker = customerSign ? u"vyxcert-cli"_s : u"rpmsign-external"_s;
    const QString caOption = customerSign ? u"--root-cert-file-path"_s : u"--root-cert"_s;
    const QString developerKey = key(encrypted ? u"developer-key-enc.pem"_s
                                               : u"developer-key.pem"_s);
    const QString binariesKey = key(encrypted ? u"binaries-key-enc.pem"_s
                                              : u"binaries-key.pem"_s);
    const QStringList answers = encrypted ? QStringList{PASSPHRASE} : QStringList{};

    if (customerSign) {
        QStringList command{"customer-sign",
                            "--binaries-key", binariesKey,
                            "--packages-key", developerKey,
                            "--packages-cert", key("developer-cert.pem")};
        if (withClient)
            command << "--packages-client-cert" << key("developer-client-cert.pem");
        const NorkRun sign = run(target, command + packages, answers + answers);
        QCOMPARE(sign.exitCode, 0);
        if (encrypted) {
            QCOMPARE(sign.prompts.size(), 2);
            QVERIFY(sign.prompts.at(0).startsWith("Enter passphrase for binaries key"));
            QVERIFY(sign.prompts.at(1).startsWith("Enter pass phrase for"));
        }
        QVERIFY(!sign.output.contains(PASSPHRASE.toUtf8()));
    } else {
        const NorkRun sign = run(target,
                                 QStringList{"rpmsign-external", "sign", "-k", developerKey, "-c",
                                             key("developer-cert.pem")} + packages,
                                 answers);
        QCOMPARE(sign.exitCode, 0);
        QCOMPARE(sign.prompts.size(), encrypted ? 1 : 0); // once for all packages
        QVERIFY(!sign.output.contains(PASSPHRASE.toUtf8()));
        if (withClient) {
            const NorkRun client = run(target,
                                       QStringList{"rpmsign-external", "sign", "-k",
                                                   key("client-key.pem"), "-c",
                                                   key("client-cert.pem")} + packages);
            QCOMPARE(client.exitCode, 0);
        }
    }
    QVERIFY(first.seek(0));
    QCOMPARE(first.readAll(), original);

    QCOMPARE(run(target, QStringList{checker, "verify", caOption, caCert()} + packages).exitCode, 0);
    if (!customerSign)
        QCOMPARE(run(target, QStringList{checker, "verify"} + packages).exitCode, 0);
    const NorkRun wrongCa
        = run(target, QStringList{checker, "verify", caOption, otherCaCert()} + packages);
    QCOMPARE(wrongCa.exitCode, 1);

    const NorkRun dump = run(target, QStringList{checker, "dump"} + packages);
    QCOMPARE(dump.exitCode, 0);
    const QString dumpText = QString::fromUtf8(dump.output);
    const QList<PackageDump> blocks = splitSignatureDump(dumpText, {});
    QCOMPARE(dumpedPackages(dumpText), fileNames(packages));
    const int signatureCount = withClient ? 2 : 1;
    for (const PackageDump &block : blocks) {
        QCOMPARE(signatureNote(block.dumpText),
                 withClient ? SignatureNote::None : SignatureNote::DeveloperOnly);
        const QStringList signatures = splitSignatureDumps(block.dumpText);
        QCOMPARE(signatures.size(), signatureCount);
        for (const QString &signature : signatures) {
            for (const char *label : {"Subject: ", "Group: ", "Subgroup: ", "Key ID: ",
                                      "Signature: "})
                QCOMPARE(signature.count(QString::fromLatin1(label)), 1);
        }
        if (withClient) {
            QCOMPARE(signatureNote(signatures.at(0)), SignatureNote::DeveloperOnly);
            QCOMPARE(signatureNote(signatures.at(1)), SignatureNote::None);
        }
    }

    QVERIFY(first.seek(first.size()));
    first.write("x");
    first.flush();
    const NorkRun tampered
        = run(target, QStringList{checker, "verify", caOption, caCert()} + packages);
    QCOMPARE(tampered.exitCode, 1);
    QVERIFY(tampered.errors.contains(packages.first().toUtf8()));
    if (!customerSign)
        QCOMPARE(run(target, QStringList{checker, "verify"} + packages).exitCode, 1);

    QCOMPARE(run(target, QStringList{checker, "delete"} + packages).exitCode, 0);
    const NorkRun emptyDump = run(target, QStringList{checker, "dump"} + packages);
    QCOMPARE(emptyDump.exitCode, 0);
    QVERIFY(!emptyDump.output.contains("Subject:"));
    QCOMPARE(dumpedPackages(QString::fromUtf8(emptyDump.output)), fileNames(packages));
    const NorkRun unsignedVerify
        = run(target, QStringList{checker, "verify", caOption, caCert()} + packages);
    QCOMPARE(unsignedVerify.exitCode, 1);
    QVERIFY(unsignedVerify.errors.contains("no signatures"));
}

void SigningToolsTest::failures_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QStringList customerKeys{"--packages-key", "%K%/developer-key.pem",
                                   "--packages-cert", "%K%/developer-cert.pem"};
    const QStringList rpmsign{"rpmsign-external", "sign", "-k"};

    QTest::newRow("rpmsign-external: wrong passphrase")
        << "T-rpmsign" << rpmsign + QStringList{"%K%/developer-key-enc.pem", "-c",
                                                "%K%/developer-cert.pem", "%P%"}
        << QStringList{"wrong passphrase"} << 1 << "wrong passphrase for key";
    QTest::newRow("customer-sign: wrong binaries passphrase")
        << "T-customer"
        << QStringList{"customer-sign", "--binaries-key", "%K%/binaries-key-enc.pem"}
               + customerKeys + QStringList{"%P%"}
        << QStringList{"wrong passphrase"} << 1 << "wrong passphrase for binaries key";
    QTest::newRow("customer-sign: empty binaries passphrase")
        << "T-customer"
        << QStringList{"customer-sign", "--binaries-key", "%K%/binaries-key-enc.pem"}
               + customerKeys + QStringList{"%P%"}
        << QStringList{""} << 1 << "empty passphrase for binaries key";
    QTest::newRow("customer-sign: no binaries key")
        << "T-customer" << QStringList{"customer-sign", "--binaries-key", ""} + customerKeys
                               + QStringList{"%P%"}
        << QStringList{} << 1 << "no binaries key given";
    QTest::newRow("customer-sign: client certificate of another key")
        << "T-customer"
        << QStringList{"customer-sign", "--binaries-key", "%K%/binaries-key.pem"} + customerKeys
               + QStringList{"--packages-client-cert", "%K%/client-cert.pem", "%P%"}
        << QStringList{} << 1 << "does not belong to the key";
    QTest::newRow("rpmsign-external: certificate of another key")
        << "T-rpmsign" << rpmsign + QStringList{"%K%/client-key.pem", "-c",
                                                "%K%/developer-cert.pem", "%P%"}
        << QStringList{} << 1 << "does not belong to the key";
    QTest::newRow("rpmsign-external: missing key")
        << "T-rpmsign" << rpmsign + QStringList{"%K%/missing.pem", "-c",
                                                "%K%/developer-cert.pem", "%P%"}
        << QStringList{} << 1 << "does not exist";
    QTest::newRow("rpmsign-external: certificate as key")
        << "T-rpmsign" << rpmsign + QStringList{"%K%/developer-cert.pem", "-c",
                                                "%K%/developer-cert.pem", "%P%"}
        << QStringList{} << 1 << "is not a private key";
    QTest::newRow("missing package")
        << "T-customer" << QStringList{"vyxcert-cli", "dump", "%K%/missing.rpm"} << QStringList{}
        << 1 << "does not exist";
    QTest::newRow("vyxcert-cli: empty root certificate")
        << "T-customer" << QStringList{"vyxcert-cli", "verify", "--root-cert-file-path", "", "%P%"}
        << QStringList{} << 1 << "no root certificate given";
    QTest::newRow("vyxcert-cli: missing root certificate")
        << "T-customer"
        << QStringList{"vyxcert-cli", "verify", "--root-cert-file-path", "%K%/none.pem", "%P%"}
        << QStringList{} << 1 << "does not exist";
    QTest::newRow("rpmsign-external: root certificate holds a key")
        << "T-rpmsign"
        << QStringList{"rpmsign-external", "verify", "--root-cert", "%K%/developer-key.pem", "%P%"}
        << QStringList{} << 1 << "holds no PEM certificate";
    QTest::newRow("unsigned package")
        << "T-rpmsign" << QStringList{"rpmsign-external", "verify", "%P%"} << QStringList{} << 1
        << "no signatures";
    QTest::newRow("no package") << "T-rpmsign" << QStringList{"rpmsign-external", "dump"}
                                << QStringList{} << 2 << "no package given";
    QTest::newRow("unknown command") << "T-customer" << QStringList{"vyxcert-cli", "sign", "%P%"}
                                     << QStringList{} << 2 << "unknown command";
}

void SigningToolsTest::failures()
{
    QFETCH(QString, target);
    QFETCH(QStringList, command);
    QFETCH(QStringList, answers);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const QString package = m_dir.filePath("unsigned.rpm");
    command.replaceInStrings("%K%", keysDir()).replaceInStrings("%P%", package);

    const NorkRun result = run(target, command, answers);

    QVERIFY(result.finished);
    QVERIFY(!result.unexpectedPrompt);
    QCOMPARE(result.prompts.size(), answers.size());
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.errors.contains(message.toUtf8()), result.errors.constData());
    QVERIFY(!QFileInfo::exists(package + ".sig"));
}

// The example project's packages, built as the kit's RPM build step does.
void SigningToolsTest::exampleRpmsSigned()
{
    QTemporaryDir out(m_dir.filePath("build-XXXXXX"));
    // The engine sees a project's recipe only in its shared folders.
    const QString recipe = out.filePath("example.rpmrecipe");
    QVERIFY(QFile::copy(EXAMPLE_RECIPE, recipe));
    const NorkRun build = run("T-customer",
                              {"rpmbuild", "--define", "_topdir " + out.path(), "-bb", recipe});
    QVERIFY2(build.exitCode == 0, build.errors.constData());
    const QString rpms = out.filePath("RPMS/noarch/");
    const QStringList packages{rpms + "tamarek-example-1.0-1.noarch.rpm",
                               rpms + "tamarek-example-debuginfo-1.0-1.noarch.rpm"};
    QCOMPARE(QDir(rpms).entryList(QDir::Files, QDir::Name),
             QStringList({"tamarek-example-1.0-1.noarch.rpm",
                          "tamarek-example-debuginfo-1.0-1.noarch.rpm"}));

    const NorkRun sign = run("T-customer",
                             QStringList{"customer-sign",
                                         "--binaries-key", key("binaries-key.pem"),
                                         "--packages-key", key("developer-key.pem"),
                                         "--packages-cert", key("developer-cert.pem"),
                                         "--packages-client-cert", key("developer-client-cert.pem")}
                                 + packages);
    QCOMPARE(sign.exitCode, 0);
    const NorkRun dump = run("T-customer", QStringList{"vyxcert-cli", "dump"} + packages);
    const QString dumpText = QString::fromUtf8(dump.output);
    QCOMPARE(dumpedPackages(dumpText), fileNames(packages));
    for (const PackageDump &block : splitSignatureDump(dumpText, {}))
        QCOMPARE(signatureNote(block.dumpText), SignatureNote::None);
    const NorkRun query = run("T-customer", QStringList{"rpm", "-qp"} + packages);
    QCOMPARE(query.output, QByteArray("tamarek-example-1.0-1.noarch\r\n"
                                      "tamarek-example-debuginfo-1.0-1.noarch\r\n"));
}

void SigningToolsTest::verifyTrustsOnlyTheGivenRoot_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("verify");

    QTest::newRow("vyxcert-cli") << "T-customer"
                                 << QStringList{"vyxcert-cli", "verify", "--root-cert-file-path"};
    QTest::newRow("rpmsign-external") << "T-rpmsign"
                                      << QStringList{"rpmsign-external", "verify", "--root-cert"};
}

// The signer's CA in OpenSSL's default certificate folder must not make a
// package verify against another root.
void SigningToolsTest::verifyTrustsOnlyTheGivenRoot()
{
    QFETCH(QString, target);
    QFETCH(QStringList, verify);

    QTemporaryDir folder(m_dir.filePath("trust-XXXXXX"));
    const QStringList packages = makePackages(folder, 1);
    const QStringList sign = target == "T-rpmsign"
                                 ? QStringList{"rpmsign-external", "sign", "-k",
                                               key("developer-key.pem"), "-c",
                                               key("developer-cert.pem")}
                                 : QStringList{"customer-sign", "--binaries-key",
                                               key("binaries-key.pem"), "--packages-key",
                                               key("developer-key.pem"), "--packages-cert",
                                               key("developer-cert.pem")};
    QCOMPARE(run(target, sign + packages).exitCode, 0);

    // The target's own default folder: openssl reads no variable for it here.
    const NorkRun hash = run(target, {"openssl", "x509", "-hash", "-noout", "-in", caCert()});
    QCOMPARE(hash.exitCode, 0);
    const QString trusted = targetRoot() + "/etc/ssl/certs/"
                            + QString::fromLatin1(hash.output.trimmed()) + ".0";
    QVERIFY(!QFileInfo::exists(trusted));
    QVERIFY(QFile::copy(caCert(), trusted));
    const auto untrust = qScopeGuard([&trusted] { QFile::remove(trusted); });
    // Of another name: one of the signer's own issuer name would fail the chain by itself.
    const QString unrelatedRoot = folder.filePath("unrelated-root.pem");
    QVERIFY(runHost("openssl",
                    {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                     folder.filePath("unrelated-key.pem"), "-subj", "/CN=Unrelated Root",
                     "-days", "2", "-out", unrelatedRoot}));
    const NorkRun otherRoot = run(target, verify + QStringList{unrelatedRoot} + packages);
    QFile::remove(trusted);
    QCOMPARE(otherRoot.exitCode, 1);
    QVERIFY(otherRoot.errors.contains("does not verify"));
}

QTEST_GUILESS_MAIN(SigningToolsTest)

#include "tst_signingtools.moc"
