#include "reports/framework/cAvailableReportColumns.h"

namespace {

QString availableSql(int reportNmbr) {
    return QStringLiteral("SELECT A.column_nmbr,A.report_nmbr, B.column_name "
                          " FROM available_report_columns A, column_dm B"
                          " WHERE report_nmbr = %1"
                          " AND A.column_nmbr = B.column_nmbr ")
        .arg(reportNmbr);
}

} // namespace

cAvailableReportColumns* cAvailableReportColumnsCollection::Add(int reportNmbr, int columnNmbr,
                                                                const QString& columnName, const QString& key) {
    return append(std::make_unique<cAvailableReportColumns>(reportNmbr, columnNmbr, columnName), key);
}

int cAvailableReportColumnsCollection::load(int reportNmbr) {
    return loadQuery(availableSql(reportNmbr));
}

int cAvailableReportColumnsCollection::loadNotUsed(int reportNmbr) {
    return loadQuery(availableSql(reportNmbr) + QStringLiteral(" AND A.column_nmbr NOT IN "
                                                               "         (SELECT column_nmbr "
                                                               "            FROM report_columns "
                                                               "           WHERE report_nmbr = %1)")
                                                    .arg(reportNmbr));
}

int cAvailableReportColumnsCollection::loadQuery(const QString& sql) {
    if (m_db.OpenResultSet(sql)) {
        for (m_db.MoveFirst(); !m_db.isEOF(); m_db.MoveNext())
            Add(m_db.fields.toInt(QStringLiteral("report_nmbr")), m_db.fields.toInt(QStringLiteral("column_nmbr")),
                m_db.fields.toText(QStringLiteral("column_name")));
    }
    return Count();
}
