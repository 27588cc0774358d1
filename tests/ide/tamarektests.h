// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <QObject>

#include <functional>

namespace ExtensionSystem { class IPlugin; }

namespace Tamarek::Internal {

// Each test file registers its test object with TAMAREK_TEST, so adding a
// test never touches a central list.
int addTestCreator(const std::function<QObject *()> &creator);
void registerTests(ExtensionSystem::IPlugin *plugin);

} // namespace Tamarek::Internal

#define TAMAREK_TEST(Class) \
    static const int tamarekTest##Class = ::Tamarek::Internal::addTestCreator( \
        [] { return new Class; });
