// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "pacedmessages.h"

#include <QtTest>

using namespace Tamarek::Internal;

using Written = QList<std::pair<QString, bool>>;

static QStringList linesOf(const Written &written)
{
    QStringList lines;
    for (const auto &[text, disrupting] : written)
        lines << text.split('\n');
    return lines;
}

class PacedMessagesTest : public QObject
{
    Q_OBJECT

private slots:
    void testBites_data();
    void testBites();
    void testOrderKindsFlushAndDiscard();
};

void PacedMessagesTest::testBites_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("inFirstBite");

    QTest::newRow("a quiet line goes at once") << QStringList{"[I]\tone"} << 1;
    QStringList output;
    for (int i = 0; i < 50; ++i)
        output << QString("%1").arg(i, 99, 10, QChar('0'));
    // Ten lines of 99 characters and their line ends make a bite.
    QTest::newRow("a run's output in bites of whole lines") << output << 10;
    QTest::newRow("a line longer than a bite goes alone")
        << QStringList{QString(1500, 'x'), "tail"} << 1;
}

void PacedMessagesTest::testBites()
{
    QFETCH(QStringList, lines);
    QFETCH(int, inFirstBite);
    Written written;
    PacedMessages messages([&](const QString &text, bool d) { written.append({text, d}); });

    messages.write(lines.join('\n'), false);
    QCOMPARE(linesOf(written), lines.mid(0, inFirstBite));
    QTRY_COMPARE(linesOf(written), lines);
    for (qsizetype i = 1; i < written.size(); ++i)
        QVERIFY(written.at(i).first.size() < PacedMessages::biteSize);
}

void PacedMessagesTest::testOrderKindsFlushAndDiscard()
{
    Written written;
    PacedMessages messages([&](const QString &text, bool d) { written.append({text, d}); });
    QCOMPARE(PacedMessages::instance(), &messages);

    messages.write("[I]\tfirst", false);
    messages.write("[E]\tbroken\n[E]\tstill", true);
    messages.write("[I]\tlast", false);
    messages.flush();
    QCOMPARE(written, Written({{"[I]\tfirst", false},
                               {"[E]\tbroken\n[E]\tstill", true},
                               {"[I]\tlast", false}}));

    // After a flush or a discard, the next line goes at once.
    messages.write("[I]\tnow", false);
    messages.write("[I]\tdropped", false);
    messages.discard();
    messages.write("[I]\tnext", false);
    QCOMPARE(linesOf(written).mid(4), QStringList({"[I]\tnow", "[I]\tnext"}));
}

QTEST_GUILESS_MAIN(PacedMessagesTest)

#include "tst_pacedmessages.moc"
