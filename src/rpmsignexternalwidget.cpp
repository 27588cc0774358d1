// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "rpmsignexternalwidget.h"
#include "ui_rpmsignexternalwidget.h"

#include "certificatehealthlabel.h"
#include "keychooser.h"
#include "pathutils.h"
#include "signingdefaults.h"

#include <utils/fancylineedit.h>
#include <utils/pathchooser.h>

#include <QCheckBox>

using namespace Utils;

namespace Tamarek::Internal {

RpmsignExternalWidget::RpmsignExternalWidget(RpmsignExternalStep *step)
    : ui(new Ui::RpmsignExternalWidget)
{
    Q_UNUSED(step)
    ui->setupUi(this);

    connect(ui->keyPathChooser,
            &PathChooser::textChanged,
            this,
            &RpmsignExternalWidget::keyChanged);
    connect(ui->certificatePathChooser,
            &PathChooser::textChanged,
            this,
            &RpmsignExternalWidget::certificateChanged);

    initPathChooser(ui->keyPathChooser, tr("User private key for signing the package"), false);
    initPathChooser(ui->certificatePathChooser, tr("Certificate to be used in signature"), false);

    m_certificateHealth = new CertificateHealthLabel(this);
    ui->formLayout->insertRow(5, QString(), m_certificateHealth);
    for (PathChooser *pathChooser : {ui->keyPathChooser, ui->certificatePathChooser}) {
        connect(pathChooser,
                &PathChooser::textChanged,
                this,
                &RpmsignExternalWidget::updateCertificateHealth);
    }
    connect(&SigningDefaults::instance(),
            &SigningDefaults::changed,
            this,
            &RpmsignExternalWidget::updateCertificateHealth);

    m_verifyRootHealth = setUpVerifyRootChooser(this, ui, [this](const QString &path, QString *error) {
        return validatePath(path, error);
    });

    ui->keysTypeComboBox->addItem(tr("Default key"));
    ui->keysTypeComboBox->addItem(tr("Custom key"));
    ui->keysTypeComboBox->setCurrentIndex(0);

    connect(ui->keysTypeComboBox,
            &QComboBox::currentIndexChanged,
            this,
            &RpmsignExternalWidget::updatePathChoosers);
    updatePathChoosers(ui->keysTypeComboBox->currentIndex());
}

RpmsignExternalWidget::~RpmsignExternalWidget()
{
    delete ui;
}

void RpmsignExternalWidget::setSharedHomePath(const FilePath &path)
{
    sharedHomePath = path;
}

void RpmsignExternalWidget::setSharedSrcPath(const FilePath &path)
{
    sharedSrcPath = path;
}

void RpmsignExternalWidget::setUseDefaultValues(bool useDefault)
{
    // Blocked so that the choosers are reset once, whether the entry changes or not.
    const QSignalBlocker blocker(ui->keysTypeComboBox);
    ui->keysTypeComboBox->setCurrentIndex(useDefault ? 0 : 1);
    updatePathChoosers(ui->keysTypeComboBox->currentIndex());
}

void RpmsignExternalWidget::setKey(const QString &path)
{
    if (!path.isEmpty())
        ui->keyPathChooser->setPath(path);
}

void RpmsignExternalWidget::setCertificate(const QString &path)
{
    if (!path.isEmpty())
        ui->certificatePathChooser->setPath(path);
}

void RpmsignExternalWidget::setVerifyAfterSign(bool verify)
{
    ui->verifyAfterSignCheckBox->setChecked(verify);
}

void RpmsignExternalWidget::setVerifyRootCertificate(const QString &path)
{
    ui->verifyRootCertificatePathChooser->setPath(path);
}

void RpmsignExternalWidget::setBuildTarget(const QString &target)
{
    m_verifyRootHealth->setTarget(target);
    m_certificateHealth->setTarget(target);
}

// The hidden choosers of the default choice are emptied by a switch back to
// it: the global pair is what the step signs with then.
void RpmsignExternalWidget::updateCertificateHealth()
{
    if (ui->keysTypeComboBox->currentIndex() == 0) {
        m_certificateHealth->setPair(SigningDefaults::certificate(sharedSrcPath),
                                     SigningDefaults::key(sharedSrcPath));
        return;
    }
    m_certificateHealth->setPair(ui->certificatePathChooser->lineEdit()->text(),
                                 ui->keyPathChooser->lineEdit()->text());
}

void RpmsignExternalWidget::updatePathChoosers(int index)
{
    const bool custom = index != 0;
    ui->keyPathChooser->setVisible(custom);
    ui->certificatePathChooser->setVisible(custom);
    ui->keyLabel->setVisible(custom);
    ui->certificateLabel->setVisible(custom);
    ui->keysTypeLabel->setText(custom ? tr("Custom keys are used") : tr("Global keys are used"));

    // The clearing empties the step's custom pair; the signal after it then
    // leaves the step on the global pair for "Default key".
    ui->keyPathChooser->lineEdit()->clear();
    ui->certificatePathChooser->lineEdit()->clear();
    updateCertificateHealth();
    emit useDefaultValuesChanged(index == 0);
}

void RpmsignExternalWidget::initPathChooser(PathChooser *chooser,
                                            const QString &title,
                                            bool allowEmpty)
{
    setUpStepKeyChooser(chooser, title, allowEmpty, [this](const QString &path, QString *error) {
        return validatePath(path, error);
    });
}

// Unlike customer-sign's, only the workspace.
bool RpmsignExternalWidget::validatePath(const QString &path, QString *errorMessage) const
{
    if (areInsideFolders({path}, {sharedSrcPath}))
        return true;
    if (errorMessage)
        *errorMessage = outsideFoldersMessage(InsideWhat::Path, {sharedSrcPath});
    return false;
}

} // namespace Tamarek::Internal
