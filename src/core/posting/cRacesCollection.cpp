#include "posting/cRacesCollection.h"

#include "data/SqlText.h"
#include "posting/RaceOrder.h"

cRaces* cRacesCollection::Add(int raceNmbr, const QString& raceName, const QString& trackName, const QDate& raceDate,
                              int raceTypeNmbr, int carTypeNmbr, int raceStatusNmbr, const QString& key) {
    auto race = std::make_unique<cRaces>();
    race->setRaceNmbr(raceNmbr);
    race->setRaceName(raceName);
    race->setTrackName(trackName);
    race->setRaceDate(raceDate);
    race->setRaceTypeNmbr(raceTypeNmbr);
    race->setCarTypeNmbr(carTypeNmbr);
    race->setRaceStatusNmbr(raceStatusNmbr);
    return append(std::move(race), key);
}

int cRacesCollection::loadFromResultSet() {
    while (!m_db.isEOF()) {
        Add(m_db.fields.toInt(QStringLiteral("race_nmbr")), m_db.fields.toText(QStringLiteral("race_name")),
            m_db.fields.toText(QStringLiteral("track_name")), m_db.fields.toDate(QStringLiteral("race_dt")),
            m_db.fields.toInt(QStringLiteral("race_type_nmbr")), m_db.fields.toInt(QStringLiteral("car_type_nmbr")),
            m_db.fields.toInt(QStringLiteral("race_status_nmbr")));
        m_db.MoveNext();
    }
    return Count();
}

int cRacesCollection::loadQuery(const QString& sql) {
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

int cRacesCollection::load(std::optional<int> raceTypeNmbr, std::optional<int> carTypeNmbr) {
    QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM races");
    sql += sqlTypeFilter(raceTypeNmbr, carTypeNmbr);
    return loadQuery(sql);
}

int cRacesCollection::loadRacesWithResults(std::optional<int> raceTypeNmbr, std::optional<int> carTypeNmbr) {
    QString sql = QStringLiteral("SELECT * ") + QStringLiteral(" FROM races") +
                  QStringLiteral(" WHERE races.race_nmbr in ") + QStringLiteral("   (SELECT distinct(race_nmbr) ") +
                  QStringLiteral("   FROM results) ");
    if (raceTypeNmbr)
        sql += QStringLiteral(" AND race_type_nmbr = ") + QString::number(*raceTypeNmbr);
    if (carTypeNmbr)
        sql += QStringLiteral(" AND car_type_nmbr = ") + QString::number(*carTypeNmbr);
    sql += seasonOrder(QStringLiteral("races"));
    return loadQuery(sql);
}

int cRacesCollection::loadMostCurrentRaceWithResults(int raceTypeNmbr, int carTypeNmbr) {
    const QString rt = QString::number(raceTypeNmbr);
    const QString sql =
        QStringLiteral("SELECT *") + QStringLiteral(" FROM races") + QStringLiteral(" WHERE race_type_nmbr = ") + rt +
        QStringLiteral(" AND race_dt = ") + QStringLiteral("       (SELECT max(r1.race_dt) ") +
        QStringLiteral("       FROM races r1, results ") +
        QStringLiteral("       WHERE r1.race_nmbr = results.race_nmbr ") +
        QStringLiteral("       AND r1.race_type_nmbr = ") + rt + QStringLiteral("       AND r1.car_type_nmbr = ") +
        QString::number(carTypeNmbr) + QStringLiteral(")") + QStringLiteral(" ORDER BY race_nmbr");
    return loadQuery(sql);
}

int cRacesCollection::loadMostCurrentRaceWithPostedResults(int raceTypeNmbr) {
    const QString rt = QString::number(raceTypeNmbr);
    const QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM races") +
                        QStringLiteral(" WHERE race_type_nmbr = ") + rt + QStringLiteral(" AND race_dt = ") +
                        QStringLiteral("       (SELECT max(r1.race_dt) ") +
                        QStringLiteral("       FROM races r1, team_results ") +
                        QStringLiteral("       WHERE r1.race_nmbr = team_results.race_nmbr ") +
                        QStringLiteral("       AND r1.race_type_nmbr = ") + rt + QStringLiteral(")") +
                        QStringLiteral(" ORDER BY race_nmbr");
    return loadQuery(sql);
}

int cRacesCollection::loadFutureRaces(int raceNmbr) {
    const QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM races") + QStringLiteral(" WHERE ") +
                        raceAfterCondition(QStringLiteral("races"), raceNmbr) + seasonOrder(QStringLiteral("races"));
    return loadQuery(sql);
}

int cRacesCollection::loadPreviouRacesWithResults(int raceNmbr) {
    const QString sql = QStringLiteral("SELECT races.* ") + QStringLiteral(" FROM races, results") +
                        QStringLiteral(" WHERE ") + raceBeforeCondition(QStringLiteral("races"), raceNmbr) +
                        QStringLiteral(" AND races.race_nmbr = results.race_nmbr") +
                        QStringLiteral(" AND results.place = 1") + seasonOrder(QStringLiteral("races"));
    return loadQuery(sql);
}

bool cRacesCollection::raceTypeNmbrExists(int raceTypeNmbr) {
    if (isEmpty())
        load();
    for (const cRaces& race : *this)
        if (race.raceTypeNmbr() == raceTypeNmbr)
            return true;
    return false;
}

bool cRacesCollection::carTypeNmbrExists(int carTypeNmbr) {
    if (isEmpty())
        load();
    for (const cRaces& race : *this)
        if (race.carTypeNmbr() == carTypeNmbr)
            return true;
    return false;
}

bool cRacesCollection::raceDateExistsForRaceType(const QDate& raceDate, int raceTypeNmbr, int carTypeNmbr) {
    if (isEmpty())
        load();
    for (const cRaces& race : *this)
        if (race.raceTypeNmbr() == raceTypeNmbr && race.carTypeNmbr() == carTypeNmbr && race.raceDate() == raceDate)
            return true;
    return false;
}
