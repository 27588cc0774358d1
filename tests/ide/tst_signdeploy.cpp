// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtestproject.h"
#include "tamarektests.h"
#include "testsupport.h"

#include "certificatehealthcache.h"
#include "certificatehealthlabel.h"
#include "customersignstep.h"
#include "rpmsignexternalstep.h"
#include "tamarekconstants.h"
#include "tamarekplugin.h"

#include <extensionsystem/pluginmanager.h>
#include <extensionsystem/pluginspec.h>
#include <neverraos/neverraosconstants.h>
#include <neverraos/orvsdkkitaspect.h>
#include <neverraos/orvsettings.h>
#include <neverraos/orvvbtrpmbuildstep.h>
#include <kitconfig.h>

#include <projectexplorer/buildmanager.h>
#include <projectexplorer/buildsteplist.h>
#include <projectexplorer/devicesupport/devicekitaspects.h>
#include <projectexplorer/kit.h>
#include <projectexplorer/kitmanager.h>
#include <projectexplorer/projectexplorerconstants.h>
#include <projectexplorer/target.h>

#include <solutions/tasking/tasktree.h>
#include <utils/algorithm.h>
#include <utils/qtcassert.h>

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

using namespace ProjectExplorer;
using namespace Tamarek::Testing;
using namespace Tasking;
using namespace Utils;
using Orv::Internal::OrvVbtRpmBuildStep;

namespace Tamarek::Internal {

const char MARKER_STEP_ID[] = "Tamarek.Test.MarkerStep";

// Stands behind the sign step: its line shows that the deploy went on.
class MarkerStep final : public BuildStep
{
public:
    MarkerStep(BuildStepList *stepList, Id id)
        : BuildStep(stepList, id)
    {}

private:
    bool init() final { return true; }
    GroupItem runRecipe() final
    {
        return Group{
            onGroupSetup([this] { emit addOutput("marker", OutputFormat::NormalMessage); })};
    }
};

class MarkerStepFactory final : public BuildStepFactory
{
public:
    MarkerStepFactory()
    {
        registerStep<MarkerStep>(MARKER_STEP_ID);
        setSupportedStepList(ProjectExplorer::Constants::BUILDSTEPS_DEPLOY);
    }
};

// Where the RPM build step stands when the sign step is made, and after.
enum class RpmStep {
    Before,         // in front, as the kit's deploy configuration has it
    AddedAfterward, // none when the sign step was made, put in front later
    Removed,        // in front when the sign step was made, removed then
    Disabled,       // in front, not run: no packages
};

// What happens to the packages' signatures right after the signing run.
enum class Tamper { None, RemoveSignatures, RemovePackages };

// When the deploy is cancelled while a sign step runs.
enum class CancelAt {
    BeforeTool,       // the keys are checked, the tool is not started yet
    PassphraseDialog, // the tool waits for the passphrase of an encrypted key
};

// Real deploys through the IDE's build manager: the kit's RPM build step, then
// a sign step, signing with the kit tool and the signing-tool stand-ins.
class SignDeployTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void testCustomerSign_data();
    void testCustomerSign();
    void testRpmsignExternal_data();
    void testRpmsignExternal();
    void testTwoRpmsignExternalSteps_data();
    void testTwoRpmsignExternalSteps();
    void testNoBuildEngine();
    void testFaults_data();
    void testFaults();
    void testCertificateWarnings_data();
    void testCertificateWarnings();
    void testCancel_data();
    void testCancel();
    void testCancelWhileCertificateIsRead();
    void testVerifyAfterSign_data();
    void testVerifyAfterSign();
    void testChecksBeforeDeploy_data();
    void testChecksBeforeDeploy();
    void testChecksBeforeDeployRunNoTool();

private:
    QString keyPath(const QString &where) const;
    BuildStep *addSignStep(SignTestProject &project, Id stepId, RpmStep rpmStep) const;
    QString outputDifference(const QList<OutputLine> &actual,
                             QStringList expected,
                             const SignTestProject &project) const;

    std::unique_ptr<MarkerStepFactory> m_markerFactory;
    std::unique_ptr<SettingsScope> m_settings;
    std::unique_ptr<SignTestKit> m_kit;
};

void SignDeployTest::initTestCase()
{
    if (!Orv::Internal::OrvSettings::norkPath().isExecutableFile())
        QSKIP("The kit's command-line tool is not built; build the whole tree.");
    if (!QFileInfo(Orv::Testing::TestKit::currentTargetRoot()).isDir())
        QSKIP("The build target's root is missing; run scripts/env.sh --setup.");
    m_markerFactory = std::make_unique<MarkerStepFactory>();
}

void SignDeployTest::cleanupTestCase()
{
    m_markerFactory.reset();
}

void SignDeployTest::init()
{
    m_settings = std::make_unique<SettingsScope>(
        QStringList{"Tamarek.GlobalSignKey", "Tamarek.GlobalSignCert", "Tamarek.DefaultSign",
                    "Tamarek.DefaultVerifyRootCertificate", "Tamarek.StopDeployOnFailure"});
    m_settings->remove("Tamarek.DefaultVerifyRootCertificate");
    m_settings->remove("Tamarek.StopDeployOnFailure");
    m_kit = std::make_unique<SignTestKit>();
    QVERIFY2(m_kit->isValid(), qPrintable(m_kit->errorString()));
    QVERIFY(m_kit->workspace().pathAppended("keys/garbage.pem").writeFileContents("no key\n"));
    QVERIFY(standinKitFolder()
                .pathAppended("ca/ca-cert.pem")
                .copyFile(m_kit->workspace().pathAppended("keys/ca-cert.pem")));
}

void SignDeployTest::cleanup()
{
    m_kit.reset();
    m_settings.reset();
}

// "keys/x.pem": in the workspace; "home/x.pem": a file that is no key in the
// shared home; "homekey/x.pem": the workspace's keys/x.pem copied into the
// shared home's .orvsdk folder; "outside/x.pem": a file in neither shared
// folder; "" stays empty.
QString SignDeployTest::keyPath(const QString &where) const
{
    // keys/link leads out of the workspace: "link/.." is the workspace's keys
    // folder only as a text.
    if (where.startsWith("keys/link/")) {
        const QString outside = m_kit->testKit().folder().pathAppended("elsewhere/deeper")
                                    .toFSPathString();
        QTC_CHECK(QDir().mkpath(outside));
        QFile::link(outside, m_kit->key("link"));
    }
    if (where.startsWith("keys/"))
        return m_kit->key(where.mid(5));
    const QString kind = where.section('/', 0, 0);
    const QString name = where.section('/', 1);
    FilePath file;
    if (kind == "home")
        file = m_kit->sharedHome().pathAppended(name);
    else if (kind == "homekey")
        file = m_kit->sharedHome().pathAppended(".orvsdk/" + name);
    else if (kind == "outside")
        file = m_kit->testKit().folder().pathAppended(name);
    else
        return where;
    QTC_CHECK(file.parentDir().ensureWritableDir());
    const bool written = kind == "homekey"
                             ? bool(FilePath::fromString(m_kit->key(name)).copyFile(file))
                             : bool(file.writeFileContents("outside\n"));
    QTC_CHECK(written);
    return file.toFSPathString();
}

BuildStep *SignDeployTest::addSignStep(SignTestProject &project, Id stepId, RpmStep rpmStep) const
{
    BuildStepList *steps = project.deploySteps();
    if (!steps || steps->count() != 1)
        return nullptr;
    if (rpmStep == RpmStep::AddedAfterward)
        steps->removeStep(0);
    BuildStep *step = project.addStep(stepId);
    if (rpmStep == RpmStep::AddedAfterward)
        steps->insertStep(0, OrvVbtRpmBuildStep::stepId());
    if (rpmStep == RpmStep::Removed)
        steps->removeStep(0);
    if (rpmStep == RpmStep::Disabled)
        steps->at(0)->setStepEnabled(false);
    project.addStep(MARKER_STEP_ID);
    return step;
}

