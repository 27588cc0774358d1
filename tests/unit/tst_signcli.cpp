// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "clioptions.h"
#include "passphrasesources.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace Tamarek::Internal;

class SignCliTest : public QObject
{
    Q_OBJECT

private slots:
    void testParse_data();
    void testParse();
    void testMissing_data();
    void testMissing();
    void testSettingsDefaults_data();
    void testSettingsDefaults();
    void testPromptedKeyFile_data();
    void testPromptedKeyFile();
    void testPassphraseFile_data();
    void testPassphraseFile();
    void testAnswers_data();
    void testAnswers();
    void testWrongPassphrase_data();
    void testWrongPassphrase();

private:
    QString writeFile(const QString &name, const QByteArray &content, int mode = 0600);

    QTemporaryDir m_folder;
};

QString SignCliTest::writeFile(const QString &name, const QByteArray &content, int mode)
{
    const QString path = m_folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(content);
    file.close();
    ::chmod(QFile::encodeName(path).constData(), mode_t(mode));
    return path;
}

void SignCliTest::testParse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error"); // a part of it; empty: parses
    QTest::addColumn<QStringList>("packages");

    const QStringList none;
    QTest::newRow("sign") << QStringList{"sign", "--target", "T", "--key", "k", "--cert", "c",
                                         "a.rpm", "b.rpm"}
                          << QString() << QStringList{"a.rpm", "b.rpm"};
    QTest::newRow("inline values") << QStringList{"sign", "--target=T", "--key=k", "--cert=c=d",
                                                  "a.rpm"}
                                   << QString() << QStringList{"a.rpm"};
    QTest::newRow("packages after --") << QStringList{"dump", "--target", "T", "--", "--odd.rpm"}
                                       << QString() << QStringList{"--odd.rpm"};
    QTest::newRow("help anywhere") << QStringList{"sign", "--bogus", "--help"} << QString()
                                   << none;
    QTest::newRow("no command") << QStringList{} << "No command" << none;
    QTest::newRow("unknown command") << QStringList{"frob"} << "Unknown command" << none;
    QTest::newRow("unknown option") << QStringList{"sign", "--bogus"} << "Unknown option" << none;
    QTest::newRow("value missing") << QStringList{"dump", "--target"} << "needs a value" << none;
    QTest::newRow("option of another command")
        << QStringList{"dump", "--ca", "x"} << "does not go with" << none;
    QTest::newRow("json on request")
        << QStringList{"request", "--json"} << "does not go with" << none;
    QTest::newRow("packages on health")
        << QStringList{"health", "x.rpm"} << "Unexpected argument" << none;
    QTest::newRow("bad algorithm")
        << QStringList{"request", "--algorithm", "dsa"} << "rsa or gost" << none;
    QTest::newRow("bad days") << QStringList{"health", "--warn-days", "-3"} << "needs a number"
                              << none;
    QTest::newRow("no time limit") << QStringList{"dump", "--timeout", "0"} << "1 to" << none;
    QTest::newRow("bad descriptor")
        << QStringList{"sign", "--passphrase-fd", "x"} << "needs a number" << none;
    QTest::newRow("a passphrase is no option")
        << QStringList{"sign", "--passphrase", "secret"} << "Unknown option" << none;
}

void SignCliTest::testParse()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    QFETCH(QStringList, packages);

    const Utils::expected_str<CliOptions> options = parseArguments(arguments);
    if (!error.isEmpty()) {
        QVERIFY(!options);
        QVERIFY2(options.error().contains(error), qPrintable(options.error()));
        return;
    }
    QVERIFY2(options, qPrintable(options ? QString() : options.error()));
    QCOMPARE(options->packages, packages);
    if (arguments.contains("--cert=c=d"))
        QCOMPARE(options->certificate, QString("c=d"));
}

