// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "tamarektests.h"

#include "tamarekplugin.h"

#include <coreplugin/dialogs/ioptionspage.h>
#include <extensionsystem/pluginmanager.h>
#include <extensionsystem/pluginspec.h>
#include <utils/algorithm.h>
#include <utils/icon.h>
#include <utils/theme/theme.h>
#include <utils/unarchiver.h>

#include <QLibraryInfo>
#include <QProcess>
#include <QTranslator>
#include <QtTest>

using namespace ExtensionSystem;
using namespace Utils;

namespace Tamarek::Internal {

// What the plug-in sets up at start, and the archive that installs it.
class PluginLifecycleTest : public QObject
{
    Q_OBJECT

private slots:
    void testTranslator_data();
    void testTranslator();
    void testOptionsCategoryIcon();
    void testInstallPluginArchive();
};

const char RUSSIAN_TS[] = R"(<?xml version="1.0" encoding="utf-8"?>
<TS version="2.1" language="ru"><context><name>Tamarek::Internal::TamarekPlugin</name>
<message><source>&amp;Sign Packages</source><translation>&amp;Подписать</translation></message>
</context></TS>
)";

void PluginLifecycleTest::testTranslator_data()
{
    QTest::addColumn<QVariant>("overrideLanguage");
    QTest::addColumn<QString>("defaultLocale");
    QTest::addColumn<bool>("translated");

    QTest::newRow("override ru") << QVariant("ru") << "en_US" << true;
    QTest::newRow("unset: the default locale") << QVariant() << "ru_RU" << true;
    QTest::newRow("unset, no file for the default locale") << QVariant() << "en_US" << false;
    QTest::newRow("an override without a file wins") << QVariant("de") << "ru_RU" << false;
}

void PluginLifecycleTest::testTranslator()
{
    QFETCH(QVariant, overrideLanguage);
    QFETCH(QString, defaultLocale);
    QFETCH(bool, translated);

    const QString lrelease = QLibraryInfo::path(QLibraryInfo::BinariesPath) + "/lrelease";
    if (!QFileInfo(lrelease).isExecutable())
        QSKIP("lrelease is missing (Debian: qt6-l10n-tools)");
    QTemporaryDir folder;
    const FilePath ts = FilePath::fromString(folder.filePath("Tamarek_ru.ts"));
    QVERIFY(ts.writeFileContents(RUSSIAN_TS));
    QCOMPARE(QProcess::execute(lrelease, {"-silent", ts.toFSPathString()}), 0);

    auto plugin = qobject_cast<TamarekPlugin *>(
        Utils::findOrDefault(PluginManager::plugins(),
                             Utils::equal(&PluginSpec::id, QString("tamarek")))
            ->plugin());
    const QList<QTranslator *> before = plugin->findChildren<QTranslator *>();
    const QLocale previousDefault;
    QLocale::setDefault(QLocale(defaultLocale));
    QCOMPARE(plugin->installTranslator(overrideLanguage, folder.path()), translated);
    QLocale::setDefault(previousDefault);
    const QString text = QCoreApplication::translate("Tamarek::Internal::TamarekPlugin",
                                                     "&Sign Packages");
    for (QTranslator *translator : plugin->findChildren<QTranslator *>()) {
        if (!before.contains(translator))
            delete translator;
    }
    QCOMPARE(text, translated ? QString::fromUtf8("&Подписать") : QString("&Sign Packages"));
}

// Tinted as the options dialog does it: a shape, neither blank nor a filled square.
void PluginLifecycleTest::testOptionsCategoryIcon()
{
    const Core::IOptionsPage *page
        = Utils::findOrDefault(Core::IOptionsPage::allOptionsPages(),
                               Utils::equal(&Core::IOptionsPage::id, Id("Z.SignOptions")));
    QVERIFY(page);
    const FilePath mask = page->categoryIconPath();
    QVERIFY2(QFileInfo::exists(mask.toFSPathString()), qPrintable(mask.toUserOutput()));
    const QImage icon
        = Icon({{mask, Theme::PanelTextColorDark}}, Icon::Tint).pixmap().toImage();
    int inked = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x)
            inked += qAlpha(icon.pixel(x, y)) > 128;
    }
    const int pixels = icon.width() * icon.height();
    QVERIFY2(inked > pixels / 5 && inked < pixels * 3 / 4, qPrintable(QString::number(inked)));
}

// What Help > About Plugins > Install Plugin... checks before it installs.
void PluginLifecycleTest::testInstallPluginArchive()
{
    const auto sourceAndCommand = Unarchiver::sourceAndCommand(
        FilePath::fromString(TAMAREK_PLUGIN_ARCHIVE));
    // QVERIFY2 words its message even when the check holds.
    QVERIFY2(sourceAndCommand,
             qPrintable(sourceAndCommand ? QString() : sourceAndCommand.error()));
    QTemporaryDir folder;
    Unarchiver unarchiver;
    unarchiver.setSourceAndCommand(*sourceAndCommand);
    unarchiver.setDestDir(FilePath::fromString(folder.path()));
    QSignalSpy done(&unarchiver, &Unarchiver::done);
    unarchiver.start();
    QVERIFY(done.wait(120000));
    QCOMPARE(done.first().first().value<Tasking::DoneResult>(), Tasking::DoneResult::Success);

    const QList<PluginSpec *> specs = pluginSpecsFromArchive(FilePath::fromString(folder.path()));
    const auto cleanup = qScopeGuard([&specs] { qDeleteAll(specs); });
    QCOMPARE(specs.size(), 1);
    QCOMPARE(specs.first()->id(), "tamarek");
    QVERIFY2(specs.first()->resolveDependencies(PluginManager::plugins()),
             qPrintable(specs.first()->errorString()));
}

TAMAREK_TEST(PluginLifecycleTest)

} // namespace Tamarek::Internal

#include "tst_lifecycle.moc"
