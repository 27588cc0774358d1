// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/filepath.h>

#include <QWidget>

#include <memory>

namespace Ui {
class SignOptionsWidget;
}

namespace Utils {
class PathChooser;
}

class QComboBox;

namespace Tamarek::Internal {

class CertificateHealthLabel;

class SignOptionsWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SignOptionsWidget(QWidget *parent = nullptr);
    ~SignOptionsWidget() override;

    void loadSettings();
    void saveSettings() const;
    QString searchKeywords() const;

private slots:
    void enablePathChoosers(bool enabled);
    void keyChooserChanged(int index);
    void certificateChooserChanged(int index);
    void onSharedSrcPathChanged(Utils::FilePath sharedSrcPath);

private:
    void updateRegularPaths(const Utils::FilePath &sharedSrcPath);
    void updatePathChooser(int index,
                           Utils::PathChooser *chooser,
                           const Utils::FilePath &customPath,
                           const Utils::FilePath &regularPath);
    void updateBothPathChoosers();
    void keepCustomPath(QComboBox *comboBox, Utils::PathChooser *chooser, Utils::FilePath *path);
    bool validatePath(const QString &path, QString *errorMessage) const;
    void updateCertificateHealth();

    std::unique_ptr<::Ui::SignOptionsWidget> m_ui;
    CertificateHealthLabel *m_certificateHealth = nullptr;
    CertificateHealthLabel *m_verifyRootHealth = nullptr;
    Utils::FilePath m_sharedSrcPath;
    Utils::FilePath m_regularKeyPath;
    Utils::FilePath m_regularCertPath;
    Utils::FilePath m_customKeyPath;
    Utils::FilePath m_customCertPath;
    bool m_useDefaultKey = true;
    bool m_useDefaultCert = true;
};

} // namespace Tamarek::Internal
