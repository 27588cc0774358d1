// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtestproject.h"
#include "tamarektests.h"

#include "certificatehealthlabel.h"
#include "customersignstep.h"
#include "keychoice.h"
#include "signingdefaults.h"
#include "regularkeys.h"
#include "rpmsignexternalstep.h"
#include "tamarekconstants.h"

#include <neverraos/neverraosconstants.h>
#include <neverraos/orvsdkkitaspect.h>
#include <neverraos/orvvbtrpmbuildstep.h>
#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <projectexplorer/buildsteplist.h>
#include <projectexplorer/deployconfiguration.h>
#include <projectexplorer/devicesupport/devicekitaspects.h>
#include <projectexplorer/kit.h>
#include <projectexplorer/kitmanager.h>
#include <projectexplorer/projectexplorerconstants.h>
#include <projectexplorer/target.h>

#include <utils/pathchooser.h>

#include <QCheckBox>
#include <QComboBox>
#include <QtTest>

using namespace ProjectExplorer;
using namespace Tamarek::Testing;
using namespace Utils;

namespace Tamarek::Internal {

const char GLOBAL_KEY[] = "Tamarek.GlobalSignKey";
const char GLOBAL_CERT[] = "Tamarek.GlobalSignCert";
const char DEFAULT_SIGN[] = "Tamarek.DefaultSign";

// What the two sign steps keep in the project, how the IDE makes and restores
// them, and how their widgets change them.
class SignStepSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testFactories();
    void testCustomerSignDefaultKeys();
    void testCustomerSignMap_data();
    void testCustomerSignMap();
    void testRpmsignExternalMap_data();
    void testRpmsignExternalMap();
    void testNewRpmsignExternalStep_data();
    void testNewRpmsignExternalStep();
    void testKeyChoice_data();
    void testKeyChoice();
    void testRestoreById();
    void testCustomerSignWidget();
    void testRpmsignExternalWidget();
    void testSummary();
    void testNoBuildEngine();

private:
    std::unique_ptr<SettingsScope> m_settings;
    std::unique_ptr<SignTestKit> m_kit;
};

static Store mapOf(BuildStep *step)
{
    Store map;
    step->toMap(map);
    return map;
}

static bool isOwnKey(const Key &key)
{
    return key.toByteArray().startsWith("Tamarek.") || key.toByteArray().startsWith("OrvRpmSign.");
}

// Only the step's own keys: the host's keep changing with its version.
static Store ownKeys(const Store &map)
{
    Store result;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (isOwnKey(it.key()))
            result.insert(it.key(), it.value());
    }
    return result;
}

// As a project file holds it: the host's keys of the step, and the given ones.
static Store asStored(BuildStep *step, const Store &ownMap)
{
    Store map = mapOf(step);
    map.removeIf([](const Store::iterator &it) { return isOwnKey(it.key()); });
    for (auto it = ownMap.cbegin(); it != ownMap.cend(); ++it)
        map.insert(it.key(), it.value());
    return map;
}

void SignStepSettingsTest::init()
{
    m_settings = std::make_unique<SettingsScope>(
        QStringList{GLOBAL_KEY, GLOBAL_CERT, DEFAULT_SIGN});
    m_kit = std::make_unique<SignTestKit>();
    QVERIFY2(m_kit->isValid(), qPrintable(m_kit->errorString()));
}

void SignStepSettingsTest::cleanup()
{
    m_kit.reset();
    m_settings.reset();
}