static QString lineText(const OutputLine &line)
{
    return (line.isTask ? QString("Task") : formatName(line.format)) + ": " + line.text;
}

// Each expected line is "Format: text", with %NAMES% for the run's values; a
// line starting with "~" is a regular expression, for a tool's line.
QString SignDeployTest::outputDifference(const QList<OutputLine> &actual,
                                         QStringList expected,
                                         const SignTestProject &project) const
{
    const QStringList packages = project.rpmBuildStep() ? project.rpmBuildStep()->packages()
                                                        : QStringList();
    const QMap<QString, QString> values{{"%MAIN%", packages.value(0)},
                                        {"%DEBUG%", packages.value(1)},
                                        {"%MAINFILE%", QFileInfo(packages.value(0)).fileName()},
                                        {"%DEBUGFILE%", QFileInfo(packages.value(1)).fileName()},
                                        {"%WS%", m_kit->workspace().shortNativePath()},
                                        {"%HOME%", m_kit->sharedHome().shortNativePath()},
                                        {"%KEYS%",
                                         m_kit->workspace().pathAppended("keys").toFSPathString()},
                                        {"%URL%", Constants::PACKAGE_SIGNING_GUIDE_URL},
                                        {"%RPMSTEP%", OrvVbtRpmBuildStep::displayName()},
                                        {"%KIT%",
                                         project.target() ? project.target()->kit()->displayName()
                                                          : QString()}};
    for (QString &line : expected) {
        const bool pattern = line.startsWith('~');
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            line.replace(it.key(), pattern ? QRegularExpression::escape(it.value()) : it.value());
    }

    QStringList lines;
    for (const OutputLine &line : actual)
        lines << lineText(line);

    const auto fail = [&](const QString &why) {
        return QString("%1\nActual:\n  %2\nExpected:\n  %3")
            .arg(why, lines.join("\n  "), expected.join("\n  "));
    };
    if (lines.size() != expected.size())
        return fail("The output has the wrong number of lines.");
    for (int i = 0; i < expected.size(); ++i) {
        const QString &want = expected.at(i);
        if (want.startsWith('~')) {
            if (!QRegularExpression("^" + want.mid(1) + "$").match(lines.at(i)).hasMatch())
                return fail(QString("Line %1 does not match.").arg(i + 1));
        } else if (lines.at(i) != want) {
            return fail(QString("Line %1 differs.").arg(i + 1));
        }
    }
    return {};
}

#define verifyOutput(actual, expected, project) \
    do { \
        const QString difference = outputDifference(actual, expected, project); \
        QVERIFY2(difference.isEmpty(), qPrintable(difference)); \
    } while (false)

// The lines rpmsign-external dump writes for one package with one signature.
static QStringList dumpLines(const QString &package, const QString &group)
{
    return {"~Stdout: " + package,
            "~Stdout: Subject: .*",
            "~Stdout: Group: " + group,
            "~Stdout: Subgroup: .*",
            "~Stdout: Key ID: [0-9A-F]+",
            "~Stdout: Signature: .+"};
}

static QStringList signatureFiles(const QString &package)
{
    return QDir(package + ".sig").entryList({"*.cms.pem"}, QDir::Files, QDir::Name);
}

void SignDeployTest::testCustomerSign_data()
{
    QTest::addColumn<QStringList>("keys"); // binaries key, packages key, cert, client cert
    QTest::addColumn<bool>("signDebugPackages");
    QTest::addColumn<Packages>("packages");
    QTest::addColumn<RpmStep>("rpmStep");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("signatures"); // "main"/"debug" with their signature count

    const QStringList withClient{"keys/binaries-key.pem",
                                 "keys/developer-key.pem",
                                 "keys/developer-cert.pem",
                                 "keys/developer-client-cert.pem"};
    QStringList withoutClient = withClient;
    withoutClient[3] = "";
    const QString signing = "NormalMessage: Signing RPM package...";
    const QString completed = "NormalMessage: Package sign completed successfully.";
    const QString notSigned = "Task: Warning: Packages were not signed by the step "
                              "\"RPM Sign (customer-sign)\".";
    // Told when the deploy starts.
    const QString notSet
        = "Task: Error: A key or certificate that the step signs with is not set.";
    const QString outside = "~Task: Error: The file .*/%1 is not inside the folders shared "
                            "with the build engine\\.";

    QTest::newRow("client certificate, debug packages signed too")
        << withClient << true << Packages::MainAndDebug << RpmStep::Before
        << QStringList{signing,
                       "~Stdout: %MAIN%: signed \\(developer and client\\)",
                       "~Stdout: %DEBUG%: signed \\(developer and client\\)",
                       completed}
        << QStringList{"main 2", "debug 2"};
    QTest::newRow("no client certificate, debug packages left out")
        << withoutClient << false << Packages::MainAndDebug << RpmStep::Before
        << QStringList{signing, "~Stdout: %MAIN%: signed \\(developer\\)", completed}
        << QStringList{"main 1", "debug 0"};
    QTest::newRow("binaries key empty")
        << QStringList{"", withClient[1], withClient[2], withClient[3]} << true
        << Packages::MainAndDebug << RpmStep::Before
        << QStringList{notSet, signing, "ErrorMessage: Error: keys and certificate can't be empty",
                       notSigned}
        << QStringList{"main 0", "debug 0"};
    QTest::newRow("packages certificate empty, no RPM build step: only the keys told")
        << QStringList{withClient[0], withClient[1], "", ""} << true << Packages::MainAndDebug
        << RpmStep::AddedAfterward
        << QStringList{notSet, signing, "ErrorMessage: Error: keys and certificate can't be empty",
                       notSigned}
        << QStringList{"main 0", "debug 0"};
    QTest::newRow("keys in the shared home, where new steps take them from")
        << QStringList{"homekey/binaries-key.pem",
                       "homekey/developer-key.pem",
                       "homekey/developer-cert.pem",
                       ""}
        << true << Packages::MainOnly << RpmStep::Before
        << QStringList{signing, "~Stdout: %MAIN%: signed \\(developer\\)", completed}
        << QStringList{"main 1"};
    QTest::newRow("packages key outside both shared folders")
        << QStringList{withClient[0], "outside/packages-key.pem", withClient[2], ""} << true
        << Packages::MainAndDebug << RpmStep::Before
        << QStringList{outside.arg("packages-key\\.pem"),
                       signing,
                       "ErrorMessage: Error: keys and certificate must be inside "
                       "shared folders: %HOME%, %WS%",
                       notSigned}
        << QStringList{"main 0", "debug 0"};
    QTest::newRow("client certificate outside the shared folders: told only when the deploy starts")
        << QStringList{withClient[0], withClient[1], withClient[2], "outside/client.pem"}
        << true << Packages::MainOnly << RpmStep::Before
        << QStringList{outside.arg("client\\.pem"),
                       signing,
                       "~ErrorMessage: Warning: The certificate .*/client\\.pem can't be read: "
                       "Unable to load certificate",
                       "~Task: Warning: The certificate .*/client\\.pem can't be read: "
                       "Unable to load certificate",
                       "~Stderr: customer-sign: packages client certificate .* does not "
                       "exist",
                       "ErrorMessage: Error: Packages were not signed: the signing tool ended "
                       "with exit code 1.",
                       notSigned}
        << QStringList{"main 0"};
    QTest::newRow("RPM build step put in front afterward")
        << withClient << true << Packages::MainAndDebug << RpmStep::AddedAfterward
        << QStringList{signing, "ErrorMessage: Error: No previous \"%RPMSTEP%\" step found", notSigned}
        << QStringList{"main 0", "debug 0"};
    QTest::newRow("RPM build step removed after the sign step was made")
        << withClient << true << Packages::MainAndDebug << RpmStep::Removed
        << QStringList{signing, "ErrorMessage: Error: No previous \"%RPMSTEP%\" step found", notSigned}
        << QStringList();
    QTest::newRow("RPM build step did not run: no packages")
        << withClient << true << Packages::MainAndDebug << RpmStep::Disabled
        << QStringList{signing, "ErrorMessage: Error: no package for sign found", notSigned} << QStringList();
    QTest::newRow("only debug packages built, none to sign")
        << withClient << false << Packages::DebugOnly << RpmStep::Before
        << QStringList{signing, "ErrorMessage: Error: no package for sign found", notSigned}
        << QStringList{"debug 0"};
    QTest::newRow("tool fails: packages key is not a key")
        << QStringList{withClient[0], "keys/garbage.pem", withClient[2], ""} << true
        << Packages::MainOnly << RpmStep::Before
        << QStringList{signing,
                       "~Stderr: customer-sign: packages key %KEYS%/garbage\\.pem is "
                       "not a private key",
                       "ErrorMessage: Error: Packages were not signed: the signing tool ended "
                       "with exit code 1.",
                       notSigned}
        << QStringList{"main 0"};
}

