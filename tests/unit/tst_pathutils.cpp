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
    void testOutsideFoldersMessage_data();
    void testOutsideFoldersMessage();
    void testCleanPath();
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

void PathUtilsTest::testOutsideFoldersMessage_data()
{
    QTest::addColumn<int>("what");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("message");

    QTest::newRow("a chooser's path, the workspace")
        << int(InsideWhat::Path) << QStringList{"/home/u/ws"}
        << "The path must be inside workspace folder:\n/home/u/ws";
    QTest::newRow("a chooser's path, both shared folders")
        << int(InsideWhat::Path) << QStringList{"/home/u", "/home/u/ws"}
        << "The path must be inside shared folders:\n/home/u\n/home/u/ws";
    QTest::newRow("no engine: an empty folder named")
        << int(InsideWhat::Path) << QStringList{""} << "The path must be inside workspace folder:\n";
    QTest::newRow("a step's pair")
        << int(InsideWhat::KeyAndCertificate) << QStringList{"/home/u/ws"}
        << "Error: key and certificate must be inside workspace folder: /home/u/ws";
    QTest::newRow("customer-sign's files")
        << int(InsideWhat::KeysAndCertificate) << QStringList{"/home/u", "/home/u/ws"}
        << "Error: keys and certificate must be inside shared folders: /home/u, /home/u/ws";
}

void PathUtilsTest::testOutsideFoldersMessage()
{
    QFETCH(int, what);
    QFETCH(QStringList, folders);
    QFETCH(QString, message);
    QList<Utils::FilePath> paths;
    for (const QString &folder : folders)
        paths << Utils::FilePath::fromString(folder);
    QCOMPARE(outsideFoldersMessage(InsideWhat(what), paths), message);
    // One path outside any of them is enough to refuse.
    QVERIFY(!areInsideFolders({folders.last() + "/a.pem", "/elsewhere/b.pem"}, paths));
    QCOMPARE(areInsideFolders({folders.last() + "/a.pem"}, paths), !folders.last().isEmpty());
}

// What the check reads is what the tool gets.
void PathUtilsTest::testCleanPath()
{
    QCOMPARE(cleanPath("/ws/link/../k.pem"), QString("/ws/k.pem"));
    QCOMPARE(cleanPath("/ws//keys/./k.pem"), QString("/ws/keys/k.pem"));
    QCOMPARE(cleanPath(""), QString());
    QVERIFY(isInsideFolder("/ws/link/../k.pem", Utils::FilePath::fromString("/ws")));
}

QTEST_GUILESS_MAIN(PathUtilsTest)

#include "tst_pathutils.moc"
