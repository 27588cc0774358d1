// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "certificatehealthcache.h"

#include <QtTest>

using namespace Tamarek::Internal;

class CertificateHealthCacheTest : public QObject
{
    Q_OBJECT

private slots:
    void testLookup_data();
    void testLookup();
    void testBounded();

private:
    QTemporaryDir m_folder;
};

static CertificateCheck checkExpiringOn(const QDateTime &notAfter,
                                        KeyMatch keyMatch = KeyMatch::Matches)
{
    CertificateCheck check;
    check.info = CertificateInfo{"CN=a", "CN=ca", notAfter.addYears(-1), notAfter};
    check.keyMatch = keyMatch;
    return check;
}

static bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

enum class Change { None, CertificateRewritten, KeyRewritten, OtherKey, PathSpelledOtherwise };

void CertificateHealthCacheTest::testLookup_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("exact");       // find() gives the read
    QTest::addColumn<bool>("certificate"); // findCertificate() gives its dates

    QTest::newRow("same files") << Change::None << true << true;
    QTest::newRow("path with \"..\" and a doubled separator is the same file")
        << Change::PathSpelledOtherwise << true << true;
    QTest::newRow("certificate changed since: nothing known")
        << Change::CertificateRewritten << false << false;
    QTest::newRow("key changed since: the dates still hold")
        << Change::KeyRewritten << false << true;
    QTest::newRow("another key: the dates still hold") << Change::OtherKey << false << true;
}

void CertificateHealthCacheTest::testLookup()
{
    QFETCH(Change, change);
    QFETCH(bool, exact);
    QFETCH(bool, certificate);

    const QString folder = m_folder.path() + "/" + QTest::currentDataTag();
    QVERIFY(QDir().mkpath(folder + "/sub"));
    const QString cert = folder + "/cert.pem";
    const QString key = folder + "/key.pem";
    QVERIFY(write(cert, "certificate\n") && write(key, "key\n"));
    QVERIFY(write(folder + "/k2.pem", "k\n"));

    CertificateHealthCache cache;
    const CertificateCheck read = checkExpiringOn(QDateTime::currentDateTimeUtc().addDays(-2),
                                                  KeyMatch::Differs);
    cache.insert(CertificateFiles::of(cert, key), read);

    QString lookedUpCert = cert;
    QString lookedUpKey = key;
    // Set a time unlike the first, whatever the file system's resolution.
    const auto touch = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadWrite)
               && file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-3600),
                                   QFileDevice::FileModificationTime);
    };
    switch (change) {
    case Change::None:
        break;
    case Change::CertificateRewritten:
        QVERIFY(touch(cert));
        break;
    case Change::KeyRewritten:
        QVERIFY(touch(key));
        break;
    case Change::OtherKey:
        lookedUpKey = folder + "/k2.pem";
        break;
    case Change::PathSpelledOtherwise:
        lookedUpCert = folder + "/sub/..//cert.pem";
        break;
    }

    const CertificateFiles files = CertificateFiles::of(lookedUpCert, lookedUpKey);
    const std::optional<CertificateCheck> found = cache.find(files);
    QCOMPARE(found.has_value(), exact);
    if (found)
        QCOMPARE(found->keyMatch, KeyMatch::Differs);
    const std::optional<CertificateCheck> dates
        = cache.findCertificate(lookedUpCert, files.certificateModified);
    QCOMPARE(dates.has_value(), certificate);
    if (dates) {
        QCOMPARE(dates->info->notAfter, read.info->notAfter);
        // Of another key, or an older one, nothing is known.
        QCOMPARE(dates->keyMatch, KeyMatch::NotChecked);
    }
}

// A file that is not there is never kept, and the oldest reads go first.
void CertificateHealthCacheTest::testBounded()
{
    CertificateHealthCache cache;
    const QString missing = m_folder.path() + "/missing.pem";
    cache.insert(CertificateFiles::of(missing), checkExpiringOn(QDateTime::currentDateTimeUtc()));
    QVERIFY(!cache.find(CertificateFiles::of(missing)));

    QList<CertificateFiles> files;
    for (int i = 0; i <= CertificateHealthCache::maxEntries; ++i) {
        const QString path = QString("%1/cert-%2.pem").arg(m_folder.path()).arg(i);
        QVERIFY(write(path, "c\n"));
        files << CertificateFiles::of(path);
        cache.insert(files.last(), checkExpiringOn(QDateTime::currentDateTimeUtc()));
    }
    QVERIFY(!cache.find(files.first()));
    QVERIFY(cache.find(files.at(1)));
    QVERIFY(cache.find(files.last()));

    // Read again: the newest read counts, and takes one place.
    const CertificateCheck expired = checkExpiringOn(QDateTime::currentDateTimeUtc().addDays(-1));
    cache.insert(files.at(1), expired);
    cache.insert(files.at(1), expired);
    QCOMPARE(cache.find(files.at(1))->info->notAfter, expired.info->notAfter);
    QVERIFY(cache.find(files.at(2)));
}

QTEST_GUILESS_MAIN(CertificateHealthCacheTest)

#include "tst_certificatehealthcache.moc"
