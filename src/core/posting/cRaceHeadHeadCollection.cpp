#include "posting/cRaceHeadHeadCollection.h"

#include "data/cConnection.h"

namespace {
QString num(int v) {
    return QString::number(v);
}
} // namespace

cRaceHeadHead* cRaceHeadHeadCollection::Add(int raceNmbr, int leagueNmbr, int teamNmbr1, int teamnmbr2,
                                            const QString& key) {
    auto pairing = std::make_unique<cRaceHeadHead>();
    pairing->setRaceNmbr(raceNmbr);
    pairing->setLeagueNmbr(leagueNmbr);
    pairing->setTeamNmbr1(teamNmbr1);
    pairing->setTeamnmbr2(teamnmbr2);
    return append(std::move(pairing), key);
}

int cRaceHeadHeadCollection::loadFromResultSet() {
    while (!m_db.isEOF()) {
        Add(m_db.fields.toInt(QStringLiteral("race_nmbr")), m_db.fields.toInt(QStringLiteral("league_nmbr")),
            m_db.fields.toInt(QStringLiteral("team_nmbr1")), m_db.fields.toInt(QStringLiteral("team_nmbr2")));
        m_db.MoveNext();
    }
    return Count();
}

int cRaceHeadHeadCollection::load(std::optional<int> leagueNmbr, std::optional<int> raceNmbr) {
    QString sql = QStringLiteral("SELECT race_head_head.* ") + QStringLiteral(" FROM race_head_head");
    if (leagueNmbr && raceNmbr)
        sql += QStringLiteral(" WHERE league_nmbr = ") + num(*leagueNmbr) + QStringLiteral(" AND race_nmbr = ") +
               num(*raceNmbr);
    else if (leagueNmbr)
        sql += QStringLiteral(" WHERE League_nmbr = ") + num(*leagueNmbr);
    else if (raceNmbr)
        sql += QStringLiteral(" WHERE race_nmbr = ") + num(*raceNmbr);
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

bool cRaceHeadHeadCollection::update(int leagueNmbr, int raceNmbr) {
    Transaction tx;
    if (!tx.begun())
        return false;
    if (!m_db.execute(QStringLiteral("DELETE FROM race_head_head ") + QStringLiteral(" WHERE league_nmbr = ") +
                      num(leagueNmbr) + QStringLiteral(" AND race_nmbr = ") + num(raceNmbr)))
        return false;
    for (cRaceHeadHead& pairing : *this)
        if (!pairing.insertRow())
            return false;
    return tx.commit();
}