void SignCliTest::testMissing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("missing"); // empty: nothing

    QTest::newRow("sign complete") << QStringList{"sign", "--target", "T", "--key", "k",
                                                  "--cert", "c", "a.rpm"}
                                   << QString();
    QTest::newRow("sign without target and package")
        << QStringList{"sign", "--key", "k", "--cert", "c"} << "--target, a package";
    QTest::newRow("a client certificate alone, for customer-sign")
        << QStringList{"sign", "--target", "T", "--key", "k", "--cert", "c", "--client-cert", "x",
                       "a.rpm"}
        << QString();
    QTest::newRow("a client key without its certificate")
        << QStringList{"sign", "--target", "T", "--key", "k", "--cert", "c", "--client-key", "x",
                       "a.rpm"}
        << "--client-cert";
    QTest::newRow("verify without ca") << QStringList{"verify", "--target", "T", "a.rpm"}
                                       << "--ca";
    QTest::newRow("request") << QStringList{"request", "--target", "T", "--key", "k"}
                             << "--company, --out";
    QTest::newRow("health") << QStringList{"health", "--target", "T", "--cert", "c"} << "--key";
}

void SignCliTest::testMissing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, missing);

    const Utils::expected_str<CliOptions> options = parseArguments(arguments);
    QVERIFY(options);
    const QString text = missingArguments(*options);
    if (missing.isEmpty())
        QCOMPARE(text, QString());
    else
        QVERIFY2(text.contains(missing), qPrintable(text));
}

void SignCliTest::testSettingsDefaults_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("certificate");
    QTest::addColumn<QString>("kitTool");

    const QByteArray all = "[General]\nTamarek.GlobalSignKey=/ws/k.pem\n"
                           "Tamarek.GlobalSignCert=/ws/c.pem\nTamarek.KitTool=/sdk/bin/nork\n";
    QTest::newRow("the file fills what is not given")
        << QStringList{"sign", "--target", "T", "a.rpm"} << all << "/ws/k.pem" << "/ws/c.pem"
        << "/sdk/bin/nork";
    QTest::newRow("given options win")
        << QStringList{"health", "--target", "T", "--key", "/mine.pem", "--kit-tool", "/my/nork"}
        << all << "/mine.pem" << "/ws/c.pem" << "/my/nork";
    QTest::newRow("no pair for a dump") << QStringList{"dump", "--target", "T", "a.rpm"} << all
                                        << QString() << QString() << "/sdk/bin/nork";
    QTest::newRow("nothing in the file")
        << QStringList{"sign", "--target", "T", "a.rpm"} << QByteArray("[General]\n") << QString()
        << QString() << QString();
}

void SignCliTest::testSettingsDefaults()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, settings);
    QFETCH(QString, key);
    QFETCH(QString, certificate);
    QFETCH(QString, kitTool);

    const Utils::expected_str<SettingsDefaults> defaults = readSettingsDefaults(
        writeFile("QtCreator.ini", settings));
    QVERIFY(defaults);
    Utils::expected_str<CliOptions> options = parseArguments(arguments);
    QVERIFY(options);
    applySettingsDefaults(*options, *defaults);
    QCOMPARE(options->key, key);
    QCOMPARE(options->certificate, certificate);
    QCOMPARE(options->kitTool, kitTool);
    QVERIFY(!readSettingsDefaults(m_folder.filePath("missing.ini")));
}

void SignCliTest::testPromptedKeyFile_data()
{
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<std::optional<QString>>("file");

    QTest::newRow("openssl") << "Enter pass phrase for /ws/k.pem:"
                             << std::optional<QString>("/ws/k.pem");
    QTest::newRow("customer-sign") << "Enter passphrase for binaries key /ws/b.pem: "
                                   << std::optional<QString>("/ws/b.pem");
    QTest::newRow("path with blanks and colon") << "Enter pass phrase for /ws/my key:1.pem:"
                                                << std::optional<QString>("/ws/my key:1.pem");
    QTest::newRow("new key") << "Enter PEM pass phrase:" << std::optional<QString>("");
    QTest::newRow("new key again") << "Verifying - Enter PEM pass phrase:"
                                   << std::optional<QString>("");
    QTest::newRow("no prompt") << "signed" << std::optional<QString>();
}

void SignCliTest::testPromptedKeyFile()
{
    QFETCH(QString, prompt);
    QFETCH(std::optional<QString>, file);
    QCOMPARE(promptedKeyFile(prompt), file);
}

