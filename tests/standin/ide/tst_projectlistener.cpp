// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "neverraostests.h"
#include "testkit.h"

#include <neverraos/orvproject.h>
#include <neverraos/orvprojectlistener.h>

#include <projectexplorer/devicesupport/devicekitaspects.h>
#include <projectexplorer/kit.h>
#include <projectexplorer/kitmanager.h>
#include <projectexplorer/projectexplorerconstants.h>
#include <projectexplorer/projectmanager.h>
#include <projectexplorer/target.h>

#include <QtTest>

using namespace Orv::Testing;
using namespace ProjectExplorer;
using Utils::FilePath;

namespace Orv::Internal {

class RecordingListener final : public OrvProjectListener
{
public:
    using OrvProjectListener::init;

    QList<Project *> watched;
    QList<Project *> unwatched;
    bool accept = true;

private:
    bool watchProject(Project *project) final
    {
        watched << project;
        return accept;
    }
    bool unwatchProject(Project *project) final
    {
        unwatched << project;
        return true;
    }
};

class ProjectListenerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void testWatchesKitProjectsOnly_data();
    void testWatchesKitProjectsOnly();
    void testTakesUpOpenProjects();
    void testFollowsTargets();
    void testRefusedProjectIsNotUnwatched();

private:
    std::unique_ptr<TestKit> m_testKit;
    std::unique_ptr<QTemporaryDir> m_folder;
    Kit *m_orvKit = nullptr;
    Kit *m_desktopKit = nullptr;
};

void ProjectListenerTest::initTestCase()
{
    m_testKit = std::make_unique<TestKit>();
    QVERIFY2(m_testKit->isLoaded(), qPrintable(m_testKit->errorString()));
    m_orvKit = m_testKit->kit();
    QVERIFY(m_orvKit);
    m_desktopKit = KitManager::registerKit([](Kit *kit) {
        kit->setUnexpandedDisplayName("Listener Test Desktop");
        RunDeviceTypeKitAspect::setDeviceTypeId(kit, Constants::DESKTOP_DEVICE_TYPE);
    });
    QVERIFY(m_desktopKit);
}

void ProjectListenerTest::cleanupTestCase()
{
    if (m_desktopKit)
        KitManager::deregisterKit(m_desktopKit);
    m_testKit.reset();
}

void ProjectListenerTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
}

void ProjectListenerTest::cleanup()
{
    m_folder.reset();
}

void ProjectListenerTest::testWatchesKitProjectsOnly_data()
{
    QTest::addColumn<bool>("withKitTarget");
    QTest::addColumn<bool>("withDesktopTarget");
    QTest::addColumn<bool>("expectWatched");

    QTest::newRow("kit target") << true << false << true;
    QTest::newRow("desktop target") << false << true << false;
    QTest::newRow("kit and desktop targets") << true << true << true;
    QTest::newRow("no target") << false << false << false;
}

void ProjectListenerTest::testWatchesKitProjectsOnly()
{
    QFETCH(bool, withKitTarget);
    QFETCH(bool, withDesktopTarget);
    QFETCH(bool, expectWatched);

    RecordingListener listener;
    QList<Kit *> kits;
    if (withKitTarget)
        kits << m_orvKit;
    if (withDesktopTarget)
        kits << m_desktopKit;
    TestProject testProject(FilePath::fromString(m_folder->path()), {}, kits);
    Project *project = testProject.project();

    testProject.open();
    const QList<Project *> expected = expectWatched ? QList<Project *>{project}
                                                    : QList<Project *>{};
    QCOMPARE(listener.watched, expected);
    QVERIFY(listener.unwatched.isEmpty());

    ProjectManager::removeProject(project);
    QCOMPARE(listener.watched, expected);
    QCOMPARE(listener.unwatched, expected);
}

void ProjectListenerTest::testTakesUpOpenProjects()
{
    TestProject kitProject(FilePath::fromString(m_folder->path()), {}, {m_orvKit});
    kitProject.open();
    QTemporaryDir otherFolder;
    TestProject desktopProject(FilePath::fromString(otherFolder.path()), {}, {m_desktopKit});
    desktopProject.open();

    RecordingListener listener;
    QVERIFY(listener.watched.isEmpty());
    // The constructor's own call to init, run by the event loop.
    QCoreApplication::sendPostedEvents(&listener, QEvent::MetaCall);
    QCOMPARE(listener.watched, QList<Project *>{kitProject.project()});

    listener.init();
    QCOMPARE(listener.watched, QList<Project *>{kitProject.project()});
}

void ProjectListenerTest::testFollowsTargets()
{
    RecordingListener listener;
    TestProject testProject(FilePath::fromString(m_folder->path()), {}, {m_desktopKit});
    Project *project = testProject.project();
    testProject.open();
    QVERIFY(listener.watched.isEmpty());

    Target *kitTarget = project->addTargetForKit(m_orvKit);
    QVERIFY(kitTarget);
    QCOMPARE(listener.watched, QList<Project *>{project});

    // Losing a desktop target leaves a kit project watched.
    QVERIFY(project->removeTarget(project->target(m_desktopKit)));
    QVERIFY(listener.unwatched.isEmpty());

    QVERIFY(project->removeTarget(kitTarget));
    QCOMPARE(listener.unwatched, QList<Project *>{project});

    ProjectManager::removeProject(project);
    QCOMPARE(listener.unwatched, QList<Project *>{project});
}

void ProjectListenerTest::testRefusedProjectIsNotUnwatched()
{
    RecordingListener listener;
    listener.accept = false;
    TestProject testProject(FilePath::fromString(m_folder->path()), {}, {m_orvKit});
    testProject.open();
    QCOMPARE(listener.watched, QList<Project *>{testProject.project()});

    ProjectManager::removeProject(testProject.project());
    QVERIFY(listener.unwatched.isEmpty());
}

NEVERRAOS_TEST(ProjectListenerTest)

} // namespace Orv::Internal

#include "tst_projectlistener.moc"
