// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "commands.h"

#include "signtool.h"
#include "tamarekconstants.h"

#include <nork/sdk.h>

namespace Tamarek::Internal::Commands {

static std::function<Utils::FilePath()> &kitToolFunction()
{
    static std::function<Utils::FilePath()> function;
    return function;
}

void setKitTool(const std::function<Utils::FilePath()> &kitTool)
{
    kitToolFunction() = kitTool;
}

Utils::FilePath kitTool()
{
    if (const auto &function = kitToolFunction())
        return function();
    return Nork::Sdk::norkPath();
}

QStringList engineCommand()
{
    return {kitTool().toFSPathString(), "engine"};
}

QStringList engineStartCommand()
{
    return engineCommand() << "start";
}

QStringList execCommand(const QString &target)
{
    return engineCommand() << "exec" << "-tt" << "sb2" << "-t" << target;
}

QStringList vyxcertCommand(const QString &target)
{
    return execCommand(target) << Constants::VYXCERT_TOOL;
}

QStringList customerSignCommand(const QString &target,
                                const SignKeys &keys,
                                const QStringList &packages)
{
    QStringList command = execCommand(target);
    command << Constants::CUSTOMER_SIGN_TOOL << "--binaries-key" << keys.binaryKey
            << "--packages-key" << keys.developerKey << "--packages-cert"
            << keys.developerCertificate;
    if (!keys.clientCertificate.isEmpty())
        command << "--packages-client-cert" << keys.clientCertificate;
    return command << packages;
}

QStringList customerSignHelpCommand(const QString &target)
{
    return execCommand(target) << Constants::CUSTOMER_SIGN_TOOL << "--help";
}

QStringList vyxcertHelpCommand(const QString &target)
{
    return vyxcertCommand(target) << "--help";
}

QStringList vyxcertVerifyCommand(const QString &target,
                                 const QString &rootCertificate,
                                 const QStringList &packages)
{
    return vyxcertCommand(target) << "verify" << "--root-cert-file-path" << rootCertificate
                                  << packages;
}

QStringList vyxcertDumpCommand(const QString &target, const QStringList &packages)
{
    return vyxcertCommand(target) << "dump" << packages;
}

QStringList vyxcertDeleteCommand(const QString &target, const QStringList &packages)
{
    return vyxcertCommand(target) << "delete" << packages;
}

static QStringList rpmsignCommand(const QString &target)
{
    return execCommand(target) << Constants::RPMSIGN_EXTERNAL_TOOL;
}

QStringList rpmsignSignCommand(const QString &target,
                               const QString &key,
                               const QString &certificate,
                               const QStringList &packages)
{
    return rpmsignCommand(target) << "sign" << "-k" << key << "-c" << certificate << packages;
}

QStringList rpmsignVerifyCommand(const QString &target,
                                 const QString &rootCertificate,
                                 const QStringList &packages)
{
    QStringList command = rpmsignCommand(target) << "verify";
    if (!rootCertificate.isEmpty())
        command << "--root-cert" << rootCertificate;
    return command << packages;
}

QStringList rpmsignDumpCommand(const QString &target, const QStringList &packages)
{
    return rpmsignCommand(target) << "dump" << packages;
}

QStringList rpmsignDeleteCommand(const QString &target, const QStringList &packages)
{
    return rpmsignCommand(target) << "delete" << packages;
}

QStringList rpmsignVersionCommand(const QString &target)
{
    return rpmsignCommand(target) << "--version";
}

QStringList opensslVersionCommand(const QString &target)
{
    // Deliberately one element, blank included.
    return execCommand(target) << "openssl version";
}

QStringList rsaKeyCommand(const QString &target, const QString &keyPath, bool encrypt)
{
    QStringList command = execCommand(target);
    command << Constants::OPENSSL_TOOL << "genpkey" << "--algorithm" << "rsa" << "-pkeyopt"
            << "rsa_keygen_bits:2048" << "-out" << keyPath;
    if (encrypt)
        command << "-aes256";
    return command;
}

QStringList gostKeyCommand(const QString &target, const QString &keyPath, bool encrypt)
{
    QStringList command = execCommand(target);
    command << Constants::OPENSSL_TOOL << "genpkey" << "-engine" << "gost" << "-algorithm"
            << "gost2012_256" << "-pkeyopt" << "paramset:A" << "-out" << keyPath;
    if (encrypt)
        command << "-aes256";
    return command;
}

QStringList requestCommand(const QString &target,
                           const QString &keyPath,
                           const QString &requestPath,
                           const QString &configPath)
{
    return execCommand(target) << Constants::OPENSSL_TOOL << "req" << "-new" << "-utf8"
                               << "-batch" << "-config" << configPath << "-key" << keyPath
                               << "-out" << requestPath;
}

QStringList readCommand(const QString &target)
{
    return engineCommand() << "exec" << "sb2" << "-t" << target;
}

// A key before the certificate, or a PKCS#12 file, makes x509 ask for a
// passphrase unless it is given one.
QStringList certificateInfoCommand(const QString &target, const QString &certificatePath)
{
    return readCommand(target) << Constants::OPENSSL_TOOL << "x509" << "-noout" << "-subject"
                               << "-issuer" << "-startdate" << "-enddate" << "-nameopt"
                               << "utf8,sep_comma_plus_space" << "-passin" << "pass:" << "-in"
                               << certificatePath;
}

QStringList certificatePublicKeyCommand(const QString &target, const QString &certificatePath)
{
    return readCommand(target) << Constants::OPENSSL_TOOL << "x509" << "-noout" << "-pubkey"
                               << "-passin" << "pass:" << "-in" << certificatePath;
}

QStringList keyPublicKeyCommand(const QString &target, const QString &keyPath)
{
    return readCommand(target) << Constants::OPENSSL_TOOL << "pkey" << "-pubout" << "-passin"
                               << "pass:" << "-in" << keyPath;
}

QString runLine(const QStringList &command, int exitCode)
{
    const QString head = QString("[$] %1\t").arg(exitCode);
    const QString joined = command.join(' ');
    if (head.size() + joined.size() <= maxRunLineLength)
        return head + joined;
    QStringList lines;
    QString line = head;
    bool empty = true;
    for (const QString &argument : command) {
        if (!empty && line.size() + 1 + argument.size() + 2 > maxRunLineLength) {
            lines << line + " \\";
            line = "\t";
            empty = true;
        }
        if (!empty)
            line += ' ';
        line += argument;
        empty = false;
    }
    lines << line;
    return lines.join('\n');
}

} // namespace Tamarek::Internal::Commands
