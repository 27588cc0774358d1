// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "commands.h"
#include "rpmsignexternal.h"
#include "signtestproject.h"
#include "tamarektests.h"
#include "testkit.h"
#include "testsupport.h"

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <QDir>
#include <QProcess>
#include <QtTest>

using namespace Tamarek::Testing;
using Orv::Testing::TestEngine;
using Orv::Testing::TestKit;

namespace Tamarek::Internal {

const char target[] = "NeverraOS-5.0-aarch64";
const char sentinel[] = "Sentinel-pass-7Qx9";
const char pemPrompt[] = "Enter PEM pass phrase:";
const char pemConfirmation[] = "Verifying - Enter PEM pass phrase:";

static QString kitFile(const QString &relativePath)
{
    return QString(TAMAREK_STANDIN_KIT_DIR) + '/' + relativePath;
}

// A file of the stand-in kit as copyStandinKitFiles() put it.
static QString inCopy(const Utils::FilePath &copy, const QString &name)
{
    return copy.pathAppended(name).toFSPathString();
}

static TestEngine engine()
{
    return {"Engine", {{target, {"rpmsign-external", "openssl"}, {}}}, true};
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

static QStringList csrConfigs(const Utils::FilePath &workspace)
{
    return QDir(workspace.toFSPathString())
        .entryList({".csr_*"}, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System);
}

// openssl on the host, for what the test prepares; a passphrase goes in
// through the environment.
static bool hostOpenssl(const QStringList &arguments, const QString &passphrase = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TAMAREK_TEST_PASS", passphrase);
    process.setProcessEnvironment(environment);
    process.start("openssl", arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        qWarning("openssl %s: %s", qPrintable(arguments.join(' ')),
                 process.readAllStandardError().constData());
        return false;
    }
    return true;
}

// The common name of a PEM certificate signing request, as its bytes.
static QByteArray commonName(const QByteArray &pem)
{
    QByteArray base64;
    for (const QByteArray &line : pem.split('\n')) {
        if (!line.startsWith("-----"))
            base64 += line.trimmed();
    }
    const QByteArray der = QByteArray::fromBase64(base64);
    const qsizetype oid = der.indexOf(QByteArray::fromHex("0603550403"));
    if (oid < 0 || oid + 7 > der.size())
        return {};
    qsizetype at = oid + 6; // past the OID and the string's tag
    qsizetype length = quint8(der.at(at++));
    if (length & 0x80) {
        const int count = length & 0x7f;
        length = 0;
        for (int i = 0; i < count && at < der.size(); ++i)
            length = (length << 8) | quint8(der.at(at++));
    }
    return der.mid(at, length);
}

static QStringList verifyRequestCommand(const Utils::FilePath &request)
{
    return Commands::execCommand(target) << "openssl" << "req" << "-in" << request.toFSPathString()
                                         << "-noout" << "-verify";
}

class RecordingTool : public RpmsignExternal
{
public:
    RecordingTool()
    {
        connect(this, &SignTool::addOutput, this, [this](const QString &l) { outputs << l; });
        connect(this, &SignTool::addError, this, [this](const QString &l) { errors << l; });
    }

    QStringList outputs;
    QStringList errors;
};

class RpmsignExternalTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void testCheckKeysInWorkspace_data();
    void testCheckKeysInWorkspace();
    void testSignRuns_data();
    void testSignRuns();
    void testOperationCommands_data();
    void testOperationCommands();
    void testRequestRuns_data();
    void testRequestRuns();
    void testRequestRefused_data();
    void testRequestRefused();
    void testSignVerifyDumpRemove_data();
    void testSignVerifyDumpRemove();
    void testFailedFirstSignatureMakesNoSecond();
    void testEncryptedKeyRequestAndSign_data();
    void testEncryptedKeyRequestAndSign();
    void testRequestCommonName_data();
    void testRequestCommonName();

private:
    QString m_package;
    QTemporaryDir m_keys;
};

void RpmsignExternalTest::initTestCase()
{
    QVERIFY2(QFileInfo::exists(kitFile("kit.json")), "the build makes the stand-in kit");
    QVERIFY2(QFileInfo::exists(kitFile("ca/ca-cert.pem")), "the build makes the test CA");
    QVERIFY(m_keys.isValid());
    QVERIFY(hostOpenssl({"genpkey", "-algorithm", "rsa", "-pkeyopt", "rsa_keygen_bits:2048",
                         "-out", m_keys.filePath("plain-key.pem")}));
}

void RpmsignExternalTest::testCheckKeysInWorkspace_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("certificate");
    QTest::addColumn<QString>("error");

