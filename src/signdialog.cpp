// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signdialog.h"
#include "ui_signdialog.h"

#include "buildengineinfo.h"
#include "certificatehealthlabel.h"
#include "commands.h"
#include "customertamarek.h"
#include "keychooser.h"
#include "packageoutcomes.h"
#include "packagereportview.h"
#include "pathutils.h"
#include "regularkeys.h"
#include "rpmsignexternal.h"
#include "runreason.h"
#include "signaturedump.h"
#include "signatureviews.h"
#include "tamarekconstants.h"
#include "waitalive.h"

#include <coreplugin/fileutils.h>

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <utils/fancylineedit.h>
#include <utils/fileutils.h>
#include <utils/pathchooser.h>
#include <utils/qtcassert.h>
#include <utils/utilsicons.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>

#include <algorithm>

using namespace Utils;

namespace Tamarek::Internal {

const char GENERATION_ALGORITHM_KEY[] = "OrvRpmSign.History.GenerationAlgorythm";
const char GENERATION_ENCRYPT_KEY[] = "OrvRpmSign.History.GenerationEncrypt";
const char TARGET_NAME_KEY[] = "OrvRpmSign.History.TargetName";

const int REQUEST_TAB = 2;

SignDialog::SignDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new ::Ui::SignDialog)
{
    ui->setupUi(this);
    ui->clientSignatureTextBrowser->hide();
    // Reads as a label: no white box, and none at all until there is a warning.
    QPalette statusPalette = ui->opensslStatusLabel->palette();
    statusPalette.setColor(QPalette::Base, Qt::transparent);
    ui->opensslStatusLabel->setPalette(statusPalette);
    ui->opensslStatusLabel->hide();

    setUpChoosers();

    // Not from inside the change: a run there would keep the chooser locked
    // against a path that the browse dialog sets meanwhile. Typing coalesces.
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(0);
    connect(m_refreshTimer, &QTimer::timeout, this, &SignDialog::onRpmPathChanged);
    connect(ui->rpmPathChooser,
            &PathChooser::rawPathChanged,
            m_refreshTimer,
            qOverload<>(&QTimer::start));
    connect(ui->addSignaturePushButton, &QPushButton::pressed, this, &SignDialog::addSignature);
    connect(ui->removeSignaturePushButton,
            &QPushButton::pressed,
            this,
            &SignDialog::deleteSignature);
    connect(ui->verifySignaturePushButton, &QPushButton::pressed, this, [this] {
        if (m_runs.isRunning())
            return;
        if (waitAlive(this, [this] { verifyPackage(); }))
            runPending();
    });
    connect(ui->dumpPushButton, &QPushButton::pressed, this, [this] {
        if (m_runs.isRunning())
            return;
        if (waitAlive(this, [this] { dumpPackage(); }))
            runPending();
    });
    connect(ui->genReqButton, &QPushButton::pressed, this, &SignDialog::createRequest);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setSizeGripEnabled(false);
    m_stopButton = new QPushButton(tr("Stop"), m_statusBar);
    m_stopButton->setAutoDefault(false);
    m_stopButton->setEnabled(false);
    m_stopButton->setToolTip(tr("Stops the tool that is running (Esc)"));
    connect(m_stopButton, &QPushButton::clicked, this, &SignDialog::stopRun);
    m_statusBar->addPermanentWidget(m_stopButton);
    ui->statusBarLayout->addWidget(m_statusBar);

    const QList<Nork::BuildEngine *> engines = Nork::Sdk::buildEngines();
    if (!engines.isEmpty())
        m_workspacePath = engines.first()->sharedSrcPath();

    m_buildEngineInfo = new BuildEngineInfo(this);
    // One of the dialog's runs: Stop and closing the window end it, and no
    // button starts another meanwhile.
    m_buildEngineInfo->setRunner([this](const QStringList &command) {
        return run(nullptr, [this, &command] { return runProcess(stoppableHandler(), command); });
    });
    m_statusBar->showMessage(tr("Updating targets..."));
    connect(
        m_buildEngineInfo,
        &BuildEngineInfo::targetsChanged,
        m_buildEngineInfo,
        [this](const QStringList &targets) { updateTargetList(targets); },
        Qt::DirectConnection);
    connect(
        m_buildEngineInfo,
        &BuildEngineInfo::targetsUnavailable,
        m_buildEngineInfo,
        [this](const QString &reason) { m_statusBar->showMessage(reason); },
        Qt::DirectConnection);

    m_actionButtons = {ui->addSignaturePushButton,
                       ui->removeSignaturePushButton,
                       ui->dumpPushButton,
                       ui->verifySignaturePushButton,
                       ui->genReqButton};

    ui->generationKeyAlgoComboBox->addItems({"RSA (2048)", "GOST R 34.10-2012 (256)"});
    const QSettings settings;
    ui->generationKeyAlgoComboBox->setCurrentIndex(
        settings.value(GENERATION_ALGORITHM_KEY, 0).toInt());
    ui->generationKeyEncryptCheckBox->setChecked(
        settings.value(GENERATION_ENCRYPT_KEY, true).toBool());

    setUpRegularKeysLabel();
    setUpCertificateHealth();
    setUpSignatureViews();
    setUpOutcomes();
    setUpTextLabels();
    setUpAccessibility();

    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &SignDialog::onTabChanged);
}

