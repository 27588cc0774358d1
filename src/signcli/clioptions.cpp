// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "clioptions.h"

#include "tamarekconstants.h"
#include "tamarektr.h"

#include <QFileInfo>
#include <QHash>
#include <QSettings>

#include <functional>

using namespace Utils;

namespace Tamarek::Internal {

// A day: more than any tool should need, and well within a timer's range.
const int maxTimeLimitSeconds = 24 * 60 * 60;

static std::optional<CliCommand> commandNamed(const QString &name)
{
    static const QHash<QString, CliCommand> commands{{"sign", CliCommand::Sign},
                                                     {"verify", CliCommand::Verify},
                                                     {"dump", CliCommand::Dump},
                                                     {"remove", CliCommand::Remove},
                                                     {"request", CliCommand::Request},
                                                     {"health", CliCommand::Health}};
    const auto it = commands.constFind(name);
    if (it == commands.constEnd())
        return {};
    return *it;
}

bool takesPackages(CliCommand command)
{
    return command == CliCommand::Sign || command == CliCommand::Verify
           || command == CliCommand::Dump || command == CliCommand::Remove;
}

static expected_str<int> number(const QString &option, const QString &value)
{
    bool ok = false;
    const int result = value.toInt(&ok);
    if (!ok || result < 0)
        return make_unexpected(Tr::tr("%1 needs a number, not \"%2\".").arg(option, value));
    return result;
}

expected_str<CliOptions> parseArguments(const QStringList &arguments)
{
    CliOptions options;
    if (arguments.isEmpty())
        return make_unexpected(Tr::tr("No command given."));
    if (arguments.contains("--help") || arguments.contains("-h"))
        return options;
    const std::optional<CliCommand> command = commandNamed(arguments.first());
    if (!command)
        return make_unexpected(Tr::tr("Unknown command \"%1\".").arg(arguments.first()));
    options.command = *command;

    // Which commands take each option; the common ones all.
    using Setter = std::function<expected_str<void>(const QString &)>;
    const auto text = [](QString &field) {
        return Setter([&field](const QString &value) -> expected_str<void> {
            field = value;
            return {};
        });
    };
    const auto whole = [](const char *option, int &field) {
        return Setter([option, &field](const QString &value) -> expected_str<void> {
            const expected_str<int> read = number(QLatin1String(option), value);
            if (!read)
                return make_unexpected(read.error());
            field = *read;
            return {};
        });
    };
    const QList<CliCommand> all{CliCommand::Sign,
                                CliCommand::Verify,
                                CliCommand::Dump,
                                CliCommand::Remove,
                                CliCommand::Request,
                                CliCommand::Health};
    const QList<CliCommand> keyed{CliCommand::Sign, CliCommand::Request, CliCommand::Health};
    const QList<CliCommand> reported{CliCommand::Sign, CliCommand::Verify, CliCommand::Dump};
    const QList<CliCommand> sign{CliCommand::Sign};
    const QList<CliCommand> signOrHealth{CliCommand::Sign, CliCommand::Health};
    struct Option
    {
        QList<CliCommand> commands;
        Setter set;
    };
    const QHash<QString, Option> valued{
        {"--engine", {all, text(options.engine)}},
        {"--target", {all, text(options.target)}},
        {"--kit-tool", {all, text(options.kitTool)}},
        {"--settings", {all, text(options.settingsFile)}},
        {"--key", {keyed, text(options.key)}},
        {"--cert", {signOrHealth, text(options.certificate)}},
        {"--client-key", {sign, text(options.clientKey)}},
        {"--client-cert", {sign, text(options.clientCertificate)}},
        {"--binaries-key", {sign, text(options.binariesKey)}},
        {"--ca", {{CliCommand::Verify}, text(options.caCertificate)}},
        {"--company", {{CliCommand::Request}, text(options.company)}},
        {"--out", {{CliCommand::Request}, text(options.requestPath)}},
        {"--algorithm",
         {{CliCommand::Request},
          [&options](const QString &value) -> expected_str<void> {
              if (value == "rsa")
                  options.algorithm = 0;
              else if (value == "gost")
                  options.algorithm = 1;
              else
                  return make_unexpected(
                      Tr::tr("--algorithm is rsa or gost, not \"%1\".").arg(value));
              return {};
          }}},
        {"--warn-days", {{CliCommand::Health}, whole("--warn-days", options.warnDays)}},
        {"--timeout",
         {all,
          [&options](const QString &value) -> expected_str<void> {
              const expected_str<int> seconds = number("--timeout", value);
              if (!seconds)
                  return make_unexpected(seconds.error());
              if (*seconds == 0 || *seconds > maxTimeLimitSeconds) {
                  return make_unexpected(Tr::tr("--timeout is 1 to %1 seconds, not \"%2\".")
                                             .arg(maxTimeLimitSeconds)
                                             .arg(value));
              }
              options.timeLimitSeconds = *seconds;
              return {};
          }}},
        {"--passphrase-file", {keyed, text(options.passphraseFile)}},
        {"--key-passphrase-file", {keyed, text(options.keyPassphraseFile)}},
        {"--client-key-passphrase-file", {sign, text(options.clientKeyPassphraseFile)}},
        {"--binaries-key-passphrase-file", {sign, text(options.binariesKeyPassphraseFile)}},
        {"--passphrase-fd", {keyed, whole("--passphrase-fd", options.passphraseFd)}},
    };

    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith('-') || argument == "-") {
            if (!takesPackages(options.command))
                return make_unexpected(Tr::tr("Unexpected argument \"%1\".").arg(argument));
            options.packages << argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        const QString name = argument.section('=', 0, 0);
        const bool inlineValue = argument.contains('=');
        if (name == "--json" || name == "--encrypt") {
            if (inlineValue)
                return make_unexpected(Tr::tr("%1 takes no value.").arg(name));
            const bool json = name == "--json";
            if (json ? !reported.contains(options.command)
                     : options.command != CliCommand::Request) {
                return make_unexpected(
                    Tr::tr("%1 does not go with %2.").arg(name, arguments.first()));
            }
            (json ? options.json : options.encrypt) = true;
            continue;
        }
        const auto it = valued.constFind(name);
        if (it == valued.constEnd())
            return make_unexpected(Tr::tr("Unknown option \"%1\".").arg(name));
        if (!it->commands.contains(options.command))
            return make_unexpected(Tr::tr("%1 does not go with %2.").arg(name, arguments.first()));
        QString value;
        if (inlineValue) {
            value = argument.section('=', 1);
        } else {
            if (i + 1 >= arguments.size())
                return make_unexpected(Tr::tr("%1 needs a value.").arg(name));
            value = arguments.at(++i);
        }
        if (const expected_str<void> set = it->set(value); !set)
            return make_unexpected(set.error());
    }
    return options;
}

