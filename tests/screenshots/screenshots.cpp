// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "certificatehealthlabel.h"
#include "customersignstep.h"
#include "rpmsignexternalstep.h"
#include "signdialog.h"
#include "signtestproject.h"
#include "tamarekconstants.h"
#include "tamarektests.h"

#include <coreplugin/dialogs/ioptionspage.h>
#include <coreplugin/icore.h>
#include <coreplugin/modemanager.h>

#include <neverraos/orvvbtrpmbuildstep.h>
#include <projectexplorer/projectexplorerconstants.h>

#include <projectexplorer/buildstep.h>

#include <utils/pathchooser.h>

#include <QApplication>
#include <QScreen>
#include <QComboBox>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

using namespace Tamarek::Testing;
using namespace Utils;

namespace Tamarek::Internal {

// Pictures of the dialog, the two step widgets and the options page in the
// IDE's real style, for a person to look at: run with scripts/screenshots.sh.
class ScreenshotTaker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void testDialog();
    void testStepWidgets();
    void testOptionsPage();
    void testFocus();
    void testProjectsMode();

private:
    void save(QWidget *widget, const QString &name);

    QDir m_folder;
    std::unique_ptr<SignTestKit> m_kit;
};

// Shown, laid out and painted before it is grabbed.
void ScreenshotTaker::save(QWidget *widget, const QString &name)
{
    widget->show();
    widget->raise();
    QVERIFY(QTest::qWaitForWindowExposed(widget));
    QTest::qWait(300);
    const QString file = m_folder.filePath(name + ".png");
    QVERIFY(widget->grab().save(file));
    qInfo("saved %s", qPrintable(file));
}

void ScreenshotTaker::initTestCase()
{
    m_folder.setPath(qEnvironmentVariable("TAMAREK_SCREENSHOT_DIR", QDir::tempPath()));
    QVERIFY(m_folder.mkpath("."));
    m_kit = std::make_unique<SignTestKit>();
    QVERIFY2(m_kit->isValid(), qPrintable(m_kit->errorString()));
}

void ScreenshotTaker::testDialog()
{
    const QString package = m_kit->workspace().pathAppended("example-1.0-1.aarch64.rpm").toFSPathString();
    QVERIFY(FilePath::fromString(package).writeFileContents("package\n"));
    QSettings().setValue("OrvRpmSign.History.TargetName", SignTestKit::rpmsignTarget());

    SignDialog dialog(Core::ICore::mainWindow());
    QSignalSpy finished(&dialog, &SignDialog::runsFinished);
    dialog.show();
    QVERIFY(finished.wait(60000));
    const auto chooser = [&dialog](const char name[]) {
        return dialog.findChild<PathChooser *>(QLatin1String(name));
    };
    chooser("developerKeyPathChooser")->setPath(m_kit->key("developer-key.pem"));
    chooser("developerCertificatePathChooser")->setPath(m_kit->key("developer-cert.pem"));
    chooser("clientKeyPathChooser")->setPath(m_kit->key("client-key.pem"));
    chooser("clientCertificatePathChooser")->setPath(m_kit->key("client-cert.pem"));
    const FilePath ca = m_kit->workspace().pathAppended("keys/ca-cert.pem");
    QVERIFY(standinKitFolder().pathAppended("ca/ca-cert.pem").copyFile(ca));
    chooser("caCertificatePathChooser")->setPath(ca.toFSPathString());
    chooser("rpmPathChooser")->setPath(package);
    QVERIFY(finished.wait(60000));
    emit dialog.findChild<QPushButton *>("addSignaturePushButton")->pressed();

    for (auto label : dialog.findChildren<CertificateHealthLabel *>())
        QTRY_VERIFY_WITH_TIMEOUT(!label->isBusy(), 30000);

    auto tabs = dialog.findChild<QTabWidget *>("tabWidget");
    tabs->setCurrentIndex(0);
    save(&dialog, "dialog-sign");
    tabs->setCurrentIndex(1);
    save(&dialog, "dialog-verify");

    // Several packages: the table in place of the two panes.
    const FilePath batch = m_kit->workspace().pathAppended("release");
    QVERIFY(batch.ensureWritableDir());
    for (const QString &name : QStringList{"example-1.0-1.aarch64.rpm",
                                           "example-devel-1.0-1.aarch64.rpm",
                                           "example-doc-1.0-1.noarch.rpm"}) {
        QVERIFY(batch.pathAppended(name).writeFileContents("package\n"));
    }
    chooser("rpmPathChooser")->setPath(batch.toFSPathString());
    QVERIFY(finished.wait(60000));
    emit dialog.findChild<QPushButton *>("addSignaturePushButton")->pressed();
    save(&dialog, "dialog-verify-several");
    chooser("rpmPathChooser")->setPath(package);
    QVERIFY(finished.wait(60000));

    tabs->setCurrentIndex(2);
    // Its placeholders show in full.
    save(&dialog, "dialog-request-empty");
    chooser("generatedKeyPathChooser")->setPath(m_kit->key("company-key.pem"));
    chooser("generatedReqPathChooser")->setPath(m_kit->key("company.csr"));
    dialog.findChild<QLineEdit *>("generateCompanyNameLineEdit")->setText("Example Ltd");
    dialog.findChild<QCheckBox *>("generationKeyEncryptCheckBox")->setChecked(false);
    emit dialog.findChild<QPushButton *>("genReqButton")->pressed();
    save(&dialog, "dialog-request");
}

