// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "tamarektests.h"
#include "testkit.h"
#include "testsupport.h"

#include "regularkeys.h"
#include "tamarekplugin.h"

#include <extensionsystem/pluginmanager.h>
#include <extensionsystem/pluginspec.h>
#include <nork/buildengine.h>
#include <nork/sdk.h>
#include <utils/algorithm.h>

#include <QLoggingCategory>
#include <QtTest>

using namespace Orv::Testing;
using namespace Tamarek::Testing;
using namespace Utils;

namespace Tamarek::Internal {

const char KIT_KEY[] = "kit key\n";
const char KIT_CERT[] = "kit certificate\n";

// Collects the plug-in's debug lines while it lives.
class DebugLines
{
public:
    // The plug-in's debug lines are off unless asked for.
    DebugLines()
    {
        s_lines.clear();
        QLoggingCategory::setFilterRules("qtc.tamarek.plugin.debug=true");
        m_previous = qInstallMessageHandler(&DebugLines::handle);
    }
    ~DebugLines()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules("qtc.tamarek.plugin.debug=false");
    }

    QStringList lines() const { return s_lines; }

private:
    static void handle(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtDebugMsg && message.startsWith("[TamarekPlugin]"))
            s_lines << message;
    }

    static inline QStringList s_lines;
    QtMessageHandler m_previous = nullptr;
};

// The kit's regular pair, copied into each workspace, and the paths to it.
class RegularKeysTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void testRegularPaths_data();
    void testRegularPaths();
    void testProvision_data();
    void testProvision();
    void testEngines();

private:
    FilePath kitFolder() const { return m_sdk.pathAppended("package-signing"); }
    FilePath workspace() const { return m_testKit->sharedSrcPath(); }
    FilePath copyFolder() const { return workspace().pathAppended(".neverraos-regular-keys"); }
    static QStringList userLines(const GeneralMessages &messages);

    TamarekPlugin *m_plugin = nullptr;
    std::unique_ptr<QTemporaryDir> m_folder;
    FilePath m_sdk;
    std::unique_ptr<TestKit> m_testKit;
};

void RegularKeysTest::initTestCase()
{
    for (ExtensionSystem::PluginSpec *pluginSpec : ExtensionSystem::PluginManager::plugins()) {
        if (pluginSpec->id() == "tamarek")
            m_plugin = qobject_cast<TamarekPlugin *>(pluginSpec->plugin());
    }
    QVERIFY(m_plugin);
}

void RegularKeysTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_sdk = FilePath::fromString(m_folder->path()).pathAppended("sdk");
    QVERIFY(kitFolder().ensureWritableDir());
    QVERIFY(kitFolder().pathAppended("regular_key.pem").writeFileContents(KIT_KEY));
    QVERIFY(kitFolder().pathAppended("regular_cert.pem").writeFileContents(KIT_CERT));

    TestKit::Options options;
    options.installationPath = m_sdk.toFSPathString();
    TestEngine second = TestKit::defaultEngine();
    second.name = "Second Engine";
    m_testKit = std::make_unique<TestKit>(QList<TestEngine>{TestKit::defaultEngine(), second},
                                          options);
    QVERIFY2(m_testKit->isLoaded(), qPrintable(m_testKit->errorString()));
}

void RegularKeysTest::cleanup()
{
    m_testKit.reset();
    m_folder.reset();
}

QStringList RegularKeysTest::userLines(const GeneralMessages &messages)
{
    return Utils::filtered(messages.lines(), [](const QString &line) {
        return line.startsWith("[E] ") || line.startsWith("[W] ");
    });
}

void RegularKeysTest::testRegularPaths_data()
{
    QTest::addColumn<QString>("copyFolder"); // "" none, "empty", "full"
    QTest::addColumn<bool>("emptyWorkspace");
    QTest::addColumn<bool>("fromCopy");

    QTest::newRow("workspace copy with both files") << "full" << false << true;
    QTest::newRow("workspace copy folder empty: still the copy") << "empty" << false << true;
    QTest::newRow("no workspace copy: the kit's folder") << "" << false << false;
    QTest::newRow("no workspace: the kit's folder") << "" << true << false;
}

