// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtestproject.h"
#include "tamarektests.h"
#include "testsupport.h"

#include "customersignstep.h"
#include "rpmsignexternalstep.h"

#include <coreplugin/icore.h>
#include <projectexplorer/buildsteplist.h>
#include <utils/algorithm.h>

#include <QDir>
#include <QProcess>
#include <QTimer>
#include <QtTest>

using namespace ProjectExplorer;
using namespace Tamarek::Testing;

namespace Tamarek::Internal {

const char secret[] = "Secret-sentinel-9Wq4";

static QStringList debugLog;
static QtMessageHandler previousHandler = nullptr;

static void recordMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    debugLog << text;
    if (previousHandler)
        previousHandler(type, context, text);
}

// Where a passphrase could leak while a deploy signs with an encrypted key.
class SecretsTest : public QObject
{
    Q_OBJECT

private slots:
    void testNowhereButTheToolsInput_data();
    void testNowhereButTheToolsInput();
};

// Every process's command line and environment, with the ones holding the text.
static void scanProcesses(QStringList *seen, QStringList *leaks)
{
    for (const QString &pid : QDir("/proc").entryList({"[0-9]*"}, QDir::Dirs)) {
        QFile commandLine("/proc/" + pid + "/cmdline");
        QFile environment("/proc/" + pid + "/environ");
        if (!commandLine.open(QIODevice::ReadOnly))
            continue;
        const QByteArray command = commandLine.readAll().replace('\0', ' ');
        const QByteArray variables = environment.open(QIODevice::ReadOnly)
                                         ? environment.readAll()
                                         : QByteArray();
        *seen << QString::fromLocal8Bit(command);
        if (command.contains(secret) || variables.contains(secret))
            *leaks << pid + ": " + QString::fromLocal8Bit(command);
    }
}

void SecretsTest::testNowhereButTheToolsInput_data()
{
    QTest::addColumn<bool>("customerSign");
    QTest::addColumn<QString>("tool");

    QTest::newRow("customer-sign asks itself") << true << "customer-sign";
    QTest::newRow("rpmsign-external, openssl asks") << false << "rpmsign-external";
}

void SecretsTest::testNowhereButTheToolsInput()
{
    QFETCH(bool, customerSign);
    QFETCH(QString, tool);

    SignTestKit kit;
    QVERIFY2(kit.isValid(), qPrintable(kit.errorString()));
    const QString encryptedKey = kit.key("encrypted-key.pem");
    QProcess openssl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TAMAREK_TEST_PASS", secret);
    openssl.setProcessEnvironment(environment);
    const QString plainKey = kit.key(customerSign ? QString("binaries-key.pem")
                                                  : QString("developer-key.pem"));
    openssl.start("openssl",
                  {"pkey", "-in", plainKey, "-aes256", "-passout", "env:TAMAREK_TEST_PASS",
                   "-out", encryptedKey});
    QVERIFY(openssl.waitForFinished(60000) && openssl.exitCode() == 0);

    SignTestProject project(customerSign ? kit.customerSignKit() : kit.rpmsignKit(),
                            Packages::MainOnly);
    BuildStep *step = project.addStep(customerSign ? CustomerSignStep::stepId()
                                                   : RpmsignExternalStep::stepId());
    QVERIFY(step);
    if (auto customerSignStep = qobject_cast<CustomerSignStep *>(step)) {
        customerSignStep->setBinariesKey(encryptedKey);
        customerSignStep->setPackagesKey(kit.key("developer-key.pem"));
        customerSignStep->setPackagesCert(kit.key("developer-cert.pem"));
    } else {
        auto rpmsignStep = qobject_cast<RpmsignExternalStep *>(step);
        rpmsignStep->setKey(encryptedKey);
        rpmsignStep->setCertificate(kit.key("developer-cert.pem"));
    }

    GeneralMessages messages;
    StepOutput output(step);
    PasswordAnswerer answerer({secret});
    debugLog.clear();
    previousHandler = qInstallMessageHandler(recordMessage);
    QStringList seen;
    QStringList leaks;
    QTimer scanner;
    connect(&scanner, &QTimer::timeout, this, [&] { scanProcesses(&seen, &leaks); });
    scanner.start(5);
    const bool deployed = project.deploy();
    scanner.stop();
    qInstallMessageHandler(previousHandler);

    QVERIFY(deployed);
    QCOMPARE(answerer.prompts().size(), 1);
    QVERIFY2(Utils::anyOf(output.lines(),
                          [](const OutputLine &line) {
                              return line.text == "Package sign completed successfully.";
                          }),
             "the signing did not go through");
    // The scan saw the run: the kit's tool and the tool in the target.
    QVERIFY(!seen.filter("nork engine exec").filter(tool).isEmpty());
    QCOMPARE(leaks, QStringList());

    QVERIFY(!messages.text().contains(secret));
    for (const OutputLine &line : output.lines())
        QVERIFY(!line.text.contains(secret));
    QCOMPARE(debugLog.filter(secret), QStringList());
    QCOMPARE(filesContaining(Core::ICore::userResourcePath().toFSPathString(), secret),
             QStringList());
    QCOMPARE(filesContaining(Core::ICore::settings()->fileName().section('/', 0, -2), secret),
             QStringList());
    QCOMPARE(filesContaining(kit.workspace().toFSPathString(), secret), QStringList());
}

TAMAREK_TEST(SecretsTest)

} // namespace Tamarek::Internal

#include "tst_secrets.moc"
