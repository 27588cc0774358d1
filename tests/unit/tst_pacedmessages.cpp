// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "pacedmessages.h"

#include <QtTest>

using namespace Tamarek::Internal;

class PacedMessagesTest : public QObject
{
    Q_OBJECT

private slots:
    void testBites_data();
    void testBites();
    void testKindsKeepTheirOrder();
    void testFlushAndDiscard();

private:
    struct Written
    {
        QString text;
        bool disrupting;
    };
    PacedMessages::Sink sink()
    {
        return [this](const QString &text, bool disrupting) { m_written.append({text, disrupting}); };
    }
    QStringList writtenLines() const
    {
        QStringList lines;
        for (const Written &written : m_written)
            lines << written.text.split('\n');
        return lines;
    }

    QList<Written> m_written;
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
    m_written.clear();
    PacedMessages messages(sink());

    messages.write(lines.join('\n'), false);
    QCOMPARE(writtenLines(), lines.mid(0, inFirstBite));
    QTRY_COMPARE(writtenLines(), lines);
    for (qsizetype i = 1; i < m_written.size(); ++i)
        QVERIFY(m_written.at(i).text.size() < PacedMessages::biteSize);
}

void PacedMessagesTest::testKindsKeepTheirOrder()
{
    m_written.clear();
    PacedMessages messages(sink());

    messages.write("[I]\tfirst", false);
    messages.write("[E]\tbroken\n[E]\tstill", true);
    messages.write("[I]\tlast", false);
    QTRY_COMPARE(writtenLines().size(), 4);
    QCOMPARE(m_written.size(), 3);
    QCOMPARE(m_written.at(1).text, "[E]\tbroken\n[E]\tstill");
    QVERIFY(m_written.at(1).disrupting);
    QVERIFY(!m_written.at(2).disrupting);
    QCOMPARE(m_written.at(2).text, "[I]\tlast");
}

void PacedMessagesTest::testFlushAndDiscard()
{
    m_written.clear();
    PacedMessages messages(sink());
    QCOMPARE(PacedMessages::instance(), &messages);
    const QString bite(PacedMessages::biteSize, 'b');

    messages.write(bite + '\n' + bite + '\n' + bite, false);
    QCOMPARE(m_written.size(), 1);
    messages.flush();
    QCOMPARE(writtenLines(), QStringList({bite, bite, bite}));

    // After a flush or a discard, the next line goes at once.
    messages.write("[I]\tnow", false);
    messages.write("[I]\tdropped", false);
    messages.discard();
    messages.write("[I]\tnext", false);
    QCOMPARE(writtenLines().mid(3), QStringList({"[I]\tnow", "[I]\tnext"}));
}

QTEST_GUILESS_MAIN(PacedMessagesTest)

#include "tst_pacedmessages.moc"