void RegularKeysTest::testRegularPaths()
{
    QFETCH(QString, copyFolder);
    QFETCH(bool, emptyWorkspace);
    QFETCH(bool, fromCopy);

    if (!copyFolder.isEmpty())
        QVERIFY(this->copyFolder().ensureWritableDir());
    if (copyFolder == "full") {
        QVERIFY(this->copyFolder().pathAppended("regular_key.pem").writeFileContents("own"));
        QVERIFY(this->copyFolder().pathAppended("regular_cert.pem").writeFileContents("own"));
    }

    const FilePath sharedSrc = emptyWorkspace ? FilePath() : workspace();
    const FilePath folder = fromCopy ? this->copyFolder() : kitFolder();
    QCOMPARE(regularKeysPath(sharedSrc), folder.toFSPathString());
    QCOMPARE(regularKeyFilePath(sharedSrc), folder.pathAppended("regular_key.pem"));
    QCOMPARE(regularCertFilePath(sharedSrc), folder.pathAppended("regular_cert.pem"));
}

void RegularKeysTest::testProvision_data()
{
    QTest::addColumn<QStringList>("kitFiles");
    QTest::addColumn<QStringList>("copiedBefore"); // files already in the workspace copy
    QTest::addColumn<bool>("workspaceExists");
    QTest::addColumn<bool>("printUserLog");
    QTest::addColumn<QString>("expectedKey"); // the contents after; "" for no file
    QTest::addColumn<QString>("expectedCert");
    QTest::addColumn<QString>("error"); // the failure's detail; "" when both copies succeed

    const QStringList both{"regular_key.pem", "regular_cert.pem"};
    const QString copyFailed = "Could not copy file \"%KIT%/%1\" to \"%COPY%/%1\".";

    QTest::newRow("fresh workspace: both copied")
        << both << QStringList() << true << true << KIT_KEY << KIT_CERT << "";
    QTest::newRow("both present and different: nothing copied")
        << both << both << true << true << "own regular_key.pem"
        << "own regular_cert.pem"
        << "";
    QTest::newRow("key present, certificate missing: only the certificate copied")
        << both << QStringList{"regular_key.pem"} << true << true << "own regular_key.pem"
        << KIT_CERT << "";
    QTest::newRow("certificate present, key missing: only the key copied")
        << both << QStringList{"regular_cert.pem"} << true << true << KIT_KEY
        << "own regular_cert.pem"
        << "";
    QTest::newRow("kit key missing: the certificate is not tried")
        << QStringList{"regular_cert.pem"} << QStringList() << true << true << ""
        << "" << copyFailed.arg("regular_key.pem");
    QTest::newRow("kit certificate missing: the key is copied")
        << QStringList{"regular_key.pem"} << QStringList() << true << true << KIT_KEY << ""
        << copyFailed.arg("regular_cert.pem");
    QTest::newRow("failure at start: debug log only")
        << QStringList() << QStringList() << true << false << ""
        << "" << copyFailed.arg("regular_key.pem");
    QTest::newRow("no workspace folder: nothing made")
        << both << QStringList() << false << true << ""
        << ""
        << "The folder \"%COPY%\" does not exist.";
}

