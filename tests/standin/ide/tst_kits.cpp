// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "neverraostests.h"
#include "testkit.h"

#include <neverraos/neverraosconstants.h>
#include <neverraos/orvkitmanager.h>
#include <neverraos/orvsdkkitaspect.h>

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <projectexplorer/devicesupport/devicekitaspects.h>
#include <projectexplorer/devicesupport/devicemanager.h>
#include <projectexplorer/kit.h>
#include <projectexplorer/kitmanager.h>

#include <utils/algorithm.h>

#include <QtTest>

using namespace Orv::Testing;
using namespace ProjectExplorer;
using Utils::Id;

namespace Orv::Internal {

class KitsTest : public QObject
{
    Q_OBJECT

private slots:
    void testKitPerTarget_data();
    void testKitPerTarget();
    void testKitsFollowConfiguration();
    void testKitAspect_data();
    void testKitAspect();
};

static QStringList kitTargets()
{
    QStringList result = Utils::transform(OrvKitManager::kits(), [](const Kit *kit) {
        return QString(OrvSdkKitAspectFactory::engineName(kit) + '/'
                       + OrvSdkKitAspectFactory::targetName(kit));
    });
    result.sort();
    return result;
}

void KitsTest::testKitPerTarget_data()
{
    QTest::addColumn<QList<TestEngine>>("engines");

    QTest::newRow("one target") << QList<TestEngine>{TestKit::defaultEngine()};
    QTest::newRow("two targets") << QList<TestEngine>{
        {"Engine",
         {{"T-aarch64", {"rpmsign-external"}, {}}, {"T-armv7hl", {"customer-sign"}, {}}}}};
    QTest::newRow("two engines with a target of the same name")
        << QList<TestEngine>{{"First", {{"T", {}, {}}}}, {"Second", {{"T", {"openssl"}, {}}}}};
    QTest::newRow("no targets") << QList<TestEngine>{{"Empty", {}}};
}

void KitsTest::testKitPerTarget()
{
    QFETCH(QList<TestEngine>, engines);

    TestKit testKit(engines, {{}, {}, "Test OS"});
    QVERIFY2(testKit.isLoaded(), qPrintable(testKit.errorString()));

    QStringList expected;
    QStringList displayNames;
    for (int e = 0; e < engines.size(); ++e) {
        const TestEngine &engine = engines.at(e);
        for (int t = 0; t < engine.targets.size(); ++t) {
            const TestTarget &target = engine.targets.at(t);
            expected << engine.name + '/' + target.name;
            Kit *kit = KitManager::kit(OrvKitManager::kitId(engine.name, target.name));
            QVERIFY(kit);
            QCOMPARE(testKit.kit(e, t), kit);
            QVERIFY2(kit->isValid(), qPrintable(kit->toHtml()));
            QCOMPARE(RunDeviceTypeKitAspect::deviceTypeId(kit), Id(Constants::DEVICE_TYPE));
            const IDevice::ConstPtr device = RunDeviceKitAspect::device(kit);
            QVERIFY(device);
            QCOMPARE(device->type(), Id(Constants::DEVICE_TYPE));

            Nork::BuildEngine *buildEngine = OrvSdkKitAspectFactory::buildEngine(kit);
            QVERIFY(buildEngine);
            QCOMPARE(buildEngine->name(), engine.name);
            const Nork::BuildTargetData data = OrvSdkKitAspectFactory::buildTarget(kit);
            QCOMPARE(data.name, target.name);
            QCOMPARE(data.signingTools, target.tools);

            QVERIFY(kit->displayName().startsWith("Test OS ("));
            QVERIFY(kit->displayName().contains(target.name));
            displayNames << kit->displayName();
        }
    }
    expected.sort();
    QCOMPARE(kitTargets(), expected);
    displayNames.removeDuplicates();
    QCOMPARE(displayNames.size(), expected.size());
}

void KitsTest::testKitsFollowConfiguration()
{
    TestKit outer({{"Engine", {{"A", {}, {}}, {"B", {}, {}}}}});
    QVERIFY2(outer.isLoaded(), qPrintable(outer.errorString()));
    QCOMPARE(kitTargets(), QStringList({"Engine/A", "Engine/B"}));
    const Kit *kitA = KitManager::kit(OrvKitManager::kitId("Engine", "A"));
    QVERIFY(kitA);

    QSignalSpy removed(KitManager::instance(), &KitManager::kitRemoved);
    QSignalSpy added(KitManager::instance(), &KitManager::kitAdded);
    {
        TestKit inner({{"Engine", {{"A", {"openssl"}, {}}, {"C", {}, {}}}}});
        QVERIFY2(inner.isLoaded(), qPrintable(inner.errorString()));
        QCOMPARE(kitTargets(), QStringList({"Engine/A", "Engine/C"}));
        QCOMPARE(removed.size(), 1);
        QCOMPARE(added.size(), 1);
        // A target that stays keeps its kit, which now sees the new engine.
        QCOMPARE(KitManager::kit(OrvKitManager::kitId("Engine", "A")), kitA);
        QCOMPARE(OrvSdkKitAspectFactory::buildTarget(kitA).signingTools, QStringList({"openssl"}));
    }
    QCOMPARE(kitTargets(), QStringList({"Engine/A", "Engine/B"}));
}

void KitsTest::testKitAspect_data()
{
    QTest::addColumn<QString>("engineName");
    QTest::addColumn<QString>("targetName");
    QTest::addColumn<bool>("hasEngine");
    QTest::addColumn<bool>("hasTarget");
    QTest::addColumn<QString>("error");

    QTest::newRow("configured") << "Engine"
                                << "T" << true << true << QString();
    QTest::newRow("target gone") << "Engine"
                                 << "Gone" << true << false << "has no build target";
    QTest::newRow("engine gone") << "Gone"
                                 << "T" << false << false << "is not configured";
    QTest::newRow("nothing set") << QString() << QString() << false << false << QString();
}

void KitsTest::testKitAspect()
{
    QFETCH(QString, engineName);
    QFETCH(QString, targetName);
    QFETCH(bool, hasEngine);
    QFETCH(bool, hasTarget);
    QFETCH(QString, error);

    TestKit testKit({{"Engine", {{"T", {"rpmsign-external"}, {}}}}});
    QVERIFY2(testKit.isLoaded(), qPrintable(testKit.errorString()));

    Kit kit;
    if (!engineName.isEmpty())
        OrvSdkKitAspectFactory::setBuildTarget(&kit, engineName, targetName);
    QCOMPARE(OrvSdkKitAspectFactory::buildEngine(&kit) != nullptr, hasEngine);
    QCOMPARE(OrvSdkKitAspectFactory::buildTarget(&kit).isValid(), hasTarget);
    if (hasTarget) {
        QCOMPARE(OrvSdkKitAspectFactory::buildTarget(&kit).signingTools,
                 QStringList({"rpmsign-external"}));
    }

    const auto factory = Utils::findOrDefault(KitManager::kitAspectFactories(),
                                              [](const KitAspectFactory *f) {
                                                  return f->id() == OrvSdkKitAspectFactory::id();
                                              });
    QVERIFY(factory);
    const Tasks tasks = factory->validate(&kit);
    if (error.isEmpty()) {
        QVERIFY(tasks.isEmpty());
    } else {
        QCOMPARE(tasks.size(), 1);
        QCOMPARE(tasks.first().type, Task::Error);
        QVERIFY2(tasks.first().description().contains(error),
                 qPrintable(tasks.first().description()));
    }
}

NEVERRAOS_TEST(KitsTest)

} // namespace Orv::Internal

#include "tst_kits.moc"