    const QString outside = "Error: key and certificate must be inside workspace folder: C:/work";
    const QString empty = "Error: key and certificate can't be empty";
    QTest::newRow("pair in the workspace") << "C:/work/keys/k.pem" << "C:/work/keys/c.pem" << "";
    QTest::newRow("pair in a sibling with the same prefix")
        << "C:/work2/k.pem" << "C:/work2/c.pem" << outside;
    QTest::newRow("pair elsewhere") << "D:/keys/k.pem" << "D:/keys/c.pem" << outside;
    QTest::newRow("only the certificate outside") << "C:/work/k.pem" << "D:/c.pem" << outside;
    QTest::newRow("empty key") << "" << "C:/work/c.pem" << empty;
    QTest::newRow("empty certificate") << "C:/work/k.pem" << "" << empty;
}

void RpmsignExternalTest::testCheckKeysInWorkspace()
{
    QFETCH(QString, key);
    QFETCH(QString, certificate);
    QFETCH(QString, error);

    SignKeys keys;
    keys.developerKey = key;
    keys.developerCertificate = certificate;
    keys.clientKey = "D:/elsewhere/client.pem"; // never checked
    QString message = "untouched";
    QCOMPARE(checkKeysInWorkspace(keys, Utils::FilePath::fromString("C:/work"), &message),
             error.isEmpty());
    QCOMPARE(message, error.isEmpty() ? QString("untouched") : error);
}

void RpmsignExternalTest::testSignRuns_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("clientKey");
    QTest::addColumn<QString>("clientCertificate");
    QTest::addColumn<int>("runs");
    QTest::addColumn<bool>("success");

    QTest::newRow("developer pair only") << "exit 0" << "" << "" << 1 << true;
    QTest::newRow("client pair: a second run") << "exit 0" << "/ws/ck.pem" << "/ws/cc.pem" << 2
                                               << true;
    QTest::newRow("client key without certificate") << "exit 0" << "/ws/ck.pem" << "" << 1 << true;
    QTest::newRow("client certificate without key") << "exit 0" << "" << "/ws/cc.pem" << 1
                                                    << true;
    QTest::newRow("second run fails") << "[ \"${10}\" = /ws/ck.pem ] && exit 4; exit 0"
                                      << "/ws/ck.pem" << "/ws/cc.pem" << 2 << false;
    QTest::newRow("first run fails: no second") << "exit 1" << "/ws/ck.pem" << "/ws/cc.pem" << 1
                                                << false;
    QTest::newRow("first run crashes: no second") << "kill -SEGV $$" << "/ws/ck.pem"
                                                  << "/ws/cc.pem" << 1 << false;
    QTest::newRow("first prompt cancelled: no second")
        << "printf 'Enter pass phrase for /ws/dk.pem:'; read -r -t 30 pw; exit 0" << "/ws/ck.pem"
        << "/ws/cc.pem" << 1 << false;
}

void RpmsignExternalTest::testSignRuns()
{
    QFETCH(QString, script);
    QFETCH(QString, clientKey);
    QFETCH(QString, clientCertificate);
    QFETCH(int, runs);
    QFETCH(bool, success);

    ToolDouble double_(script);
    TestKit kit({engine()}, {double_.path(), {}, {}});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    PasswordAnswerer cancel({QString()});

    SignKeys keys;
    keys.developerKey = "/ws/dk.pem";
    keys.developerCertificate = "/ws/dc.pem";
    keys.clientKey = clientKey;
    keys.clientCertificate = clientCertificate;
    keys.binaryKey = "/ws/unused.pem";
    RpmsignExternal tool(nullptr);
    const ProcessResult result = tool.sign(target, {"/ws/a.rpm", "/ws/b.rpm"}, keys);
    QCOMPARE(result.isSuccess(), success);

    const QStringList signing{"rpmsign-external", "sign"};
    QList<QStringList> expected{execArguments() + signing
                                + QStringList{"-k", "/ws/dk.pem", "-c", "/ws/dc.pem",
                                              "/ws/a.rpm", "/ws/b.rpm"}};
    if (runs == 2) {
        expected << execArguments() + signing
                        + QStringList{"-k", "/ws/ck.pem", "-c", "/ws/cc.pem", "/ws/a.rpm",
                                      "/ws/b.rpm"};
    }
    QCOMPARE(double_.calls(), expected);
}

