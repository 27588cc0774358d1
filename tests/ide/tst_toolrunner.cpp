// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtool.h"
#include "tamarektests.h"
#include "testkit.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTimer>
#include <QtTest>

using namespace Tamarek::Testing;
using Orv::Testing::TestKit;

namespace Tamarek::Internal {

// Must never show up anywhere but in the tool's standard input.
const char sentinel[] = "Sentinel-pass-7Qx9";

// A tool that tells which passphrase it read without printing it.
const char readAndHash[] = "IFS= read -r -t 30 pw || exit 9; "
                           "printf 'got %s\\n' \"$(printf %s \"$pw\" | sha256sum | cut -c1-16)\"";

static QString hashLine(const QString &passphrase)
{
    return "got "
           + QString::fromLatin1(
                 QCryptographicHash::hash(passphrase.toUtf8(), QCryptographicHash::Sha256)
                     .toHex()
                     .left(16));
}

class TestTool : public SignTool
{
public:
    TestTool() { connectRecorders(); }

    OutputHandler handler() { return outputHandler(); }
    ProcessResult run(const QStringList &command) { return runProcess(handler(), command); }

    QStringList outputs;
    QStringList errors;

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

private:
    void connectRecorders()
    {
        connect(this, &SignTool::addOutput, this, [this](const QString &line) {
            outputs << line;
        });
        connect(this, &SignTool::addError, this, [this](const QString &line) { errors << line; });
    }
};

class ToolRunnerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void testEchoAndResult();
    void testDollarLine_data();
    void testDollarLine();
    void testEmptyHandler();
    void testCrash();
    void testWorkingDirectory_data();
    void testWorkingDirectory();
    void testUnterminatedLastLineBeforeDollarLine();
    void testPrompt_data();
    void testPrompt();
    void testPromptSplitAcrossWrites_data();
    void testPromptSplitAcrossWrites();
    void testCancelKillsTool();
    void testStop_data();
    void testStop();
    void testStartFailure_data();
    void testStartFailure();

private:
    void verifyNoSentinel(const GeneralMessages &messages,
                          const ProcessResult &result,
                          const ToolDouble &tool);
};

void ToolRunnerTest::initTestCase()
{
    QVERIFY(GeneralMessages::window());
}

void ToolRunnerTest::verifyNoSentinel(const GeneralMessages &messages,
                                      const ProcessResult &result,
                                      const ToolDouble &tool)
{
    QVERIFY(!messages.text().contains(sentinel));
    QVERIFY(!result.standardOutput.contains(sentinel));
    QVERIFY(!result.standardError.contains(sentinel));
    QCOMPARE(filesContaining(tool.folder().toFSPathString(), sentinel), QStringList());
}

void ToolRunnerTest::testEchoAndResult()
{
    ToolDouble double_("printf 'out 1\\nout 2\\n'; printf 'err 1\\n' >&2; printf 'out 3\\n'; "
                       "exit 3");
    QVERIFY(double_.isValid());
    GeneralMessages messages;
    TestTool tool;

    const ProcessResult result = tool.run({double_.path().toFSPathString(), "a b", "c"});
    QVERIFY(!result.crashed);
    QCOMPARE(result.exitCode, 3);
    QVERIFY(!result.isSuccess());
    QCOMPARE(result.standardOutput, QByteArray("out 1\nout 2\nout 3\n"));
    QCOMPARE(result.standardError, QByteArray("err 1\n"));
    QCOMPARE(tool.outputs, QStringList({"out 1", "out 2", "out 3"}));
    QCOMPARE(tool.errors, QStringList({"err 1"}));
    QCOMPARE(double_.calls(), QList<QStringList>({{"a b", "c"}}));

    QStringList lines = messages.lines();
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.takeLast(), "[$] 3\t" + double_.path().toFSPathString() + " a b c");
    QCOMPARE(lines.filter("[I]\t"), QStringList({"[I]\tout 1", "[I]\tout 2", "[I]\tout 3"}));
    QCOMPARE(lines.filter("[E]\t"), QStringList({"[E]\terr 1"}));
}

void ToolRunnerTest::testDollarLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("joined");

    QTest::newRow("program alone") << QStringList() << "";
    QTest::newRow("arguments joined by single blanks")
        << QStringList{"engine", "exec", "-t", "T"} << " engine exec -t T";
    QTest::newRow("empty argument kept") << QStringList{"-k", "", "-c"} << " -k  -c";
}

void ToolRunnerTest::testDollarLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, joined);
    ToolDouble double_("exit 0");
    GeneralMessages messages;
    TestTool tool;

    const ProcessResult result = tool.run(QStringList{double_.path().toFSPathString()} + arguments);
    QVERIFY(result.isSuccess());
    QCOMPARE(double_.calls(), QList<QStringList>({arguments}));
    QCOMPARE(messages.lines(),
             QStringList({"[$] 0\t" + double_.path().toFSPathString() + joined}));
}

