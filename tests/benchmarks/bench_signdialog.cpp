// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "commands.h"
#include "signdialog.h"
#include "signtestproject.h"
#include "tamarekconstants.h"
#include "tamarektests.h"
#include "testkit.h"
#include "testsupport.h"
#include "toolrunner.h"

#include <coreplugin/actionmanager/actionmanager.h>
#include <coreplugin/actionmanager/command.h>
#include <coreplugin/icore.h>
#include <coreplugin/messagemanager.h>
#include <coreplugin/outputwindow.h>
#include <utils/pathchooser.h>

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QtTest>

#include <algorithm>

using namespace Tamarek::Testing;
using Orv::Testing::TestEngine;
using Orv::Testing::TestKit;

namespace Tamarek::Internal {

namespace {

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

double msSince(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// Each kind of build target the dialog tells apart, by the tools it offers.
const QList<QPair<QString, QStringList>> kinds{
    {"T-rpmsign", {"rpmsign-external"}},
    {"T-customer", {"customer-sign", "vyxcert-cli"}},
    {"T-customer-only", {"customer-sign"}},
    {"T-vyxcert-only", {"vyxcert-cli"}},
    {"T-none", {}},
};

} // namespace

// Prints figures, asserts no speed: run with tests/benchmarks/run-benchmarks.sh.
class SignDialogBenchmark : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void testOpen();
    void testTargetSelected();
    void testRunsOverLife();
    void testHundredPackages();
    void testPaneFormatting();

private:
    std::unique_ptr<TestKit> m_kit;
};

void SignDialogBenchmark::initTestCase()
{
    QList<Orv::Testing::TestTarget> targets;
    for (const auto &[name, tools] : kinds)
        targets.append({name, tools, {}});
    m_kit = std::make_unique<TestKit>(QList<TestEngine>{{"Engine", targets, true}});
    QVERIFY2(m_kit->isLoaded(), qPrintable(m_kit->errorString()));
    QSettings().remove("OrvRpmSign.History.TargetName");
}

// The menu's first use builds the dialog; later uses show the same one.
void SignDialogBenchmark::testOpen()
{
    Core::Command *command = Core::ActionManager::command(
        Utils::Id(Constants::SIGN_DIALOG_ACTION_ID));
    QVERIFY(command && command->action());
    QElapsedTimer timer;
    timer.start();
    command->action()->trigger();
    const double firstMs = msSince(timer);
    const QList<SignDialog *> dialogs = Core::ICore::mainWindow()->findChildren<SignDialog *>();
    QCOMPARE(dialogs.size(), 1);
    SignDialog *dialog = dialogs.first();
    QVERIFY(dialog->isVisible());
    QSignalSpy finished(dialog, &SignDialog::runsFinished);
    QVERIFY(finished.wait(60000));
    const double targetsMs = msSince(timer);

    QList<double> again;
    for (int i = 0; i < 20; ++i) {
        dialog->hide();
        timer.restart();
        command->action()->trigger();
        again << msSince(timer);
        QVERIFY(dialog->isVisible());
    }
    QList<double> built;
    for (int i = 0; i < 20; ++i) {
        timer.restart();
        SignDialog fresh(Core::ICore::mainWindow());
        fresh.show();
        built << msSince(timer);
    }
    qInfo("menu trigger to dialog visible: first %.1f ms (builds it), later median %.2f ms",
          firstMs, median(again));
    qInfo("construction and show of a new dialog: median %.1f ms over 20", median(built));
    qInfo("first trigger to the first target probed and shown: %.0f ms", targetsMs);
}

void SignDialogBenchmark::testTargetSelected()
{
    QSettings().setValue("OrvRpmSign.History.TargetName", kinds.last().first);
    SignDialog dialog(Core::ICore::mainWindow());
    QSignalSpy finished(&dialog, &SignDialog::runsFinished);
    dialog.show();
    QVERIFY(finished.wait(60000));
    auto combo = dialog.findChild<QComboBox *>("m_comboBoxBuildTargets");
    QSet<QString> probed{combo->currentText()};
    for (int round = 0; round < 2; ++round) {
        for (const auto &kind : kinds) {
            const bool known = probed.contains(kind.first);
            QElapsedTimer timer;
            timer.start();
            combo->setCurrentText(kind.first);
            qInfo("%s selected to controls updated: %.1f ms (%s)", qPrintable(kind.first),
                  msSince(timer), known ? "known" : "first time, probed");
            probed << kind.first;
        }
    }
    QSettings().remove("OrvRpmSign.History.TargetName");
}

// One dialog's life: each target chosen three times, a package refreshed
// on it, its buttons pressed, the request tab opened where it exists.
void SignDialogBenchmark::testRunsOverLife()
{
    const QString package = m_kit->sharedSrcPath().pathAppended("a.rpm").toFSPathString();
    QVERIFY(Utils::FilePath::fromString(package).writeFileContents("package\n"));
    GeneralMessages messages;
    {
        SignDialog dialog(Core::ICore::mainWindow());
        QSignalSpy finished(&dialog, &SignDialog::runsFinished);
        dialog.show();
        QVERIFY(finished.wait(60000));
        dialog.findChild<Utils::PathChooser *>("rpmPathChooser")->setPath(package);
        QVERIFY(finished.wait(60000));
        auto combo = dialog.findChild<QComboBox *>("m_comboBoxBuildTargets");
        auto tabs = dialog.findChild<QTabWidget *>("tabWidget");
        for (int round = 0; round < 3; ++round) {
            for (const auto &kind : kinds) {
                combo->setCurrentText(kind.first);
                for (const char *button : {"verifySignaturePushButton", "dumpPushButton"})
                    emit dialog.findChild<QPushButton *>(button)->pressed();
                if (tabs->isTabVisible(2)) {
                    tabs->setCurrentIndex(2);
                    tabs->setCurrentIndex(1);
                }
            }
        }
    }
    qInfo("tool runs per target over a dialog's life (3 rounds of: select, verify, dump, "
          "request tab where shown):");
    const QStringList probes{"rpmsign-external --version", "customer-sign --help",
                             "vyxcert-cli --help", "openssl version"};
    for (const auto &kind : kinds) {
        const QStringList runs = messages.lines().filter(
            QRegularExpression(QString("^\\[\\$\\] .* -t %1 ").arg(kind.first)));
        QStringList counts;
        for (const QString &probe : probes)
            counts << QString("%1 %2").arg(probe).arg(runs.filter(" " + probe).size());
        qInfo("  %s: %lld runs; %s; operations %lld", qPrintable(kind.first), runs.size(),
              qPrintable(counts.join(", ")),
              runs.size()
                  - std::count_if(runs.cbegin(), runs.cend(), [&](const QString &run) {
                        return std::any_of(probes.cbegin(), probes.cend(), [&](auto &probe) {
                            return run.endsWith(" " + probe);
                        });
                    }));
    }
}

// 100 packages signed, verified and dumped from the dialog, against the same
// tool runs made directly through the kit's tool, in turns; again from the
// dialog with the log kept out of General Messages, which tells the plug-in's
// own cost from the pane's; and the worst lateness of a 1 ms timer meanwhile.
void SignDialogBenchmark::testHundredPackages()
{
    const Utils::FilePath folder = m_kit->sharedSrcPath().pathAppended("hundred");
    QVERIFY(folder.ensureWritableDir());
    QStringList packages;
    for (int i = 0; i < 100; ++i) {
        const Utils::FilePath package = folder.pathAppended(
            QString("package-%1-1.0-1.aarch64.rpm").arg(i, 3, 10, QChar('0')));
        QVERIFY(package.writeFileContents(QByteArray(64 * 1024, 'p')));
        packages << package.toFSPathString();
    }
    const Utils::FilePath kitFiles = copyStandinKitFiles(m_kit->sharedSrcPath());
    const QString key = kitFiles.pathAppended("workspace/keys/developer-key.pem").toFSPathString();
    const QString cert = kitFiles.pathAppended("workspace/keys/developer-cert.pem").toFSPathString();
    const QString ca = kitFiles.pathAppended("ca/ca-cert.pem").toFSPathString();
    const QString target = "T-rpmsign";

    QSettings().setValue("OrvRpmSign.History.TargetName", target);
    SignDialog dialog(Core::ICore::mainWindow());
    QSignalSpy finished(&dialog, &SignDialog::runsFinished);
    dialog.show();
    QVERIFY(finished.wait(60000));
    const auto chooser = [&dialog](const char name[]) {
        return dialog.findChild<Utils::PathChooser *>(QLatin1String(name));
    };
    chooser("developerKeyPathChooser")->setPath(key);
    chooser("developerCertificatePathChooser")->setPath(cert);
    chooser("caCertificatePathChooser")->setPath(ca);
    chooser("rpmPathChooser")->setPath(folder.toFSPathString());
    QVERIFY(finished.wait(120000));

    qint64 worstNs = 0;
    qint64 worstUnloggedNs = 0;
    qint64 worstAloneNs = 0;
    qint64 *worst = &worstAloneNs;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    connect(&ticker, &QTimer::timeout, this, [&] {
        *worst = std::max(*worst, sinceTick.nsecsElapsed() - 1000000);
        sinceTick.restart();
    });
    // Untimed: the log of one phase is laid out before the next one starts,
    // and its lateness counts for the phase it belongs to.
    const auto drain = [] {
        QSignalSpy changes(GeneralMessages::window()->document(), &QTextDocument::contentsChange);
        while (changes.wait(200))
            changes.clear();
    };
    // The log goes to General Messages, or, to tell the plug-in's own cost
    // from the pane's, nowhere.
    bool showLog = true;
    const Echo shown = currentEcho();
    setEcho([&showLog, shown](const QString &line, bool disrupting) {
        if (showLog && shown)
            shown(line, disrupting);
    });
    const auto pressed = [&](const char button[], bool logShown) {
        QElapsedTimer timer;
        timer.start();
        worst = logShown ? &worstNs : &worstUnloggedNs;
        showLog = logShown;
        emit dialog.findChild<QPushButton *>(QLatin1String(button))->pressed();
        const double ms = msSince(timer);
        drain();
        worst = &worstAloneNs;
        showLog = true;
        return ms;
    };
    const auto direct = [&](const QStringList &command) {
        QElapsedTimer timer;
        timer.start();
        runProcess([](const QByteArray &, const QByteArray &, QByteArray &) { return true; },
                   command);
        const double ms = msSince(timer);
        drain();
        return ms;
    };
    const QStringList sign = Commands::rpmsignSignCommand(target, key, cert, packages);
    const QStringList verify = Commands::rpmsignVerifyCommand(target, ca, packages);
    const QStringList dump = Commands::rpmsignDumpCommand(target, packages);

    struct Phase
    {
        const char *what;
        const char *button;
        std::function<double()> alone;
        QList<double> dialog, unlogged, tool;
    };
    QList<Phase> phases{
        // The dialog's Sign verifies and dumps afterwards, as the tool runs do here.
        {"sign (with its verify and dump)", "addSignaturePushButton",
         [&] { return direct(sign) + direct(verify) + direct(dump); }, {}, {}, {}},
        {"verify", "verifySignaturePushButton", [&] { return direct(verify); }, {}, {}, {}},
        {"dump", "dumpPushButton", [&] { return direct(dump); }, {}, {}, {}},
    };
    sinceTick.start();
    ticker.start(1);
    for (int round = 0; round < 5; ++round) {
        for (Phase &phase : phases) {
            phase.dialog << pressed(phase.button, true);
            phase.tool << phase.alone();
            phase.unlogged << pressed(phase.button, false);
        }
    }
    ticker.stop();
    setEcho(shown);
    const auto percent = [](double part, double whole) {
        return whole > 0 ? (part - whole) / whole * 100 : 0;
    };
    for (const Phase &phase : phases) {
        const double d = median(phase.dialog);
        const double u = median(phase.unlogged);
        const double t = median(phase.tool);
        qInfo("%s 100 packages (medians of %lld turns): dialog %.0f ms (%.1f ms per package), "
              "the tool alone %.0f ms (%.1f ms per package): the dialog adds %+.1f %%; with "
              "its log not laid out in General Messages %.0f ms, %+.1f %%",
              phase.what, phase.dialog.size(), d, d / 100, t, t / 100, percent(d, t), u,
              percent(u, t));
    }
    qInfo("worst lateness of a 1 ms timer: %.1f ms during the dialog's runs (%.1f ms with the "
          "log not laid out), %.1f ms during the tool's runs alone",
          worstNs / 1e6, worstUnloggedNs / 1e6, worstAloneNs / 1e6);
    QSettings().remove("OrvRpmSign.History.TargetName");
}

// What the General Messages pane itself takes to lay out the lines a dump
// echoes, in one pass of its timer: the stalls while it works off a run's
// output. A signature line is one word of over 500 characters.
void SignDialogBenchmark::testPaneFormatting()
{
    Core::OutputWindow *window = GeneralMessages::window();
    QVERIFY(window);
    Core::MessageManager::writeDisrupting("[I]\tshown");
    const QString signatureLine = "[I]\tSignature: sha256, rsaEncryption, " + QString(512, 'a');
    const QString subjectLine = "[I]\tSubject: O=Tamarek Test, OU=developer, CN=Tamarek developer";
    for (const auto &[kind, line] : {std::pair("signature", signatureLine),
                                     std::pair("subject", subjectLine)}) {
        for (const int size : {1000, 4000}) {
            QString text;
            while (text.size() < size)
                text += line + '\n';
            QList<double> ms;
            for (int i = 0; i < 20; ++i) {
                QElapsedTimer timer;
                timer.start();
                window->appendMessage(text, Utils::GeneralMessageFormat);
                window->flush(); // formats a modest queue at once
                ms << timer.nsecsElapsed() / 1e6;
                QCoreApplication::processEvents();
            }
            qInfo("General Messages lays out %lld characters of %s lines in %.1f ms "
                  "(median of 20; %.1f us a character)",
                  text.size(), kind, median(ms), median(ms) * 1000 / text.size());
        }
    }
}

static const int registered = qEnvironmentVariableIsSet("TAMAREK_BENCHMARKS")
                                  ? addTestCreator([] { return new SignDialogBenchmark; })
                                  : 0;

} // namespace Tamarek::Internal

#include "bench_signdialog.moc"