void SignStepSettingsTest::testFactories()
{
    SignTestProject orvProject(m_kit->rpmsignKit());
    BuildStepList *deploySteps = orvProject.deploySteps();
    QVERIFY(deploySteps);

    const auto factory = [](Id stepId) -> BuildStepFactory * {
        for (BuildStepFactory *factory : BuildStepFactory::allBuildStepFactories()) {
            if (factory->stepId() == stepId)
                return factory;
        }
        return nullptr;
    };
    BuildStepFactory *customerSign = factory("Tamarek.RpmSignStep");
    BuildStepFactory *rpmsignExternal = factory("Tamarek.RpmSignExternalStep");
    QVERIFY(customerSign);
    QVERIFY(rpmsignExternal);
    QCOMPARE(customerSign->displayName(), "RPM Sign (customer-sign)");
    QCOMPARE(rpmsignExternal->displayName(), "RPM Sign (rpmsign-external)");
    QVERIFY(customerSign->canHandle(deploySteps));
    QVERIFY(rpmsignExternal->canHandle(deploySteps));

    // Not for build or clean steps, nor for another device type's deploys.
    BuildStepList buildSteps(orvProject.target()->activeDeployConfiguration(),
                             ProjectExplorer::Constants::BUILDSTEPS_BUILD);
    BuildStepList cleanSteps(orvProject.target()->activeDeployConfiguration(),
                             ProjectExplorer::Constants::BUILDSTEPS_CLEAN);
    for (BuildStepFactory *factory : {customerSign, rpmsignExternal}) {
        QVERIFY(!factory->canHandle(&buildSteps));
        QVERIFY(!factory->canHandle(&cleanSteps));
    }
    Kit *desktopKit = KitManager::registerKit([](Kit *kit) {
        kit->setUnexpandedDisplayName("Sign Test Desktop Kit");
        RunDeviceTypeKitAspect::setDeviceTypeId(kit,
                                                ProjectExplorer::Constants::DESKTOP_DEVICE_TYPE);
    });
    QVERIFY(desktopKit);
    {
        SignTestProject desktopProject(desktopKit);
        QVERIFY(desktopProject.target());
        QVERIFY(desktopProject.target()->activeDeployConfiguration());
        BuildStepList desktopDeploySteps(desktopProject.target()->activeDeployConfiguration(),
                                         ProjectExplorer::Constants::BUILDSTEPS_DEPLOY);
        QVERIFY(!customerSign->canHandle(&desktopDeploySteps));
        QVERIFY(!rpmsignExternal->canHandle(&desktopDeploySteps));
    }
    KitManager::deregisterKit(desktopKit);

    // Made by a factory: of its kind, named, enabled in both senses.
    for (const Id stepId : {CustomerSignStep::stepId(), RpmsignExternalStep::stepId()}) {
        BuildStep *step = orvProject.addStep(stepId);
        QVERIFY(step);
        QVERIFY(stepId == CustomerSignStep::stepId()
                    ? bool(qobject_cast<CustomerSignStep *>(step))
                    : bool(qobject_cast<RpmsignExternalStep *>(step)));
        QCOMPARE(step->displayName(),
                 stepId == CustomerSignStep::stepId() ? "RPM Sign (customer-sign)"
                                                      : "RPM Sign (rpmsign-external)");
        QVERIFY(step->stepEnabled());
        QVERIFY(step->isEnabled());
    }
}

void SignStepSettingsTest::testCustomerSignDefaultKeys()
{
    const FilePath orvsdk = m_kit->sharedHome().pathAppended(".orvsdk");
    QVERIFY(orvsdk.ensureWritableDir());
    QVERIFY(orvsdk.pathAppended("packages-key.pem").writeFileContents("key"));

    SignTestProject orvProject(m_kit->customerSignKit());
    BuildStep *step = orvProject.addStep(CustomerSignStep::stepId());
    QVERIFY(step);
    const QString packagesKey = orvsdk.pathAppended("packages-key.pem").toFSPathString();
    QCOMPARE(ownKeys(mapOf(step)),
             (Store{{"Tamarek.BinariesKey", ""},
                    {"Tamarek.PackagesKey", packagesKey},
                    {"Tamarek.PackagesCert", ""},
                    {"Tamarek.PackagesClientCert", ""},
                    {"OrvRpmSign.SignDebugPackage", true}}));

    // The other three files count too, once they exist.
    for (const QString &name :
         QStringList{"binaries-key.pem", "packages-cert.pem", "packages-client-cert.pem"})
        QVERIFY(orvsdk.pathAppended(name).writeFileContents("pem"));
    step = orvProject.addStep(CustomerSignStep::stepId());
    const Store map = ownKeys(mapOf(step));
    QCOMPARE(map.value("Tamarek.BinariesKey").toString(),
             orvsdk.pathAppended("binaries-key.pem").toFSPathString());
    QCOMPARE(map.value("Tamarek.PackagesCert").toString(),
             orvsdk.pathAppended("packages-cert.pem").toFSPathString());
    QCOMPARE(map.value("Tamarek.PackagesClientCert").toString(),
             orvsdk.pathAppended("packages-client-cert.pem").toFSPathString());
}

