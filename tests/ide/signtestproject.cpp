// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtestproject.h"

#include <neverraos/orvproject.h>
#include <neverraos/orvsdkkitaspect.h>
#include <neverraos/orvvbtrpmbuildstep.h>
#include <nork/buildengine.h>

#include <projectexplorer/buildmanager.h>
#include <projectexplorer/buildsteplist.h>
#include <projectexplorer/deployconfiguration.h>
#include <projectexplorer/kit.h>
#include <projectexplorer/kitmanager.h>
#include <projectexplorer/projectmanager.h>
#include <projectexplorer/target.h>
#include <projectexplorer/task.h>

#include <utils/qtcassert.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QSignalSpy>

using namespace Orv::Internal;
using namespace Orv::Testing;
using namespace ProjectExplorer;
using namespace Utils;

namespace Tamarek::Testing {

const int DEPLOY_TIMEOUT_MS = 300000;

FilePath standinKitFolder()
{
    return FilePath::fromString(TAMAREK_STANDIN_KIT_DIR);
}

FilePath copyStandinKitFiles(const FilePath &sharedFolder)
{
    const FilePath copy = sharedFolder.pathAppended("kit");
    for (const QString &folder : QStringList{"workspace/keys", "ca", "sdk/package-signing"}) {
        const FilePath source = standinKitFolder().pathAppended(folder);
        const FilePath target = copy.pathAppended(folder);
        if (!target.ensureWritableDir())
            return {};
        for (const FilePath &file : source.dirEntries(QDir::Files)) {
            if (!file.copyFile(target.pathAppended(file.fileName())))
                return {};
        }
    }
    return copy;
}

SignTestKit::SignTestKit(const FilePath &norkPath)
{
    const TestEngine engine{engineName(),
                            {{rpmsignTarget(), {"rpmsign-external", "openssl"}, {}},
                             {customerSignTarget(),
                              {"customer-sign", "vyxcert-cli", "openssl"},
                              {}}},
                            true};
    m_testKit = std::make_unique<TestKit>(QList<TestEngine>{engine},
                                          TestKit::Options{norkPath, {}, {}});
    if (!m_testKit->isLoaded()) {
        m_errorString = m_testKit->errorString();
        return;
    }
    const FilePath keys = workspace().pathAppended("keys");
    if (!keys.ensureWritableDir()) {
        m_errorString = "Cannot make " + keys.toUserOutput();
        return;
    }
    const FilePath source = standinKitFolder().pathAppended("workspace/keys");
    for (const FilePath &file : source.dirEntries(QDir::Files)) {
        const Result copied = file.copyFile(keys.pathAppended(file.fileName()));
        if (!copied) {
            m_errorString = copied.error();
            return;
        }
    }
    if (!rpmsignKit() || !customerSignKit())
        m_errorString = "The kits of the test engine are missing.";
}

QString SignTestKit::key(const QString &name) const
{
    return workspace().pathAppended("keys/" + name).toFSPathString();
}

static Kit *kitFor(const QString &engine, const QString &target)
{
    for (Kit *kit : KitManager::kits()) {
        if (OrvSdkKitAspectFactory::engineName(kit) == engine
            && OrvSdkKitAspectFactory::targetName(kit) == target) {
            return kit;
        }
    }
    return nullptr;
}

Kit *SignTestKit::rpmsignKit() const
{
    return kitFor(engineName(), rpmsignTarget());
}

Kit *SignTestKit::customerSignKit() const
{
    return kitFor(engineName(), customerSignTarget());
}

static QByteArray recipe(Packages packages)
{
    QByteArray text = R"(%global __os_install_post %{nil}
%global _buildhost tamarek
Name:           tamarek-sign
Version:        1.0
Release:        1
Summary:        Signing test package
License:        GPL-3.0-only
BuildArch:      noarch

%description
Signed by the tests.

%package debuginfo
Summary:        Debug part of the signing test package

%description debuginfo
Debug part.

%install
install -d %{buildroot}%{_datadir}/tamarek-sign
)";
    // rpmbuild fails on installed files no package holds.
    if (packages != Packages::DebugOnly) {
        text += "echo main > %{buildroot}%{_datadir}/tamarek-sign/main.txt\n";
    }
    if (packages != Packages::MainOnly)
        text += "echo debug > %{buildroot}%{_datadir}/tamarek-sign/debug.txt\n";
    if (packages != Packages::DebugOnly)
        text += "\n%files\n%{_datadir}/tamarek-sign/main.txt\n";
    if (packages != Packages::MainOnly)
        text += "\n%files debuginfo\n%{_datadir}/tamarek-sign/debug.txt\n";
    return text;
}

