// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "customertamarek.h"
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

// Drops the debuginfo and debugsource packages, keeping the order of the others.
QStringList withoutDebugPackages(const QStringList &packages);

class CustomerSignStep : public Orv::Internal::OrvProcessStep
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
    bool init() override;
    QWidget *createConfigWidget() override;
    Tasking::GroupItem runRecipe() override;

    Tasking::SetupResult prepareSigning(QStringList &packages);
    bool signPackages(const QStringList &packages);
    bool checkKeys(QString *error) const;

    SignKeys keys;
    CustomerTamarek signTool;
    QPointer<Nork::BuildEngine> buildEngine;
    QPointer<Orv::Internal::OrvVbtRpmBuildStep> rpmBuildStep;
    bool signDebugPackages = true;

#ifdef WITH_TESTS
    friend class CustomerSignStepTest;
#endif
};

} // namespace Tamarek::Internal