void RpmsignExternalTest::testOperationCommands_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("caCertificate");
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("verify against a CA")
        << "verify" << "/ws/ca.pem"
        << QStringList{"verify", "--root-cert", "/ws/ca.pem", "/ws/a.rpm"};
    QTest::newRow("verify without CA: no option")
        << "verify" << "" << QStringList{"verify", "/ws/a.rpm"};
    QTest::newRow("dump") << "dump" << "" << QStringList{"dump", "/ws/a.rpm"};
    QTest::newRow("remove") << "remove" << "" << QStringList{"delete", "/ws/a.rpm"};
}

void RpmsignExternalTest::testOperationCommands()
{
    QFETCH(QString, operation);
    QFETCH(QString, caCertificate);
    QFETCH(QStringList, arguments);

    ToolDouble double_("echo listing; exit 0");
    TestKit kit({engine()}, {double_.path(), {}, {}});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    RecordingTool tool;
    SignKeys keys;
    keys.caCertificate = caCertificate;
    ProcessResult result;
    if (operation == "verify")
        result = tool.verify(target, {"/ws/a.rpm"}, keys);
    else if (operation == "dump")
        result = tool.dump(target, {"/ws/a.rpm"});
    else
        result = tool.removeSignature(target, {"/ws/a.rpm"});
    QVERIFY(result.isSuccess());
    QCOMPARE(result.standardOutput, QByteArray("listing\n"));
    QCOMPARE(tool.outputs, QStringList({"listing"}));
    QCOMPARE(double_.calls(),
             QList<QStringList>({execArguments() + QStringList{"rpmsign-external"} + arguments}));
}

// The tool double reports whether the configuration exists, owner-only, while openssl runs.
const char requestDouble[] = R"(
for ((i = 1; i <= $#; i++)); do [ "${!i}" = -config ] && { j=$((i + 1)); config=${!j}; }; done
[ -n "$config" ] && stat -c 'config %a' "$config" "${config%/*}"
case " $* " in *" genpkey "*) [ -n "$KEY_EXIT" ] && exit "$KEY_EXIT" ;; esac
case " $* " in *" req "*)
    [ -n "$REQ_PROMPT" ] && { printf 'Enter pass phrase for k:'; read -r -t 30 pw; }
    exit "${REQ_EXIT:-0}" ;; esac
exit 0)";

void RpmsignExternalTest::testRequestRuns_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("keyExists");
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<bool>("encrypt");
    QTest::addColumn<QStringList>("keyArguments");
    QTest::addColumn<bool>("requestRuns");
    QTest::addColumn<bool>("success");

    const QStringList rsa{"openssl", "genpkey", "--algorithm", "rsa", "-pkeyopt",
                          "rsa_keygen_bits:2048", "-out"};
    const QStringList gost{"openssl", "genpkey", "-engine", "gost", "-algorithm", "gost2012_256",
                           "-pkeyopt", "paramset:A", "-out"};
    QTest::newRow("existing key: the request only")
        << "" << true << 1 << true << QStringList() << true << true;
    QTest::newRow("missing RSA key, not encrypted")
        << "" << false << 0 << false << rsa << true << true;
    QTest::newRow("missing GOST key, encrypted")
        << "" << false << 1 << true << gost << true << true;
    QTest::newRow("key generation fails: no request")
        << "KEY_EXIT=3" << false << 0 << true << rsa << false << false;
    QTest::newRow("request fails") << "REQ_EXIT=1" << true << 0 << false << QStringList() << true
                                   << false;
    QTest::newRow("request prompt cancelled") << "REQ_PROMPT=1" << true << 0 << false
                                              << QStringList() << true << false;
}

