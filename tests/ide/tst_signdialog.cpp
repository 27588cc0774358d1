// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "buildengineinfo.h"
#include "certificatehealthlabel.h"
#include "commands.h"
#include "customertamarek.h"
#include "lineelidinglabel.h"
#include "packagereportview.h"
#include "rpmsignexternal.h"
#include "signdialog.h"
#include "signtestproject.h"
#include "tamarekplugin.h"
#include "tamarektests.h"
#include "testkit.h"
#include "testsupport.h"

#include <coreplugin/icore.h>
#include <extensionsystem/pluginmanager.h>
#include <extensionsystem/pluginspec.h>
#include <nork/sdk.h>
#include <utils/pathchooser.h>
#include <utils/qtcsettings.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QtTest>

using namespace Tamarek::Testing;
using namespace Utils;
using Orv::Testing::TestEngine;
using Orv::Testing::TestKit;
using Orv::Testing::TestTarget;

namespace Tamarek::Internal {

const char sentinel[] = "Sentinel-pass-4Kw2";
const QStringList dialogSettings{"OrvRpmSign.History.TargetName",
                                 "OrvRpmSign.History.GenerationAlgorythm",
                                 "OrvRpmSign.History.GenerationEncrypt"};

// The kit's own tool behind a double: a target named in a file
// "no-openssl-TARGET" lacks openssl, and the test's "hook" script runs first.
static QString doubleScript()
{
    return QString(R"(dir=$(dirname "$0")
[ "$2 $7" = "exec openssl version" ] && [ -e "$dir/no-openssl-$6" ] && exit 127
[ -f "$dir/hook" ] && . "$dir/hook"
exec '%1' "$@")")
        .arg(Nork::Sdk::norkPath().toFSPathString());
}

// A hook line: the matching commands print "holding", then wait for "go".
static QString holdUntilGo(const QString &pattern)
{
    return QString(R"(case " $* " in *%1*) echo holding
    for i in $(seq 600); do [ -e "$dir/go" ] && break; sleep 0.05; done ;; esac
)")
        .arg(pattern);
}

class DialogKit
{
public:
    DialogKit(const QList<TestTarget> &targets, bool canStart)
        : m_tool(doubleScript())
        , m_kit({TestEngine{"Engine", targets, canStart}}, {m_tool.path(), {}, {}})
        , m_kitCopy(m_kit.isLoaded() ? copyStandinKitFiles(m_kit.sharedSrcPath()) : FilePath())
    {}

    bool isValid() const { return m_tool.isValid() && m_kit.isLoaded() && !m_kitCopy.isEmpty(); }
    FilePath workspace() const { return m_kit.sharedSrcPath(); }
    const ToolDouble &tool() const { return m_tool; }
    QString path(const QString &name) const
    {
        return m_kit.sharedSrcPath().pathAppended(name).toFSPathString();
    }
    // A file of the stand-in kit, copied into the workspace.
    QString kitFile(const QString &name) const
    {
        return m_kitCopy.pathAppended(name).toFSPathString();
    }
    QString package(const QString &name) const
    {
        QTC_CHECK(FilePath::fromString(path(name)).writeFileContents("package\n"));
        return path(name);
    }
    void write(const QString &name, const QByteArray &bytes = {}) const
    {
        QTC_CHECK(m_tool.folder().pathAppended(name).writeFileContents(bytes));
    }
    // The target commands run, program and arguments, beginning with one of the texts.
    QStringList calls(const QStringList &starts) const
    {
        QStringList result;
        for (const QStringList &call : m_tool.calls()) {
            const QString line = call.mid(6).join(' ');
            if (std::any_of(starts.cbegin(), starts.cend(), [&](auto &s) {
                    return line.startsWith(s);
                }))
                result << line;
        }
        return result;
    }

private:
    ToolDouble m_tool;
    TestKit m_kit;
    FilePath m_kitCopy;
};

static bool sign(const DialogKit &kit,
                 const QString &target,
                 const QString &package,
                 const QString &pair)
{
    const QString separator = pair.contains("regular") ? "_" : "-";
    return RpmsignExternal()
        .signWithPair({},
                      target,
                      kit.kitFile(pair + separator + "key.pem"),
                      kit.kitFile(pair + separator + "cert.pem"),
                      {package})
        .isSuccess();
}

class SignDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void testToolsShown_data();
    void testToolsShown();
    void testStoredTarget_data();
    void testStoredTarget();
    void testProbedOncePerTarget();
    void testTargetsUnavailable_data();
    void testTargetsUnavailable();
    void testPathValidation_data();
    void testPathValidation();
    void testVerifyAndDump_data();
    void testVerifyAndDump();
    void testSignAndRemove();
    void testSeveralPackages();
    void testRequest_data();
    void testRequest();
    void testRequestFieldChecks_data();
    void testRequestFieldChecks();
    void testRequestFailureNamesReason_data();
    void testRequestFailureNamesReason();
    void testOpensslWarning();
    void testStaleResultNeverShown_data();
    void testStaleResultNeverShown();
    void testStop_data();
    void testStop();
    void testDeletedDuringTwoCommands_data();
    void testDeletedDuringTwoCommands();
    void testKeyboard();
    void testTabCycle();
    void testMnemonics();
    void testLongTextsKeepWidth();
    void testEngineStartStopped_data();
    void testEngineStartStopped();
    void testShutdownStopsRuns();
    void testOutcomesBelongToTheirChoice();

private:
    // The dialog as the menu opens it, once its target list has arrived (or
    // could not be had).
    bool open(const QList<TestTarget> &targets, bool canStart = true, const QString &hook = {});
    template<typename T = QWidget>
    T *w(const char name[]) const
    {
        T *widget = m_dialog->findChild<T *>(QLatin1String(name));
        QTC_CHECK(widget);
        return widget;
    }
    QString text(const char name[]) const;
    QString status() const { return m_dialog->findChild<QStatusBar *>()->currentMessage(); }
    QPushButton *stopButton() const
    {
        return m_dialog->findChild<QStatusBar *>()->findChild<QPushButton *>();
    }
    void setPath(const char chooser[], const QString &path)
    {
        w<PathChooser>(chooser)->setPath(path);
    }
    // The path as the user gives it, and the refresh it asks for made.
    void setPackage(const QString &path);
    void press(const char button[]) { emit w<QPushButton>(button)->pressed(); }
    // Calls the action from inside the next run of the dialog.
    void duringRun(const std::function<void()> &action);
    int runs(const QString &target, const QString &program) const;

