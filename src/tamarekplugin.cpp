// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "tamarekplugin.h"

#include "certificatereader.h"
#include "commands.h"
#include "pacedmessages.h"
#include "passphrasecache.h"
#include "passworddialog.h"
#include "projectlistener.h"
#include "regularkeys.h"
#include "signdialog.h"
#include "signoptionspage.h"
#include "signtool.h"
#include "tamarekconstants.h"
#include "tamarektr.h"
#include "toolrunner.h"

#include <coreplugin/actionmanager/actioncontainer.h>
#include <coreplugin/actionmanager/actionmanager.h>
#include <coreplugin/coreconstants.h>
#include <coreplugin/dialogs/ioptionspage.h>
#include <coreplugin/icore.h>
#include <coreplugin/messagemanager.h>
#include <extensionsystem/pluginmanager.h>
#include <extensionsystem/pluginspec.h>
#include <neverraos/orvsettings.h>
#include <nork/buildengine.h>
#include <nork/sdk.h>
#include <utils/fileutils.h>
#include <utils/icon.h>
#include <utils/qtcassert.h>

#include <QAction>
#include <QCoreApplication>
#include <QLocale>
#include <QLoggingCategory>
#include <QSettings>
#include <QTranslator>

#ifdef WITH_TESTS
#include "tamarektests.h"
#endif

using namespace Utils;