void RpmsignExternalTest::testRequestRuns()
{
    QFETCH(QString, settings);
    QFETCH(bool, keyExists);
    QFETCH(int, algorithm);
    QFETCH(bool, encrypt);
    QFETCH(QStringList, keyArguments);
    QFETCH(bool, requestRuns);
    QFETCH(bool, success);

    ToolDouble double_(settings + '\n' + requestDouble);
    TestKit kit({engine()}, {double_.path(), {}, {}});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    const Utils::FilePath workspace = kit.sharedSrcPath();
    const Utils::FilePath key = workspace.pathAppended("key.pem");
    if (keyExists)
        QVERIFY(writeFile(key.toFSPathString(), "key"));
    PasswordAnswerer cancel({QString()});

    RecordingTool tool;
    RequestParameters request;
    request.companyName = "Example";
    request.keyPath = key;
    request.requestPath = workspace.pathAppended("request.csr");
    request.encrypt = encrypt;
    request.algorithm = algorithm;
    const ProcessResult result = tool.generateRequest(target, request);
    QCOMPARE(result.isSuccess(), success);

    QList<QStringList> calls = double_.calls();
    if (!keyArguments.isEmpty()) {
        QVERIFY(!calls.isEmpty());
        QStringList keyCall = execArguments() + keyArguments << key.toUserOutput();
        if (encrypt)
            keyCall << "-aes256";
        QCOMPARE(calls.takeFirst(), keyCall);
    }
    QCOMPARE(calls.size(), requestRuns ? 1 : 0);
    if (requestRuns) {
        const QStringList call = calls.first();
        const int config = call.indexOf("-config") + 1;
        QVERIFY(config > 0);
        QCOMPARE(QFileInfo(QFileInfo(call.at(config)).absolutePath()).absolutePath(),
                 workspace.toFSPathString());
        const QStringList expected = execArguments()
                                     + QStringList{"openssl", "req", "-new", "-utf8", "-batch",
                                                   "-config", call.at(config), "-key",
                                                   key.toUserOutput(), "-out",
                                                   request.requestPath.toUserOutput()};
        QCOMPARE(call, expected);
        QCOMPARE(tool.outputs.mid(0, 2), QStringList({"config 600", "config 700"}));
    }
    QCOMPARE(csrConfigs(workspace), QStringList());
}

void RpmsignExternalTest::testRequestRefused_data()
{
    QTest::addColumn<bool>("withEngine");
    QTest::addColumn<QString>("companyName");
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<QStringList>("errors");

    QTest::newRow("no build engine")
        << false << "Example" << 0 << QStringList{"Filed to generate CSR", "No Build Engine found"};
    QTest::newRow("unknown algorithm")
        << true << "Example" << 2
        << QStringList{"Unknown key algorithm 2: expected 0 (RSA) or 1 (GOST)."};
    QTest::newRow("negative algorithm")
        << true << "Example" << -1
        << QStringList{"Unknown key algorithm -1: expected 0 (RSA) or 1 (GOST)."};
    QTest::newRow("line break in the name")
        << true << "Example\n[ v3_usr ]" << 0
        << QStringList{"Filed to generate CSR",
                       "The company name can't contain line breaks or other control characters."};
    // Not writable even for root, as a workspace on a read-only share would be.
    QTest::newRow("workspace that can't be written to")
        << true << "Example" << 0
        << QStringList{"Filed to generate CSR", "Could not create a folder in /proc/sys: *"};
}

