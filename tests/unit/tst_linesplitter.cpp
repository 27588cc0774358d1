// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "linesplitter.h"

#include <QtTest>

using namespace Tamarek::Internal;

Q_DECLARE_METATYPE(Tamarek::Internal::PromptMatch)

// A read of this stands for the tool going quiet.
static const QByteArray quiet = "<quiet>";

// "P:" marks a piece handed out as a prompt, "<end>" what finish() gives.
static QStringList describe(LineSplitter &splitter, const QList<QByteArray> &reads)
{
    QStringList pieces;
    for (const QByteArray &read : reads) {
        if (read == quiet) {
            if (const std::optional<LineSplitter::Line> prompt = splitter.takeHeldPrompt())
                pieces << "P:" + prompt->text;
            continue;
        }
        for (const LineSplitter::Line &line : splitter.take(read))
            pieces << (line.isPrompt ? "P:" : "") + line.text;
    }
    if (const std::optional<QString> rest = splitter.finish())
        pieces << "<end>" + *rest;
    return pieces;
}

class LineSplitterTest : public QObject
{
    Q_OBJECT

private slots:
    void testMatchPrompt_data();
    void testMatchPrompt();
    void testSplit_data();
    void testSplit();
    void testSplitLines_data();
    void testSplitLines();
    void testEveryByteApart();
    void testFinishResets();
};

void LineSplitterTest::testMatchPrompt_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<PromptMatch>("match");

    QTest::newRow("binaries key") << QByteArray("Enter passphrase for binaries key /k.pem:")
                                  << PromptMatch::Full;
    QTest::newRow("PEM") << QByteArray("Enter PEM pass phrase:") << PromptMatch::Full;
    QTest::newRow("PEM confirmation")
        << QByteArray("Verifying - Enter PEM pass phrase:") << PromptMatch::Full;
    QTest::newRow("key passphrase")
        << QByteArray("Enter pass phrase for /ws/key.pem:") << PromptMatch::Full;
    QTest::newRow("prompt text alone") << QByteArray("Enter pass phrase") << PromptMatch::Full;
    QTest::newRow("start of a prompt") << QByteArray("Enter PEM pa") << PromptMatch::Prefix;
    QTest::newRow("start shared by prompts") << QByteArray("Enter pass") << PromptMatch::Prefix;
    QTest::newRow("start of the confirmation") << QByteArray("Verif") << PromptMatch::Prefix;
    QTest::newRow("empty") << QByteArray() << PromptMatch::Prefix;
    QTest::newRow("lower case") << QByteArray("enter PEM pass phrase:") << PromptMatch::None;
    QTest::newRow("leading blank") << QByteArray(" Enter PEM pass phrase:") << PromptMatch::None;
    QTest::newRow("prompt in the middle")
        << QByteArray("Error: Enter pass phrase") << PromptMatch::None;
    QTest::newRow("ordinary line") << QByteArray("Signing a.rpm") << PromptMatch::None;
    QTest::newRow("diverges after a common start")
        << QByteArray("Enter passwords") << PromptMatch::None;
}

void LineSplitterTest::testMatchPrompt()
{
    QFETCH(QByteArray, text);
    QFETCH(PromptMatch, match);
    QCOMPARE(matchPrompt(text), match);
}