void SignStepSettingsTest::testCustomerSignMap_data()
{
    QTest::addColumn<Store>("map");
    QTest::addColumn<Store>("expected");

    const Store full{{"Tamarek.BinariesKey", "/w/b.pem"},
                     {"Tamarek.PackagesKey", "/w/k.pem"},
                     {"Tamarek.PackagesCert", "/w/c.pem"},
                     {"Tamarek.PackagesClientCert", "/w/cc.pem"},
                     {"OrvRpmSign.SignDebugPackage", false}};
    QTest::newRow("all keys") << full << full;

    Store partial = full;
    partial.remove("Tamarek.PackagesKey");
    partial.remove("OrvRpmSign.SignDebugPackage");
    Store kept = full;
    kept.insert("Tamarek.PackagesKey", "/home/k.pem"); // the step's value before
    kept.insert("OrvRpmSign.SignDebugPackage", true);
    QTest::newRow("absent keys keep the step's values") << partial << kept;

    Store empty = full;
    empty.insert("Tamarek.PackagesClientCert", "");
    QTest::newRow("an empty path is a value") << empty << empty;

    Store verifying = full;
    verifying.insert("Tamarek.VerifyAfterSign", true);
    verifying.insert("Tamarek.VerifyRootCertificate", "/w/ca.pem");
    QTest::newRow("verifying with its own CA") << verifying << verifying;
    Store globalRoot = full;
    globalRoot.insert("Tamarek.VerifyAfterSign", true);
    globalRoot.insert("Tamarek.VerifyRootCertificate", "");
    Store globalRootStored = full;
    globalRootStored.insert("Tamarek.VerifyAfterSign", true);
    QTest::newRow("verifying with the global CA") << globalRoot << globalRootStored;
}

void SignStepSettingsTest::testCustomerSignMap()
{
    QFETCH(Store, map);
    QFETCH(Store, expected);

    SignTestProject orvProject(m_kit->customerSignKit());
    auto step = qobject_cast<CustomerSignStep *>(orvProject.addStep(CustomerSignStep::stepId()));
    QVERIFY(step);
    step->setPackagesKey("/home/k.pem");
    static_cast<BuildStep *>(step)->fromMap(asStored(step, map));
    QCOMPARE(ownKeys(mapOf(step)), expected);
}

void SignStepSettingsTest::testRpmsignExternalMap_data()
{
    QTest::addColumn<Store>("map");
    QTest::addColumn<Store>("expected");

    QTest::newRow("global pair with stale custom paths")
        << Store{{"Tamarek.UseDefaultValues", true},
                 {"Tamarek.Key", "/old/k.pem"},
                 {"Tamarek.Cert", "/old/c.pem"}}
        << Store{{"Tamarek.UseDefaultValues", true}};
    QTest::newRow("no key at all: the global pair")
        << Store() << Store{{"Tamarek.UseDefaultValues", true}};
    QTest::newRow("custom pair") << Store{{"Tamarek.UseDefaultValues", false},
                                          {"Tamarek.Key", "/w/k.pem"},
                                          {"Tamarek.Cert", "/w/c.pem"}}
                                 << Store{{"Tamarek.UseDefaultValues", false},
                                          {"Tamarek.Key", "/w/k.pem"},
                                          {"Tamarek.Cert", "/w/c.pem"}};
    QTest::newRow("custom pair without paths")
        << Store{{"Tamarek.UseDefaultValues", false}}
        << Store{{"Tamarek.UseDefaultValues", false}, {"Tamarek.Key", ""}, {"Tamarek.Cert", ""}};
    QTest::newRow("verifying, not any more")
        << Store{{"Tamarek.VerifyAfterSign", false}, {"Tamarek.VerifyRootCertificate", "/w/ca.pem"}}
        << Store{{"Tamarek.UseDefaultValues", true},
                 {"Tamarek.VerifyRootCertificate", "/w/ca.pem"}};
}

