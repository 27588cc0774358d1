// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signcli.h"

#include "certificatereader.h"
#include "commands.h"
#include "customertamarek.h"
#include "packagereport.h"
#include "pathutils.h"
#include "requestconfig.h"
#include "rpmsignexternal.h"
#include "runreason.h"
#include "signaturedump.h"
#include "tamarekconstants.h"
#include "tamarektr.h"
#include "toolrunner.h"

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <utils/qtcassert.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace Utils;

namespace Tamarek::Internal {

// The deploy steps' texts, in their own words and translations.
static QString stepText(bool rpmsign, const char *text)
{
    return QCoreApplication::translate(rpmsign ? "Tamarek::Internal::RpmsignExternalStep"
                                               : "Tamarek::Internal::CustomerSignStep",
                                       text);
}

static QList<PackageReport> reportsOf(const QStringList &packages)
{
    QList<PackageReport> reports;
    for (const QString &package : packages)
        reports << PackageReport{package};
    return reports;
}

static void write(std::FILE *stream, const QString &line)
{
    const QByteArray bytes = line.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

static QString absolute(const QString &path)
{
    if (path.isEmpty())
        return {};
    return cleanPath(QFileInfo(path).absoluteFilePath());
}

SignCli::SignCli(const CliOptions &options)
    : m_options(options)
{}

SignCli::~SignCli()
{
    SignTool::setPassphrasePrompt({});
    setEcho({});
    setRunTimeLimit(0);
}

void SignCli::say(const QString &line) const
{
    write(m_options.json ? stderr : stdout, line);
}

void SignCli::sayError(const QString &line) const
{
    write(stderr, line);
}

void SignCli::printReport(const QByteArray &json) const
{
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    std::fflush(stdout);
}

int SignCli::run()
{
    if (m_options.command == CliCommand::Help) {
        std::fputs(qPrintable(helpText()), stdout);
        return ExitDone;
    }
    if (const int status = prepare(); status != ExitDone)
        return status;
    // Every command but the health check runs a tool on packages it was given.
    QTC_ASSERT(m_options.command == CliCommand::Health || m_tool, return ExitToolFailed);
    QTC_ASSERT(!takesPackages(m_options.command) || !m_options.packages.isEmpty(),
               return ExitUsage);
    switch (m_options.command) {
    case CliCommand::Sign:
        return sign();
    case CliCommand::Verify:
        return verify();
    case CliCommand::Dump:
        return dump();
    case CliCommand::Remove:
        return remove();
    case CliCommand::Request:
        return request();
    case CliCommand::Health:
        return health();
    case CliCommand::Help:
        break;
    }
    return ExitDone;
}

int SignCli::prepare()
{
    if (!m_options.settingsFile.isEmpty()) {
        const expected_str<SettingsDefaults> defaults = readSettingsDefaults(
            m_options.settingsFile);
        if (!defaults) {
            sayError(defaults.error());
            return ExitUsage;
        }
        applySettingsDefaults(m_options, *defaults);
    }
    if (const QString missing = missingArguments(m_options); !missing.isEmpty()) {
        sayError(missing);
        sayError(Tr::tr("Try \"tamarek-sign --help\"."));
        return ExitUsage;
    }
    // Paths as the user's shell means them: the tools run in the workspace.
    for (QString *path : {&m_options.key,
                          &m_options.certificate,
                          &m_options.clientKey,
                          &m_options.clientCertificate,
                          &m_options.binariesKey,
                          &m_options.caCertificate,
                          &m_options.requestPath}) {
        *path = absolute(*path);
    }
    for (QString &package : m_options.packages)
        package = absolute(package);
    // Knowing the keys as the tools will name them in their prompts.
    m_sources = std::make_unique<PassphraseSources>(m_options);

    if (!m_options.kitTool.isEmpty()) {
        const FilePath kitTool = FilePath::fromUserInput(absolute(m_options.kitTool));
        Commands::setKitTool([kitTool] { return kitTool; });
    }
    const FilePath kitTool = Commands::kitTool();
    if (kitTool.isEmpty() || !kitTool.isExecutableFile()) {
        sayError(Tr::tr("The kit's command-line tool \"%1\" can't be run: give --kit-tool.")
                     .arg(kitTool.toUserOutput()));
        return ExitNoEngineTargetOrTool;
    }

    const QList<Nork::BuildEngine *> engines = Nork::Sdk::buildEngines();
    for (Nork::BuildEngine *engine : engines) {
        if (m_options.engine.isEmpty() || engine->name() == m_options.engine) {
            m_engine = engine;
            break;
        }
    }
    if (!m_engine) {
        sayError(m_options.engine.isEmpty()
                     ? Tr::tr("The kit has no build engine.")
                     : Tr::tr("The kit has no build engine named \"%1\".").arg(m_options.engine));
        return ExitNoEngineTargetOrTool;
    }
    const Nork::BuildTargetData target = m_engine->buildTarget(m_options.target);
    if (!target.isValid()) {
        sayError(Tr::tr("The build engine \"%1\" has no build target named \"%2\".")
                     .arg(m_engine->name(), m_options.target));
        return ExitNoEngineTargetOrTool;
    }
    m_targetTools = target.signingTools;

    // A build target sees nothing of the host but the engine's shared folders.
    const QList<FilePath> shared{m_engine->sharedSrcPath(), m_engine->sharedHomePath()};
    QStringList paths = m_options.packages;
    for (const QString &path : {m_options.key,
                                m_options.certificate,
                                m_options.clientKey,
                                m_options.clientCertificate,
                                m_options.binariesKey,
                                m_options.caCertificate,
                                m_options.requestPath}) {
        if (!path.isEmpty())
            paths << path;
    }
    for (const QString &path : std::as_const(paths)) {
        if (!areInsideFolders({path}, shared)) {
            sayError(path);
            sayError(outsideFoldersMessage(InsideWhat::Path, shared));
            return ExitUsage;
        }
    }

    setRunTimeLimit(m_options.timeLimitSeconds * 1000);
    setEcho([this](const QString &line, bool) {
        if (m_showToolOutput || !line.startsWith("[I]"))
            sayError(line);
    });
    SignTool::setPassphrasePrompt(
        [this](const QString &prompt, int timesAsked, bool *ok, bool *remember) {
            if (remember)
                *remember = false;
            return m_sources->answer(prompt, timesAsked, ok);
        });

    const bool rpmsign = m_targetTools.contains(Constants::RPMSIGN_EXTERNAL_TOOL);
    switch (m_options.command) {
    case CliCommand::Sign:
        if (rpmsign) {
            if (!m_options.clientCertificate.isEmpty() && m_options.clientKey.isEmpty()) {
                sayError(Tr::tr("rpmsign-external signs in %1 with a client pair: give "
                                "--client-key.")
                             .arg(m_options.target));
                return ExitUsage;
            }
            m_tool = std::make_unique<RpmsignExternal>();
        } else if (m_targetTools.contains(Constants::CUSTOMER_SIGN_TOOL)) {
            if (m_options.binariesKey.isEmpty()) {
                sayError(Tr::tr("customer-sign signs in %1: give --binaries-key.")
                             .arg(m_options.target));
                return ExitUsage;
            }
            m_tool = std::make_unique<CustomerTamarek>();
        } else {
            return toolMissing("rpmsign-external, customer-sign");
        }
        break;
    case CliCommand::Verify:
    case CliCommand::Dump:
    case CliCommand::Remove:
        if (rpmsign)
            m_tool = std::make_unique<RpmsignExternal>();
        else if (m_targetTools.contains(Constants::VYXCERT_TOOL))
            m_tool = std::make_unique<CustomerTamarek>();
        else
            return toolMissing("rpmsign-external, vyxcert-cli");
        break;
    case CliCommand::Request:
        if (!rpmsign)
            return toolMissing("rpmsign-external");
        m_tool = std::make_unique<RpmsignExternal>();
        break;
    case CliCommand::Health:
        if (!m_targetTools.contains(Constants::OPENSSL_TOOL))
            return toolMissing("openssl");
        break;
    case CliCommand::Help:
        break;
    }
    if (m_tool) {
        QObject::connect(m_tool.get(),
                         &SignTool::addError,
                         m_tool.get(),
                         [this](const QString &line) { m_lastErrorLine = line; });
    }
    return ExitDone;
}

int SignCli::toolMissing(const QString &what)
{
    sayError(Tr::tr("The build target \"%1\" has none of the tools this needs: %2.")
                 .arg(m_options.target, what));
    return ExitNoEngineTargetOrTool;
}

int SignCli::failed(const ProcessResult &result, const QString &message)
{
    if (!m_sources->failure().isEmpty()) {
        sayError(m_sources->failure());
        return ExitPassphrase;
    }
    if (m_sources->hasAnswered()
        && saysWrongPassphrase(result.standardOutput + result.standardError)) {
        sayError(Tr::tr("wrong passphrase for %1").arg(m_sources->lastAnsweredKey()));
        return ExitPassphrase;
    }
    sayError(message);
    return result.startError.isEmpty() ? ExitToolFailed : ExitNoEngineTargetOrTool;
}

int SignCli::sign()
{
    SignKeys keys;
    keys.developerKey = m_options.key;
    keys.developerCertificate = m_options.certificate;
    keys.clientKey = m_options.clientKey;
    keys.clientCertificate = m_options.clientCertificate;
    keys.binaryKey = m_options.binariesKey;

    const bool rpmsign = m_targetTools.contains(Constants::RPMSIGN_EXTERNAL_TOOL);
    say(stepText(rpmsign, "Signing RPM package..."));
    const ProcessResult result = m_tool->sign(m_options.target, m_options.packages, keys);
    if (!result.isSuccess())
        return failed(result, signingFailureMessage(result));
    say(stepText(rpmsign, "Package sign completed successfully."));

    // The rpmsign-external step reads the signatures back for its notes, which
    // a package with a client signature does not get: after signing with a
    // client pair only the report needs them, with either tool.
    const bool clientSigned = !keys.clientKey.isEmpty() && !keys.clientCertificate.isEmpty();
    const bool notes = rpmsign && !clientSigned;
    const bool canDump = rpmsign || m_targetTools.contains(Constants::VYXCERT_TOOL);
    if (!notes && !(m_options.json && canDump))
        return ExitDone;
    const ProcessResult dumped = quietly([&] {
        return m_tool->dump(m_options.target, m_options.packages);
    });
    if (!dumped.isSuccess()) {
        sayError(stepText(true, "Failed to verify signature dump"));
        return m_options.json ? failed(dumped, failureReason(dumped)) : ExitDone;
    }
    const QString dumpText = QString::fromUtf8(dumped.standardOutput);
    if (notes) {
        for (const PackageDump &packageDump : splitSignatureDump(dumpText, m_options.packages))
            sayNote(packageDump);
    }
    if (m_options.json) {
        QList<PackageReport> reports = reportsOf(m_options.packages);
        addDumps(reports, dumpText);
        printReport(reportJson(reports));
    }
    return ExitDone;
}

void SignCli::sayNote(const PackageDump &packageDump) const
{
    const QString url = QLatin1String(Constants::PACKAGE_SIGNING_GUIDE_URL);
    switch (signatureNote(packageDump.dumpText)) {
    case SignatureNote::None:
        break;
    case SignatureNote::DeveloperOnly:
        sayError(stepText(true,
                          "Note: Packages %1 signed with developer key, use is possible only for "
                          "development purposes. Read more: %2")
                     .arg(packageDump.packageName, url));
        break;
    case SignatureNote::NotSigned:
        sayError(stepText(true,
                          "Note: Packages %1 is not signed. Deployment to the device is not "
                          "possible. Read more: %2")
                     .arg(packageDump.packageName, url));
        break;
    }
}

ProcessResult SignCli::quietly(const std::function<ProcessResult()> &run)
{
    m_showToolOutput = false;
    const ProcessResult result = run();
    m_showToolOutput = true;
    return result;
}

// One run for all packages, as the dialog's: a reason for each that failed.
int SignCli::verify()
{
    SignKeys keys;
    keys.caCertificate = m_options.caCertificate;
    QList<PackageReport> reports = reportsOf(m_options.packages);
    if (m_options.json) {
        const ProcessResult dumped = quietly([&] {
            return m_tool->dump(m_options.target, m_options.packages);
        });
        if (!dumped.isSuccess() && cutShort(dumped))
            return failed(dumped, failureReason(dumped));
        addDumps(reports, QString::fromUtf8(dumped.standardOutput));
    }
    const ProcessResult result = m_tool->verify(m_options.target, m_options.packages, keys);
    if (!m_sources->failure().isEmpty() || !result.startError.isEmpty())
        return failed(result, failureReason(result));
    addVerification(reports, result, m_options.caCertificate);
    bool allVerified = true;
    for (const PackageReport &report : std::as_const(reports)) {
        say(QString("%1: %2").arg(QDir::toNativeSeparators(report.path), verificationText(report)));
        allVerified = allVerified && report.verified;
    }
    if (m_options.json)
        printReport(reportJson(reports));
    return allVerified ? ExitDone : ExitToolFailed;
}

int SignCli::dump()
{
    const ProcessResult result = quietly([&] {
        return m_tool->dump(m_options.target, m_options.packages);
    });
    if (!result.isSuccess()) {
        sayError(QString::fromUtf8(result.standardOutput).trimmed());
        return failed(result, Tr::tr("The signatures can't be read: %1").arg(failureReason(result)));
    }
    if (m_options.json) {
        QList<PackageReport> reports = reportsOf(m_options.packages);
        addDumps(reports, QString::fromUtf8(result.standardOutput));
        printReport(reportJson(reports));
    } else {
        const QByteArray &listing = result.standardOutput;
        std::fwrite(listing.constData(), 1, size_t(listing.size()), stdout);
        std::fflush(stdout);
    }
    return ExitDone;
}

int SignCli::remove()
{
    const ProcessResult result = m_tool->removeSignature(m_options.target, m_options.packages);
    if (!result.isSuccess())
        return failed(result,
                      Tr::tr("The signatures were not removed: %1").arg(failureReason(result)));
    say(Tr::tr("The signatures were removed."));
    return ExitDone;
}

int SignCli::request()
{
    QString error;
    if (!checkCompanyName(m_options.company, &error)) {
        sayError(error);
        return ExitUsage;
    }
    RequestParameters parameters;
    parameters.companyName = m_options.company;
    parameters.requestPath = FilePath::fromUserInput(m_options.requestPath);
    parameters.encrypt = m_options.encrypt;
    parameters.keyPath = FilePath::fromUserInput(m_options.key);
    parameters.algorithm = m_options.algorithm;
    const ProcessResult result = m_tool->generateRequest(m_options.target, parameters);
    if (!result.isSuccess())
        return failed(result,
                      Tr::tr("The request was not made: %1")
                          .arg(requestFailureReason(result, m_lastErrorLine)));
    say(Tr::tr("The certificate signing request was written to %1.")
            .arg(QDir::toNativeSeparators(m_options.requestPath)));
    return ExitDone;
}

int SignCli::health()
{
    const CertificateCheck check = readCertificate(m_options.target,
                                                   m_options.certificate,
                                                   m_options.key);
    bool healthy = true;
    for (const SummaryLine &line :
         certificateSummary(check,
                            QDateTime::currentDateTime(),
                            CertificateRole::SigningPair,
                            m_options.warnDays)) {
        say(line.text);
        healthy = healthy && !line.isProblem;
    }
    if (!healthy) {
        sayError(Tr::tr("The certificate %1 is not fit for signing.")
                     .arg(QDir::toNativeSeparators(m_options.certificate)));
    }
    return healthy ? ExitDone : ExitToolFailed;
}

} // namespace Tamarek::Internal
