// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/filepath.h>

#include <QWidget>

namespace Utils {
class PathChooser;
}

namespace Tamarek::Internal {

namespace Ui {
class CustomerSignStepWidget;
}

class CertificateHealthLabel;
class CustomerSignStep;

class CustomerSignStepWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CustomerSignStepWidget(CustomerSignStep *step);
    ~CustomerSignStepWidget() override;

    void setCommand(const QString &command);
    void setSharedHomePath(const Utils::FilePath &path);
    void setSharedSrcPath(const Utils::FilePath &path);
    void setBinariesKey(const QString &path);
    void setPackagesKey(const QString &path);
    void setPackagesCert(const QString &path);
    void setPackagesClientCert(const QString &path);
    void setSignDebugPackage(bool sign);
    void setVerifyAfterSign(bool verify);
    void setVerifyRootCertificate(const QString &path);
    // Whose openssl reads the certificates shown beside the choosers.
    void setBuildTarget(const QString &target);

signals:
    void binariesKeyChanged(const QString &filePath);
    void packagesKeyChanged(const QString &filePath);
    void packagesCertChanged(const QString &filePath);
    void packagesClientCertChanged(const QString &filePath);
    void signDebugPackages(bool sign);
    void verifyAfterSignChanged(bool verify);
    void verifyRootCertificateChanged(const QString &filePath);

private slots:
    QString openFileSelectDialog(const QString &title);

private:
    void initPathChooser(Utils::PathChooser *chooser, const QString &title, bool allowEmpty);
    bool validatePath(const QString &path, QString *errorMessage) const;

    void updateCertificateHealth();

    Ui::CustomerSignStepWidget *ui;
    Utils::FilePath sharedHomePath;
    Utils::FilePath sharedSrcPath;
    CertificateHealthLabel *m_verifyRootHealth = nullptr;
    CertificateHealthLabel *m_packagesCertHealth = nullptr;
    CertificateHealthLabel *m_clientCertHealth = nullptr;
};

} // namespace Tamarek::Internal
