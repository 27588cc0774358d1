// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "dialogruns.h"
#include "focuschain.h"
#include "signtool.h"
#include "targetinfo.h"

#include <utils/filepath.h>

#include <QDialog>
#include <QHash>

#include <functional>
#include <memory>
#include <optional>

QT_BEGIN_NAMESPACE
class QLabel;
class QPushButton;
class QStatusBar;
class QTimer;
QT_END_NAMESPACE

namespace Ui {
class SignDialog;
}

namespace Utils {
class PathChooser;
} // namespace Utils

namespace Tamarek::Internal {

class BuildEngineInfo;
class PackageReportView;
class SignatureViews;
struct Outcome;
class CertificateHealthLabel;

// The "Sign Packages" window: signs, strips, verifies and dumps one package,
// and makes keys and certificate signing requests, with the tools of one
// build target. Runs keep the event loop turning; while one is in progress,
// a refresh that an edit asks for is noted and runs once the run has ended.
class SignDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SignDialog(QWidget *parent = nullptr);
    ~SignDialog() override;

    void reject() override;
    // Stops the run in progress, as the Stop button does: at shut-down.
    void stopRuns();

signals:
    // Every run asked for has been made; the dialog waits for the user.
    void runsFinished();

private slots:
    void onTabChanged(int index);

private:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool focusNextPrevChild(bool next) override;

    void setUpChoosers();
    void setUpAccessibility();
    void setUpRegularKeysLabel();
    void setUpCertificateHealth();
    void updateCertificateHealth();
    void setUpOutcomes();
    void setUpTextLabels();
    bool validatePath(const QString &path, bool mustExist, QString *errorMessage) const;
    QList<Utils::PathChooser *> choosers() const;

    void updateTargetList(const QStringList &targets);
    void requestTargetChange(const QString &name);
    void onTargetChanged(const QString &name);
    std::optional<TargetInfo> probeTarget(const QString &target);
    bool probeOpenssl(TargetInfo &info);
    void updateVisibility();

    SignTool *currentTool();
    SignTool *packageTool();
    SignKeys collectKeys() const;
    QString packagePath() const;
    // What the package field names: one package, or several (a list, a folder).
    QStringList packagePaths() const;
    // The one package of today's single-package views; empty for several.
    QString singlePackage() const;
    QString targetName() const;

    void addSignature();
    void deleteSignature();
    void onRpmPathChanged();
    void refreshPackage();
    // Verifies and dumps anew, then does what was asked for meanwhile.
    void refreshThenPending();
    bool verifyPackage();
    void dumpPackage();
    void setUpSignatureViews();
    void chooseSeveralPackages();
    bool validatePackages(const QString &text, QString *errorMessage) const;
    void checkOpenssl();
    void createRequest();

    // One command or tool operation, the action buttons disabled meanwhile;
    // nothing when the dialog went away during it.
    std::optional<ProcessResult> run(SignTool *tool, const std::function<ProcessResult()> &body);
    // The same for the packages the field names, with the selected target;
    // nothing either when the field or the target changed meanwhile.
    using PackageRun = std::function<ProcessResult(const QString &target)>;
    std::optional<ProcessResult> runOnPackages(SignTool *tool,
                                               const QStringList &packages,
                                               const PackageRun &body);
    std::optional<bool> probe(const QStringList &command);
    OutputHandler stoppableHandler();
    void stopRun();
    // Work asked for while a run is in progress, done after it in this order.
    using Deferred = DialogRuns::Work;
    void runPending();
    void setBusy(bool busy);
    void setOutcome(QLabel *label, const Outcome &outcome);
    void clearOutcome(QLabel *label);
    void clearSignOutcome();

    TargetInfo m_currentTarget;
    QHash<QString, TargetInfo> m_targetInfos;
    QHash<QString, SignTool *> m_tools;

    Utils::FilePath m_workspacePath;
    ::Ui::SignDialog *ui = nullptr;
    QList<QPushButton *> m_actionButtons;
    QStatusBar *m_statusBar = nullptr;

    BuildEngineInfo *m_buildEngineInfo = nullptr;
    QPushButton *m_stopButton = nullptr;
    CertificateHealthLabel *m_developerCertificateHealth = nullptr;
    CertificateHealthLabel *m_clientCertificateHealth = nullptr;
    PackageReportView *m_reportView = nullptr;
    std::unique_ptr<SignatureViews> m_signatures;
    CertificateHealthLabel *m_caCertificateHealth = nullptr;
    QTimer *m_refreshTimer = nullptr;
    QString m_regularKeysPath;
    QHash<QLabel *, QString> m_outcomeLabelNames;
    FocusChain m_focusChain;

    bool m_targetsArrived = false;
    bool m_closed = false;
    DialogRuns m_runs;
};

} // namespace Tamarek::Internal
