// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "requestconfig.h"
#include "signtool.h"

#include <nork/sdk.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Tamarek::Internal;

const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
                                     | QFile::WriteUser;

static QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(content) == content.size();
}

class RequestConfigTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void testTemplate();
    void testCommonNameLine_data();
    void testCommonNameLine();
    void testCheckCompanyName_data();
    void testCheckCompanyName();
    void testNewFileOwnerOnly();
    void testExistingNameNotReused_data();
    void testExistingNameNotReused();
    void testUnwritableFolder();
    void testWriteIntoWorkspace();
    void testRefusedName();
    void testWorkspaceOthersMayWrite_data();
    void testWorkspaceOthersMayWrite();
    void testNoBuildEngine();

private:
    bool loadKit(const QJsonArray &engines);

    QTemporaryDir m_folder;
};

bool RequestConfigTest::loadKit(const QJsonArray &engines)
{
    const QString path = m_folder.filePath("kit.json");
    return writeFile(path, QJsonDocument(QJsonObject{{"engines", engines}}).toJson())
           && Nork::Sdk::loadConfiguration(path);
}

void RequestConfigTest::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QVERIFY(QDir(m_folder.path()).mkdir("workspace"));
}

void RequestConfigTest::testTemplate()
{
    const QByteArray expected = "[ req ]\n"
                                " distinguished_name = req_distinguished_name\n"
                                " prompt = no\n"
                                " string_mask = utf8only\n"
                                " x509_extensions = v3_usr\n"
                                " \n"
                                "[ req_distinguished_name ]\n"
                                " CN = Example\n"
                                " \n"
                                "[ v3_usr ]\n"
                                " basicConstraints=critical,CA:FALSE\n"
                                " keyUsage=digitalSignature\n"
                                " subjectKeyIdentifier=hash\n"
                                " authorityKeyIdentifier=keyid\n";
    QCOMPARE(requestConfig("Example"), expected);
    QCOMPARE(requestConfig("Example").size(), 292);
}

void RequestConfigTest::testCommonNameLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("plain") << "Example Ltd" << QByteArray(" CN = Example Ltd");
    QTest::newRow("non-ASCII, as UTF-8")
        << QString::fromUtf8("Рога и копыта ООО") << QByteArray(" CN = Рога и копыта ООО");
    QTest::newRow("brackets and equals need nothing")
        << "[ section ] a=b" << QByteArray(" CN = [ section ] a=b");
    QTest::newRow("variable") << "$ENV::HOME" << QByteArray(" CN = \"$ENV::HOME\"");
    QTest::newRow("braced variable") << "${HOME}" << QByteArray(" CN = \"${HOME}\"");
    QTest::newRow("comment sign") << "A # B" << QByteArray(" CN = \"A # B\"");
    QTest::newRow("backslash") << "A\\nB\\" << QByteArray(" CN = \"A\\\\nB\\\\\"");
    QTest::newRow("double quotes") << "\"Q\" Ltd" << QByteArray(" CN = \"\\\"Q\\\" Ltd\"");
    QTest::newRow("single quotes") << "O'Brien's" << QByteArray(" CN = \"O'Brien's\"");
    QTest::newRow("back quote") << "`id`" << QByteArray(" CN = \"`id`\"");
    QTest::newRow("blanks at the ends") << "  Example  " << QByteArray(" CN = \"  Example  \"");
    QTest::newRow("empty") << "" << QByteArray(" CN = ");
}

void RequestConfigTest::testCommonNameLine()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, line);
    const QList<QByteArray> lines = requestConfig(name).split('\n');
    QCOMPARE(lines.size(), 15); // 14 lines, each ending in a line feed
    QCOMPARE(lines.at(7), line);
}

