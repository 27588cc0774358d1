// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "waitalive.h"

#include <QtTest>

#include <memory>

using namespace Tamarek::Internal;

class WaitAliveTest : public QObject
{
    Q_OBJECT

private slots:
    void testWaitSeesDeletion();
    void testCallbackAfterDeletion();
};

void WaitAliveTest::testWaitSeesDeletion()
{
    auto object = std::make_unique<QObject>();
    QCOMPARE(waitAlive(object.get(), [] { return 7; }), std::optional(7));
    QVERIFY(waitAlive(object.get(), [] {}));
    // What a nested event loop may do: the waiting object goes during the wait.
    QObject *gone = object.get();
    QCOMPARE(waitAlive(gone, [&] { object.reset(); return 7; }), std::nullopt);
    auto another = std::make_unique<QObject>();
    QVERIFY(!waitAlive(another.get(), [&] { another.reset(); }));
}

void WaitAliveTest::testCallbackAfterDeletion()
{
    auto object = std::make_unique<QObject>();
    int calls = 0;
    auto handler = ifAlive(object.get(), [&calls](int add) { return calls += add; }, -1);
    auto notify = ifAlive(object.get(), [&calls] { ++calls; });
    QCOMPARE(handler(2), 2);
    notify();
    QCOMPARE(calls, 3);
    object.reset();
    QCOMPARE(handler(2), -1);
    notify();
    QCOMPARE(calls, 3);
}

QTEST_GUILESS_MAIN(WaitAliveTest)

#include "tst_waitalive.moc"