void SignStepSettingsTest::testRpmsignExternalMap()
{
    QFETCH(Store, map);
    QFETCH(Store, expected);

    SignTestProject orvProject(m_kit->rpmsignKit());
    auto step = qobject_cast<RpmsignExternalStep *>(
        orvProject.addStep(RpmsignExternalStep::stepId()));
    QVERIFY(step);
    // A custom pair before: the restore must not keep it where the map says otherwise.
    step->setKey("/before/k.pem");
    step->setCertificate("/before/c.pem");
    step->setVerifyAfterSign(true);
    static_cast<BuildStep *>(step)->fromMap(asStored(step, map));
    QCOMPARE(ownKeys(mapOf(step)), expected);
}

void SignStepSettingsTest::testNewRpmsignExternalStep_data()
{
    QTest::addColumn<QVariant>("defaultSign");

    QTest::newRow("sign step enabled by default") << QVariant(true);
    QTest::newRow("sign step disabled by default") << QVariant(false);
    QTest::newRow("no setting") << QVariant();
}

void SignStepSettingsTest::testNewRpmsignExternalStep()
{
    QFETCH(QVariant, defaultSign);
    if (defaultSign.isValid())
        m_settings->set(DEFAULT_SIGN, defaultSign);
    else
        m_settings->remove(DEFAULT_SIGN);

    SignTestProject orvProject(m_kit->rpmsignKit());
    BuildStep *step = orvProject.addStep(RpmsignExternalStep::stepId());
    QVERIFY(step);
    QCOMPARE(ownKeys(mapOf(step)), (Store{{"Tamarek.UseDefaultValues", true}}));
    QVERIFY(step->isEnabled());
    QVERIFY(step->stepEnabled());
}

void SignStepSettingsTest::testKeyChoice_data()
{
    QTest::addColumn<bool>("useDefaultValues");
    QTest::addColumn<QVariant>("globalKey"); // invalid: absent
    QTest::addColumn<bool>("workspaceCopy");
    QTest::addColumn<QString>("expectedKey"); // %WS%: workspace copy, %KIT%: kit folder

    QTest::newRow("custom pair") << false << QVariant("/g/k.pem") << true << "/custom/k.pem";
    QTest::newRow("global key set") << true << QVariant("/g/k.pem") << true << "/g/k.pem";
    QTest::newRow("global key present but empty") << true << QVariant("") << true << "";
    QTest::newRow("no global key: the workspace copy")
        << true << QVariant() << true << "%WS%/regular_key.pem";
    QTest::newRow("no global key, no workspace copy: the kit's")
        << true << QVariant() << false << "%KIT%/regular_key.pem";
}

void SignStepSettingsTest::testKeyChoice()
{
    QFETCH(bool, useDefaultValues);
    QFETCH(QVariant, globalKey);
    QFETCH(bool, workspaceCopy);
    QFETCH(QString, expectedKey);

    const FilePath copy = m_kit->workspace().pathAppended(".neverraos-regular-keys");
    if (workspaceCopy)
        QVERIFY(copy.ensureWritableDir());
    for (const QString &key : QStringList{GLOBAL_KEY, GLOBAL_CERT}) {
        if (globalKey.isValid())
            m_settings->set(key, globalKey);
        else
            m_settings->remove(key);
    }

    KeyChoice choice;
    choice.buildEngine = Nork::Sdk::buildEngines().value(0);
    QVERIFY(choice.buildEngine);
    choice.useDefaultValues = useDefaultValues;
    choice.customKey = "/custom/k.pem";
    choice.customCertificate = "/custom/c.pem";

    const QString kit = Nork::Sdk::installationPath() + "/package-signing";
    const auto expand = [&](QString path) {
        return path.replace("%WS%", copy.toFSPathString()).replace("%KIT%", kit);
    };
    QCOMPARE(choice.key(), expand(expectedKey));
    QString expectedCert = expectedKey;
    expectedCert.replace("regular_key", "regular_cert").replace("k.pem", "c.pem");
    if (useDefaultValues && globalKey.isValid())
        expectedCert = globalKey.toString();
    QCOMPARE(choice.certificate(), expand(expectedCert));
}

