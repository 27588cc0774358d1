// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "testsupport.h"

#include "pacedmessages.h"
#include "passworddialog.h"

#include <coreplugin/coreconstants.h>
#include <coreplugin/icontext.h>
#include <coreplugin/icore.h>
#include <coreplugin/outputwindow.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace Tamarek::Testing {

GeneralMessages::GeneralMessages()
    : m_window(window())
{
    // reset() drops output still queued for formatting, which clear() would keep.
    if (auto paced = Tamarek::Internal::PacedMessages::instance())
        paced->discard();
    if (m_window) {
        m_window->reset();
        m_window->clear();
    }
}

GeneralMessages::~GeneralMessages()
{
    // What a test left queued is not written into the next one.
    if (auto paced = Tamarek::Internal::PacedMessages::instance())
        paced->discard();
}

void GeneralMessages::flush() const
{
    if (auto paced = Tamarek::Internal::PacedMessages::instance())
        paced->flush();
    // The pane queues what is written and formats it from a timer; flush() does
    // all at once only for a modest queue, as tests write.
    if (m_window)
        m_window->flush();
}

QString GeneralMessages::text() const
{
    if (!m_window)
        return {};
    flush();
    return m_window->toPlainText();
}

QStringList GeneralMessages::lines() const
{
    return text().split('\n', Qt::SkipEmptyParts);
}

Core::OutputWindow *GeneralMessages::window()
{
    for (QWidget *widget : QApplication::allWidgets()) {
        auto window = qobject_cast<Core::OutputWindow *>(widget);
        if (!window)
            continue;
        for (const Core::IContext *context : Core::ICore::contextObjects(window)) {
            if (context->context().contains(Core::Constants::C_GENERAL_OUTPUT_PANE))
                return window;
        }
    }
    return nullptr;
}

PasswordAnswerer::PasswordAnswerer(const QStringList &answers)
    : m_answers(answers)
{
    qApp->installEventFilter(this);
}

PasswordAnswerer::~PasswordAnswerer()
{
    qApp->removeEventFilter(this);
}

bool PasswordAnswerer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        if (auto dialog = qobject_cast<Internal::PasswordDialogPrivate *>(watched)) {
            const auto label = dialog->findChild<QLabel *>("promptLabel");
            const QString prompt = label ? label->text() : QString();
            m_prompts << prompt;
            const auto lineEdit = dialog->findChild<QLineEdit *>("passwordLineEdit");
            m_allMasked = m_allMasked && lineEdit && lineEdit->echoMode() == QLineEdit::Password;
            const auto remember = dialog->findChild<QCheckBox *>("rememberCheckBox");
            m_rememberOffered << (remember && !remember->isHidden());
            emit dialogShown(prompt);
            const QString next = m_answers.isEmpty() ? QString() : m_answers.takeFirst();
            QPointer<QWidget> target(dialog);
            QTimer::singleShot(0, this, [this, target, next] {
                if (target)
                    answer(target, next);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

void PasswordAnswerer::answer(QWidget *dialog, const QString &answer)
{
    auto buttonBox = dialog->findChild<QDialogButtonBox *>();
    auto lineEdit = dialog->findChild<QLineEdit *>("passwordLineEdit");
    if (!buttonBox || !lineEdit)
        return;
    if (answer.isNull()) {
        buttonBox->button(QDialogButtonBox::Cancel)->click();
        return;
    }
    lineEdit->setText(answer);
    if (auto remember = dialog->findChild<QCheckBox *>("rememberCheckBox"); remember && m_remember)
        remember->setChecked(true);
    buttonBox->button(QDialogButtonBox::Ok)->click();
}

ToolDouble::ToolDouble(const QString &script)
{
    if (!m_folder.isValid())
        return;
    QFile file(m_folder.filePath("tool"));
    const QString calls = m_folder.filePath("calls");
    // One write a call: runs made at the same time (a certificate read beside
    // a verify) must not interleave their lines.
    const QString text = "#!/bin/bash\n"
                         "line=call; for a in \"$@\"; do line+=$'\\t'\"$a\"; done; "
                         "printf '%s\\n' \"$line\" >>'"
                         + calls + "'\n" + script + '\n';
    m_valid = file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0
              && file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

Utils::FilePath ToolDouble::path() const
{
    return folder().pathAppended("tool");
}

Utils::FilePath ToolDouble::folder() const
{
    return Utils::FilePath::fromString(m_folder.path());
}

QList<QStringList> ToolDouble::calls() const
{
    QFile file(m_folder.filePath("calls"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> calls;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        calls << QString::fromUtf8(line).split('\t').mid(1);
    }
    return calls;
}

Watchdog::Watchdog(int milliseconds, const char *what)
{
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [what] { qFatal("Watchdog: %s", what); });
    m_timer.start(milliseconds);
}

QStringList filesContaining(const QString &folder, const QByteArray &bytes)
{
    QStringList files;
    QDirIterator it(folder,
                    QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(bytes))
            files << file.fileName();
    }
    return files;
}

QStringList processesMentioning(const QString &text)
{
    QStringList commandLines;
    const QStringList pids = QDir("/proc").entryList({"[0-9]*"}, QDir::Dirs);
    for (const QString &pid : pids) {
        QFile file("/proc/" + pid + "/cmdline");
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString commandLine = QString::fromLocal8Bit(file.readAll().replace('\0', ' '));
        if (commandLine.contains(text))
            commandLines << pid + ": " + commandLine;
    }
    return commandLines;
}

} // namespace Tamarek::Testing
