// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "customertamarek.h"
#include "signstep.h"

namespace Tamarek::Internal {

class CustomerSignStep : public SignStep
{
    Q_OBJECT

public:
    CustomerSignStep(ProjectExplorer::BuildStepList *stepList, Utils::Id id, bool enabled = true);
    ~CustomerSignStep() override;

    static Utils::Id stepId();
    static QString displayName();

public slots:
    void setBinariesKey(const QString &key);
    void setPackagesKey(const QString &key);
    void setPackagesCert(const QString &cert);
    void setPackagesClientCert(const QString &cert);
    void setSignDebugPackages(bool sign);

private:
    void fromMap(const Utils::Store &map) override;
    void toMap(Utils::Store &map) const override;
    QWidget *createConfigWidget() override;

    SignKeys signingKeys() const override;
    bool checkKeys(const SignKeys &keys, QString *error) const override;
    QStringList packagesToSign(Orv::Internal::OrvVbtRpmBuildStep *rpmBuildStep) const override;
    QList<CertificatePair> certificatesToCheck(const SignKeys &signKeys) const override;
    QStringList filesToCheck(const SignKeys &signKeys) const override;
    QList<Utils::FilePath> sharedFolders() const override;
    QString keysSummary() const override;

    SignKeys keys;
    CustomerTamarek signTool;
    bool signDebugPackages = true;

#ifdef WITH_TESTS
    friend class CustomerSignStepTest;
#endif
};

} // namespace Tamarek::Internal
