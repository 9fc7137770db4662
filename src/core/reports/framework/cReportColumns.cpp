#include "reports/framework/cReportColumns.h"

#include "data/cConnection.h"

bool cReportColumns::insertRow() {
    return m_db.execute(QStringLiteral("INSERT INTO report_columns "
                                       " (report_nmbr,"
                                       " column_nmbr,"
                                       " column_order)"
                                       " VALUES "
                                       "(%1,%2,%3)")
                            .arg(m_reportNmbr)
                            .arg(m_columnNmbr)
                            .arg(m_columnOrder));
}

cReportColumns* cReportColumnsCollection::Add(int reportNmbr, int columnNmbr, int columnOrder,
                                              const QString& columnName, const QString& key) {
    return append(std::make_unique<cReportColumns>(reportNmbr, columnNmbr, columnOrder, columnName), key);
}

int cReportColumnsCollection::load(int reportNmbr) {
    if (m_db.OpenResultSet(QStringLiteral("SELECT A.*, B.column_name "
                                          " FROM report_columns A, column_dm B"
                                          " WHERE report_nmbr = %1"
                                          " AND A.column_nmbr = B.column_nmbr "
                                          " ORDER BY A.column_order")
                               .arg(reportNmbr))) {
        for (m_db.MoveFirst(); !m_db.isEOF(); m_db.MoveNext())
            Add(m_db.fields.toInt(QStringLiteral("report_nmbr")), m_db.fields.toInt(QStringLiteral("column_nmbr")),
                m_db.fields.toInt(QStringLiteral("column_order")), m_db.fields.toText(QStringLiteral("column_name")));
    }
    return Count();
}

bool cReportColumnsCollection::deleteReportColumns(int reportNmbr) {
    return m_db.execute(QStringLiteral("DELETE FROM report_columns where report_nmbr = %1").arg(reportNmbr));
}

bool cReportColumnsCollection::insertReportColumns() {
    Transaction tx;
    if (!tx.begun())
        return false;
    if (Count() >= 1 && !deleteReportColumns(Item(1)->reportNmbr()))
        return false;
    for (cReportColumns& column : *this)
        if (!column.insertRow())
            return false;
    return tx.commit();
}
