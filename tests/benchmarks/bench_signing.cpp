// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtestproject.h"
#include "tamarektests.h"
#include "testsupport.h"

#include "customersignstep.h"
#include "linesplitter.h"
#include "signaturedump.h"
#include "toolrunner.h"

#include <neverraos/orvsettings.h>
#include <projectexplorer/buildsteplist.h>

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <limits>

using namespace ProjectExplorer;
using namespace Tamarek::Testing;

namespace Tamarek::Internal {

namespace {

// What rpmsign-external dump prints for a package with a developer and a client signature.
QString dumpOf(int packageCount)
{
    const QString signature = "Subject: O=Tamarek Test, OU=%1, CN=Tamarek %1\n"
                              "Group: %1\n"
                              "Subgroup: Tamarek Test\n"
                              "Key ID: 3F2A9C0B7E51D4468A0C93E1F5B2D7A6C8E04B19\n"
                              "Signature: sha256, rsaEncryption, "
                              + QString(512, 'a') + "\n";
    QString dump;
    for (int i = 0; i < packageCount; ++i) {
        dump += QString("/home/user/workspace/build/RPMS/aarch64/package-%1-1.0-1.aarch64.rpm\n")
                    .arg(i);
        dump += signature.arg("developer") + signature.arg("client");
    }
    return dump;
}

// With STALLS set: every gap of over 20 ms between two event deliveries, and
// what the first went to, which is where the time went. A sign step's tool
// flooding its output shows Core::OutputWindow's chunk timer there, with
// "formatter took" the same time under qtc.core.outputChunking.debug.
class EventGaps : public QObject
{
public:
    EventGaps() { m_clock.start(); }

private:
    bool eventFilter(QObject *receiver, QEvent *event) final
    {
        const qint64 now = m_clock.nsecsElapsed();
        if (now - m_last > 20000000 && !m_lastReceiver.isEmpty())
            qInfo("gap %.1f ms after an event to %s", (now - m_last) / 1e6, qPrintable(m_lastReceiver));
        m_last = now;
        m_lastReceiver = QString("%1 (type %2)")
                             .arg(QLatin1String(receiver->metaObject()->className()))
                             .arg(int(event->type()));
        return false;
    }

