// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "debugpackages.h"
#include "signaturedump.h"

#include <QtTest>

using namespace Tamarek::Internal;

// The pure decisions of the two sign steps: which packages are signed and
// which notes the signature dump calls for.
class SignatureReportTest : public QObject
{
    Q_OBJECT

private slots:
    void testDebugPackageFilter_data();
    void testDebugPackageFilter();
    void testSignatureNote_data();
    void testSignatureNote();
    void testSplitDump_data();
    void testSplitDump();
};

void SignatureReportTest::testDebugPackageFilter_data()
{
    QTest::addColumn<QStringList>("packages");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("debuginfo and debugsource dropped")
        << QStringList{"/ws/a-1.0.rpm", "/ws/a-debuginfo-1.0.rpm", "/ws/a-debugsource-1.0.rpm"}
        << QStringList{"/ws/a-1.0.rpm"};
    QTest::newRow("capital letters stay")
        << QStringList{"/ws/a-DebugInfo-1.0.rpm", "/ws/a-DEBUGSOURCE-1.0.rpm"}
        << QStringList{"/ws/a-DebugInfo-1.0.rpm", "/ws/a-DEBUGSOURCE-1.0.rpm"};
    QTest::newRow("only the file name decides")
        << QStringList{"/home/debuginfo/ws/a-1.0.rpm", "/ws-debugsource/b-1.0.rpm"}
        << QStringList{"/home/debuginfo/ws/a-1.0.rpm", "/ws-debugsource/b-1.0.rpm"};
    QTest::newRow("other debug names stay")
        << QStringList{"/ws/a-debug-1.0.rpm", "/ws/debugger-1.0.rpm"}
        << QStringList{"/ws/a-debug-1.0.rpm", "/ws/debugger-1.0.rpm"};
    QTest::newRow("order kept") << QStringList{"/ws/c.rpm",
                                               "/ws/a-debuginfo.rpm",
                                               "/ws/b.rpm",
                                               "/ws/a.rpm"}
                                << QStringList{"/ws/c.rpm", "/ws/b.rpm", "/ws/a.rpm"};
    QTest::newRow("only debug packages")
        << QStringList{"/ws/a-debuginfo-1.0.rpm", "/ws/a-debugsource-1.0.rpm"} << QStringList();
}

void SignatureReportTest::testDebugPackageFilter()
{
    QFETCH(QStringList, packages);
    QFETCH(QStringList, expected);
    QCOMPARE(withoutDebugPackages(packages), expected);
}

void SignatureReportTest::testSignatureNote_data()
{
    QTest::addColumn<QString>("dump");
    QTest::addColumn<SignatureNote>("expected");

    QTest::newRow("client and developer")
        << "/ws/a.rpm\nGroup: developer\nSubgroup: x\nGroup: client\nSubgroup: y\n"
        << SignatureNote::None;
    QTest::newRow("client first") << "/ws/a.rpm\nGroup: client\nGroup: developer\n"
                                  << SignatureNote::None;
    QTest::newRow("client only") << "Group: client\n" << SignatureNote::None;
    QTest::newRow("developer only") << "/ws/a.rpm\nSubject: O = x\nGroup: developer\nSubgroup: x\n"
                                    << SignatureNote::DeveloperOnly;
    QTest::newRow("carriage return ends a group line")
        << "Group: developer\r\nGroup: client\r" << SignatureNote::None;
    QTest::newRow("no group line") << "/ws/a.rpm\n" << SignatureNote::NotSigned;
    QTest::newRow("empty dump") << "" << SignatureNote::NotSigned;
    QTest::newRow("other groups only") << "Group: vendor\nGroup: tester\n"
                                       << SignatureNote::NotSigned;
    QTest::newRow("group names are case-sensitive") << "Group: Client\nGroup: Developer\n"
                                                    << SignatureNote::NotSigned;
    QTest::newRow("client line without line end does not count")
        << "Group: developer\nGroup: client" << SignatureNote::DeveloperOnly;
    QTest::newRow("no group line ends") << "Group: developer" << SignatureNote::NotSigned;
    QTest::newRow("a group named inside a subject line does not count")
        << "Subject: O=Acme Group: client\nGroup: developer\n" << SignatureNote::DeveloperOnly;
    QTest::newRow("a group line must begin with the label")
        << " Group: client\nGroup: developer\n" << SignatureNote::DeveloperOnly;
    QTest::newRow("trailing blank is part of the name") << "Group: client \nGroup: developer\n"
                                                        << SignatureNote::DeveloperOnly;
}