    std::unique_ptr<SettingsScope> m_settings;
    std::unique_ptr<GeneralMessages> m_messages;
    std::unique_ptr<DialogKit> m_kit;
    std::unique_ptr<SignDialog> m_dialog;
};

bool SignDialogTest::open(const QList<TestTarget> &targets, bool canStart, const QString &hook)
{
    m_kit = std::make_unique<DialogKit>(targets, canStart);
    if (!m_kit->isValid())
        return false;
    m_kit->write("hook", hook.toUtf8());
    m_messages = std::make_unique<GeneralMessages>();
    m_dialog = std::make_unique<SignDialog>(Core::ICore::mainWindow());
    auto info = m_dialog->findChild<BuildEngineInfo *>();
    QEventLoop loop;
    connect(info, &BuildEngineInfo::targetsChanged, &loop, &QEventLoop::quit);
    connect(info, &BuildEngineInfo::targetsUnavailable, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    m_dialog->show();
    loop.exec();
    return true;
}

QString SignDialogTest::text(const char name[]) const
{
    if (auto label = m_dialog->findChild<LineElidingLabel *>(QLatin1String(name)))
        return label->fullText();
    if (auto label = m_dialog->findChild<QLabel *>(QLatin1String(name)))
        return label->text();
    return w<QTextBrowser>(name)->toPlainText();
}

void SignDialogTest::setPackage(const QString &path)
{
    QSignalSpy finished(m_dialog.get(), &SignDialog::runsFinished);
    setPath("rpmPathChooser", path);
    QVERIFY(finished.wait(60000));
}

void SignDialogTest::duringRun(const std::function<void()> &action)
{
    QPushButton *stop = stopButton();
    // The Stop button comes on when a run starts.
    class Filter : public QObject
    {
    public:
        std::function<void()> action;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::EnabledChange
                && static_cast<QWidget *>(watched)->isEnabled() && action) {
                QTimer::singleShot(0, this, std::exchange(action, {}));
            }
            return false;
        }
    };
    auto filter = new Filter;
    filter->setParent(stop);
    filter->action = action;
    stop->installEventFilter(filter);
}

int SignDialogTest::runs(const QString &target, const QString &program) const
{
    const QRegularExpression run(QString("^\\[\\$\\] .* -t %1 %2").arg(target, program));
    return m_messages->lines().filter(run).size();
}

void SignDialogTest::initTestCase()
{
    QVERIFY2(standinKitFolder().pathAppended("ca/ca-cert.pem").exists(), "the build makes the kit");
    m_settings = std::make_unique<SettingsScope>(dialogSettings);
}

// Neither a stored target nor a chooser's last path of an earlier test.
void SignDialogTest::init()
{
    for (const QString &key : dialogSettings)
        m_settings->remove(key);
    QtcSettings *settings = Core::ICore::settings();
    settings->beginGroup("CompleterHistory");
    for (const Key &key : settings->childKeys()) {
        if (key.view().startsWith("OrvRpmSign."))
            settings->remove(key);
    }
    settings->endGroup();
}

void SignDialogTest::cleanup()
{
    m_dialog.reset();
    m_messages.reset();
    m_kit.reset();
}

void SignDialogTest::testToolsShown_data()
{
    QTest::addColumn<QStringList>("tools");
    QTest::addColumn<bool>("binaryKey");
    QTest::addColumn<bool>("add");
    QTest::addColumn<bool>("packageButtons");
    QTest::addColumn<bool>("requestTab");

    QTest::newRow("rpmsign-external")
        << QStringList{"rpmsign-external", "customer-sign"} << false << true << true << true;
    QTest::newRow("customer-sign with vyxcert-cli")
        << QStringList{"customer-sign", "vyxcert-cli"} << true << true << true << false;
    QTest::newRow("customer-sign alone")
        << QStringList{"customer-sign"} << true << true << false << false;
    QTest::newRow("vyxcert-cli alone")
        << QStringList{"vyxcert-cli"} << false << false << true << false;
    QTest::newRow("no signing tool") << QStringList() << false << false << false << false;
}

void SignDialogTest::testToolsShown()
{
    QFETCH(QStringList, tools);
    QFETCH(bool, binaryKey);
    QFETCH(bool, add);
    QFETCH(bool, packageButtons);
    QFETCH(bool, requestTab);

    QVERIFY(open({{"T", tools, {}}}));
    QCOMPARE(!w("binaryKeyPathChooser")->isHidden(), binaryKey);
    QCOMPARE(!w("binaryKeyLabel")->isHidden(), binaryKey);
    QCOMPARE(!w("addSignaturePushButton")->isHidden(), add);
    for (const char *name :
         {"removeSignaturePushButton", "verifySignaturePushButton", "dumpPushButton"})
        QCOMPARE(!w(name)->isHidden(), packageButtons);
    QCOMPARE(w<QTabWidget>("tabWidget")->isTabVisible(2), requestTab);
    QCOMPARE(runs("T", "rpmsign-external --version"), 1);
    QCOMPARE(runs("T", "customer-sign --help"), requestTab ? 0 : 1);
    QCOMPARE(runs("T", "vyxcert-cli --help"), requestTab ? 0 : 1);

    // Without a tool to sign with, the views say so instead of running anything.
    if (!add) {
        setPackage(m_kit->package("a.rpm"));
        QCOMPARE(text("verifyLabel"), "Package can't be verified");
        QCOMPARE(text("developerSignatureTextBrowser"), "Package can't be dumped");
        QVERIFY(m_messages->lines().contains(
            "Error: unable to find signing tools for the selected target"));
        QCOMPARE(m_kit->calls({"vyxcert-cli verify", "vyxcert-cli dump"}), QStringList());
    }
}

void SignDialogTest::testStoredTarget_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("selected");

    QTest::newRow("stored target") << "T-b"
                                   << "T-b";
    QTest::newRow("stored name no longer a target") << "T-gone"
                                                    << "T-a";
    QTest::newRow("nothing stored") << ""
                                    << "T-a";
    QTest::newRow("case differs") << "t-b"
                                  << "T-a";
}

