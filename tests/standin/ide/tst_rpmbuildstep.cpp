// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "neverraostests.h"
#include "testkit.h"

#include <neverraos/neverraosconstants.h>
#include <neverraos/orvproject.h>
#include <neverraos/orvsdkkitaspect.h>
#include <neverraos/orvsettings.h>
#include <neverraos/orvvbtrpmbuildstep.h>

#include <projectexplorer/buildmanager.h>
#include <projectexplorer/buildsteplist.h>
#include <projectexplorer/deployconfiguration.h>
#include <projectexplorer/devicesupport/devicekitaspects.h>
#include <projectexplorer/kit.h>
#include <projectexplorer/kitmanager.h>
#include <projectexplorer/processparameters.h>
#include <projectexplorer/target.h>
#include <projectexplorer/task.h>

#include <utils/commandline.h>

#include <QSignalSpy>
#include <QtTest>

using namespace Orv::Testing;
using namespace ProjectExplorer;
using Utils::FilePath;

namespace Orv::Internal {

const char EXAMPLE_RECIPE[] = NEVERRAOS_EXAMPLE_DIR "/example.rpmrecipe";

// An OrvProcessStep as a step of another plug-in uses it.
class ProbeStep final : public OrvProcessStep
{
public:
    explicit ProbeStep(BuildStepList *stepList)
        : OrvProcessStep(stepList, "Orv.Test.ProbeStep")
    {}

    using OrvProcessStep::init;
    using OrvProcessStep::setCommandLineProvider;
    using OrvProcessStep::setWorkingDirectoryProvider;
};

// A kit of the device type made by the test, not from the configuration.
class RegisteredKit
{
public:
    RegisteredKit(const QString &engine, const QString &target)
    {
        m_kit = KitManager::registerKit([&](Kit *kit) {
            kit->setUnexpandedDisplayName("RPM Build Test Kit");
            RunDeviceTypeKitAspect::setDeviceTypeId(kit, Constants::DEVICE_TYPE);
            OrvSdkKitAspectFactory::setBuildTarget(kit, engine, target);
        });
    }
    ~RegisteredKit() { KitManager::deregisterKit(m_kit); }
    Kit *kit() const { return m_kit; }

private:
    Kit *m_kit = nullptr;
};

class RpmBuildStepTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void testDeployBuildsPackages();
    void testInitFails_data();
    void testInitFails();
    void testProcessStepInit_data();
    void testProcessStepInit();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
};

static BuildStep *firstDeployStep(Project *project)
{
    Target *target = project->activeTarget();
    if (!target || !target->activeDeployConfiguration())
        return nullptr;
    return target->activeDeployConfiguration()->stepList()->steps().value(0);
}

static QStringList fileNames(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths)
        names << QFileInfo(path).fileName();
    return names;
}

void RpmBuildStepTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
}

void RpmBuildStepTest::cleanup()
{
    m_folder.reset();
}

void RpmBuildStepTest::testDeployBuildsPackages()
{
    if (!OrvSettings::norkPath().isExecutableFile())
        QSKIP("The kit's command-line tool is not built; build the whole tree.");
    if (!QFileInfo(TestKit::currentTargetRoot()).isDir())
        QSKIP("The build target's root is missing; run scripts/env.sh --setup.");

    TestKit testKit;
    QVERIFY2(testKit.isLoaded(), qPrintable(testKit.errorString()));
    Kit *kit = testKit.kit();
    QVERIFY(kit);
    // The engine sees its recipe only in a shared folder, as a user's project must be.
    const FilePath folder = testKit.sharedSrcPath().pathAppended("example");
    const FilePath recipe = folder.pathAppended("example.rpmrecipe");
    QVERIFY(folder.ensureWritableDir());
    QVERIFY(FilePath::fromString(EXAMPLE_RECIPE).copyFile(recipe));
    TestProject testProject(folder, recipe, {kit});
    testProject.open();

    auto step = dynamic_cast<OrvVbtRpmBuildStep *>(firstDeployStep(testProject.project()));
    QVERIFY(step);
    QCOMPARE(step->id(), OrvVbtRpmBuildStep::stepId());
    QVERIFY(step->outputDirectory().isChildOf(testKit.sharedSrcPath()));

    const FilePath stale = step->outputDirectory().pathAppended("RPMS/noarch/stale-0-0.noarch.rpm");
    QVERIFY(stale.parentDir().ensureWritableDir());
    QVERIFY(stale.writeFileContents("not a package"));

    QStringList output;
    connect(step, &BuildStep::addOutput, this, [&output](const QString &text) { output << text; });
    const QStringList expected{"tamarek-example-1.0-1.noarch.rpm",
                               "tamarek-example-debuginfo-1.0-1.noarch.rpm"};

    // A second run must list its own packages once, not add to the first's.
    for (int run = 1; run <= 2; ++run) {
        output.clear();
        QSignalSpy finished(BuildManager::instance(), &BuildManager::buildQueueFinished);
        BuildManager::deployProjects({testProject.project()});
        if (finished.isEmpty())
            QVERIFY(finished.wait(180000));
        QVERIFY2(finished.first().first().toBool(), qPrintable(output.join("")));

        const QStringList packages = step->packages();
        QCOMPARE(fileNames(packages), expected);
        QCOMPARE(step->deployablePackagesFileNames(), packages);
        for (const QString &package : packages) {
            QVERIFY(QFileInfo(package).isFile());
            QVERIFY(FilePath::fromString(package).isChildOf(step->outputDirectory()));
            QVERIFY2(output.join("").contains(package), qPrintable(package));
        }
    }
    QVERIFY(!stale.exists());
}

