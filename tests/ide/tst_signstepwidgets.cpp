// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtestproject.h"
#include "tamarektests.h"

#include "customersignstepwidget.h"
#include "rpmsignexternalwidget.h"
#include "signingdefaults.h"
#include "tamarekconstants.h"

#include <utils/fancylineedit.h>
#include <utils/pathchooser.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QtTest>

using namespace Utils;

namespace Tamarek::Internal {

// The settings widgets of the two sign steps, offscreen and on their own.
class SignStepWidgetsTest : public QObject
{
    Q_OBJECT

private slots:
    void testCustomerSignForm();
    void testCustomerSignValidation_data();
    void testCustomerSignValidation();
    void testCustomerSignSetters();
    void testSignDebugPackageClicks();

    void testRpmsignExternalForm();
    void testRpmsignExternalValidation_data();
    void testRpmsignExternalValidation();
    void testKeyTypeSwitch();
    void testSetUseDefaultValues_data();
    void testSetUseDefaultValues();
    void testSetKeyIgnoresEmptyPath();
    void testFilledChoosersValidOnceShown();

    void testVerificationControls_data();
    void testVerificationControls();
};

static PathChooser *chooser(QWidget *widget, const char name[])
{
    auto pathChooser = widget->findChild<PathChooser *>(QLatin1String(name));
    if (!pathChooser)
        qWarning("no path chooser %s", name);
    return pathChooser;
}

static QString labelText(QWidget *widget, const char name[])
{
    auto label = widget->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QString("<no label %1>").arg(QLatin1String(name));
}

static QList<QVariantList> calls(const QSignalSpy &spy)
{
    return spy;
}

// The validation runs on a change of the text, so the text is set anew.
static void revalidate(PathChooser *pathChooser, const QString &path)
{
    pathChooser->setPath(path + "x");
    pathChooser->setPath(path);
}

void SignStepWidgetsTest::testCustomerSignForm()
{
    CustomerSignStepWidget widget(nullptr);
    QCOMPARE(widget.objectName(), "Tamarek__Internal__CustomerSignStepWidget");
    QCOMPARE(widget.windowTitle(), "Form");
    QCOMPARE(widget.size(), QSize(400, 175));
    QCOMPARE(labelText(&widget, "commandLabel"), "Command:");
    QCOMPARE(labelText(&widget, "commandLabelEdit"), "customer-sign");
    QCOMPARE(labelText(&widget, "binariesKeyLabel"), "Binaries key:");
    QCOMPARE(labelText(&widget, "packagesKeyLabel"), "Packages key:");
    QCOMPARE(labelText(&widget, "packagesCertLabel"), "Packages certificate:");
    QCOMPARE(labelText(&widget, "packagesClientCertLabel"), "Packages client certificate:");
    widget.setCommand("other-sign");
    QCOMPARE(labelText(&widget, "commandLabelEdit"), "other-sign");

    const QList<QPair<const char *, QString>>
        choosers{{"binariesKeyPathChooser", "Select binaries key"},
                 {"packagesKeyPathChooser", "Select packages key"},
                 {"packagesCertPathChooser", "Select packages certificate"},
                 {"packagesClientCertPathChooser", "Select packages client certificate"}};
    for (const auto &[name, title] : choosers) {
        PathChooser *pathChooser = chooser(&widget, name);
        QVERIFY(pathChooser);
        QCOMPARE(pathChooser->expectedKind(), PathChooser::File);
        QCOMPARE(pathChooser->promptDialogTitle(), title);
    }

    auto checkBox = widget.findChild<QCheckBox *>("signDebugPackageCheckBox");
    QVERIFY(checkBox);
    QCOMPARE(checkBox->text(), "Sign debug package");
    QVERIFY(!checkBox->isTristate());
    QCOMPARE(checkBox->toolTip(),
             "<html><head/><body><p>If this option is disabled, packages debuginfo and "
             "debugsource will not be signed</p></body></html>");
}

void SignStepWidgetsTest::testCustomerSignValidation_data()
{
    QTest::addColumn<QString>("chooserName");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("workspace");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("valid");

    const QString home = "/home/u/sdk-home";
    const QString workspace = "/home/u/work";
    const QStringList required{"binariesKeyPathChooser",
                               "packagesKeyPathChooser",
                               "packagesCertPathChooser"};
    for (const QString &name : required) {
        const QByteArray row = name.toUtf8() + ": ";
        QTest::newRow(QByteArray(row + "empty").constData())
            << name << home << workspace << "" << false;
        QTest::newRow(QByteArray(row + "in the workspace").constData())
            << name << home << workspace << "/home/u/work/keys/a.pem" << true;
        QTest::newRow(QByteArray(row + "in the shared home").constData())
            << name << home << workspace << "/home/u/sdk-home/.orvsdk/a.pem" << true;
        QTest::newRow(QByteArray(row + "outside both").constData())
            << name << home << workspace << "/home/u/other/a.pem" << false;
    }
    const QString client = "packagesClientCertPathChooser";
    QTest::newRow("client: empty") << client << home << workspace << "" << true;
    const QString root = "verifyRootCertificatePathChooser";
    QTest::newRow("CA: in the shared home") << root << home << workspace
                                            << "/home/u/sdk-home/ca.pem" << true;
    QTest::newRow("CA: outside both") << root << home << workspace << "/etc/ca.pem" << false;
    QTest::newRow("client: outside both") << client << home << workspace << "/etc/a.pem" << false;
    QTest::newRow("client: in the workspace")
        << client << home << workspace << "/home/u/work/a.pem" << true;
    QTest::newRow("a sibling folder sharing the prefix")
        << "packagesKeyPathChooser" << home << workspace << "/home/u/work2/key.pem" << false;
    QTest::newRow("dot-dot out of the workspace")
        << "packagesKeyPathChooser" << home << workspace << "/home/u/work/../key.pem" << false;
    QTest::newRow("a missing file inside is valid")
        << "binariesKeyPathChooser" << home << workspace << "/home/u/work/no-such.pem" << true;
    QTest::newRow("no shared folders: any path invalid") << "binariesKeyPathChooser"
                                                         << ""
                                                         << ""
                                                         << "/home/u/work/a.pem" << false;
    QTest::newRow("no shared folders: empty client certificate valid") << client << ""
                                                                       << ""
                                                                       << "" << true;
}

void SignStepWidgetsTest::testCustomerSignValidation()
{
    QFETCH(QString, chooserName);
    QFETCH(QString, home);
    QFETCH(QString, workspace);
    QFETCH(QString, path);
    QFETCH(bool, valid);

    CustomerSignStepWidget widget(nullptr);
    widget.setSharedHomePath(FilePath::fromString(home));
    widget.setSharedSrcPath(FilePath::fromString(workspace));
    PathChooser *pathChooser = chooser(&widget, chooserName.toUtf8().constData());
    QVERIFY(pathChooser);
    revalidate(pathChooser, path);

    QCOMPARE(pathChooser->isValid(), valid);
    const QString message = valid ? QString()
                                  : QString("The path must be inside shared folders:\n%1\n%2")
                                        .arg(FilePath::fromString(home).toUserOutput(),
                                             FilePath::fromString(workspace).toUserOutput());
    QCOMPARE(pathChooser->errorMessage(), message);
}

void SignStepWidgetsTest::testCustomerSignSetters()
{
    CustomerSignStepWidget widget(nullptr);
    QSignalSpy binaries(&widget, &CustomerSignStepWidget::binariesKeyChanged);
    QSignalSpy packagesKey(&widget, &CustomerSignStepWidget::packagesKeyChanged);
    QSignalSpy packagesCert(&widget, &CustomerSignStepWidget::packagesCertChanged);
    QSignalSpy clientCert(&widget, &CustomerSignStepWidget::packagesClientCertChanged);
    QSignalSpy debug(&widget, &CustomerSignStepWidget::signDebugPackages);

    widget.setBinariesKey("/w/b.pem");
    widget.setPackagesKey("/w/k.pem");
    widget.setPackagesCert("/w/c.pem");
    widget.setPackagesClientCert("/w/cc.pem");
    widget.setSignDebugPackage(false);
    widget.setSignDebugPackage(true);

    QCOMPARE(calls(binaries), QList<QVariantList>{{"/w/b.pem"}});
    QCOMPARE(calls(packagesKey), QList<QVariantList>{{"/w/k.pem"}});
    QCOMPARE(calls(packagesCert), QList<QVariantList>{{"/w/c.pem"}});
    QCOMPARE(calls(clientCert), QList<QVariantList>{{"/w/cc.pem"}});
    QCOMPARE(debug.count(), 0);

    // Typing reports each change as well.
    chooser(&widget, "packagesKeyPathChooser")->lineEdit()->clear();
    QTest::keyClicks(chooser(&widget, "packagesKeyPathChooser")->lineEdit(), "/w");
    QCOMPARE(packagesKey.count(), 4);
    QCOMPARE(packagesKey.at(1).first().toString(), "");
    QCOMPARE(packagesKey.last().first().toString(), "/w");
    QCOMPARE(binaries.count(), 1);
}

void SignStepWidgetsTest::testSignDebugPackageClicks()
{
    CustomerSignStepWidget widget(nullptr);
    widget.setSignDebugPackage(true);
    QSignalSpy debug(&widget, &CustomerSignStepWidget::signDebugPackages);
    auto checkBox = widget.findChild<QCheckBox *>("signDebugPackageCheckBox");
    QVERIFY(checkBox);

    checkBox->setChecked(false);
    checkBox->toggle();
    QCOMPARE(debug.count(), 0);

    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QTest::mouseClick(checkBox, Qt::LeftButton, {}, checkBox->rect().center());
    QTest::mouseClick(checkBox, Qt::LeftButton, {}, checkBox->rect().center());
    QCOMPARE(calls(debug), (QList<QVariantList>{{false}, {true}}));
}

void SignStepWidgetsTest::testRpmsignExternalForm()
{
    RpmsignExternalWidget widget(nullptr);
    QCOMPARE(widget.objectName(), "Tamarek__Internal__RpmsignExternalWidget");
    QCOMPARE(widget.windowTitle(), "Form");
    QCOMPARE(widget.size(), QSize(400, 118));
    QCOMPARE(labelText(&widget, "commandLabel"), "Command:");
    QCOMPARE(labelText(&widget, "commandLabelEdit"), "rpmsign-external");
    QCOMPARE(labelText(&widget, "keyLabel"), "Key:");
    QCOMPARE(labelText(&widget, "certificateLabel"), "Certificate:");
    QCOMPARE(labelText(&widget, "keysTypeLabel"), "Global keys are used");

    auto comboBox = widget.findChild<QComboBox *>("keysTypeComboBox");
    QVERIFY(comboBox);
    QCOMPARE(comboBox->count(), 2);
    QCOMPARE(comboBox->itemText(0), "Default key");
    QCOMPARE(comboBox->itemText(1), "Custom key");
    QCOMPARE(comboBox->currentIndex(), 0);

    QCOMPARE(chooser(&widget, "keyPathChooser")->promptDialogTitle(),
             "User private key for signing the package");
    QCOMPARE(chooser(&widget, "certificatePathChooser")->promptDialogTitle(),
             "Certificate to be used in signature");
    QCOMPARE(chooser(&widget, "keyPathChooser")->expectedKind(), PathChooser::File);
    QCOMPARE(chooser(&widget, "certificatePathChooser")->expectedKind(), PathChooser::File);
}

void SignStepWidgetsTest::testRpmsignExternalValidation_data()
{
    QTest::addColumn<QString>("chooserName");
    QTest::addColumn<QString>("workspace");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("valid");

    for (const QString &name : QStringList{"keyPathChooser", "certificatePathChooser"}) {
        const QByteArray row = name.toUtf8() + ": ";
        QTest::newRow(QByteArray(row + "in the workspace").constData())
            << name << "/home/u/work"
            << "/home/u/work/a.pem" << true;
        QTest::newRow(QByteArray(row + "empty").constData()) << name << "/home/u/work"
                                                             << "" << false;
        QTest::newRow(QByteArray(row + "in the shared home only").constData())
            << name << "/home/u/work"
            << "/home/u/sdk-home/a.pem" << false;
        QTest::newRow(QByteArray(row + "no workspace").constData())
            << name << ""
            << "/home/u/work/a.pem" << false;
    }
    QTest::newRow("a sibling folder sharing the prefix")
        << "keyPathChooser" << "/home/u/work" << "/home/u/work2/a.pem" << false;
    QTest::newRow("CA: in the shared home only")
        << "verifyRootCertificatePathChooser" << "/home/u/work" << "/home/u/sdk-home/ca.pem"
        << false;
}

void SignStepWidgetsTest::testRpmsignExternalValidation()
{
    QFETCH(QString, chooserName);
    QFETCH(QString, workspace);
    QFETCH(QString, path);
    QFETCH(bool, valid);

    RpmsignExternalWidget widget(nullptr);
    widget.setSharedHomePath(FilePath::fromString("/home/u/sdk-home"));
    widget.setSharedSrcPath(FilePath::fromString(workspace));
    widget.setUseDefaultValues(false);
    PathChooser *pathChooser = chooser(&widget, chooserName.toUtf8().constData());
    QVERIFY(pathChooser);
    revalidate(pathChooser, path);

    QCOMPARE(pathChooser->isValid(), valid);
    QCOMPARE(pathChooser->errorMessage(),
             valid ? QString()
                   : "The path must be inside workspace folder:\n"
                         + FilePath::fromString(workspace).toUserOutput());
}

struct ChooserState
{
    bool visible;
    QString keyText;
    QString certificateText;
    QString label;
};

static ChooserState chooserState(RpmsignExternalWidget *widget)
{
    const bool visible = !chooser(widget, "keyPathChooser")->isHidden();
    const bool allSame = visible == !chooser(widget, "certificatePathChooser")->isHidden()
                         && visible == !widget->findChild<QLabel *>("keyLabel")->isHidden()
                         && visible == !widget->findChild<QLabel *>("certificateLabel")->isHidden();
    if (!allSame)
        qWarning("the choosers and their labels are not shown alike");
    return {visible && allSame,
            chooser(widget, "keyPathChooser")->lineEdit()->text(),
            chooser(widget, "certificatePathChooser")->lineEdit()->text(),
            labelText(widget, "keysTypeLabel")};
}

void SignStepWidgetsTest::testKeyTypeSwitch()
{
    RpmsignExternalWidget widget(nullptr);
    widget.setSharedSrcPath(FilePath::fromString("/w"));
    widget.setUseDefaultValues(true);
    widget.setKey("/w/global-key.pem");
    widget.setCertificate("/w/global-cert.pem");
    QCOMPARE(chooserState(&widget).keyText, QDir::toNativeSeparators("/w/global-key.pem"));
    QVERIFY(!chooserState(&widget).visible);

    // The order matters to the step: the cleared paths come first, the choice last.
    QStringList events;
    connect(&widget, &RpmsignExternalWidget::keyChanged, this, [&events](const QString &path) {
        events << "key " + path;
    });
    connect(&widget,
            &RpmsignExternalWidget::certificateChanged,
            this,
            [&events](const QString &path) { events << "certificate " + path; });
    connect(&widget,
            &RpmsignExternalWidget::useDefaultValuesChanged,
            this,
            [&events](bool useDefault) { events << QString("default %1").arg(useDefault); });

    auto comboBox = widget.findChild<QComboBox *>("keysTypeComboBox");
    comboBox->setCurrentIndex(1);
    QCOMPARE(events, QStringList({"key ", "certificate ", "default 0"}));
    ChooserState state = chooserState(&widget);
    QVERIFY(state.visible);
    QCOMPARE(state.keyText, "");
    QCOMPARE(state.certificateText, "");
    QCOMPARE(state.label, "Custom keys are used");

    events.clear();
    chooser(&widget, "keyPathChooser")->setPath("/w/k.pem");
    chooser(&widget, "certificatePathChooser")->setPath("/w/c.pem");
    QCOMPARE(events,
             QStringList({"key " + QDir::toNativeSeparators("/w/k.pem"),
                          "certificate " + QDir::toNativeSeparators("/w/c.pem")}));

    events.clear();
    comboBox->setCurrentIndex(0);
    QCOMPARE(events, QStringList({"key ", "certificate ", "default 1"}));
    state = chooserState(&widget);
    QVERIFY(!state.visible);
    QCOMPARE(state.keyText, "");
    QCOMPARE(state.label, "Global keys are used");

    events.clear();
    comboBox->setCurrentIndex(0);
    QCOMPARE(events, QStringList());
}

void SignStepWidgetsTest::testSetUseDefaultValues_data()
{
    QTest::addColumn<int>("startIndex");
    QTest::addColumn<bool>("useDefault");
    QTest::addColumn<QStringList>("expectedEvents");

    QTest::newRow("default to custom") << 0 << false << QStringList{"default 0"};
    QTest::newRow("custom to default") << 1 << true << QStringList{"default 1"};
    QTest::newRow("default again: run once all the same") << 0 << true << QStringList{"default 1"};
    QTest::newRow("custom again: run once all the same") << 1 << false << QStringList{"default 0"};
}

void SignStepWidgetsTest::testSetUseDefaultValues()
{
    QFETCH(int, startIndex);
    QFETCH(bool, useDefault);
    QFETCH(QStringList, expectedEvents);

    RpmsignExternalWidget widget(nullptr);
    widget.findChild<QComboBox *>("keysTypeComboBox")->setCurrentIndex(startIndex);
    QStringList events;
    connect(&widget,
            &RpmsignExternalWidget::useDefaultValuesChanged,
            this,
            [&events](bool useDefault) { events << QString("default %1").arg(useDefault); });

    widget.setUseDefaultValues(useDefault);
    QCOMPARE(events, expectedEvents);
    QCOMPARE(widget.findChild<QComboBox *>("keysTypeComboBox")->currentIndex(), useDefault ? 0 : 1);
    QCOMPARE(chooserState(&widget).visible, !useDefault);
}

void SignStepWidgetsTest::testSetKeyIgnoresEmptyPath()
{
    RpmsignExternalWidget widget(nullptr);
    widget.setUseDefaultValues(false);
    widget.setKey("/w/k.pem");
    widget.setCertificate("/w/c.pem");
    QSignalSpy keys(&widget, &RpmsignExternalWidget::keyChanged);
    QSignalSpy certificates(&widget, &RpmsignExternalWidget::certificateChanged);

    widget.setKey("");
    widget.setCertificate("");
    QCOMPARE(chooserState(&widget).keyText, QDir::toNativeSeparators("/w/k.pem"));
    QCOMPARE(chooserState(&widget).certificateText, QDir::toNativeSeparators("/w/c.pem"));
    QCOMPARE(keys.count(), 0);
    QCOMPARE(certificates.count(), 0);
}

// Filled as the steps fill them; the chooser's own check of its empty text at
// construction reports through the event loop and must not win.
void SignStepWidgetsTest::testFilledChoosersValidOnceShown()
{
    const FilePath home = FilePath::fromString("/home/u/sdk-home");
    const FilePath workspace = FilePath::fromString("/home/u/work");

    CustomerSignStepWidget customerSign(nullptr);
    customerSign.setSharedHomePath(home);
    customerSign.setSharedSrcPath(workspace);
    customerSign.setBinariesKey("/home/u/sdk-home/.orvsdk/binaries-key.pem");
    customerSign.setPackagesKey("/home/u/sdk-home/.orvsdk/packages-key.pem");
    customerSign.setPackagesCert("/home/u/work/packages-cert.pem");

    RpmsignExternalWidget rpmsign(nullptr);
    rpmsign.setSharedHomePath(home);
    rpmsign.setSharedSrcPath(workspace);
    rpmsign.setUseDefaultValues(false);
    rpmsign.setKey("/home/u/work/keys/key.pem");
    rpmsign.setCertificate("/home/u/work/keys/cert.pem");

    QCoreApplication::processEvents();
    for (QWidget *widget : std::initializer_list<QWidget *>{&customerSign, &rpmsign}) {
        for (const char *name : {"binariesKeyPathChooser",
                                 "packagesKeyPathChooser",
                                 "packagesCertPathChooser",
                                 "keyPathChooser",
                                 "certificatePathChooser"}) {
            auto pathChooser = widget->findChild<PathChooser *>(QLatin1String(name));
            if (!pathChooser)
                continue;
            QVERIFY2(pathChooser->isValid(), name);
            QCOMPARE(pathChooser->errorMessage(), QString());
        }
    }
}

TAMAREK_TEST(SignStepWidgetsTest)

void SignStepWidgetsTest::testVerificationControls_data()
{
    QTest::addColumn<bool>("customerSign");
    QTest::addColumn<QVariant>("globalRoot"); // invalid: none stored
    QTest::addColumn<QString>("placeholder");

    QTest::newRow("customer-sign, global CA set")
        << true << QVariant("/home/u/work/ca/kit-ca.pem") << "Global: kit-ca.pem";
    QTest::newRow("customer-sign, no global CA") << true << QVariant() << "Global: none set";
    QTest::newRow("rpmsign-external, global CA set")
        << false << QVariant("/home/u/work/ca/kit-ca.pem") << "Global: kit-ca.pem";
    QTest::newRow("rpmsign-external, no global CA") << false << QVariant() << "Global: none set";
}

// Only a click reports the check box; the CA chooser is usable while it is
// ticked, names the global CA when empty, and follows the check box in the
// focus chain.
template<typename Widget>
static void checkVerificationControls(const QString &placeholder)
{
    Widget widget(nullptr);
    QSignalSpy verify(&widget, &Widget::verifyAfterSignChanged);
    QSignalSpy root(&widget, &Widget::verifyRootCertificateChanged);
    auto checkBox = widget.template findChild<QCheckBox *>("verifyAfterSignCheckBox");
    PathChooser *rootChooser = chooser(&widget, "verifyRootCertificatePathChooser");
    QVERIFY(checkBox && rootChooser);
    QCOMPARE(checkBox->text(), "Verify signatures after signing");
    QCOMPARE(labelText(&widget, "verifyRootCertificateLabel"), "CA certificate:");
    QVERIFY(!checkBox->isChecked());
    QVERIFY(!rootChooser->isEnabled());
    QCOMPARE(rootChooser->lineEdit()->placeholderText(), placeholder);
    // Empty, it stands for the global one: no error.
    QTRY_COMPARE(rootChooser->lineEdit()->state(), FancyLineEdit::DisplayingPlaceholderText);
    QCOMPARE(rootChooser->errorMessage(), QString());

    widget.setVerifyAfterSign(true);
    QVERIFY(rootChooser->isEnabled());
    widget.setVerifyRootCertificate("/home/u/work/ca.pem");
    QCOMPARE(verify.count(), 0);
    QCOMPARE(calls(root), QList<QVariantList>{{"/home/u/work/ca.pem"}});

    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QTest::mouseClick(checkBox, Qt::LeftButton, {}, checkBox->rect().center());
    QCOMPARE(calls(verify), QList<QVariantList>{{false}});
    QVERIFY(!rootChooser->isEnabled());
    widget.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&widget));
    checkBox->setFocus();
    QTest::keyClick(checkBox, Qt::Key_Space);
    QCOMPARE(calls(verify), (QList<QVariantList>{{false}, {true}}));
    QTest::keyClick(checkBox, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), rootChooser->lineEdit());
}

void SignStepWidgetsTest::testVerificationControls()
{
    QFETCH(bool, customerSign);
    QFETCH(QVariant, globalRoot);
    QFETCH(QString, placeholder);

    Testing::SettingsScope settings({Constants::DEFAULT_VERIFY_ROOT_CERTIFICATE_KEY});
    if (globalRoot.isValid())
        settings.set(Constants::DEFAULT_VERIFY_ROOT_CERTIFICATE_KEY, globalRoot);
    else
        settings.remove(Constants::DEFAULT_VERIFY_ROOT_CERTIFICATE_KEY);
    if (customerSign)
        checkVerificationControls<CustomerSignStepWidget>(placeholder);
    else
        checkVerificationControls<RpmsignExternalWidget>(placeholder);
}

} // namespace Tamarek::Internal

#include "tst_signstepwidgets.moc"
