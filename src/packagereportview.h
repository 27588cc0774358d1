// Copyright (C) 2026 Tamarek
// SPDX-License-Identifier: GPL-3.0-only

#pragma once

#include "packagereport.h"

#include <utils/filepath.h>
#include <utils/result.h>

#include <QWidget>

QT_BEGIN_NAMESPACE
class QPushButton;
class QTreeWidget;
QT_END_NAMESPACE

namespace Tamarek::Internal {

// The Verify tab's table for several packages: each one's signatures and
// whether it verified, and the button that saves it all.
class PackageReportView : public QWidget
{
    Q_OBJECT

public:
    explicit PackageReportView(QWidget *parent = nullptr);

    void setReports(const QList<PackageReport> &reports);
    const QList<PackageReport> &reports() const { return m_reports; }
    QWidget *table() const;
    QPushButton *saveButton() const { return m_saveButton; }

    // JSON for a path ending in ".json", text otherwise.
    Utils::Result writeReport(const Utils::FilePath &path) const;

signals:
    void statusMessage(const QString &message);

private:
    void resizeEvent(QResizeEvent *event) override;
    void fitColumns();
    void saveReport();

    QList<PackageReport> m_reports;
    QTreeWidget *m_tree = nullptr;
    QPushButton *m_saveButton = nullptr;
};

} // namespace Tamarek::Internal
