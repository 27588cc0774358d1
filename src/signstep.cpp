// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signstep.h"

#include "certificatereader.h"
#include "signingrun.h"

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
}

SignStep::~SignStep() = default;

void SignStep::setSignTool(SignTool *tool)
{
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
    m_cancelled = false;
    emit addOutput(stepText("Signing RPM package..."), OutputFormat::NormalMessage);

    if (!buildEngine) {
        emit addOutput(tr("Error: No build engine found for the kit \"%1\"")
                           .arg(kit()->displayName()),
                       OutputFormat::ErrorMessage);
        return SetupResult::StopWithError;
    }

    input.keys = signingKeys();
    QString error;
    if (!checkKeys(input.keys, &error)) {
        emit addOutput(error, OutputFormat::ErrorMessage);
        return SetupResult::StopWithError;
    }

    if (!rpmBuildStep) {
        emit addOutput(stepText("Error: No previous \"%1\" step found")
                           .arg(OrvVbtRpmBuildStep::displayName()),
                       OutputFormat::ErrorMessage);
        return SetupResult::StopWithError;
    }

    input.packages = packagesToSign(rpmBuildStep);
    if (input.packages.isEmpty()) {
        emit addOutput(stepText("Error: no package for sign found"), OutputFormat::ErrorMessage);
        return SetupResult::StopWithError;
    }
    return SetupResult::Continue;
}

bool SignStep::signPackages(const SigningInput &input)
{
    QTC_ASSERT(m_signTool, return false);
    const QPointer<SignStep> self(this);
    warnOfCertificates(input.keys);
    if (!self || m_cancelled)
        return false;
    const ProcessResult result = m_signTool->sign(buildTargetName(), input.packages, input.keys);
    // The step may have gone with its project while the tool ran; a cancelled
    // deploy has said so already.
    if (!self || m_cancelled)
        return false;
    if (!result.isSuccess()) {
        reportFailure(result);
        return false;
    }

    emit addOutput(stepText("Package sign completed successfully."), OutputFormat::NormalMessage);
    reportSigned(input.packages);
    return true;
}

// An expired or mismatched pair makes packages that no device takes: better
// said before the signing than found out on the device.
void SignStep::warnOfCertificates(const SignKeys &keys)
{
    const QPointer<SignStep> self(this);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const CertificatePair &pair : certificatesToCheck(keys)) {
        const CertificateCheck check = readCertificate(buildTargetName(),
                                                       pair.certificate,
                                                       pair.key);
        if (!self || m_cancelled)
            return;
        for (const QString &warning : certificateWarnings(check, pair.certificate, now)) {
            emit addOutput(tr("Warning: %1").arg(warning), OutputFormat::ErrorMessage);
            emit addTask(DeploymentTask(Task::Warning, warning));
        }
    }
}

// A tool that fails without a word must not leave the step looking green.
void SignStep::reportFailure(const ProcessResult &result)
{
    QString reason;
    if (!result.startError.isEmpty())
        reason = tr("Error: Packages were not signed: %1").arg(result.startError);
    else if (result.stopped)
        reason = tr("Error: Packages were not signed: signing was stopped, no passphrase was given.");
    else if (result.crashed)
        reason = tr("Error: Packages were not signed: the signing tool crashed.");
    else
        reason = tr("Error: Packages were not signed: the signing tool ended with exit code %1.")
                     .arg(result.exitCode);
    emit addOutput(reason, OutputFormat::ErrorMessage);
    emit addTask(DeploymentTask(Task::Warning,
                                tr("Packages were not signed by the step \"%1\".")
                                    .arg(this->displayName())));
}

GroupItem SignStep::runRecipe()
{
    return signingRecipe<SigningInput>(
        this,
        *m_signTool,
        [this](SigningInput &input) { return prepareSigning(input); },
        [this](const SigningInput &input) { return signPackages(input); },
        [this] {
            m_cancelled = true;
            emit addOutput(stepText("Package sign stopped by user"), OutputFormat::ErrorMessage);
        });
}

} // namespace Tamarek::Internal
