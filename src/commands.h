// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/filepath.h>

#include <QStringList>

#include <functional>

namespace Tamarek::Internal {

struct SignKeys;

// Every command line run in the build engine: the kit's command-line tool
// first, each argument as one element, nothing quoted or escaped.
namespace Commands {

// The kit's command-line tool: what the function gives, read for each
// command; without one, the tool of the kit's installation.
void setKitTool(const std::function<Utils::FilePath()> &kitTool);
Utils::FilePath kitTool();

QStringList engineCommand();
QStringList engineStartCommand();
QStringList execCommand(const QString &target);
QStringList vyxcertCommand(const QString &target);

QStringList customerSignCommand(const QString &target,
                                const SignKeys &keys,
                                const QStringList &packages);
QStringList customerSignHelpCommand(const QString &target);
QStringList vyxcertHelpCommand(const QString &target);
QStringList vyxcertVerifyCommand(const QString &target,
                                 const QString &rootCertificate,
                                 const QStringList &packages);
QStringList vyxcertDumpCommand(const QString &target, const QStringList &packages);
QStringList vyxcertDeleteCommand(const QString &target, const QStringList &packages);

QStringList rpmsignSignCommand(const QString &target,
                               const QString &key,
                               const QString &certificate,
                               const QStringList &packages);
QStringList rpmsignVerifyCommand(const QString &target,
                                 const QString &rootCertificate,
                                 const QStringList &packages);
QStringList rpmsignDumpCommand(const QString &target, const QStringList &packages);
QStringList rpmsignDeleteCommand(const QString &target, const QStringList &packages);
QStringList rpmsignVersionCommand(const QString &target);

QStringList opensslVersionCommand(const QString &target);
QStringList rsaKeyCommand(const QString &target, const QString &keyPath, bool encrypt);
QStringList gostKeyCommand(const QString &target, const QString &keyPath, bool encrypt);
QStringList requestCommand(const QString &target,
                           const QString &keyPath,
                           const QString &requestPath,
                           const QString &configPath);

// Reading a signing pair; none of them can ask for a passphrase: run without
// a terminal to ask on, and given an empty one where openssl takes one.
QStringList readCommand(const QString &target);
QStringList certificateInfoCommand(const QString &target, const QString &certificatePath);
QStringList certificatePublicKeyCommand(const QString &target, const QString &certificatePath);
QStringList keyPublicKeyCommand(const QString &target, const QString &keyPath);

// The log's line for a run: "[$] exit code<Tab>arguments joined by blanks".
// Many packages make a command of kilobytes, which the General Messages pane
// would lay out in one go: such a command continues on further lines, broken
// between arguments (" \" at the end, a Tab at the start), none over
// maxRunLineLength characters unless a single argument is.
const int maxRunLineLength = 500;
QString runLine(const QStringList &command, int exitCode);

} // namespace Commands
} // namespace Tamarek::Internal
