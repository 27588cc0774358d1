// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include <utils/filepath.h>

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

namespace Core {
class OutputWindow;
}

namespace Tamarek::Testing {

// The text of the IDE's General Messages pane, written since the capture began
// (the pane is cleared then).
//
//     GeneralMessages messages;
//     ... run a tool ...
//     QVERIFY(messages.lines().contains("[I]\tSigned a.rpm"));
class GeneralMessages
{
public:
    GeneralMessages();
    ~GeneralMessages();

    // Writes out what is still queued: a disrupting line among it raises the
    // IDE's window when it is written.
    void flush() const;
    QString text() const;
    QStringList lines() const;

    static Core::OutputWindow *window();

private:
    QPointer<Core::OutputWindow> m_window;
};

// Answers every passphrase dialog shown while it lives, one answer each, in
// order, from a zero-delay timer inside the dialog's own event loop; a null
// answer, or none left, cancels. Records each dialog's prompt text.
//
//     PasswordAnswerer answerer({"secret", "secret"});
//     tool.generateRequest(...);
//     QCOMPARE(answerer.prompts().size(), 2);
class PasswordAnswerer : public QObject
{
    Q_OBJECT

public:
    explicit PasswordAnswerer(const QStringList &answers);
    ~PasswordAnswerer() override;

    QStringList prompts() const { return m_prompts; }
    // Whether each dialog masked the typed characters.
    bool allMasked() const { return m_allMasked; }
    // Ticks "Remember for this session" where a dialog offers it.
    void setRemember(bool remember) { m_remember = remember; }
    // For each dialog, whether it offered to remember the answer.
    QList<bool> rememberOffered() const { return m_rememberOffered; }

signals:
    void dialogShown(const QString &prompt);

private:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void answer(QWidget *dialog, const QString &answer);

    QStringList m_answers;
    QStringList m_prompts;
    QList<bool> m_rememberOffered;
    bool m_allMasked = true;
    bool m_remember = false;
};

// A stand-in for the kit's command-line tool: a bash script, given its
// arguments as "$@", which first records them. Used through a TestKit's
// norkPath option, or as a command's program directly.
class ToolDouble
{
public:
    explicit ToolDouble(const QString &script);

    bool isValid() const { return m_valid; }
    Utils::FilePath path() const;
    Utils::FilePath folder() const;
    // The argument lists it was started with, in order.
    QList<QStringList> calls() const;

private:
    QTemporaryDir m_folder;
    bool m_valid = false;
};

// Ends the test run when it lives longer than the time: for a call that
// would otherwise never return and leave the run waiting.
class Watchdog
{
public:
    Watchdog(int milliseconds, const char *what);

private:
    QTimer m_timer;
};

// Every file below folder that holds the bytes.
QStringList filesContaining(const QString &folder, const QByteArray &bytes);

// The command lines of the running processes that hold the text.
QStringList processesMentioning(const QString &text);

} // namespace Tamarek::Testing
