// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "customersignstep.h"

#include "customersignstepwidget.h"
#include "debugpackages.h"
#include "pathutils.h"
#include "tamarekconstants.h"

#include <neverraos/orvvbtrpmbuildstep.h>
#include <nork/buildengine.h>

#include <utils/qtcassert.h>

#include <QFileInfo>

using namespace ProjectExplorer;
using namespace Utils;
using Orv::Internal::OrvVbtRpmBuildStep;

namespace Tamarek::Internal {

const char BINARIES_KEY_KEY[] = "Tamarek.BinariesKey";
const char PACKAGES_KEY_KEY[] = "Tamarek.PackagesKey";
const char PACKAGES_CERT_KEY[] = "Tamarek.PackagesCert";
const char PACKAGES_CLIENT_CERT_KEY[] = "Tamarek.PackagesClientCert";
const char SIGN_DEBUG_PACKAGE_KEY[] = "OrvRpmSign.SignDebugPackage";

CustomerSignStep::CustomerSignStep(BuildStepList *stepList, Id id, bool enabled)
    : SignStep(stepList, id)
{
    setDefaultDisplayName(displayName());

    if (buildEngine) {
        const FilePath home = buildEngine->sharedHomePath();
        const auto defaultFile = [&home](const char name[]) {
            const FilePath path = home.pathAppended(QLatin1String(name));
            return path.exists() ? path.toFSPathString() : QString();
        };
        keys.binaryKey = defaultFile(Constants::DEFAULT_BINARIES_KEY_FILE);
        keys.developerKey = defaultFile(Constants::DEFAULT_PACKAGES_KEY_FILE);
        keys.developerCertificate = defaultFile(Constants::DEFAULT_PACKAGES_CERT_FILE);
        keys.clientCertificate = defaultFile(Constants::DEFAULT_PACKAGES_CLIENT_CERT_FILE);
    }

    setSignTool(&signTool);

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
    updateKeysSummary();
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
    SignStep::fromMap(map);
    keys.binaryKey = map.value(BINARIES_KEY_KEY, keys.binaryKey).toString();
    keys.developerKey = map.value(PACKAGES_KEY_KEY, keys.developerKey).toString();
    keys.developerCertificate = map.value(PACKAGES_CERT_KEY, keys.developerCertificate).toString();
    keys.clientCertificate = map.value(PACKAGES_CLIENT_CERT_KEY, keys.clientCertificate).toString();
    signDebugPackages = map.value(SIGN_DEBUG_PACKAGE_KEY, signDebugPackages).toBool();
    updateKeysSummary();
}

void CustomerSignStep::toMap(Store &map) const
{
    SignStep::toMap(map);
    map.insert(BINARIES_KEY_KEY, keys.binaryKey);
    map.insert(PACKAGES_KEY_KEY, keys.developerKey);
    map.insert(PACKAGES_CERT_KEY, keys.developerCertificate);
    map.insert(PACKAGES_CLIENT_CERT_KEY, keys.clientCertificate);
    map.insert(SIGN_DEBUG_PACKAGE_KEY, signDebugPackages);
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
    widget->setBuildTarget(buildTargetName());
    setUpVerificationControls(widget);

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

SignKeys CustomerSignStep::signingKeys() const
{
    return keys;
}

// Both shared folders are seen by the engine at the same paths, so keys in
// either can be used; new steps take theirs from the shared home folder.
bool CustomerSignStep::checkKeys(const SignKeys &signKeys, QString *error) const
{
    QTC_ASSERT(buildEngine && error, return false);
    if (signKeys.binaryKey.isEmpty() || signKeys.developerKey.isEmpty()
        || signKeys.developerCertificate.isEmpty()) {
        *error = QObject::tr("Error: keys and certificate can't be empty");
        return false;
    }
    const QList<FilePath> folders{buildEngine->sharedHomePath(), buildEngine->sharedSrcPath()};
    if (areInsideFolders({signKeys.binaryKey, signKeys.developerKey, signKeys.developerCertificate},
                         folders)) {
        return true;
    }
    *error = outsideFoldersMessage(InsideWhat::KeysAndCertificate, folders);
    return false;
}

QStringList CustomerSignStep::packagesToSign(OrvVbtRpmBuildStep *rpmBuildStep) const
{
    QTC_ASSERT(rpmBuildStep, return {});
    const QStringList packages = rpmBuildStep->deployablePackagesFileNames();
    return signDebugPackages ? packages : withoutDebugPackages(packages);
}

// The client certificate certifies the packages key, as the tool signs.
QList<SignStep::CertificatePair> CustomerSignStep::certificatesToCheck(
    const SignKeys &signKeys) const
{
    QList<CertificatePair> pairs{{signKeys.developerCertificate, signKeys.developerKey}};
    if (!signKeys.clientCertificate.isEmpty())
        pairs.append({signKeys.clientCertificate, signKeys.developerKey});
    return pairs;
}

QStringList CustomerSignStep::filesToCheck(const SignKeys &signKeys) const
{
    QStringList files;
    for (const QString &file : {signKeys.binaryKey,
                                signKeys.developerKey,
                                signKeys.developerCertificate,
                                signKeys.clientCertificate}) {
        if (!file.isEmpty())
            files << file;
    }
    return files;
}

QList<FilePath> CustomerSignStep::sharedFolders() const
{
    if (!buildEngine)
        return {};
    return {buildEngine->sharedHomePath(), buildEngine->sharedSrcPath()};
}

QString CustomerSignStep::keysSummary() const
{
    if (keys.developerKey.isEmpty())
        return tr("No packages key set");
    return tr("Packages key: %1").arg(QFileInfo(keys.developerKey).fileName());
}

// The texts of the shared run, in this step's context.
[[maybe_unused]] static const char *const runTexts[]
    = {QT_TRANSLATE_NOOP("Tamarek::Internal::CustomerSignStep", "Signing RPM package..."),
       QT_TRANSLATE_NOOP("Tamarek::Internal::CustomerSignStep",
                         "Error: No previous \"%1\" step found"),
       QT_TRANSLATE_NOOP("Tamarek::Internal::CustomerSignStep", "Error: no package for sign found"),
       QT_TRANSLATE_NOOP("Tamarek::Internal::CustomerSignStep",
                         "Package sign completed successfully."),
       QT_TRANSLATE_NOOP("Tamarek::Internal::CustomerSignStep", "Package sign stopped by user")};

} // namespace Tamarek::Internal
