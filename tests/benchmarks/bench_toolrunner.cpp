// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "commands.h"
#include "signtool.h"
#include "tamarektests.h"
#include "testkit.h"
#include "testsupport.h"

#include <coreplugin/outputwindow.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QProcess>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <ctime>

using namespace Tamarek::Testing;
using Orv::Testing::TestEngine;
using Orv::Testing::TestKit;

namespace Tamarek::Internal {

namespace {

const qint64 outputBytes = 20 * 1024 * 1024;
const char target[] = "NeverraOS-5.0-aarch64";
// 20 MB of 64-byte lines, made by the tool itself.
const char printLines[]
    = "yes 'Signing /home/user/workspace/package-1.0-1.aarch64.rpm: step done' | head -c 20971520";
const char promptAndTime[]
    = "t=$(date +%s%N); printf 'Enter PEM pass phrase:'; IFS= read -r pw; echo \"$t\"";

class BenchmarkTool : public SignTool
{
public:
    OutputHandler handler() { return outputHandler(); }
    ProcessResult sign(const QString &, const QStringList &, const SignKeys &) override
    {
        return {};
    }
    ProcessResult removeSignature(const QString &, const QStringList &) override { return {}; }
    ProcessResult verify(const QString &, const QStringList &, const SignKeys &) override
    {
        return {};
    }
    ProcessResult dump(const QString &, const QStringList &) override { return {}; }
    ProcessResult generateRequest(const QString &, const RequestParameters &) override
    {
        return {};
    }
};

double mebibytes(qint64 bytes)
{
    return bytes / (1024.0 * 1024.0);
}

double mebibytesPerSecond(qint64 bytes, qint64 nanoseconds)
{
    return nanoseconds > 0 ? mebibytes(bytes) / (nanoseconds / 1e9) : 0;
}

// The pane formats what it was given from a timer, in chunks; false when it
// has not shown the line within the time.
bool waitUntilShown(Core::OutputWindow *window, const QString &lastLine, int timeoutMs)
{
    const auto shown = [window, &lastLine] {
        QTextBlock block = window->document()->lastBlock();
        while (block.isValid() && block.text().isEmpty())
            block = block.previous();
        return block.isValid() && block.text() == lastLine;
    };
    QDeadlineTimer deadline(timeoutMs);
    while (!shown()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    return true;
}

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

// Prints figures, asserts no speed: run with tests/benchmarks/run-benchmarks.sh.
class ToolRunnerBenchmark : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void testThroughput_data();
    void testThroughput();
    void testPaneDisplay_data();
    void testPaneDisplay();
    void testHandlerInMemory();
    void testIdleCpu();
    void testPromptLatency_data();
    void testPromptLatency();

private:
    QStringList command(bool throughKit, const QString &script) const;

    std::unique_ptr<ToolDouble> m_sleep;
};

void ToolRunnerBenchmark::initTestCase()
{
    m_sleep = std::make_unique<ToolDouble>("sleep 3");
    QVERIFY(m_sleep->isValid());
}

// The script run by bash directly, or as the shell command line that the kit's
// tool runs in a build target, through its pseudo-terminal.
QStringList ToolRunnerBenchmark::command(bool throughKit, const QString &script) const
{
    if (!throughKit)
        return {"/bin/bash", "-c", script};
    return Commands::execCommand(target) << script;
}

void ToolRunnerBenchmark::testThroughput_data()
{
    QTest::addColumn<bool>("throughKit");
    QTest::newRow("tool on pipes") << false;
    QTest::newRow("kit tool, pseudo-terminal") << true;
}

void ToolRunnerBenchmark::testThroughput()
{
    QFETCH(bool, throughKit);
    TestKit kit({{"Engine", {{target, {"rpmsign-external", "openssl"}, {}}}, true}});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
    const QStringList lines = command(throughKit, printLines);

    QElapsedTimer timer;
    timer.start();
    QProcess plain;
    qint64 drained = 0;
    connect(&plain, &QProcess::readyReadStandardOutput, &plain, [&] {
        drained += plain.readAllStandardOutput().size();
    });
    QSignalSpy finished(&plain, &QProcess::finished);
    plain.setWorkingDirectory(kit.sharedSrcPath().toFSPathString());
    plain.start(lines.first(), lines.mid(1));
    QVERIFY(finished.wait(120000));
    drained += plain.readAllStandardOutput().size();
    const qint64 plainNs = timer.nsecsElapsed();

    GeneralMessages messages;
    BenchmarkTool tool;
    qint64 lineCount = 0;
    connect(&tool, &SignTool::addOutput, &tool, [&lineCount] { ++lineCount; });
    timer.restart();
    const ProcessResult result = runProcess(tool.handler(), lines);
    const qint64 runNs = timer.nsecsElapsed();
    QVERIFY(result.isSuccess());

    qInfo("%s: %.1f MiB, %lld lines", QTest::currentDataTag(),
          mebibytes(result.standardOutput.size()), lineCount);
    qInfo("  runProcess with a tool's handler and its echo: %.1f MiB/s (%.0f ms)",
          mebibytesPerSecond(result.standardOutput.size(), runNs), runNs / 1e6);
    qInfo("  plain QProcess only draining: %.1f MiB/s (%.0f ms)",
          mebibytesPerSecond(drained, plainNs), plainNs / 1e6);
    qInfo("  runner against the plain drain: %.2f",
          mebibytesPerSecond(result.standardOutput.size(), runNs)
              / mebibytesPerSecond(drained, plainNs));
    QCOMPARE(result.standardOutput.size(), drained);
}

void ToolRunnerBenchmark::testPaneDisplay_data()
{
    QTest::addColumn<int>("bytes");
    QTest::newRow("64 KiB") << 64 * 1024;
    QTest::newRow("1 MiB") << 1024 * 1024;
}

// How long the IDE's General Messages pane takes to show what the echo wrote.
void ToolRunnerBenchmark::testPaneDisplay()
{
    QFETCH(int, bytes);
    const QString script = QString(printLines).replace("20971520", QString::number(bytes));
    const QStringList command{"/bin/bash", "-c", script};
    GeneralMessages messages;
    BenchmarkTool tool;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(runProcess(tool.handler(), command).isSuccess());
    const qint64 runMs = timer.elapsed();
    const bool shown = waitUntilShown(GeneralMessages::window(), "[$] 0\t" + command.join(' '),
                                      120000);
    qInfo("%s echoed in %lld ms; General Messages %s after %lld ms", QTest::currentDataTag(),
          runMs, shown ? "had shown all" : "had still not shown all", timer.elapsed());
}

void ToolRunnerBenchmark::testHandlerInMemory()
{
    QByteArray output;
    output.reserve(outputBytes);
    const QByteArray line = "Signing /home/user/workspace/package-1.0-1.aarch64.rpm: step done\n";
    while (output.size() + line.size() <= outputBytes)
        output += line;

    // Pieces of the size a pipe read gives, cut through lines.
    const qsizetype piece = 65536;
    QElapsedTimer timer;
    qint64 lines = 0;
    timer.start();
    LineSplitter splitter;
    for (qsizetype at = 0; at < output.size(); at += piece)
        lines += splitter.take(output.mid(at, piece)).size();
    const qint64 splitNs = timer.nsecsElapsed();

    GeneralMessages messages;
    BenchmarkTool tool;
    const OutputHandler handler = tool.handler();
    timer.restart();
    for (qsizetype at = 0; at < output.size(); at += piece) {
        QByteArray input;
        handler(output.mid(at, piece), {}, input);
    }
    handler.finish();
    const qint64 handlerNs = timer.nsecsElapsed();

    qInfo("handler on %.1f MiB in memory, %lld lines, %lld-byte reads:", mebibytes(output.size()),
          lines, qint64(piece));
    qInfo("  line splitting and prompt matching alone: %.1f MiB/s",
          mebibytesPerSecond(output.size(), splitNs));
    qInfo("  whole handler with addOutput and the General Messages echo: %.1f MiB/s",
          mebibytesPerSecond(output.size(), handlerNs));
}

void ToolRunnerBenchmark::testIdleCpu()
{
    // Nothing left for the pane to format in the background.
    GeneralMessages messages;
    BenchmarkTool tool;
    QElapsedTimer timer;
    const std::clock_t cpuBefore = std::clock();
    timer.start();
    const ProcessResult result = runProcess(tool.handler(), {m_sleep->path().toFSPathString()});
    const qint64 wallMs = timer.elapsed();
    const double cpuMs = 1000.0 * (std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    QVERIFY(result.isSuccess());
    qInfo("tool silent for %lld ms: the IDE used %.1f ms of CPU time (%.2f %%)", wallMs, cpuMs,
          100.0 * cpuMs / wallMs);
}

void ToolRunnerBenchmark::testPromptLatency_data()
{
    QTest::addColumn<bool>("throughKit");
    QTest::newRow("tool on pipes") << false;
    QTest::newRow("kit tool, pseudo-terminal") << true;
}

void ToolRunnerBenchmark::testPromptLatency()
{
    QFETCH(bool, throughKit);
    TestKit kit({{"Engine", {{target, {"rpmsign-external", "openssl"}, {}}}, true}});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));

