// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signtool.h"

#include "passworddialog.h"

#include <coreplugin/messagemanager.h>

#include <QPointer>

#include <memory>

namespace Tamarek::Internal {

SignTool::SignTool(QObject *parent)
    : QObject(parent)
{
    connect(
        this,
        &SignTool::addOutput,
        this,
        [](const QString &output) {
            Core::MessageManager::writeSilently(QString("[I]\t%1").arg(output));
        },
        Qt::DirectConnection);
    connect(
        this,
        &SignTool::addError,
        this,
        [](const QString &error) {
            Core::MessageManager::writeDisrupting(QString("[E]\t%1").arg(error));
        },
        Qt::DirectConnection);
}

SignTool::~SignTool() = default;

OutputHandler SignTool::outputHandler()
{
    const auto output = std::make_shared<RunOutput>();
    const QPointer<SignTool> self(this);
    return OutputHandler(
        [self, output](const QByteArray &standardOutput,
                       const QByteArray &standardError,
                       QByteArray &input) {
            return self && self->handleOutput(*output, standardOutput, standardError, input);
        },
        [self, output] {
            if (self)
                self->finishOutput(*output);
        });
}

void SignTool::stopRuns()
{
    ++m_stopCount;
}

void SignTool::allowRuns()
{
    if (m_stopCount > 0)
        --m_stopCount;
}

bool SignTool::handleOutput(RunOutput &output,
                            const QByteArray &standardOutput,
                            const QByteArray &standardError,
                            QByteArray &input)
{
    if (m_stopCount > 0)
        return false;
    return handleChunk(output.standardOutput, standardOutput, false, input)
           && handleChunk(output.standardError, standardError, true, input);
}

bool SignTool::handleChunk(LineSplitter &lines,
                           const QByteArray &chunk,
                           bool isError,
                           QByteArray &input)
{
    for (const LineSplitter::Line &line : lines.take(chunk)) {
        if (!line.isPrompt) {
            if (isError)
                emit addError(line.text);
            else
                emit addOutput(line.text);
            continue;
        }
        const QPointer<SignTool> self(this);
        bool ok = false;
        QString password = getPassword(line.text, &ok);
        // The dialog's event loop may have stopped the runs or deleted this tool.
        if (!self || m_stopCount > 0 || !ok || password.isEmpty()) {
            password.fill(QChar::Null);
            return false;
        }
        QByteArray bytes = password.toUtf8();
        input.append(bytes).append('\n');
        bytes.fill('\0');
        password.fill(QChar::Null);
    }
    return true;
}

void SignTool::finishOutput(RunOutput &output)
{
    if (const std::optional<QString> rest = output.standardOutput.finish())
        emit addOutput(*rest);
    if (const std::optional<QString> rest = output.standardError.finish())
        emit addError(*rest);
}

} // namespace Tamarek::Internal
