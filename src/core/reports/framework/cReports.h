#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"

#include <QString>

// One report of the catalogue (table report).
class cReports {
public:
    cReports() = default;
    cReports(int reportNmbr, const QString& reportId, const QString& reportName, int fileHandle)
        : m_reportNmbr(reportNmbr), m_fileHandle(fileHandle), m_reportName(reportName), m_reportId(reportId) {}

    int reportNmbr() const { return m_reportNmbr; }
    void setReportNmbr(int v) { m_reportNmbr = v; }
    int fileHandle() const { return m_fileHandle; }
    void setFileHandle(int v) { m_fileHandle = v; }
    QString reportName() const { return m_reportName; }
    void setReportName(const QString& v) { m_reportName = v; }
    // The two-letter report code ("RD", "LS", ...).
    QString reportId() const { return m_reportId; }
    void setReportId(const QString& v) { m_reportId = v; }

private:
    int m_reportNmbr = 0;
    int m_fileHandle = 0;
    QString m_reportName;
    QString m_reportId;
};

// The report catalogue in table order.
class cReportsCollection : public RowList<cReports> {
public:
    cReports* Add(int reportNmbr, const QString& reportId, const QString& reportName, int fileHandle,
                  const QString& key = QString());
    // Appends every report; returns the count.
    int load();

private:
    IDatabase m_db;
};
