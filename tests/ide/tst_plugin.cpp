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
    for (PluginSpec *spec : PluginManager::plugins()) {
        if (spec->id() == "tamarek")
            return spec;
    }
    return nullptr;
}

void PluginTest::testMetadata_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    PluginSpec *spec = tamarekSpec();
    QVERIFY(spec);
    QTest::newRow("name") << spec->name() << "Tamarek";
    QTest::newRow("id") << spec->id() << "tamarek";
    QTest::newRow("version") << spec->version() << "16.0.0";
    QTest::newRow("compat version") << spec->compatVersion() << "16.0.0";
    QTest::newRow("description") << spec->description()
                                 << "Plugin for managing the step of signing RPM packages";
    QTest::newRow("vendor") << spec->vendor() << "Tamarek";
    QTest::newRow("vendor id") << spec->vendorId() << "tamarek";
    QTest::newRow("copyright") << spec->copyright() << "(C) 2026 Tamarek";
    QTest::newRow("license") << spec->license()
                             << "GNU General Public License v3.0 only (GPL-3.0-only)";
    QTest::newRow("url") << spec->url() << "https://tamarek.dev";
}

void PluginTest::testMetadata()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(value, expected);
}

void PluginTest::testDependencies()
{
    PluginSpec *spec = tamarekSpec();
    QVERIFY(spec);
    QCOMPARE(spec->state(), PluginSpec::Running);
    QVERIFY(!spec->hasError());

    QStringList dependencies;
    for (const PluginDependency &dependency : spec->dependencies()) {
        QCOMPARE(dependency.type, PluginDependency::Required);
        dependencies << dependency.id + ' ' + dependency.version;
    }
    QCOMPARE(dependencies,
             QStringList({"core 16.0.0", "projectexplorer 16.0.0", "neverraos 16.0.0"}));
}

TAMAREK_TEST(PluginTest)

} // namespace Tamarek::Internal

#include "tst_plugin.moc"
