// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "customersignstepwidget.h"
#include "ui_customersignstepwidget.h"

#include "certificatehealthlabel.h"
#include "keychooser.h"
#include "pathutils.h"

#include <utils/fancylineedit.h>
#include <utils/pathchooser.h>

#include <QCheckBox>
#include <QFileDialog>


using namespace Utils;

namespace Tamarek::Internal {

CustomerSignStepWidget::CustomerSignStepWidget(CustomerSignStep *step)
    : ui(new Ui::CustomerSignStepWidget)
{
    Q_UNUSED(step)
    ui->setupUi(this);

    connect(ui->binariesKeyPathChooser,
            &PathChooser::textChanged,
            this,
            &CustomerSignStepWidget::binariesKeyChanged);
    connect(ui->packagesKeyPathChooser,
            &PathChooser::textChanged,
            this,
            &CustomerSignStepWidget::packagesKeyChanged);
    connect(ui->packagesCertPathChooser,
            &PathChooser::textChanged,
            this,
            &CustomerSignStepWidget::packagesCertChanged);
    connect(ui->packagesClientCertPathChooser,
            &PathChooser::textChanged,
            this,
            &CustomerSignStepWidget::packagesClientCertChanged);

    initPathChooser(ui->binariesKeyPathChooser, tr("Select binaries key"), false);
    initPathChooser(ui->packagesKeyPathChooser, tr("Select packages key"), false);
    initPathChooser(ui->packagesCertPathChooser, tr("Select packages certificate"), false);
    initPathChooser(ui->packagesClientCertPathChooser,
                    tr("Select packages client certificate"),
                    true);

    m_packagesCertHealth = new CertificateHealthLabel(this);
    ui->formLayout->insertRow(4, QString(), m_packagesCertHealth);
    m_clientCertHealth = new CertificateHealthLabel(this);
    ui->formLayout->insertRow(6, QString(), m_clientCertHealth);
    for (PathChooser *pathChooser : {ui->packagesKeyPathChooser,
                                     ui->packagesCertPathChooser,
                                     ui->packagesClientCertPathChooser}) {
        connect(pathChooser,
                &PathChooser::textChanged,
                this,
                &CustomerSignStepWidget::updateCertificateHealth);
    }

    m_verifyRootHealth = setUpVerifyRootChooser(this, ui, [this](const QString &path, QString *error) {
        return validatePath(path, error);
    });

    // clicked, not toggled: the step's own value set through setSignDebugPackage
    // must not come back to it.
    connect(ui->signDebugPackageCheckBox,
            &QAbstractButton::clicked,
            this,
            &CustomerSignStepWidget::signDebugPackages);
}

CustomerSignStepWidget::~CustomerSignStepWidget()
{
    delete ui;
}

void CustomerSignStepWidget::setCommand(const QString &command)
{
    ui->commandLabelEdit->setText(command);
}

void CustomerSignStepWidget::setSharedHomePath(const FilePath &path)
{
    sharedHomePath = path;
}

void CustomerSignStepWidget::setSharedSrcPath(const FilePath &path)
{
    sharedSrcPath = path;
}

void CustomerSignStepWidget::setBinariesKey(const QString &path)
{
    ui->binariesKeyPathChooser->setPath(path);
}

void CustomerSignStepWidget::setPackagesKey(const QString &path)
{
    ui->packagesKeyPathChooser->setPath(path);
}

void CustomerSignStepWidget::setPackagesCert(const QString &path)
{
    ui->packagesCertPathChooser->setPath(path);
}

void CustomerSignStepWidget::setPackagesClientCert(const QString &path)
{
    ui->packagesClientCertPathChooser->setPath(path);
}

void CustomerSignStepWidget::setSignDebugPackage(bool sign)
{
    ui->signDebugPackageCheckBox->setChecked(sign);
}

void CustomerSignStepWidget::setVerifyAfterSign(bool verify)
{
    ui->verifyAfterSignCheckBox->setChecked(verify);
}

void CustomerSignStepWidget::setVerifyRootCertificate(const QString &path)
{
    ui->verifyRootCertificatePathChooser->setPath(path);
}

void CustomerSignStepWidget::setBuildTarget(const QString &target)
{
    m_verifyRootHealth->setTarget(target);
    m_packagesCertHealth->setTarget(target);
    m_clientCertHealth->setTarget(target);
}

void CustomerSignStepWidget::updateCertificateHealth()
{
    m_packagesCertHealth->setPair(ui->packagesCertPathChooser->lineEdit()->text(),
                                  ui->packagesKeyPathChooser->lineEdit()->text());
    // customer-sign's client certificate certifies the packages key.
    m_clientCertHealth->setPair(ui->packagesClientCertPathChooser->lineEdit()->text(),
                                ui->packagesKeyPathChooser->lineEdit()->text());
}

QString CustomerSignStepWidget::openFileSelectDialog(const QString &title)
{
    return QFileDialog::getOpenFileName(this, title, sharedHomePath.toFSPathString());
}

void CustomerSignStepWidget::initPathChooser(PathChooser *chooser,
                                             const QString &title,
                                             bool allowEmpty)
{
    setUpStepKeyChooser(chooser, title, allowEmpty, [this](const QString &path, QString *error) {
        return validatePath(path, error);
    });
}

// Both shared folders are seen by the engine at the same paths.
bool CustomerSignStepWidget::validatePath(const QString &path, QString *errorMessage) const
{
    const QList<FilePath> folders{sharedHomePath, sharedSrcPath};
    if (areInsideFolders({path}, folders))
        return true;
    if (errorMessage)
        *errorMessage = outsideFoldersMessage(InsideWhat::Path, folders);
    return false;
}

} // namespace Tamarek::Internal
