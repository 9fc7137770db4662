#include "posting/cResults.h"

namespace {
QString num(int v) {
    return QString::number(v);
}
} // namespace

bool cResults::CommitChanges() {
    return m_carNmbr < 1 ? insertRow() : updateRow();
}

bool cResults::updateRow() {
    const QString sql = QStringLiteral("UPDATE results ") + QStringLiteral(" set place = ") + num(m_place) +
                        QStringLiteral(" ,qualified = ") + num(m_qualified) + QStringLiteral(" ,fast_qual = ") +
                        num(m_fastQual) + QStringLiteral(" ,laps_led = ") + num(m_lapsLead) +
                        QStringLiteral(" WHERE car_nmbr = ") + num(m_carNmbr) + QStringLiteral(" AND race_nmbr = ") +
                        num(m_raceNmbr);
    return m_db.execute(sql);
}

bool cResults::insertRow() {
    const QString sql = QStringLiteral("INSERT INTO results ") + QStringLiteral(" (car_nmbr,") +
                        QStringLiteral(" race_nmbr,") + QStringLiteral(" place,") + QStringLiteral(" qualified,") +
                        QStringLiteral(" fast_qual,") + QStringLiteral(" laps_led,") + QStringLiteral(" adjustment)") +
                        QStringLiteral(" VALUES ") + QLatin1Char('(') + num(m_carNmbr) + QLatin1Char(',') +
                        num(m_raceNmbr) + QLatin1Char(',') + num(m_place) + QLatin1Char(',') + num(m_qualified) +
                        QLatin1Char(',') + num(m_fastQual) + QLatin1Char(',') + num(m_lapsLead) + QLatin1Char(',') +
                        num(m_adjustment) + QLatin1Char(')');
    return m_db.execute(sql);
}

bool cResults::deleteRow() {
    const QString sql = QStringLiteral("DELETE FROM results ") + QStringLiteral(" WHERE race_nmbr = ") +
                        num(m_raceNmbr) + QStringLiteral(" AND car_nmbr = ") + num(m_carNmbr);
    return m_db.execute(sql);
}

std::unique_ptr<cResults> cResults::copy() const {
    auto c = std::make_unique<cResults>();
    c->m_adjustment = m_adjustment;
    c->m_lapsLead = m_lapsLead;
    c->m_fastQual = m_fastQual;
    c->m_place = m_place;
    c->m_qualified = m_qualified;
    c->m_carNmbr = m_carNmbr;
    c->m_raceNmbr = m_raceNmbr;
    return c;
}

int cResults::currentRaceNmbr(int raceTypeNmbr) {
    // Two races of the type on the latest date: the one with the higher number is the later one.
    const QString sql = QStringLiteral("SELECT r1.race_nmbr") + QStringLiteral(" FROM races r1") +
                        QStringLiteral(" WHERE r1.race_type_nmbr = ") + num(raceTypeNmbr) +
                        QStringLiteral(" AND r1.race_nmbr IN (SELECT distinct(race_nmbr) FROM results)") +
                        QStringLiteral(" ORDER BY r1.race_dt DESC, r1.race_nmbr DESC LIMIT 1");
    if (!m_db.OpenResultSet(sql) || m_db.isEOF())
        return 0;
    return m_db.fields.toInt(QStringLiteral("race_nmbr"));
}

int cResults::countResults(int leagueNmbr, int carNmbr, const QString& condition) {
    const QString sql =
        QStringLiteral(" SELECT count(*) as count ") + QStringLiteral(" FROM results ") +
        QStringLiteral(" WHERE results.race_nmbr in ( ") + QStringLiteral("       SELECT races.race_nmbr ") +
        QStringLiteral("       FROM races,leagues ") + QStringLiteral("       WHERE leagues.league_nmbr = ") +
        num(leagueNmbr) + QStringLiteral("         AND leagues.race_type_nmbr = races.race_type_nmbr) ") +
        QStringLiteral(" AND results.car_nmbr =  ") + num(carNmbr) + condition;
    // A statement that cannot run counts nothing, rather than whatever the previous query left.
    if (!m_db.OpenResultSet(sql) || m_db.isEOF())
        return 0;
    return m_db.fields.toInt(QStringLiteral("Count"));
}

int cResults::wins(int leagueNmbr, int carNmbr) {
    return countResults(leagueNmbr, carNmbr, QStringLiteral(" and Place = 1 "));
}
// A result without a finishing place (place 0) is no top finish.
int cResults::top5s(int leagueNmbr, int carNmbr) {
    return countResults(leagueNmbr, carNmbr, QStringLiteral(" and Place <= 5 and Place > 0 "));
}
int cResults::top10s(int leagueNmbr, int carNmbr) {
    return countResults(leagueNmbr, carNmbr, QStringLiteral(" and Place <= 10 and Place > 0 "));
}
int cResults::poles(int leagueNmbr, int carNmbr) {
    return countResults(leagueNmbr, carNmbr, QStringLiteral(" and qualified = 1 "));
}