void SignDeployTest::testCustomerSign()
{
    QFETCH(QStringList, keys);
    QFETCH(bool, signDebugPackages);
    QFETCH(Packages, packages);
    QFETCH(RpmStep, rpmStep);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, signatures);

    SignTestProject project(m_kit->customerSignKit(), packages);
    auto step = qobject_cast<CustomerSignStep *>(
        addSignStep(project, CustomerSignStep::stepId(), rpmStep));
    QVERIFY(step);
    step->setBinariesKey(keyPath(keys.at(0)));
    step->setPackagesKey(keyPath(keys.at(1)));
    step->setPackagesCert(keyPath(keys.at(2)));
    step->setPackagesClientCert(keyPath(keys.at(3)));
    step->setSignDebugPackages(signDebugPackages);

    StepOutput output(step);
    StepOutput marker(project.deploySteps()->steps().last());
    QVERIFY(project.deploy());
    verifyOutput(output.lines(), expected, project);
    QCOMPARE(marker.lines().size(), 1);

    const QStringList built = project.rpmBuildStep() ? project.rpmBuildStep()->packages()
                                                     : QStringList();
    for (const QString &entry : signatures) {
        const QString kind = entry.section(' ', 0, 0);
        const QString package = Utils::findOrDefault(built, [&kind](const QString &path) {
            return path.contains("debuginfo") == (kind == "debug");
        });
        QVERIFY2(!package.isEmpty(), qPrintable(entry));
        QCOMPARE(signatureFiles(package).size(), entry.section(' ', 1).toInt());
    }
}

void SignDeployTest::testRpmsignExternal_data()
{
    QTest::addColumn<QVariant>("globalKey"); // invalid: absent from the settings
    QTest::addColumn<QVariant>("globalCert");
    QTest::addColumn<QStringList>("customPair"); // empty: the global pair is used
    QTest::addColumn<Packages>("packages");
    QTest::addColumn<RpmStep>("rpmStep");
    QTest::addColumn<Tamper>("tamper");
    QTest::addColumn<QStringList>("expected");

    const QString signing = "NormalMessage: Signing RPM package...";
    const QString completed = "NormalMessage: Package sign completed successfully.";
    const QString developerNote = "Stderr: Note: Packages %1 signed with developer key, use is "
                                  "possible only for development purposes. Read more: %URL%";
    const QString notSignedNote = "Stderr: Note: Packages %1 is not signed. Deployment to the "
                                  "device is not possible. Read more: %URL%";
    const QString notSigned = "Task: Warning: Packages were not signed by the step "
                              "\"RPM Sign (rpmsign-external)\".";
    const QString notSet
        = "Task: Error: A key or certificate that the step signs with is not set.";
    const QVariant absent;

    QTest::newRow("regular pair: a developer note per package, by file name")
        << absent << absent << QStringList() << Packages::MainAndDebug << RpmStep::Before
        << Tamper::None
        << QStringList{signing, "~Stdout: %MAIN%: signed", "~Stdout: %DEBUG%: signed", completed}
               + dumpLines("%MAIN%", "developer") + dumpLines("%DEBUG%", "developer")
               + QStringList{developerNote.arg("%MAINFILE%"), developerNote.arg("%DEBUGFILE%")};
    QTest::newRow("one package: the note names it as built")
        << absent << absent << QStringList() << Packages::MainOnly << RpmStep::Before
        << Tamper::None
        << QStringList{signing, "~Stdout: %MAIN%: signed", completed}
               + dumpLines("%MAIN%", "developer") + QStringList{developerNote.arg("%MAIN%")};
    QTest::newRow("global pair of the client group: no note")
        << QVariant("keys/client-key.pem") << QVariant("keys/client-cert.pem") << QStringList()
        << Packages::MainAndDebug << RpmStep::Before << Tamper::None
        << QStringList{signing, "~Stdout: %MAIN%: signed", "~Stdout: %DEBUG%: signed", completed}
               + dumpLines("%MAIN%", "client") + dumpLines("%DEBUG%", "client");
    QTest::newRow("custom pair over the global one")
        << QVariant("keys/client-key.pem") << QVariant("keys/client-cert.pem")
        << QStringList{"keys/developer-key.pem", "keys/developer-cert.pem"} << Packages::MainOnly
        << RpmStep::Before << Tamper::None
        << QStringList{signing, "~Stdout: %MAIN%: signed", completed}
               + dumpLines("%MAIN%", "developer") + QStringList{developerNote.arg("%MAIN%")};
    QTest::newRow("signatures gone before the dump: not-signed notes")
        << absent << absent << QStringList() << Packages::MainAndDebug << RpmStep::Before
        << Tamper::RemoveSignatures
        << QStringList{signing,
                       "~Stdout: %MAIN%: signed",
                       "~Stdout: %DEBUG%: signed",
                       completed,
                       "~Stdout: %MAIN%",
                       "~Stdout: %DEBUG%",
                       notSignedNote.arg("%MAINFILE%"),
                       notSignedNote.arg("%DEBUGFILE%")};
    QTest::newRow("dump fails")
        << absent << absent << QStringList() << Packages::MainOnly << RpmStep::Before
        << Tamper::RemovePackages
        << QStringList{signing,
                       "~Stdout: %MAIN%: signed",
                       completed,
                       "~Stderr: rpmsign-external: package %MAIN% does not exist",
                       "Stderr: Failed to verify signature dump"};
    QTest::newRow("key named through a link and \"..\": signed with the path checked")
        << absent << absent
        << QStringList{"keys/link/../developer-key.pem", "keys/developer-cert.pem"}
        << Packages::MainOnly << RpmStep::Before << Tamper::None
        << QStringList{signing, "~Stdout: %MAIN%: signed", completed}
               + dumpLines("%MAIN%", "developer") + QStringList{developerNote.arg("%MAIN%")};
    QTest::newRow("global key present but empty")
        << QVariant("") << QVariant("keys/developer-cert.pem") << QStringList()
        << Packages::MainOnly << RpmStep::Before << Tamper::None
        << QStringList{notSet, signing, "ErrorMessage: Error: key and certificate can't be empty",
                       notSigned};
    QTest::newRow("custom certificate empty")
        << absent << absent << QStringList{"keys/developer-key.pem", ""} << Packages::MainOnly
        << RpmStep::Before << Tamper::None
        << QStringList{notSet, signing, "ErrorMessage: Error: key and certificate can't be empty",
                       notSigned};
    QTest::newRow("custom key in the shared home, outside the workspace")
        << absent << absent << QStringList{"home/key.pem", "keys/developer-cert.pem"}
        << Packages::MainOnly << RpmStep::Before << Tamper::None
        << QStringList{"~Task: Error: The file .*/key\\.pem is not inside the folders shared "
                       "with the build engine\\.",
                       signing,
                       "ErrorMessage: Error: key and certificate must be inside "
                       "workspace folder: %WS%",
                       notSigned};
    QTest::newRow("RPM build step put in front afterward")
        << absent << absent << QStringList() << Packages::MainOnly << RpmStep::AddedAfterward
        << Tamper::None
        << QStringList{signing, "ErrorMessage: Error: No previous \"%RPMSTEP%\" step found", notSigned};
    QTest::newRow("RPM build step removed after the sign step was made")
        << absent << absent << QStringList() << Packages::MainOnly << RpmStep::Removed
        << Tamper::None
        << QStringList{signing, "ErrorMessage: Error: No previous \"%RPMSTEP%\" step found", notSigned};
    QTest::newRow("RPM build step did not run: no packages")
        << absent << absent << QStringList() << Packages::MainOnly << RpmStep::Disabled
        << Tamper::None << QStringList{signing, "ErrorMessage: Error: no package for sign found", notSigned};
    QTest::newRow("debug packages are signed: no filter")
        << absent << absent << QStringList() << Packages::DebugOnly << RpmStep::Before
        << Tamper::None
        << QStringList{signing, "~Stdout: %MAIN%: signed", completed}
               + dumpLines("%MAIN%", "developer") + QStringList{developerNote.arg("%MAIN%")};
    QTest::newRow("tool fails: the key is not a key")
        << absent << absent << QStringList{"keys/garbage.pem", "keys/developer-cert.pem"}
        << Packages::MainOnly << RpmStep::Before << Tamper::None
        << QStringList{signing,
                       "~Stderr: rpmsign-external: key %KEYS%/garbage\\.pem is not a "
                       "private key",
                       "ErrorMessage: Error: Packages were not signed: the signing tool ended "
                       "with exit code 1.",
                       notSigned};
}

