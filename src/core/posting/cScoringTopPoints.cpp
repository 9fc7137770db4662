#include "posting/cScoringTopPoints.h"

bool cScoringTopPoints::insertRow() {
    const QString sql = QStringLiteral("INSERT INTO scoring_top_points ") + QStringLiteral(" (scoring_type_nmbr,") +
                        QStringLiteral(" nmbr_cars,") + QStringLiteral(" points,") + QStringLiteral(" top_nmbr)") +
                        QStringLiteral(" VALUES ") + QLatin1Char('(') + QString::number(m_scoringTypeNmbr) +
                        QLatin1Char(',') + QString::number(m_nmbr) + QLatin1Char(',') + QString::number(m_points) +
                        QLatin1Char(',') + QString::number(m_top) + QLatin1Char(')');
    return m_db.execute(sql);
}