void ScreenshotTaker::testStepWidgets()
{
    const QList<QPair<ProjectExplorer::Kit *, const char *>> steps{
        {m_kit->customerSignKit(), Constants::CUSTOMER_SIGN_STEP_ID},
        {m_kit->rpmsignKit(), Constants::RPMSIGN_EXTERNAL_STEP_ID}};
    for (const auto &[kit, id] : steps) {
        SignTestProject project(kit, Packages::MainOnly);
        ProjectExplorer::BuildStep *step = project.addStep(Id::fromName(id));
        QVERIFY(step);
        if (auto customerSign = qobject_cast<CustomerSignStep *>(step)) {
            customerSign->setBinariesKey(m_kit->key("binaries-key.pem"));
            customerSign->setPackagesKey(m_kit->key("developer-key.pem"));
            customerSign->setPackagesCert(m_kit->key("developer-cert.pem"));
            customerSign->setPackagesClientCert(m_kit->key("developer-client-cert.pem"));
        } else if (auto rpmsign = qobject_cast<RpmsignExternalStep *>(step)) {
            rpmsign->setKey(m_kit->key("developer-key.pem"));
            rpmsign->setCertificate(m_kit->key("developer-cert.pem"));
        }
        std::unique_ptr<QWidget> widget(step->doCreateConfigWidget());
        widget->resize(640, widget->sizeHint().height());
        widget->show();
        // The certificates beside the choosers are read in the background.
        for (auto label : widget->findChildren<CertificateHealthLabel *>())
            QTRY_VERIFY_WITH_TIMEOUT(!label->isBusy(), 30000);
        // As the deploy settings page lays it out: the height for its width.
        widget->resize(640,
                       widget->hasHeightForWidth() ? widget->heightForWidth(640)
                                                   : widget->sizeHint().height());
        save(widget.get(), QString("step-%1").arg(QString::fromLatin1(id).section('.', 1)));
    }
}

void ScreenshotTaker::testOptionsPage()
{
    const Id pageId(Constants::SIGN_OPTIONS_PAGE_ID);
    const QList<Core::IOptionsPage *> pages = Core::IOptionsPage::allOptionsPages();
    if (std::none_of(pages.cbegin(), pages.cend(), [&](auto page) { return page->id() == pageId; }))
        QSKIP("no options page yet");
    QTimer::singleShot(1000, this, [this] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            save(dialog, "options-page");
            dialog->close();
        }
    });
    Core::ICore::showOptionsDialog(pageId);
}

// Every stop of Tab on the Sign tab, to see that each shows its focus.
void ScreenshotTaker::testFocus()
{
    SignDialog dialog(Core::ICore::mainWindow());
    QSignalSpy finished(&dialog, &SignDialog::runsFinished);
    dialog.show();
    QVERIFY(finished.wait(60000));
    dialog.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(0);
    dialog.activateWindow();
    // Focus is drawn only in the active window.
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QWidget *combo = dialog.findChild<QWidget *>("m_comboBoxBuildTargets");
    combo->setFocus(Qt::TabFocusReason);
    for (int stop = 0; stop < 30; ++stop) {
        // From the screen: a widget's own rendering leaves its focus out.
        QTest::qWait(200);
        const QRect area = dialog.frameGeometry();
        const QString file = m_folder.filePath(QString("focus-%1.png").arg(stop, 2, 10, QChar('0')));
        QVERIFY(dialog.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                    .save(file));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == combo)
            break;
    }
}

// The IDE around the plug-in: its menus and the deploy steps' summaries.
void ScreenshotTaker::testProjectsMode()
{
    SignTestProject project(m_kit->rpmsignKit(), Packages::MainOnly);
    ProjectExplorer::BuildStep *step = project.addStep(
        Id::fromName(Constants::RPMSIGN_EXTERNAL_STEP_ID));
    QVERIFY(step);
    // Collapsed, as the step shows which pair it signs with.
    step->setUserExpanded(false);
    project.rpmBuildStep()->setUserExpanded(false);
    Core::ModeManager::activateMode(ProjectExplorer::Constants::MODE_SESSION);
    QWidget *window = Core::ICore::mainWindow();
    window->resize(1400, 900);
    QTest::qWait(300);
    // The deploy steps are on the kit's "Run" page.
    for (QTreeView *view : window->findChildren<QTreeView *>()) {
        const QModelIndexList runs = view->model()->match(view->model()->index(0, 0),
                                                          Qt::DisplayRole,
                                                          QCoreApplication::translate("QtC::ProjectExplorer", "Run"),
                                                          1,
                                                          Qt::MatchRecursive | Qt::MatchExactly);
        if (runs.isEmpty() || !view->isVisible())
            continue;
        QTest::mouseClick(view->viewport(),
                          Qt::LeftButton,
                          {},
                          view->visualRect(runs.first()).center());
    }
    save(window, "ide-projects");
}

static const int registered = qEnvironmentVariableIsSet("TAMAREK_SCREENSHOTS")
                                  ? addTestCreator([] { return new ScreenshotTaker; })
                                  : 0;

} // namespace Tamarek::Internal

#include "screenshots.moc"