namespace Tamarek::Internal {

static Q_LOGGING_CATEGORY(pluginLog, "qtc.tamarek.plugin", QtWarningMsg)

const char OVERRIDE_LANGUAGE_KEY[] = "General/OverrideLanguage";
const char TRANSLATION_BASE_NAME[] = "Tamarek";

TamarekPlugin::TamarekPlugin() = default;

TamarekPlugin::~TamarekPlugin()
{
    delete m_signDialog;
}

bool TamarekPlugin::initialize(const QStringList &arguments, QString *errorString)
{
    Q_UNUSED(arguments)
    Q_UNUSED(errorString)

    m_messages = std::make_unique<PacedMessages>([](const QString &text, bool disrupting) {
        if (disrupting)
            Core::MessageManager::writeDisrupting(text);
        else
            Core::MessageManager::writeSilently(text);
    });
    setEcho([](const QString &line, bool disrupting) {
        if (PacedMessages *messages = PacedMessages::instance())
            messages->write(line, disrupting);
    });
    SignTool::setPassphrasePrompt(
        [](const QString &prompt, int, bool *ok, bool *remember) {
            return getPassword(prompt, ok, remember);
        });
    Commands::setKitTool(&Orv::Internal::OrvSettings::norkPath);

    Core::IOptionsPage::registerCategory(
        Id(Constants::OPTIONS_CATEGORY_ID),
        Nork::Sdk::osVariant(Nork::Sdk::SystemStyle),
        Icon(FilePath::fromString(QLatin1String(Constants::OPTIONS_CATEGORY_ICON))).imageFilePath());

    const QVariant language = ExtensionSystem::PluginManager::settings()->value(
        OVERRIDE_LANGUAGE_KEY);
    if (!installTranslator(language, Core::ICore::resourcePath("translations").toFSPathString())) {
        const QString beside = translationsBesidePlugin();
        if (!beside.isEmpty())
            installTranslator(language, beside);
    }

    registerSignDialogAction();

    m_optionsPage = std::make_unique<SignOptionsPage>();

    watchBuildEngines(Nork::Sdk::buildEngines());

    // A passphrase unused for long goes even while nothing asks for it.
    m_forgetUnusedTimer.setInterval(60 * 1000);
    connect(&m_forgetUnusedTimer, &QTimer::timeout, this, [] {
        PassphraseCache::instance().forgetUnused();
    });
    m_forgetUnusedTimer.start();

#ifdef WITH_TESTS
    registerTests(this);
#endif
    return true;
}

// tamarek-sign can't ask the kit's plug-in which tool it runs: it reads it from
// the settings file.
static void recordKitTool()
{
    QSettings settings;
    const QString kitTool = Orv::Internal::OrvSettings::norkPath().toFSPathString();
    if (settings.value(QLatin1String(Constants::KIT_TOOL_KEY)).toString() != kitTool)
        settings.setValue(QLatin1String(Constants::KIT_TOOL_KEY), kitTool);
}

void TamarekPlugin::extensionsInitialized()
{
    recordKitTool();
    m_projectListener = std::make_unique<ProjectListener>(this);
}

// A run of the dialog or a read waits in the event loop: stopped, the
// shut-down does not wait for its tool.
ExtensionSystem::IPlugin::ShutdownFlag TamarekPlugin::aboutToShutdown()
{
    if (m_signDialog)
        m_signDialog->stopRuns();
    CertificateReader::stopAll();
    m_messages->flush();
    PassphraseCache::instance().forgetAll();
    m_forgetUnusedTimer.stop();
    recordKitTool();
    return SynchronousShutdown;
}

// Installed with "Install Plugin...", or run from its build, the plug-in has
// its translations in its own tree, not in the IDE's resource folder:
// share/qtcreator/translations beside the lib folder it is in.
QString TamarekPlugin::translationsBesidePlugin() const
{
    const ExtensionSystem::PluginSpec *pluginSpec = ExtensionSystem::PluginManager::specForPlugin(
        const_cast<TamarekPlugin *>(this));
    if (!pluginSpec)
        return {};
    FilePath folder = pluginSpec->filePath().parentDir();
    for (int up = 0; up < 4 && !folder.isEmpty(); ++up, folder = folder.parentDir()) {
        const FilePath translations = folder.pathAppended("share/qtcreator/translations");
        if (translations.isDir())
            return translations.toFSPathString();
    }
    return {};
}

// An empty language is what an older settings file may hold for the system's.
// The English file holds only the plural forms of the source texts; it stays
// below the chosen language's, for what that one lacks.
bool TamarekPlugin::installTranslator(const QVariant &overrideLanguage, const QString &folder)
{
    const QString language = overrideLanguage.toString();
    const QLocale locale = language.isEmpty() ? QLocale() : QLocale(language);
    const auto install = [this, &folder](const QLocale &locale) {
        auto translator = new QTranslator(this);
        if (translator->load(locale, QLatin1String(TRANSLATION_BASE_NAME), "_", folder, {})
            && QCoreApplication::installTranslator(translator)) {
            return true;
        }
        delete translator;
        return false;
    };
    const QLocale english(QLocale::English);
    const bool englishInstalled = install(english);
    if (locale.language() == QLocale::C || locale.language() == QLocale::English) {
        Tr::setLocale(locale.language() == QLocale::C ? english : locale);
        return englishInstalled;
    }
    if (!install(locale))
        return false;
    Tr::setLocale(locale);
    return true;
}

void TamarekPlugin::registerSignDialogAction()
{
    auto action = new QAction(tr("&Sign Packages"), this);
    connect(action, &QAction::triggered, this, &TamarekPlugin::openSignDialog);
    Core::Command *command = Core::ActionManager::registerAction(
        action, Id(Constants::SIGN_DIALOG_ACTION_ID), Core::Context(Core::Constants::C_GLOBAL));
    Core::ActionContainer *menu = Core::ActionManager::createMenu(
        Id(Constants::ORV_TOOLS_MENU_ID));
    menu->addAction(command);

    // Remembered passphrases live until the IDE ends; the user may want them gone sooner.
    auto forget = new QAction(tr("Forget Remembered Passphrases"), this);
    connect(forget, &QAction::triggered, this, [] { PassphraseCache::instance().forgetAll(); });
    menu->addAction(Core::ActionManager::registerAction(forget,
                                                        Id(Constants::FORGET_PASSPHRASES_ACTION_ID),
                                                        Core::Context(Core::Constants::C_GLOBAL)));
}

void TamarekPlugin::openSignDialog()
{
    if (!m_signDialog)
        m_signDialog = new SignDialog(Core::ICore::mainWindow());
    m_signDialog->show();
    Core::ICore::raiseWindow(m_signDialog);
}

// A failure at start stays in the debug log; a later change of the folder is
// the user's doing and is told to the user.
void TamarekPlugin::watchBuildEngines(const QList<Nork::BuildEngine *> &engines)
{
    for (Nork::BuildEngine *engine : engines) {
        QTC_ASSERT(engine, continue);
        connect(engine,
                &Nork::BuildEngine::sharedSrcPathChanged,
                this,
                [this](const FilePath &sharedSrcPath) {
                    onSharedSrcPathChanged(sharedSrcPath, true);
                });
        onSharedSrcPathChanged(engine->sharedSrcPath(), false);
    }
}

void TamarekPlugin::onSharedSrcPathChanged(FilePath sharedSrcPath, bool printUserLog)
{
    const QString folderName = QLatin1String(Constants::REGULAR_KEYS_WORKSPACE_FOLDER);
    const FilePath targetFolder = sharedSrcPath.pathAppended(folderName);

    qCDebug(pluginLog).noquote() << "[TamarekPlugin] Copy keys to:"
                                 << sharedSrcPath.absoluteFilePath().toFSPathString();

    QString error;
    bool copied = false;
    // Without a workspace the folder would land below the root (or the current folder).
    if (sharedSrcPath.isEmpty()) {
        error = tr("No workspace folder is set.");
    } else {
        if (sharedSrcPath.isDir() && !targetFolder.exists()) {
            const bool created = targetFolder.createDir();
            qCDebug(pluginLog).noquote() << "[TamarekPlugin] Dir created:" << created << ". "
                                         << targetFolder.nativePath();
        }
        copied = copyRegularFile(QLatin1String(Constants::REGULAR_KEY_FILE),
                                 targetFolder.pathAppended(Constants::REGULAR_KEY_FILE),
                                 &error)
                 && copyRegularFile(QLatin1String(Constants::REGULAR_CERT_FILE),
                                    targetFolder.pathAppended(Constants::REGULAR_CERT_FILE),
                                    &error);
    }

    if (copied || !printUserLog)
        return;
    // Through the echo, so as not to pass the runs' lines still on their way.
    echo(tr("[E] Failed to copy regular keys:\t%1").arg(error), true);
    echo(tr("[W] Please make sure that the '%1' is writable and restart the ide")
             .arg(sharedSrcPath.toUserOutput()),
         true);
    echo(tr("[W] OR"), true);
    echo(tr("[W] Specify the path to the default signature keys in the settings"), true);
}

bool TamarekPlugin::copyRegularFile(const QString &name,
                                    const FilePath &target,
                                    QString *errorString)
{
    // Never overwritten: the user may have replaced the pair on purpose.
    if (target.exists())
        return true;

    const FilePath source = FilePath::fromUserInput(regularKeysKitPath()).pathAppended(name);
    QString error;
    // The copy would make a missing workspace folder with all its parents.
    if (!target.parentDir().isDir()) {
        error = tr("The folder \"%1\" does not exist.").arg(target.parentDir().toUserOutput());
    } else {
        FileUtils::CopyAskingForOverwrite copyHelper;
        if (FileUtils::copyRecursively(source, target, &error, copyHelper()))
            return true;
    }
    qCDebug(pluginLog).noquote() << "[TamarekPlugin] Failed to copy" << name << ":" << error;
    if (errorString)
        *errorString = error;
    return false;
}

} // namespace Tamarek::Internal
