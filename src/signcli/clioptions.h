// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "certificatehealth.h"

#include <utils/expected.h>

#include <QString>
#include <QStringList>

#include <optional>

namespace Tamarek::Internal {

// What tamarek-sign ends with; --help documents them.
enum ExitStatus {
    ExitDone = 0,
    ExitToolFailed = 1,
    ExitUsage = 2,
    ExitPassphrase = 3,
    ExitNoEngineTargetOrTool = 4,
};

// Of each tool run, and of a passphrase typed on the terminal.
const int defaultTimeLimitSeconds = 600;

enum class CliCommand { Help, Sign, Verify, Dump, Remove, Request, Health };

struct CliOptions
{
    CliCommand command = CliCommand::Help;
    QString engine;
    QString target;
    QString kitTool;
    QString settingsFile;
    QString key;
    QString certificate;
    QString clientKey;
    QString clientCertificate;
    QString binariesKey;
    QString caCertificate;
    QString company;
    QString requestPath;
    int algorithm = 0; // as RequestParameters: 0 RSA, 1 GOST
    bool encrypt = false;
    int warnDays = expiryWarningDays;
    bool json = false;
    QString passphraseFile;
    QString keyPassphraseFile;
    QString clientKeyPassphraseFile;
    QString binariesKeyPassphraseFile;
    int passphraseFd = -1;
    int timeLimitSeconds = defaultTimeLimitSeconds;
    QStringList packages;
};

// The arguments after the program's name. An error is a usage error.
Utils::expected_str<CliOptions> parseArguments(const QStringList &arguments);

// Sign, verify, dump and remove work on the packages named last.
bool takesPackages(CliCommand command);

// What the command still lacks once the settings file has given its defaults;
// empty when it has all it needs.
QString missingArguments(const CliOptions &options);

// The global pair the options page stores in a Qt Creator settings file, and
// the kit tool the IDE last ran the tools with; a key missing there is nothing.
struct SettingsDefaults
{
    std::optional<QString> key;
    std::optional<QString> certificate;
    std::optional<QString> kitTool;
};
Utils::expected_str<SettingsDefaults> readSettingsDefaults(const QString &filePath);

// Options given on the command line win over the settings file.
void applySettingsDefaults(CliOptions &options, const SettingsDefaults &defaults);

QString helpText();

} // namespace Tamarek::Internal
