// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtestproject.h"
#include "tamarektests.h"
#include "testkit.h"

#include "regularkeys.h"
#include "signoptionspage.h"

#include <nork/buildengine.h>
#include <nork/sdk.h>
#include <utils/algorithm.h>
#include <utils/pathchooser.h>

#include <QCheckBox>
#include <QComboBox>
#include <QSettings>
#include <QtTest>

#include <optional>

using namespace Orv::Testing;
using namespace Tamarek::Testing;
using namespace Utils;

namespace Tamarek::Internal {

// The "Sign packages" page as the options dialog drives it.
class SignOptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void testOpening_data();
    void testOpening();
    void testEditAndApply();
    void testWorkspaceChangeWhileOpen();
    void testSearchBeforeFirstShow();
    void testVerificationDefaults();

private:
    template<typename T> T *child(const char name[]) const
    {
        return m_widget->findChild<T *>(QLatin1String(name));
    }
    QString file(const QString &name) const
    {
        const FilePath path = m_testKit->sharedSrcPath().pathAppended(name);
        QTC_CHECK(path.exists() || path.writeFileContents("pem"));
        return path.toFSPathString();
    }

    Core::IOptionsPage *m_page = nullptr;
    QPointer<QWidget> m_widget;
    std::unique_ptr<SettingsScope> m_settings;
    std::unique_ptr<TestKit> m_testKit;
};

void SignOptionsTest::init()
{
    m_page = Utils::findOrDefault(Core::IOptionsPage::allOptionsPages(),
                                  Utils::equal(&Core::IOptionsPage::id, Id("Z.SignOptions")));
    QVERIFY(m_page);
    const QStringList keys{"Tamarek.DefaultSign", "Tamarek.GlobalSignKey",
                           "Tamarek.GlobalSignCert", "Tamarek.UseDefaultSignKey",
                           "Tamarek.UseDefaultSignCert", "Tamarek.DefaultVerifyRootCertificate",
                           "Tamarek.StopDeployOnFailure"};
    m_settings = std::make_unique<SettingsScope>(keys);
    for (const QString &key : keys)
        m_settings->remove(key);
    m_testKit = std::make_unique<TestKit>();
    QVERIFY2(m_testKit->isLoaded(), qPrintable(m_testKit->errorString()));
    QVERIFY(m_testKit->sharedSrcPath().pathAppended(".neverraos-regular-keys").ensureWritableDir());
    file(".neverraos-regular-keys/regular_key.pem");
    file(".neverraos-regular-keys/regular_cert.pem");
}

void SignOptionsTest::cleanup()
{
    m_page->finish();
    QVERIFY(!m_widget);
    m_testKit.reset();
    m_settings.reset();
}

void SignOptionsTest::testOpening_data()
{
    QTest::addColumn<bool>("withEngine");
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("keyText"); // "" for the regular key file, shown disabled
    QTest::addColumn<QString>("keyError");

    QTest::newRow("first use") << true << QVariantMap() << true << "" << "";
    QTest::newRow("custom key, sign step off")
        << true
        << QVariantMap{{"Tamarek.DefaultSign", false}, {"Tamarek.UseDefaultSignKey", false},
                       {"Tamarek.GlobalSignKey", "%WS%/gone.pem"}}
        << false << "%WS%/gone.pem" << "File does not exist";
    QTest::newRow("no engine: every custom path lies outside")
        << false
        << QVariantMap{{"Tamarek.UseDefaultSignKey", false}, {"Tamarek.GlobalSignKey", "/k.pem"}}
        << true << "/k.pem" << "The path must be inside workspace folder:\n";
}

void SignOptionsTest::testOpening()
{
    QFETCH(bool, withEngine);
    QFETCH(QVariantMap, stored);
    QFETCH(bool, checked);
    QFETCH(QString, keyText);
    QFETCH(QString, keyError);

    const QString workspace = m_testKit->sharedSrcPath().toFSPathString();
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        m_settings->set(it.key(), it.value().toString().replace("%WS%", workspace));
    keyText.replace("%WS%", workspace);
    std::optional<TestKit> noEngine;
    if (!withEngine)
        noEngine.emplace(QList<TestEngine>{});
    const FilePath sharedSrc = withEngine ? m_testKit->sharedSrcPath() : FilePath();

    m_widget = m_page->widget();
    QCOMPARE(child<QCheckBox>("enableSignStepCheckBox")->isChecked(), checked);
    QCOMPARE(child<QComboBox>("keyChooserComboBox")->currentIndex(), keyText.isEmpty() ? 0 : 1);
    QCOMPARE(child<QComboBox>("keyChooserComboBox")->isEnabled(), checked);
    auto key = child<PathChooser>("keyPathChooser");
    QCOMPARE(key->filePath().toFSPathString(),
             keyText.isEmpty() ? regularKeyFilePath(sharedSrc).toFSPathString() : keyText);
    QCOMPARE(key->isEnabled(), !keyText.isEmpty() && checked);
    QCOMPARE(child<PathChooser>("certificatePathChooser")->filePath(),
             regularCertFilePath(sharedSrc));
    QVERIFY(!child<PathChooser>("certificatePathChooser")->isEnabled());
    QTRY_COMPARE(key->errorMessage(), keyError);
}