// Nothing runs: no key is made for a request that can't be written.
void RpmsignExternalTest::testRequestRefused()
{
    QFETCH(bool, withEngine);
    QFETCH(QString, companyName);
    QFETCH(int, algorithm);
    QFETCH(QStringList, errors);

    ToolDouble double_("exit 0");
    TestKit kit(withEngine ? QList<TestEngine>{engine()} : QList<TestEngine>{},
                {double_.path(), {}, {}});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    const bool unwritable = errors.last().endsWith('*');
    if (unwritable)
        Nork::Sdk::buildEngines().first()->setSharedSrcPath(Utils::FilePath::fromString("/proc/sys"));
    GeneralMessages messages;

    const QString key = m_keys.filePath(withEngine ? QString("missing-key.pem")
                                                   : QString("plain-key.pem"));
    RecordingTool tool;
    RequestParameters request;
    request.companyName = companyName;
    request.keyPath = Utils::FilePath::fromString(key);
    request.requestPath = Utils::FilePath::fromString(m_keys.filePath("refused.csr"));
    request.algorithm = algorithm;
    const ProcessResult result = tool.generateRequest(target, request);

    QVERIFY(!result.crashed);
    QCOMPARE(result.exitCode, -1);
    QVERIFY(result.standardOutput.isEmpty() && result.standardError.isEmpty());
    if (unwritable) {
        QCOMPARE(tool.errors.size(), errors.size());
        QVERIFY2(tool.errors.last().startsWith(errors.last().chopped(1)),
                 qPrintable(tool.errors.last()));
        errors = tool.errors;
    }
    QCOMPARE(tool.errors, errors);
    QCOMPARE(double_.calls(), QList<QStringList>());
    QVERIFY(!QFileInfo::exists(m_keys.filePath("missing-key.pem")));
    QStringList expectedLines;
    for (const QString &error : errors)
        expectedLines << "[E]\t" + error;
    QCOMPARE(messages.lines(), expectedLines);
}

void RpmsignExternalTest::testSignVerifyDumpRemove_data()
{
    QTest::addColumn<bool>("withClient");
    QTest::newRow("developer pair only") << false;
    QTest::newRow("developer and client pairs") << true;
}

void RpmsignExternalTest::testSignVerifyDumpRemove()
{
    QFETCH(bool, withClient);
    TestKit kit({engine()});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    const QString package = kit.sharedSrcPath().pathAppended("example-1.0-1.aarch64.rpm")
                                .toFSPathString();
    QVERIFY(writeFile(package, "not really an RPM package\n"));
    const Utils::FilePath copy = copyStandinKitFiles(kit.sharedSrcPath());
    QVERIFY(!copy.isEmpty());
    GeneralMessages messages;

    SignKeys keys;
    keys.developerKey = inCopy(copy, "workspace/keys/developer-key.pem");
    keys.developerCertificate = inCopy(copy, "workspace/keys/developer-cert.pem");
    if (withClient) {
        keys.clientKey = inCopy(copy, "workspace/keys/client-key.pem");
        keys.clientCertificate = inCopy(copy, "workspace/keys/client-cert.pem");
    }
    keys.caCertificate = inCopy(copy, "ca/ca-cert.pem");
    RecordingTool tool;

    const ProcessResult signResult = tool.sign(target, {package}, keys);
    QVERIFY2(signResult.isSuccess(), qPrintable(tool.errors.join('\n')));
    QCOMPARE(messages.lines().filter(QRegularExpression("^\\[\\$\\] 0\t.* sign -k ")).size(),
             withClient ? 2 : 1);

    const ProcessResult dumpResult = tool.dump(target, {package});
    QVERIFY(dumpResult.isSuccess());
    const QString listing = QString::fromUtf8(dumpResult.standardOutput);
    QCOMPARE(listing.count("Subject: "), withClient ? 2 : 1);
    QCOMPARE(listing.count("Group: client"), withClient ? 1 : 0);
    QVERIFY(listing.indexOf("Group: developer") >= 0);
    QVERIFY(tool.outputs.contains("Group: developer"));

    const ProcessResult verifyResult = tool.verify(target, {package}, keys);
    QVERIFY2(verifyResult.isSuccess(), qPrintable(tool.errors.join('\n')));
    QVERIFY(tool.outputs.contains(package + QString(": %1 signature(s) verified")
                                                .arg(withClient ? 2 : 1)));
    keys.caCertificate.clear();
    QVERIFY(tool.verify(target, {package}, keys).isSuccess());

    QVERIFY(tool.removeSignature(target, {package}).isSuccess());
    QCOMPARE(QString::fromUtf8(tool.dump(target, {package}).standardOutput).count("Subject: "), 0);
    QVERIFY(!tool.verify(target, {package}, keys).isSuccess());
    QVERIFY(messages.lines().contains("[E]\trpmsign-external: " + package
                                      + ": the package has no signatures"));
}

