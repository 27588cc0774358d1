// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "signatureviews.h"

#include "lineelidinglabel.h"
#include "packageoutcomes.h"
#include "packagereportview.h"

#include <utils/qtcassert.h>

#include <QTextBrowser>

namespace Tamarek::Internal {

SignatureViews::SignatureViews(const Widgets &widgets)
    : m_widgets(widgets)
{
    QTC_CHECK(widgets.developerDump && widgets.clientDump && widgets.developerSummary
              && widgets.clientSummary && widgets.reports);
}

void SignatureViews::setBatch(bool batch)
{
    if (batch == m_batch)
        return;
    m_batch = batch;
    clearDump();
    m_widgets.reports->setReports({});
    m_widgets.reports->setVisible(batch);
    m_widgets.developerDump->setVisible(!batch);
    m_widgets.clientDump->hide();
    // The batch's summary takes the whole row.
    m_widgets.clientSummary->setVisible(!batch);
}

void SignatureViews::showDump(const DumpView &view)
{
    QTC_CHECK(view.hasDeveloper || !view.hasClient);
    QTC_ASSERT(!m_batch, return);
    QTextBrowser *developer = m_widgets.developerDump;
    if (view.developerTextIsPlain)
        developer->setPlainText(view.developerText);
    else
        developer->setText(view.developerText);
    if (!view.hasDeveloper)
        return;
    developer->show();
    m_widgets.developerSummary->setPlainLines(view.developerSummary);
    m_widgets.clientDump->setVisible(view.hasClient);
    if (view.hasClient) {
        m_widgets.clientDump->setText(view.clientText);
        m_widgets.clientSummary->setPlainLines(view.clientSummary);
    }
}

void SignatureViews::clearDump()
{
    m_widgets.developerDump->clear();
    m_widgets.clientDump->clear();
    m_widgets.developerSummary->setLines({});
    m_widgets.clientSummary->setLines({});
}

// The summary stands where one package's signatures would.
void SignatureViews::showReports(const QList<PackageReport> &reports)
{
    QTC_ASSERT(m_batch, return);
    m_widgets.reports->setReports(reports);
    m_widgets.developerSummary->setPlainLines(batchSummary(reports));
}

const QList<PackageReport> &SignatureViews::reports() const
{
    return m_widgets.reports->reports();
}

} // namespace Tamarek::Internal