void RegularKeysTest::testProvision()
{
    QFETCH(QStringList, kitFiles);
    QFETCH(QStringList, copiedBefore);
    QFETCH(bool, workspaceExists);
    QFETCH(bool, printUserLog);
    QFETCH(QString, expectedKey);
    QFETCH(QString, expectedCert);
    QFETCH(QString, error);

    for (const QString &name : QStringList{"regular_key.pem", "regular_cert.pem"}) {
        if (!kitFiles.contains(name))
            QVERIFY(kitFolder().pathAppended(name).removeFile());
    }
    for (const QString &name : copiedBefore) {
        QVERIFY(copyFolder().ensureWritableDir());
        QVERIFY(copyFolder().pathAppended(name).writeFileContents("own " + name.toUtf8()));
    }
    if (!workspaceExists)
        QVERIFY(workspace().removeRecursively());

    GeneralMessages messages;
    DebugLines debug;
    m_plugin->onSharedSrcPathChanged(workspace(), printUserLog);

    const auto contents = [this](const QString &name) {
        const FilePath file = copyFolder().pathAppended(name);
        return file.exists() ? QString::fromUtf8(file.fileContents().value_or("?")) : QString();
    };
    QCOMPARE(contents("regular_key.pem"), expectedKey);
    QCOMPARE(contents("regular_cert.pem"), expectedCert);
    QCOMPARE(workspace().exists(), workspaceExists);

    error.replace("%KIT%", kitFolder().toUserOutput())
        .replace("%COPY%", copyFolder().toUserOutput());
    QStringList expectedDebug{"[TamarekPlugin] Copy keys to: " + workspace().toFSPathString()};
    if (workspaceExists && copiedBefore.isEmpty())
        expectedDebug << "[TamarekPlugin] Dir created: true .  " + copyFolder().toFSPathString();
    if (!error.isEmpty()) {
        const QString name = error.contains("regular_cert") ? QString("regular_cert.pem")
                                                            : QString("regular_key.pem");
        expectedDebug << "[TamarekPlugin] Failed to copy " + name + " : " + error;
    }
    QCOMPARE(debug.lines(), expectedDebug);

    const QStringList expectedUser
        = error.isEmpty() || !printUserLog
              ? QStringList()
              : QStringList{"[E] Failed to copy regular keys:\t" + error,
                            "[W] Please make sure that the '" + workspace().toUserOutput()
                                + "' is writable and restart the ide",
                            "[W] OR",
                            "[W] Specify the path to the default signature keys in the settings"};
    QCOMPARE(userLines(messages), expectedUser);
}

// What the start-up does for each engine, on two engines of the test's own.
void RegularKeysTest::testEngines()
{
    const QList<Nork::BuildEngine *> engines = Nork::Sdk::buildEngines();
    QCOMPARE(engines.size(), 2);
    GeneralMessages messages;
    {
        DebugLines debug;
        m_plugin->watchBuildEngines(engines);
        QCOMPARE(Utils::filtered(debug.lines(),
                                 [](const QString &line) { return line.contains("Copy keys"); }),
                 QStringList({"[TamarekPlugin] Copy keys to: " + workspace().toFSPathString(),
                              "[TamarekPlugin] Copy keys to: "
                                  + m_testKit->sharedSrcPath(1).toFSPathString()}));
    }
    for (int engine = 0; engine < 2; ++engine) {
        const FilePath copy = m_testKit->sharedSrcPath(engine).pathAppended(
            ".neverraos-regular-keys");
        QCOMPARE(copy.pathAppended("regular_key.pem").fileContents().value_or(""), KIT_KEY);
        QCOMPARE(copy.pathAppended("regular_cert.pem").fileContents().value_or(""), KIT_CERT);
    }

    QCOMPARE(userLines(messages), QStringList());

    // A folder that can't take the pair: told once per change.
    const FilePath missing = FilePath::fromString(m_folder->path()).pathAppended("missing");
    const FilePath alsoMissing = FilePath::fromString(m_folder->path()).pathAppended("gone");
    engines.at(0)->setSharedSrcPath(missing);
    QCOMPARE(userLines(messages).size(), 4);
    QVERIFY(userLines(messages).at(1).contains(missing.toUserOutput()));
    engines.at(0)->setSharedSrcPath(alsoMissing);
    QCOMPARE(userLines(messages).size(), 8);
    QVERIFY(userLines(messages).at(5).contains(alsoMissing.toUserOutput()));
    QVERIFY(!missing.exists());
    QVERIFY(!alsoMissing.exists());

    // A usable folder gets its pair, silently.
    const FilePath fresh = FilePath::fromString(m_folder->path()).pathAppended("fresh");
    QVERIFY(fresh.ensureWritableDir());
    engines.at(0)->setSharedSrcPath(fresh);
    QCOMPARE(userLines(messages).size(), 8);
    QVERIFY(fresh.pathAppended(".neverraos-regular-keys/regular_key.pem").exists());
}

TAMAREK_TEST(RegularKeysTest)

} // namespace Tamarek::Internal

#include "tst_regularkeys.moc"
