// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signoptionswidget.h"
#include "ui_signoptionswidget.h"

#include "certificatehealthlabel.h"
#include "keychooser.h"
#include "pathutils.h"
#include "regularkeys.h"
#include "signingdefaults.h"
#include "tamarekconstants.h"

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <utils/fancylineedit.h>
#include <utils/pathchooser.h>
#include <utils/qtcassert.h>

#include <QSettings>

using namespace Utils;

namespace Tamarek::Internal {

const char USE_DEFAULT_SIGN_KEY_KEY[] = "Tamarek.UseDefaultSignKey";
const char USE_DEFAULT_SIGN_CERT_KEY[] = "Tamarek.UseDefaultSignCert";
const char KEY_HISTORY_KEY[] = "Tamarek.HistoryDefaultSignKey";
const char CERT_HISTORY_KEY[] = "Tamarek.HistoryDefaultSignCert";
const char VERIFY_ROOT_HISTORY_KEY[] = "Tamarek.HistoryDefaultVerifyRootCertificate";

const int REGULAR_INDEX = 0;
const int CUSTOM_INDEX = 1;

SignOptionsWidget::SignOptionsWidget(QWidget *parent)
    : QWidget(parent)
    , m_ui(new ::Ui::SignOptionsWidget)
{
    m_ui->setupUi(this);

    // Without an engine the regular paths still name the kit's own pair.
    const QList<Nork::BuildEngine *> engines = Nork::Sdk::buildEngines();
    updateRegularPaths(engines.isEmpty() ? FilePath() : engines.first()->sharedSrcPath());
    if (!engines.isEmpty()) {
        connect(engines.first(),
                &Nork::BuildEngine::sharedSrcPathChanged,
                this,
                &SignOptionsWidget::onSharedSrcPathChanged);
    }

    connect(m_ui->enableSignStepCheckBox,
            &QAbstractButton::clicked,
            this,
            &SignOptionsWidget::enablePathChoosers);

    const QString pemTitle = QCoreApplication::translate("SignDialog",
                                                         "Select Privacy-Enhanced Mail container");
    const QString filter = tr("Privacy-Enhanced Mail container (*.pem)");
    const auto setUpChooser = [this, &filter](PathChooser *chooser,
                                              const QString &toolTip,
                                              const QString &browseTitle,
                                              const QString &placeholder,
                                              const Key &historyKey) {
        chooser->setToolTip(toolTip);
        setUpKeyChooser(chooser,
                        {browseTitle, PathChooser::File, filter, placeholder, historyKey, true},
                        [this](const QString &path, QString *errorMessage) {
                            return validatePath(path, errorMessage);
                        });
    };
    setUpChooser(
        m_ui->keyPathChooser,
        tr("The path to the key file that will be used by default to sign rpm packages"),
        pemTitle,
        QCoreApplication::translate("SignDialog", "Select key file (*.pem)"),
        KEY_HISTORY_KEY);
    setUpChooser(
        m_ui->certificatePathChooser,
        tr("The path to the certificate file that will be used by default to sign rpm packages"),
        pemTitle,
        QCoreApplication::translate("SignDialog", "Select certificate (*.pem)"),
        CERT_HISTORY_KEY);
    setUpChooser(m_ui->verifyRootCertificatePathChooser,
                 tr("The CA certificate that sign steps verify the signatures against when they "
                    "name none of their own"),
                 tr("Select the CA certificate to verify against"),
                 tr("Select CA certificate (*.pem)"),
                 VERIFY_ROOT_HISTORY_KEY);
    m_ui->stopDeployOnFailureCheckBox->setToolTip(
        tr("A refused or failed signing, or a package that does not verify, makes its step "
           "fail, and problems found before the deploy keep it from starting"));

    m_ui->keyChooserComboBox->addItem(tr("Regular key"));
    m_ui->keyChooserComboBox->addItem(tr("Custom key"));
    m_ui->certificateChooserComboBox->addItem(tr("Regular certificate"));
    m_ui->certificateChooserComboBox->addItem(tr("Custom certificate"));
    connect(m_ui->keyChooserComboBox,
            &QComboBox::currentIndexChanged,
            this,
            &SignOptionsWidget::keyChooserChanged);
    connect(m_ui->certificateChooserComboBox,
            &QComboBox::currentIndexChanged,
            this,
            &SignOptionsWidget::certificateChooserChanged);
    keepCustomPath(m_ui->keyChooserComboBox, m_ui->keyPathChooser, &m_customKeyPath);
    keepCustomPath(m_ui->certificateChooserComboBox,
                   m_ui->certificatePathChooser,
                   &m_customCertPath);

    // Read with the openssl of the first engine's first target, where a step
    // signing with these defaults would most likely run.
    m_certificateHealth = new CertificateHealthLabel(this);
    m_ui->formLayout->insertRow(3, QString(), m_certificateHealth);
    m_verifyRootHealth = new CertificateHealthLabel(this);
    m_verifyRootHealth->setRole(CertificateRole::TrustRoot);
    m_ui->formLayout->insertRow(5, QString(), m_verifyRootHealth);
    if (!engines.isEmpty()) {
        const QString target = engines.first()->buildTargetOrigins().value(0);
        m_certificateHealth->setTarget(target);
        m_verifyRootHealth->setTarget(target);
    }
    connect(m_ui->verifyRootCertificatePathChooser, &PathChooser::textChanged, this, [this] {
        m_verifyRootHealth->setPair(
            m_ui->verifyRootCertificatePathChooser->filePath().toFSPathString());
    });
    for (PathChooser *pathChooser : {m_ui->keyPathChooser, m_ui->certificatePathChooser}) {
        connect(pathChooser,
                &PathChooser::textChanged,
                this,
                &SignOptionsWidget::updateCertificateHealth);
    }

    loadSettings();

    m_customKeyPath = m_ui->keyPathChooser->filePath();
    m_customCertPath = m_ui->certificatePathChooser->filePath();
    if (m_useDefaultKey) {
        m_ui->keyChooserComboBox->setCurrentIndex(REGULAR_INDEX);
    } else {
        m_ui->keyChooserComboBox->setCurrentIndex(CUSTOM_INDEX);
        m_customKeyPath = m_ui->keyPathChooser->filePath();
    }
    if (m_useDefaultCert) {
        m_ui->certificateChooserComboBox->setCurrentIndex(REGULAR_INDEX);
    } else {
        m_ui->certificateChooserComboBox->setCurrentIndex(CUSTOM_INDEX);
        m_customCertPath = m_ui->certificatePathChooser->filePath();
    }

    enablePathChoosers(m_ui->enableSignStepCheckBox->isChecked());
}

SignOptionsWidget::~SignOptionsWidget() = default;

void SignOptionsWidget::loadSettings()
{
    const QSettings settings;
    m_ui->enableSignStepCheckBox->setChecked(
        settings.value(QLatin1String(Constants::DEFAULT_SIGN_KEY), true).toBool());
    m_ui->keyPathChooser->setPath(
        settings.value(QLatin1String(Constants::GLOBAL_SIGN_KEY_KEY)).toString());
    m_ui->certificatePathChooser->setPath(
        settings.value(QLatin1String(Constants::GLOBAL_SIGN_CERT_KEY)).toString());
    m_useDefaultKey = settings.value(QLatin1String(USE_DEFAULT_SIGN_KEY_KEY), true).toBool();
    m_useDefaultCert = settings.value(QLatin1String(USE_DEFAULT_SIGN_CERT_KEY), true).toBool();
    m_ui->verifyRootCertificatePathChooser->setPath(
        settings.value(QLatin1String(Constants::DEFAULT_VERIFY_ROOT_CERTIFICATE_KEY)).toString());
    m_ui->stopDeployOnFailureCheckBox->setChecked(
        settings.value(QLatin1String(Constants::STOP_DEPLOY_ON_FAILURE_KEY), false).toBool());
}

// Consumers read only the path keys, so a regular choice stores the regular file itself.
void SignOptionsWidget::saveSettings() const
{
    QSettings settings;
    settings.setValue(QLatin1String(Constants::DEFAULT_SIGN_KEY),
                      m_ui->enableSignStepCheckBox->isChecked());
    settings.setValue(QLatin1String(Constants::GLOBAL_SIGN_KEY_KEY),
                      m_ui->keyPathChooser->filePath().toFSPathString());
    settings.setValue(QLatin1String(Constants::GLOBAL_SIGN_CERT_KEY),
                      m_ui->certificatePathChooser->filePath().toFSPathString());
    if (m_useDefaultKey) {
        settings.setValue(QLatin1String(Constants::GLOBAL_SIGN_KEY_KEY),
                          m_regularKeyPath.toFSPathString());
    }
    if (m_useDefaultCert) {
        settings.setValue(QLatin1String(Constants::GLOBAL_SIGN_CERT_KEY),
                          m_regularCertPath.toFSPathString());
    }
    settings.setValue(QLatin1String(USE_DEFAULT_SIGN_KEY_KEY), m_useDefaultKey);
    settings.setValue(QLatin1String(USE_DEFAULT_SIGN_CERT_KEY), m_useDefaultCert);
    settings.setValue(QLatin1String(Constants::DEFAULT_VERIFY_ROOT_CERTIFICATE_KEY),
                      m_ui->verifyRootCertificatePathChooser->filePath().toFSPathString());
    settings.setValue(QLatin1String(Constants::STOP_DEPLOY_ON_FAILURE_KEY),
                      m_ui->stopDeployOnFailureCheckBox->isChecked());
    emit SigningDefaults::instance().changed();
}

void SignOptionsWidget::updateCertificateHealth()
{
    m_certificateHealth->setPair(m_ui->certificatePathChooser->filePath().toFSPathString(),
                                 m_ui->keyPathChooser->filePath().toFSPathString());
}

QString SignOptionsWidget::searchKeywords() const
{
    const QStringList texts{m_ui->enableSignStepCheckBox->text(),
                            m_ui->keyPathChooser->lineEdit()->toolTip(),
                            m_ui->certificatePathChooser->lineEdit()->toolTip(),
                            m_ui->keyLabel->text(),
                            m_ui->certificateLabel->text(),
                            m_ui->keyPathChooser->promptDialogFilter(),
                            m_ui->verifyRootCertificateLabel->text(),
                            m_ui->verifyRootCertificatePathChooser->lineEdit()->toolTip(),
                            m_ui->stopDeployOnFailureCheckBox->text()};
    QString keywords;
    for (const QString &text : texts)
        keywords += u' ' + text;
    return keywords.remove(u'&');
}

void SignOptionsWidget::enablePathChoosers(bool enabled)
{
    m_ui->keyChooserComboBox->setEnabled(enabled);
    m_ui->certificateChooserComboBox->setEnabled(enabled);
    updateBothPathChoosers();
}

void SignOptionsWidget::keyChooserChanged(int index)
{
    updatePathChooser(index, m_ui->keyPathChooser, m_customKeyPath, m_regularKeyPath);
    m_useDefaultKey = index == REGULAR_INDEX;
}

void SignOptionsWidget::certificateChooserChanged(int index)
{
    updatePathChooser(index, m_ui->certificatePathChooser, m_customCertPath, m_regularCertPath);
    m_useDefaultCert = index == REGULAR_INDEX;
}

void SignOptionsWidget::onSharedSrcPathChanged(FilePath sharedSrcPath)
{
    updateRegularPaths(sharedSrcPath);
    updateBothPathChoosers();
    // A custom path that stays as it is must be checked against the new folder.
    m_ui->keyPathChooser->triggerChanged();
    m_ui->certificatePathChooser->triggerChanged();
    m_ui->verifyRootCertificatePathChooser->triggerChanged();
}

void SignOptionsWidget::updateRegularPaths(const FilePath &sharedSrcPath)
{
    m_sharedSrcPath = sharedSrcPath;
    m_regularKeyPath = regularKeyFilePath(sharedSrcPath);
    m_regularCertPath = regularCertFilePath(sharedSrcPath);
}

void SignOptionsWidget::updatePathChooser(int index,
                                          PathChooser *chooser,
                                          const FilePath &customPath,
                                          const FilePath &regularPath)
{
    if (index == REGULAR_INDEX) {
        chooser->setFilePath(regularPath);
        chooser->setEnabled(false);
    } else if (index == CUSTOM_INDEX) {
        chooser->setFilePath(customPath);
        chooser->setEnabled(m_ui->enableSignStepCheckBox->isChecked());
    }
}

void SignOptionsWidget::updateBothPathChoosers()
{
    const int keyIndex = m_ui->keyChooserComboBox->currentIndex();
    updatePathChooser(keyIndex, m_ui->keyPathChooser, m_customKeyPath, m_regularKeyPath);
    m_useDefaultKey = keyIndex == REGULAR_INDEX;
    const int certIndex = m_ui->certificateChooserComboBox->currentIndex();
    updatePathChooser(certIndex, m_ui->certificatePathChooser, m_customCertPath, m_regularCertPath);
    m_useDefaultCert = certIndex == REGULAR_INDEX;
}

// What the user types as a custom path is kept, so that it comes back after a
// look at the regular entry, an untick of the check box or a workspace change.
void SignOptionsWidget::keepCustomPath(QComboBox *comboBox, PathChooser *chooser, FilePath *path)
{
    QTC_ASSERT(comboBox && chooser && path, return);
    connect(chooser, &PathChooser::textChanged, this, [comboBox, chooser, path] {
        if (comboBox->currentIndex() == CUSTOM_INDEX)
            *path = chooser->filePath();
    });
}

bool SignOptionsWidget::validatePath(const QString &path, QString *errorMessage) const
{
    if (path.isEmpty())
        return true;
    if (!areInsideFolders({path}, {m_sharedSrcPath})) {
        if (errorMessage)
            *errorMessage = outsideFoldersMessage(InsideWhat::Path, {m_sharedSrcPath});
        return false;
    }
    if (!FilePath::fromUserInput(path).exists()) {
        if (errorMessage)
            *errorMessage = tr("File does not exist");
        return false;
    }
    return true;
}

} // namespace Tamarek::Internal