void SignCliTest::testPassphraseFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("passphrase"); // empty: refused

    QTest::newRow("a line") << QByteArray("pass word\n") << 0600 << QByteArray("pass word");
    QTest::newRow("no line end") << QByteArray("pw") << 0400 << QByteArray("pw");
    QTest::newRow("CRLF, more lines") << QByteArray("pw\r\nnext\n") << 0600 << QByteArray("pw");
    QTest::newRow("readable by the group") << QByteArray("pw\n") << 0640 << QByteArray();
    QTest::newRow("readable by all") << QByteArray("pw\n") << 0644 << QByteArray();
    QTest::newRow("writable by others") << QByteArray("pw\n") << 0602 << QByteArray();
    QTest::newRow("empty") << QByteArray("\n") << 0600 << QByteArray();
}

void SignCliTest::testPassphraseFile()
{
    QFETCH(QByteArray, content);
    QFETCH(int, mode);
    QFETCH(QByteArray, passphrase);

    const QString path = writeFile("passphrase", content, mode);
    const Utils::expected_str<QByteArray> read = readPassphraseFile(path);
    if (passphrase.isEmpty()) {
        QVERIFY(!read);
        // The refusal never quotes what the file holds.
        const QString held = QString::fromUtf8(content.trimmed());
        QVERIFY(held.isEmpty() || !read.error().contains(held));
    } else {
        QVERIFY(read);
        QCOMPARE(*read, passphrase);
    }
    QVERIFY(!readPassphraseFile(m_folder.filePath("nothing-here")));
}

void SignCliTest::testAnswers_data()
{
    QTest::addColumn<QStringList>("passphraseOptions");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("answer");

    const QString key = "Enter pass phrase for /ws/k.pem:";
    const QString binaries = "Enter passphrase for binaries key /ws/b.pem: ";
    QTest::newRow("common file") << QStringList{"--passphrase-file", "common"} << key
                                 << "common-pass";
    QTest::newRow("the key's own file first")
        << QStringList{"--passphrase-file", "common", "--key-passphrase-file", "key"} << key
        << "key-pass";
    QTest::newRow("binaries key's own file")
        << QStringList{"--key-passphrase-file", "key", "--binaries-key-passphrase-file",
                       "binaries"}
        << binaries << "binaries-pass";
    QTest::newRow("another key's file is not used")
        << QStringList{"--key-passphrase-file", "key", "--passphrase-file", "common"} << binaries
        << "common-pass";
}

void SignCliTest::testAnswers()
{
    QFETCH(QStringList, passphraseOptions);
    QFETCH(QString, prompt);
    QFETCH(QString, answer);

    for (const QString name : QStringList{"common", "key", "binaries"})
        writeFile(name, name.toUtf8() + "-pass\n");
    QStringList arguments{"sign", "--key", "/ws/k.pem", "--binaries-key", "/ws/b.pem"};
    for (qsizetype i = 0; i < passphraseOptions.size(); i += 2)
        arguments << passphraseOptions.at(i) << m_folder.filePath(passphraseOptions.at(i + 1));
    const Utils::expected_str<CliOptions> options = parseArguments(arguments);
    QVERIFY(options);

    PassphraseSources sources(*options);
    bool ok = false;
    QCOMPARE(sources.answer(prompt, 1, &ok), answer);
    QVERIFY(ok);
    QVERIFY(sources.hasAnswered());
    // Asked again in the same run: the answer was wrong; never tried twice.
    QCOMPARE(sources.answer(prompt, 2, &ok), QString());
    QVERIFY(!ok);
    QVERIFY2(sources.failure().startsWith("wrong passphrase for /ws/"),
             qPrintable(sources.failure()));
}

void SignCliTest::testWrongPassphrase_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<bool>("wrong");

    QTest::newRow("rpmsign-external") << QByteArray("rpmsign-external: wrong passphrase for key "
                                                    "/ws/k.pem\n")
                                      << true;
    QTest::newRow("openssl") << QByteArray("error:1C800064:Provider routines::bad decrypt") << true;
    QTest::newRow("other failure") << QByteArray("certificate /ws/c.pem does not belong to the key")
                                   << false;
}

void SignCliTest::testWrongPassphrase()
{
    QFETCH(QByteArray, output);
    QFETCH(bool, wrong);
    QCOMPARE(saysWrongPassphrase(output), wrong);
}

QTEST_GUILESS_MAIN(SignCliTest)

#include "tst_signcli.moc"