void RequestConfigTest::testCheckCompanyName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");

    QTest::newRow("plain") << "Example Ltd" << true;
    QTest::newRow("non-ASCII") << QString::fromUtf8("Ünïcødé 株式会社") << true;
    QTest::newRow("specials") << "$ENV::HOME # \\ \" ' [ x ]" << true;
    QTest::newRow("line feed") << "A\nCN = B" << false;
    QTest::newRow("carriage return") << "A\rB" << false;
    QTest::newRow("line separator") << QString("A") + QChar(0x2028) + "B" << false;
    QTest::newRow("tab") << "A\tB" << false;
    QTest::newRow("NUL") << QString("A") + QChar(0) + "B" << false;
    QTest::newRow("DEL") << QString("A") + QChar(0x7f) + "B" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("lone low surrogate") << QString("A") + QChar(0xdef4) << false;
    QTest::newRow("lone high surrogate") << QChar(0xd83d) + QString("A") << false;
    QTest::newRow("64 characters") << QString(64, QChar(0x444)) << true;
    QTest::newRow("65 characters") << QString(65, 'x') << false;
    QTest::newRow("64 characters beyond the BMP")
        << QString::fromUcs4(std::u32string(64, U'\U0001F600').c_str()) << true;
}

void RequestConfigTest::testCheckCompanyName()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    QString error;
    QCOMPARE(checkCompanyName(name, &error), valid);
    QCOMPARE(error.isEmpty(), valid);
}

void RequestConfigTest::testNewFileOwnerOnly()
{
    QString error;
    const QString stem = m_folder.filePath("new");
    const QFileInfo info = writeNewPrivateFile(stem, ".conf", "content", error);
    QVERIFY2(info.exists(), qPrintable(error));
    QCOMPARE(info.absoluteFilePath(), stem + ".conf");
    QCOMPARE(info.permissions(), ownerOnly);
    QCOMPARE(readAll(info.absoluteFilePath()), QByteArray("content"));
    QVERIFY(error.isEmpty());
}

void RequestConfigTest::testExistingNameNotReused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("file") << "file";
    QTest::newRow("link to a file") << "link";
    QTest::newRow("dangling link") << "dangling";
}

// Someone who can write into the workspace must not get the file written
// through a link, nor read it by having made it first.
void RequestConfigTest::testExistingNameNotReused()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString stem = dir.filePath(".csr_1234");
    const QString victim = dir.filePath("victim");
    if (kind == "file") {
        QVERIFY(writeFile(stem + ".conf", "old"));
    } else {
        if (kind == "link")
            QVERIFY(writeFile(victim, "victim"));
        QVERIFY(QFile::link(victim, stem + ".conf"));
    }
    QVERIFY(QFile::link(victim, stem + "_1.conf"));

    QString error;
    const QFileInfo info = writeNewPrivateFile(stem, ".conf", "new", error);
    QVERIFY2(info.exists(), qPrintable(error));
    QCOMPARE(info.absoluteFilePath(), stem + "_2.conf");
    QCOMPARE(info.permissions(), ownerOnly);
    QCOMPARE(readAll(info.absoluteFilePath()), QByteArray("new"));
    if (kind == "file")
        QCOMPARE(readAll(stem + ".conf"), QByteArray("old"));
    else if (kind == "link")
        QCOMPARE(readAll(victim), QByteArray("victim"));
    else
        QVERIFY(!QFileInfo::exists(victim));
}

void RequestConfigTest::testUnwritableFolder()
{
    QString error;
    const QString stem = m_folder.filePath("missing/.csr_1");
    const QFileInfo info = writeNewPrivateFile(stem, ".conf", "x", error);
    QVERIFY(!info.exists());
    QVERIFY2(error.startsWith("Could not open " + stem + ".conf for writing: "), qPrintable(error));
    QVERIFY(error.endsWith('.'));
}