void RpmsignExternalTest::testFailedFirstSignatureMakesNoSecond()
{
    TestKit kit({engine()});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    const QString package = kit.sharedSrcPath().pathAppended("a.rpm").toFSPathString();
    QVERIFY(writeFile(package, "package\n"));
    const Utils::FilePath copy = copyStandinKitFiles(kit.sharedSrcPath());
    QVERIFY(!copy.isEmpty());
    GeneralMessages messages;

    SignKeys keys;
    keys.developerKey = inCopy(copy, "workspace/keys/missing-key.pem");
    keys.developerCertificate = inCopy(copy, "workspace/keys/developer-cert.pem");
    keys.clientKey = inCopy(copy, "workspace/keys/client-key.pem");
    keys.clientCertificate = inCopy(copy, "workspace/keys/client-cert.pem");
    RecordingTool tool;
    const ProcessResult result = tool.sign(target, {package}, keys);
    QVERIFY(!result.isSuccess());
    QVERIFY(!tool.errors.isEmpty());
    const QRegularExpression signRun("^\\[\\$\\] .* rpmsign-external sign ");
    QCOMPARE(messages.lines().filter(signRun).size(), 1);
    QVERIFY(!QFileInfo::exists(package + ".sig"));
}

void RpmsignExternalTest::testEncryptedKeyRequestAndSign_data()
{
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<QString>("companyName");

    QTest::newRow("RSA") << 0 << "Example Ltd";
    QTest::newRow("GOST") << 1 << QString::fromUtf8("ООО «Пример» $ENV::HOME");
}

// Key and request through openssl in the target, each passphrase asked in a
// dialog; then the request is certified by the test CA and the encrypted key
// signs a package.
void RpmsignExternalTest::testEncryptedKeyRequestAndSign()
{
    QFETCH(int, algorithm);
    QFETCH(QString, companyName);

    TestKit kit({engine()});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    const Utils::FilePath workspace = kit.sharedSrcPath();
    GeneralMessages messages;
    RecordingTool tool;

    RequestParameters request;
    request.companyName = companyName;
    request.keyPath = workspace.pathAppended("keys/new-key.pem");
    request.requestPath = workspace.pathAppended("keys/new-request.csr");
    request.encrypt = true;
    request.algorithm = algorithm;
    QVERIFY(workspace.pathAppended("keys").ensureWritableDir());
    ProcessResult result;
    {
        PasswordAnswerer answerer({sentinel, sentinel, sentinel});
        result = tool.generateRequest(target, request);
        QVERIFY2(result.isSuccess(), qPrintable(tool.errors.join('\n')));
        QCOMPARE(answerer.prompts().size(), 3);
        QCOMPARE(answerer.prompts().at(0), QString(pemPrompt));
        QCOMPARE(answerer.prompts().at(1), QString(pemConfirmation));
        QVERIFY2(answerer.prompts().at(2).startsWith("Enter pass phrase for "),
                 qPrintable(answerer.prompts().at(2)));
        QVERIFY(answerer.allMasked());
    }
    QVERIFY(!messages.text().contains("pass phrase"));
    QCOMPARE(csrConfigs(workspace), QStringList());

    QFile csr(request.requestPath.toFSPathString());
    QVERIFY(csr.open(QIODevice::ReadOnly));
    QCOMPARE(commonName(csr.readAll()), companyName.toUtf8());
    QVERIFY(runProcess({}, verifyRequestCommand(request.requestPath)).isSuccess());

    // A key left unchanged by a second request, whatever the algorithm says.
    const QByteArray keyBytes = request.keyPath.fileContents().value_or(QByteArray());
    QVERIFY(keyBytes.contains("ENCRYPTED PRIVATE KEY"));
    request.algorithm = 1 - algorithm;
    {
        PasswordAnswerer answerer({sentinel});
        QVERIFY(tool.generateRequest(target, request).isSuccess());
        QCOMPARE(answerer.prompts().size(), 1);
    }
    QCOMPARE(request.keyPath.fileContents().value_or(QByteArray()), keyBytes);

    if (algorithm == 0) {
        const Utils::FilePath copy = copyStandinKitFiles(workspace);
        QVERIFY(!copy.isEmpty());
        const QString certificate = workspace.pathAppended("keys/new-cert.pem").toFSPathString();
        QVERIFY(hostOpenssl({"x509", "-req", "-in", request.requestPath.toFSPathString(), "-CA",
                             kitFile("ca/ca-cert.pem"), "-CAkey", kitFile("ca/ca-key.pem"),
                             "-set_serial", "4242", "-days", "1", "-out", certificate}));
        const QString package = workspace.pathAppended("a.rpm").toFSPathString();
        QVERIFY(writeFile(package, "package\n"));
        SignKeys keys;
        keys.developerKey = request.keyPath.toFSPathString();
        keys.developerCertificate = certificate;
        keys.caCertificate = inCopy(copy, "ca/ca-cert.pem");
        {
            PasswordAnswerer answerer({sentinel});
            QVERIFY2(tool.sign(target, {package}, keys).isSuccess(),
                     qPrintable(tool.errors.join('\n')));
            QCOMPARE(answerer.prompts().size(), 1);
        }
        QVERIFY(tool.verify(target, {package}, keys).isSuccess());

        // Cancelled: the tool is killed and no client signature follows.
        QVERIFY(tool.removeSignature(target, {package}).isSuccess());
        keys.clientKey = inCopy(copy, "workspace/keys/client-key.pem");
        keys.clientCertificate = inCopy(copy, "workspace/keys/client-cert.pem");
        const int runsBefore = messages.lines().filter("[$] ").size();
        {
            PasswordAnswerer answerer({QString()});
            const ProcessResult cancelled = tool.sign(target, {package}, keys);
            QVERIFY(!cancelled.isSuccess());
            QCOMPARE(answerer.prompts().size(), 1);
        }
        QCOMPARE(messages.lines().filter("[$] ").size(), runsBefore + 1);
        QVERIFY(!QFileInfo::exists(package + ".sig/01.cms.pem"));
    }

    QVERIFY(!messages.text().contains(sentinel));
    QVERIFY(!result.standardOutput.contains(sentinel));
    QVERIFY(!result.standardError.contains(sentinel));
    QCOMPARE(filesContaining(kit.folder().toFSPathString(), sentinel), QStringList());
}