void SignDialogTest::testStoredTarget()
{
    QFETCH(QString, stored);
    QFETCH(QString, selected);

    m_settings->set("OrvRpmSign.History.TargetName", stored);
    QVERIFY(open({{"T-a", {"rpmsign-external"}, {}}, {"T-b", {"customer-sign"}, {}}}));
    QCOMPARE(w<QComboBox>("m_comboBoxBuildTargets")->currentText(), selected);
    const QString other = selected == "T-a" ? QString("T-b") : QString("T-a");
    QCOMPARE(runs(other, "rpmsign-external --version"), 0);
    w<QComboBox>("m_comboBoxBuildTargets")->setCurrentText(other);
    w<QComboBox>("generationKeyAlgoComboBox")->setCurrentIndex(1);
    w<QCheckBox>("generationKeyEncryptCheckBox")->setChecked(false);
    m_dialog.reset();

    const QSettings settings;
    QCOMPARE(settings.value("OrvRpmSign.History.TargetName").toString(), other);
    QCOMPARE(settings.value("OrvRpmSign.History.GenerationAlgorythm").toInt(), 1);
    QCOMPARE(settings.value("OrvRpmSign.History.GenerationEncrypt").toBool(), false);
}

void SignDialogTest::testProbedOncePerTarget()
{
    QVERIFY(
        open({{"T-a", {"rpmsign-external"}, {}}, {"T-b", {"customer-sign", "vyxcert-cli"}, {}}}));
    setPackage(m_kit->package("a.rpm"));
    auto combo = w<QComboBox>("m_comboBoxBuildTargets");
    for (const QString &name : QStringList{"T-b", "T-a", "T-b", "T-a"})
        combo->setCurrentText(name);

    QCOMPARE(runs("T-a", "rpmsign-external --version"), 1);
    QCOMPARE(runs("T-b", "rpmsign-external --version"), 1);
    QCOMPARE(runs("T-a", "rpmsign-external verify"), 3);
    QCOMPARE(runs("T-b", "vyxcert-cli verify"), 2);
    QCOMPARE(m_dialog->findChildren<RpmsignExternal *>().size(), 1);
    QCOMPARE(m_dialog->findChildren<CustomerTamarek *>().size(), 1);

    // Choosing the shown target again runs nothing.
    const int before = m_messages->lines().size();
    emit combo->textActivated(combo->currentText());
    QCOMPARE(m_messages->lines().size(), before);
}

void SignDialogTest::testTargetsUnavailable_data()
{
    QTest::addColumn<bool>("canStart");
    QTest::addColumn<QList<TestTarget>>("targetList");
    QTest::addColumn<QString>("hook");
    QTest::addColumn<QString>("message");

    const QList<TestTarget> one{{"T", {}, {}}};
    QTest::newRow("engine does not start")
        << false << one << ""
        << "Could not start the build engine. nork: the build engine \"Engine\" cannot be started";
    QTest::newRow("engine start prints nothing")
        << true << one << "[ \"$2\" = start ] && exit 3"
        << "Could not start the build engine. The tool ended with exit code 3.";
    QTest::newRow("engine without targets") << true << QList<TestTarget>() << ""
                                            << "The build engine has no build targets.";
}

void SignDialogTest::testTargetsUnavailable()
{
    QFETCH(bool, canStart);
    QFETCH(QList<TestTarget>, targetList);
    QFETCH(QString, hook);
    QFETCH(QString, message);

    QVERIFY(open(targetList, canStart, hook));
    QCOMPARE(status(), message);
    QCOMPARE(w<QComboBox>("m_comboBoxBuildTargets")->count(), 0);
}

void SignDialogTest::testPathValidation_data()
{
    QTest::addColumn<QString>("chooser");
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<QString>("message");

    const QString outside = "The path must be inside workspace folder:\n";
    QTest::newRow("package outside") << "rpmPathChooser"
                                     << "../a.rpm" << outside;
    QTest::newRow("sibling sharing the prefix") << "developerKeyPathChooser"
                                                << "../workspace2/k.pem" << outside;
    QTest::newRow("package missing") << "rpmPathChooser"
                                     << "none.rpm"
                                     << "File does not exist";
    QTest::newRow("folder without packages") << "rpmPathChooser"
                                             << "no-packages"
                                             << "The folder holds no RPM packages";
    QTest::newRow("one of several missing") << "rpmPathChooser"
                                            << "a.rpm; none.rpm"
                                            << "none.rpm: File does not exist";
    QTest::newRow("key to generate") << "generatedKeyPathChooser"
                                     << "new-key.pem"
                                     << "";
    QTest::newRow("request outside") << "generatedReqPathChooser"
                                     << "../new.csr" << outside;
}

// A path naming no package starts no run, and what was shown before goes.
void SignDialogTest::testPathValidation()
{
    QFETCH(QString, chooser);
    QFETCH(QString, relativePath);
    QFETCH(QString, message);

    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    setPackage(m_kit->package("a.rpm"));
    QCOMPARE(text("developerSignatureTextBrowser"), "No signatures found in package");

    QVERIFY(m_kit->workspace().pathAppended("no-packages").ensureWritableDir());
    QString path = QDir::cleanPath(m_kit->path(relativePath));
    if (relativePath.contains(';')) {
        path = m_kit->path("a.rpm") + "; " + m_kit->path("none.rpm");
        message = m_kit->path(message);
    }
    const int runsBefore = m_messages->lines().filter("[$]").size();
    if (chooser == "rpmPathChooser")
        setPackage(path);
    else
        setPath(chooser.toUtf8().constData(), path);
    auto pathChooser = w<PathChooser>(chooser.toUtf8().constData());
    QCOMPARE(pathChooser->isValid(), message.isEmpty());
    QCOMPARE(pathChooser->errorMessage(),
             message.endsWith('\n') ? message + m_kit->workspace().toUserOutput() : message);
    if (chooser == "rpmPathChooser") {
        QCOMPARE(m_messages->lines().filter("[$]").size(), runsBefore);
        QCOMPARE(text("verifyLabel"), "");
        QCOMPARE(text("developerSignatureTextBrowser"), "");
    }
}

void SignDialogTest::testVerifyAndDump_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<int>("signatures");
    QTest::addColumn<QString>("ca"); // "workspace", "outside" the shared folders, or none
    QTest::addColumn<bool>("verified");

    QTest::newRow("rpmsign-external: unsigned")
        << "rpmsign-external" << 0 << "workspace" << false;
    QTest::newRow("rpmsign-external: one, CA") << "rpmsign-external" << 1 << "workspace" << true;
    QTest::newRow("rpmsign-external: two, no CA") << "rpmsign-external" << 2 << "" << true;
    QTest::newRow("rpmsign-external: three show two")
        << "rpmsign-external" << 3 << "workspace" << true;
    QTest::newRow("rpmsign-external: CA outside the shared folders, not seen by the target")
        << "rpmsign-external" << 1 << "outside" << false;
    QTest::newRow("customer-sign: one") << "customer-sign" << 1 << "workspace" << true;
    QTest::newRow("customer-sign: two") << "customer-sign" << 2 << "workspace" << true;
    QTest::newRow("customer-sign: CA outside the shared folders, not seen by the target")
        << "customer-sign" << 1 << "outside" << false;
}

