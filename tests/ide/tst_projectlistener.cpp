// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtestproject.h"
#include "tamarektests.h"
#include "testkit.h"

#include "customersignstep.h"
#include "projectlistener.h"
#include "rpmsignexternalstep.h"
#include "tamarekplugin.h"

#include <extensionsystem/pluginmanager.h>
#include <extensionsystem/pluginspec.h>
#include <neverraos/orvvbtrpmbuildstep.h>
#include <projectexplorer/buildsteplist.h>
#include <projectexplorer/projectexplorerconstants.h>
#include <projectexplorer/target.h>
#include <utils/algorithm.h>

#include <QElapsedTimer>
#include <QtTest>

using namespace Orv::Testing;
using namespace ProjectExplorer;
using namespace Tamarek::Testing;
using namespace Utils;

namespace Tamarek::Internal {

// The plug-in's own listener is paused, so that a test sees only the one it made.
class ProjectListenerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void testAddSignStep_data();
    void testAddSignStep();
    void testQuietPeriod();
    void testQueuedTargetGone_data();
    void testQueuedTargetGone();

private:
    static void fireTimer(ProjectListener &listener);

    TamarekPlugin *m_plugin = nullptr;
    std::unique_ptr<TestKit> m_testKit;
};

static const QHash<QString, Id> &stepIds()
{
    static const QHash<QString, Id> ids{{"rpm", Orv::Internal::OrvVbtRpmBuildStep::stepId()},
                                        {"process", ProjectExplorer::Constants::CUSTOM_PROCESS_STEP},
                                        {"rpmsign", RpmsignExternalStep::stepId()},
                                        {"customer", CustomerSignStep::stepId()}};
    return ids;
}

static QStringList stepKinds(const BuildStepList *stepList)
{
    return Utils::transform(stepList->steps(), [](const BuildStep *step) {
        // The customer-sign step made by the listener starts with its settings disabled.
        return QString(stepIds().key(step->id()) + (step->isEnabled() ? "" : " (disabled)"));
    });
}

// Without the wait: the event that the quiet-period timer sends.
void ProjectListenerTest::fireTimer(ProjectListener &listener)
{
    QVERIFY(listener.m_updateTimer.isActive());
    QTimerEvent event(listener.m_updateTimer.timerId());
    listener.timerEvent(&event);
}

void ProjectListenerTest::initTestCase()
{
    m_plugin = qobject_cast<TamarekPlugin *>(
        Utils::findOrDefault(ExtensionSystem::PluginManager::plugins(),
                             Utils::equal(&ExtensionSystem::PluginSpec::id, QString("tamarek")))
            ->plugin());
    QVERIFY(m_plugin && m_plugin->m_projectListener);
    m_plugin->m_projectListener.reset();
    m_testKit = std::make_unique<TestKit>(QList<TestEngine>{
        {"Listener Engine",
         {{"T-rpmsign", {"rpmsign-external", "openssl"}, {}},
          {"T-customer", {"customer-sign", "vyxcert-cli"}, {}},
          {"T-both", {"customer-sign", "rpmsign-external"}, {}},
          {"T-none", {"openssl", "Rpmsign-External"}, {}}},
         true}});
    QVERIFY2(m_testKit->isLoaded(), qPrintable(m_testKit->errorString()));
}

void ProjectListenerTest::cleanupTestCase()
{
    m_testKit.reset();
    if (m_plugin)
        m_plugin->extensionsInitialized();
}

void ProjectListenerTest::testAddSignStep_data()
{
    QTest::addColumn<int>("target"); // of the test kit's engine
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");

    const QStringList rpm{"rpm"};
    QTest::newRow("rpmsign-external") << 0 << rpm << QStringList{"rpm", "rpmsign"};
    QTest::newRow("customer-sign") << 1 << rpm << QStringList{"rpm", "customer (disabled)"};
    QTest::newRow("both tools: rpmsign-external") << 2 << rpm << QStringList{"rpm", "rpmsign"};
    QTest::newRow("no tool (case-sensitive names)") << 3 << rpm << rpm;
    QTest::newRow("RPM step last") << 0 << QStringList{"process", "rpm"}
                                   << QStringList{"process", "rpm", "rpmsign"};
    QTest::newRow("behind the first RPM step") << 0 << QStringList{"rpm", "process", "rpm"}
                                               << QStringList{"rpm", "rpmsign", "process", "rpm"};
    QTest::newRow("no RPM step") << 0 << QStringList{"process"} << QStringList{"process"};
    QTest::newRow("the other sign step already there")
        << 0 << QStringList{"customer", "rpm"} << QStringList{"customer", "rpm"};
}

void ProjectListenerTest::testAddSignStep()
{
    QFETCH(int, target);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);

    ProjectListener listener;
    SignTestProject project(m_testKit->kit(0, target));
    BuildStepList *steps = project.deploySteps();
    QVERIFY(steps);
    while (steps->count() > 0)
        steps->removeStep(0);
    for (const QString &kind : before)
        steps->appendStep(stepIds().value(kind));

    // Queued twice: the second run finds the step and adds none.
    emit project.target()->parsingFinished(true);
    emit project.target()->parsingFinished(true);
    fireTimer(listener);
    QCOMPARE(stepKinds(steps), after);
    QVERIFY(listener.m_pendingTargets.isEmpty());
}

// With the real timer: one update after the last parse of a burst, which puts
// back a step that the user deleted.
void ProjectListenerTest::testQuietPeriod()
{
    ProjectListener listener;
    SignTestProject project(m_testKit->kit(0, 0));
    BuildStepList *steps = project.deploySteps();
    QVERIFY(steps);
    QSignalSpy inserted(steps, &BuildStepList::stepInserted);
    QVERIFY(inserted.wait(10000)); // after the project's own first parse
    QVERIFY(steps->removeStep(1));
    inserted.clear();

    QElapsedTimer sinceLastParse;
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        emit project.target()->parsingFinished(true);
        sinceLastParse.start();
    }
    QVERIFY(inserted.wait(10000));
    QVERIFY(sinceLastParse.elapsed() >= 1000);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(stepKinds(steps), QStringList({"rpm", "rpmsign"}));
}

void ProjectListenerTest::testQueuedTargetGone_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("project closed") << "close";
    QTest::newRow("target removed") << "remove";
    QTest::newRow("engine and its kits gone") << "engine";
}

void ProjectListenerTest::testQueuedTargetGone()
{
    QFETCH(QString, how);

    auto ownKit = std::make_unique<TestKit>();
    QVERIFY2(ownKit->isLoaded(), qPrintable(ownKit->errorString()));
    ProjectListener listener;
    auto project = std::make_unique<SignTestProject>(ownKit->kit());
    QPointer<Target> target = project->target();
    QVERIFY(target);
    emit target->parsingFinished(true);

    if (how == "close") {
        project.reset();
        QVERIFY(listener.m_pendingTargets.isEmpty());
    } else if (how == "remove") {
        QVERIFY(project->project()->removeTarget(target));
    } else {
        ownKit.reset();
    }
    QVERIFY(!target);
    fireTimer(listener);
    QVERIFY(listener.m_pendingTargets.isEmpty());
}

TAMAREK_TEST(ProjectListenerTest)

} // namespace Tamarek::Internal

#include "tst_projectlistener.moc"