// The engine sees the recipe only in its workspace, where a user's project must be too.
static QString projectFolderTemplate(const Kit *kit)
{
    const Nork::BuildEngine *engine = kit ? OrvSdkKitAspectFactory::buildEngine(kit) : nullptr;
    if (!engine || !engine->sharedSrcPath().isDir())
        return QDir::tempPath() + "/tamarek-project-XXXXXX";
    return engine->sharedSrcPath().pathAppended("project-XXXXXX").toFSPathString();
}

SignTestProject::SignTestProject(Kit *kit, Packages packages)
    : m_folder(projectFolderTemplate(kit))
{
    QTC_ASSERT(m_folder.isValid() && kit, return );
    const FilePath folder = FilePath::fromString(m_folder.path());
    QTC_CHECK(folder.pathAppended("sign.rpmrecipe").writeFileContents(recipe(packages)));
    const FilePath projectFile = folder.pathAppended("sign.orvproject");
    const QJsonObject contents{{"name", "signing"}, {"recipe", "sign.rpmrecipe"}};
    QTC_CHECK(projectFile.writeFileContents(QJsonDocument(contents).toJson()));
    m_project = new OrvProject(projectFile);
    QTC_CHECK(m_project->addTargetForKit(kit));
    ProjectManager::addProject(m_project);
}

SignTestProject::~SignTestProject()
{
    if (m_project)
        ProjectManager::removeProject(m_project);
}

Target *SignTestProject::target() const
{
    return m_project ? m_project->activeTarget() : nullptr;
}

BuildStepList *SignTestProject::deploySteps() const
{
    Target *target = this->target();
    QTC_ASSERT(target && target->activeDeployConfiguration(), return nullptr);
    return target->activeDeployConfiguration()->stepList();
}

OrvVbtRpmBuildStep *SignTestProject::rpmBuildStep() const
{
    BuildStepList *steps = deploySteps();
    return steps ? steps->firstOfType<OrvVbtRpmBuildStep>() : nullptr;
}

BuildStep *SignTestProject::addStep(Id stepId, int position) const
{
    BuildStepList *steps = deploySteps();
    QTC_ASSERT(steps, return nullptr);
    if (position < 0)
        position = steps->count();
    steps->insertStep(position, stepId);
    BuildStep *step = steps->at(position);
    QTC_ASSERT(step && step->id() == stepId, return nullptr);
    return step;
}

bool SignTestProject::deploy() const
{
    QSignalSpy finished(BuildManager::instance(), &BuildManager::buildQueueFinished);
    BuildManager::deployProjects({m_project});
    // A deploy whose steps all work in their setup ends before the call returns.
    if (finished.isEmpty() && !finished.wait(DEPLOY_TIMEOUT_MS))
        return false;
    return finished.first().first().toBool();
}

StepOutput::StepOutput(BuildStep *step)
{
    connect(step,
            &BuildStep::addOutput,
            this,
            [this](const QString &text,
                   BuildStep::OutputFormat format,
                   BuildStep::OutputNewlineSetting newline) {
                QTC_CHECK(newline == BuildStep::DoAppendNewline);
                m_lines.append({format, text});
            });
    connect(step, &BuildStep::addTask, this, [this](const ProjectExplorer::Task &task) {
        const QString type = task.type == ProjectExplorer::Task::Warning ? QString("Warning")
                                                                          : QString("Error");
        m_lines.append({BuildStep::OutputFormat::NormalMessage,
                        type + ": " + task.description(),
                        true});
    });
}

QString formatName(BuildStep::OutputFormat format)
{
    switch (format) {
    case BuildStep::OutputFormat::Stdout:
        return "Stdout";
    case BuildStep::OutputFormat::Stderr:
        return "Stderr";
    case BuildStep::OutputFormat::NormalMessage:
        return "NormalMessage";
    case BuildStep::OutputFormat::ErrorMessage:
        return "ErrorMessage";
    }
    return "?";
}

SettingsScope::SettingsScope(const QStringList &keys)
{
    const QSettings settings;
    for (const QString &key : keys)
        m_saved.insert(key, settings.contains(key) ? settings.value(key) : QVariant());
}

SettingsScope::~SettingsScope()
{
    QSettings settings;
    for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
        if (it.value().isValid())
            settings.setValue(it.key(), it.value());
        else
            settings.remove(it.key());
    }
}

void SettingsScope::set(const QString &key, const QVariant &value)
{
    QTC_CHECK(m_saved.contains(key));
    QSettings().setValue(key, value);
}

void SettingsScope::remove(const QString &key)
{
    QTC_CHECK(m_saved.contains(key));
    QSettings().remove(key);
}

} // namespace Tamarek::Testing