void SignDialogTest::testVerifyAndDump()
{
    QFETCH(QString, tool);
    QFETCH(int, signatures);
    QFETCH(QString, ca);
    QFETCH(bool, verified);

    const bool rpmsign = tool == "rpmsign-external";
    QVERIFY(open({{"T", rpmsign ? QStringList{tool} : QStringList{tool, "vyxcert-cli"}, {}}}));
    const QString package = m_kit->package("a.rpm");
    if (rpmsign) {
        const QStringList pairs{"workspace/keys/developer",
                                "workspace/keys/client",
                                "sdk/package-signing/regular"};
        for (int i = 0; i < signatures; ++i)
            QVERIFY(sign(*m_kit, "T", package, pairs.at(i)));
    } else {
        SignKeys keys;
        keys.binaryKey = m_kit->kitFile("workspace/keys/binaries-key.pem");
        keys.developerKey = m_kit->kitFile("workspace/keys/developer-key.pem");
        keys.developerCertificate = m_kit->kitFile("workspace/keys/developer-cert.pem");
        if (signatures > 1)
            keys.clientCertificate = m_kit->kitFile("workspace/keys/developer-client-cert.pem");
        QVERIFY(CustomerTamarek().sign("T", {package}, keys).isSuccess());
    }
    const QString outside = standinKitFolder().pathAppended("ca/ca-cert.pem").toFSPathString();
    if (ca == "workspace")
        setPath("caCertificatePathChooser", m_kit->kitFile("ca/ca-cert.pem"));
    else if (ca == "outside")
        setPath("caCertificatePathChooser", outside);
    setPackage(package);

    QCOMPARE(text("verifyLabel"),
             verified ? "Signatures successfully verified" : "Could not verify signatures");
    if (ca == "outside")
        QVERIFY2(m_messages->text().contains(outside + " does not exist"),
                 qPrintable(m_messages->text()));
    QCOMPARE(w("verifyIconLabel")->accessibleName(), verified ? "Verified" : "Not verified");
    QCOMPARE(!w("clientSignatureTextBrowser")->isHidden(), signatures > 1);
    const QString developer = text("developerSignatureTextBrowser");
    if (signatures == 0) {
        QCOMPARE(developer, "No signatures found in package");
        return;
    }
    QVERIFY2(developer.startsWith("Subject: ") && developer.contains("Group: developer\n")
                 && !developer.contains(package) && !developer.contains('\r'),
             qPrintable(developer));
    QVERIFY(QRegularExpression("^Subject: [^\n]*\nGroup: developer\n$")
                .match(text("developerSignatureShortLabel"))
                .hasMatch());
    if (signatures > 1) {
        QCOMPARE(text("clientSignatureTextBrowser").count("Subject: "), 1);
        QVERIFY(!text("clientSignatureTextBrowser").contains("Neverra OS SDK"));
        QVERIFY(text("clientSignatureShortLabel").endsWith('\n'));
    }
}

void SignDialogTest::testSignAndRemove()
{
    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    setPath("developerKeyPathChooser", m_kit->kitFile("workspace/keys/developer-key.pem"));
    setPath("developerCertificatePathChooser", m_kit->kitFile("workspace/keys/developer-cert.pem"));
    setPath("clientKeyPathChooser", m_kit->kitFile("workspace/keys/client-key.pem"));
    setPath("clientCertificatePathChooser", m_kit->kitFile("workspace/keys/client-cert.pem"));
    setPackage(m_kit->package("a.rpm"));

    press("addSignaturePushButton");
    QCOMPARE(w("signStateLabel")->accessibleName(), "Signed");
    QVERIFY(text("clientSignatureShortLabel").contains("Group: client"));
    press("removeSignaturePushButton");
    QCOMPARE(text("developerSignatureTextBrowser"), "No signatures found in package");
    // The signatures it was about are gone; the client pane stays where it is.
    QCOMPARE(w("signStateLabel")->accessibleName(), "Signing outcome");
    QVERIFY(!w("clientSignatureTextBrowser")->isHidden());
    QCOMPARE(text("clientSignatureTextBrowser"), "");
    setPath("developerKeyPathChooser", m_kit->path("none.pem"));
    press("addSignaturePushButton");
    QCOMPARE(w("signStateLabel")->accessibleName(), "Signing failed");
    // Beside the mark, why: the tool's last error line.
    QVERIFY2(text("signStateReasonLabel").contains("none.pem"),
             qPrintable(text("signStateReasonLabel")));
    QCOMPARE(m_kit->calls({"rpmsign-external sign"}).size(), 3);
}

