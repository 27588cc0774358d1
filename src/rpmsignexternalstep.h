// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "keychoice.h"
#include "rpmsignexternal.h"
#include "signstep.h"

namespace Tamarek::Internal {

class RpmsignExternalStep : public SignStep
{
    Q_OBJECT

public:
    RpmsignExternalStep(ProjectExplorer::BuildStepList *stepList,
                        Utils::Id id,
                        bool enabled = true);
    ~RpmsignExternalStep() override;

    static Utils::Id stepId();
    static QString displayName();

public slots:
    void setKey(const QString &key);
    void setCertificate(const QString &certificate);

private:
    void fromMap(const Utils::Store &map) override;
    void toMap(Utils::Store &map) const override;
    QWidget *createConfigWidget() override;

    SignKeys signingKeys() const override;
    bool checkKeys(const SignKeys &keys, QString *error) const override;
    QStringList packagesToSign(Orv::Internal::OrvVbtRpmBuildStep *rpmBuildStep) const override;
    QList<CertificatePair> certificatesToCheck(const SignKeys &keys) const override;
    QStringList filesToCheck(const SignKeys &keys) const override;
    QList<Utils::FilePath> sharedFolders() const override;
    void reportSigned(const QStringList &packages) override;
    QString keysSummary() const override;

    void reportSignatures(const QStringList &packages);
    void reportSignatureGroups(const QString &dumpText, const QString &packageName);

    KeyChoice keyChoice;
    RpmsignExternal signTool;
};

} // namespace Tamarek::Internal