void LineSplitterTest::testSplit_data()
{
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<QStringList>("pieces");

    using Reads = QList<QByteArray>;
    QTest::newRow("CR LF, double LF, no empty line")
        << Reads{"a\r\nb\n\nc\n"} << QStringList{"a", "b", "c"};
    QTest::newRow("CR alone ends a line") << Reads{"a\rb\r"} << QStringList{"a", "b"};
    QTest::newRow("line split across reads")
        << Reads{"Sign", "ing a.r", "pm\n"} << QStringList{"Signing a.rpm"};
    QTest::newRow("CR and LF in different reads")
        << Reads{"a\r", "\nb\n"} << QStringList{"a", "b"};
    QTest::newRow("unterminated last line comes at the end")
        << Reads{"a\nlast"} << QStringList{"a", "<end>last"};
    QTest::newRow("prompt without line end, at once")
        << Reads{"Enter PEM pass phrase:"} << QStringList{"P:Enter PEM pass phrase:"};
    QTest::newRow("prompt after lines in one read")
        << Reads{"before\nEnter PEM pass phrase:"}
        << QStringList{"before", "P:Enter PEM pass phrase:"};
    QTest::newRow("prompt split inside its text")
        << Reads{"Enter PEM pa", "ss phrase:"} << QStringList{"P:Enter PEM pass phrase:"};
    QTest::newRow("output after an answered prompt is a line of its own")
        << Reads{"Enter pass phrase for k.pem:", "bad decrypt\n"}
        << QStringList{"P:Enter pass phrase for k.pem:", "bad decrypt"};
    QTest::newRow("prompt cut after its text waits for its colon")
        << Reads{"Enter pass phrase for /ws/k", "ey.pem:", "done\n"}
        << QStringList{"P:Enter pass phrase for /ws/key.pem:", "done"};
    QTest::newRow("prompt and its line end in later reads")
        << Reads{"Enter pass phrase for /ws/k", "ey.pem:\r\n", "done\n"}
        << QStringList{"P:Enter pass phrase for /ws/key.pem:", "done"};
    QTest::newRow("prompt without a colon is asked when the tool goes quiet")
        << Reads{"Enter pass phrase", quiet, "\ndone\n"}
        << QStringList{"P:Enter pass phrase", "done"};
    QTest::newRow("colon followed by a blank")
        << Reads{"Enter PEM pass phrase: "} << QStringList{"P:Enter PEM pass phrase: "};
    QTest::newRow("start of a prompt is not asked for when quiet")
        << Reads{"Enter PEM pa", quiet, "ss phrase:"} << QStringList{"P:Enter PEM pass phrase:"};
    QTest::newRow("quiet without a prompt held changes nothing")
        << Reads{"progress", quiet, " done\n"} << QStringList{"progress done"};
    QTest::newRow("an unanswered prompt at the end is echoed")
        << Reads{"Enter pass phrase"} << QStringList{"<end>Enter pass phrase"};
    QTest::newRow("prompt and confirmation, answers ending the lines")
        << Reads{"Enter PEM pass phrase:", "\nVerifying - Enter PEM pass phrase:", "\n"}
        << QStringList{"P:Enter PEM pass phrase:", "P:Verifying - Enter PEM pass phrase:"};
    QTest::newRow("second prompt on the same line is still a prompt")
        << Reads{"Enter PEM pass phrase:", "Verifying - Enter PEM pass phrase:"}
        << QStringList{"P:Enter PEM pass phrase:", "P:Verifying - Enter PEM pass phrase:"};
    QTest::newRow("terminated prompt line")
        << Reads{"Enter passphrase for binaries key:\n"}
        << QStringList{"P:Enter passphrase for binaries key:"};
    QTest::newRow("two prompts in one read")
        << Reads{"Enter pass phrase:\nEnter pass phrase:"}
        << QStringList{"P:Enter pass phrase:", "P:Enter pass phrase:"};
    QTest::newRow("start of a prompt that turns out an ordinary line")
        << Reads{"Enter PEM", " file name\n"} << QStringList{"Enter PEM file name"};
    QTest::newRow("start of a prompt left at the end is an ordinary line")
        << Reads{"Enter P"} << QStringList{"<end>Enter P"};
    QTest::newRow("ordinary text without line end waits for it")
        << Reads{"progress ", "50%", " done\n"} << QStringList{"progress 50% done"};
    QTest::newRow("lower-case prompt is an ordinary line")
        << Reads{"enter pem pass phrase:\n"} << QStringList{"enter pem pass phrase:"};
    QTest::newRow("UTF-8 character split across reads")
        << Reads{"Gr\xc3", "\xbc\xc3\x9f" "e\n"} << QStringList{QString::fromUtf8("Grüße")};
}

void LineSplitterTest::testSplit()
{
    QFETCH(QList<QByteArray>, reads);
    QFETCH(QStringList, pieces);
    LineSplitter splitter;
    QCOMPARE(describe(splitter, reads), pieces);
}

// However the tool's writes are cut into reads, each line and prompt comes once.
void LineSplitterTest::testEveryByteApart()
{
    const QByteArray output = "one\r\ntwo\nEnter PEM pass phrase:\nVerifying - Enter PEM pass "
                              "phrase:\nthree\nEnter pass phrase for k.pem:";
    QList<QByteArray> bytes;
    for (const char c : output)
        bytes << QByteArray(1, c);
    LineSplitter splitter;
    QCOMPARE(describe(splitter, bytes),
             QStringList({"one", "two", "P:Enter PEM pass phrase:",
                          "P:Verifying - Enter PEM pass phrase:", "three",
                          "P:Enter pass phrase for k.pem:"}));
}

void LineSplitterTest::testFinishResets()
{
    LineSplitter splitter;
    QCOMPARE(describe(splitter, {"Enter PEM pass phrase:"}),
             QStringList({"P:Enter PEM pass phrase:"}));
    QCOMPARE(describe(splitter, {"next run\n"}), QStringList({"next run"}));
    QCOMPARE(describe(splitter, {"unterminated"}), QStringList({"<end>unterminated"}));
    QVERIFY(!splitter.finish());
}

void LineSplitterTest::testSplitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("nothing") << "" << QStringList();
    QTest::newRow("terminal line ends") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("a lone CR ends a line") << "a\rb" << QStringList{"a", "b"};
    QTest::newRow("empty lines left out, blanks kept") << "\n\n \nc" << QStringList{" ", "c"};
}

void LineSplitterTest::testSplitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(LineSplitter::splitLines(text), lines);
}

QTEST_GUILESS_MAIN(LineSplitterTest)

#include "tst_linesplitter.moc"
