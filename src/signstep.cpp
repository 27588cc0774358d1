// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signstep.h"

#include "certificatereader.h"
#include "pathutils.h"
#include "runreason.h"
#include "signingrun.h"
#include "stoprequest.h"
#include "waitalive.h"

#include <neverraos/orvsdkkitaspect.h>
#include <neverraos/orvvbtrpmbuildstep.h>
#include <nork/buildengine.h>

#include <projectexplorer/buildsteplist.h>
#include <projectexplorer/kit.h>
#include <projectexplorer/task.h>

#include <utils/qtcassert.h>

#include <QCoreApplication>

using namespace ProjectExplorer;
using namespace Tasking;
using namespace Utils;
using Orv::Internal::OrvSdkKitAspectFactory;
using Orv::Internal::OrvVbtRpmBuildStep;

namespace Tamarek::Internal {

// The first RPM build step in front of the step. A step being created is not
// in the list yet, so then the whole list counts.
static OrvVbtRpmBuildStep *findRpmBuildStep(const BuildStepList *stepList, const BuildStep *step)
{
    for (BuildStep *candidate : stepList->steps()) {
        if (candidate == step)
            break;
        if (auto rpmBuildStep = qobject_cast<OrvVbtRpmBuildStep *>(candidate))
            return rpmBuildStep;
    }
    return nullptr;
}

SignStep::SignStep(BuildStepList *stepList, Id id)
    : OrvProcessStep(stepList, id)
{
    rpmBuildStep = findRpmBuildStep(stepList, this);
    buildEngine = OrvSdkKitAspectFactory::buildEngine(kit());
    setSummaryUpdater([this] { return summary(); });
}

SignStep::~SignStep() = default;

void SignStep::setSignTool(SignTool *tool)
{
    QTC_ASSERT(tool && !m_signTool, return);
    m_signTool = tool;
    connect(tool, &SignTool::addError, this, [this](const QString &line) {
        emit addOutput(line, OutputFormat::Stderr, DoAppendNewline);
    });
    connect(tool, &SignTool::addOutput, this, [this](const QString &line) {
        emit addOutput(line, OutputFormat::Stdout, DoAppendNewline);
    });
}

void SignStep::reportSigned(const QStringList &packages)
{
    Q_UNUSED(packages)
}

QString SignStep::buildTargetName() const
{
    return OrvSdkKitAspectFactory::buildTarget(kit()).name;
}

QString SignStep::summary() const
{
    return QString("<b>%1:</b> %2").arg(displayName().toHtmlEscaped(),
                                         keysSummary().toHtmlEscaped());
}

void SignStep::updateKeysSummary()
{
    setSummaryText(summary());
}

// The tool gets the paths that were checked.
static SignKeys cleaned(SignKeys keys)
{
    for (QString *path : {&keys.binaryKey,
                          &keys.clientKey,
                          &keys.clientCertificate,
                          &keys.developerCertificate,
                          &keys.developerKey,
                          &keys.caCertificate}) {
        *path = cleanPath(*path);
    }
    return keys;
}

QString SignStep::stepText(const char *text) const
{
    return QCoreApplication::translate(metaObject()->className(), text);
}

bool SignStep::init()
{
    // Without an engine the run says so itself and the deploy goes on.
    if (!buildEngine)
        return true;
    return OrvProcessStep::init(NoBuildConfiguration);
}

SetupResult SignStep::prepareSigning(SigningInput &input)
{
    emit addOutput(stepText("Signing RPM package..."), OutputFormat::NormalMessage);

    if (!buildEngine) {
        return refuse(
            tr("Error: No build engine found for the kit \"%1\"").arg(kit()->displayName()));
    }

    input.keys = cleaned(signingKeys());
    QString error;
    if (!checkKeys(input.keys, &error))
        return refuse(error);

    if (!rpmBuildStep) {
        return refuse(
            stepText("Error: No previous \"%1\" step found").arg(OrvVbtRpmBuildStep::displayName()));
    }

    input.packages = packagesToSign(rpmBuildStep);
    if (input.packages.isEmpty())
        return refuse(stepText("Error: no package for sign found"));
    return SetupResult::Continue;
}

// The deploy goes on, green: the Issues pane must tell that nothing was signed.
SetupResult SignStep::refuse(const QString &error)
{
    emit addOutput(error, OutputFormat::ErrorMessage);
    warnNotSigned();
    return SetupResult::StopWithError;
}

void SignStep::warnNotSigned()
{
    emit addTask(DeploymentTask(Task::Warning,
                                tr("Packages were not signed by the step \"%1\".")
                                    .arg(this->displayName())));
}

bool SignStep::signPackages(const SigningInput &input, const StopRequest &stop)
{
    QTC_ASSERT(m_signTool, return false);
    if (!waitAlive(this, [&] { warnOfCertificates(input.keys, stop); }) || stop.isRequested())
        return false;
    const std::optional<ProcessResult> result = waitAlive(this, [&] {
        return m_signTool->sign(buildTargetName(), input.packages, input.keys);
    });
    // The step may have gone with its project while the tool ran; a cancelled
    // deploy has said so already.
    if (!result || stop.isRequested())
        return false;
    if (!result->isSuccess()) {
        reportFailure(*result);
        return false;
    }

    emit addOutput(stepText("Package sign completed successfully."), OutputFormat::NormalMessage);
    reportSigned(input.packages);
    return true;
}

// An expired or mismatched pair makes packages that no device takes: better
// said before the signing than found out on the device.
void SignStep::warnOfCertificates(const SignKeys &keys, const StopRequest &stop)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const CertificatePair &pair : certificatesToCheck(keys)) {
        const std::optional<CertificateCheck> check = waitAlive(this, [&] {
            return readCertificate(buildTargetName(), pair.certificate, pair.key, &stop);
        });
        if (!check || stop.isRequested())
            return;
        for (const QString &warning : certificateWarnings(*check, pair.certificate, now)) {
            emit addOutput(tr("Warning: %1").arg(warning), OutputFormat::ErrorMessage);
            emit addTask(DeploymentTask(Task::Warning, warning));
        }
    }
}

// A tool that fails without a word must not leave the step looking green.
void SignStep::reportFailure(const ProcessResult &result)
{
    emit addOutput(signingFailureMessage(result), OutputFormat::ErrorMessage);
    warnNotSigned();
}

GroupItem SignStep::runRecipe()
{
    return signingRecipe<SigningInput>(
        this,
        *m_signTool,
        [this](SigningInput &input) { return prepareSigning(input); },
        [this](const SigningInput &input, const StopRequest &stop) {
            return signPackages(input, stop);
        },
        [this] {
            emit addOutput(stepText("Package sign stopped by user"), OutputFormat::ErrorMessage);
            warnNotSigned();
        });
}

} // namespace Tamarek::Internal