void SignStepSettingsTest::testRestoreById()
{
    SignTestProject orvProject(m_kit->customerSignKit());
    auto customerSign = qobject_cast<CustomerSignStep *>(
        orvProject.addStep(CustomerSignStep::stepId()));
    auto rpmsignExternal = qobject_cast<RpmsignExternalStep *>(
        orvProject.addStep(RpmsignExternalStep::stepId()));
    QVERIFY(customerSign && rpmsignExternal);
    static_cast<BuildStep *>(customerSign)
        ->fromMap(asStored(customerSign,
                           {{"Tamarek.BinariesKey", "/w/b.pem"},
                            {"Tamarek.PackagesKey", "/w/k.pem"},
                            {"Tamarek.PackagesCert", "/w/c.pem"},
                            {"OrvRpmSign.SignDebugPackage", false}}));
    rpmsignExternal->setKey("/w/key.pem");
    rpmsignExternal->setCertificate("/w/cert.pem");
    rpmsignExternal->setStepEnabled(false);

    // As when the project is loaded anew: each step made by id, then given its map.
    const Store stored = orvProject.deploySteps()->toMap();
    BuildStepList restored(orvProject.target()->activeDeployConfiguration(),
                           ProjectExplorer::Constants::BUILDSTEPS_DEPLOY);
    QVERIFY(restored.fromMap(stored));
    QCOMPARE(restored.count(), 3);
    QVERIFY(qobject_cast<Orv::Internal::OrvVbtRpmBuildStep *>(restored.at(0)));
    auto restoredCustomerSign = qobject_cast<CustomerSignStep *>(restored.at(1));
    auto restoredRpmsign = qobject_cast<RpmsignExternalStep *>(restored.at(2));
    QVERIFY(restoredCustomerSign);
    QVERIFY(restoredRpmsign);
    QCOMPARE(ownKeys(mapOf(restoredCustomerSign)), ownKeys(mapOf(customerSign)));
    QCOMPARE(ownKeys(mapOf(restoredRpmsign)),
             (Store{{"Tamarek.UseDefaultValues", false},
                    {"Tamarek.Key", "/w/key.pem"},
                    {"Tamarek.Cert", "/w/cert.pem"}}));
    QVERIFY(restoredCustomerSign->stepEnabled());
    QVERIFY(!restoredRpmsign->stepEnabled());
}

template<typename T>
static T *child(QWidget *widget, const char name[])
{
    return widget->findChild<T *>(QLatin1String(name));
}

void SignStepSettingsTest::testCustomerSignWidget()
{
    SignTestProject orvProject(m_kit->customerSignKit());
    auto step = qobject_cast<CustomerSignStep *>(orvProject.addStep(CustomerSignStep::stepId()));
    QVERIFY(step);
    const QString binaries = m_kit->key("binaries-key.pem");
    step->setBinariesKey(binaries);
    step->setSignDebugPackages(false);
    const Store before = ownKeys(mapOf(step));

    std::unique_ptr<QWidget> widget(step->doCreateConfigWidget());
    QVERIFY(widget);
    auto binariesChooser = child<PathChooser>(widget.get(), "binariesKeyPathChooser");
    auto checkBox = child<QCheckBox>(widget.get(), "signDebugPackageCheckBox");
    QVERIFY(binariesChooser && checkBox);
    QCOMPARE(binariesChooser->filePath().toFSPathString(), binaries);
    QVERIFY(binariesChooser->isValid());
    QVERIFY(!checkBox->isChecked());
    QCOMPARE(ownKeys(mapOf(step)), before);

    // A path in the shared home is fine for the widget, only the run refuses it.
    const QString homeKey = m_kit->sharedHome().pathAppended("k.pem").toFSPathString();
    auto packagesKeyChooser = child<PathChooser>(widget.get(), "packagesKeyPathChooser");
    packagesKeyChooser->setPath(homeKey);
    QVERIFY(packagesKeyChooser->isValid());
    child<PathChooser>(widget.get(), "packagesClientCertPathChooser")->lineEdit()->clear();
    checkBox->click();

    const Store after = ownKeys(mapOf(step));
    QCOMPARE(after.value("Tamarek.PackagesKey").toString(), homeKey);
    QCOMPARE(after.value("Tamarek.BinariesKey").toString(), binaries);
    QCOMPARE(after.value("OrvRpmSign.SignDebugPackage").toBool(), true);
}