void ToolRunnerTest::testEmptyHandler()
{
    ToolDouble double_("echo out; echo err >&2; exit 1");
    GeneralMessages messages;

    const ProcessResult result = runProcess({}, {double_.path().toFSPathString()});
    QCOMPARE(result.exitCode, 1);
    QVERIFY(result.standardOutput.isEmpty());
    QVERIFY(result.standardError.isEmpty());
    QCOMPARE(messages.lines(), QStringList({"[$] 1\t" + double_.path().toFSPathString()}));
}

void ToolRunnerTest::testCrash()
{
    ToolDouble double_("echo before; kill -SEGV $$");
    TestTool tool;
    const ProcessResult result = tool.run({double_.path().toFSPathString()});
    QVERIFY(result.crashed);
    QVERIFY(!result.isSuccess());
    QCOMPARE(tool.outputs, QStringList({"before"}));
}

void ToolRunnerTest::testWorkingDirectory_data()
{
    QTest::addColumn<bool>("withEngine");
    QTest::newRow("first engine's workspace") << true;
    QTest::newRow("no build engine: home folder") << false;
}

void ToolRunnerTest::testWorkingDirectory()
{
    QFETCH(bool, withEngine);
    ToolDouble double_("pwd");
    TestKit kit(withEngine ? QList<Orv::Testing::TestEngine>{TestKit::defaultEngine(),
                                                             TestKit::defaultEngine()}
                           : QList<Orv::Testing::TestEngine>{},
                {double_.path(), {}, {}});
    QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));

    TestTool tool;
    const ProcessResult result = tool.run({double_.path().toFSPathString()});
    QVERIFY(result.isSuccess());
    const QString expected = withEngine ? kit.sharedSrcPath(0).toFSPathString()
                                        : QDir::homePath();
    QCOMPARE(tool.outputs, QStringList({QDir(expected).canonicalPath()}));
}

void ToolRunnerTest::testUnterminatedLastLineBeforeDollarLine()
{
    ToolDouble double_("printf 'first\\nlast'; printf 'error without end' >&2");
    GeneralMessages messages;
    TestTool tool;
    const ProcessResult result = tool.run({double_.path().toFSPathString()});
    QVERIFY(result.isSuccess());
    QCOMPARE(tool.outputs, QStringList({"first", "last"}));
    QCOMPARE(tool.errors, QStringList({"error without end"}));
    const QStringList lines = messages.lines();
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines.last().startsWith("[$] 0\t"));
}

void ToolRunnerTest::testPrompt_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("prompts");
    QTest::addColumn<QStringList>("outputs");

    const QString hash = hashLine(sentinel);
    QTest::newRow("PEM prompt without line end")
        << QString("printf 'before\\nEnter PEM pass phrase:'; ") + readAndHash
        << QStringList{sentinel} << QStringList{"Enter PEM pass phrase:"}
        << QStringList{"before", hash};
    QTest::newRow("prompt on standard error")
        << QString("printf 'Enter pass phrase for /ws/key.pem:' >&2; ") + readAndHash
        << QStringList{sentinel} << QStringList{"Enter pass phrase for /ws/key.pem:"}
        << QStringList{hash};
    QTest::newRow("binaries key prompt with line end")
        << QString("printf 'Enter passphrase for binaries key /k.pem:\\n'; ") + readAndHash
        << QStringList{sentinel} << QStringList{"Enter passphrase for binaries key /k.pem:"}
        << QStringList{hash};
    QTest::newRow("passphrase and confirmation in one write")
        << QString("printf 'Enter PEM pass phrase:\\nVerifying - Enter PEM pass phrase:'; ")
               + readAndHash + "; " + readAndHash
        << QStringList{sentinel, "second"}
        << QStringList{"Enter PEM pass phrase:", "Verifying - Enter PEM pass phrase:"}
        << QStringList{hash, hashLine("second")};
    QTest::newRow("passphrase of blanks and non-ASCII")
        << QString("printf 'Enter PEM pass phrase:'; ") + readAndHash
        << QStringList{QString::fromUtf8(" pä ss ")} << QStringList{"Enter PEM pass phrase:"}
        << QStringList{hashLine(QString::fromUtf8(" pä ss "))};
    QTest::newRow("lower-case prompt is echoed, not answered")
        << QString("printf 'enter pem pass phrase:\\n'; echo done") << QStringList()
        << QStringList() << QStringList{"enter pem pass phrase:", "done"};
}

void ToolRunnerTest::testPrompt()
{
    QFETCH(QString, script);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, prompts);
    QFETCH(QStringList, outputs);

    ToolDouble double_(script);
    GeneralMessages messages;
    PasswordAnswerer answerer(answers);
    TestTool tool;

    const ProcessResult result = tool.run({double_.path().toFSPathString()});
    QVERIFY(result.isSuccess());
    QCOMPARE(answerer.prompts(), prompts);
    QVERIFY(answerer.allMasked());
    QCOMPARE(tool.outputs, outputs);
    QVERIFY(tool.errors.isEmpty());
    for (const QString &prompt : prompts)
        QVERIFY(!messages.text().contains(prompt));
    verifyNoSentinel(messages, result, double_);
}

