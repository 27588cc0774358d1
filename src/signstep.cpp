// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signstep.h"

#include "certificatehealthcache.h"
#include "certificatereader.h"
#include "pathutils.h"
#include "runreason.h"
#include "packagereport.h"
#include "signingdefaults.h"
#include "signingrun.h"
#include "stoprequest.h"
#include "tamarekconstants.h"
#include "waitalive.h"

#include <neverraos/orvsdkkitaspect.h>
#include <neverraos/orvvbtrpmbuildstep.h>
#include <nork/buildengine.h>

#include <projectexplorer/buildsteplist.h>
#include <projectexplorer/kit.h>
#include <projectexplorer/task.h>

#include <utils/qtcassert.h>

#include <QCoreApplication>
#include <QFileInfo>

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

void SignStep::setVerifyAfterSign(bool verify)
{
    m_verifyAfterSign = verify;
}

void SignStep::setVerifyRootCertificate(const QString &certificate)
{
    m_verifyRootCertificate = certificate;
}

void SignStep::fromMap(const Store &map)
{
    BuildStep::fromMap(map);
    m_verifyAfterSign = map.value(Constants::VERIFY_AFTER_SIGN_KEY, false).toBool();
    m_verifyRootCertificate = map.value(Constants::VERIFY_ROOT_CERTIFICATE_KEY).toString();
}

void SignStep::toMap(Store &map) const
{
    BuildStep::toMap(map);
    // Written only when used, so that a step that does not verify is stored as before.
    if (m_verifyAfterSign)
        map.insert(Constants::VERIFY_AFTER_SIGN_KEY, true);
    if (!m_verifyRootCertificate.isEmpty())
        map.insert(Constants::VERIFY_ROOT_CERTIFICATE_KEY, m_verifyRootCertificate);
}

QString SignStep::effectiveVerifyRoot() const
{
    return cleanPath(m_verifyRootCertificate.isEmpty() ? SigningDefaults::verifyRootCertificate()
                                                       : m_verifyRootCertificate);
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

// Told before the RPM build, so that the user may cancel it; only what needs
// no tool: a deploy starts at once.
bool SignStep::init()
{
    // Without an engine the run says so itself and the deploy goes on.
    if (!buildEngine)
        return true;
    if (!OrvProcessStep::init(NoBuildConfiguration))
        return false;

    const bool stop = SigningDefaults::stopDeployOnFailure();
    const QList<Problem> problems = problemsBeforeDeploy();
    for (const Problem &problem : problems) {
        emit addTask(
            DeploymentTask(stop || problem.certain ? Task::Error : Task::Warning, problem.text));
    }
    if (!stop || problems.isEmpty())
        return true;
    emit addOutput(tr("Error: The deploy is not started: the files of the step \"%1\" have "
                      "problems, listed in the Issues pane.")
                       .arg(this->displayName()),
                   OutputFormat::ErrorMessage);
    return false;
}

QList<SignStep::Problem> SignStep::problemsBeforeDeploy() const
{
    QList<Problem> problems;
    const SignKeys keys = cleaned(signingKeys());
    QString error;
    const bool keysInPlace = checkKeys(keys, &error);

    QStringList files = filesToCheck(keys);
    QList<CertificatePair> certificates = certificatesToCheck(keys);
    QStringList trustRoots;
    if (m_verifyAfterSign) {
        const QString root = effectiveVerifyRoot();
        if (root.isEmpty()) {
            problems.append({tr("No CA certificate is set to verify the signatures against."),
                             true});
        } else {
            files << root;
            trustRoots << root;
        }
    }

    const QList<FilePath> folders = sharedFolders();
    bool outside = false;
    for (const QString &file : std::as_const(files)) {
        const QFileInfo info(file);
        if (!areInsideFolders({file}, folders)) {
            outside = true;
            problems.append(
                {tr("The file %1 is not inside the folders shared with the build engine.")
                     .arg(file),
                 true});
        } else if (!info.exists()) {
            problems.append({tr("The file %1 does not exist.").arg(file), true});
        } else if (!info.isFile() || !info.isReadable()) {
            problems.append({tr("The file %1 can't be read.").arg(file), true});
        }
    }
    // What else the run's own check refuses: a file not set.
    if (!keysInPlace && !outside)
        problems.append({tr("A key or certificate that the step signs with is not set."), true});

    const QDateTime now = QDateTime::currentDateTimeUtc();
    const CertificateHealthCache &cache = CertificateHealthCache::instance();
    for (const QString &root : std::as_const(trustRoots))
        certificates.append({root, {}});
    for (const CertificatePair &pair : std::as_const(certificates)) {
        const CertificateFiles files = CertificateFiles::of(pair.certificate, pair.key);
        std::optional<CertificateCheck> check = cache.find(files);
        if (!check)
            check = cache.findCertificate(pair.certificate, files.certificateModified);
        if (!check)
            continue;
        for (const QString &problem : lastReadProblems(*check, pair.certificate, now))
            problems.append({problem, false});
    }
    return problems;
}

SetupResult SignStep::prepareSigning(SigningInput &input)
{
    m_failureStopsDeploy = SigningDefaults::stopDeployOnFailure();
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
    input.verify = m_verifyAfterSign;
    input.verifyRoot = effectiveVerifyRoot();
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
    QTC_ASSERT(!input.packages.isEmpty(), return false);
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
    if (!waitAlive(this, [&] { reportSigned(input.packages); }) || stop.isRequested())
        return false;
    return !input.verify || verifySigned(input, stop);
}

// One run per package, so that each failure is told with its own reason.
bool SignStep::verifySigned(const SigningInput &input, const StopRequest &stop)
{
    QTC_ASSERT(m_signTool, return false);
    if (input.verifyRoot.isEmpty()) {
        reportVerifyError(tr("Error: The signatures can't be verified: no CA certificate is set."));
        return false;
    }
    // Only what was signed is verified.
    QTC_ASSERT(!input.packages.isEmpty(), return false);
    const QString rootName = QFileInfo(input.verifyRoot).fileName();
    emit addOutput(tr("Verifying signatures with %1...").arg(rootName),
                   OutputFormat::NormalMessage);
    SignKeys keys;
    keys.caCertificate = input.verifyRoot;
    int verified = 0;
    for (const QString &package : input.packages) {
        const std::optional<ProcessResult> result = waitAlive(this, [&] {
            return m_signTool->verify(buildTargetName(), {package}, keys);
        });
        if (!result || stop.isRequested())
            return false;
        if (result->isSuccess()) {
            ++verified;
            continue;
        }
        const QString reason = verificationReason(*result, package);
        reportVerifyError(tr("Error: %1 does not verify against %2: %3")
                              .arg(QFileInfo(package).fileName(), rootName, reason));
    }
    const bool allVerified = verified == input.packages.size();
    emit addOutput(tr("Signatures verified: %1 of %2 packages.")
                       .arg(verified)
                       .arg(input.packages.size()),
                   allVerified ? OutputFormat::NormalMessage : OutputFormat::ErrorMessage);
    return allVerified;
}

void SignStep::reportVerifyError(const QString &error)
{
    emit addOutput(error, OutputFormat::ErrorMessage);
    emit addTask(DeploymentTask(Task::Error, error));
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
    // Each step sets its tool when it is made.
    QTC_ASSERT(m_signTool, return Group{onGroupSetup([] { return SetupResult::StopWithError; })});
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
        },
        [this] { return m_failureStopsDeploy; });
}

} // namespace Tamarek::Internal
