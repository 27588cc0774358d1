// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "packagereport.h"

#include <QList>

QT_BEGIN_NAMESPACE
class QTextBrowser;
QT_END_NAMESPACE

namespace Tamarek::Internal {

class LineElidingLabel;
class PackageReportView;
struct DumpView;

// How the dialog shows a package's signatures: one package's first and second
// signature in two panes with a summary of each above the tabs, or, for
// several packages, a table and one summary line in their place.
class SignatureViews
{
public:
    struct Widgets
    {
        QTextBrowser *developerDump = nullptr;
        QTextBrowser *clientDump = nullptr;
        LineElidingLabel *developerSummary = nullptr;
        LineElidingLabel *clientSummary = nullptr;
        PackageReportView *reports = nullptr;
    };

    explicit SignatureViews(const Widgets &widgets);

    bool isBatch() const { return m_batch; }
    // Switching empties both views.
    void setBatch(bool batch);

    void showDump(const DumpView &view);
    // The client pane keeps its place: only a dump with or without a second
    // signature shows or hides it.
    void clearDump();

    void showReports(const QList<PackageReport> &reports);
    const QList<PackageReport> &reports() const;

private:
    Widgets m_widgets;
    bool m_batch = false;
};

} // namespace Tamarek::Internal
