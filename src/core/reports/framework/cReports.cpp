#include "reports/framework/cReports.h"

cReports* cReportsCollection::Add(int reportNmbr, const QString& reportId, const QString& reportName, int fileHandle,
                                  const QString& key) {
    return append(std::make_unique<cReports>(reportNmbr, reportId, reportName, fileHandle), key);
}

int cReportsCollection::load() {
    if (m_db.OpenResultSet(QStringLiteral("SELECT * FROM report"))) {
        for (m_db.MoveFirst(); !m_db.isEOF(); m_db.MoveNext())
            Add(m_db.fields.toInt(QStringLiteral("report_nmbr")), m_db.fields.toText(QStringLiteral("report_id")),
                m_db.fields.toText(QStringLiteral("report_name")), m_db.fields.toInt(QStringLiteral("file_handle")));
    }
    return Count();
}
