#include "posting/cResultsCollection.h"

#include "data/SqlText.h"
#include "data/cCar.h"
#include "data/cConnection.h"
#include "posting/cRaces.h"

namespace {
QString num(int v) {
    return QString::number(v);
}
} // namespace

cResults* cResultsCollection::Add(int raceNmbr, int carNmbr, int place, int fastQual, int lapsLead, int qualified,
                                  int adjustment, const QString& key) {
    auto result = std::make_unique<cResults>();
    result->setRaceNmbr(raceNmbr);
    result->setCarNmbr(carNmbr);
    result->setPlace(place);
    result->setFastQual(fastQual);
    result->setLapsLead(lapsLead);
    result->setQualified(qualified);
    result->setAdjustment(adjustment);
    return append(std::move(result), key);
}

int cResultsCollection::loadFromResultSet() {
    while (!m_db.isEOF()) {
        Add(m_db.fields.toInt(QStringLiteral("race_nmbr")), m_db.fields.toInt(QStringLiteral("car_nmbr")),
            m_db.fields.toInt(QStringLiteral("place")), m_db.fields.toInt(QStringLiteral("fast_qual")),
            m_db.fields.toInt(QStringLiteral("laps_led")), m_db.fields.toInt(QStringLiteral("qualified")),
            m_db.fields.toInt(QStringLiteral("adjustment")));
        m_db.MoveNext();
    }
    return Count();
}

int cResultsCollection::loadQuery(const QString& sql) {
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

int cResultsCollection::load(std::optional<int> raceNmbr) {
    QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM results");
    if (raceNmbr)
        sql += QStringLiteral(" WHERE race_nmbr = ") + num(*raceNmbr);
    sql += QStringLiteral(" order by place");
    return loadQuery(sql);
}

int cResultsCollection::loadPrevious(const cRaces& race) {
    // The results of the race's previous race for its own race type and car type.
    const int previous = cRaces::previousRaceNmbr(race.raceTypeNmbr(), race.carTypeNmbr(), race.raceNmbr());
    if (previous == 0)
        return Count();
    return loadQuery(QStringLiteral("SELECT *") + QStringLiteral(" FROM results") +
                     QStringLiteral(" WHERE race_nmbr = ") + num(previous) + QStringLiteral(" order by place"));
}

bool cResultsCollection::raceExists(int raceNmbr) {
    if (isEmpty())
        load();
    for (const cResults& r : *this)
        if (r.raceNmbr() == raceNmbr)
            return true;
    return false;
}

bool cResultsCollection::carExists(int carNmbr) {
    if (isEmpty())
        load();
    for (const cResults& r : *this)
        if (r.carNmbr() == carNmbr)
            return true;
    return false;
}

bool cResultsCollection::insertResults() {
    Transaction tx;
    if (!tx.begun())
        return false;
    if (!isEmpty() && !deleteResults(Item(1)->raceNmbr()))
        return false;
    for (cResults& r : *this)
        if (!r.insertRow())
            return false;
    return tx.commit();
}

bool cResultsCollection::deleteResults(int raceNmbr) {
    if (!deleteTeamResultsSummary(raceNmbr) || !deleteTeamResults(raceNmbr))
        return false;
    return m_db.execute(QStringLiteral("DELETE FROM results where race_nmbr = ") + num(raceNmbr));
}

bool cResultsCollection::deletePosting(int raceNmbr) {
    if (!deleteTeamResultsSummary(raceNmbr))
        return false;
    return deleteTeamResults(raceNmbr);
}

bool cResultsCollection::deleteTeamResults(int raceNmbr) {
    return m_db.execute(QStringLiteral("DELETE FROM team_results where race_nmbr = ") + num(raceNmbr));
}

bool cResultsCollection::deleteTeamResultsSummary(int raceNmbr) {
    return m_db.execute(QStringLiteral("DELETE FROM team_results_summary where race_nmbr = ") + num(raceNmbr));
}

int cResultsCollection::getPlace(int carNmbr) const {
    for (const cResults& r : *this)
        if (r.carNmbr() == carNmbr)
            return r.place();
    return 0;
}

int cResultsCollection::loadMostLapsLed(int raceNmbr) {
    if (!m_db.OpenResultSet(QStringLiteral(" SELECT max(laps_led) as max_laps_led ") +
                            QStringLiteral(" FROM results ") + QStringLiteral(" WHERE race_nmbr = ") + num(raceNmbr)))
        return Count();
    int most = 0;
    if (!m_db.isEOF() && !m_db.fields.isNull(QStringLiteral("max_laps_led")))
        most = m_db.fields.toInt(QStringLiteral("max_laps_led"));
    return loadQuery(QStringLiteral(" select *") + QStringLiteral(" FROM results ") +
                     QStringLiteral(" WHERE race_nmbr = ") + num(raceNmbr) + QStringLiteral(" AND laps_led = ") +
                     num(most));
}

int cResultsCollection::loadFastQualifier(int raceNmbr) {
    return loadQuery(QStringLiteral(" select *") + QStringLiteral(" FROM results ") +
                     QStringLiteral(" WHERE race_nmbr = ") + num(raceNmbr) + QStringLiteral(" AND fast_Qual = 1"));
}

int cResultsCollection::loadLapsLed(int raceNmbr) {
    return loadQuery(QStringLiteral(" select *") + QStringLiteral(" FROM results ") +
                     QStringLiteral(" WHERE race_nmbr = ") + num(raceNmbr) + QStringLiteral(" AND laps_led > 0 "));
}

QString cResultsCollection::validateData() const {
    QString message;
    const int n = Count();
    for (int i = 1; i <= n; ++i) {
        const cResults* a = Item(i);
        for (int j = i + 1; j <= n; ++j) {
            const cResults* b = Item(j);
            if (a->carNmbr() == b->carNmbr()) {
                cCar car; // a number without a cars row leaves the text empty
                car.load(a->carNmbr());
                message += QStringLiteral("Car Number ") + car.carTxt() + QStringLiteral(" exists more than once.\r\n");
            }
            if (a->place() == b->place() && a->place() != 0)
                message += QStringLiteral(" Place ") + QString::number(a->place()) +
                           QStringLiteral(" exists more than once.\r\n");
        }
    }
    return message;
}
