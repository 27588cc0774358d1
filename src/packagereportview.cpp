// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "packagereportview.h"

#include <utils/fileutils.h>
#include <utils/layoutbuilder.h>

#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>

#include <algorithm>

using namespace Utils;

namespace Tamarek::Internal {

struct DialogTr
{
    Q_DECLARE_TR_FUNCTIONS(Tamarek::Internal::SignDialog)
};

static QString commonName(const QString &subject)
{
    static const QRegularExpression cn("(?:^|[,/]\\s*)CN\\s*=\\s*([^,/]+)");
    const QRegularExpressionMatch match = cn.match(subject);
    return match.hasMatch() ? match.captured(1).trimmed() : subject;
}

PackageReportView::PackageReportView(QWidget *parent)
    : QWidget(parent)
{
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName("packageReportTree");
    m_tree->setAccessibleName(DialogTr::tr("Packages"));
    m_tree->setRootIsDecorated(false);
    m_tree->setUniformRowHeights(false);
    m_tree->setWordWrap(true);
    m_tree->setHeaderLabels(
        {DialogTr::tr("Package"), DialogTr::tr("Signatures"), DialogTr::tr("Verification")});
    m_tree->setTextElideMode(Qt::ElideRight);
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_tree->header()->setSectionResizeMode(1, QHeaderView::Stretch);

    m_saveButton = new QPushButton(DialogTr::tr("Save Rep&ort..."), this);
    m_saveButton->setObjectName("saveReportPushButton");
    m_saveButton->setAutoDefault(false);
    m_saveButton->setEnabled(false);
    connect(m_saveButton, &QPushButton::clicked, this, &PackageReportView::saveReport);

    using namespace Layouting;
    Column{noMargin, m_tree, Row{st, m_saveButton}}.attachTo(this);
}

QWidget *PackageReportView::table() const
{
    return m_tree;
}

void PackageReportView::setReports(const QList<PackageReport> &reports)
{
    m_reports = reports;
    m_tree->clear();
    for (const PackageReport &report : reports) {
        // The common name tells signers apart; the whole subject is in the tooltip.
        QStringList signatures;
        QStringList subjects;
        for (const SignatureEntry &entry : report.signatures) {
            signatures << entry.group + ": " + commonName(entry.subject);
            subjects << entry.group + ": " + entry.subject;
        }
        if (signatures.isEmpty())
            signatures << DialogTr::tr("No signatures found in package");
        auto item = new QTreeWidgetItem(m_tree,
                                        {QFileInfo(report.path).fileName(),
                                         signatures.join('\n'),
                                         verificationText(report)});
        item->setToolTip(0, report.path);
        item->setToolTip(1, subjects.isEmpty() ? signatures.join('\n') : subjects.join('\n'));
        item->setToolTip(2, verificationText(report));
    }
    fitColumns();
    m_saveButton->setEnabled(!reports.isEmpty());
}

void PackageReportView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitColumns();
}

// The names as far as they go in half the width, the outcome in a quarter;
// the signatures take the rest.
void PackageReportView::fitColumns()
{
    const int width = m_tree->viewport()->width();
    m_tree->resizeColumnToContents(0);
    m_tree->setColumnWidth(0, std::min(m_tree->columnWidth(0), width / 2));
    m_tree->resizeColumnToContents(2);
    m_tree->setColumnWidth(2, std::min(m_tree->columnWidth(2), width / 4));
}

Result PackageReportView::writeReport(const FilePath &path) const
{
    const QByteArray contents = path.suffix() == "json" ? reportJson(m_reports)
                                                        : reportText(m_reports).toUtf8();
    const expected_str<qint64> written = path.writeFileContents(contents);
    if (!written)
        return Result::Error(written.error());
    return Result::Ok;
}

void PackageReportView::saveReport()
{
    const QString jsonFilter = DialogTr::tr("JSON (*.json)");
    QString filter = jsonFilter;
    FilePath path = FileUtils::getSaveFilePath(DialogTr::tr("Save Report"),
                                               {},
                                               jsonFilter + ";;" + DialogTr::tr("Text (*.txt)"),
                                               &filter);
    if (path.isEmpty())
        return;
    // A name typed without its suffix takes the chosen format's.
    if (path.suffix().isEmpty())
        path = path.stringAppended(QLatin1String(filter == jsonFilter ? ".json" : ".txt"));
    const Result written = writeReport(path);
    emit statusMessage(written ? DialogTr::tr("Report saved to %1").arg(path.toUserOutput())
                               : DialogTr::tr("Could not save the report: %1").arg(written.error()));
}

} // namespace Tamarek::Internal
