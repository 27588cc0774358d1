// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "pathutils.h"

#include <QtTest>

using namespace Tamarek::Internal;

class PathUtilsTest : public QObject
{
    Q_OBJECT

private slots:
    void testIsInsideFolder_data();
    void testIsInsideFolder();
};

void PathUtilsTest::testIsInsideFolder_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("inside");

    QTest::newRow("file in the folder") << "/home/u/ws/a.pem" << "/home/u/ws" << true;
    QTest::newRow("file in a subfolder") << "/home/u/ws/keys/a.pem" << "/home/u/ws" << true;
    QTest::newRow("the folder itself") << "/home/u/ws" << "/home/u/ws" << true;
    QTest::newRow("the folder with a trailing separator") << "/home/u/ws/" << "/home/u/ws" << true;
    QTest::newRow("folder given with a trailing separator")
        << "/home/u/ws/a.pem" << "/home/u/ws/" << true;
    QTest::newRow("sibling folder sharing the prefix") << "/home/u/ws2/a.pem" << "/home/u/ws"
                                                       << false;
    QTest::newRow("dot-dot leaving the folder") << "/home/u/ws/../x.pem" << "/home/u/ws" << false;
    QTest::newRow("dot-dot staying inside") << "/home/u/ws/keys/../a.pem" << "/home/u/ws" << true;
    QTest::newRow("dot and doubled separators") << "/home/u//ws/./a.pem" << "/home/u/ws" << true;
    QTest::newRow("folder given unclean") << "/home/u/ws/a.pem" << "/home/u/x/../ws" << true;
    QTest::newRow("relative path") << "ws/a.pem" << "/home/u/ws" << false;
    QTest::newRow("everything is inside the root") << "/etc/a.pem" << "/" << true;
    QTest::newRow("outside") << "/home/u/keys/a.pem" << "/home/u/ws" << false;
    QTest::newRow("parent of the folder") << "/home/u" << "/home/u/ws" << false;
    QTest::newRow("empty folder") << "/home/u/ws/a.pem" << "" << false;
    QTest::newRow("empty path") << "" << "/home/u/ws" << false;
    QTest::newRow("case differs on a case-sensitive host")
        << "/Home/u/ws/a.pem" << "/home/u/ws" << false;
    QTest::newRow("drive-letter folder") << "C:/work/keys/a.pem" << "C:/work" << true;
    QTest::newRow("drive-letter sibling") << "C:/work2/a.pem" << "C:/work" << false;
    QTest::newRow("other drive") << "D:/keys/a.pem" << "C:/work" << false;
}

void PathUtilsTest::testIsInsideFolder()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(bool, inside);
    QCOMPARE(isInsideFolder(path, Utils::FilePath::fromString(folder)), inside);
}

QTEST_GUILESS_MAIN(PathUtilsTest)

#include "tst_pathutils.moc"
