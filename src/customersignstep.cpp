// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "customersignstep.h"

#include "customersignstepwidget.h"
#include "pathutils.h"
#include "signingrun.h"
#include "signstepsupport.h"
#include "tamarekconstants.h"

#include <neverraos/orvsdkkitaspect.h>
#include <neverraos/orvvbtrpmbuildstep.h>
#include <nork/buildengine.h>

#include <projectexplorer/buildsteplist.h>
#include <projectexplorer/kit.h>
#include <projectexplorer/target.h>

#include <QFileInfo>
#include <QRegularExpression>

using namespace ProjectExplorer;
using namespace Tasking;
using namespace Utils;
using Orv::Internal::OrvSdkKitAspectFactory;
using Orv::Internal::OrvVbtRpmBuildStep;

namespace Tamarek::Internal {

const char BINARIES_KEY_KEY[] = "Tamarek.BinariesKey";
const char PACKAGES_KEY_KEY[] = "Tamarek.PackagesKey";
const char PACKAGES_CERT_KEY[] = "Tamarek.PackagesCert";
const char PACKAGES_CLIENT_CERT_KEY[] = "Tamarek.PackagesClientCert";
const char SIGN_DEBUG_PACKAGE_KEY[] = "OrvRpmSign.SignDebugPackage";

QStringList withoutDebugPackages(const QStringList &packages)
{
    // Only the file name: a workspace below a folder named "debuginfo" must
    // not lose every package.
    static const QRegularExpression notDebug("^((?!debug(info|source)).)*$");
    QStringList kept;
    for (const QString &package : packages) {
        if (notDebug.match(QFileInfo(package).fileName()).hasMatch())
            kept << package;
    }
    return kept;
}

CustomerSignStep::CustomerSignStep(BuildStepList *stepList, Id id, bool enabled)
    : OrvProcessStep(stepList, id)
{
    setDefaultDisplayName(displayName());
    rpmBuildStep = findRpmBuildStep(stepList, this);
    buildEngine = OrvSdkKitAspectFactory::buildEngine(kit());

    if (buildEngine) {
        const QString home = buildEngine->sharedHomePath().toFSPathString();
        const auto defaultFile = [&home](const char name[]) {
            const QString path = home + QLatin1String(name);
            return QFileInfo::exists(path) ? path : QString();
        };
        keys.binaryKey = defaultFile(Constants::DEFAULT_BINARIES_KEY_FILE);
        keys.developerKey = defaultFile(Constants::DEFAULT_PACKAGES_KEY_FILE);
        keys.developerCertificate = defaultFile(Constants::DEFAULT_PACKAGES_CERT_FILE);
        keys.clientCertificate = defaultFile(Constants::DEFAULT_PACKAGES_CLIENT_CERT_FILE);
    }

    forwardToolOutput(signTool, this);

    setEnabled(enabled);
}

CustomerSignStep::~CustomerSignStep() = default;

Id CustomerSignStep::stepId()
{
    return Id(Constants::CUSTOMER_SIGN_STEP_ID);
}

QString CustomerSignStep::displayName()
{
    return QStringLiteral("RPM Sign (customer-sign)");
}

void CustomerSignStep::setBinariesKey(const QString &key)
{
    keys.binaryKey = key;
}

void CustomerSignStep::setPackagesKey(const QString &key)
{
    keys.developerKey = key;
}

void CustomerSignStep::setPackagesCert(const QString &cert)
{
    keys.developerCertificate = cert;
}

void CustomerSignStep::setPackagesClientCert(const QString &cert)
{
    keys.clientCertificate = cert;
}

void CustomerSignStep::setSignDebugPackages(bool sign)
{
    signDebugPackages = sign;
}

void CustomerSignStep::fromMap(const Store &map)
{
    BuildStep::fromMap(map);
    keys.binaryKey = map.value(BINARIES_KEY_KEY, keys.binaryKey).toString();
    keys.developerKey = map.value(PACKAGES_KEY_KEY, keys.developerKey).toString();
    keys.developerCertificate = map.value(PACKAGES_CERT_KEY, keys.developerCertificate).toString();
    keys.clientCertificate = map.value(PACKAGES_CLIENT_CERT_KEY, keys.clientCertificate).toString();
    signDebugPackages = map.value(SIGN_DEBUG_PACKAGE_KEY, signDebugPackages).toBool();
}

void CustomerSignStep::toMap(Store &map) const
{
    BuildStep::toMap(map);
    map.insert(BINARIES_KEY_KEY, keys.binaryKey);
    map.insert(PACKAGES_KEY_KEY, keys.developerKey);
    map.insert(PACKAGES_CERT_KEY, keys.developerCertificate);
    map.insert(PACKAGES_CLIENT_CERT_KEY, keys.clientCertificate);
    map.insert(SIGN_DEBUG_PACKAGE_KEY, signDebugPackages);
}

bool CustomerSignStep::init()
{
    // Without an engine the run says so itself and the deploy goes on.
    if (!buildEngine)
        return true;
    return OrvProcessStep::init(NoBuildConfiguration);
}

QWidget *CustomerSignStep::createConfigWidget()
{
    auto widget = new CustomerSignStepWidget(this);
    widget->setCommand(QLatin1String(Constants::CUSTOMER_SIGN_TOOL));
    if (buildEngine) {
        widget->setSharedHomePath(buildEngine->sharedHomePath());
        widget->setSharedSrcPath(buildEngine->sharedSrcPath());
    }
    widget->setBinariesKey(keys.binaryKey);
    widget->setPackagesKey(keys.developerKey);
    widget->setPackagesCert(keys.developerCertificate);
    widget->setPackagesClientCert(keys.clientCertificate);
    widget->setSignDebugPackage(signDebugPackages);

    // Connected after filling, so the initial values are not echoed back.
    connect(widget,
            &CustomerSignStepWidget::binariesKeyChanged,
            this,
            &CustomerSignStep::setBinariesKey);
    connect(widget,
            &CustomerSignStepWidget::packagesKeyChanged,
            this,
            &CustomerSignStep::setPackagesKey);
    connect(widget,
            &CustomerSignStepWidget::packagesCertChanged,
            this,
            &CustomerSignStep::setPackagesCert);
    connect(widget,
            &CustomerSignStepWidget::packagesClientCertChanged,
            this,
            &CustomerSignStep::setPackagesClientCert);
    connect(widget,
            &CustomerSignStepWidget::signDebugPackages,
            this,
            &CustomerSignStep::setSignDebugPackages);
    return widget;
}

bool CustomerSignStep::checkKeys(QString *error) const
{
    if (keys.binaryKey.isEmpty() || keys.developerKey.isEmpty()
        || keys.developerCertificate.isEmpty()) {
        *error = QObject::tr("Error: keys and certificate can't be empty");
        return false;
    }
    const FilePath workspace = buildEngine->sharedSrcPath();
    if (isInsideFolder(keys.binaryKey, workspace) && isInsideFolder(keys.developerKey, workspace)
        && isInsideFolder(keys.developerCertificate, workspace)) {
        return true;
    }
    *error = QObject::tr("Error: keys and certificate must be inside workspace folder: %1")
                 .arg(workspace.shortNativePath());
    return false;
}

SetupResult CustomerSignStep::prepareSigning(QStringList &packages)
{
    emit addOutput(tr("Signing RPM package..."), OutputFormat::NormalMessage);

    if (!buildEngine) {
        emit addOutput(tr("Error: No build engine found for the kit \"%1\"")
                           .arg(kit()->displayName()),
                       OutputFormat::ErrorMessage);
        return SetupResult::StopWithError;
    }

    QString error;
    if (!checkKeys(&error)) {
        emit addOutput(error, OutputFormat::ErrorMessage);
        return SetupResult::StopWithError;
    }

    if (!rpmBuildStep) {
        emit addOutput(tr("Error: No previous \"%1\" step found")
                           .arg(OrvVbtRpmBuildStep::displayName()),
                       OutputFormat::ErrorMessage);
        return SetupResult::StopWithError;
    }

    packages = rpmBuildStep->deployablePackagesFileNames();
    if (!signDebugPackages)
        packages = withoutDebugPackages(packages);
    if (packages.isEmpty()) {
        emit addOutput(tr("Error: no package for sign found"), OutputFormat::ErrorMessage);
        return SetupResult::StopWithError;
    }
    return SetupResult::Continue;
}

bool CustomerSignStep::signPackages(const QStringList &packages)
{
    const QPointer<CustomerSignStep> self(this);
    const QString target = OrvSdkKitAspectFactory::buildTarget(kit()).name;
    const bool signedAll = signTool.sign(target, packages, keys).isSuccess();
    // The step may have gone with its project while the tool ran.
    if (!self || !signedAll)
        return false;

    emit addOutput(tr("Package sign completed successfully."), OutputFormat::NormalMessage);
    return true;
}

GroupItem CustomerSignStep::runRecipe()
{
    return signingRecipe<QStringList>(
        this,
        signTool,
        [this](QStringList &packages) { return prepareSigning(packages); },
        [this](const QStringList &packages) { return signPackages(packages); },
        tr("Package sign stopped by user"));
}

} // namespace Tamarek::Internal
