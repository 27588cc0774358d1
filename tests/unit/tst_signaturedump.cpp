// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signaturedump.h"

#include <QtTest>

using namespace Tamarek::Internal;

class SignatureDumpTest : public QObject
{
    Q_OBJECT

private slots:
    void testSplitSignatureDumps_data();
    void testSplitSignatureDumps();
    void testSignatureSummary_data();
    void testSignatureSummary();
    void testVerifyFailureReason_data();
    void testVerifyFailureReason();
};

void SignatureDumpTest::testSplitSignatureDumps_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("blocks");

    QTest::newRow("two signatures, client second")
        << "Subject: A\nGroup: G1\nSubgroup: S\nKey ID: K\nSubject: B\nGroup: G2\n"
        << QStringList{"Subject: A\nGroup: G1\nSubgroup: S\nKey ID: K\n",
                       "Subject: B\nGroup: G2\n"};
    QTest::newRow("package path before the first signature belongs to none")
        << "/ws/a.rpm\nSubject: A\nGroup: developer\n"
        << QStringList{"Subject: A\nGroup: developer\n"};
    QTest::newRow("three signatures") << "Subject: A\nSubject: B\nSubject: C"
                                      << QStringList{"Subject: A\n", "Subject: B\n", "Subject: C"};
    QTest::newRow("a block starts where the line's Subject starts")
        << "x\n  Subject: A\nGroup: G\n"
        << QStringList{"Subject: A\nGroup: G\n"};
    QTest::newRow("no Subject line") << "/ws/a.rpm\nno signatures\n" << QStringList();
    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("lower case is no Subject") << "subject: A\n" << QStringList();
}

void SignatureDumpTest::testSplitSignatureDumps()
{
    QFETCH(QString, text);
    QFETCH(QStringList, blocks);
    QCOMPARE(splitSignatureDumps(text), blocks);
}

void SignatureDumpTest::testSignatureSummary_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("summary");

    QTest::newRow("first of the canned pair") << "Subject: A\nGroup: G1\nSubgroup: S\nKey ID: K\n"
                                              << "Subject: A\nGroup: G1\n";
    QTest::newRow("second of the canned pair") << "Subject: B\nGroup: G2\n"
                                               << "Subject: B\nGroup: G2\n";
    QTest::newRow("signature line dropped")
        << "Subject: CN=Dev,OU=developer\nGroup: developer\nSubgroup: Tamarek Test\n"
           "Key ID: 0a:1b\nSignature: sha256 RSA ab12\n"
        << "Subject: CN=Dev,OU=developer\nGroup: developer\n";
    QTest::newRow("Subgroup is not a Group") << "Subgroup: S\n"
                                             << "";
    QTest::newRow("nothing matched") << "random text\n"
                                     << "";
}

void SignatureDumpTest::testSignatureSummary()
{
    QFETCH(QString, block);
    QFETCH(QString, summary);
    QCOMPARE(signatureSummary(block), summary);
}

void SignatureDumpTest::testVerifyFailureReason_data()
{
    QTest::addColumn<QString>("errorText");
    QTest::addColumn<QString>("reason");

    QTest::newRow("the tool's line for the package, from its name on")
        << "rpmsign-external: /ws/RPMS/a-1.0.rpm: signature 1 does not verify: unable to get "
           "local issuer certificate\n"
        << "signature 1 does not verify: unable to get local issuer certificate";
    QTest::newRow("the first of several, after unrelated lines")
        << "Loading engine\nvyxcert-cli: /ws/RPMS/a-1.0.rpm: signature 1 does not verify: x\r\n"
           "vyxcert-cli: /ws/RPMS/a-1.0.rpm: signature 2 does not verify: y\n"
        << "signature 1 does not verify: x";
    QTest::newRow("named by file name") << "a-1.0.rpm: the package has no signatures"
                                        << "the package has no signatures";
    QTest::newRow("the package not named: the last line")
        << "reading\nroot certificate file /ws/ca.pem holds no PEM certificate\n\n"
        << "root certificate file /ws/ca.pem holds no PEM certificate";
    QTest::newRow("named at the end: the whole line")
        << "cannot open /ws/RPMS/a-1.0.rpm" << "cannot open /ws/RPMS/a-1.0.rpm";
    QTest::newRow("silent") << "\n  \n" << "";
}

void SignatureDumpTest::testVerifyFailureReason()
{
    QFETCH(QString, errorText);
    QFETCH(QString, reason);
    QCOMPARE(verifyFailureReason(errorText, "/ws/RPMS/a-1.0.rpm"), reason);
}

QTEST_GUILESS_MAIN(SignatureDumpTest)

#include "tst_signaturedump.moc"
