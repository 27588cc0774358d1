// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "rpmsignexternalstep.h"

#include "rpmsignexternalwidget.h"
#include "signaturedump.h"
#include "signingrun.h"
#include "signstepsupport.h"
#include "tamarekconstants.h"

#include <neverraos/orvsdkkitaspect.h>
#include <neverraos/orvvbtrpmbuildstep.h>
#include <nork/buildengine.h>

#include <projectexplorer/buildsteplist.h>
#include <projectexplorer/kit.h>
#include <projectexplorer/target.h>

#include <utils/qtcassert.h>

#include <QSettings>

using namespace ProjectExplorer;
using namespace Tasking;
using namespace Utils;
using Orv::Internal::OrvSdkKitAspectFactory;
using Orv::Internal::OrvVbtRpmBuildStep;

namespace Tamarek::Internal {

const char USE_DEFAULT_VALUES_KEY[] = "Tamarek.UseDefaultValues";
const char KEY_KEY[] = "Tamarek.Key";
const char CERT_KEY[] = "Tamarek.Cert";

RpmsignExternalStep::RpmsignExternalStep(BuildStepList *stepList, Id id, bool enabled)
    : OrvProcessStep(stepList, id)
{
    setDefaultDisplayName(displayName());
    rpmBuildStep = findRpmBuildStep(stepList, this);
    buildEngine = OrvSdkKitAspectFactory::buildEngine(kit());
    keyChoice.buildEngine = buildEngine;

    forwardToolOutput(signTool, this);

    // A new step always starts on the global pair, whatever the default says.
    keyChoice.useDefaultValues = true;
    if (QSettings().value(QLatin1String(Constants::DEFAULT_SIGN_KEY), true).toBool())
        enabled = true;
    setEnabled(enabled);
}

RpmsignExternalStep::~RpmsignExternalStep() = default;

Id RpmsignExternalStep::stepId()
{
    return Id(Constants::RPMSIGN_EXTERNAL_STEP_ID);
}

QString RpmsignExternalStep::displayName()
{
    return QStringLiteral("RPM Sign (rpmsign-external)");
}

void RpmsignExternalStep::setKey(const QString &key)
{
    keyChoice.customKey = key;
    keyChoice.useDefaultValues = false;
}

void RpmsignExternalStep::setCertificate(const QString &certificate)
{
    keyChoice.customCertificate = certificate;
    keyChoice.useDefaultValues = false;
}

void RpmsignExternalStep::fromMap(const Store &map)
{
    BuildStep::fromMap(map);
    keyChoice.useDefaultValues = map.value(USE_DEFAULT_VALUES_KEY, true).toBool();
    if (keyChoice.useDefaultValues)
        return;
    keyChoice.customKey = map.value(KEY_KEY).toString();
    keyChoice.customCertificate = map.value(CERT_KEY).toString();
}

void RpmsignExternalStep::toMap(Store &map) const
{
    BuildStep::toMap(map);
    map.insert(USE_DEFAULT_VALUES_KEY, keyChoice.useDefaultValues);
    if (keyChoice.useDefaultValues)
        return;
    map.insert(KEY_KEY, keyChoice.key());
    map.insert(CERT_KEY, keyChoice.certificate());
}

bool RpmsignExternalStep::init()
{
    // Without an engine the run says so itself and the deploy goes on.
    if (!buildEngine)
        return true;
    return OrvProcessStep::init(NoBuildConfiguration);
}

QWidget *RpmsignExternalStep::createConfigWidget()
{
    auto widget = new RpmsignExternalWidget(this);
    if (buildEngine) {
        widget->setSharedHomePath(buildEngine->sharedHomePath());
        widget->setSharedSrcPath(buildEngine->sharedSrcPath());
    }
    widget->setUseDefaultValues(keyChoice.useDefaultValues);
    widget->setKey(keyChoice.key());
    widget->setCertificate(keyChoice.certificate());

    connect(widget, &RpmsignExternalWidget::keyChanged, this, &RpmsignExternalStep::setKey);
    connect(widget,
            &RpmsignExternalWidget::certificateChanged,
            this,
            &RpmsignExternalStep::setCertificate);
    connect(widget, &RpmsignExternalWidget::useDefaultValuesChanged, this, [this](bool useDefault) {
        keyChoice.useDefaultValues = useDefault;
    });
    return widget;
}

QString RpmsignExternalStep::buildTargetName() const
{
    return OrvSdkKitAspectFactory::buildTarget(kit()).name;
}

SetupResult RpmsignExternalStep::prepareSigning(SigningInput &input)
{
    emit addOutput(tr("Signing RPM package..."), OutputFormat::NormalMessage);

    if (!buildEngine) {
        emit addOutput(tr("Error: No build engine found for the kit \"%1\"")
                           .arg(kit()->displayName()),
                       OutputFormat::ErrorMessage);
        return SetupResult::StopWithError;
    }

    input.keys.developerKey = keyChoice.key();
    input.keys.developerCertificate = keyChoice.certificate();
    QString error;
    if (!checkKeysInWorkspace(input.keys, buildEngine->sharedSrcPath(), &error)) {
        emit addOutput(error, OutputFormat::ErrorMessage);
        return SetupResult::StopWithError;
    }

    if (!rpmBuildStep) {
        emit addOutput(tr("Error: No previous \"%1\" step found")
                           .arg(OrvVbtRpmBuildStep::displayName()),
                       OutputFormat::ErrorMessage);
        return SetupResult::StopWithError;
    }

    input.packages = rpmBuildStep->packages();
    if (input.packages.isEmpty()) {
        emit addOutput(tr("Error: no package for sign found"), OutputFormat::ErrorMessage);
        return SetupResult::StopWithError;
    }
    return SetupResult::Continue;
}

bool RpmsignExternalStep::signPackages(const SigningInput &input)
{
    const QPointer<RpmsignExternalStep> self(this);
    const bool signedAll = signTool.sign(buildTargetName(), input.packages, input.keys).isSuccess();
    // The step may have gone with its project while the tool ran.
    if (!self || !signedAll)
        return false;

    emit addOutput(tr("Package sign completed successfully."), OutputFormat::NormalMessage);
    reportSignatures(input.packages);
    return true;
}

void RpmsignExternalStep::reportSignatures(const QStringList &packages)
{
    QTC_ASSERT(!packages.isEmpty(), return);

    // The last enabled step of this kind reports for all of them.
    const QList<BuildStep *> steps = stepList()->steps();
    const qsizetype index = steps.indexOf(this);
    if (index >= 0) {
        for (qsizetype i = index + 1; i < steps.size(); ++i) {
            if (steps.at(i)->id() == id() && steps.at(i)->stepEnabled())
                return;
        }
    }

    const QPointer<RpmsignExternalStep> self(this);
    const ProcessResult dump = signTool.dump(buildTargetName(), packages);
    if (!self)
        return;
    if (!dump.isSuccess()) {
        emit addOutput(tr("Failed to verify signature dump"), OutputFormat::Stderr);
        return;
    }

    const QString dumpText = QString::fromUtf8(dump.standardOutput);
    for (const PackageDump &packageDump : splitSignatureDump(dumpText, packages))
        reportSignatureGroups(packageDump.dumpText, packageDump.packageName);
}

void RpmsignExternalStep::reportSignatureGroups(const QString &dumpText, const QString &packageName)
{
    switch (signatureNote(dumpText)) {
    case SignatureNote::None:
        break;
    case SignatureNote::DeveloperOnly:
        emit addOutput(tr("Note: Packages %1 signed with developer key, use is possible only for "
                          "development purposes. Read more: %2")
                           .arg(packageName, QLatin1String(Constants::PACKAGE_SIGNING_GUIDE_URL)),
                       OutputFormat::Stderr);
        break;
    case SignatureNote::NotSigned:
        emit addOutput(tr("Note: Packages %1 is not signed. Deployment to the device is not "
                          "possible. Read more: %2")
                           .arg(packageName, QLatin1String(Constants::PACKAGE_SIGNING_GUIDE_URL)),
                       OutputFormat::Stderr);
        break;
    }
}

GroupItem RpmsignExternalStep::runRecipe()
{
    return signingRecipe<SigningInput>(
        this,
        signTool,
        [this](SigningInput &input) { return prepareSigning(input); },
        [this](const SigningInput &input) { return signPackages(input); },
        tr("Package sign stopped by user"));
}

} // namespace Tamarek::Internal
