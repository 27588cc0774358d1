// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "packageoutcomes.h"

#include <QtTest>

using namespace Tamarek::Internal;

Q_DECLARE_METATYPE(Tamarek::Internal::ProcessResult)

class PackageOutcomesTest : public QObject
{
    Q_OBJECT

private slots:
    void testDumpView_data();
    void testDumpView();
    void testFailuresSayWhy();
};

static ProcessResult ran(const QByteArray &standardOutput, int exitCode = 0)
{
    ProcessResult result;
    result.exitCode = exitCode;
    result.standardOutput = standardOutput;
    return result;
}

static const QByteArray developer = "Subject: CN=Dev\r\nGroup: developer\r\nKey ID: 01\r\n";
static const QByteArray client = "Subject: CN=Client\r\nGroup: client\r\nKey ID: 02\r\n";

void PackageOutcomesTest::testDumpView_data()
{
    QTest::addColumn<bool>("hasTool");
    QTest::addColumn<ProcessResult>("result");
    QTest::addColumn<QString>("developerText");
    QTest::addColumn<bool>("plain");
    QTest::addColumn<bool>("hasDeveloper");
    QTest::addColumn<QString>("developerSummary");
    QTest::addColumn<QString>("clientText");

    const QString developerBlock = "Subject: CN=Dev\nGroup: developer\nKey ID: 01\n";
    const QString developerSummary = "Subject: CN=Dev\nGroup: developer\n";
    QTest::newRow("two signatures, CR LF")
        << true << ran("/ws/a.rpm\r\n" + developer + client) << developerBlock << false << true
        << developerSummary << "Subject: CN=Client\nGroup: client\nKey ID: 02\n";
    QTest::newRow("one signature") << true << ran(developer) << developerBlock << false << true
                                   << developerSummary << "";
    // A dump that fails still lists what it could read.
    QTest::newRow("failed dump with a signature")
        << true << ran(developer, 1) << developerBlock << false << true << developerSummary << "";
    QTest::newRow("no signature") << true << ran("/ws/a.rpm\r\n") << "No signatures found in package"
                                  << false << false << "" << "";
    ProcessResult stopped = ran(developer, 143);
    stopped.stopped = true;
    QTest::newRow("stopped: no partial dump")
        << true << stopped << "The tool was stopped before it finished." << true << false << ""
        << "";
    QTest::newRow("no tool") << false << ProcessResult() << "Package can't be dumped" << true
                             << false << "" << "";
}

void PackageOutcomesTest::testDumpView()
{
    QFETCH(bool, hasTool);
    QFETCH(ProcessResult, result);
    QFETCH(QString, developerText);
    QFETCH(QString, clientText);

    const DumpView view = dumpView(hasTool ? &result : nullptr);
    QCOMPARE(view.developerText, developerText);
    QTEST(view.developerTextIsPlain, "plain");
    QTEST(view.hasDeveloper, "hasDeveloper");
    QTEST(view.developerSummary, "developerSummary");
    QCOMPARE(view.hasClient, !clientText.isEmpty());
    QCOMPARE(view.clientText, clientText);
}

void PackageOutcomesTest::testFailuresSayWhy()
{
    ProcessResult failed = ran("Enter pass phrase for /ws/k.pem:\r\n", 1);
    failed.standardError = "signing: bad key\n";
    const Outcome signing = signingOutcome(failed);
    QVERIFY(!signing.ok);
    QCOMPARE(signing.text, "signing: bad key");
    QVERIFY(signingOutcome(ran({})).ok);

    QCOMPARE(requestOutcome(failed, "req: error").text,
             "Failed to generate request: req: error");
    // The first empty field in the form's order is the one named.
    QCOMPARE(requestFieldsOutcome({}, {}, "/ws/r.csr").text, "Company name field cannot be empty");
    QCOMPARE(requestFieldsOutcome("ACME", {}, {}).text, "Key field cannot be empty");
    QCOMPARE(requestFieldsOutcome("ACME", "/ws/k.pem", {}).text, "Request field cannot be empty");
    QVERIFY(requestFieldsOutcome("ACME", "/ws/k.pem", "/ws/r.csr").ok);
}

QTEST_GUILESS_MAIN(PackageOutcomesTest)

#include "tst_packageoutcomes.moc"