QString missingArguments(const CliOptions &options)
{
    QStringList missing;
    const auto need = [&missing](const QString &value, const char name[]) {
        if (value.isEmpty())
            missing << QLatin1String(name);
    };
    if (options.command == CliCommand::Help)
        return {};
    need(options.target, "--target");
    switch (options.command) {
    case CliCommand::Sign:
    case CliCommand::Health:
        need(options.key, "--key");
        need(options.certificate, "--cert");
        break;
    case CliCommand::Verify:
        need(options.caCertificate, "--ca");
        break;
    case CliCommand::Request:
        need(options.key, "--key");
        need(options.company, "--company");
        need(options.requestPath, "--out");
        break;
    default:
        break;
    }
    // customer-sign certifies the packages key with a client certificate alone.
    if (options.command == CliCommand::Sign && !options.clientKey.isEmpty()
        && options.clientCertificate.isEmpty()) {
        missing << QString("--client-cert");
    }
    if (takesPackages(options.command) && options.packages.isEmpty())
        missing << Tr::tr("a package");
    if (missing.isEmpty())
        return {};
    return Tr::tr("%1 needs %2.").arg(QString("tamarek-sign"), missing.join(", "));
}

expected_str<SettingsDefaults> readSettingsDefaults(const QString &filePath)
{
    if (!QFileInfo(filePath).isFile())
        return make_unexpected(Tr::tr("The settings file %1 does not exist.").arg(filePath));
    const QSettings settings(filePath, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return make_unexpected(Tr::tr("The settings file %1 can't be read.").arg(filePath));
    SettingsDefaults defaults;
    const auto read = [&settings](const char key[]) -> std::optional<QString> {
        const QString name = QLatin1String(key);
        if (!settings.contains(name))
            return {};
        return settings.value(name).toString();
    };
    defaults.key = read(Constants::GLOBAL_SIGN_KEY_KEY);
    defaults.certificate = read(Constants::GLOBAL_SIGN_CERT_KEY);
    defaults.kitTool = read(Constants::KIT_TOOL_KEY);
    return defaults;
}

void applySettingsDefaults(CliOptions &options, const SettingsDefaults &defaults)
{
    if (options.kitTool.isEmpty() && defaults.kitTool)
        options.kitTool = *defaults.kitTool;
    const bool usesPair = options.command == CliCommand::Sign
                          || options.command == CliCommand::Health;
    if (!usesPair)
        return;
    if (options.key.isEmpty() && defaults.key)
        options.key = *defaults.key;
    if (options.certificate.isEmpty() && defaults.certificate)
        options.certificate = *defaults.certificate;
}

QString helpText()
{
    return Tr::tr(
        "Usage: tamarek-sign COMMAND [OPTIONS] PACKAGE...\n"
        "\n"
        "Signs, verifies, dumps and strips RPM packages for Neverra OS with the tools of a\n"
        "build target of the kit's build engine, with the same command lines as the\n"
        "Tamarek plug-in of Qt Creator. Every tool runs through the kit's command-line\n"
        "tool; keys, certificates and packages must lie in the engine's shared folders.\n"
        "\n"
        "Commands:\n"
        "  sign --target T --key K --cert C [--client-key K --client-cert C]\n"
        "       [--binaries-key K] PACKAGE...\n"
        "      Signs with rpmsign-external when the target has it (developer pair, then\n"
        "      the client pair), else with customer-sign (which needs --binaries-key;\n"
        "      --client-cert then certifies the same key), and reports the signatures.\n"
        "  verify --target T --ca CA PACKAGE...\n"
        "      Verifies each package's signatures against the CA certificates in CA.\n"
        "  dump --target T PACKAGE...     Prints the packages' signatures.\n"
        "  remove --target T PACKAGE...   Removes the packages' signatures.\n"
        "  request --target T --key K --company NAME --out CSR [--algorithm rsa|gost]\n"
        "          [--encrypt]\n"
        "      Writes a certificate signing request for NAME; makes the key K first\n"
        "      when it does not exist (RSA 2048 or GOST R 34.10-2012 256, AES-256\n"
        "      encrypted with --encrypt).\n"
        "  health --target T --key K --cert C [--warn-days N]\n"
        "      Prints the certificate's subject, issuer and validity and whether K is its\n"
        "      key; fails when it has expired, is not valid yet, is not K's or expires\n"
        "      within N days (default 30).\n"
        "\n"
        "Options for every command:\n"
        "  --engine NAME     the build engine (default: the kit's first)\n"
        "  --target NAME     the build target (required)\n"
        "  --kit-tool PATH   the kit's command-line tool (default: the one the IDE\n"
        "                    runs, named in --settings, else the kit installation's)\n"
        "  --timeout SECONDS how long each tool run, and a passphrase typed on the\n"
        "                    terminal, may take (default 600)\n"
        "  --settings FILE   a Qt Creator settings file (QtCreator.ini): the global key\n"
        "                    and certificate of its signing options are the defaults of\n"
        "                    --key and --cert, its kit tool that of --kit-tool; options\n"
        "                    given win\n"
        "  --json            (sign, verify, dump) the report as JSON on standard output:\n"
        "                    per package its path, its signatures (subject, group, key\n"
        "                    id) and, for verify, whether it verified or why not; the\n"
        "                    other lines then go to standard error\n"
        "  --help            this text\n"
        "\n"
        "Passphrases (never on the command line):\n"
        "  --passphrase-file F                one passphrase for every key\n"
        "  --key-passphrase-file F            for --key (and a new key of request)\n"
        "  --client-key-passphrase-file F     for --client-key\n"
        "  --binaries-key-passphrase-file F   for --binaries-key\n"
        "  --passphrase-fd N                  one passphrase for every key, read from\n"
        "                                     file descriptor N\n"
        "  TAMAREK_PASSPHRASE_FILE            (environment) as --passphrase-file\n"
        "  A file's first line is the passphrase; a file that others may read or\n"
        "  write is refused. A key's own file comes first, then --passphrase-file,\n"
        "  --passphrase-fd and TAMAREK_PASSPHRASE_FILE. With none, the passphrase is\n"
        "  asked for on the terminal without echo; without a terminal the run ends at\n"
        "  once. A tool asking twice for one key in a run means a wrong passphrase.\n"
        "\n"
        "Exit status:\n"
        "  0  done\n"
        "  1  a tool failed: packages not signed or not verified, a certificate unhealthy\n"
        "  2  usage error\n"
        "  3  a passphrase was needed and not given, or was wrong\n"
        "  4  no build engine, build target or tool\n");
}

} // namespace Tamarek::Internal