// A folder of packages: each run takes them all, an encrypted key is asked
// for once, and the table and its report tell each package's state.
void SignDialogTest::testSeveralPackages()
{
    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    const QString key = m_kit->path("encrypted-key.pem");
    QProcess openssl;
    openssl.start("openssl",
                  {"pkey", "-in", m_kit->kitFile("workspace/keys/developer-key.pem"), "-aes256",
                   "-passout", QString("pass:") + sentinel, "-out", key});
    QVERIFY(openssl.waitForFinished(60000) && openssl.exitCode() == 0);
    setPath("developerKeyPathChooser", key);
    setPath("developerCertificatePathChooser", m_kit->kitFile("workspace/keys/developer-cert.pem"));
    QVERIFY(m_kit->workspace().pathAppended("batch").createDir());
    QStringList packages;
    for (const QString &name : QStringList{"batch/a.rpm", "batch/b.rpm", "batch/c.rpm"})
        packages << m_kit->package(name);
    auto view = m_dialog->findChild<PackageReportView *>("packageReportView");
    QVERIFY(view);
    const auto verification = [view] {
        QStringList texts;
        for (const PackageReport &report : view->reports())
            texts << verificationText(report);
        return texts;
    };

    setPackage(m_kit->path("batch"));
    QVERIFY(!view->isHidden());
    QVERIFY(w("developerSignatureTextBrowser")->isHidden());
    QCOMPARE(view->reports().size(), 3);
    QCOMPARE(text("verifyLabel"), "Could not verify signatures");
    QVERIFY2(verification().first().endsWith("the package has no signatures"),
             qPrintable(verification().first()));
    {
        PasswordAnswerer answerer({sentinel});
        press("addSignaturePushButton");
        QCOMPARE(answerer.prompts().size(), 1);
    }
    QCOMPARE(w("signStateLabel")->accessibleName(), "Signed");
    QCOMPARE(m_kit->calls({"rpmsign-external sign"}).size(), 1);
    QCOMPARE(verification(), QStringList(3, "Verified"));
    QCOMPARE(text("developerSignatureShortLabel"), "3 packages: 3 signed, 3 verified");

    setPath("caCertificatePathChooser", m_kit->kitFile("workspace/keys/client-cert.pem"));
    press("verifySignaturePushButton");
    QCOMPARE(text("verifyLabel"), "Could not verify signatures");
    QVERIFY2(verification().last().startsWith("Not verified: signature 1 does not verify"),
             qPrintable(verification().last()));
    setPath("caCertificatePathChooser", m_kit->kitFile("ca/ca-cert.pem"));
    press("verifySignaturePushButton");
    QCOMPARE(verification(), QStringList(3, "Verified"));

    const FilePath report = m_kit->workspace().pathAppended("report.json");
    QVERIFY(view->writeReport(report));
    const QJsonArray read = QJsonDocument::fromJson(report.fileContents().value()).array();
    QCOMPARE(read.size(), 3);
    for (int i = 0; i < read.size(); ++i) {
        const QJsonObject package = read.at(i).toObject();
        QCOMPARE(package.value("path").toString(), packages.at(i));
        QCOMPARE(package.value("root").toString(), m_kit->kitFile("ca/ca-cert.pem"));
        QVERIFY(package.value("verified").toBool());
        const QJsonObject signature = package.value("signatures").toArray().first().toObject();
        QCOMPARE(signature.value("group").toString(), "developer");
        QVERIFY(signature.value("subject").toString().contains("CN="));
        QVERIFY(!signature.value("keyId").toString().isEmpty());
    }
    QCOMPARE(m_kit->calls({"rpmsign-external verify"}).size(), 4);
    QCOMPARE(m_kit->calls({"rpmsign-external dump"}).size(), 2);

    // One package again: the panes as before.
    setPackage(packages.first());
    QVERIFY(view->isHidden());
    QVERIFY(!w("developerSignatureTextBrowser")->isHidden());
    QVERIFY(text("developerSignatureShortLabel").contains("Group: developer"));
    QVERIFY(!m_messages->text().contains(sentinel));
}

void SignDialogTest::testRequest_data()
{
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<bool>("encrypt");

    QTest::newRow("RSA") << 0 << false;
    QTest::newRow("RSA, encrypted") << 0 << true;
    QTest::newRow("GOST") << 1 << false;
    QTest::newRow("GOST, encrypted") << 1 << true;
}

void SignDialogTest::testRequest()
{
    QFETCH(int, algorithm);
    QFETCH(bool, encrypt);

    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    w<QTabWidget>("tabWidget")->setCurrentIndex(2);
    setPath("generatedKeyPathChooser", m_kit->path("new-key.pem"));
    setPath("generatedReqPathChooser", m_kit->path("new.csr"));
    w<QLineEdit>("generateCompanyNameLineEdit")->setText("Example Ltd");
    w<QComboBox>("generationKeyAlgoComboBox")->setCurrentIndex(algorithm);
    w<QCheckBox>("generationKeyEncryptCheckBox")->setChecked(encrypt);
    {
        PasswordAnswerer answerer({sentinel, sentinel, sentinel});
        press("genReqButton");
        QCOMPARE(answerer.prompts().size(), encrypt ? 3 : 0);
    }
    QCOMPARE(w("generateLabel")->accessibleName(), "Request generated");
    QCOMPARE(status(), "");
    const QStringList check = Commands::execCommand("T")
                              << "openssl"
                              << "req"
                              << "-in" << m_kit->path("new.csr") << "-noout"
                              << "-verify"
                              << "-subject";
    const ProcessResult verified = runProcess([](auto &, auto &, auto &) { return true; }, check);
    QVERIFY(verified.isSuccess());
    QVERIFY(verified.standardOutput.contains("CN = Example Ltd"));
    QCOMPARE(FilePath::fromString(m_kit->path("new-key.pem")).fileContents()->contains("ENCRYPTED"),
             encrypt);
    QVERIFY(!m_messages->text().contains(sentinel));
}

void SignDialogTest::testRequestFieldChecks_data()
{
    QTest::addColumn<QString>("companyName");
    QTest::addColumn<bool>("withKey");
    QTest::addColumn<QString>("message");

    QTest::newRow("all empty: the company name first")
        << "" << false << "Company name field cannot be empty";
    QTest::newRow("no key") << "Example" << false << "Key field cannot be empty";
    QTest::newRow("blanks pass, no request") << "   " << true << "Request field cannot be empty";
}

void SignDialogTest::testRequestFieldChecks()
{
    QFETCH(QString, companyName);
    QFETCH(bool, withKey);
    QFETCH(QString, message);

    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    if (withKey)
        setPath("generatedKeyPathChooser", m_kit->path("k.pem"));
    w<QLineEdit>("generateCompanyNameLineEdit")->setText(companyName);
    press("genReqButton");
    QCOMPARE(status(), message);
    QCOMPARE(w("generateLabel")->accessibleName(), "Generation failed");
    QCOMPARE(m_kit->calls({"openssl genpkey", "openssl req"}), QStringList());
}

void SignDialogTest::testRequestFailureNamesReason_data()
{
    QTest::addColumn<QString>("hook");
    QTest::addColumn<QString>("companyName");
    QTest::addColumn<QString>("reason");

    QTest::newRow("only standard error") << "case \" $* \" in *\" req \"*) echo 'unable to load' "
                                            ">&2; echo 'req: 42' >&2; exit 1;; esac"
                                         << "Example"
                                         << "req: 42";
    QTest::newRow("company name refused")
        << "" << QString(65, 'x') << "The company name can't be longer than 64 characters.";
    QTest::newRow("kit tool can't be started") << "chmod -x \"$0\""
                                               << "Example"
                                               << "Could not start \"%1\": ";
}

void SignDialogTest::testRequestFailureNamesReason()
{
    QFETCH(QString, hook);
    QFETCH(QString, companyName);
    QFETCH(QString, reason);

    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    const QString key = m_kit->package("key.pem");
    m_kit->write("hook", hook.toUtf8());
    setPath("generatedKeyPathChooser", key);
    setPath("generatedReqPathChooser", m_kit->path("r.csr"));
    w<QLineEdit>("generateCompanyNameLineEdit")->setText(companyName);
    press("genReqButton");
    const QString expected = "Failed to generate request: "
                             + reason.arg(m_kit->tool().path().toUserOutput());
    QVERIFY2(status().startsWith(expected), qPrintable(status()));
    QCOMPARE(FilePath::fromString(key).fileContents().value_or(""), QByteArray("package\n"));
}