void SignDeployTest::testRpmsignExternal()
{
    QFETCH(QVariant, globalKey);
    QFETCH(QVariant, globalCert);
    QFETCH(QStringList, customPair);
    QFETCH(Packages, packages);
    QFETCH(RpmStep, rpmStep);
    QFETCH(Tamper, tamper);
    QFETCH(QStringList, expected);

    const auto setGlobal = [this](const QString &key, const QVariant &value) {
        if (value.isValid())
            m_settings->set(key, keyPath(value.toString()));
        else
            m_settings->remove(key);
    };
    setGlobal("Tamarek.GlobalSignKey", globalKey);
    setGlobal("Tamarek.GlobalSignCert", globalCert);
    // As the plug-in does at start for every engine.
    for (ExtensionSystem::PluginSpec *pluginSpec : ExtensionSystem::PluginManager::plugins()) {
        if (auto plugin = qobject_cast<TamarekPlugin *>(pluginSpec->plugin()))
            plugin->onSharedSrcPathChanged(m_kit->workspace(), false);
    }

    SignTestProject project(m_kit->rpmsignKit(), packages);
    auto step = qobject_cast<RpmsignExternalStep *>(
        addSignStep(project, RpmsignExternalStep::stepId(), rpmStep));
    QVERIFY(step);
    if (!customPair.isEmpty()) {
        step->setKey(keyPath(customPair.at(0)));
        step->setCertificate(keyPath(customPair.at(1)));
    }

    StepOutput output(step);
    StepOutput marker(project.deploySteps()->steps().last());
    // The dump comes right after the completion line, in the same run of the step.
    connect(step, &BuildStep::addOutput, this, [&project, tamper](const QString &text) {
        if (tamper == Tamper::None || text != "Package sign completed successfully.")
            return;
        for (const QString &package : project.rpmBuildStep()->packages()) {
            const QString file = tamper == Tamper::RemoveSignatures ? package + ".sig" : package;
            QTC_CHECK(FilePath::fromString(file).removeRecursively());
        }
    });
    QVERIFY(project.deploy());
    verifyOutput(output.lines(), expected, project);
    QCOMPARE(marker.lines().size(), 1);
}

void SignDeployTest::testTwoRpmsignExternalSteps_data()
{
    QTest::addColumn<bool>("secondEnabled");

    QTest::newRow("both enabled: only the second reports") << true;
    QTest::newRow("second disabled: the first reports") << false;
}

void SignDeployTest::testTwoRpmsignExternalSteps()
{
    QFETCH(bool, secondEnabled);

    m_settings->set("Tamarek.GlobalSignKey", m_kit->key("developer-key.pem"));
    m_settings->set("Tamarek.GlobalSignCert", m_kit->key("developer-cert.pem"));
    SignTestProject project(m_kit->rpmsignKit(), Packages::MainOnly);
    BuildStep *first = project.addStep(RpmsignExternalStep::stepId());
    auto second = qobject_cast<RpmsignExternalStep *>(
        project.addStep(RpmsignExternalStep::stepId()));
    QVERIFY(first && second);
    second->setKey(m_kit->key("client-key.pem"));
    second->setCertificate(m_kit->key("client-cert.pem"));
    second->setStepEnabled(secondEnabled);

    StepOutput firstOutput(first);
    StepOutput secondOutput(second);
    QVERIFY(project.deploy());

    const QString signing = "NormalMessage: Signing RPM package...";
    const QString completed = "NormalMessage: Package sign completed successfully.";
    const QStringList signedOnly{signing, "~Stdout: %MAIN%: signed", completed};
    if (secondEnabled) {
        verifyOutput(firstOutput.lines(), signedOnly, project);
        // The second signature comes after the first: both groups, so no note.
        const QStringList expected = signedOnly + dumpLines("%MAIN%", "developer")
                                     + dumpLines("", "client").mid(1);
        verifyOutput(secondOutput.lines(), expected, project);
    } else {
        const QStringList expected = signedOnly + dumpLines("%MAIN%", "developer")
                                     + QStringList{"Stderr: Note: Packages %MAIN% signed with "
                                                   "developer key, use is possible only for "
                                                   "development purposes. Read more: %URL%"};
        verifyOutput(firstOutput.lines(), expected, project);
        QCOMPARE(secondOutput.lines().size(), 0);
    }
}

// A kit whose engine is gone: each sign step says so and the deploy goes on.
void SignDeployTest::testNoBuildEngine()
{
    Kit *kit = KitManager::registerKit([](Kit *kit) {
        kit->setUnexpandedDisplayName("Sign Test Kit Without Engine");
        RunDeviceTypeKitAspect::setDeviceTypeId(kit, Orv::Constants::DEVICE_TYPE);
        Orv::Internal::OrvSdkKitAspectFactory::setBuildTarget(kit, "No Such Engine", "Target");
    });
    QVERIFY(kit);
    {
        SignTestProject project(kit, Packages::MainOnly);
        BuildStep *customerSign = addSignStep(project,
                                              CustomerSignStep::stepId(),
                                              RpmStep::Disabled);
        BuildStep *rpmsignExternal = project.addStep(RpmsignExternalStep::stepId(),
                                                     project.deploySteps()->count() - 1);
        QVERIFY(customerSign && rpmsignExternal);
        StepOutput customerSignOutput(customerSign);
        StepOutput rpmsignOutput(rpmsignExternal);
        StepOutput marker(project.deploySteps()->steps().last());

        QVERIFY(project.deploy());
        const QStringList expected{"NormalMessage: Signing RPM package...",
                                   "ErrorMessage: Error: No build engine found for the kit "
                                   "\"%KIT%\""};
        const QString notSigned = "Task: Warning: Packages were not signed by the step \"%1\".";
        verifyOutput(customerSignOutput.lines(),
                     expected + QStringList{notSigned.arg(CustomerSignStep::displayName())},
                     project);
        verifyOutput(rpmsignOutput.lines(),
                     expected + QStringList{notSigned.arg(RpmsignExternalStep::displayName())},
                     project);
        QCOMPARE(marker.lines().size(), 1);
    }
    KitManager::deregisterKit(kit);
}

