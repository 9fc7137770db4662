#include "posting/cRaces.h"

#include "data/NewNumber.h"
#include "data/SqlText.h"
#include "data/cConnection.h"
#include "posting/RaceOrder.h"

void cRaces::setRaceDate(const QString& text) {
    m_raceDate = parseDate(text);
}

void cRaces::loadFromResultSet() {
    m_raceNmbr = m_db.fields.toInt(QStringLiteral("race_nmbr"));
    m_raceName = m_db.fields.toText(QStringLiteral("race_name"));
    m_trackName = m_db.fields.toText(QStringLiteral("track_name"));
    m_raceDate = m_db.fields.toDate(QStringLiteral("race_dt"));
    m_raceTypeNmbr = m_db.fields.toInt(QStringLiteral("race_type_nmbr"));
    m_carTypeNmbr = m_db.fields.toInt(QStringLiteral("car_type_nmbr"));
    m_raceStatusNmbr = m_db.fields.toInt(QStringLiteral("race_status_nmbr"));
}

bool cRaces::load(int raceNmbr) {
    const QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM races") +
                        QStringLiteral(" WHERE race_nmbr = ") + QString::number(raceNmbr);
    if (!m_db.OpenResultSet(sql) || m_db.isEOF())
        return false;
    loadFromResultSet();
    return true;
}

bool cRaces::loadPrevious(int raceNmbr) {
    // The race a league scored by this race's car type carries its totals from, so that a report's
    // "since the previous race" and the posting's mean the same race.
    cRaces race;
    if (!race.load(raceNmbr))
        return false;
    const int previous = previousRaceNmbr(race.raceTypeNmbr(), race.carTypeNmbr(), raceNmbr);
    return previous > 0 && load(previous);
}

int cRaces::previousRaceNmbr(int raceTypeNmbr, int carTypeNmbr, int raceNmbr) {
    IDatabase db;
    if (!db.OpenResultSet(previousRaceSql(), {raceNmbr, raceTypeNmbr, carTypeNmbr}) || db.isEOF())
        return 0;
    return db.fields.toInt(QStringLiteral("race_nmbr"));
}

bool cRaces::CommitChanges() {
    return m_raceNmbr < 1 ? insertRow() : updateRow();
}

bool cRaces::updateRow() {
    const QString sql = QStringLiteral("UPDATE races ") + QStringLiteral(" set race_name = ") + sqlText(m_raceName) +
                        QStringLiteral(" ,track_name = ") + sqlText(m_trackName) + QStringLiteral(" ,race_dt = ") +
                        sqlDate(m_raceDate) + QStringLiteral(" ,race_type_nmbr = ") + QString::number(m_raceTypeNmbr) +
                        QStringLiteral(" ,car_type_nmbr = ") + QString::number(m_carTypeNmbr) +
                        QStringLiteral(" ,race_status_nmbr = ") + QString::number(m_raceStatusNmbr) +
                        QStringLiteral(" WHERE race_nmbr = ") + QString::number(m_raceNmbr);
    return m_db.execute(sql);
}

bool cRaces::insertRow() {
    // The number is kept even when the insert then fails.
    if (!newUserNumber(m_db, QStringLiteral("SELECT MAX(race_nmbr) as max_race_nmbr") + QStringLiteral(" FROM races "),
                       QStringLiteral("max_race_nmbr"), &m_raceNmbr))
        return false;
    return insert();
}

bool cRaces::insert() {
    const QString sql = QStringLiteral("INSERT INTO races ") + QStringLiteral(" (race_nmbr,") +
                        QStringLiteral(" race_name,") + QStringLiteral(" track_name,") + QStringLiteral(" race_dt,") +
                        QStringLiteral(" car_type_nmbr,") + QStringLiteral(" race_type_nmbr,") +
                        QStringLiteral(" race_status_nmbr)") + QStringLiteral(" VALUES ") + QLatin1Char('(') +
                        QString::number(m_raceNmbr) + QLatin1Char(',') + sqlText(m_raceName) + QLatin1Char(',') +
                        sqlText(m_trackName) + QLatin1Char(',') + sqlDate(m_raceDate) + QLatin1Char(',') +
                        QString::number(m_carTypeNmbr) + QLatin1Char(',') + QString::number(m_raceTypeNmbr) +
                        QLatin1Char(',') + QString::number(m_raceStatusNmbr) + QLatin1Char(')');
    return m_db.execute(sql);
}

bool cRaces::deleteRow() {
    // Postings first, then what they were made from; one transaction, so a failure part-way
    // leaves the race with its results and postings as they were.
    const QString where = QStringLiteral(" WHERE race_nmbr = ") + QString::number(m_raceNmbr);
    Transaction tx;
    if (!tx.begun())
        return false;
    for (const char* table : {"team_results_summary", "team_results", "results", "race_head_head", "races"})
        if (!m_db.execute(QStringLiteral("DELETE FROM %1 ").arg(QLatin1String(table)) + where))
            return false;
    return tx.commit();
}

std::unique_ptr<cRaces> cRaces::copy() const {
    auto c = std::make_unique<cRaces>();
    c->m_raceStatusNmbr = m_raceStatusNmbr;
    c->m_carTypeNmbr = m_carTypeNmbr;
    c->m_raceTypeNmbr = m_raceTypeNmbr;
    c->m_raceDate = m_raceDate;
    c->m_trackName = m_trackName;
    c->m_raceName = m_raceName;
    c->m_raceNmbr = m_raceNmbr;
    return c;
}
