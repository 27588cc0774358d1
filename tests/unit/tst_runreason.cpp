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

QTEST_GUILESS_MAIN(RunReasonTest)

#include "tst_runreason.moc"