// A typed custom path survives a look at the regular entry and the check box
// going off and on; a regular choice stores the regular file, not the old text.
void SignOptionsTest::testEditAndApply()
{
    m_settings->set("Tamarek.UseDefaultSignKey", false);
    m_settings->set("Tamarek.GlobalSignKey", file("old.pem"));
    m_settings->set("Tamarek.UseDefaultSignCert", false);
    m_widget = m_page->widget();
    auto certificates = child<QComboBox>("certificateChooserComboBox");
    auto certificate = child<PathChooser>("certificatePathChooser");
    auto checkBox = child<QCheckBox>("enableSignStepCheckBox");

    certificate->lineEdit()->setText(file("typed.pem"));
    certificates->setCurrentIndex(0);
    QCOMPARE(certificate->filePath(), regularCertFilePath(m_testKit->sharedSrcPath()));
    certificates->setCurrentIndex(1);
    checkBox->click();
    QVERIFY(!certificates->isEnabled() && !certificate->isEnabled());
    checkBox->click();
    QVERIFY(certificates->isEnabled() && certificate->isEnabled());
    QCOMPARE(certificate->filePath().toFSPathString(), file("typed.pem"));

    child<QComboBox>("keyChooserComboBox")->setCurrentIndex(0);
    QVERIFY(!child<PathChooser>("keyPathChooser")->isEnabled());
    m_page->apply();
    const QSettings settings;
    QCOMPARE(settings.value("Tamarek.GlobalSignKey").toString(),
             regularKeyFilePath(m_testKit->sharedSrcPath()).toFSPathString());
    QCOMPARE(settings.value("Tamarek.UseDefaultSignKey"), QVariant(true));
    QCOMPARE(settings.value("Tamarek.GlobalSignCert").toString(), file("typed.pem"));
    QCOMPARE(settings.value("Tamarek.UseDefaultSignCert"), QVariant(false));
    QCOMPARE(settings.value("Tamarek.DefaultSign"), QVariant(true));
}

void SignOptionsTest::testWorkspaceChangeWhileOpen()
{
    m_settings->set("Tamarek.UseDefaultSignCert", false);
    m_settings->set("Tamarek.GlobalSignCert", file("own.pem"));
    m_widget = m_page->widget();
    auto certificate = child<PathChooser>("certificatePathChooser");
    QTRY_VERIFY(certificate->isValid());

    const FilePath moved = m_testKit->folder().pathAppended("moved");
    QVERIFY(moved.pathAppended(".neverraos-regular-keys").ensureWritableDir());
    Nork::Sdk::buildEngines().first()->setSharedSrcPath(moved);
    QCOMPARE(child<PathChooser>("keyPathChooser")->filePath(), regularKeyFilePath(moved));
    QCOMPARE(certificate->filePath().toFSPathString(), file("own.pem"));
    QTRY_COMPARE(certificate->errorMessage(),
                 "The path must be inside workspace folder:\n" + moved.toUserOutput());
}

// The options dialog's filter asks every page before it has shown any.
void SignOptionsTest::testSearchBeforeFirstShow()
{
    SignOptionsPage page;
    QVERIFY(page.matches(
        QRegularExpression("sign step by default", QRegularExpression::CaseInsensitiveOption)));
    QVERIFY(!page.matches(QRegularExpression("passphrase")));
    page.finish();
}

// The global CA and the stop are loaded, checked as the key is, and stored on
// apply; the page's search finds them.
void SignOptionsTest::testVerificationDefaults()
{
    m_settings->set("Tamarek.DefaultVerifyRootCertificate", file("ca.pem"));
    m_widget = m_page->widget();
    auto root = child<PathChooser>("verifyRootCertificatePathChooser");
    auto stop = child<QCheckBox>("stopDeployOnFailureCheckBox");
    QVERIFY(root && stop);
    QCOMPARE(stop->text(), "Stop the deploy when packages are not signed or do not verify");
    QCOMPARE(root->filePath().toFSPathString(), file("ca.pem"));
    QVERIFY(!stop->isChecked());
    QTRY_VERIFY(root->isValid());
    const QList<QWidget *> health = Utils::filtered(m_widget->findChildren<QWidget *>(
                                                        "certificateHealthLabel"),
                                                    [](QWidget *label) {
                                                        return label->accessibleName()
                                                               == "CA certificate details";
                                                    });
    QCOMPARE(health.size(), 1);

    root->setPath("/etc/ca.pem");
    QTRY_COMPARE(root->errorMessage(),
                 "The path must be inside workspace folder:\n"
                     + m_testKit->sharedSrcPath().toUserOutput());
    root->setPath(file("other-ca.pem"));
    stop->click();
    m_page->apply();
    const QSettings settings;
    QCOMPARE(settings.value("Tamarek.DefaultVerifyRootCertificate").toString(),
             file("other-ca.pem"));
    QCOMPARE(settings.value("Tamarek.StopDeployOnFailure"), QVariant(true));
    QVERIFY(m_page->matches(QRegularExpression("do not verify")));
}

TAMAREK_TEST(SignOptionsTest)

} // namespace Tamarek::Internal

#include "tst_signoptions.moc"
