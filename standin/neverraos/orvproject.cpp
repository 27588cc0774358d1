// Stands in for a Neverra OS application project: a JSON file naming its RPM recipe.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "orvproject.h"

#include "neverraosconstants.h"
#include "neverraostr.h"
#include "orvkitmanager.h"

#include <projectexplorer/buildconfiguration.h>
#include <projectexplorer/buildinfo.h>
#include <projectexplorer/buildsystem.h>
#include <projectexplorer/kit.h>
#include <projectexplorer/projectmanager.h>
#include <projectexplorer/projectnodes.h>
#include <projectexplorer/target.h>

#include <utils/mimeutils.h>

#include <QJsonDocument>
#include <QJsonObject>

using namespace ProjectExplorer;
using namespace Utils;

namespace Orv::Internal {

const char MIME_TYPES[] = R"(<?xml version="1.0"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="%1">
    <sub-class-of type="text/plain"/>
    <comment>Neverra OS example project</comment>
    <glob pattern="*.orvproject"/>
  </mime-type>
</mime-info>
)";

class OrvBuildSystem final : public BuildSystem
{
public:
    explicit OrvBuildSystem(Target *target)
        : BuildSystem(target)
    {
        connect(target->project(),
                &Project::projectFileIsDirty,
                this,
                &BuildSystem::requestDelayedParse);
        requestParse();
    }

    QString name() const final { return QLatin1String("orv"); }

    void triggerParsing() final
    {
        ParseGuard guard = guardParsingRun();
        auto project = static_cast<OrvProject *>(this->project());
        QString error;
        const bool ok = project->readProjectFile(&error);

        auto root = std::make_unique<ProjectNode>(projectDirectory());
        root->setDisplayName(project->displayName());
        root->addNestedNode(std::make_unique<FileNode>(projectFilePath(), FileType::Project));
        if (ok) {
            root->addNestedNode(
                std::make_unique<FileNode>(project->recipeFilePath(), FileType::Source));
        }
        setRootProjectNode(std::move(root));

        if (ok)
            guard.markAsSuccess();
        else
            emit errorOccurred(error);
    }
};

// Without one, the IDE warns about each target; the project builds in its deploy step.
class OrvBuildConfigurationFactory final : public BuildConfigurationFactory
{
public:
    OrvBuildConfigurationFactory()
    {
        setSupportedProjectType(Constants::PROJECT_ID);
        setSupportedProjectMimeTypeName(Constants::PROJECT_MIME_TYPE);
        setBuildGenerator([](const Kit *, const FilePath &, bool) { return QList<BuildInfo>(); });
        registerBuildConfiguration<BuildConfiguration>(Constants::BUILD_CONFIGURATION_ID);
    }
};

OrvProject::OrvProject(const FilePath &projectFile)
    : Project(Constants::PROJECT_MIME_TYPE, projectFile)
{
    setId(Constants::PROJECT_ID);
    setDisplayName(projectFile.completeBaseName());
    setBuildSystemCreator<OrvBuildSystem>();
    readProjectFile();
}

bool OrvProject::readProjectFile(QString *errorString)
{
    m_recipeFilePath.clear();
    const auto fail = [errorString](const QString &message) {
        if (errorString)
            *errorString = message;
        return false;
    };
    const expected_str<QByteArray> contents = projectFilePath().fileContents();
    if (!contents)
        return fail(contents.error());
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(*contents, &parseError);
    if (!document.isObject()) {
        return fail(Tr::tr("The project file \"%1\" is not valid: %2")
                        .arg(projectFilePath().toUserOutput(), parseError.errorString()));
    }
    const QJsonObject root = document.object();
    const QString name = root.value("name").toString();
    if (!name.isEmpty())
        setDisplayName(name);
    const QString recipe = root.value("recipe").toString();
    if (recipe.isEmpty()) {
        return fail(Tr::tr("The project file \"%1\" names no RPM recipe.")
                        .arg(projectFilePath().toUserOutput()));
    }
    m_recipeFilePath = projectDirectory().resolvePath(recipe);
    return true;
}

FilePath OrvProject::recipeOf(const Project *project)
{
    if (auto orvProject = qobject_cast<const OrvProject *>(project))
        return orvProject->recipeFilePath();
    return {};
}

Project::RestoreResult OrvProject::fromMap(const Store &map, QString *errorMessage)
{
    const RestoreResult result = Project::fromMap(map, errorMessage);
    // A project opened for the first time targets every kit of the build engines.
    if (result == RestoreResult::Ok && targets().isEmpty()) {
        for (Kit *kit : OrvKitManager::kits()) {
            if (kit->isValid())
                addTargetForKit(kit);
        }
    }
    return result;
}

void setupOrvProject()
{
    Utils::addMimeTypes("NeverraOS.mimetypes",
                        QString::fromLatin1(MIME_TYPES).arg(Constants::PROJECT_MIME_TYPE).toUtf8());
    ProjectManager::registerProjectType<OrvProject>(Constants::PROJECT_MIME_TYPE);
    static OrvBuildConfigurationFactory theBuildConfigurationFactory;
}

} // namespace Orv::Internal