void SignStepSettingsTest::testRpmsignExternalWidget()
{
    m_settings->set(GLOBAL_KEY, m_kit->key("developer-key.pem"));
    m_settings->set(GLOBAL_CERT, m_kit->key("developer-cert.pem"));
    SignTestProject orvProject(m_kit->rpmsignKit());
    BuildStep *step = orvProject.addStep(RpmsignExternalStep::stepId());
    QVERIFY(step);

    std::unique_ptr<QWidget> widget(step->doCreateConfigWidget());
    auto comboBox = child<QComboBox>(widget.get(), "keysTypeComboBox");
    auto keyChooser = child<PathChooser>(widget.get(), "keyPathChooser");
    auto certificateChooser = child<PathChooser>(widget.get(), "certificatePathChooser");
    QVERIFY(comboBox && keyChooser && certificateChooser);
    QCOMPARE(comboBox->currentIndex(), 0);
    QVERIFY(keyChooser->isHidden());
    // The hidden choosers show the global pair the step signs with.
    QCOMPARE(keyChooser->filePath().toFSPathString(), m_kit->key("developer-key.pem"));
    QCOMPARE(certificateChooser->filePath().toFSPathString(), m_kit->key("developer-cert.pem"));
    QCOMPARE(ownKeys(mapOf(step)), (Store{{"Tamarek.UseDefaultValues", true}}));

    comboBox->setCurrentIndex(1);
    QCOMPARE(ownKeys(mapOf(step)),
             (Store{{"Tamarek.UseDefaultValues", false},
                    {"Tamarek.Key", ""},
                    {"Tamarek.Cert", ""}}));

    // Picking the global key itself still makes it the step's own.
    keyChooser->setPath(m_kit->key("developer-key.pem"));
    certificateChooser->setPath(m_kit->key("client-cert.pem"));
    QCOMPARE(ownKeys(mapOf(step)),
             (Store{{"Tamarek.UseDefaultValues", false},
                    {"Tamarek.Key", m_kit->key("developer-key.pem")},
                    {"Tamarek.Cert", m_kit->key("client-cert.pem")}}));

    auto health = widget->findChild<CertificateHealthLabel *>();
    QVERIFY(health);
    QSignalSpy healthUpdated(health, &CertificateHealthLabel::updated);
    comboBox->setCurrentIndex(0);
    QCOMPARE(ownKeys(mapOf(step)), (Store{{"Tamarek.UseDefaultValues", true}}));
    // Back on the global pair, its certificate is the one shown.
    QVERIFY(healthUpdated.wait(30000));
    QVERIFY(!health->isHidden());
    QVERIFY2(health->fullText().contains("CN=Tamarek Developer"), qPrintable(health->fullText()));
    healthUpdated.clear();
    m_settings->set(GLOBAL_CERT, m_kit->key("client-cert.pem"));
    emit SigningDefaults::instance().changed();
    QVERIFY(healthUpdated.wait(30000));
    QVERIFY2(health->fullText().contains("CN=Tamarek Client"), qPrintable(health->fullText()));

    comboBox->setCurrentIndex(1);
    QCOMPARE(ownKeys(mapOf(step)),
             (Store{{"Tamarek.UseDefaultValues", false},
                    {"Tamarek.Key", ""},
                    {"Tamarek.Cert", ""}}));
}

