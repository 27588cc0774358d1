// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "targetinfo.h"

#include <QtTest>

using namespace Tamarek::Internal;

class TargetInfoTest : public QObject
{
    Q_OBJECT

private slots:
    void testControls_data();
    void testControls();
};

void TargetInfoTest::testControls_data()
{
    QTest::addColumn<bool>("rpmsignExternal");
    QTest::addColumn<bool>("customerSign");
    QTest::addColumn<bool>("vyxcert");
    QTest::addColumn<bool>("binaryKey");
    QTest::addColumn<bool>("addSignature");
    QTest::addColumn<bool>("packageButtons");
    QTest::addColumn<bool>("requestTab");

    QTest::newRow("rpmsign-external, customer-sign too: rpmsign-external wins")
        << true << true << true << false << true << true << true;
    QTest::newRow("customer-sign with vyxcert-cli")
        << false << true << true << true << true << true << false;
    QTest::newRow("customer-sign alone: signs, nothing to verify with")
        << false << true << false << true << true << false << false;
    QTest::newRow("vyxcert-cli alone: verifies, nothing to sign with")
        << false << false << true << false << false << true << false;
    QTest::newRow("no tool") << false << false << false << false << false << false << false;
}

void TargetInfoTest::testControls()
{
    QFETCH(bool, rpmsignExternal);
    QFETCH(bool, customerSign);
    QFETCH(bool, vyxcert);
    QFETCH(bool, binaryKey);
    QFETCH(bool, addSignature);
    QFETCH(bool, packageButtons);
    QFETCH(bool, requestTab);

    const TargetControls controls = controlsFor({"T", rpmsignExternal, customerSign, vyxcert, true});
    QCOMPARE(controls.binaryKey, binaryKey);
    QCOMPARE(controls.addSignature, addSignature);
    QCOMPARE(controls.packageButtons, packageButtons);
    QCOMPARE(controls.requestTab, requestTab);
}

QTEST_GUILESS_MAIN(TargetInfoTest)

#include "tst_targetinfo.moc"
