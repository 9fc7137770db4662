#include "posting/cScoringPoints.h"

namespace {
QString num(int v) {
    return QString::number(v);
}
} // namespace

bool cScoringPoints::CommitChanges() {
    const QString sql = QStringLiteral(" SELECT * ") + QStringLiteral(" FROM scoring_points ") +
                        QStringLiteral(" WHERE scoring_type_nmbr = ") + num(m_scoringTypeNmbr) +
                        QStringLiteral(" AND place = ") + num(m_place);
    if (!m_db.OpenResultSet(sql))
        return false;
    return m_db.isEOF() ? insertRow() : updateRow();
}

bool cScoringPoints::updateRow() {
    const QString sql = QStringLiteral("UPDATE scoring_points ") + QStringLiteral(" set points = ") + num(m_points) +
                        QStringLiteral(" ,qual_points = ") + num(m_qualPoints) +
                        QStringLiteral(" WHERE scoring_type_nmbr = ") + num(m_scoringTypeNmbr) +
                        QStringLiteral(" AND place = ") + num(m_place);
    return m_db.execute(sql);
}

bool cScoringPoints::insertRow() {
    const QString sql = QStringLiteral("INSERT INTO scoring_points ") + QStringLiteral(" (scoring_type_nmbr,") +
                        QStringLiteral(" place,") + QStringLiteral(" points,") + QStringLiteral(" qual_points)") +
                        QStringLiteral(" VALUES ") + QLatin1Char('(') + num(m_scoringTypeNmbr) + QLatin1Char(',') +
                        num(m_place) + QLatin1Char(',') + num(m_points) + QLatin1Char(',') + num(m_qualPoints) +
                        QLatin1Char(')');
    return m_db.execute(sql);
}

bool cScoringPoints::deleteRow() {
    const QString sql = QStringLiteral("DELETE FROM scoring_points ") + QStringLiteral(" WHERE scoring_type_nmbr = ") +
                        num(m_scoringTypeNmbr) + QStringLiteral(" AND place = ") + num(m_place);
    return m_db.execute(sql);
}