void ToolRunnerTest::testPromptSplitAcrossWrites_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("prompt");

    QTest::newRow("cut inside the prompt text")
        << "Enter PEM pa" << "ss phrase:" << "Enter PEM pass phrase:";
    QTest::newRow("cut before the key it is for")
        << "Enter pass phrase" << " for /ws/k.pem:" << "Enter pass phrase for /ws/k.pem:";
    QTest::newRow("no colon: asked once the tool is quiet")
        << "Enter pass phrase" << "" << "Enter pass phrase";
}

// The tool goes on only when the first part has been handed to the handler,
// so the prompt surely arrives in two reads.
void ToolRunnerTest::testPromptSplitAcrossWrites()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, prompt);

    ToolDouble double_(QString("printf '%1'; read -r -t 30 go || exit 9; printf '%2'; ")
                           .arg(first, second)
                       + readAndHash);
    GeneralMessages messages;
    PasswordAnswerer answerer({sentinel});
    TestTool tool;

    const OutputHandler toolHandler = tool.handler();
    QStringList reads;
    const OutputHandler handler(
        [&](const QByteArray &standardOutput, const QByteArray &standardError, QByteArray &input) {
            if (!standardOutput.isEmpty())
                reads << QString::fromUtf8(standardOutput);
            const bool goOn = toolHandler(standardOutput, standardError, input);
            if (standardOutput == first.toUtf8())
                input.append("go\n");
            return goOn;
        },
        [&] { toolHandler.finish(); },
        [&](QByteArray &input) { return toolHandler.quiet(input); });

    const ProcessResult result = runProcess(handler, {double_.path().toFSPathString()});
    QVERIFY(result.isSuccess());
    QCOMPARE(reads.first(), first);
    QCOMPARE(answerer.prompts(), QStringList({prompt}));
    QCOMPARE(tool.outputs, QStringList({hashLine(sentinel)}));
    verifyNoSentinel(messages, result, double_);
}

void ToolRunnerTest::testCancelKillsTool()
{
    ToolDouble double_("printf 'before\\nEnter PEM pass phrase:\\nafter\\n'; read -r -t 30 pw; "
                       "echo never; exit 0");
    GeneralMessages messages;
    PasswordAnswerer answerer({QString()});
    TestTool tool;

    const ProcessResult result = tool.run({double_.path().toFSPathString()});
    QVERIFY(result.crashed);
    QVERIFY(!result.isSuccess());
    QCOMPARE(answerer.prompts(), QStringList({"Enter PEM pass phrase:"}));
    QCOMPARE(tool.outputs, QStringList({"before"}));
    const QStringList lines = messages.lines();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.first(), QString("[I]\tbefore"));
    QVERIFY(lines.last().startsWith("[$] "));
}

void ToolRunnerTest::testStop_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("crashed");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("asked to end, the tool ends")
        << "trap 'kill $!; echo ending >&2; exit 7' TERM; echo ready; sleep 30 & wait" << false
        << 7;
    QTest::newRow("a tool that does not end is killed")
        << "trap '' TERM; echo ready; exec sleep 30" << true << 9;
}

void ToolRunnerTest::testStop()
{
    QFETCH(QString, script);
    QFETCH(bool, crashed);
    QFETCH(int, exitCode);

    ToolDouble double_(script);
    TestTool tool;
    connect(&tool, &SignTool::addOutput, this, [&tool](const QString &line) {
        if (line == "ready")
            QTimer::singleShot(0, &tool, &SignTool::stop);
    });
    const ProcessResult result = tool.run({double_.path().toFSPathString()});
    QVERIFY(result.stopped);
    QCOMPARE(result.crashed, crashed);
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(tool.outputs, QStringList({"ready"}));
    QVERIFY(tool.errors.isEmpty());

    // A stop ends only the runs in progress when it comes.
    ToolDouble next("echo next");
    const ProcessResult later = tool.run({next.path().toFSPathString()});
    QVERIFY(later.isSuccess());
    QVERIFY(!later.stopped);
}

void ToolRunnerTest::testStartFailure_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing") << "missing" << "No such file or directory";
    QTest::newRow("empty path") << "" << "No program defined";
    QTest::newRow("not executable") << "plain" << "Permission denied";
}

void ToolRunnerTest::testStartFailure()
{
    QFETCH(QString, program);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile plain(dir.filePath("plain"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("#!/bin/sh\nexit 0\n");
    plain.close();
    if (!program.isEmpty())
        program = dir.filePath(program);

    GeneralMessages messages;
    TestTool tool;
    const ProcessResult result = tool.run({program, "engine", "start"});
    QVERIFY(!result.isSuccess());
    QCOMPARE(result.exitCode, -1);
    QVERIFY(result.standardOutput.isEmpty());
    QVERIFY(result.startError.startsWith("Could not start \"" + program + "\": "));

    const QStringList lines = messages.lines();
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines.first().startsWith("[E]\tCould not start \"" + program + "\": "),
             qPrintable(lines.first()));
    QVERIFY2(lines.first().contains(reason), qPrintable(lines.first()));
    QCOMPARE(lines.last(), "[$] -1\t" + program + " engine start");
}

TAMAREK_TEST(ToolRunnerTest)

} // namespace Tamarek::Internal

#include "tst_toolrunner.moc"
