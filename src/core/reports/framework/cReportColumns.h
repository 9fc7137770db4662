#pragma once

#include "data/IDatabase.h"
#include "data/RowList.h"

#include <QString>

// One chosen column of a report and its place (report_columns).
class cReportColumns {
public:
    cReportColumns() = default;
    cReportColumns(int reportNmbr, int columnNmbr, int columnOrder, const QString& columnName)
        : m_reportNmbr(reportNmbr), m_columnNmbr(columnNmbr), m_columnOrder(columnOrder), m_columnName(columnName) {}

    int reportNmbr() const { return m_reportNmbr; }
    void setReportNmbr(int v) { m_reportNmbr = v; }
    int columnNmbr() const { return m_columnNmbr; }
    void setColumnNmbr(int v) { m_columnNmbr = v; }
    int columnOrder() const { return m_columnOrder; }
    void setColumnOrder(int v) { m_columnOrder = v; }
    QString columnName() const { return m_columnName; }
    void setColumnName(const QString& v) { m_columnName = v; }

    bool insertRow();

private:
    IDatabase m_db;
    int m_reportNmbr = 0;
    int m_columnNmbr = 0;
    int m_columnOrder = 0;
    QString m_columnName;
};

// A report's chosen columns in their order.
class cReportColumnsCollection : public RowList<cReportColumns> {
public:
    cReportColumns* Add(int reportNmbr, int columnNmbr, int columnOrder, const QString& columnName,
                        const QString& key = QString());
    // Appends the report's chosen columns by column_order; returns the count.
    int load(int reportNmbr);
    bool deleteReportColumns(int reportNmbr);
    // Replaces the chosen columns of the report of the first element by the elements, in one
    // transaction: on any failure the report keeps the columns it had. An empty collection
    // changes nothing and succeeds.
    bool insertReportColumns();

private:
    IDatabase m_db;
};