// What goes wrong around a signing, once the packages are built.
enum class Fault {
    ExitCode,
    Crash,
    PassphraseCancelled,
    KitToolMissing,
    KitToolNotExecutable,
    HangAfterPrompt,
    HangSilent,
    TargetDeleted,
    ReadOnlyPackage,
};

// The files below a folder with their contents, to see what a run touched.
static QMap<QString, QByteArray> snapshot(const FilePath &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder.toFSPathString(),
                    QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            files.insert(file.fileName(), file.readAll() + QByteArray::number(file.permissions()));
    }
    return files;
}

void SignDeployTest::testFaults_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QStringList>("expected"); // after "Signing RPM package..."

    const QString notSigned = "Task: Warning: Packages were not signed by the step "
                              "\"RPM Sign (customer-sign)\".";
    const QString error = "ErrorMessage: Error: Packages were not signed: ";
    const QString stopped = "ErrorMessage: Package sign stopped by user";
    const auto unreadable = [](const QString &reason) {
        const QString warning = "Warning: The certificate .*/developer-cert\\.pem can't be read: "
                                + reason;
        return QStringList{"~ErrorMessage: " + warning, "~Task: " + warning};
    };

    QTest::newRow("exit code, nothing said")
        << Fault::ExitCode
        << QStringList{error + "the signing tool ended with exit code 3.", notSigned};
    QTest::newRow("crash") << Fault::Crash
                           << QStringList{error + "the signing tool crashed.", notSigned};
    QTest::newRow("passphrase cancelled")
        << Fault::PassphraseCancelled
        << QStringList{error + "signing was stopped, no passphrase was given.", notSigned};
    QTest::newRow("kit tool missing")
        << Fault::KitToolMissing
        << unreadable("Could not start .*") + QStringList{"~" + error + "Could not start .*",
                                                          notSigned};
    QTest::newRow("kit tool not executable")
        << Fault::KitToolNotExecutable
        << unreadable("Could not start .*")
               + QStringList{"~" + error + "Could not start .*ermission denied.*", notSigned};
    QTest::newRow("hangs after its prompt, deploy cancelled")
        << Fault::HangAfterPrompt << QStringList{stopped, notSigned};
    QTest::newRow("hangs silent, deploy cancelled")
        << Fault::HangSilent << QStringList{stopped, notSigned};
    QTest::newRow("build target deleted")
        << Fault::TargetDeleted
        << unreadable("nork: no build target named .*")
               + QStringList{"~Stderr: nork: no build target named \"SignTarget-armv7hl\" in "
                             "the build engine",
                             error + "the signing tool ended with exit code 127.",
                             notSigned};
    QTest::newRow("read-only package: signed, left as it was")
        << Fault::ReadOnlyPackage
        << QStringList{"~Stdout: %MAIN%: signed \\(developer\\)",
                       "NormalMessage: Package sign completed successfully."};
}

// Through a kit tool that builds the packages as the real one does and then
// fails as the row says: each fault is told, the deploy goes on unless it was
// cancelled, no tool is left running and no file is touched but the
// signatures of a signing that worked.
void SignDeployTest::testFaults()
{
    QFETCH(Fault, fault);
    QFETCH(QStringList, expected);

    const QString norkPath = Orv::Internal::OrvSettings::norkPath().toFSPathString();
    QString signing;
    switch (fault) {
    case Fault::ExitCode:
        signing = "exit 3";
        break;
    case Fault::Crash:
        signing = "kill -SEGV $$";
        break;
    case Fault::PassphraseCancelled:
        signing = "printf 'Enter pass phrase for /ws/k.pem:'; read -r -t 30 pw; exit 0";
        break;
    case Fault::HangAfterPrompt:
        signing = "printf 'Enter pass phrase for /ws/k.pem:'; read -r pw; exec sleep 600";
        break;
    case Fault::HangSilent:
        signing = "exec sleep 600";
        break;
    default:
        signing = QString("exec '%1' \"$@\"").arg(norkPath);
        break;
    }
    ToolDouble kitTool(
        QString("case \"$*\" in *rpmbuild*|*' openssl '*) exec '%1' \"$@\";; esac; %2")
            .arg(norkPath, signing));
    QVERIFY(kitTool.isValid());
    SignTestKit kit(kitTool.path());
    QVERIFY2(kit.isValid(), qPrintable(kit.errorString()));

    SignTestProject project(kit.customerSignKit(), Packages::MainOnly);
    auto step = qobject_cast<CustomerSignStep *>(
        addSignStep(project, CustomerSignStep::stepId(), RpmStep::Before));
    QVERIFY(step);
    step->setBinariesKey(kit.key("binaries-key.pem"));
    step->setPackagesKey(kit.key("developer-key.pem"));
    step->setPackagesCert(kit.key("developer-cert.pem"));

    QMap<QString, QByteArray> before;
    QString package;
    // The packages are built and the checks done when this line comes; the
    // signing starts right after.
    connect(step, &BuildStep::addOutput, this, [&](const QString &text) {
        if (text != "Signing RPM package...")
            return;
        package = project.rpmBuildStep()->packages().value(0);
        if (fault == Fault::KitToolMissing)
            QTC_CHECK(kitTool.path().removeFile());
        if (fault == Fault::KitToolNotExecutable)
            QTC_CHECK(kitTool.path().setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        if (fault == Fault::ReadOnlyPackage)
            QTC_CHECK(QFile::setPermissions(package, QFile::ReadOwner | QFile::ReadGroup));
        if (fault == Fault::TargetDeleted) {
            // As removing it in the kit's own tools would: the kit tool no longer knows it.
            Nork::KitConfig config;
            QString error;
            const QString file = kit.testKit().configurationPath().toFSPathString();
            QTC_CHECK(Nork::readKitConfig(file, &config, &error));
            config.engines.first().targets.removeLast();
            QTC_CHECK(Nork::writeKitConfig(file, config, &error));
        }
        before = snapshot(kit.workspace());
    });
    PasswordAnswerer answerer({fault == Fault::HangAfterPrompt ? QString("pass") : QString()});
    const bool hangs = fault == Fault::HangAfterPrompt || fault == Fault::HangSilent;
    if (hangs) {
        // The user gives up on a tool that does not end.
        connect(step, &BuildStep::addOutput, this, [](const QString &text) {
            if (text == "Signing RPM package...")
                QTimer::singleShot(2000, BuildManager::instance(), &BuildManager::cancel);
        });
    }

    StepOutput output(step);
    StepOutput marker(project.deploySteps()->steps().last());
    QCOMPARE(project.deploy(), !hangs);
    verifyOutput(output.lines(),
                 QStringList{"NormalMessage: Signing RPM package..."} + expected,
                 project);
    QCOMPARE(marker.lines().size(), hangs ? 0 : 1);
    QTRY_COMPARE(processesMentioning(kitTool.path().toFSPathString()), QStringList());

    QMap<QString, QByteArray> after = snapshot(kit.workspace());
    if (fault == Fault::ReadOnlyPackage) {
        QCOMPARE(signatureFiles(package).size(), 1);
        for (auto it = after.begin(); it != after.end();) {
            it = it.key().startsWith(package + ".sig/") ? after.erase(it) : std::next(it);
        }
    }
    QCOMPARE(after, before);
}

// A certificate of the developer key, issued by a CA of the test's own with
// the given validity (openssl's YYMMDDHHMMSSZ form), in the workspace.
static QString makeCertificate(const SignTestKit &kit,
                               const QString &name,
                               const QString &key,
                               const QString &startDate,
                               const QString &endDate)
{
    const QString folder = kit.workspace().pathAppended("ca-" + name).toFSPathString();
    QDir().mkpath(folder);
    const auto openssl = [&folder](const QStringList &arguments) {
        QProcess process;
        process.setWorkingDirectory(folder);
        process.start("openssl", arguments);
        return process.waitForFinished(60000) && process.exitCode() == 0;
    };
    QFile config(folder + "/ca.cnf");
    QTC_CHECK(config.open(QIODevice::WriteOnly));
    config.write("[ca]\ndefault_ca=d\n[d]\ndatabase=index.txt\nnew_certs_dir=.\nserial=serial\n"
                 "default_md=sha256\npolicy=p\n[p]\nCN=supplied\n");
    config.close();
    QFile(folder + "/index.txt").open(QIODevice::WriteOnly);
    QFile serial(folder + "/serial");
    QTC_CHECK(serial.open(QIODevice::WriteOnly) && serial.write("01\n"));
    serial.close();
    const QString certificate = folder + "/" + name + ".pem";
    const bool made = openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                               "ca-key.pem", "-subj", "/CN=Test CA " + name, "-days", "36500",
                               "-out", "ca.pem"})
                      && openssl({"req", "-new", "-key", key, "-subj", "/CN=" + name, "-out",
                                  "request.csr"})
                      && openssl({"ca", "-batch", "-config", "ca.cnf", "-cert", "ca.pem",
                                  "-keyfile", "ca-key.pem", "-in", "request.csr", "-startdate",
                                  startDate, "-enddate", endDate, "-out", certificate});
    return made ? certificate : QString();
}