void SignDialogTest::testOpensslWarning()
{
    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    m_kit->write("no-openssl-T");
    auto tabs = w<QTabWidget>("tabWidget");
    tabs->setCurrentIndex(2);
    QCOMPARE(text("opensslStatusLabel").split('\n'),
             QStringList({"OpenSSL not found in target 'T', please install it.",
                          "Available in: Tools - Options - Neverra OS - Manage Build Targets"}));
    QFile::remove(m_kit->tool().folder().pathAppended("no-openssl-T").toFSPathString());
    tabs->setCurrentIndex(1);
    tabs->setCurrentIndex(2);
    QCOMPARE(text("opensslStatusLabel"), "");
}

void SignDialogTest::testStaleResultNeverShown_data()
{
    QTest::addColumn<bool>("changeTarget");
    QTest::newRow("path edited during the verify") << false;
    QTest::newRow("target changed during the verify") << true;
}

// A verify of package a waits in the tool while the user moves on: its result
// must not be shown, and the refresh for what is current runs once, after it.
void SignDialogTest::testStaleResultNeverShown()
{
    QFETCH(bool, changeTarget);

    QVERIFY(open({{"T-a", {"rpmsign-external"}, {}}, {"T-b", {"rpmsign-external"}, {}}}));
    const QString signedPackage = m_kit->package("a.rpm");
    const QString unsignedPackage = m_kit->package("b.rpm");
    QVERIFY(sign(*m_kit, "T-a", signedPackage, "workspace/keys/developer"));
    // On T-b no signature verifies.
    m_kit->write("hook",
                 (holdUntilGo("\" verify \"*a.rpm\" \"")
                  + "[ \"$6 $8\" = \"T-b verify\" ] && exit 1\n")
                     .toUtf8());
    duringRun([&] {
        if (changeTarget)
            w<QComboBox>("m_comboBoxBuildTargets")->setCurrentText("T-b");
        else
            setPath("rpmPathChooser", unsignedPackage);
        m_kit->write("go");
    });
    setPackage(signedPackage);

    QCOMPARE(text("verifyLabel"), "Could not verify signatures");
    const QString last = changeTarget ? signedPackage : unsignedPackage;
    QCOMPARE(m_kit->calls({"rpmsign-external verify", "rpmsign-external dump"}),
             QStringList({"rpmsign-external verify " + signedPackage,
                          "rpmsign-external verify " + last,
                          "rpmsign-external dump " + last}));
}

void SignDialogTest::testStop_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Stop button") << "button";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("closing the window") << "close";
}

void SignDialogTest::testStop()
{
    QFETCH(QString, how);

    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    const QString package = m_kit->package("a.rpm");
    QVERIFY(sign(*m_kit, "T", package, "workspace/keys/developer"));
    m_kit->write("hook", holdUntilGo("\" verify \"").toUtf8());
    bool busy = false;
    duringRun([&] {
        busy = stopButton()->isEnabled() && !w("verifySignaturePushButton")->isEnabled();
        if (how == "button")
            stopButton()->click();
        else if (how == "escape")
            QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
        else
            m_dialog->close();
    });
    setPackage(package);

    QVERIFY(busy);
    QCOMPARE(text("verifyLabel"), "Could not verify signatures");
    QCOMPARE(status(), "The tool was stopped before it finished.");
    QCOMPARE(m_dialog->isVisible(), how != "close");
    QVERIFY(!stopButton()->isEnabled());
    for (const char *name : {"addSignaturePushButton",
                             "removeSignaturePushButton",
                             "dumpPushButton",
                             "verifySignaturePushButton",
                             "genReqButton"}) {
        QVERIFY(w(name)->isEnabled());
    }
    // The dump after it is not stopped.
    QVERIFY(text("developerSignatureTextBrowser").startsWith("Subject: "));
}

void SignDialogTest::testDeletedDuringTwoCommands_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("two signatures") << "addSignaturePushButton"
                                    << "rpmsign-external sign"
                                    << "rpmsign-external sign";
    QTest::newRow("key then request") << "genReqButton"
                                      << "openssl genpkey"
                                      << "openssl req";
}

// The window goes (the IDE shutting down) while the first of two commands runs.
void SignDialogTest::testDeletedDuringTwoCommands()
{
    QFETCH(QString, button);
    QFETCH(QString, first);
    QFETCH(QString, second);

    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    setPackage(m_kit->package("a.rpm"));
    for (const char *name : {"developerKeyPathChooser", "clientKeyPathChooser"})
        setPath(name, m_kit->kitFile("workspace/keys/developer-key.pem"));
    for (const char *name : {"developerCertificatePathChooser", "clientCertificatePathChooser"})
        setPath(name, m_kit->kitFile("workspace/keys/developer-cert.pem"));
    setPath("generatedKeyPathChooser", m_kit->path("k.pem"));
    setPath("generatedReqPathChooser", m_kit->path("r.csr"));
    w<QLineEdit>("generateCompanyNameLineEdit")->setText("Example");
    w<QCheckBox>("generationKeyEncryptCheckBox")->setChecked(false);
    m_kit->write("hook", holdUntilGo(QString("\"%1\"").arg(first)).toUtf8());

    SignDialog *dialog = m_dialog.release();
    const QPointer<SignDialog> guarded(dialog);
    connect(dialog->findChild<SignTool *>(), &SignTool::addOutput, this, [&](const QString &line) {
        if (line == "holding") {
            QTimer::singleShot(0, this, [&] {
                delete dialog;
                m_kit->write("go");
            });
        }
    });
    emit dialog->findChild<QPushButton *>(button)->pressed();
    QVERIFY(!guarded);
    QCOMPARE(m_kit->calls({first}).size(), 1);
    QCOMPARE(m_kit->calls({second}).size(), first == second ? 1 : 0);
}

