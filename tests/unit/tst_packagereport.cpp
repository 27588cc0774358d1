// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "packagereport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace Tamarek::Internal;

class PackageReportTest : public QObject
{
    Q_OBJECT

private slots:
    void testPackagesOf();
    void testReportsKeepWhatIsKnown();
    void testDumpsAndVerification();
    void testVerificationCutShort();
};

void PackageReportTest::testPackagesOf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &name : QStringList{"b.rpm", "a.rpm", "notes.txt"}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir("sub.rpm"));

    QCOMPARE(packagesOf(dir.path()), QStringList({dir.filePath("a.rpm"), dir.filePath("b.rpm")}));
    QCOMPARE(packagesOf("/ws/a.rpm; /ws/b.rpm;"), QStringList({"/ws/a.rpm", "/ws/b.rpm"}));
    QCOMPARE(packagesOf("/ws/missing.rpm"), QStringList{"/ws/missing.rpm"});
    QCOMPARE(packagesOf(""), QStringList());
    QCOMPARE(packagesOf(packageFieldText({"/ws/a.rpm", "/ws/b.rpm"})),
             QStringList({"/ws/a.rpm", "/ws/b.rpm"}));
}

// A verify after a dump keeps the signatures, a dump after a verify the
// verification; a package new to the list starts blank, in the list's order.
void PackageReportTest::testReportsKeepWhatIsKnown()
{
    PackageReport dumped{"/ws/a.rpm"};
    dumped.signatures = {{"CN=Dev", "developer", "AB12"}};
    PackageReport verified{"/ws/b.rpm"};
    verified.verifyRan = true;
    verified.reason = "bad signature";
    const QList<PackageReport> reports = reportsFor({"/ws/c.rpm", "/ws/b.rpm", "/ws/a.rpm"},
                                                    {dumped, verified, {"/ws/gone.rpm"}});
    QCOMPARE(reports.size(), 3);
    QCOMPARE(reports.at(0).path, "/ws/c.rpm");
    QVERIFY(reports.at(0).signatures.isEmpty() && !reports.at(0).verifyRan);
    QCOMPARE(reports.at(1).reason, "bad signature");
    QCOMPARE(reports.at(2).signatures.size(), 1);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath("a.rpm"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(areFiles({dir.filePath("a.rpm")}));
    QVERIFY(!areFiles({dir.filePath("a.rpm"), dir.filePath("missing.rpm")}));
    // A folder is no package.
    QVERIFY(!areFiles({dir.path()}));
    QCOMPARE(fieldPackagePaths(dir.path() + "/./a.rpm; " + dir.path() + "/sub/../a.rpm"),
             QStringList({dir.filePath("a.rpm"), dir.filePath("a.rpm")}));
}

static ProcessResult ran(const QByteArray &out, const QByteArray &err, int exitCode)
{
    ProcessResult result;
    result.standardOutput = out;
    result.standardError = err;
    result.exitCode = exitCode;
    return result;
}

void PackageReportTest::testDumpsAndVerification()
{
    QList<PackageReport> reports{{"/ws/a.rpm"}, {"/ws/b.rpm"}, {"/ws/c.rpm"}};
    addDumps(reports,
             "/ws/a.rpm\r\nSubject: CN=Dev, O=Acme\r\nGroup: developer\r\nKey ID: AB12\r\n"
             "Subject: CN=Client\r\nGroup: client\r\nKey ID: CD34\r\n"
             "/ws/b.rpm\r\n/ws/c.rpm\r\nSubject: CN=Dev, O=Acme\r\nGroup: developer\r\n"
             "Key ID: AB12\r\n");
    QCOMPARE(reports.at(0).signatures.size(), 2);
    QCOMPARE(reports.at(0).signatures.at(1).group, "client");
    QCOMPARE(reports.at(0).signatures.at(1).keyId, "CD34");
    QCOMPARE(reports.at(0).signatures.at(0).subject, "CN=Dev, O=Acme");
    QVERIFY(reports.at(1).signatures.isEmpty());
    QCOMPARE(reports.at(2).signatures.size(), 1);

    // Only the packages the tool names failed; one it names nowhere shares
    // the run's failure.
    addVerification(reports,
                    ran("/ws/c.rpm: 1 signature(s) verified\n",
                        "rpmsign-external: /ws/a.rpm: signature 2 does not verify: "
                        "certificate has expired\n",
                        1),
                    "/ws/ca.pem");
    QCOMPARE(reports.at(0).reason, "signature 2 does not verify: certificate has expired");
    QVERIFY(!reports.at(1).verified);
    QCOMPARE(reports.at(1).reason, "rpmsign-external: /ws/a.rpm: signature 2 does not verify: "
                                   "certificate has expired");

    const QJsonArray json = QJsonDocument::fromJson(reportJson(reports)).array();
    QCOMPARE(json.size(), 3);
    const QJsonObject first = json.at(0).toObject();
    QCOMPARE(first.value("path").toString(), "/ws/a.rpm");
    QCOMPARE(first.value("root").toString(), "/ws/ca.pem");
    QCOMPARE(first.value("verified").toBool(true), false);
    QCOMPARE(first.value("signatures").toArray().at(1).toObject().value("keyId").toString(),
             "CD34");
    QVERIFY(reportText(reports).contains("client signature: CN=Client, key CD34"));

    addVerification(reports, ran({}, {}, 0), {});
    for (const PackageReport &report : std::as_const(reports))
        QVERIFY(report.verified && report.reason.isEmpty());
}

void PackageReportTest::testVerificationCutShort()
{
    QList<PackageReport> reports{{"/ws/a.rpm"}};
    ProcessResult stopped = ran({}, "rpmsign-external: /ws/a.rpm: signa", 143);
    stopped.stopped = true;
    addVerification(reports, stopped, {});
    QCOMPARE(reports.first().reason, "The tool was stopped before it finished.");
}

QTEST_GUILESS_MAIN(PackageReportTest)

#include "tst_packagereport.moc"
