// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtool.h"

#include "passphrasecache.h"
#include "waitalive.h"

#include <utils/qtcassert.h>

#include <memory>

namespace Tamarek::Internal {

SignTool::SignTool(QObject *parent)
    : QObject(parent)
{
    connect(
        this,
        &SignTool::addOutput,
        this,
        [this](const QString &output) { echoLine(QString("[I]\t%1").arg(output), false); },
        Qt::DirectConnection);
    connect(
        this,
        &SignTool::addError,
        this,
        [this](const QString &error) { echoLine(QString("[E]\t%1").arg(error), true); },
        Qt::DirectConnection);
}

SignTool::~SignTool() = default;

static PassphrasePrompt &passphrasePrompt()
{
    static PassphrasePrompt prompt;
    return prompt;
}

void SignTool::setPassphrasePrompt(const PassphrasePrompt &prompt)
{
    passphrasePrompt() = prompt;
}

OutputHandler SignTool::outputHandler()
{
    const auto output = std::make_shared<RunOutput>();
    output->run = m_runs.start();
    return OutputHandler(
        ifAlive(
            this,
            [this, output](const QByteArray &standardOutput,
                           const QByteArray &standardError,
                           QByteArray &input) {
                return handleOutput(*output, standardOutput, standardError, input);
            },
            false),
        ifAlive(this, [this, output] { finishOutput(*output); }),
        ifAlive(this, [this, output](QByteArray &input) { return handleQuiet(*output, input); }, false),
        [output](const ProcessResult &result) {
            if (result.isSuccess())
                return;
            for (const QByteArray &key : std::as_const(output->rememberedKeys))
                PassphraseCache::instance().forget(key);
        });
}

void SignTool::stop()
{
    m_runs.stopRunning();
}

bool SignTool::isStopped(RunOutput &output) const
{
    if (m_runs.isStopped(output.run))
        output.stopped = true;
    return output.stopped;
}

bool SignTool::handleOutput(RunOutput &output,
                            const QByteArray &standardOutput,
                            const QByteArray &standardError,
                            QByteArray &input)
{
    if (isStopped(output))
        return false;
    return handleChunk(output, output.standardOutput, standardOutput, false, input)
           && handleChunk(output, output.standardError, standardError, true, input);
}

bool SignTool::handleChunk(RunOutput &output,
                           LineSplitter &lines,
                           const QByteArray &chunk,
                           bool isError,
                           QByteArray &input)
{
    // Each chunk's lines go out before the next chunk is read.
    QTC_CHECK(!m_collecting && m_collected.isEmpty());
    m_collecting = true;
    for (const LineSplitter::Line &line : lines.take(chunk)) {
        if (line.isPrompt) {
            m_collecting = false;
            echoCollected(isError);
            // The prompt's event loop may delete this tool: no member after a refusal.
            if (!askForPassword(output, line.text, input))
                return false;
            m_collecting = true;
        } else if (isError) {
            emit addError(line.text);
        } else {
            emit addOutput(line.text);
        }
    }
    m_collecting = false;
    echoCollected(isError);
    return true;
}

void SignTool::echoLine(const QString &line, bool isError)
{
    if (m_collecting)
        m_collected << line;
    else
        echo(line, isError);
}

void SignTool::echoCollected(bool isError)
{
    if (m_collected.isEmpty())
        return;
    echo(m_collected.join('\n'), isError);
    m_collected.clear();
}

bool SignTool::handleQuiet(RunOutput &output, QByteArray &input)
{
    if (isStopped(output))
        return false;
    for (LineSplitter *lines : {&output.standardOutput, &output.standardError}) {
        if (const std::optional<LineSplitter::Line> prompt = lines->takeHeldPrompt()) {
            if (!askForPassword(output, prompt->text, input))
                return false;
        }
    }
    return true;
}

// A cancelled prompt, or none answered, stops the run: nothing it prints
// afterwards is shown.
bool SignTool::askForPassword(RunOutput &output, const QString &prompt, QByteArray &input)
{
    // Lines held back now would be written after the answer.
    QTC_CHECK(!m_collecting && m_collected.isEmpty());
    PassphraseCache &cache = PassphraseCache::instance();
    const QByteArray key = PassphraseCache::keyFor(prompt);
    const auto answer = [&input](QString &passphrase) {
        QByteArray bytes = passphrase.toUtf8();
        input.append(bytes).append('\n');
        bytes.fill('\0');
        passphrase.fill(QChar::Null);
    };
    if (output.answeredFromMemory.contains(key)) {
        // Asked again in the same run: the remembered one was not taken.
        cache.forget(key);
    } else if (std::optional<QString> remembered = cache.passphrase(key)) {
        output.answeredFromMemory.insert(key);
        output.rememberedKeys.insert(key);
        answer(*remembered);
        return true;
    }

    bool ok = false;
    bool remember = false;
    QString password;
    const int timesAsked = ++output.promptCounts[prompt.trimmed()];
    const bool alive = waitAlive(this, [&] {
        if (const PassphrasePrompt &ask = passphrasePrompt())
            password = ask(prompt, timesAsked, &ok, key.isEmpty() ? nullptr : &remember);
    });
    // The dialog's event loop may have stopped the run or deleted this tool.
    if (!alive || !ok || password.isEmpty() || isStopped(output)) {
        password.fill(QChar::Null);
        output.stopped = true;
        return false;
    }
    if (remember) {
        cache.remember(key, password);
        output.rememberedKeys.insert(key);
    }
    answer(password);
    return true;
}

void SignTool::finishOutput(RunOutput &output)
{
    QTC_CHECK(!m_collecting && m_collected.isEmpty());
    if (output.stopped)
        return;
    if (const std::optional<QString> rest = output.standardOutput.finish())
        emit addOutput(*rest);
    if (const std::optional<QString> rest = output.standardError.finish())
        emit addError(*rest);
}

} // namespace Tamarek::Internal
