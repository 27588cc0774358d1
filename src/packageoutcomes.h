// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "toolrunner.h"

#include <QString>

namespace Tamarek::Internal {

// What the dialog's runs on a package come to, worded apart from its widgets.
// A null result stands for a target without a tool for the run.

// A run's mark (its accessible name) and the line beside it.
struct Outcome
{
    bool ok = false;
    QString name;
    QString text;
};

Outcome signingOutcome(const ProcessResult &result);
Outcome verifyOutcome(const ProcessResult *result);
// Not ok when a field the request needs is empty, with the field named.
Outcome requestFieldsOutcome(const QString &companyName,
                             const QString &keyPath,
                             const QString &requestPath);
Outcome requestOutcome(const ProcessResult &result, const QString &lastErrorLine);

// The Verify tab's dump: the developer pane always has something to say, the
// client pane only when the package has a second signature.
struct DumpView
{
    QString developerText;
    bool developerTextIsPlain = false;
    bool hasDeveloper = false; // else the text says why there is no signature
    QString developerSummary;
    bool hasClient = false;
    QString clientText;
    QString clientSummary;
};

DumpView dumpView(const ProcessResult *result);

} // namespace Tamarek::Internal
