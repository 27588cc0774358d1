// Test scaffolding for the stand-in kit: kit configurations of a test's own.
// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/filepath.h>

#include <QList>
#include <QMetaType>
#include <QStringList>
#include <QTemporaryDir>

namespace ProjectExplorer {
class Kit;
}

namespace Orv::Testing {

struct TestTarget
{
    QString name;
    QStringList tools; // the signing tools that the target provides
    QString root;      // empty: the root of the configuration current before
};

struct TestEngine
{
    QString name;
    QList<TestTarget> targets;
    bool canStart = true;
};

// A kit configuration of the test's own: written into a temporary folder, with
// each engine's shared home and source folders made under it, and loaded at
// once. The destructor loads the configuration that was current before.
//
//     TestKit kit({{"Engine", {{"Target-a", {"rpmsign-external"}}}}});
//     QVERIFY2(kit.isLoaded(), qPrintable(kit.errorString()));
class TestKit
{
public:
    // Unset values (empty paths, no osVariant) come from the current configuration.
    struct Options
    {
        Utils::FilePath norkPath;
        QString installationPath;
        QString osVariant;
    };

    TestKit();
    explicit TestKit(const QList<TestEngine> &engines);
    TestKit(const QList<TestEngine> &engines, const Options &options);
    ~TestKit();

    TestKit(const TestKit &) = delete;
    TestKit &operator=(const TestKit &) = delete;

    bool isLoaded() const { return m_loaded; }
    QString errorString() const { return m_errorString; }

    Utils::FilePath folder() const;
    Utils::FilePath configurationPath() const;
    Utils::FilePath sharedHomePath(int engine = 0) const;
    Utils::FilePath sharedSrcPath(int engine = 0) const;
    // The IDE's kit for a target of an engine; null when there is none.
    ProjectExplorer::Kit *kit(int engine = 0, int target = 0) const;

    // One engine "Test Engine" with the target "TestTarget-aarch64", which
    // provides rpmsign-external and openssl.
    static TestEngine defaultEngine();
    // The root of the first target of the current configuration.
    static QString currentTargetRoot();

private:
    bool write(const QList<TestEngine> &engines, const Options &options);

    QTemporaryDir m_folder;
    QList<TestEngine> m_engines;
    QString m_previousConfiguration;
    QString m_errorString;
    bool m_loaded = false;
};

} // namespace Orv::Testing

Q_DECLARE_METATYPE(Orv::Testing::TestTarget)
Q_DECLARE_METATYPE(Orv::Testing::TestEngine)