void SignDeployTest::testCertificateWarnings_data()
{
    QTest::addColumn<QString>("startDate");
    QTest::addColumn<QString>("endDate");
    QTest::addColumn<bool>("otherKey");
    QTest::addColumn<QString>("warning");

    const auto inDays = [](int days) {
        return QDateTime::currentDateTimeUtc().addDays(days).toString("yyMMddHHmmss'Z'");
    };
    QTest::newRow("valid for long: no warning") << inDays(-1) << inDays(400) << false << "";
    QTest::newRow("expired") << "200101000000Z" << "200201000000Z" << false << "expired on";
    QTest::newRow("not valid yet") << inDays(3) << inDays(400) << false << "is not valid before";
    QTest::newRow("expires within 30 days") << inDays(-1) << inDays(10) << false
                                            << "expires on";
    QTest::newRow("not the key's certificate") << inDays(-1) << inDays(400) << true
                                               << "does not belong to its key";
}

// Said before the tool runs; the signing goes on as it would.
void SignDeployTest::testCertificateWarnings()
{
    QFETCH(QString, startDate);
    QFETCH(QString, endDate);
    QFETCH(bool, otherKey);
    QFETCH(QString, warning);

    const QString certificate = makeCertificate(*m_kit,
                                                "pair",
                                                m_kit->key(otherKey ? QString("client-key.pem")
                                                                    : QString("developer-key.pem")),
                                                startDate,
                                                endDate);
    QVERIFY(!certificate.isEmpty());
    SignTestProject project(m_kit->rpmsignKit(), Packages::MainOnly);
    auto step = qobject_cast<RpmsignExternalStep *>(
        addSignStep(project, RpmsignExternalStep::stepId(), RpmStep::Before));
    QVERIFY(step);
    step->setKey(m_kit->key("developer-key.pem"));
    step->setCertificate(certificate);

    StepOutput output(step);
    QVERIFY(project.deploy());
    QStringList lines;
    for (const OutputLine &line : output.lines())
        lines << lineText(line);
    QVERIFY(lines.size() > 2);
    if (warning.isEmpty()) {
        QVERIFY2(lines.filter("Warning: The certificate").isEmpty(), qPrintable(lines.join('\n')));
        return;
    }
    const QString expected = "Warning: The certificate " + certificate + " " + warning;
    QVERIFY2(lines.at(1).startsWith("ErrorMessage: " + expected), qPrintable(lines.at(1)));
    QVERIFY2(lines.at(2).startsWith("Task: " + expected), qPrintable(lines.at(2)));
}

void SignDeployTest::testCancel_data()
{
    QTest::addColumn<bool>("customerSign"); // else rpmsign-external
    QTest::addColumn<CancelAt>("cancelAt");

    QTest::newRow("customer-sign, passphrase dialog") << true << CancelAt::PassphraseDialog;
    QTest::newRow("customer-sign, before the tool") << true << CancelAt::BeforeTool;
    QTest::newRow("rpmsign-external, passphrase dialog") << false << CancelAt::PassphraseDialog;
    QTest::newRow("rpmsign-external, before the tool") << false << CancelAt::BeforeTool;
}

// Cancelling the deploy as the IDE's Cancel Build does, while the step signs:
// no crash, the tool is killed before it signs (the passphrase, typed in after
// the cancel, never reaches it), and the next deploy signs as usual.
void SignDeployTest::testCancel()
{
    QFETCH(bool, customerSign);
    QFETCH(CancelAt, cancelAt);

    const QByteArray passphrase = "cancel-passphrase";
    const QString plainKey = m_kit->key(customerSign ? QString("binaries-key.pem")
                                                        : QString("developer-key.pem"));
    const QString encryptedKey = m_kit->key("encrypted-key.pem");
    QProcess openssl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TAMAREK_TEST_PASS", QString::fromUtf8(passphrase));
    openssl.setProcessEnvironment(environment);
    openssl.start("openssl",
                  {"pkey", "-in", plainKey, "-aes256", "-passout", "env:TAMAREK_TEST_PASS",
                   "-out", encryptedKey});
    QVERIFY(openssl.waitForFinished(60000) && openssl.exitCode() == 0);

    SignTestProject project(customerSign ? m_kit->customerSignKit() : m_kit->rpmsignKit(),
                            Packages::MainOnly);
    BuildStep *step = addSignStep(project,
                                  customerSign ? CustomerSignStep::stepId()
                                               : RpmsignExternalStep::stepId(),
                                  RpmStep::Before);
    QVERIFY(step);
    if (auto customerSignStep = qobject_cast<CustomerSignStep *>(step)) {
        customerSignStep->setBinariesKey(encryptedKey);
        customerSignStep->setPackagesKey(m_kit->key("developer-key.pem"));
        customerSignStep->setPackagesCert(m_kit->key("developer-cert.pem"));
        customerSignStep->setPackagesClientCert({});
    } else {
        auto rpmsignStep = qobject_cast<RpmsignExternalStep *>(step);
        QVERIFY(rpmsignStep);
        rpmsignStep->setKey(encryptedKey);
        rpmsignStep->setCertificate(m_kit->key("developer-cert.pem"));
    }
    const QString tool = customerSign ? QString("customer-sign") : QString("rpmsign-external");

    {
        StepOutput output(step);
        StepOutput marker(project.deploySteps()->steps().last());
        GeneralMessages messages;
        // Answers only after the cancel: the zero-delay cancel comes first.
        PasswordAnswerer answerer({QString::fromUtf8(passphrase)});
        const auto cancelSoon = [] {
            QTimer::singleShot(0, BuildManager::instance(), &BuildManager::cancel);
        };
        if (cancelAt == CancelAt::PassphraseDialog) {
            connect(&answerer, &PasswordAnswerer::dialogShown, this, cancelSoon);
        } else {
            connect(step, &BuildStep::addOutput, this, [cancelSoon](const QString &text) {
                if (text == "Signing RPM package...")
                    cancelSoon();
            });
        }

        QVERIFY(!project.deploy());
        QVERIFY(!BuildManager::isBuilding());
        verifyOutput(output.lines(),
                     QStringList({"NormalMessage: Signing RPM package...",
                                  "ErrorMessage: Package sign stopped by user",
                                  "Task: Warning: Packages were not signed by the step \""
                                      + step->displayName() + "\"."}),
                     project);
        QCOMPARE(marker.lines().size(), 0);

        const QStringList runs = messages.lines().filter("[$] ").filter(" " + tool + " ");
        if (cancelAt == CancelAt::PassphraseDialog) {
            QCOMPARE(answerer.prompts().size(), 1);
            // Asked to end, the kit's tool passes the signal on into the target.
            QCOMPARE(runs.size(), 1);
            QVERIFY2(runs.first().startsWith("[$] 143\t"), qPrintable(runs.first()));
            QTRY_COMPARE(processesMentioning(encryptedKey), QStringList());
        } else {
            QCOMPARE(answerer.prompts().size(), 0);
            QCOMPARE(runs.size(), 0);
        }
        const QString package = project.rpmBuildStep()->packages().value(0);
        QVERIFY(!package.isEmpty());
        QVERIFY(!QFileInfo::exists(package + ".sig"));
        disconnect(step, &BuildStep::addOutput, this, nullptr);
    }

    // The next deploy is not stopped by the last one's cancel.
    StepOutput marker(project.deploySteps()->steps().last());
    PasswordAnswerer answerer({QString::fromUtf8(passphrase)});
    QVERIFY(project.deploy());
    QCOMPARE(answerer.prompts().size(), 1);
    QCOMPARE(marker.lines().size(), 1);
    QCOMPARE(signatureFiles(project.rpmBuildStep()->packages().value(0)).size(), 1);
}

