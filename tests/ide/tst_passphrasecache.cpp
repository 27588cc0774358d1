// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtestproject.h"
#include "tamarektests.h"
#include "testsupport.h"

#include "passphrasecache.h"
#include "rpmsignexternal.h"

#include <coreplugin/actionmanager/actionmanager.h>
#include <coreplugin/actionmanager/command.h>
#include <coreplugin/icore.h>

#include <QAction>

#include <QProcess>
#include <QtTest>

using namespace Tamarek::Testing;

namespace Tamarek::Internal {

const char remembered[] = "Remembered-pass-5Kd2";

// "Remember for this session", through rpmsign-external signing with an
// encrypted key in the stand-in kit.
class PassphraseCacheTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void testRemembered_data();
    void testRemembered();
    void testWrongOneNeverLoops();
    void testNewKeyNotOffered();

private:
    QString encryptKey(const QString &name, const QString &passphrase) const;
    ProcessResult sign(const QString &key);

    std::unique_ptr<SignTestKit> m_kit;
};

void PassphraseCacheTest::init()
{
    PassphraseCache::instance().forgetAll();
    m_kit = std::make_unique<SignTestKit>();
    QVERIFY2(m_kit->isValid(), qPrintable(m_kit->errorString()));
    QVERIFY(m_kit->workspace().pathAppended("a.rpm").writeFileContents("package\n"));
}

void PassphraseCacheTest::cleanup()
{
    PassphraseCache::instance().forgetAll();
    m_kit.reset();
}

QString PassphraseCacheTest::encryptKey(const QString &name, const QString &passphrase) const
{
    QProcess openssl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TAMAREK_TEST_PASS", passphrase);
    openssl.setProcessEnvironment(environment);
    const QString key = m_kit->key(name);
    openssl.start("openssl",
                  {"pkey", "-in", m_kit->key("developer-key.pem"), "-aes256", "-passout",
                   "env:TAMAREK_TEST_PASS", "-out", key});
    return openssl.waitForFinished(60000) && openssl.exitCode() == 0 ? key : QString();
}

ProcessResult PassphraseCacheTest::sign(const QString &key)
{
    RpmsignExternal tool;
    SignKeys keys;
    keys.developerKey = key;
    keys.developerCertificate = m_kit->key("developer-cert.pem");
    return tool.sign(SignTestKit::rpmsignTarget(),
                     {m_kit->workspace().pathAppended("a.rpm").toFSPathString()},
                     keys);
}

void PassphraseCacheTest::testRemembered_data()
{
    QTest::addColumn<bool>("remember");
    QTest::addColumn<QString>("between"); // what happens before the second signing
    QTest::addColumn<int>("secondDialogs");

    QTest::newRow("not ticked: asked again") << false << "" << 1;
    QTest::newRow("ticked: not asked again") << true << "" << 0;
    QTest::newRow("ticked, then forgotten from the tools menu") << true << "forget" << 1;
    QTest::newRow("ticked, then another key at the same path") << true << "replace" << 1;
}

void PassphraseCacheTest::testRemembered()
{
    QFETCH(bool, remember);
    QFETCH(QString, between);
    QFETCH(int, secondDialogs);

    const QString key = encryptKey("encrypted-key.pem", remembered);
    QVERIFY(!key.isEmpty());
    {
        PasswordAnswerer answerer({remembered});
        answerer.setRemember(remember);
        QVERIFY(sign(key).isSuccess());
        QCOMPARE(answerer.rememberOffered(), QList<bool>({true}));
    }
    if (between == "forget") {
        Core::Command *forget = Core::ActionManager::command("Tamarek.ForgetPassphrases");
        QVERIFY(forget && forget->action());
        forget->action()->trigger();
    }
    if (between == "replace")
        QCOMPARE(encryptKey("encrypted-key.pem", remembered), key);

    PasswordAnswerer answerer({remembered});
    QVERIFY(sign(key).isSuccess());
    QCOMPARE(answerer.prompts().size(), secondDialogs);

    // Never written: not in the settings, not under the workspace.
    const QString settings = Core::ICore::userResourcePath().toFSPathString();
    QCOMPARE(filesContaining(settings, remembered), QStringList());
    QCOMPARE(filesContaining(m_kit->workspace().toFSPathString(), remembered), QStringList());
}

// A wrong passphrase remembered fails its run once and is asked for again.
void PassphraseCacheTest::testWrongOneNeverLoops()
{
    const QString key = encryptKey("encrypted-key.pem", remembered);
    QVERIFY(!key.isEmpty());
    {
        PasswordAnswerer answerer({"wrong"});
        answerer.setRemember(true);
        QVERIFY(!sign(key).isSuccess());
    }
    QVERIFY(PassphraseCache::instance().isEmpty());
    PasswordAnswerer answerer({remembered});
    QVERIFY(sign(key).isSuccess());
    QCOMPARE(answerer.prompts().size(), 1);
}

// The passphrase of a key yet to be made belongs to no key file.
void PassphraseCacheTest::testNewKeyNotOffered()
{
    RpmsignExternal tool;
    RequestParameters request;
    request.companyName = "Example";
    request.keyPath = m_kit->workspace().pathAppended("new-key.pem");
    request.requestPath = m_kit->workspace().pathAppended("new.csr");
    request.encrypt = true;
    PasswordAnswerer answerer({remembered, remembered, remembered});
    answerer.setRemember(true);
    QVERIFY(tool.generateRequest(SignTestKit::rpmsignTarget(), request).isSuccess());
    // The new key's passphrase and its confirmation; the request asks by the file's name.
    QCOMPARE(answerer.rememberOffered(), QList<bool>({false, false, true}));
}

TAMAREK_TEST(PassphraseCacheTest)

} // namespace Tamarek::Internal

#include "tst_passphrasecache.moc"
