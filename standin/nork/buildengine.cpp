// Stands in for the kit's build engine: the virtual machine that builds packages.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "buildengine.h"

namespace Nork {

BuildEngine::BuildEngine(QObject *parent)
    : QObject(parent)
{}

BuildEngine::~BuildEngine() = default;

QString BuildEngine::name() const
{
    return m_name;
}

Utils::FilePath BuildEngine::sharedHomePath() const
{
    return m_sharedHomePath;
}

Utils::FilePath BuildEngine::sharedSrcPath() const
{
    return m_sharedSrcPath;
}

QStringList BuildEngine::buildTargetOrigins() const
{
    QStringList names;
    for (const BuildTargetData &target : m_buildTargets)
        names << target.name;
    return names;
}

QList<BuildTargetData> BuildEngine::buildTargets() const
{
    return m_buildTargets;
}

BuildTargetData BuildEngine::buildTarget(const QString &name) const
{
    for (const BuildTargetData &target : m_buildTargets) {
        if (target.name == name)
            return target;
    }
    return {};
}

void BuildEngine::setSharedSrcPath(const Utils::FilePath &path)
{
    if (path == m_sharedSrcPath)
        return;
    m_sharedSrcPath = path;
    emit sharedSrcPathChanged(path);
}

void BuildEngine::setName(const QString &name)
{
    m_name = name;
}

void BuildEngine::setSharedHomePath(const Utils::FilePath &path)
{
    m_sharedHomePath = path;
}

void BuildEngine::setBuildTargets(const QList<BuildTargetData> &targets)
{
    m_buildTargets = targets;
}

} // namespace Nork