// The check before the signing waits for openssl; a cancel ends that wait,
// and nothing is signed for the cancelled deploy.
void SignDeployTest::testCancelWhileCertificateIsRead()
{
    QTemporaryDir folder;
    const QString started = folder.filePath("started");
    ToolDouble kitTool(QString("case \"$*\" in *' openssl x509 '*)\n"
                               "  trap 'kill $!; exit 143' TERM; touch '%1'; sleep 600 & wait;;\n"
                               "esac\nexec '%2' \"$@\"")
                           .arg(started, Orv::Internal::OrvSettings::norkPath().toFSPathString()));
    QVERIFY(kitTool.isValid());
    SignTestKit kit(kitTool.path());
    QVERIFY2(kit.isValid(), qPrintable(kit.errorString()));
    SignTestProject project(kit.rpmsignKit(), Packages::MainOnly);
    auto step = qobject_cast<RpmsignExternalStep *>(
        addSignStep(project, RpmsignExternalStep::stepId(), RpmStep::Before));
    QVERIFY(step);
    step->setKey(kit.key("developer-key.pem"));
    step->setCertificate(kit.key("developer-cert.pem"));

    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (QFile::exists(started)) {
            watch.stop();
            BuildManager::cancel();
        }
    });
    watch.start(50);
    StepOutput output(step);
    QVERIFY(!project.deploy());
    verifyOutput(output.lines(),
                 QStringList({"NormalMessage: Signing RPM package...",
                              "ErrorMessage: Package sign stopped by user",
                              "Task: Warning: Packages were not signed by the step "
                              "\"RPM Sign (rpmsign-external)\"."}),
                 project);
    const QString package = project.rpmBuildStep()->packages().value(0);
    QVERIFY(!package.isEmpty());
    QVERIFY(!QFileInfo::exists(package + ".sig"));
    const QList<QStringList> calls = kitTool.calls();
    QVERIFY(std::none_of(calls.cbegin(), calls.cend(), [](const QStringList &call) {
        return call.contains("rpmsign-external");
    }));
    QTRY_COMPARE(processesMentioning(kitTool.path().toFSPathString()), QStringList());
}

// The step's own lines, the tools' left out.
static QList<OutputLine> stepLines(const QList<OutputLine> &lines)
{
    return Utils::filtered(lines, [](const OutputLine &line) {
        return line.isTask || (line.format != BuildStep::OutputFormat::Stdout
                               && line.format != BuildStep::OutputFormat::Stderr);
    });
}

void SignDeployTest::testVerifyAfterSign_data()
{
    QTest::addColumn<bool>("customerSign");
    QTest::addColumn<QString>("root"); // "global:" first: on the options page
    QTest::addColumn<bool>("stop");
    QTest::addColumn<bool>("deployed");
    QTest::addColumn<QStringList>("expected"); // the step's own lines

    const QString signing = "NormalMessage: Signing RPM package...";
    const QString completed = "NormalMessage: Package sign completed successfully.";
    const auto failed = [](const QString &package) {
        const QString error = QString("Error: %1 does not verify against developer-cert\\.pem: "
                                      "signature 1 does not verify: .+")
                                  .arg(package);
        return QStringList{"~ErrorMessage: " + error, "~Task: Error: " + error};
    };

    QTest::newRow("customer-sign, the kit's CA: both packages verify")
        << true << "keys/ca-cert.pem" << false << true
        << QStringList{signing,
                       completed,
                       "NormalMessage: Verifying signatures with ca-cert.pem...",
                       "NormalMessage: Signatures verified: 2 of 2 packages."};
    QTest::newRow("rpmsign-external, the kit's CA of the options page")
        << false << "global:keys/ca-cert.pem" << true << true
        << QStringList{signing,
                       completed,
                       "NormalMessage: Verifying signatures with ca-cert.pem...",
                       "NormalMessage: Signatures verified: 1 of 1 packages."};
    QTest::newRow("customer-sign, a wrong CA: each package told, the deploy goes on")
        << true << "keys/developer-cert.pem" << false << true
        << QStringList{signing, completed,
                       "NormalMessage: Verifying signatures with developer-cert.pem..."}
               + failed("%MAINFILE%") + failed("%DEBUGFILE%")
               + QStringList{"ErrorMessage: Signatures verified: 0 of 2 packages."};
    QTest::newRow("rpmsign-external, a wrong CA, stopping: the step fails")
        << false << "keys/developer-cert.pem" << true << false
        << QStringList{signing, completed,
                       "NormalMessage: Verifying signatures with developer-cert.pem..."}
               + failed("%MAINFILE%")
               + QStringList{"ErrorMessage: Signatures verified: 0 of 1 packages."};
    const QString noRoot = "Error: The signatures can't be verified: no CA certificate is set.";
    QTest::newRow("no CA anywhere: told before and after signing")
        << false << "" << false << true
        << QStringList{"Task: Error: No CA certificate is set to verify the signatures "
                       "against.",
                       signing, completed, "ErrorMessage: " + noRoot, "Task: Error: " + noRoot};
}

void SignDeployTest::testVerifyAfterSign()
{
    QFETCH(bool, customerSign);
    QFETCH(QString, root);
    QFETCH(bool, stop);
    QFETCH(bool, deployed);
    QFETCH(QStringList, expected);

    m_settings->set("Tamarek.StopDeployOnFailure", stop);
    if (root.startsWith("global:"))
        m_settings->set("Tamarek.DefaultVerifyRootCertificate", keyPath(root.mid(7)));
    SignTestProject project(customerSign ? m_kit->customerSignKit() : m_kit->rpmsignKit(),
                            customerSign ? Packages::MainAndDebug : Packages::MainOnly);
    auto step = qobject_cast<SignStep *>(
        addSignStep(project,
                    customerSign ? CustomerSignStep::stepId() : RpmsignExternalStep::stepId(),
                    RpmStep::Before));
    QVERIFY(step);
    if (auto customerSignStep = qobject_cast<CustomerSignStep *>(step)) {
        customerSignStep->setBinariesKey(m_kit->key("binaries-key.pem"));
        customerSignStep->setPackagesKey(m_kit->key("developer-key.pem"));
        customerSignStep->setPackagesCert(m_kit->key("developer-cert.pem"));
        customerSignStep->setPackagesClientCert(m_kit->key("developer-client-cert.pem"));
    } else if (auto rpmsignStep = qobject_cast<RpmsignExternalStep *>(step)) {
        rpmsignStep->setKey(m_kit->key("developer-key.pem"));
        rpmsignStep->setCertificate(m_kit->key("developer-cert.pem"));
    }
    step->setVerifyAfterSign(true);
    if (!root.startsWith("global:"))
        step->setVerifyRootCertificate(keyPath(root));

    StepOutput output(step);
    StepOutput marker(project.deploySteps()->steps().last());
    QCOMPARE(project.deploy(), deployed);
    verifyOutput(stepLines(output.lines()), expected, project);
    QCOMPARE(marker.lines().size(), deployed ? 1 : 0);
}

