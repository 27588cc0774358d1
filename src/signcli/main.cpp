// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "clioptions.h"
#include "signcli.h"
#include "tamarektr.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Tamarek::Internal;

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("tamarek-sign");
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
