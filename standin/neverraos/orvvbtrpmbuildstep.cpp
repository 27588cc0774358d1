// Stands in for the Neverra OS kit's RPM build step.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "orvvbtrpmbuildstep.h"

#include "neverraosconstants.h"
#include "neverraostr.h"
#include "orvproject.h"
#include "orvsdkkitaspect.h"
#include "orvsettings.h"

#include <nork/buildengine.h>
#include <nork/sdk.h>

#include <projectexplorer/kit.h>
#include <projectexplorer/projectexplorerconstants.h>
#include <projectexplorer/target.h>
#include <projectexplorer/task.h>

#include <solutions/tasking/tasktree.h>

#include <utils/commandline.h>
#include <utils/environment.h>

#include <QDirIterator>
#include <QRegularExpression>

using namespace ProjectExplorer;
using namespace Tasking;
using namespace Utils;

namespace Orv::Internal {

OrvVbtRpmBuildStep::OrvVbtRpmBuildStep(BuildStepList *stepList, Id id)
    : OrvProcessStep(stepList, id)
{
    setDefaultDisplayName(displayName());
    setCommandLineProvider([this] { return commandLine(); });
    setWorkingDirectoryProvider([this] {
        const Nork::BuildEngine *engine = OrvSdkKitAspectFactory::buildEngine(kit());
        return engine ? engine->sharedSrcPath() : FilePath();
    });
    // The IDE's copy of the environment predates a configuration loaded later.
    setEnvironmentModifier([](Environment &env) {
        env.set(Constants::KIT_CONFIG_VARIABLE, Nork::Sdk::configurationPath());
    });
    setSummaryUpdater([this] {
        return Tr::tr("<b>%1:</b> %2 in %3")
            .arg(displayName(),
                 recipeFilePath().fileName(),
                 OrvSdkKitAspectFactory::targetName(kit()));
    });
}

Id OrvVbtRpmBuildStep::stepId()
{
    return Constants::RPM_BUILD_STEP_ID;
}

QString OrvVbtRpmBuildStep::displayName()
{
    return QLatin1String(Constants::RPM_BUILD_STEP_DISPLAY_NAME);
}

QStringList OrvVbtRpmBuildStep::packages() const
{
    return m_packages;
}

QStringList OrvVbtRpmBuildStep::deployablePackagesFileNames() const
{
    return m_packages;
}

FilePath OrvVbtRpmBuildStep::recipeFilePath() const
{
    return OrvProject::recipeOf(project());
}

FilePath OrvVbtRpmBuildStep::outputDirectory() const
{
    const Nork::BuildEngine *engine = OrvSdkKitAspectFactory::buildEngine(kit());
    if (!engine)
        return {};
    QString name = QString("build-%1-%2")
                       .arg(project()->displayName(), OrvSdkKitAspectFactory::targetName(kit()));
    name.replace(QRegularExpression("[^A-Za-z0-9._-]"), "_");
    return engine->sharedSrcPath().pathAppended(name);
}

bool OrvVbtRpmBuildStep::init()
{
    if (!OrvProcessStep::init(NoBuildConfiguration))
        return false;
    const FilePath recipe = recipeFilePath();
    if (!recipe.isReadableFile()) {
        const QString message
            = recipe.isEmpty()
                  ? Tr::tr("The project \"%1\" has no RPM recipe.").arg(project()->displayName())
                  : Tr::tr("The RPM recipe \"%1\" cannot be read.").arg(recipe.toUserOutput());
        emit addTask(DeploymentTask(Task::Error, message));
        emit addOutput(message, OutputFormat::ErrorMessage);
        return false;
    }
    return true;
}

CommandLine OrvVbtRpmBuildStep::commandLine() const
{
    return CommandLine(OrvSettings::norkPath(),
                       {"engine",
                        "exec",
                        "-tt",
                        "sb2",
                        "-t",
                        OrvSdkKitAspectFactory::targetName(kit()),
                        "rpmbuild",
                        "--define",
                        "_topdir " + outputDirectory().path(),
                        "-bb",
                        recipeFilePath().path()});
}

GroupItem OrvVbtRpmBuildStep::runRecipe()
{
    const auto onSetup = [this] {
        m_packages.clear();
        // Packages of an earlier run must not pass for this run's.
        const FilePath packagesDir = outputDirectory().pathAppended("RPMS");
        if (packagesDir.exists() && !packagesDir.removeRecursively()) {
            emit addOutput(Tr::tr("Cannot remove the packages of the last run in \"%1\".")
                               .arg(packagesDir.toUserOutput()),
                           OutputFormat::ErrorMessage);
            return SetupResult::StopWithError;
        }
        return SetupResult::Continue;
    };
    const auto onDone = [this] { collectPackages(); };
    return Group{onGroupSetup(onSetup), defaultProcessTask(), onGroupDone(onDone)};
}

void OrvVbtRpmBuildStep::collectPackages()
{
    QStringList found;
    QDirIterator it(outputDirectory().pathAppended("RPMS").toFSPathString(),
                    {"*.rpm"},
                    QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.endsWith(".src.rpm"))
            found << path;
    }
    found.sort();
    m_packages = found;
}

OrvVbtRpmBuildStepFactory::OrvVbtRpmBuildStepFactory()
{
    registerStep<OrvVbtRpmBuildStep>(OrvVbtRpmBuildStep::stepId());
    setDisplayName(OrvVbtRpmBuildStep::displayName());
    setSupportedStepList(ProjectExplorer::Constants::BUILDSTEPS_DEPLOY);
    setSupportedDeviceType(Constants::DEVICE_TYPE);
    setRepeatable(false);
}

} // namespace Orv::Internal