// A collapsed step tells which pair it signs with.
void SignStepSettingsTest::testSummary()
{
    m_settings->set(GLOBAL_KEY, m_kit->key("developer-key.pem"));
    SignTestProject orvProject(m_kit->rpmsignKit());
    auto rpmsignExternal = qobject_cast<RpmsignExternalStep *>(
        orvProject.addStep(RpmsignExternalStep::stepId()));
    auto customerSign = qobject_cast<CustomerSignStep *>(
        orvProject.addStep(CustomerSignStep::stepId()));
    QVERIFY(rpmsignExternal && customerSign);
    // The IDE asks for the summary when it makes the step's widget.
    std::unique_ptr<QWidget> rpmsignWidget(rpmsignExternal->doCreateConfigWidget());
    std::unique_ptr<QWidget> customerWidget(customerSign->doCreateConfigWidget());
    const QString rpmsign = "<b>RPM Sign (rpmsign-external):</b> ";
    const QString customer = "<b>RPM Sign (customer-sign):</b> ";

    QCOMPARE(rpmsignExternal->summaryText(), rpmsign + "Global keys (developer-key.pem)");
    m_settings->set(GLOBAL_KEY, m_kit->key("client-key.pem"));
    emit SigningDefaults::instance().changed();
    QCOMPARE(rpmsignExternal->summaryText(), rpmsign + "Global keys (client-key.pem)");
    rpmsignExternal->setKey(m_kit->key("developer-key.pem"));
    QCOMPARE(rpmsignExternal->summaryText(), rpmsign + "Custom: developer-key.pem");
    rpmsignExternal->setKey({});
    QCOMPARE(rpmsignExternal->summaryText(), rpmsign + "Custom: no key set");

    customerSign->setPackagesKey(m_kit->key("developer-key.pem"));
    QCOMPARE(customerSign->summaryText(), customer + "Packages key: developer-key.pem");
    customerSign->setPackagesKey({});
    QCOMPARE(customerSign->summaryText(), customer + "No packages key set");
}

// A kit whose engine is gone: nothing crashes, the choosers say it.
void SignStepSettingsTest::testNoBuildEngine()
{
    Kit *kit = KitManager::registerKit([](Kit *kit) {
        kit->setUnexpandedDisplayName("Sign Test Kit Without Engine");
        RunDeviceTypeKitAspect::setDeviceTypeId(kit, Orv::Constants::DEVICE_TYPE);
        Orv::Internal::OrvSdkKitAspectFactory::setBuildTarget(kit, "No Such Engine", "Target");
    });
    QVERIFY(kit);
    {
        SignTestProject orvProject(kit);
        BuildStep *customerSign = orvProject.addStep(CustomerSignStep::stepId());
        BuildStep *rpmsignExternal = orvProject.addStep(RpmsignExternalStep::stepId());
        QVERIFY(customerSign && rpmsignExternal);
        // The run reports the missing engine, so the deploy is not stopped before it.
        QVERIFY(customerSign->init());
        QVERIFY(rpmsignExternal->init());

        qobject_cast<CustomerSignStep *>(customerSign)->setBinariesKey("/w/b.pem");
        std::unique_ptr<QWidget> customerWidget(customerSign->doCreateConfigWidget());
        for (const char *name :
             {"binariesKeyPathChooser", "packagesKeyPathChooser", "packagesCertPathChooser"}) {
            QVERIFY2(!child<PathChooser>(customerWidget.get(), name)->isValid(), name);
        }

        std::unique_ptr<QWidget> rpmsignWidget(rpmsignExternal->doCreateConfigWidget());
        child<QComboBox>(rpmsignWidget.get(), "keysTypeComboBox")->setCurrentIndex(1);
        auto keyChooser = child<PathChooser>(rpmsignWidget.get(), "keyPathChooser");
        keyChooser->setPath("/w/k.pem");
        QVERIFY(!keyChooser->isValid());
        QVERIFY(!child<PathChooser>(rpmsignWidget.get(), "certificatePathChooser")->isValid());
    }
    KitManager::deregisterKit(kit);
}

TAMAREK_TEST(SignStepSettingsTest)

} // namespace Tamarek::Internal

#include "tst_signstepsettings.moc"