enum class Outcome { Deployed, StepFailed, NotStarted };

void SignDeployTest::testChecksBeforeDeploy_data()
{
    QTest::addColumn<bool>("customerSign");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QStringList>("expected"); // the lines before the signing starts

    const QString notStarted = "ErrorMessage: Error: The deploy is not started: the files of "
                               "the step \"%1\" have problems, listed in the Issues pane.";
    const QString rpmsign = RpmsignExternalStep::displayName();
    const QString customer = CustomerSignStep::displayName();

    QTest::newRow("expired certificate read by a widget: a warning, the deploy goes on")
        << false << "expired" << false << Outcome::Deployed
        << QStringList{"~Task: Warning: The certificate .*/pair\\.pem expired on .+"};
    QTest::newRow("expired certificate, stopping: the deploy does not start")
        << false << "expired" << true << Outcome::NotStarted
        << QStringList{"~Task: Error: The certificate .*/pair\\.pem expired on .+",
                       notStarted.arg(rpmsign)};
    QTest::newRow("missing packages key")
        << true << "missing key" << false << Outcome::Deployed
        << QStringList{"Task: Error: The file %KEYS%/missing-key.pem does not exist."};
    QTest::newRow("missing packages key, stopping")
        << true << "missing key" << true << Outcome::NotStarted
        << QStringList{"Task: Error: The file %KEYS%/missing-key.pem does not exist.",
                       notStarted.arg(customer)};
    QTest::newRow("client certificate outside the shared folders")
        << true << "client outside" << false << Outcome::Deployed
        << QStringList{"~Task: Error: The file .*/client\\.pem is not inside the folders shared "
                       "with the build engine\\."};
    QTest::newRow("CA in the shared home, which rpmsign-external does not see")
        << false << "CA in home" << false << Outcome::Deployed
        << QStringList{"~Task: Error: The file .*/ca\\.pem is not inside the folders shared "
                       "with the build engine\\."};
    QTest::newRow("nothing found before, refused when run, stopping: the step fails")
        << false << "no packages" << true << Outcome::StepFailed << QStringList();
    QTest::newRow("all well, stopping") << true << "" << true << Outcome::Deployed
                                        << QStringList();
}

void SignDeployTest::testChecksBeforeDeploy()
{
    QFETCH(bool, customerSign);
    QFETCH(QString, problem);
    QFETCH(bool, stop);
    QFETCH(Outcome, outcome);
    QFETCH(QStringList, expected);

    m_settings->set("Tamarek.StopDeployOnFailure", stop);
    SignTestProject project(customerSign ? m_kit->customerSignKit() : m_kit->rpmsignKit(),
                            Packages::MainOnly);
    auto step = qobject_cast<SignStep *>(
        addSignStep(project,
                    customerSign ? CustomerSignStep::stepId() : RpmsignExternalStep::stepId(),
                    problem == "no packages" ? RpmStep::Disabled : RpmStep::Before));
    QVERIFY(step);
    if (auto customerSignStep = qobject_cast<CustomerSignStep *>(step)) {
        customerSignStep->setBinariesKey(m_kit->key("binaries-key.pem"));
        customerSignStep->setPackagesKey(
            m_kit->key(problem == "missing key" ? QString("missing-key.pem")
                                               : QString("developer-key.pem")));
        customerSignStep->setPackagesCert(m_kit->key("developer-cert.pem"));
        customerSignStep->setPackagesClientCert(
            problem == "client outside" ? keyPath("outside/client.pem") : QString());
    } else if (auto rpmsignStep = qobject_cast<RpmsignExternalStep *>(step)) {
        QString certificate = m_kit->key("developer-cert.pem");
        if (problem == "expired") {
            certificate = makeCertificate(*m_kit,
                                          "pair",
                                          m_kit->key("developer-key.pem"),
                                          "200101000000Z",
                                          "200201000000Z");
            QVERIFY(!certificate.isEmpty());
            // As the step's widget reads it when the pair is chosen.
            CertificateHealthLabel label;
            QSignalSpy updated(&label, &CertificateHealthLabel::updated);
            label.setTarget(SignTestKit::rpmsignTarget());
            label.setPair(certificate, m_kit->key("developer-key.pem"));
            QVERIFY(updated.wait(60000));
        }
        rpmsignStep->setKey(m_kit->key("developer-key.pem"));
        rpmsignStep->setCertificate(certificate);
    }
    if (problem == "CA in home") {
        step->setVerifyAfterSign(true);
        step->setVerifyRootCertificate(keyPath("home/ca.pem"));
    }

    StepOutput output(step);
    StepOutput marker(project.deploySteps()->steps().last());
    QSignalSpy finished(BuildManager::instance(), &BuildManager::buildQueueFinished);
    BuildManager::deployProjects({project.project()});
    if (outcome == Outcome::NotStarted) {
        QVERIFY(finished.isEmpty());
        QVERIFY(!BuildManager::isBuilding());
    } else {
        QVERIFY(!finished.isEmpty() || finished.wait(300000));
        QCOMPARE(finished.first().first().toBool(), outcome == Outcome::Deployed);
    }
    QCOMPARE(marker.lines().size(), outcome == Outcome::Deployed ? 1 : 0);

    QList<OutputLine> before = output.lines();
    const qsizetype signing = Utils::indexOf(before, [](const OutputLine &line) {
        return line.text == "Signing RPM package...";
    });
    QCOMPARE(signing >= 0, outcome != Outcome::NotStarted);
    if (signing >= 0)
        before = before.mid(0, signing);
    verifyOutput(before, expected, project);
}

// What is told before a deploy needs no tool: the step's check runs none.
void SignDeployTest::testChecksBeforeDeployRunNoTool()
{
    ToolDouble kitTool(
        QString("exec '%1' \"$@\"").arg(Orv::Internal::OrvSettings::norkPath().toFSPathString()));
    QVERIFY(kitTool.isValid());
    SignTestKit kit(kitTool.path());
    QVERIFY2(kit.isValid(), qPrintable(kit.errorString()));
    SignTestProject project(kit.rpmsignKit(), Packages::MainOnly);
    auto step = qobject_cast<RpmsignExternalStep *>(
        addSignStep(project, RpmsignExternalStep::stepId(), RpmStep::Before));
    QVERIFY(step);
    const QString certificate = kit.key("developer-cert.pem");
    step->setKey(kit.key("developer-key.pem"));
    step->setCertificate(certificate);
    step->setVerifyAfterSign(true);
    step->setVerifyRootCertificate(kit.key("missing-ca.pem"));
    // Read with another key, it still tells the certificate's dates.
    CertificateCheck expired;
    expired.info = CertificateInfo{"CN=a", "CN=b", QDateTime::currentDateTimeUtc().addYears(-2),
                                   QDateTime::currentDateTimeUtc().addDays(-1)};
    expired.keyMatch = KeyMatch::Matches;
    CertificateHealthCache::instance().insert(
        CertificateFiles::of(certificate, kit.key("client-key.pem")), expired);

    StepOutput output(step);
    const qsizetype callsBefore = kitTool.calls().size();
    QVERIFY(static_cast<BuildStep *>(step)->init());
    QCOMPARE(kitTool.calls().size(), callsBefore);
    QStringList tasks;
    for (const OutputLine &line : output.lines())
        tasks << lineText(line);
    QCOMPARE(tasks.size(), 2);
    QCOMPARE(tasks.at(0), "Task: Error: The file " + kit.key("missing-ca.pem")
                              + " does not exist.");
    QVERIFY2(tasks.at(1).startsWith("Task: Warning: The certificate " + certificate
                                    + " expired on "),
             qPrintable(tasks.at(1)));
}

TAMAREK_TEST(SignDeployTest)

} // namespace Tamarek::Internal

#include "tst_signdeploy.moc"
