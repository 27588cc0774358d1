// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "runreason.h"

#include <QtTest>

using namespace Tamarek::Internal;

Q_DECLARE_METATYPE(Tamarek::Internal::ProcessResult)

class RunReasonTest : public QObject
{
    Q_OBJECT

private slots:
    void testRequestFailureReason_data();
    void testRequestFailureReason();
    void testEachCallersWording_data();
    void testEachCallersWording();
};

static ProcessResult failed(const QByteArray &out, const QByteArray &err, int exitCode = 1)
{
    ProcessResult result;
    result.exitCode = exitCode;
    result.standardOutput = out;
    result.standardError = err;
    return result;
}

void RunReasonTest::testRequestFailureReason_data()
{
    QTest::addColumn<ProcessResult>("result");
    QTest::addColumn<QString>("lastErrorLine");
    QTest::addColumn<QString>("reason");

    QTest::newRow("standard output wins")
        << failed("unable to load key\n", "req: error\n") << "req: error"
        << "unable to load key";
    QTest::newRow("prompts are no reason")
        << failed("Enter pass phrase for /ws/k.pem:\r\n", "bad decrypt\nreq: error 42\n") << ""
        << "req: error 42";
    QTest::newRow("nothing printed: the tool's own refusal")
        << failed({}, {}, -1) << "The company name can't be longer than 64 characters."
        << "The company name can't be longer than 64 characters.";
    QTest::newRow("nothing at all: how it ended") << failed({}, {}, 3) << ""
                                                  << "The tool ended with exit code 3.";
    ProcessResult notStarted = failed({}, {}, -1);
    notStarted.startError = "Could not start \"/opt/nork\": No such file or directory";
    QTest::newRow("start failure") << notStarted << "" << notStarted.startError;
    ProcessResult stopped = failed({}, "partial\n", 143);
    stopped.stopped = true;
    QTest::newRow("stopped") << stopped << "partial"
                             << "The tool was stopped before it finished.";
    ProcessResult crashed = failed({}, {}, 0);
    crashed.crashed = true;
    QTest::newRow("crash") << crashed << ""
                           << "The tool crashed.";
}

void RunReasonTest::testRequestFailureReason()
{
    QFETCH(ProcessResult, result);
    QFETCH(QString, lastErrorLine);
    QFETCH(QString, reason);
    QCOMPARE(requestFailureReason(result, lastErrorLine), reason);
    QVERIFY(requestFailureReason(ProcessResult(), lastErrorLine).isEmpty());
}

// Every caller tells the same run end, and only a tool that ended by itself
// gets its last word quoted: after a stop or a time-out it is a fragment.
void RunReasonTest::testEachCallersWording_data()
{
    QTest::addColumn<ProcessResult>("result");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("readReason");
    QTest::addColumn<QString>("signingMessage");

    const QString notSigned = "Error: Packages were not signed: ";
    QTest::newRow("exit code, silent") << failed({}, {}, 3) << "The tool ended with exit code 3."
                                       << "The tool ended with exit code 3."
                                       << notSigned + "the signing tool ended with exit code 3.";
    QTest::newRow("exit code, last words")
        << failed("out line\n", "first\r\nlast\r\n\r\n", 1) << "last" << "out line"
        << notSigned + "the signing tool ended with exit code 1.";
    ProcessResult crashed = failed({}, "core dumped\n", 0);
    crashed.crashed = true;
    QTest::newRow("crash") << crashed << "core dumped" << "core dumped"
                           << notSigned + "the signing tool crashed.";
    ProcessResult notStarted = failed({}, "ignored\n", -1);
    notStarted.startError = "Could not start \"/opt/nork\": No such file or directory";
    QTest::newRow("not started") << notStarted << notStarted.startError << notStarted.startError
                                 << notSigned + notStarted.startError;
    ProcessResult stopped = failed({}, "Enter pass phr", 143);
    stopped.stopped = true;
    QTest::newRow("stopped") << stopped << "The tool was stopped before it finished."
                             << "The tool was stopped before it finished."
                             << notSigned + "signing was stopped, no passphrase was given.";
    ProcessResult late = failed({}, "half a line", 143);
    late.stopped = true;
    late.timedOut = true;
    QTest::newRow("timed out") << late << "The tool did not finish in time."
                               << "openssl did not answer within 2 second(s)."
                               << notSigned + "the signing tool did not finish in time.";
}

void RunReasonTest::testEachCallersWording()
{
    QFETCH(ProcessResult, result);
    QFETCH(QString, reason);
    QFETCH(QString, readReason);
    QFETCH(QString, signingMessage);
    QCOMPARE(failureReason(result), reason);
    QCOMPARE(readFailureReason(result, 2500), readReason);
    QCOMPARE(signingFailureMessage(result), signingMessage);
    QVERIFY(failureReason(ProcessResult()).isEmpty());
    QVERIFY(signingFailureMessage(ProcessResult()).isEmpty());
}

QTEST_GUILESS_MAIN(RunReasonTest)

#include "tst_runreason.moc"