void RequestConfigTest::testWriteIntoWorkspace()
{
    const QString workspace = m_folder.filePath("workspace");
    QVERIFY(loadKit({QJsonObject{{"name", "Engine"}, {"sharedSrc", workspace}}}));

    RequestParameters request;
    request.companyName = "$ENV::HOME";
    QString error;
    const QFileInfo info = writeRequestConfig(request, error);
    QVERIFY2(info.exists(), qPrintable(error));
    // In a folder of its own that only the user may change.
    const QFileInfo folder(info.absolutePath());
    QCOMPARE(folder.absolutePath(), workspace);
    QCOMPARE(folder.permissions(), ownerOnly | QFile::ExeOwner | QFile::ExeUser);
    const QRegularExpression name("^\\.csr_\\d{5,7}(_\\d+)?\\.conf$");
    QVERIFY2(name.match(info.fileName()).hasMatch(), qPrintable(info.fileName()));
    QCOMPARE(info.permissions(), ownerOnly);
    QCOMPARE(readAll(info.absoluteFilePath()), requestConfig("$ENV::HOME"));

    // A second request at once gets a file of its own.
    const QFileInfo second = writeRequestConfig(request, error);
    QVERIFY2(second.exists(), qPrintable(error));
    QVERIFY(second.absoluteFilePath() != info.absoluteFilePath());
    removeRequestConfig(info);
    removeRequestConfig(second);
    QVERIFY(QDir(workspace).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void RequestConfigTest::testRefusedName()
{
    const QString workspace = m_folder.filePath("workspace");
    QVERIFY(loadKit({QJsonObject{{"name", "Engine"}, {"sharedSrc", workspace}}}));
    RequestParameters request;
    request.companyName = "Example\n[ v3_usr ]";
    QString error;
    QVERIFY(!writeRequestConfig(request, error).exists());
    QCOMPARE(error,
             QString("The company name can't contain line breaks or other control characters."));
    QVERIFY(QDir(workspace).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void RequestConfigTest::testWorkspaceOthersMayWrite_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("refused");

    QTest::newRow("the user's alone") << "" << false;
    QTest::newRow("group may write") << "g+w" << true;
    QTest::newRow("others may write") << "o+w" << true;
    QTest::newRow("sticky, others may write") << "+t,o+w" << true;
    QTest::newRow("another user's") << "owner" << true;
    QTest::newRow("another user in the access list") << "acl" << true;
}

// The configuration's own folder is the user's alone; whoever may write the
// folder around it could put another one in its place.
void RequestConfigTest::testWorkspaceOthersMayWrite()
{
    QFETCH(QString, change);
    QFETCH(bool, refused);

    const QString workspace = m_folder.filePath("workspace");
    QVERIFY(loadKit({QJsonObject{{"name", "Engine"}, {"sharedSrc", workspace}}}));
    const QByteArray path = QFile::encodeName(workspace);
    struct stat status;
    QCOMPARE(stat(path.constData(), &status), 0);
    mode_t mode = status.st_mode & 07777;
    if (change.contains("g+w"))
        mode |= S_IWGRP;
    if (change.contains("o+w"))
        mode |= S_IWOTH;
    if (change.contains("+t"))
        mode |= S_ISVTX;
    QCOMPARE(chmod(path.constData(), mode), 0);
    if (change == "owner") {
        if (geteuid() != 0)
            QSKIP("giving the folder to another user needs root");
        QCOMPARE(chown(path.constData(), 65534, 65534), 0);
    }
    if (change == "acl") {
        // user::rwx, user:65534:rwx, group::r-x, mask::rwx, other::r-x
        const auto entry = [](quint16 tag, quint16 permissions, quint32 id) {
            QByteArray bytes(8, 0);
            qToLittleEndian(tag, bytes.data());
            qToLittleEndian(permissions, bytes.data() + 2);
            qToLittleEndian(id, bytes.data() + 4);
            return bytes;
        };
        QByteArray acl(4, 0);
        qToLittleEndian(quint32(2), acl.data());
        acl += entry(0x01, 7, quint32(-1)) + entry(0x02, 7, 65534) + entry(0x04, 5, quint32(-1))
               + entry(0x10, 7, quint32(-1)) + entry(0x20, 5, quint32(-1));
        if (setxattr(path.constData(), "system.posix_acl_access", acl.constData(), acl.size(), 0)
            != 0) {
            QSKIP("the file system takes no access control lists");
        }
    }

    RequestParameters request;
    request.companyName = "Example";
    QString error;
    const QFileInfo info = writeRequestConfig(request, error);
    QCOMPARE(!info.exists(), refused);
    if (refused) {
        QCOMPARE(error,
                 QString("Others may change the folder %1, so they could swap the request's "
                         "configuration before openssl reads it: make the folder writable by "
                         "you only.")
                     .arg(workspace));
        QVERIFY(QDir(workspace).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    } else {
        removeRequestConfig(info);
    }
}

void RequestConfigTest::testNoBuildEngine()
{
    QVERIFY(loadKit({}));
    RequestParameters request;
    request.companyName = "Example";
    QString error;
    const QFileInfo info = writeRequestConfig(request, error);
    QVERIFY(!info.exists());
    QCOMPARE(error, QString("No Build Engine found"));
}

QTEST_GUILESS_MAIN(RequestConfigTest)

#include "tst_requestconfig.moc"