SignDialog::~SignDialog()
{
    // A run still in progress (the dialog deleted from inside it) must end.
    stopRun();
    QSettings settings;
    settings.setValue(GENERATION_ALGORITHM_KEY, ui->generationKeyAlgoComboBox->currentIndex());
    settings.setValue(GENERATION_ENCRYPT_KEY, ui->generationKeyEncryptCheckBox->isChecked());
    settings.setValue(TARGET_NAME_KEY, m_currentTarget.name);
    delete ui;
}

void SignDialog::reject()
{
    stopRun();
    QDialog::reject();
}

void SignDialog::stopRuns()
{
    stopRun();
}

void SignDialog::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        m_closed = true;
}

// What was shown belongs to the package as it was when the window closed.
void SignDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Only a window closed before is opened anew: the window system's own
    // events (a window restored) and a grab of a shown window are none.
    if (event->spontaneous() || !std::exchange(m_closed, false))
        return;
    clearSignOutcome();
    clearOutcome(ui->generateLabel);
    if (m_runs.isRunning())
        return;
    if (!m_targetsArrived) {
        m_statusBar->showMessage(tr("Updating targets..."));
        QTimer::singleShot(0, m_buildEngineInfo, &BuildEngineInfo::updateTargets);
        return;
    }
    m_refreshTimer->start();
}

// The IDE's "Return to Editor" takes Escape as a shortcut: claimed here, it
// reaches the dialog (as in the IDE's own dialogs).
bool SignDialog::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto keyEvent = static_cast<QKeyEvent *>(event);
        if (keyEvent->key() == Qt::Key_Escape && keyEvent->modifiers() == Qt::NoModifier) {
            keyEvent->accept();
            return true;
        }
    }
    return QDialog::event(event);
}