void RpmsignExternalTest::testRequestCommonName_data()
{
    QTest::addColumn<QString>("companyName");

    QTest::newRow("plain") << "Example Ltd";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Grüße & Söhne 株式会社");
    QTest::newRow("environment variable") << "$ENV::HOME";
    QTest::newRow("variables") << "${HOME} $(HOME) $HOME";
    QTest::newRow("comment sign") << "A # not a comment";
    QTest::newRow("backslashes") << "C:\\new\\table\\";
    QTest::newRow("quotes") << "\"Quoted\" 'single' `back`";
    QTest::newRow("section header") << "[ section ]";
    QTest::newRow("blanks at the ends") << "  Example  ";
    QTest::newRow("placeholder") << "%COMPANY_NAME%";
}

void RpmsignExternalTest::testRequestCommonName()
{
    QFETCH(QString, companyName);

    TestKit kit({engine()});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    RecordingTool tool;
    RequestParameters request;
    request.companyName = companyName;
    // Where the engine sees it.
    request.keyPath = kit.sharedSrcPath().pathAppended("plain-key.pem");
    QVERIFY(QFile::copy(m_keys.filePath("plain-key.pem"), request.keyPath.toFSPathString()));
    request.requestPath = kit.sharedSrcPath().pathAppended("request.csr");
    QVERIFY2(tool.generateRequest(target, request).isSuccess(),
             qPrintable(tool.errors.join('\n')));

    QFile csr(request.requestPath.toFSPathString());
    QVERIFY(csr.open(QIODevice::ReadOnly));
    QCOMPARE(commonName(csr.readAll()), companyName.toUtf8());
    QVERIFY(runProcess({}, verifyRequestCommand(request.requestPath)).isSuccess());
    QCOMPARE(csrConfigs(kit.sharedSrcPath()), QStringList());
}

TAMAREK_TEST(RpmsignExternalTest)

} // namespace Tamarek::Internal

#include "tst_rpmsignexternal.moc"
