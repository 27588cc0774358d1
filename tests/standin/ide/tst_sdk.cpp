// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "neverraostests.h"
#include "testkit.h"

#include <neverraos/orvsettings.h>

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <QSignalSpy>
#include <QtTest>

using namespace Orv::Testing;
using Utils::FilePath;

namespace Orv::Internal {

class SdkTest : public QObject
{
    Q_OBJECT

private slots:
    void testConfiguration_data();
    void testConfiguration();
    void testNorkPath_data();
    void testNorkPath();
    void testPreviousConfigurationRestored();
    void testSharedSrcPathChanged();
};

void SdkTest::testConfiguration_data()
{
    QTest::addColumn<QList<TestEngine>>("engines");

    QTest::newRow("one engine, one target") << QList<TestEngine>{TestKit::defaultEngine()};
    QTest::newRow("one engine, two targets, one without tools") << QList<TestEngine>{
        {"Engine", {{"T-aarch64", {"customer-sign", "vyxcert-cli"}, {}}, {"T-armv7hl", {}, {}}}}};
    QTest::newRow("two engines, one without targets, one that cannot start")
        << QList<TestEngine>{{"First", {{"A", {"openssl"}, {}}}, false}, {"Second", {}}};
}

void SdkTest::testConfiguration()
{
    QFETCH(QList<TestEngine>, engines);

    TestKit kit(engines);
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    QCOMPARE(Nork::Sdk::configurationPath(), kit.configurationPath().toFSPathString());

    const QList<Nork::BuildEngine *> loaded = Nork::Sdk::buildEngines();
    QCOMPARE(loaded.size(), engines.size());
    for (int i = 0; i < engines.size(); ++i) {
        const Nork::BuildEngine *engine = loaded.at(i);
        QCOMPARE(engine->name(), engines.at(i).name);
        QCOMPARE(engine->sharedHomePath(), kit.sharedHomePath(i));
        QCOMPARE(engine->sharedSrcPath(), kit.sharedSrcPath(i));
        QVERIFY(engine->sharedHomePath().isDir());
        QVERIFY(engine->sharedSrcPath().isDir());
        QVERIFY(kit.sharedSrcPath(i).isChildOf(kit.folder()));

        QStringList names;
        for (const TestTarget &target : engines.at(i).targets) {
            names << target.name;
            const Nork::BuildTargetData data = engine->buildTarget(target.name);
            QVERIFY(data.isValid());
            QCOMPARE(data.name, target.name);
            QCOMPARE(data.signingTools, target.tools);
        }
        QCOMPARE(engine->buildTargetOrigins(), names);
        QVERIFY(!engine->buildTarget("no such target").isValid());
    }
}

void SdkTest::testNorkPath_data()
{
    QTest::addColumn<bool>("ownTool");

    QTest::newRow("the current configuration's tool") << false;
    QTest::newRow("a tool of the test's own") << true;
}

void SdkTest::testNorkPath()
{
    QFETCH(bool, ownTool);

    const FilePath current = Nork::Sdk::norkPath();
    const FilePath own = FilePath::fromString(QDir::tempPath()).pathAppended("elsewhere/nork");
    TestKit::Options options;
    if (ownTool)
        options.norkPath = own;
    TestKit kit({TestKit::defaultEngine()}, options);
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    QCOMPARE(OrvSettings::norkPath(), ownTool ? own : current);
    QCOMPARE(OrvSettings::norkPath(), Nork::Sdk::norkPath());
}

void SdkTest::testPreviousConfigurationRestored()
{
    const QString before = Nork::Sdk::configurationPath();
    const FilePath norkBefore = Nork::Sdk::norkPath();
    QStringList enginesBefore;
    for (const Nork::BuildEngine *engine : Nork::Sdk::buildEngines())
        enginesBefore << engine->name();

    QSignalSpy changed(Nork::Sdk::instance(), &Nork::Sdk::configurationChanged);
    {
        TestKit kit({{"Only Here", {{"X", {}, {}}}}});
        QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
        QCOMPARE(Nork::Sdk::buildEngines().value(0)->name(), QString("Only Here"));
        QCOMPARE(qEnvironmentVariable("NEVERRAOS_KIT_CONFIG"),
                 kit.configurationPath().toFSPathString());
    }
    QCOMPARE(changed.size(), 2);
    QCOMPARE(Nork::Sdk::configurationPath(), before);
    QCOMPARE(Nork::Sdk::norkPath(), norkBefore);
    QStringList enginesAfter;
    for (const Nork::BuildEngine *engine : Nork::Sdk::buildEngines())
        enginesAfter << engine->name();
    QCOMPARE(enginesAfter, enginesBefore);
}

void SdkTest::testSharedSrcPathChanged()
{
    TestKit kit;
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    Nork::BuildEngine *engine = Nork::Sdk::buildEngines().value(0);
    QVERIFY(engine);

    QSignalSpy changed(engine, &Nork::BuildEngine::sharedSrcPathChanged);
    const FilePath other = kit.folder().pathAppended("other-workspace");
    engine->setSharedSrcPath(other);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).value<FilePath>(), other);
    QCOMPARE(engine->sharedSrcPath(), other);

    engine->setSharedSrcPath(other);
    QCOMPARE(changed.size(), 1);
}

NEVERRAOS_TEST(SdkTest)

} // namespace Orv::Internal

#include "tst_sdk.moc"
