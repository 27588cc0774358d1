// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "packageoutcomes.h"

#include "runreason.h"
#include "signaturedump.h"

#include <QCoreApplication>

namespace Tamarek::Internal {

// The dialog's own words, in the dialog's context.
struct DialogTr
{
    Q_DECLARE_TR_FUNCTIONS(Tamarek::Internal::SignDialog)
};

Outcome signingOutcome(const ProcessResult &result)
{
    if (result.isSuccess())
        return {true, DialogTr::tr("Signed"), {}};
    return {false, DialogTr::tr("Signing failed"), failureReason(result)};
}

Outcome verifyOutcome(const ProcessResult *result)
{
    if (!result)
        return {false, DialogTr::tr("Not verified"), DialogTr::tr("Package can't be verified")};
    if (result->isSuccess())
        return {true, DialogTr::tr("Verified"), DialogTr::tr("Signatures successfully verified")};
    return {false, DialogTr::tr("Not verified"), DialogTr::tr("Could not verify signatures")};
}

Outcome requestFieldsOutcome(const QString &companyName,
                             const QString &keyPath,
                             const QString &requestPath)
{
    QString missing;
    if (companyName.isEmpty())
        missing = DialogTr::tr("Company name field cannot be empty");
    else if (keyPath.isEmpty())
        missing = DialogTr::tr("Key field cannot be empty");
    else if (requestPath.isEmpty())
        missing = DialogTr::tr("Request field cannot be empty");
    if (missing.isEmpty())
        return {true, {}, {}};
    return {false, DialogTr::tr("Generation failed"), missing};
}

Outcome requestOutcome(const ProcessResult &result, const QString &lastErrorLine)
{
    if (result.isSuccess())
        return {true, DialogTr::tr("Request generated"), {}};
    return {false,
            DialogTr::tr("Generation failed"),
            DialogTr::tr("Failed to generate request: %1")
                .arg(requestFailureReason(result, lastErrorLine))};
}

DumpView dumpView(const ProcessResult *result)
{
    DumpView view;
    if (!result || cutShort(*result)) {
        view.developerText = result ? failureDescription(*result)
                                    : DialogTr::tr("Package can't be dumped");
        view.developerTextIsPlain = true;
        return view;
    }
    // Through the kit's terminal, lines end with CR LF.
    const QString dump = QString::fromUtf8(result->standardOutput).replace("\r\n", "\n");
    const QStringList blocks = splitSignatureDumps(dump);
    if (blocks.isEmpty()) {
        view.developerText = DialogTr::tr("No signatures found in package");
        return view;
    }
    view.hasDeveloper = true;
    view.developerText = blocks.at(0);
    view.developerSummary = signatureSummary(blocks.at(0));
    if (blocks.size() > 1) {
        view.hasClient = true;
        view.clientText = blocks.at(1);
        view.clientSummary = signatureSummary(blocks.at(1));
    }
    return view;
}

} // namespace Tamarek::Internal
