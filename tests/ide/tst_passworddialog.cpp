// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "passworddialog.h"
#include "tamarektests.h"
#include "testsupport.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace Tamarek::Internal {

const char prompt[] = "Enter PEM pass phrase:";

class PasswordDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void testLayout();
    void testValidation_data();
    void testValidation();
    void testCorrectedAfterError();
    void testFocusBackAfterError();
    void testGetPassword_data();
    void testGetPassword();
};

static QLineEdit *lineEdit(QWidget *dialog)
{
    return dialog->findChild<QLineEdit *>("passwordLineEdit");
}

static QLabel *errorLabel(QWidget *dialog)
{
    return dialog->findChild<QLabel *>("errorLabel");
}

static void clickOk(QWidget *dialog)
{
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
}

void PasswordDialogTest::testLayout()
{
    PasswordDialogPrivate dialog(prompt);
    QVERIFY(!dialog.parent());
    QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    QVERIFY(dialog.windowTitle().isEmpty());
    QCOMPARE(dialog.findChild<QLabel *>("promptLabel")->text(), QString(prompt));
    QCOMPARE(lineEdit(&dialog)->echoMode(), QLineEdit::Password);
    const auto form = dialog.findChild<QFormLayout *>();
    QVERIFY(form);
    const auto label = qobject_cast<QLabel *>(form->labelForField(lineEdit(&dialog)));
    QVERIFY(label);
    QCOMPARE(label->text(), QString("Password:"));
    QVERIFY(errorLabel(&dialog)->isHidden());
    QCOMPARE(errorLabel(&dialog)->styleSheet(), QString("color: red"));
}

void PasswordDialogTest::testValidation_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("error");

    QTest::newRow("empty") << "" << "Password can't be empty";
    QTest::newRow("line feed") << "pass\nword" << "Password contains invalid newline characters";
    QTest::newRow("carriage return") << "pass\rword"
                                     << "Password contains invalid newline characters";
    QTest::newRow("CR LF at the end") << "password\r\n"
                                      << "Password contains invalid newline characters";
    QTest::newRow("blanks only") << "   " << "";
    QTest::newRow("non-ASCII") << QString::fromUtf8("pässwörd €") << "";
}

void PasswordDialogTest::testValidation()
{
    QFETCH(QString, password);
    QFETCH(QString, error);

    PasswordDialogPrivate dialog(prompt);
    dialog.show();
    lineEdit(&dialog)->setText(password);
    clickOk(&dialog);
    if (error.isEmpty()) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.takePassword(), password);
        QVERIFY(lineEdit(&dialog)->text().isEmpty());
    } else {
        QVERIFY(dialog.isVisible());
        QVERIFY(errorLabel(&dialog)->isVisible());
        QCOMPARE(errorLabel(&dialog)->text(), error);
    }
}

// OK pressed with the mouse takes the focus; what the user types after the
// message must go into the field again.
void PasswordDialogTest::testFocusBackAfterError()
{
    PasswordDialogPrivate dialog(prompt);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QPushButton *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    ok->setFocus(Qt::MouseFocusReason);
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.focusWidget(), lineEdit(&dialog));
    QTest::keyClicks(dialog.focusWidget(), "typed");
    QCOMPARE(lineEdit(&dialog)->text(), QString("typed"));
}

void PasswordDialogTest::testCorrectedAfterError()
{
    PasswordDialogPrivate dialog(prompt);
    dialog.show();
    clickOk(&dialog);
    QCOMPARE(errorLabel(&dialog)->text(), QString("Password can't be empty"));
    lineEdit(&dialog)->setText("a\nb");
    clickOk(&dialog);
    QCOMPARE(errorLabel(&dialog)->text(), QString("Password contains invalid newline characters"));
    lineEdit(&dialog)->setText("secret");
    clickOk(&dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
}

void PasswordDialogTest::testGetPassword_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("password");

    QTest::newRow("OK") << "ok" << true << "s3cret pass";
    QTest::newRow("Cancel button") << "cancel" << false << QString();
    QTest::newRow("Escape") << "escape" << false << QString();
    QTest::newRow("window closed") << "close" << false << QString();
}

void PasswordDialogTest::testGetPassword()
{
    QFETCH(QString, how);
    QFETCH(bool, ok);
    QFETCH(QString, password);

    QPointer<QWidget> shown;
    QTimer::singleShot(0, this, [&] {
        shown = QApplication::activeModalWidget();
        QVERIFY(shown);
        if (how == "ok") {
            lineEdit(shown)->setText("s3cret pass");
            clickOk(shown);
        } else if (how == "cancel") {
            lineEdit(shown)->setText("typed");
            shown->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
        } else if (how == "escape") {
            lineEdit(shown)->setText("typed");
            QTest::keyClick(lineEdit(shown), Qt::Key_Escape);
        } else {
            shown->close();
        }
    });

    bool accepted = !ok;
    const QString result = getPassword(prompt, &accepted);
    QVERIFY(shown);
    QVERIFY(qobject_cast<PasswordDialogPrivate *>(shown.data()));
    QCOMPARE(accepted, ok);
    QCOMPARE(result, password);
    QCOMPARE(result.isNull(), !ok);

    // Released after it closed, not kept for the next prompt.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!shown);
}

TAMAREK_TEST(PasswordDialogTest)

} // namespace Tamarek::Internal

#include "tst_passworddialog.moc"
