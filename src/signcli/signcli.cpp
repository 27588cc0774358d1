// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signcli.h"

#include "certificatereader.h"
#include "commands.h"
#include "customertamarek.h"
#include "pathutils.h"
#include "requestconfig.h"
#include "rpmsignexternal.h"
#include "runreason.h"
#include "signaturedump.h"
#include "signaturereport.h"
#include "tamarekconstants.h"
#include "tamarektr.h"
#include "toolrunner.h"

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace Utils;

namespace Tamarek::Internal {

// The deploy step's texts, in its own words and translations.
static QString stepText(const char *text)
{
    return QCoreApplication::translate("Tamarek::Internal::RpmsignExternalStep", text);
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
    , m_sources(options)
{}

SignCli::~SignCli()
{
    SignTool::setPassphrasePrompt({});
    setEcho({});
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

    setEcho([this](const QString &line, bool) {
        if (m_showToolOutput || !line.startsWith("[I]"))
            sayError(line);
    });
    SignTool::setPassphrasePrompt(
        [this](const QString &prompt, int timesAsked, bool *ok, bool *remember) {
            if (remember)
                *remember = false;
            return m_sources.answer(prompt, timesAsked, ok);
        });

    const bool rpmsign = m_targetTools.contains(Constants::RPMSIGN_EXTERNAL_TOOL);
    switch (m_options.command) {
    case CliCommand::Sign:
        if (rpmsign) {
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
    return ExitDone;
}

int SignCli::toolMissing(const QString &what)
{
    sayError(Tr::tr("The build target \"%1\" has none of the tools this needs: %2.")
                 .arg(m_options.target, what));
    return ExitNoEngineTargetOrTool;
}

int SignCli::failed(const ProcessResult &result, const QString &what)
{
    if (!m_sources.failure().isEmpty()) {
        sayError(m_sources.failure());
        return ExitPassphrase;
    }
    if (m_sources.hasAnswered()
        && saysWrongPassphrase(result.standardOutput + result.standardError)) {
        sayError(Tr::tr("wrong passphrase for %1").arg(m_sources.lastAnsweredKey()));
        return ExitPassphrase;
    }
    sayError(what.arg(failureReason(result)));
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

    say(stepText("Signing RPM package..."));
    const ProcessResult result = m_tool->sign(m_options.target, m_options.packages, keys);
    if (!result.isSuccess()) {
        return failed(result,
                      QCoreApplication::translate("Tamarek::Internal::SignStep",
                                                  "Error: Packages were not signed: %1"));
    }
    say(stepText("Package sign completed successfully."));

    // As the deploy step does: the signatures read back, a note where no
    // client signature is.
    if (!m_targetTools.contains(Constants::RPMSIGN_EXTERNAL_TOOL)
        && !m_targetTools.contains(Constants::VYXCERT_TOOL)) {
        return ExitDone;
    }
    m_showToolOutput = false;
    const ProcessResult dumped = m_tool->dump(m_options.target, m_options.packages);
    m_showToolOutput = true;
    if (!dumped.isSuccess()) {
        sayError(stepText("Failed to verify signature dump"));
        return m_options.json ? failed(dumped, Tr::tr("The signatures can't be read: %1"))
                              : ExitDone;
    }
    const QString dumpText = QString::fromUtf8(dumped.standardOutput);
    const QList<PackageReport> reports = packageReports(m_options.packages, dumpText);
    for (const PackageReport &report : reports) {
        const QString name = QFileInfo(report.path).fileName();
        const QString url = QLatin1String(Constants::PACKAGE_SIGNING_GUIDE_URL);
        switch (signatureNote(report.dumpText)) {
        case SignatureNote::None:
            break;
        case SignatureNote::DeveloperOnly:
            sayError(stepText("Note: Packages %1 signed with developer key, use is possible only "
                              "for development purposes. Read more: %2")
                         .arg(name, url));
            break;
        case SignatureNote::NotSigned:
            sayError(stepText("Note: Packages %1 is not signed. Deployment to the device is not "
                              "possible. Read more: %2")
                         .arg(name, url));
            break;
        }
    }
    if (m_options.json)
        printReport(reportJson(reports));
    return ExitDone;
}

int SignCli::verify()
{
    SignKeys keys;
    keys.caCertificate = m_options.caCertificate;
    QList<PackageReport> reports;
    if (m_options.json) {
        m_showToolOutput = false;
        const ProcessResult dumped = m_tool->dump(m_options.target, m_options.packages);
        m_showToolOutput = true;
        if (!dumped.isSuccess())
            return failed(dumped, Tr::tr("The signatures can't be read: %1"));
        reports = packageReports(m_options.packages, QString::fromUtf8(dumped.standardOutput));
    } else {
        for (const QString &package : std::as_const(m_options.packages))
            reports << PackageReport{package, {}, {}, {}, {}};
    }
    bool allVerified = true;
    // One run each: the reason belongs to its package.
    for (PackageReport &report : reports) {
        const ProcessResult result = m_tool->verify(m_options.target, {report.path}, keys);
        if (!result.isSuccess()
            && (!m_sources.failure().isEmpty() || !result.startError.isEmpty())) {
            return failed(result, Tr::tr("Error: %1"));
        }
        report.verified = result.isSuccess();
        report.reason = failureReason(result);
        allVerified = allVerified && result.isSuccess();
        if (result.isSuccess())
            say(Tr::tr("%1: verified").arg(report.path));
        else
            say(Tr::tr("%1: not verified: %2").arg(report.path, report.reason));
    }
    if (m_options.json)
        printReport(reportJson(reports));
    return allVerified ? ExitDone : ExitToolFailed;
}

int SignCli::dump()
{
    m_showToolOutput = false;
    const ProcessResult result = m_tool->dump(m_options.target, m_options.packages);
    m_showToolOutput = true;
    if (!result.isSuccess()) {
        sayError(QString::fromUtf8(result.standardOutput).trimmed());
        return failed(result, Tr::tr("The signatures can't be read: %1"));
    }
    if (m_options.json) {
        printReport(reportJson(
            packageReports(m_options.packages, QString::fromUtf8(result.standardOutput))));
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
        return failed(result, Tr::tr("The signatures were not removed: %1"));
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
        return failed(result, Tr::tr("The request was not made: %1"));
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
         certificateSummary(check, QDateTime::currentDateTime(), m_options.warnDays)) {
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
