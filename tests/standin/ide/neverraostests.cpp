// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "neverraostests.h"

#include <neverraos/orvproject.h>

#include <extensionsystem/iplugin.h>

#include <projectexplorer/projectmanager.h>

#include <utils/qtcassert.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>

using namespace ProjectExplorer;

namespace Orv::Internal {

static QList<std::function<QObject *()>> &creators()
{
    static QList<std::function<QObject *()>> list;
    return list;
}

int addTestCreator(const std::function<QObject *()> &creator)
{
    creators().append(creator);
    return int(creators().size());
}

void registerTests(ExtensionSystem::IPlugin *plugin)
{
    for (const auto &creator : creators())
        plugin->addTestCreator(creator);
}

TestProject::TestProject(const Utils::FilePath &folder,
                         const Utils::FilePath &recipe,
                         const QList<Kit *> &kits)
{
    const Utils::FilePath file = folder.pathAppended("test.orvproject");
    const QJsonObject contents{{"name", "orvtest"}, {"recipe", recipe.toFSPathString()}};
    QTC_CHECK(file.writeFileContents(QJsonDocument(contents).toJson()));
    m_project = new OrvProject(file);
    for (Kit *kit : kits)
        QTC_CHECK(m_project->addTargetForKit(kit));
}

TestProject::~TestProject()
{
    if (!m_project)
        return;
    if (ProjectManager::hasProject(m_project))
        ProjectManager::removeProject(m_project);
    else
        delete m_project;
}

void TestProject::open()
{
    ProjectManager::addProject(m_project);
}

} // namespace Orv::Internal