void SignatureReportTest::testSignatureNote()
{
    QFETCH(QString, dump);
    QFETCH(SignatureNote, expected);
    QCOMPARE(signatureNote(dump), expected);
}

using PackageBlocks = QList<QPair<QString, QString>>;

void SignatureReportTest::testSplitDump_data()
{
    QTest::addColumn<QString>("dump");
    QTest::addColumn<QStringList>("packages");
    QTest::addColumn<PackageBlocks>("expected");

    const QString two = "/ws/out/a-1.0.noarch.rpm\nGroup: developer\n"
                        "/ws/out/b-1.0.noarch.rpm\nGroup: client\n";

    QTest::newRow("one package: the whole dump, the package as given")
        << two << QStringList{"/ws/out/a-1.0.noarch.rpm"}
        << PackageBlocks{{"/ws/out/a-1.0.noarch.rpm", two}};
    QTest::newRow("one package without any path in the dump")
        << "Group: developer\n"
        << QStringList{"a.rpm"} << PackageBlocks{{"a.rpm", "Group: developer\n"}};
    QTest::newRow("two packages: a block each, by file name")
        << two << QStringList{"/ws/out/a-1.0.noarch.rpm", "/ws/out/b-1.0.noarch.rpm"}
        << PackageBlocks{{"a-1.0.noarch.rpm", "/ws/out/a-1.0.noarch.rpm\nGroup: developer\n"},
                         {"b-1.0.noarch.rpm", "/ws/out/b-1.0.noarch.rpm\nGroup: client\n"}};
    QTest::newRow("text before the first path belongs to no package")
        << "Group: client\n/ws/a.rpm\n/ws/b.rpm\nGroup: client\n"
        << QStringList{"/ws/a.rpm", "/ws/b.rpm"}
        << PackageBlocks{{"a.rpm", "/ws/a.rpm\n"}, {"b.rpm", "/ws/b.rpm\nGroup: client\n"}};
    QTest::newRow("no path in the dump: no block")
        << "Group: developer\n"
        << QStringList{"a.rpm", "b.rpm"} << PackageBlocks();
    QTest::newRow("a block per path in the dump, not per package given")
        << "/ws/a.rpm\n/ws/b.rpm\n/ws/c.rpm\n"
        << QStringList{"/ws/a.rpm", "/ws/b.rpm"}
        << PackageBlocks{{"a.rpm", "/ws/a.rpm\n"},
                         {"b.rpm", "/ws/b.rpm\n"},
                         {"c.rpm", "/ws/c.rpm\n"}};
    QTest::newRow("any character before rpm ends a path")
        << "/ws/a_rpm\n/ws/b.rpm\n"
        << QStringList{"x", "y"}
        << PackageBlocks{{"a_rpm", "/ws/a_rpm\n"}, {"b.rpm", "/ws/b.rpm\n"}};
    QTest::newRow("a folder named rpmbuild does not cut the path")
        << "/home/u/rpmbuild/RPMS/a.rpm\nGroup: client\n/home/u/rpmbuild/RPMS/b.rpm\n"
        << QStringList{"x", "y"}
        << PackageBlocks{{"a.rpm", "/home/u/rpmbuild/RPMS/a.rpm\nGroup: client\n"},
                         {"b.rpm", "/home/u/rpmbuild/RPMS/b.rpm\n"}};
    QTest::newRow("terminal line ends")
        << "/ws/a.rpm\r\nGroup: client\r\n/ws/b.rpm\r\n" << QStringList{"x", "y"}
        << PackageBlocks{{"a.rpm", "/ws/a.rpm\r\nGroup: client\r\n"}, {"b.rpm", "/ws/b.rpm\r\n"}};
    QTest::newRow("a path inside a line is no package")
        << "/ws/a.rpm\nSubject: /CN=x.rpm\n" << QStringList{"x", "y"}
        << PackageBlocks{{"a.rpm", "/ws/a.rpm\nSubject: /CN=x.rpm\n"}};
}

void SignatureReportTest::testSplitDump()
{
    QFETCH(QString, dump);
    QFETCH(QStringList, packages);
    QFETCH(PackageBlocks, expected);

    PackageBlocks blocks;
    for (const PackageDump &block : splitSignatureDump(dump, packages))
        blocks.append({block.packageName, block.dumpText});
    QCOMPARE(blocks, expected);
}

QTEST_GUILESS_MAIN(SignatureReportTest)

#include "tst_signaturereport.moc"