void SignDialog::keyPressEvent(QKeyEvent *event)
{
    // Escape stops a run, and only once none is left closes the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier
        && m_runs.isRunning()) {
        stopRun();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SignDialog::setUpChoosers()
{
    const QString pemTitle = tr("Select Privacy-Enhanced Mail container");
    const QString pemFilter = tr("Privacy-Enhanced Mail container (*.pem)");
    const QString keyPlaceholder = tr("Select key file (*.pem)");
    const QString certificatePlaceholder = tr("Select certificate (*.pem)");
    struct ChooserRow
    {
        PathChooser *chooser;
        QString placeholder;
        QString title;
        QString filter;
        const char *historyKey;
        PathChooser::Kind kind;
        bool mustExist;
    };
    // The key and certificate choosers share the PEM browse dialog; only the
    // request tab's two may name a file still to be written.
    const auto pem = [&](PathChooser *chooser,
                         const QString &placeholder,
                         const char *historyKey,
                         PathChooser::Kind kind = PathChooser::File) {
        return ChooserRow{
            chooser, placeholder, pemTitle, pemFilter, historyKey, kind, kind == PathChooser::File};
    };
    const QList<ChooserRow> rows{
        {ui->rpmPathChooser,
         tr("Select RPM package"),
         tr("Select RPM package"),
         tr("RPM package (*.rpm)"),
         "OrvRpmSign.Data.Completer.RpmPackage",
         PathChooser::File,
         true},
        pem(ui->binaryKeyPathChooser, keyPlaceholder, "OrvRpmSign.Data.Completer.BinaryKey"),
        pem(ui->developerKeyPathChooser, keyPlaceholder, "OrvRpmSign.Data.Completer.DeveloperKey"),
        pem(ui->developerCertificatePathChooser,
            certificatePlaceholder,
            "OrvRpmSign.Data.Completer.DeveloperCertificate"),
        pem(ui->clientKeyPathChooser, keyPlaceholder, "OrvRpmSign.Data.Completer.ClientKey"),
        pem(ui->clientCertificatePathChooser,
            certificatePlaceholder,
            "OrvRpmSign.Data.Completer.ClientCertificate"),
        pem(ui->caCertificatePathChooser,
            tr("Select root certificate"),
            "OrvRpmSign.Data.Completer.CaCertificate"),
        pem(ui->generatedKeyPathChooser,
            tr("Specify path to save key file or select existing key file"),
            "OrvRpmSign.Data.Completer.GeneratedKey",
            PathChooser::SaveFile),
        pem(ui->generatedReqPathChooser,
            tr("Specify path to save Certificate Signing Request file"),
            "OrvRpmSign.Data.Completer.GeneratedCsr",
            PathChooser::SaveFile),
    };
    for (const ChooserRow &row : rows) {
        const bool mustExist = row.mustExist;
        setUpKeyChooser(row.chooser,
                        {row.title,
                         row.kind,
                         row.filter,
                         row.placeholder,
                         keyFromString(QLatin1String(row.historyKey)),
                         true},
                        [this, mustExist, rpm = row.chooser == ui->rpmPathChooser](
                            const QString &path, QString *errorMessage) {
                            if (rpm)
                                return path.isEmpty() || validatePackages(path, errorMessage);
                            return path.isEmpty() || validatePath(path, mustExist, errorMessage);
                        });
        QAbstractButton *browse = row.chooser->buttonAtIndex(0);
        browse->setIcon(Icons::NEWFILE.icon());
        browse->setText({});
        // Return in a field would press it.
        if (auto button = qobject_cast<QPushButton *>(browse))
            button->setAutoDefault(false);
    }
    ui->rpmPathChooser->addButton(tr("Several..."), this, [this] { chooseSeveralPackages(); });
    QAbstractButton *several = ui->rpmPathChooser->buttonAtIndex(1);
    several->setAccessibleName(tr("Choose several packages"));
    several->setToolTip(tr("Choose several packages to sign, verify or dump at once"));
    if (auto button = qobject_cast<QPushButton *>(several))
        button->setAutoDefault(false);
}

// Several packages come as a list in the field, which the user can edit.
void SignDialog::chooseSeveralPackages()
{
    const FilePaths chosen = FileUtils::getOpenFilePaths(tr("Select RPM packages"),
                                                         m_workspacePath,
                                                         tr("RPM package (*.rpm)"));
    if (chosen.isEmpty())
        return;
    QStringList packages;
    for (const FilePath &path : chosen)
        packages << path.toUserOutput();
    ui->rpmPathChooser->setPath(packageFieldText(packages));
}

bool SignDialog::validatePackages(const QString &text, QString *errorMessage) const
{
    const QStringList packages = fieldPackagePaths(text);
    if (packages.isEmpty() && !text.contains(';')) {
        if (!validatePath(text, false, errorMessage))
            return false;
        *errorMessage = tr("The folder holds no RPM packages");
        return false;
    }
    for (const QString &package : packages) {
        if (!validatePath(package, true, errorMessage)) {
            if (packages.size() > 1)
                *errorMessage = QString("%1: %2").arg(package, *errorMessage);
            return false;
        }
    }
    return true;
}

QList<PathChooser *> SignDialog::choosers() const
{
    return {ui->rpmPathChooser,
            ui->binaryKeyPathChooser,
            ui->developerKeyPathChooser,
            ui->developerCertificatePathChooser,
            ui->clientKeyPathChooser,
            ui->clientCertificatePathChooser,
            ui->caCertificatePathChooser,
            ui->generatedKeyPathChooser,
            ui->generatedReqPathChooser};
}

// The names come from the form; the parts that the choosers make themselves
// get theirs here, and the focus goes through the window top to bottom.
void SignDialog::setUpAccessibility()
{
    for (PathChooser *chooser : choosers()) {
        chooser->lineEdit()->setAccessibleName(chooser->accessibleName());
        QAbstractButton *browse = chooser->buttonAtIndex(0);
        browse->setAccessibleName(PathChooser::browseButtonLabel());
        browse->setToolTip(PathChooser::browseButtonLabel());
    }
    for (QLabel *label : {ui->signStateLabel, ui->verifyIconLabel, ui->generateLabel}) {
        m_outcomeLabelNames.insert(label, label->accessibleName());
    }

    QList<QWidget *> order{ui->m_comboBoxBuildTargets};
    const auto addChooser = [&order](PathChooser *chooser) {
        order << chooser->lineEdit() << chooser->buttonAtIndex(0);
    };
    addChooser(ui->rpmPathChooser);
    order << ui->rpmPathChooser->buttonAtIndex(1);
    order << ui->removeSignaturePushButton << ui->tabWidget->findChild<QTabBar *>();
    for (PathChooser *chooser : {ui->binaryKeyPathChooser,
                                 ui->developerKeyPathChooser,
                                 ui->developerCertificatePathChooser,
                                 ui->clientKeyPathChooser,
                                 ui->clientCertificatePathChooser}) {
        addChooser(chooser);
    }
    order << ui->regularKeysLabel << ui->addSignaturePushButton;
    addChooser(ui->caCertificatePathChooser);
    order << ui->verifySignaturePushButton << ui->dumpPushButton
          << ui->developerSignatureTextBrowser << ui->clientSignatureTextBrowser
          << m_reportView->table() << m_reportView->saveButton();
    addChooser(ui->generatedKeyPathChooser);
    order << ui->generationKeyAlgoComboBox;
    addChooser(ui->generatedReqPathChooser);
    order << ui->generateCompanyNameLineEdit << ui->generationKeyEncryptCheckBox << ui->genReqButton
          << m_stopButton;
    m_focusChain.setOrder(order);
    // A status text, not a control: with no frame it would show no focus.
    ui->opensslStatusLabel->setFocusPolicy(Qt::NoFocus);
}

bool SignDialog::focusNextPrevChild(bool next)
{
    if (!m_focusChain.contains(focusWidget()))
        return QDialog::focusNextPrevChild(next);
    QWidget *candidate = m_focusChain.next(focusWidget(), next, this);
    if (!candidate)
        return false;
    candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    // Focused, a label shows nothing until its link is: one stop, the link.
    if (candidate == ui->regularKeysLabel) {
        QKeyEvent key(QEvent::KeyPress, next ? Qt::Key_Tab : Qt::Key_Backtab, Qt::NoModifier);
        QCoreApplication::sendEvent(candidate, &key);
    }
    return true;
}

// Beside each pair on the Sign tab, what its certificate says and whether the
// key belongs to it, and beside the CA on the Verify tab its subject and
// validity, read with the selected target's openssl.
void SignDialog::setUpCertificateHealth()
{
    m_developerCertificateHealth = new CertificateHealthLabel(this);
    m_developerCertificateHealth->setObjectName("developerCertificateHealthLabel");
    ui->formLayout->insertRow(3, QString(), m_developerCertificateHealth);
    m_clientCertificateHealth = new CertificateHealthLabel(this);
    m_clientCertificateHealth->setObjectName("clientCertificateHealthLabel");
    ui->formLayout->insertRow(6, QString(), m_clientCertificateHealth);
    m_caCertificateHealth = new CertificateHealthLabel(this);
    m_caCertificateHealth->setObjectName("caCertificateHealthLabel");
    m_caCertificateHealth->setRole(CertificateRole::TrustRoot);
    ui->formLayout_2->insertRow(1, QString(), m_caCertificateHealth);
    for (PathChooser *chooser : {ui->developerKeyPathChooser,
                                 ui->developerCertificatePathChooser,
                                 ui->clientKeyPathChooser,
                                 ui->clientCertificatePathChooser,
                                 ui->caCertificatePathChooser}) {
        connect(chooser, &PathChooser::textChanged, this, &SignDialog::updateCertificateHealth);
    }
    updateCertificateHealth();
}

// customer-sign's client certificate certifies the packages key: the client
// key is rpmsign-external's alone.
void SignDialog::updateCertificateHealth()
{
    const SignKeys keys = collectKeys();
    m_developerCertificateHealth->setPair(keys.developerCertificate, keys.developerKey);
    m_clientCertificateHealth->setPair(keys.clientCertificate,
                                       m_currentTarget.hasRpmsignExternal ? keys.clientKey
                                                                          : keys.developerKey);
    m_caCertificateHealth->setPair(keys.caCertificate);
}

// An outcome belongs to the package and the choice it was made for.
void SignDialog::setUpOutcomes()
{
    connect(ui->rpmPathChooser, &PathChooser::rawPathChanged, this, &SignDialog::clearSignOutcome);
    for (PathChooser *chooser : {ui->binaryKeyPathChooser,
                                 ui->developerKeyPathChooser,
                                 ui->developerCertificatePathChooser,
                                 ui->clientKeyPathChooser,
                                 ui->clientCertificatePathChooser}) {
        connect(chooser, &PathChooser::textChanged, this, &SignDialog::clearSignOutcome);
    }
    const auto clearGenerated = [this] { clearOutcome(ui->generateLabel); };
    for (PathChooser *chooser : {ui->generatedKeyPathChooser, ui->generatedReqPathChooser})
        connect(chooser, &PathChooser::textChanged, this, clearGenerated);
    connect(ui->generateCompanyNameLineEdit, &QLineEdit::textChanged, this, clearGenerated);
    connect(ui->generationKeyAlgoComboBox, &QComboBox::currentIndexChanged, this, clearGenerated);
    connect(ui->generationKeyEncryptCheckBox, &QCheckBox::toggled, this, clearGenerated);
}

// Texts of any length end in "..." within the width the user gave the
// window instead of widening it; the summaries share what there is.
void SignDialog::setUpTextLabels()
{
    for (QLabel *label : {static_cast<QLabel *>(ui->developerSignatureShortLabel),
                          static_cast<QLabel *>(ui->clientSignatureShortLabel),
                          static_cast<QLabel *>(ui->signStateReasonLabel)}) {
        QSizePolicy policy = label->sizePolicy();
        policy.setHorizontalStretch(1);
        label->setSizePolicy(policy);
    }
}

void SignDialog::setUpRegularKeysLabel()
{
    m_regularKeysPath = regularKeysPath(m_workspacePath);
    ui->regularKeysLabel->setText(
        ui->regularKeysLabel->text().replace("%folder_link%",
                                             QDir::toNativeSeparators(m_regularKeysPath)));
    const FilePath keyFile = FilePath::fromUserInput(m_regularKeysPath)
                                 .pathAppended(QLatin1String(Constants::REGULAR_KEY_FILE));
    connect(ui->regularKeysLabel, &QLabel::linkActivated, this, [keyFile] {
        Core::FileUtils::showInGraphicalShell(keyFile);
    });
}

bool SignDialog::validatePath(const QString &path, bool mustExist, QString *errorMessage) const
{
    if (!areInsideFolders({path}, {m_workspacePath})) {
        *errorMessage = outsideFoldersMessage(InsideWhat::Path, {m_workspacePath});
        return false;
    }
    // A folder is no file to sign or read a key from.
    if (mustExist && !QFileInfo(path).isFile()) {
        *errorMessage = tr("File does not exist");
        return false;
    }
    return true;
}

void SignDialog::onTabChanged(int index)
{
    if (index != REQUEST_TAB || m_runs.deferWhileRunning(Deferred::OpensslCheck))
        return;
    if (waitAlive(this, [this] { checkOpenssl(); }))
        runPending();
}

// Targets: the tools each one has, and the tool a run on the chosen one uses.

void SignDialog::updateTargetList(const QStringList &targets)
{
    QTC_CHECK(!targets.isEmpty());
    QComboBox *combo = ui->m_comboBoxBuildTargets;
    combo->clear();
    combo->addItems(targets);
    const QString stored = QSettings().value(TARGET_NAME_KEY).toString();
    combo->setCurrentIndex(stored.isEmpty() ? 0 : std::max(0, int(targets.indexOf(stored))));

    // Before the first probe, so that a choice made while it runs is not lost.
    if (!m_targetsArrived) {
        m_targetsArrived = true;
        connect(combo, &QComboBox::currentTextChanged, this, &SignDialog::requestTargetChange);
        // Choosing the shown target again probes it when looking was stopped.
        connect(combo, &QComboBox::textActivated, this, &SignDialog::requestTargetChange);
    }
    m_statusBar->clearMessage();
    if (waitAlive(this, [this, combo] { onTargetChanged(combo->currentText()); }))
        runPending();
}

void SignDialog::requestTargetChange(const QString &name)
{
    if (m_runs.deferWhileRunning(Deferred::TargetChange))
        return;
    if (waitAlive(this, [this, &name] { onTargetChanged(name); }))
        runPending();
}

void SignDialog::onTargetChanged(const QString &name)
{
    if (name == m_currentTarget.name)
        return;
    if (!m_targetInfos.contains(name)) {
        const auto probed = waitAlive(this, [this, &name] { return probeTarget(name); });
        if (!probed)
            return;
        const std::optional<TargetInfo> &info = *probed;
        if (!info) {
            m_currentTarget = {};
            updateVisibility();
            m_signatures->clearDump();
            clearOutcome(ui->verifyIconLabel);
            ui->verifyLabel->clear();
            m_statusBar->showMessage(
                tr("Looking for the signing tools of \"%1\" was stopped. Choose the target "
                   "again to look anew.")
                    .arg(name));
            return;
        }
        QTC_CHECK(info->name == name);
        m_targetInfos.insert(name, *info);
    }
    m_currentTarget = m_targetInfos.value(name);
    m_developerCertificateHealth->setTarget(name);
    m_clientCertificateHealth->setTarget(name);
    m_caCertificateHealth->setTarget(name);
    updateCertificateHealth();
    clearSignOutcome();
    clearOutcome(ui->generateLabel);
    updateVisibility();
    for (PathChooser *chooser : choosers())
        chooser->triggerChanged();
    if (waitAlive(this, [this] { checkOpenssl(); }))
        refreshPackage();
}

void SignDialog::updateVisibility()
{
    const TargetControls controls = controlsFor(m_currentTarget);
    ui->formLayout->setRowVisible(ui->binaryKeyPathChooser, controls.binaryKey);
    ui->addSignaturePushButton->setVisible(controls.addSignature);
    ui->removeSignaturePushButton->setVisible(controls.packageButtons);
    ui->verifySignaturePushButton->setVisible(controls.packageButtons);
    ui->dumpPushButton->setVisible(controls.packageButtons);
    ui->tabWidget->setTabVisible(REQUEST_TAB, controls.requestTab);
}

std::optional<TargetInfo> SignDialog::probeTarget(const QString &target)
{
    TargetInfo info;
    info.name = target;
    std::optional<bool> found = probe(Commands::rpmsignVersionCommand(target));
    if (!found)
        return {};
    info.hasRpmsignExternal = *found;
    if (!info.hasRpmsignExternal) {
        if (!(found = probe(Commands::customerSignHelpCommand(target))))
            return {};
        info.hasCustomerSign = *found;
        if (!(found = probe(Commands::vyxcertHelpCommand(target))))
            return {};
        info.hasVyxcertCli = *found;
    }
    if (!probeOpenssl(info))
        return {};
    return info;
}

bool SignDialog::probeOpenssl(TargetInfo &info)
{
    const std::optional<bool> found = probe(Commands::opensslVersionCommand(info.name));
    if (found)
        info.hasOpenssl = *found;
    return found.has_value();
}

std::optional<bool> SignDialog::probe(const QStringList &command)
{
    const std::optional<ProcessResult> result = run(nullptr, [this, &command] {
        return runProcess(stoppableHandler(), command);
    });
    if (!result || result->stopped)
        return {};
    return result->isSuccess();
}

// The probes' output is read but not shown; the handler only tells a stop.
OutputHandler SignDialog::stoppableHandler()
{
    const quint64 run = m_runs.startOwnRun();
    return OutputHandler(ifAlive(
        this,
        [this, run](const QByteArray &, const QByteArray &, QByteArray &) {
            return !m_runs.isOwnRunStopped(run);
        },
        false));
}

SignTool *SignDialog::currentTool()
{
    const QString name = m_currentTarget.name;
    if (SignTool *tool = m_tools.value(name))
        return tool;
    SignTool *tool = nullptr;
    if (m_currentTarget.hasRpmsignExternal)
        tool = new RpmsignExternal(this);
    else if (m_currentTarget.hasCustomerSign)
        tool = new CustomerTamarek(this);
    if (!tool) {
        echo("Error: unable to find signing tools for the selected target", true);
        return nullptr;
    }
    QTC_CHECK(!name.isEmpty());
    m_tools.insert(name, tool);
    return tool;
}

// The Sign tab.

SignKeys SignDialog::collectKeys() const
{
    SignKeys keys;
    keys.binaryKey = ui->binaryKeyPathChooser->filePath().toFSPathString();
    keys.clientKey = ui->clientKeyPathChooser->filePath().toFSPathString();
    keys.clientCertificate = ui->clientCertificatePathChooser->filePath().toFSPathString();
    keys.developerCertificate = ui->developerCertificatePathChooser->filePath().toFSPathString();
    keys.developerKey = ui->developerKeyPathChooser->filePath().toFSPathString();
    keys.caCertificate = ui->caCertificatePathChooser->filePath().toFSPathString();
    return keys;
}

QString SignDialog::packagePath() const
{
    return ui->rpmPathChooser->filePath().toFSPathString();
}

QStringList SignDialog::packagePaths() const
{
    const QString text = ui->rpmPathChooser->lineEdit()->text();
    return text.contains(';') ? fieldPackagePaths(text) : packagesOf(packagePath());
}

QString SignDialog::singlePackage() const
{
    const QStringList packages = packagePaths();
    return packages.size() == 1 ? packages.first() : QString();
}

QString SignDialog::targetName() const
{
    return ui->m_comboBoxBuildTargets->currentText();
}

// The tool for an operation on the package; none when no package is chosen,
// the target has no tool or a run is on.
SignTool *SignDialog::packageTool()
{
    if (m_runs.isRunning() || packagePaths().isEmpty())
        return nullptr;
    return currentTool();
}

void SignDialog::addSignature()
{
    SignTool *tool = packageTool();
    if (!tool)
        return;
    const QString target = targetName();
    const QStringList packages = packagePaths();
    const SignKeys keys = collectKeys();
    const std::optional<ProcessResult> result = run(tool, [&] {
        return tool->sign(target, packages, keys);
    });
    if (!result)
        return;
    const Outcome outcome = signingOutcome(*result);
    setOutcome(ui->signStateLabel, outcome);
    ui->signStateReasonLabel->setPlainLines(outcome.text);
    refreshThenPending();
}

void SignDialog::deleteSignature()
{
    SignTool *tool = packageTool();
    if (!tool)
        return;
    const QString target = targetName();
    const QStringList packages = packagePaths();
    if (!run(tool, [&] { return tool->removeSignature(target, packages); }))
        return;
    clearSignOutcome();
    refreshThenPending();
}

// The Verify tab: verified and dumped whenever the package or target changes.

void SignDialog::onRpmPathChanged()
{
    if (m_runs.deferWhileRunning(Deferred::Refresh))
        return;
    refreshThenPending();
}

void SignDialog::refreshThenPending()
{
    if (waitAlive(this, [this] { refreshPackage(); }))
        runPending();
}

void SignDialog::refreshPackage()
{
    m_runs.take(Deferred::Refresh);
    // A stale verify, or a dialog gone meanwhile, leaves the dump out.
    if (verifyPackage())
        dumpPackage();
}

// Gives false when the dialog went away or the path or target changed meanwhile.
// Several packages: one run of the tool for all of them, none while one of
// them is missing.
bool SignDialog::verifyPackage()
{
    ui->verifyLabel->clear();
    clearOutcome(ui->verifyIconLabel);
    const QStringList packages = packagePaths();
    m_signatures->setBatch(packages.size() > 1);
    if (packages.isEmpty() || !areFiles(packages)) {
        if (m_signatures->isBatch())
            m_signatures->showReports({});
        return true;
    }
    SignTool *tool = currentTool();
    const SignKeys keys = collectKeys();
    std::optional<ProcessResult> result;
    if (tool) {
        result = runOnPackages(tool, packages, [&](const QString &target) {
            return tool->verify(target, packages, keys);
        });
        if (!result)
            return false;
    }
    const Outcome outcome = verifyOutcome(result ? &*result : nullptr);
    ui->verifyLabel->setText(outcome.text);
    setOutcome(ui->verifyIconLabel, outcome);
    if (m_signatures->isBatch()) {
        QList<PackageReport> reports = reportsFor(packages, m_signatures->reports());
        if (result)
            addVerification(reports, *result, keys.caCertificate);
        m_signatures->showReports(reports);
    }
    return true;
}

void SignDialog::dumpPackage()
{
    const QStringList packages = packagePaths();
    m_signatures->setBatch(packages.size() > 1);
    // What was shown belongs to another path: an empty or missing one shows nothing.
    if (!m_signatures->isBatch())
        m_signatures->clearDump();
    if (packages.isEmpty() || !areFiles(packages))
        return;
    SignTool *tool = currentTool();
    std::optional<ProcessResult> result;
    if (tool) {
        result = runOnPackages(tool, packages, [&](const QString &target) {
            return tool->dump(target, packages);
        });
        if (!result)
            return;
    }
    if (!m_signatures->isBatch()) {
        m_signatures->showDump(dumpView(result ? &*result : nullptr));
        return;
    }
    QList<PackageReport> reports = reportsFor(packages, m_signatures->reports());
    if (result && !cutShort(*result))
        addDumps(reports, QString::fromUtf8(result->standardOutput));
    m_signatures->showReports(reports);
}

// Several packages show in a table instead of the two signature panes.
void SignDialog::setUpSignatureViews()
{
    QTC_CHECK(m_statusBar);
    m_reportView = new PackageReportView(this);
    m_reportView->setObjectName("packageReportView");
    m_reportView->hide();
    ui->formLayout_2->addRow(m_reportView);
    connect(m_reportView, &PackageReportView::statusMessage, m_statusBar, [this](const QString &m) {
        m_statusBar->showMessage(m);
    });
    m_signatures = std::make_unique<SignatureViews>(
        SignatureViews::Widgets{ui->developerSignatureTextBrowser,
                                ui->clientSignatureTextBrowser,
                                ui->developerSignatureShortLabel,
                                ui->clientSignatureShortLabel,
                                m_reportView});
}

// The Request tab.

void SignDialog::checkOpenssl()
{
    for (const QString &name : m_targetInfos.keys()) {
        TargetInfo info = m_targetInfos.value(name);
        const std::optional<bool> probed = waitAlive(this, [&] { return probeOpenssl(info); });
        if (!probed)
            return;
        if (!*probed)
            break;
        m_targetInfos.insert(name, info);
        if (name == m_currentTarget.name)
            m_currentTarget.hasOpenssl = info.hasOpenssl;
    }

    QTextBrowser *status = ui->opensslStatusLabel;
    status->clear();
    status->setVisible(!m_currentTarget.name.isEmpty() && !m_currentTarget.hasOpenssl);
    if (status->isHidden())
        return;
    status->setTextColor(QColor("red"));
    status->setText(
        tr("OpenSSL not found in target '%1', please install it.").arg(m_currentTarget.name));
    status->setTextColor(QApplication::palette().color(QPalette::Text));
    status->append(tr("Available in: Tools - Options - Neverra OS - Manage Build Targets"));
}

void SignDialog::createRequest()
{
    if (m_runs.isRunning())
        return;
    m_statusBar->clearMessage();
    if (!waitAlive(this, [this] { checkOpenssl(); }))
        return;

    const Outcome refused
        = requestFieldsOutcome(ui->generateCompanyNameLineEdit->text(),
                               ui->generatedKeyPathChooser->filePath().toUserOutput(),
                               ui->generatedReqPathChooser->filePath().toUserOutput());
    if (!refused.ok) {
        m_statusBar->showMessage(refused.text);
        setOutcome(ui->generateLabel, refused);
        runPending();
        return;
    }

    SignTool *tool = currentTool();
    if (!tool) {
        runPending();
        return;
    }
    RequestParameters request;
    request.companyName = ui->generateCompanyNameLineEdit->text();
    request.requestPath = ui->generatedReqPathChooser->filePath();
    request.encrypt = ui->generationKeyEncryptCheckBox->isChecked();
    request.keyPath = ui->generatedKeyPathChooser->filePath();
    request.algorithm = ui->generationKeyAlgoComboBox->currentIndex();
    const QString target = targetName();

    // A refusal of the tool's own comes only as an error line.
    QString lastError;
    const QMetaObject::Connection errors = connect(tool,
                                                   &SignTool::addError,
                                                   this,
                                                   [&lastError](const QString &error) {
                                                       lastError = error;
                                                   });
    const std::optional<ProcessResult> result = run(tool, [&] {
        return tool->generateRequest(target, request);
    });
    if (!result)
        return;
    disconnect(errors);
    const Outcome outcome = requestOutcome(*result, lastError);
    setOutcome(ui->generateLabel, outcome);
    if (!outcome.ok)
        m_statusBar->showMessage(outcome.text);
    runPending();
}

// Runs: one at a time and stoppable; what is asked for meanwhile comes after.

std::optional<ProcessResult> SignDialog::run(SignTool *tool,
                                             const std::function<ProcessResult()> &body)
{
    QTC_ASSERT(body, return {});
    QPointer<QWidget> focused = focusWidget();
    m_runs.begin(ifAlive(tool, [tool] { tool->stop(); }));
    m_stopButton->setEnabled(true);
    if (m_actionButtons.contains(qobject_cast<QPushButton *>(focused.data())))
        m_stopButton->setFocus();
    setBusy(true);

    const std::optional<ProcessResult> result = waitAlive(this, body);
    if (!result)
        return {};

    m_runs.end();
    setBusy(false);
    if (focused && focused->isEnabled() && focused->isVisible() && m_stopButton->hasFocus())
        focused->setFocus();
    m_stopButton->setEnabled(false);
    if (cutShort(*result))
        m_statusBar->showMessage(failureDescription(*result));
    return result;
}

// A result for what the window shows no more is dropped: the refresh then
// comes again, for the packages and target of now.
std::optional<ProcessResult> SignDialog::runOnPackages(SignTool *tool,
                                                       const QStringList &packages,
                                                       const PackageRun &body)
{
    QTC_ASSERT(tool && body && !packages.isEmpty(), return {});
    const QString target = targetName();
    std::optional<ProcessResult> result = run(tool, [&] { return body(target); });
    if (result && (packages != packagePaths() || target != targetName())) {
        m_runs.defer(Deferred::Refresh);
        return {};
    }
    return result;
}

void SignDialog::stopRun()
{
    m_runs.stop();
}

// Loops: a request can come in while a pending one runs.
void SignDialog::runPending()
{
    while (!m_runs.isRunning()) {
        bool alive = true;
        if (m_runs.take(Deferred::TargetChange))
            alive = waitAlive(this, [this] { onTargetChanged(targetName()); });
        else if (m_runs.isDeferred(Deferred::Refresh)) // refreshPackage takes it
            alive = waitAlive(this, [this] { refreshPackage(); });
        else if (m_runs.take(Deferred::OpensslCheck))
            alive = waitAlive(this, [this] { checkOpenssl(); });
        else
            break;
        if (!alive)
            return;
    }
    if (!m_runs.isRunning())
        emit runsFinished();
}

void SignDialog::setBusy(bool busy)
{
    for (QPushButton *button : std::as_const(m_actionButtons))
        button->setEnabled(!busy);
}

void SignDialog::setOutcome(QLabel *label, const Outcome &outcome)
{
    QTC_ASSERT(label, return);
    label->setPixmap((outcome.ok ? Icons::OK : Icons::BROKEN).pixmap());
    label->setAccessibleName(outcome.name);
    label->setToolTip(outcome.name);
}

void SignDialog::clearOutcome(QLabel *label)
{
    QTC_ASSERT(label, return);
    label->clear();
    label->setAccessibleName(m_outcomeLabelNames.value(label));
    label->setToolTip({});
}

void SignDialog::clearSignOutcome()
{
    clearOutcome(ui->signStateLabel);
    ui->signStateReasonLabel->setLines({});
}

} // namespace Tamarek::Internal
