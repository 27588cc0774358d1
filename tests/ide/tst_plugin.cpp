// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "tamarektests.h"

#include <extensionsystem/pluginmanager.h>
#include <extensionsystem/pluginspec.h>

#include <QtTest>

using namespace ExtensionSystem;

namespace Tamarek::Internal {

class PluginTest : public QObject
{
    Q_OBJECT

private slots:
    void testMetadata_data();
    void testMetadata();
    void testDependencies();
};

static PluginSpec *tamarekSpec()
{
    for (PluginSpec *pluginSpec : PluginManager::plugins()) {
        if (pluginSpec->id() == "tamarek")
            return pluginSpec;
    }
    return nullptr;
}

void PluginTest::testMetadata_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    PluginSpec *pluginSpec = tamarekSpec();
    QVERIFY(pluginSpec);
    QTest::newRow("name") << pluginSpec->name() << "Tamarek";
    QTest::newRow("id") << pluginSpec->id() << "tamarek";
    QTest::newRow("version") << pluginSpec->version() << "16.0.0";
    QTest::newRow("compat version") << pluginSpec->compatVersion() << "16.0.0";
    QTest::newRow("description") << pluginSpec->description()
                                 << "Plugin for managing the step of signing RPM packages";
    QTest::newRow("vendor") << pluginSpec->vendor() << "Tamarek";
    QTest::newRow("vendor id") << pluginSpec->vendorId() << "tamarek";
    QTest::newRow("copyright") << pluginSpec->copyright() << "(C) 2026 Tamarek";
    QTest::newRow("license") << pluginSpec->license()
                             << "GNU General Public License v3.0 only (GPL-3.0-only)";
    QTest::newRow("url") << pluginSpec->url() << "https://tamarek.dev";
}

void PluginTest::testMetadata()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(value, expected);
}

void PluginTest::testDependencies()
{
    PluginSpec *pluginSpec = tamarekSpec();
    QVERIFY(pluginSpec);
    QCOMPARE(pluginSpec->state(), PluginSpec::Running);
    QVERIFY(!pluginSpec->hasError());

    QStringList dependencies;
    for (const PluginDependency &dependency : pluginSpec->dependencies()) {
        QCOMPARE(dependency.type, PluginDependency::Required);
        dependencies << dependency.id + ' ' + dependency.version;
    }
    QCOMPARE(dependencies,
             QStringList({"core 16.0.0", "projectexplorer 16.0.0", "neverraos 16.0.0"}));
}

TAMAREK_TEST(PluginTest)

} // namespace Tamarek::Internal

#include "tst_plugin.moc"