// Tab goes down the window through named fields, each label leads to its
// field, and Return in a field presses no button (it would strip the package).
void SignDialogTest::testKeyboard()
{
    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    setPackage(m_kit->package("a.rpm"));
    for (int tab : {0, 1, 2}) {
        w<QTabWidget>("tabWidget")->setCurrentIndex(tab);
        QWidget *start = w("m_comboBoxBuildTargets");
        QList<QWidget *> chain{start};
        for (QWidget *next = start->nextInFocusChain(); next != start;
             next = next->nextInFocusChain()) {
            if ((next->focusPolicy() & Qt::TabFocus) && !next->focusProxy() && next->isEnabled()
                && next->isVisibleTo(m_dialog.get())) {
                chain << next;
            }
        }
        int lastY = -1;
        for (QWidget *widget : std::as_const(chain)) {
            const int y = std::exchange(lastY, widget->mapTo(m_dialog.get(), QPoint()).y());
            QVERIFY2(lastY >= y - 2, qPrintable(widget->objectName()));
            const auto button = qobject_cast<QAbstractButton *>(widget);
            const QString name = widget->accessibleName() + (button ? button->text() : QString());
            QVERIFY2(!name.isEmpty() || qobject_cast<QTabBar *>(widget),
                     widget->metaObject()->className());
        }
        QVERIFY(chain.size() > 8);
        if (tab == 0)
            QVERIFY(chain.contains(w("regularKeysLabel")));
    }
    for (QFormLayout *form : m_dialog->findChildren<QFormLayout *>()) {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem *item = form->itemAt(row, QFormLayout::LabelRole);
            if (auto label = item ? qobject_cast<QLabel *>(item->widget()) : nullptr)
                QVERIFY2(label->buddy(), qPrintable(label->objectName()));
        }
    }
    QTest::keyClick(w<PathChooser>("rpmPathChooser")->lineEdit(), Qt::Key_Return);
    QCOMPARE(m_kit->calls({"rpmsign-external delete"}), QStringList());
}

// Tab goes round the controls of the shown tab in reading order, each once,
// the target included; Shift+Tab the other way.
void SignDialogTest::testTabCycle()
{
    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    setPackage(m_kit->package("a.rpm"));
    // Not in the middle of the walk, taking the focus to the IDE's window.
    m_messages->flush();
    // The window system hears of the raise later: the dialog's activation must come after it.
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(m_dialog.get());
    QTRY_COMPARE(QApplication::activeWindow(), m_dialog.get());
    QWidget *combo = w("m_comboBoxBuildTargets");
    const auto name = [](QWidget *widget) -> QString {
        if (!widget)
            return QString("nothing");
        if (!widget->objectName().isEmpty())
            return widget->objectName();
        return widget->parentWidget()->objectName() + "/" + widget->accessibleName();
    };
    const auto cycle = [&](Qt::Key key) {
        combo->setFocus(Qt::OtherFocusReason);
        QStringList stops;
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), key);
            if (QApplication::focusWidget() == combo)
                return stops;
            stops << name(QApplication::focusWidget());
        }
        return stops << "never back at the target";
    };
    const QString browse = "/" + PathChooser::browseButtonLabel();
    const QStringList above{"rpmPathChooserLineEdit",
                            "rpmPathChooser" + browse,
                            "rpmPathChooser/Choose several packages",
                            "removeSignaturePushButton",
                            "qt_tabwidget_tabbar"};
    const QList<QStringList> tabs{
        {"developerKeyPathChooserLineEdit",
         "developerKeyPathChooser" + browse,
         "developerCertificatePathChooserLineEdit",
         "developerCertificatePathChooser" + browse,
         "clientKeyPathChooserLineEdit",
         "clientKeyPathChooser" + browse,
         "clientCertificatePathChooserLineEdit",
         "clientCertificatePathChooser" + browse,
         "regularKeysLabel",
         "addSignaturePushButton"},
        {"caCertificatePathChooserLineEdit",
         "caCertificatePathChooser" + browse,
         "verifySignaturePushButton",
         "dumpPushButton",
         "developerSignatureTextBrowser"},
        {"generatedKeyPathChooserLineEdit",
         "generatedKeyPathChooser" + browse,
         "generationKeyAlgoComboBox",
         "generatedReqPathChooserLineEdit",
         "generatedReqPathChooser" + browse,
         "generateCompanyNameLineEdit",
         "generationKeyEncryptCheckBox",
         "genReqButton"}};
    for (int tab : {0, 1, 2}) {
        w<QTabWidget>("tabWidget")->setCurrentIndex(tab);
        const QStringList forward = above + tabs.at(tab);
        QCOMPARE(cycle(Qt::Key_Tab), forward);
        QStringList backward = forward;
        std::reverse(backward.begin(), backward.end());
        QCOMPARE(cycle(Qt::Key_Backtab), backward);
    }
}

// Alt and a letter reach the fields and the main actions, none taken twice
// among what is shown together.
void SignDialogTest::testMnemonics()
{
    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    const auto letter = [](const QString &text) {
        const qsizetype at = text.indexOf('&');
        return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
    };
    auto tabs = w<QTabWidget>("tabWidget");
    QStringList shared;
    for (const char *name : {"targetLabel", "rpmLabel"})
        shared << text(name);
    shared << w<QPushButton>("removeSignaturePushButton")->text();
    for (int tab = 0; tab < tabs->count(); ++tab)
        shared << tabs->tabText(tab);
    for (int tab = 0; tab < tabs->count(); ++tab) {
        QStringList texts = shared;
        QWidget *page = tabs->widget(tab);
        for (QLabel *label : page->findChildren<QLabel *>()) {
            if (label->buddy())
                texts << label->text();
        }
        for (QAbstractButton *button : page->findChildren<QAbstractButton *>()) {
            if (!button->text().isEmpty())
                texts << button->text();
        }
        QSet<QChar> letters;
        for (const QString &text : std::as_const(texts)) {
            const QChar key = letter(text);
            QVERIFY2(!key.isNull(), qPrintable(text));
            QVERIFY2(!letters.contains(key), qPrintable(text));
            letters.insert(key);
        }
    }
}

// Long lines wrap within the width the user gave the window.
void SignDialogTest::testLongTextsKeepWidth()
{
    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    m_dialog->resize(560, 560);
    QApplication::processEvents();
    const int width = m_dialog->width();
    const QString longLine = QString("Subject: O=Tamarek Test, OU=developer, CN=A very long "
                                     "name ")
                                 .repeated(8)
                                 .trimmed();
    for (const char *name : {"developerSignatureShortLabel",
                             "clientSignatureShortLabel",
                             "signStateReasonLabel",
                             "developerCertificateHealthLabel",
                             "clientCertificateHealthLabel"}) {
        auto label = w<LineElidingLabel>(name);
        label->setPlainLines(longLine + "\n" + longLine);
        label->show();
    }
    for (int tab : {0, 1, 2}) {
        w<QTabWidget>("tabWidget")->setCurrentIndex(tab);
        QApplication::processEvents();
        QCOMPARE(m_dialog->width(), width);
        QVERIFY2(m_dialog->minimumSizeHint().width() <= width,
                 qPrintable(QString::number(m_dialog->minimumSizeHint().width())));
    }
    // Cut where the window ends; the whole text stays at hand.
    auto summary = w<LineElidingLabel>("developerSignatureShortLabel");
    QVERIFY2(summary->text().contains(QChar(0x2026)), qPrintable(summary->text()));
    QCOMPARE(summary->toolTip(), longLine + "\n" + longLine);
}

