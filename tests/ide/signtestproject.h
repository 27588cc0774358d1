// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "testkit.h"

#include <projectexplorer/buildstep.h>
#include <projectexplorer/project.h>

#include <QPointer>
#include <QTemporaryDir>

#include <memory>

namespace ProjectExplorer {
class BuildStepList;
class Kit;
class Target;
} // namespace ProjectExplorer

namespace Orv::Internal {
class OrvVbtRpmBuildStep;
}

namespace Tamarek::Testing {

// The stand-in kit made by the build: its test CA, keys and regular pair.
Utils::FilePath standinKitFolder();

// A copy of the stand-in kit's keys, CA and regular pair in "kit" below a
// folder that an engine shares, laid out as in the kit ("workspace/keys/...",
// "ca/ca-cert.pem", "sdk/package-signing/..."): a build target sees nothing of
// the build folder. Empty when a file could not be copied.
Utils::FilePath copyStandinKitFiles(const Utils::FilePath &sharedFolder);

// A test kit with one engine and one build target per signing tool, and the
// kit's test keys copied into the engine's workspace ("keys" folder).
class SignTestKit
{
public:
    // An empty path: the kit's own command-line tool.
    explicit SignTestKit(const Utils::FilePath &norkPath = {});

    bool isValid() const { return m_errorString.isEmpty(); }
    QString errorString() const { return m_errorString; }

    Orv::Testing::TestKit &testKit() { return *m_testKit; }
    Utils::FilePath workspace() const { return m_testKit->sharedSrcPath(); }
    Utils::FilePath sharedHome() const { return m_testKit->sharedHomePath(); }
    // A file of the "keys" folder in the workspace.
    QString key(const QString &name) const;

    ProjectExplorer::Kit *rpmsignKit() const;
    ProjectExplorer::Kit *customerSignKit() const;

    static QString engineName() { return "Sign Engine"; }
    static QString rpmsignTarget() { return "SignTarget-aarch64"; }
    static QString customerSignTarget() { return "SignTarget-armv7hl"; }

private:
    std::unique_ptr<Orv::Testing::TestKit> m_testKit;
    QString m_errorString;
};

// Which packages a project's RPM recipe builds.
enum class Packages { MainAndDebug, MainOnly, DebugOnly };

// A project of the kit's kind in a temporary folder of its engine's workspace,
// with one target for the kit, whose deploy configuration starts with the RPM
// build step. Open while this lives.
class SignTestProject
{
public:
    SignTestProject(ProjectExplorer::Kit *kit, Packages packages = Packages::MainAndDebug);
    ~SignTestProject();

    ProjectExplorer::Project *project() const { return m_project; }
    ProjectExplorer::Target *target() const;
    ProjectExplorer::BuildStepList *deploySteps() const;
    Orv::Internal::OrvVbtRpmBuildStep *rpmBuildStep() const;

    // Made by its factory, as the IDE's "Add Deploy Step" does; -1 appends.
    ProjectExplorer::BuildStep *addStep(Utils::Id stepId, int position = -1) const;

    // Runs the active deploy configuration as the IDE's Deploy does and
    // waits for its end; gives whether the deploy succeeded.
    bool deploy() const;

private:
    QTemporaryDir m_folder;
    QPointer<ProjectExplorer::Project> m_project;
};

// One output line of a step, as the output pane gets it, or a task it puts
// into the Issues pane.
struct OutputLine
{
    ProjectExplorer::BuildStep::OutputFormat format;
    QString text;
    bool isTask = false;
};

// The lines a step writes to the output pane, and its tasks, while this lives.
class StepOutput : public QObject
{
public:
    explicit StepOutput(ProjectExplorer::BuildStep *step);
    QList<OutputLine> lines() const { return m_lines; }

private:
    QList<OutputLine> m_lines;
};

QString formatName(ProjectExplorer::BuildStep::OutputFormat format);

// Keeps the given application settings and restores them when it goes.
class SettingsScope
{
public:
    explicit SettingsScope(const QStringList &keys);
    ~SettingsScope();

    void set(const QString &key, const QVariant &value);
    void remove(const QString &key);

private:
    QMap<QString, QVariant> m_saved; // invalid: absent before
};

} // namespace Tamarek::Testing
