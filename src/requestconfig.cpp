// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "requestconfig.h"

#include "signtool.h"
#include "tamarektr.h"

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace Tamarek::Internal {

const char companyNamePlaceholder[] = "%COMPANY_NAME%";
const char privateFolderPrefix[] = ".csr_";
const int maxNameVariants = 100;
// X.520's upper bound, which openssl enforces.
const int maxCommonNameLength = 64;

const char requestConfigTemplate[] = "[ req ]\n"
                                     " distinguished_name = req_distinguished_name\n"
                                     " prompt = no\n"
                                     " string_mask = utf8only\n"
                                     " x509_extensions = v3_usr\n"
                                     " \n"
                                     "[ req_distinguished_name ]\n"
                                     " CN = %COMPANY_NAME%\n"
                                     " \n"
                                     "[ v3_usr ]\n"
                                     " basicConstraints=critical,CA:FALSE\n"
                                     " keyUsage=digitalSignature\n"
                                     " subjectKeyIdentifier=hash\n"
                                     " authorityKeyIdentifier=keyid\n";

bool checkCompanyName(const QString &companyName, QString *error)
{
    if (companyName.isEmpty()) {
        *error = Tr::tr("The company name can't be empty.");
        return false;
    }
    if (companyName.toUcs4().size() > maxCommonNameLength) {
        *error = Tr::tr("The company name can't be longer than %1 characters.")
                     .arg(maxCommonNameLength);
        return false;
    }
    // Half of a surrogate pair would reach the file as U+FFFD.
    if (!QStringView(companyName).isValidUtf16()) {
        *error = Tr::tr("The company name contains an invalid character.");
        return false;
    }
    for (const QChar c : companyName) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph) {
            *error = Tr::tr("The company name can't contain line breaks or other control "
                            "characters.");
            return false;
        }
    }
    return true;
}

// OpenSSL trims blanks at either end of a value, expands $variables and cuts
// at #; inside double quotes everything is literal but the backslash and the
// quote, each taken literally after a backslash.
static QByteArray configValue(const QString &companyName)
{
    const QByteArray name = companyName.toUtf8();
    static const QByteArrayView special = "\"'`\\#$";
    const bool plain = name.isEmpty()
                       || (name.front() != ' ' && name.back() != ' '
                           && std::none_of(name.cbegin(), name.cend(), [](char c) {
                                  return special.contains(c);
                              }));
    if (plain)
        return name;

    QByteArray quoted = "\"";
    for (const char c : name) {
        if (c == '"' || c == '\\')
            quoted.append('\\');
        quoted.append(c);
    }
    return quoted.append('"');
}

QByteArray requestConfig(const QString &companyName)
{
    return QByteArray(requestConfigTemplate)
        .replace(companyNamePlaceholder, configValue(companyName));
}

QFileInfo writeNewPrivateFile(const QString &pathStem,
                              const QString &suffix,
                              const QByteArray &content,
                              QString &error)
{
    QFile file;
    for (int variant = 0;; ++variant) {
        const QString variantName = variant == 0 ? QString() : '_' + QString::number(variant);
        file.setFileName(pathStem + variantName + suffix);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                      QFile::ReadOwner | QFile::WriteOwner)) {
            break;
        }
        const QFileInfo taken(file.fileName());
        if (variant + 1 == maxNameVariants || !(taken.exists() || taken.isSymLink())) {
            error = Tr::tr("Could not open %1 for writing: %2.")
                        .arg(QFileInfo(file).absoluteFilePath(), file.errorString());
            return {};
        }
    }

    if (file.write(content) != content.size() || !file.flush()) {
        error = Tr::tr("Could not write data to %1: %2.")
                    .arg(QFileInfo(file).absoluteFilePath(), file.errorString());
        file.remove();
        return {};
    }
    file.close();
    return QFileInfo(file);
}

// With an access control list the group bits of the mode are its mask, which
// limits every named user and group: the mode tells for the list too.
bool othersMayWrite(const QString &folder)
{
    struct stat status;
    if (stat(QFile::encodeName(folder).constData(), &status) != 0)
        return true;
    return status.st_uid != geteuid() || (status.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

QFileInfo writeRequestConfig(const RequestParameters &request, QString &error)
{
    const QList<Nork::BuildEngine *> engines = Nork::Sdk::buildEngines();
    if (engines.isEmpty()) {
        error = Tr::tr("No Build Engine found");
        return {};
    }
    if (!checkCompanyName(request.companyName, &error))
        return {};
    const QString workspace = engines.first()->sharedSrcPath().toFSPathString();
    if (workspace.isEmpty()) {
        error = Tr::tr("The build engine has no shared source folder.");
        return {};
    }
    if (othersMayWrite(workspace)) {
        error = Tr::tr("Others may change the folder %1, so they could swap the request's "
                       "configuration before openssl reads it: make the folder writable by you "
                       "only.")
                    .arg(QDir::toNativeSeparators(workspace));
        return {};
    }
    QTemporaryDir folder(QDir(workspace).filePath(QLatin1String(privateFolderPrefix) + "XXXXXX"));
    if (!folder.isValid()) {
        error = Tr::tr("Could not create a folder in %1: %2.")
                    .arg(QDir::toNativeSeparators(workspace), folder.errorString());
        return {};
    }
    const QString stem = QDir(folder.path())
                             .filePath(".csr_" + QDateTime::currentDateTime().toString("mmssz"));
    const QFileInfo config = writeNewPrivateFile(stem,
                                                 ".conf",
                                                 requestConfig(request.companyName),
                                                 error);
    if (config.exists())
        folder.setAutoRemove(false);
    return config;
}

void removeRequestConfig(const QFileInfo &config)
{
    QFile::remove(config.absoluteFilePath());
    const QDir folder = config.absoluteDir();
    if (folder.dirName().startsWith(privateFolderPrefix))
        QDir().rmdir(folder.absolutePath());
}

} // namespace Tamarek::Internal
