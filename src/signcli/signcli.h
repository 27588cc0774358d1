// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "clioptions.h"
#include "passphrasesources.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace Nork {
class BuildEngine;
}

namespace Tamarek::Internal {

class SignTool;
struct PackageDump;
struct ProcessResult;

// One tamarek-sign command: the same tools, command lines and prompt answers
// as the plug-in's, the tools' lines on standard error, the outcome as an
// exit status.
class SignCli
{
public:
    explicit SignCli(const CliOptions &options);
    ~SignCli();

    int run();

private:
    int prepare();
    int sign();
    int verify();
    int dump();
    int remove();
    int request();
    int health();

    // Why the run failed, said, as the exit status; message when it was not
    // for a passphrase.
    int failed(const ProcessResult &result, const QString &message);
    // A run whose tool lines are not echoed: its output is printed otherwise.
    ProcessResult quietly(const std::function<ProcessResult()> &run);
    void sayNote(const PackageDump &packageDump) const;
    int toolMissing(const QString &what);
    void say(const QString &line) const;
    void sayError(const QString &line) const;
    void printReport(const QByteArray &json) const;

    CliOptions m_options;
    std::unique_ptr<PassphraseSources> m_sources;
    Nork::BuildEngine *m_engine = nullptr;
    QStringList m_targetTools;
    std::unique_ptr<SignTool> m_tool;
    QString m_lastErrorLine;
    bool m_showToolOutput = true;
};

} // namespace Tamarek::Internal
