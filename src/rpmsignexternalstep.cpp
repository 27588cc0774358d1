// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "rpmsignexternalstep.h"

#include "rpmsignexternalwidget.h"
#include "signaturedump.h"
#include "signingdefaults.h"
#include "tamarekconstants.h"
#include "waitalive.h"

#include <neverraos/orvvbtrpmbuildstep.h>
#include <nork/buildengine.h>

#include <projectexplorer/buildsteplist.h>

#include <utils/qtcassert.h>

#include <QFileInfo>
#include <QSettings>

using namespace ProjectExplorer;
using namespace Utils;
using Orv::Internal::OrvVbtRpmBuildStep;

namespace Tamarek::Internal {

const char USE_DEFAULT_VALUES_KEY[] = "Tamarek.UseDefaultValues";
const char KEY_KEY[] = "Tamarek.Key";
const char CERT_KEY[] = "Tamarek.Cert";

RpmsignExternalStep::RpmsignExternalStep(BuildStepList *stepList, Id id, bool enabled)
    : SignStep(stepList, id)
{
    setDefaultDisplayName(displayName());
    keyChoice.buildEngine = buildEngine;

    setSignTool(&signTool);

    // A new step always starts on the global pair, whatever the default says.
    keyChoice.useDefaultValues = true;
    if (QSettings().value(QLatin1String(Constants::DEFAULT_SIGN_KEY), true).toBool())
        enabled = true;
    setEnabled(enabled);

    connect(&SigningDefaults::instance(),
            &SigningDefaults::changed,
            this,
            &RpmsignExternalStep::updateKeysSummary);
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
    updateKeysSummary();
}

void RpmsignExternalStep::setCertificate(const QString &certificate)
{
    keyChoice.customCertificate = certificate;
    keyChoice.useDefaultValues = false;
    updateKeysSummary();
}

void RpmsignExternalStep::fromMap(const Store &map)
{
    SignStep::fromMap(map);
    keyChoice.useDefaultValues = map.value(USE_DEFAULT_VALUES_KEY, true).toBool();
    if (!keyChoice.useDefaultValues) {
        keyChoice.customKey = map.value(KEY_KEY).toString();
        keyChoice.customCertificate = map.value(CERT_KEY).toString();
    }
    updateKeysSummary();
}

void RpmsignExternalStep::toMap(Store &map) const
{
    SignStep::toMap(map);
    map.insert(USE_DEFAULT_VALUES_KEY, keyChoice.useDefaultValues);
    if (keyChoice.useDefaultValues)
        return;
    map.insert(KEY_KEY, keyChoice.key());
    map.insert(CERT_KEY, keyChoice.certificate());
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
    widget->setBuildTarget(buildTargetName());
    setUpVerificationControls(widget);

    connect(widget, &RpmsignExternalWidget::keyChanged, this, &RpmsignExternalStep::setKey);
    connect(widget,
            &RpmsignExternalWidget::certificateChanged,
            this,
            &RpmsignExternalStep::setCertificate);
    connect(widget, &RpmsignExternalWidget::useDefaultValuesChanged, this, [this](bool useDefault) {
        keyChoice.useDefaultValues = useDefault;
        updateKeysSummary();
    });
    return widget;
}

SignKeys RpmsignExternalStep::signingKeys() const
{
    SignKeys keys;
    keys.developerKey = keyChoice.key();
    keys.developerCertificate = keyChoice.certificate();
    return keys;
}

bool RpmsignExternalStep::checkKeys(const SignKeys &keys, QString *error) const
{
    QTC_ASSERT(buildEngine && error, return false);
    return checkKeysInWorkspace(keys, buildEngine->sharedSrcPath(), error);
}

QStringList RpmsignExternalStep::packagesToSign(OrvVbtRpmBuildStep *rpmBuildStep) const
{
    QTC_ASSERT(rpmBuildStep, return {});
    return rpmBuildStep->packages();
}

QList<SignStep::CertificatePair> RpmsignExternalStep::certificatesToCheck(
    const SignKeys &keys) const
{
    return {{keys.developerCertificate, keys.developerKey}};
}

QStringList RpmsignExternalStep::filesToCheck(const SignKeys &keys) const
{
    QStringList files;
    for (const QString &file : {keys.developerKey, keys.developerCertificate}) {
        if (!file.isEmpty())
            files << file;
    }
    return files;
}

QList<FilePath> RpmsignExternalStep::sharedFolders() const
{
    if (!buildEngine)
        return {};
    return {buildEngine->sharedSrcPath()};
}

void RpmsignExternalStep::reportSigned(const QStringList &packages)
{
    reportSignatures(packages);
}

QString RpmsignExternalStep::keysSummary() const
{
    const QString key = QFileInfo(keyChoice.key()).fileName();
    if (keyChoice.useDefaultValues)
        return key.isEmpty() ? tr("Global keys (no key set)") : tr("Global keys (%1)").arg(key);
    return key.isEmpty() ? tr("Custom: no key set") : tr("Custom: %1").arg(key);
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

    const std::optional<ProcessResult> dump = waitAlive(this, [&] {
        return signTool.dump(buildTargetName(), packages);
    });
    if (!dump)
        return;
    if (!dump->isSuccess()) {
        emit addOutput(tr("Failed to verify signature dump"), OutputFormat::Stderr);
        return;
    }

    const QString dumpText = QString::fromUtf8(dump->standardOutput);
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

// The texts of the shared run, in this step's context.
[[maybe_unused]] static const char *const runTexts[]
    = {QT_TRANSLATE_NOOP("Tamarek::Internal::RpmsignExternalStep", "Signing RPM package..."),
       QT_TRANSLATE_NOOP("Tamarek::Internal::RpmsignExternalStep",
                         "Error: No previous \"%1\" step found"),
       QT_TRANSLATE_NOOP("Tamarek::Internal::RpmsignExternalStep",
                         "Error: no package for sign found"),
       QT_TRANSLATE_NOOP("Tamarek::Internal::RpmsignExternalStep",
                         "Package sign completed successfully."),
       QT_TRANSLATE_NOOP("Tamarek::Internal::RpmsignExternalStep", "Package sign stopped by user")};

} // namespace Tamarek::Internal