void SignDialogTest::testEngineStartStopped_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Stop button") << "button";
    QTest::newRow("closing the window") << "close";
}

// Starting the engine is a run like any other: stoppable, and no action
// starts meanwhile. Opened again, the window tries anew.
void SignDialogTest::testEngineStartStopped()
{
    QFETCH(QString, how);

    m_kit = std::make_unique<DialogKit>(QList<TestTarget>{{"T", {"rpmsign-external"}, {}}}, true);
    QVERIFY(m_kit->isValid());
    m_kit->write("hook", holdUntilGo("\" start \"").toUtf8());
    m_messages = std::make_unique<GeneralMessages>();
    m_dialog = std::make_unique<SignDialog>(Core::ICore::mainWindow());
    auto info = m_dialog->findChild<BuildEngineInfo *>();
    QSignalSpy unavailable(info, &BuildEngineInfo::targetsUnavailable);
    bool busy = false;
    duringRun([&] {
        busy = stopButton()->isEnabled() && !w("addSignaturePushButton")->isEnabled()
               && !w("genReqButton")->isEnabled();
        if (how == "button")
            stopButton()->click();
        else
            m_dialog->close();
    });
    m_dialog->show();
    QVERIFY(unavailable.wait(30000));
    QVERIFY(busy);
    QCOMPARE(unavailable.first().first().toString(),
             QString("Starting the build engine was stopped. Close and open the window to try "
                     "again."));
    QTRY_COMPARE(processesMentioning(m_kit->tool().path().toFSPathString()), QStringList());
    QCOMPARE(w<QComboBox>("m_comboBoxBuildTargets")->count(), 0);

    m_kit->write("hook");
    QSignalSpy arrived(info, &BuildEngineInfo::targetsChanged);
    m_dialog->hide();
    m_dialog->show();
    QVERIFY(arrived.wait(30000));
    QCOMPARE(w<QComboBox>("m_comboBoxBuildTargets")->currentText(), QString("T"));
}

// The IDE's shut-down does not wait for a tool the dialog or a certificate
// label waits for.
void SignDialogTest::testShutdownStopsRuns()
{
    QVERIFY(open({{"T", {"rpmsign-external"}, {}}}));
    TamarekPlugin *plugin = nullptr;
    for (ExtensionSystem::PluginSpec *pluginSpec : ExtensionSystem::PluginManager::plugins()) {
        if (auto tamarek = qobject_cast<TamarekPlugin *>(pluginSpec->plugin()))
            plugin = tamarek;
    }
    QVERIFY(plugin);
    const QPointer<SignDialog> previous = plugin->m_signDialog;
    plugin->m_signDialog = m_dialog.get();
    const auto restore = qScopeGuard([&] { plugin->m_signDialog = previous; });

    m_kit->write("hook", holdUntilGo("\" verify \"").toUtf8() + holdUntilGo("\" x509 \"").toUtf8());
    CertificateHealthLabel label;
    QSignalSpy labelUpdated(&label, &CertificateHealthLabel::updated);
    label.setTarget("T");
    label.setPair(m_kit->path("cert.pem"));
    QVERIFY(FilePath::fromString(m_kit->path("cert.pem")).writeFileContents("certificate\n"));
    bool stopped = false;
    duringRun([&] {
        QTRY_VERIFY(label.isBusy() && !processesMentioning(" x509 ").isEmpty());
        QCOMPARE(plugin->aboutToShutdown(), ExtensionSystem::IPlugin::SynchronousShutdown);
        stopped = true;
    });
    setPackage(m_kit->package("a.rpm"));
    QVERIFY(stopped);
    QCOMPARE(status(), "The tool was stopped before it finished.");
    // A stopped read may take the kill after the grace time, on a busy machine too.
    QVERIFY(labelUpdated.count() > 0 || labelUpdated.wait(15000));
    QVERIFY2(label.fullText().contains("The read was stopped."), qPrintable(label.fullText()));
    QTRY_COMPARE(processesMentioning(m_kit->tool().path().toFSPathString()), QStringList());
}

// A mark is about the package, target and keys it was made for; customer-sign
// checks its client certificate against the packages key, as it signs.
void SignDialogTest::testOutcomesBelongToTheirChoice()
{
    QVERIFY(open({{"C", {"customer-sign", "vyxcert-cli"}, {}}}));
    setPath("binaryKeyPathChooser", m_kit->kitFile("workspace/keys/binaries-key.pem"));
    setPath("developerKeyPathChooser", m_kit->kitFile("workspace/keys/developer-key.pem"));
    setPath("developerCertificatePathChooser", m_kit->kitFile("workspace/keys/developer-cert.pem"));
    setPath("clientKeyPathChooser", m_kit->kitFile("workspace/keys/client-key.pem"));
    setPath("clientCertificatePathChooser",
            m_kit->kitFile("workspace/keys/developer-client-cert.pem"));
    auto clientHealth = w<CertificateHealthLabel>("clientCertificateHealthLabel");
    QTRY_VERIFY_WITH_TIMEOUT(!clientHealth->isBusy(), 30000);
    QVERIFY2(clientHealth->fullText().contains("The key belongs to the certificate."),
             qPrintable(clientHealth->fullText()));

    setPackage(m_kit->package("a.rpm"));
    press("addSignaturePushButton");
    QCOMPARE(w("signStateLabel")->accessibleName(), "Signed");
    m_dialog->hide();
    m_dialog->show();
    QCOMPARE(w("signStateLabel")->accessibleName(), "Signing outcome");

    press("addSignaturePushButton");
    QCOMPARE(w("signStateLabel")->accessibleName(), "Signed");
    setPath("developerKeyPathChooser", m_kit->kitFile("workspace/keys/client-key.pem"));
    QCOMPARE(w("signStateLabel")->accessibleName(), "Signing outcome");

    setPath("developerKeyPathChooser", m_kit->kitFile("workspace/keys/developer-key.pem"));
    press("addSignaturePushButton");
    QCOMPARE(w("signStateLabel")->accessibleName(), "Signed");
    setPackage(m_kit->package("b.rpm"));
    QCOMPARE(w("signStateLabel")->accessibleName(), "Signing outcome");
}

TAMAREK_TEST(SignDialogTest)

} // namespace Tamarek::Internal

#include "tst_signdialog.moc"
