// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <neverraos/orvproject.h>

#include <utils/filepath.h>

#include <QObject>
#include <QPointer>

#include <functional>

namespace ExtensionSystem {
class IPlugin;
}
namespace ProjectExplorer {
class Kit;
}

namespace Orv::Internal {

// Each test file registers its test object with NEVERRAOS_TEST.
int addTestCreator(const std::function<QObject *()> &creator);
void registerTests(ExtensionSystem::IPlugin *plugin);

// An example-type project written into a folder, with a target for each of
// the kits; closed (or deleted, when never opened) when this goes.
class TestProject
{
public:
    TestProject(const Utils::FilePath &folder,
                const Utils::FilePath &recipe,
                const QList<ProjectExplorer::Kit *> &kits);
    ~TestProject();

    OrvProject *project() const { return m_project; }
    void open();

private:
    QPointer<OrvProject> m_project;
};

} // namespace Orv::Internal

#define NEVERRAOS_TEST(Class) \
    static const int neverraosTest##Class = ::Orv::Internal::addTestCreator( \
        [] { return new Class; });