    QElapsedTimer m_clock;
    qint64 m_last = 0;
    QString m_lastReceiver;
};

} // namespace

// Prints figures, asserts no speed: run with tests/benchmarks/run-benchmarks.sh.
class SigningBenchmark : public QObject
{
    Q_OBJECT

private slots:
    void testReportReading();
    // First, while the panes have nothing queued.
    void testEventLoopWithoutPanes_data();
    void testEventLoopWithoutPanes();
    void testEventLoopWhileToolPrints_data();
    void testEventLoopWhileToolPrints();
};

// The rpmsign-external step's reading of the signatures it dumps after signing.
void SigningBenchmark::testReportReading()
{
    QList<double> perPackageNs;
    for (const int count : {1000, 10000, 100000}) {
        const QString dump = dumpOf(count);
        const QStringList packages(count, QString()); // only their number counts
        // Best of three, each as a dump read from the tool would be: not in the
        // processor's caches, whatever its size, so that the sizes compare.
        qint64 ns = std::numeric_limits<qint64>::max();
        int notes = 0;
        for (int round = 0; round < 3; ++round) {
            QByteArray evict(64 * 1024 * 1024, 'x');
            evict.fill('y');
            QElapsedTimer timer;
            timer.start();
            notes = 0;
            for (const PackageDump &block : splitSignatureDump(dump, packages))
                notes += signatureNote(block.dumpText) != SignatureNote::None;
            ns = std::min(ns, timer.nsecsElapsed());
        }
        QCOMPARE(notes, 0);
        perPackageNs << double(ns) / count;
        qInfo("signature report of %6d packages (%.1f MiB): %8.1f ms", count,
              dump.size() * 2 / (1024.0 * 1024.0), ns / 1e6);
    }
    qInfo("time per package: 1,000: %.0f ns, 10,000: %.0f ns, 100,000: %.0f ns", perPackageNs[0],
          perPackageNs[1], perPackageNs[2]);
}

void SigningBenchmark::testEventLoopWhileToolPrints_data()
{
    QTest::addColumn<int>("bytes");
    QTest::newRow("1 MiB") << 1024 * 1024;
    QTest::newRow("20 MiB") << 20 * 1024 * 1024;
}

// A 1 ms timer's worst lateness during a deploy whose sign step's tool prints
// a flood of lines: each goes to the step's output pane and General Messages.
void SigningBenchmark::testEventLoopWhileToolPrints()
{
    QFETCH(int, bytes);
    const QString norkPath = Orv::Internal::OrvSettings::norkPath().toFSPathString();
    ToolDouble kitTool(
        QString("case \"$*\" in *rpmbuild*|*' openssl '*) exec '%1' \"$@\";; esac; "
                "yes 'Signing /home/user/workspace/package-1.0-1.aarch64.rpm: step done' "
                "| head -c %2")
            .arg(norkPath)
            .arg(bytes));
    SignTestKit kit(kitTool.path());
    QVERIFY2(kit.isValid(), qPrintable(kit.errorString()));
    SignTestProject project(kit.customerSignKit(), Packages::MainOnly);
    BuildStepList *steps = project.deploySteps();
    QVERIFY(steps);
    steps->insertStep(steps->count(), CustomerSignStep::stepId());
    auto step = qobject_cast<CustomerSignStep *>(steps->at(steps->count() - 1));
    QVERIFY(step);
    step->setBinariesKey(kit.key("binaries-key.pem"));
    step->setPackagesKey(kit.key("developer-key.pem"));
    step->setPackagesCert(kit.key("developer-cert.pem"));

    GeneralMessages messages;
    qint64 worstNs = 0;
    qint64 ticks = 0;
    bool signing = false;
    QElapsedTimer sinceTick;
    std::function<qint64()> deployTimerMs;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    EventGaps gaps;
    if (qEnvironmentVariableIsSet("STALLS"))
        qApp->installEventFilter(&gaps);
    connect(&ticker, &QTimer::timeout, this, [&] {
        if (signing) {
            const qint64 lateNs = sinceTick.nsecsElapsed() - 1000000;
            if (qEnvironmentVariableIsSet("STALLS") && lateNs > 20000000)
                qInfo("stall %.1f ms at %lld ms", lateNs / 1e6, deployTimerMs());
            worstNs = std::max(worstNs, lateNs);
            ++ticks;
        }
        sinceTick.restart();
    });
    connect(step, &BuildStep::addOutput, this, [&](const QString &text) {
        if (qEnvironmentVariableIsSet("STALLS") && !text.startsWith("Signing /"))
            qInfo("%lld ms: %s", deployTimerMs(), qPrintable(text.left(60)));
        if (text == "Signing RPM package...")
            signing = true;
    });
    QElapsedTimer deployTimer;
    deployTimerMs = [&deployTimer] { return deployTimer.elapsed(); };
    sinceTick.start();
    ticker.start(1);
    deployTimer.start();
    project.deploy();
    const qint64 deployMs = deployTimer.elapsed();
    const qint64 signingWorstNs = worstNs;

    // What the panes still have to show, they format from their own timers.
    const qint64 signingTicks = ticks;
    worstNs = 0;
    QElapsedTimer after;
    after.start();
    while (after.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ticker.stop();

    qInfo("%s printed by the sign step's tool: deploy %lld ms; worst timer lateness while "
          "signing %.1f ms (%lld ticks); in the 5 s after, while the panes format: %.1f ms",
          QTest::currentDataTag(), deployMs, signingWorstNs / 1e6, signingTicks, worstNs / 1e6);
}

void SigningBenchmark::testEventLoopWithoutPanes_data()
{
    testEventLoopWhileToolPrints_data();
}

// The same flood through the runner and a tool's line splitting and prompt
// matching, but shown nowhere: what the runner alone costs the event loop.
void SigningBenchmark::testEventLoopWithoutPanes()
{
    QFETCH(int, bytes);
    const QStringList command{"/bin/bash",
                              "-c",
                              QString("yes 'Signing /home/user/workspace/package-1.0-1.aarch64.rpm: "
                                      "step done' | head -c %1")
                                  .arg(bytes)};
    qint64 worstNs = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QElapsedTimer timer;
    connect(&ticker, &QTimer::timeout, this, [&] {
        const qint64 lateNs = sinceTick.nsecsElapsed() - 1000000;
        if (qEnvironmentVariableIsSet("STALLS") && lateNs > 20000000)
            qInfo("stall %.1f ms at %lld ms", lateNs / 1e6, timer.elapsed());
        worstNs = std::max(worstNs, lateNs);
        sinceTick.restart();
    });
    LineSplitter splitter;
    qint64 lines = 0;
    const OutputHandler handler([&](const QByteArray &out, const QByteArray &, QByteArray &) {
        if (qEnvironmentVariableIsSet("STALLS") && lines == 0 && !out.isEmpty())
            qInfo("first output at %lld ms", timer.elapsed());
        lines += splitter.take(out).size();
        return true;
    });
    sinceTick.start();
    ticker.start(1);
    timer.start();
    QVERIFY(runProcess(handler, command).isSuccess());
    qInfo("%s through the runner, shown nowhere: %lld lines in %lld ms; worst timer lateness "
          "%.1f ms",
          QTest::currentDataTag(), lines, timer.elapsed(), worstNs / 1e6);
}

static const int registered = qEnvironmentVariableIsSet("TAMAREK_BENCHMARKS")
                                  ? addTestCreator([] { return new SigningBenchmark; })
                                  : 0;

} // namespace Tamarek::Internal

#include "bench_signing.moc"
