// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "clioptions.h"
#include "signcli.h"
#include "tamarektr.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

using namespace Tamarek::Internal;

// The plug-in's translations, in the user's language: installed, beside the
// IDE's helper programs in libexec/qtcreator; in a build, beside bin.
static void installTranslations(QCoreApplication &application)
{
    const QString programDir = QCoreApplication::applicationDirPath();
    const QStringList folders{programDir + "/../../share/qtcreator/translations",
                              programDir + "/../share/qtcreator/translations"};
    const QLocale locale;
    const QLocale english(QLocale::English);
    const bool isEnglish = locale.language() == QLocale::C
                           || locale.language() == QLocale::English;
    const auto install = [&](const QLocale &language) {
        for (const QString &folder : folders) {
            auto translator = new QTranslator(&application);
            if (translator->load(language, "Tamarek", "_", QDir::cleanPath(folder))
                && QCoreApplication::installTranslator(translator)) {
                return true;
            }
            delete translator;
        }
        return false;
    };
    // English holds the plural forms; the user's language goes above it.
    install(english);
    Tamarek::Tr::setLocale(isEnglish || !install(locale) ? english : locale);
}

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("tamarek-sign");
    installTranslations(application);
    const Utils::expected_str<CliOptions> options = parseArguments(
        QCoreApplication::arguments().mid(1));
    if (!options) {
        std::fprintf(stderr, "tamarek-sign: %s\n", qPrintable(options.error()));
        std::fprintf(stderr, "%s\n", qPrintable(Tamarek::Tr::tr("Try \"tamarek-sign --help\".")));
        return ExitUsage;
    }
    SignCli cli(*options);
    return cli.run();
}
