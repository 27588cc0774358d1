// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "customersignstep.h"
#include "deploystepfactory.h"
#include "rpmsignexternalstep.h"

#include <extensionsystem/iplugin.h>
#include <utils/filepath.h>

#include <QPointer>
#include <QTimer>

#include <memory>

namespace Nork {
class BuildEngine;
}

namespace Tamarek::Internal {

class PacedMessages;
class ProjectListener;
class SignDialog;
class SignOptionsPage;

class TamarekPlugin final : public ExtensionSystem::IPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QtCreatorPlugin" FILE "Tamarek.json")

public:
    TamarekPlugin();
    ~TamarekPlugin() final;

    bool initialize(const QStringList &arguments, QString *errorString) final;
    void extensionsInitialized() final;
    ShutdownFlag aboutToShutdown() final;

public slots:
    void onSharedSrcPathChanged(Utils::FilePath sharedSrcPath, bool printUserLog);

private:
    bool installTranslator(const QVariant &overrideLanguage, const QString &folder);
    QString translationsBesidePlugin() const;
    void registerSignDialogAction();
    void openSignDialog();
    void watchBuildEngines(const QList<Nork::BuildEngine *> &engines);
    bool copyRegularFile(const QString &name, const Utils::FilePath &target, QString *errorString);

    std::unique_ptr<PacedMessages> m_messages;
    std::unique_ptr<SignOptionsPage> m_optionsPage;
    std::unique_ptr<ProjectListener> m_projectListener;
    // Made on first use; the main window, its parent, may delete it first.
    QPointer<SignDialog> m_signDialog;
    QTimer m_forgetUnusedTimer;
    // Kept below the other members: they go first at destruction, the
    // rpmsign-external one before the customer-sign one.
    DeployStepFactory<CustomerSignStep> m_customerSignStepFactory;
    DeployStepFactory<RpmsignExternalStep> m_rpmsignExternalStepFactory;

#ifdef WITH_TESTS
    friend class PluginLifecycleTest;
    friend class ProjectListenerTest;
    friend class RegularKeysTest;
    friend class SignDialogTest;
#endif
};

} // namespace Tamarek::Internal