void RpmBuildStepTest::testInitFails_data()
{
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("recipe");
    QTest::addColumn<QString>("message");

    const QString engine = TestKit::defaultEngine().name;
    const QString target = TestKit::defaultEngine().targets.first().name;
    QTest::newRow("no build engine") << "Gone" << target << EXAMPLE_RECIPE << "has no build engine";
    QTest::newRow("no build target") << engine << "Gone" << EXAMPLE_RECIPE << "has no build target";
    QTest::newRow("recipe missing") << engine << target << "/nonexistent/x.rpmrecipe"
                                    << "cannot be read";
}

void RpmBuildStepTest::testInitFails()
{
    QFETCH(QString, engine);
    QFETCH(QString, target);
    QFETCH(QString, recipe);
    QFETCH(QString, message);

    TestKit testKit;
    QVERIFY2(testKit.isLoaded(), qPrintable(testKit.errorString()));
    RegisteredKit kit(engine, target);
    TestProject testProject(FilePath::fromString(m_folder->path()),
                            FilePath::fromString(recipe),
                            {kit.kit()});
    BuildStep *step = firstDeployStep(testProject.project());
    QVERIFY(dynamic_cast<OrvVbtRpmBuildStep *>(step));

    QSignalSpy tasks(step, &BuildStep::addTask);
    QSignalSpy output(step, &BuildStep::addOutput);
    QVERIFY(!step->init());
    QCOMPARE(tasks.size(), 1);
    const Task task = tasks.first().first().value<Task>();
    QCOMPARE(task.type, Task::Error);
    QVERIFY2(task.description().contains(message), qPrintable(task.description()));
    QCOMPARE(output.size(), 1);
    QCOMPARE(output.first().at(1).value<BuildStep::OutputFormat>(),
             BuildStep::OutputFormat::ErrorMessage);
}

void RpmBuildStepTest::testProcessStepInit_data()
{
    QTest::addColumn<bool>("knownEngine");
    QTest::addColumn<bool>("knownTarget");
    QTest::addColumn<int>("options");
    QTest::addColumn<bool>("withCommand");
    QTest::addColumn<bool>("expected");

    QTest::newRow("no build configuration, not allowed") << true << true << 0 << false << false;
    QTest::newRow("no build configuration, allowed") << true << true << 1 << false << true;
    QTest::newRow("with a command") << true << true << 1 << true << true;
    QTest::newRow("no build engine") << false << true << 1 << false << false;
    QTest::newRow("no build target") << true << false << 1 << false << false;
}

void RpmBuildStepTest::testProcessStepInit()
{
    QFETCH(bool, knownEngine);
    QFETCH(bool, knownTarget);
    QFETCH(int, options);
    QFETCH(bool, withCommand);
    QFETCH(bool, expected);

    TestKit testKit;
    QVERIFY2(testKit.isLoaded(), qPrintable(testKit.errorString()));
    const TestEngine engine = TestKit::defaultEngine();
    RegisteredKit kit(knownEngine ? engine.name : "Gone",
                      knownTarget ? engine.targets.first().name : "Gone");
    TestProject testProject(FilePath::fromString(m_folder->path()),
                            FilePath::fromString(EXAMPLE_RECIPE),
                            {kit.kit()});
    BuildStepList *stepList
        = testProject.project()->activeTarget()->activeDeployConfiguration()->stepList();
    QVERIFY(!testProject.project()->activeTarget()->activeBuildConfiguration());

    auto step = std::make_unique<ProbeStep>(stepList);
    const Utils::CommandLine command(FilePath::fromString("/bin/true"), {"--probe"});
    if (withCommand) {
        step->setCommandLineProvider([command] { return command; });
        step->setWorkingDirectoryProvider(
            [this] { return FilePath::fromString(m_folder->path()); });
    }
    QSignalSpy tasks(step.get(), &BuildStep::addTask);
    QCOMPARE(step->init(OrvProcessStep::InitOptions(options)), expected);
    QCOMPARE(tasks.size(), expected ? 0 : 1);
    QCOMPARE(step->processParameters()->command(), withCommand ? command : Utils::CommandLine());
}

NEVERRAOS_TEST(RpmBuildStepTest)

} // namespace Orv::Internal

#include "tst_rpmbuildstep.moc"
