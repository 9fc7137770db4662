#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"

#include <QString>

// A column one report can show (available_report_columns with its name from column_dm).
class cAvailableReportColumns {
public:
    cAvailableReportColumns() = default;
    cAvailableReportColumns(int reportNmbr, int columnNmbr, const QString& columnName)
        : m_columnName(columnName), m_columnNmbr(columnNmbr), m_reportNmbr(reportNmbr) {}

    QString columnName() const { return m_columnName; }
    void setColumnName(const QString& v) { m_columnName = v; }
    int columnNmbr() const { return m_columnNmbr; }
    void setColumnNmbr(int v) { m_columnNmbr = v; }
    int reportNmbr() const { return m_reportNmbr; }
    void setReportNmbr(int v) { m_reportNmbr = v; }

private:
    QString m_columnName;
    int m_columnNmbr = 0;
    int m_reportNmbr = 0;
};

class cAvailableReportColumnsCollection : public RowList<cAvailableReportColumns> {
public:
    cAvailableReportColumns* Add(int reportNmbr, int columnNmbr, const QString& columnName,
                                 const QString& key = QString());
    // Appends every column the report can show; returns the count.
    int load(int reportNmbr);
    // Appends the columns the report can show that are not chosen for it yet; returns the count.
    int loadNotUsed(int reportNmbr);

private:
    int loadQuery(const QString& sql);
    IDatabase m_db;
};