    const int rounds = 20;
    QList<double> latenciesMs;
    for (int round = 0; round < rounds; ++round) {
        PasswordAnswerer answerer({"answer"});
        qint64 shownNs = 0;
        connect(&answerer, &PasswordAnswerer::dialogShown, &answerer, [&shownNs] {
            shownNs = nowNs();
        });
        BenchmarkTool tool;
        QStringList outputs;
        connect(&tool, &SignTool::addOutput, &tool, [&outputs](const QString &line) {
            outputs << line;
        });
        QVERIFY(runProcess(tool.handler(), command(throughKit, promptAndTime)).isSuccess());
        QCOMPARE(answerer.prompts().size(), 1);
        QVERIFY(!outputs.isEmpty());
        latenciesMs << (shownNs - outputs.last().toLongLong()) / 1e6;
    }
    std::sort(latenciesMs.begin(), latenciesMs.end());
    qInfo("%s: prompt written to dialog shown, %d runs: median %.2f ms, min %.2f ms, "
          "max %.2f ms",
          QTest::currentDataTag(), rounds, latenciesMs.at(rounds / 2), latenciesMs.first(),
          latenciesMs.last());
}

static const int registered = qEnvironmentVariableIsSet("TAMAREK_BENCHMARKS")
                                  ? addTestCreator([] { return new ToolRunnerBenchmark; })
                                  : 0;

} // namespace Tamarek::Internal

#include "bench_toolrunner.moc"
