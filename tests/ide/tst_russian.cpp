// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtestproject.h"
#include "tamarektests.h"

#include "customersignstepwidget.h"
#include "rpmsignexternalstep.h"
#include "signdialog.h"
#include "tamarekconstants.h"

#include <coreplugin/actionmanager/actionmanager.h>
#include <coreplugin/actionmanager/command.h>
#include <coreplugin/icore.h>
#include <projectexplorer/buildsteplist.h>

#include <QAction>
#include <QLabel>
#include <QtTest>

using namespace ProjectExplorer;
using namespace Tamarek::Testing;

namespace Tamarek::Internal {

// Run in an IDE whose language is set to Russian (tests/run-ide-tests.sh with
// TAMAREK_IDE_LANGUAGE=ru): the plug-in speaks it in its menu, forms and deploys.
class RussianTest : public QObject
{
    Q_OBJECT

private slots:
    void testMenu();
    void testForms();
    void testDeployMessage();
};

void RussianTest::testMenu()
{
    const Core::Command *command = Core::ActionManager::command(Constants::SIGN_DIALOG_ACTION_ID);
    QVERIFY(command && command->action());
    QCOMPARE(command->action()->text(), QString::fromUtf8("&Подписать пакеты"));
}

void RussianTest::testForms()
{
    CustomerSignStepWidget widget(nullptr);
    QCOMPARE(widget.findChild<QLabel *>("commandLabel")->text(), QString::fromUtf8("Команда:"));
    SignDialog dialog(Core::ICore::mainWindow());
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Подпись пакетов"));
}

void RussianTest::testDeployMessage()
{
    SignTestKit kit;
    QVERIFY2(kit.isValid(), qPrintable(kit.errorString()));
    SignTestProject project(kit.rpmsignKit(), Packages::MainOnly);
    BuildStep *step = project.addStep(RpmsignExternalStep::stepId());
    QVERIFY(step);
    // Not built: the step says so.
    project.deploySteps()->at(0)->setStepEnabled(false);
    qobject_cast<RpmsignExternalStep *>(step)->setKey(kit.key("developer-key.pem"));
    qobject_cast<RpmsignExternalStep *>(step)->setCertificate(kit.key("developer-cert.pem"));
    StepOutput output(step);
    QVERIFY(project.deploy());
    QCOMPARE(output.lines().size(), 3);
    QCOMPARE(output.lines().at(0).text, QString::fromUtf8("Подпись RPM-пакета..."));
    QCOMPARE(output.lines().at(1).text,
             QString::fromUtf8("Ошибка: не найдено пакетов для подписи"));
    QVERIFY(output.lines().at(2).isTask);
}

static const int registered = qEnvironmentVariable("TAMAREK_IDE_LANGUAGE") == "ru"
                                  ? addTestCreator([] { return new RussianTest; })
                                  : 0;

} // namespace Tamarek::Internal

#include "tst_russian.moc"
