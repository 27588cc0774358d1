// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QFileInfo>

namespace Tamarek::Internal {

struct RequestParameters;

// Whether openssl can be given the name as the request's common name, byte for byte.
bool checkCompanyName(const QString &companyName, QString *error);

// The configuration of `openssl req` with the company name as the only
// subject field, quoted where OpenSSL's configuration format would read it
// otherwise.
QByteArray requestConfig(const QString &companyName);

// Creates pathStem + suffix, or pathStem + "_N" + suffix when a file or link
// of that name exists, never opening an existing one; only its owner may read
// it. An empty QFileInfo and the reason in error when that fails.
QFileInfo writeNewPrivateFile(const QString &pathStem,
                              const QString &suffix,
                              const QByteArray &content,
                              QString &error);

// Whether anyone but the user may create, rename or remove entries of the
// folder: another owner, or write permission for its group or others.
bool othersMayWrite(const QString &folder);

// Writes the request configuration into a folder of its own in the first build
// engine's workspace, where the engine can read it. The workspace is shared
// with others who may write there; in a folder only the user may change,
// nobody can swap the file before openssl reads it, unless others may also
// write the workspace and so swap the folder itself: then it is refused.
QFileInfo writeRequestConfig(const RequestParameters &request, QString &error);

// Removes a configuration that writeRequestConfig wrote, with its folder.
void removeRequestConfig(const QFileInfo &config);

} // namespace Tamarek::Internal
