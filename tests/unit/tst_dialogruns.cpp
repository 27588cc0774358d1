// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "dialogruns.h"

#include <QtTest>

using namespace Tamarek::Internal;
using Work = DialogRuns::Work;

class DialogRunsTest : public QObject
{
    Q_OBJECT

private slots:
    void testDeferredOnlyWhileRunning();
    void testStop();
};

void DialogRunsTest::testDeferredOnlyWhileRunning()
{
    DialogRuns runs;
    QVERIFY(!runs.deferWhileRunning(Work::Refresh));
    QVERIFY(!runs.take(Work::Refresh));

    runs.begin();
    QVERIFY(runs.deferWhileRunning(Work::Refresh));
    QVERIFY(runs.deferWhileRunning(Work::Refresh));
    runs.end();
    QVERIFY(runs.isDeferred(Work::Refresh));
    QVERIFY(!runs.isDeferred(Work::TargetChange));
    // Asked for twice, done once.
    QVERIFY(runs.take(Work::Refresh));
    QVERIFY(!runs.take(Work::Refresh));
}

// A stop ends the tool's run and the own runs begun before it, not those
// after it; once a run has ended its tool is no longer stopped.
void DialogRunsTest::testStop()
{
    DialogRuns runs;
    int toolStops = 0;
    const quint64 before = runs.startOwnRun();
    runs.stop();
    QVERIFY(!runs.isOwnRunStopped(before));

    runs.begin([&toolStops] { ++toolStops; });
    runs.stop();
    QCOMPARE(toolStops, 1);
    QVERIFY(runs.isOwnRunStopped(before));
    const quint64 after = runs.startOwnRun();
    QVERIFY(!runs.isOwnRunStopped(after));
    runs.end();

    runs.stop();
    runs.begin();
    runs.stop();
    runs.end();
    QCOMPARE(toolStops, 1);
    QVERIFY(runs.isOwnRunStopped(after));
}

QTEST_GUILESS_MAIN(DialogRunsTest)

#include "tst_dialogruns.moc"
