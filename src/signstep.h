// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "signtool.h"

#include <neverraos/orvprocessstep.h>
#include <solutions/tasking/tasktree.h>

#include <QPointer>

namespace Nork {
class BuildEngine;
}
namespace Orv::Internal {
class OrvVbtRpmBuildStep;
}

namespace Tamarek::Internal {

class StopRequest;

// What both sign steps share: the engine and the RPM build step found when the
// step is made, the run (its checks, the signing outside the task tree's
// handlers, the deploy going on after anything but a cancel) and its messages.
// A step says which keys and packages it signs with its tool.
class SignStep : public Orv::Internal::OrvProcessStep
{
    Q_OBJECT

public:
    ~SignStep() override;

public slots:
    void setVerifyAfterSign(bool verify);
    // Empty: the global CA certificate of the options page.
    void setVerifyRootCertificate(const QString &certificate);

protected:
    SignStep(ProjectExplorer::BuildStepList *stepList, Utils::Id id);

    void fromMap(const Utils::Store &map) override;
    void toMap(Utils::Store &map) const override;

    // Fills a step widget's verification controls, then connects them.
    template<typename Widget>
    void setUpVerificationControls(Widget *widget)
    {
        widget->setVerifyAfterSign(m_verifyAfterSign);
        widget->setVerifyRootCertificate(m_verifyRootCertificate);
        connect(widget, &Widget::verifyAfterSignChanged, this, &SignStep::setVerifyAfterSign);
        connect(widget,
                &Widget::verifyRootCertificateChanged,
                this,
                &SignStep::setVerifyRootCertificate);
    }

    // Called by the step's constructor with the tool it owns.
    void setSignTool(SignTool *tool);

    virtual SignKeys signingKeys() const = 0;
    virtual bool checkKeys(const SignKeys &keys, QString *error) const = 0;
    virtual QStringList packagesToSign(Orv::Internal::OrvVbtRpmBuildStep *rpmBuildStep) const = 0;
    // The certificates, each with its key where known, looked at before signing.
    struct CertificatePair
    {
        QString certificate;
        QString key;
    };
    virtual QList<CertificatePair> certificatesToCheck(const SignKeys &keys) const = 0;
    // Every file the tool reads to sign, the optional ones where set.
    virtual QStringList filesToCheck(const SignKeys &keys) const = 0;
    // Where the build target sees the step's files.
    virtual QList<Utils::FilePath> sharedFolders() const = 0;
    // After the completion message; may run the tool again.
    virtual void reportSigned(const QStringList &packages);
    // Which pair the step signs with, for its collapsed header.
    virtual QString keysSummary() const = 0;

    QString buildTargetName() const;
    // Called whenever what keysSummary tells changes.
    void updateKeysSummary();

    QPointer<Nork::BuildEngine> buildEngine;
    QPointer<Orv::Internal::OrvVbtRpmBuildStep> rpmBuildStep;

private:
    struct SigningInput
    {
        SignKeys keys;
        QStringList packages;
        bool verify = false;
        QString verifyRoot;
    };
    struct Problem
    {
        QString text;
        bool certain = false; // the run will fail with it
    };

    bool init() final;
    Tasking::GroupItem runRecipe() final;

    QString effectiveVerifyRoot() const;
    QList<Problem> problemsBeforeDeploy() const;
    bool verifySigned(const SigningInput &input, const StopRequest &stop);
    void reportVerifyError(const QString &error);

    Tasking::SetupResult prepareSigning(SigningInput &input);
    Tasking::SetupResult refuse(const QString &error);
    bool signPackages(const SigningInput &input, const StopRequest &stop);
    void reportFailure(const ProcessResult &result);
    void warnNotSigned();
    void warnOfCertificates(const SignKeys &keys, const StopRequest &stop);
    QString summary() const;
    // The message in the context of the step's own class.
    QString stepText(const char *text) const;

    SignTool *m_signTool = nullptr;
    bool m_verifyAfterSign = false;
    QString m_verifyRootCertificate;
    // Read when a run starts.
    bool m_failureStopsDeploy = false;
};

} // namespace Tamarek::Internal
