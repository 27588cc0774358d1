// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#include "packagereportview.h"

#include <utils/fileutils.h>
#include <utils/layoutbuilder.h>

#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

using namespace Utils;

namespace Tamarek::Internal {

struct DialogTr
{
    Q_DECLARE_TR_FUNCTIONS(Tamarek::Internal::SignDialog)
};

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
    m_tree->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_tree->header()->setStretchLastSection(true);

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
        QStringList signatures;
        for (const SignatureEntry &entry : report.signatures)
            signatures << entry.group + ": " + entry.subject;
        if (signatures.isEmpty())
            signatures << DialogTr::tr("No signatures found in package");
        auto item = new QTreeWidgetItem(m_tree,
                                        {QFileInfo(report.path).fileName(),
                                         signatures.join('\n'),
                                         verificationText(report)});
        item->setToolTip(0, report.path);
        item->setToolTip(1, signatures.join('\n'));
        item->setToolTip(2, verificationText(report));
    }
    m_tree->resizeColumnToContents(0);
    m_saveButton->setEnabled(!reports.isEmpty());
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
