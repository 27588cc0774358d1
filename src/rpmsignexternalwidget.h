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
class RpmsignExternalWidget;
}

class CertificateHealthLabel;
class RpmsignExternalStep;

class RpmsignExternalWidget : public QWidget
{
    Q_OBJECT

public:
    explicit RpmsignExternalWidget(RpmsignExternalStep *step);
    ~RpmsignExternalWidget() override;

    void setSharedHomePath(const Utils::FilePath &path);
    void setSharedSrcPath(const Utils::FilePath &path);
    void setUseDefaultValues(bool useDefault);
    void setKey(const QString &path);
    void setCertificate(const QString &path);
    void setVerifyAfterSign(bool verify);
    void setVerifyRootCertificate(const QString &path);
    // Whose openssl reads the certificate shown beside the choosers.
    void setBuildTarget(const QString &target);

signals:
    void keyChanged(const QString &filePath);
    void certificateChanged(const QString &filePath);
    void useDefaultValuesChanged(bool useDefault);
    void verifyAfterSignChanged(bool verify);
    void verifyRootCertificateChanged(const QString &filePath);

private slots:
    void updatePathChoosers(int index);

private:
    void initPathChooser(Utils::PathChooser *chooser, const QString &title, bool allowEmpty);
    bool validatePath(const QString &path, QString *errorMessage) const;

    void updateCertificateHealth();

    Ui::RpmsignExternalWidget *ui;
    Utils::FilePath sharedHomePath;
    Utils::FilePath sharedSrcPath;
    CertificateHealthLabel *m_verifyRootHealth = nullptr;
    CertificateHealthLabel *m_certificateHealth = nullptr;
};

} // namespace Tamarek::Internal
