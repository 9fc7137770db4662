#include "posting/cRaceHeadHead.h"

namespace {
QString num(int v) {
    return QString::number(v);
}
} // namespace

void cRaceHeadHead::loadFromResultSet() {
    m_raceNmbr = m_db.fields.toInt(QStringLiteral("race_nmbr"));
    m_leagueNmbr = m_db.fields.toInt(QStringLiteral("league_nmbr"));
    m_teamNmbr1 = m_db.fields.toInt(QStringLiteral("team_nmbr1"));
    m_teamNmbr2 = m_db.fields.toInt(QStringLiteral("team_nmbr2"));
}

bool cRaceHeadHead::load(int raceNmbr, int teamNmbr1, int teamNmbr2) {
    const QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM race_head_head") +
                        QStringLiteral(" WHERE race_nmbr = ") + num(raceNmbr) + QStringLiteral(" AND team_nmbr1 = ") +
                        num(teamNmbr1) + QStringLiteral(" AND team_nmbr2 = ") + num(teamNmbr2);
    if (!m_db.OpenResultSet(sql) || m_db.isEOF())
        return false;
    loadFromResultSet();
    return true;
}

bool cRaceHeadHead::insertRow() {
    const QString sql = QStringLiteral("INSERT INTO race_head_head ") + QStringLiteral(" (race_nmbr,") +
                        QStringLiteral(" league_nmbr,") + QStringLiteral(" team_nmbr1,") +
                        QStringLiteral(" team_nmbr2)") + QStringLiteral(" VALUES ") + QLatin1Char('(') +
                        num(m_raceNmbr) + QLatin1Char(',') + num(m_leagueNmbr) + QLatin1Char(',') + num(m_teamNmbr1) +
                        QLatin1Char(',') + num(m_teamNmbr2) + QLatin1Char(')');
    return m_db.execute(sql);
}

bool cRaceHeadHead::deleteRow() {
    const QString sql = QStringLiteral("DELETE FROM race_head_head ") + QStringLiteral(" WHERE race_nmbr = ") +
                        num(m_raceNmbr) + QStringLiteral(" AND league_nmbr = ") + num(m_leagueNmbr) +
                        QStringLiteral(" AND team_nmbr1 = ") + num(m_teamNmbr1) + QStringLiteral(" AND team_nmbr2 = ") +
                        num(m_teamNmbr2);
    return m_db.execute(sql);
}
