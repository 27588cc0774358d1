// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "keychoice.h"
#include "rpmsignexternal.h"

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

class RpmsignExternalStep : public Orv::Internal::OrvProcessStep
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
    bool init() override;
    QWidget *createConfigWidget() override;
    Tasking::GroupItem runRecipe() override;

    // What the checks before signing hand over to the signing.
    struct SigningInput
    {
        SignKeys keys;
        QStringList packages;
    };

    Tasking::SetupResult prepareSigning(SigningInput &input);
    bool signPackages(const SigningInput &input);
    void reportSignatures(const QStringList &packages);
    void reportSignatureGroups(const QString &dumpText, const QString &packageName);
    QString buildTargetName() const;

    KeyChoice keyChoice;
    RpmsignExternal signTool;
    QPointer<Nork::BuildEngine> buildEngine;
    QPointer<Orv::Internal::OrvVbtRpmBuildStep> rpmBuildStep;
};

} // namespace Tamarek::Internal
