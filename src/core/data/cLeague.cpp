#include "data/cLeague.h"

#include "data/NewNumber.h"
#include "data/SqlText.h"
#include "data/cConnection.h"

namespace {

// The cap as plain decimal text without trailing zeros (750, 1234.5), independent of the locale.
QString capText(Currency cap) {
    QString s = cap.toSql();
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

} // namespace

// ---- cLeague ----

cLeague::cLeague() : m_db(std::make_unique<IDatabase>()) {}

cLeague::cLeague(const cLeague& other)
    : m_db(std::make_unique<IDatabase>()), m_leagueNmbr(other.m_leagueNmbr), m_leagueName(other.m_leagueName),
      m_leagueShortName(other.m_leagueShortName), m_scoringTypeNmbr(other.m_scoringTypeNmbr),
      m_raceTypeNmbr(other.m_raceTypeNmbr), m_scoringOptionNmbr(other.m_scoringOptionNmbr),
      m_salaryCap(other.m_salaryCap), m_dropLowest(other.m_dropLowest), m_carTypeNmbr(other.m_carTypeNmbr) {}

cLeague& cLeague::operator=(const cLeague& other) {
    if (this != &other) {
        m_leagueNmbr = other.m_leagueNmbr;
        m_leagueName = other.m_leagueName;
        m_leagueShortName = other.m_leagueShortName;
        m_scoringTypeNmbr = other.m_scoringTypeNmbr;
        m_raceTypeNmbr = other.m_raceTypeNmbr;
        m_scoringOptionNmbr = other.m_scoringOptionNmbr;
        m_salaryCap = other.m_salaryCap;
        m_dropLowest = other.m_dropLowest;
        m_carTypeNmbr = other.m_carTypeNmbr;
    }
    return *this;
}

cLeague::~cLeague() = default;

void cLeague::loadFromResultSet(const IDatabase& db) {
    m_leagueNmbr = db.fields.toInt(QStringLiteral("league_nmbr"));
    m_leagueName = db.fields.toText(QStringLiteral("league_name"));
    m_leagueShortName = db.fields.toText(QStringLiteral("league_short_name"));
    m_scoringTypeNmbr = db.fields.toInt(QStringLiteral("scoring_type_nmbr"));
    m_raceTypeNmbr = db.fields.toInt(QStringLiteral("race_type_nmbr"));
    m_scoringOptionNmbr = db.fields.toInt(QStringLiteral("scoring_option_nmbr"));
    m_salaryCap = Currency::fromVariant(db.fields(QStringLiteral("salary_cap")));
    m_dropLowest = db.fields.toInt(QStringLiteral("drop_lowest"));
    m_carTypeNmbr = db.fields.toInt(QStringLiteral("car_type_nmbr"));
}

int cLeague::load(int leagueNmbr) {
    const QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM leagues") +
                        QStringLiteral(" WHERE league_nmbr = ") + QString::number(leagueNmbr);
    if (!m_db->OpenResultSet(sql) || m_db->isEOF())
        return 0;
    loadFromResultSet(*m_db);
    return 1;
}

bool cLeague::CommitChanges() {
    return m_leagueNmbr < 1 ? insertRow() : updateRow();
}

bool cLeague::updateRow() {
    const QString sql =
        QStringLiteral("UPDATE leagues ") + QStringLiteral(" set league_name = ") + sqlText(m_leagueName) +
        QStringLiteral(" ,league_short_name = ") + sqlText(m_leagueShortName) + QStringLiteral(" ,race_type_nmbr = ") +
        QString::number(m_raceTypeNmbr) + QStringLiteral(" ,scoring_option_nmbr = ") +
        QString::number(m_scoringOptionNmbr) + QStringLiteral(" ,scoring_type_nmbr = ") +
        QString::number(m_scoringTypeNmbr) + QStringLiteral(" ,salary_cap = ") + capText(m_salaryCap) +
        QStringLiteral(" ,drop_lowest = ") + QString::number(m_dropLowest) + QStringLiteral(" ,car_type_nmbr = ") +
        QString::number(m_carTypeNmbr) + QStringLiteral(" WHERE league_nmbr = ") + QString::number(m_leagueNmbr);
    return m_db->execute(sql);
}

bool cLeague::insertRow() {
    const int previous = m_leagueNmbr;
    if (!newUserNumber(*m_db,
                       QStringLiteral("SELECT MAX(league_nmbr) as max_league_nmbr") + QStringLiteral(" FROM leagues "),
                       QStringLiteral("max_league_nmbr"), &m_leagueNmbr))
        return false;
    const QString sql =
        QStringLiteral("INSERT INTO leagues ") + QStringLiteral(" (league_nmbr,") + QStringLiteral(" league_name,") +
        QStringLiteral(" league_short_name,") + QStringLiteral(" race_type_nmbr,") +
        QStringLiteral(" scoring_option_nmbr,") + QStringLiteral(" scoring_type_nmbr,") +
        QStringLiteral(" salary_cap,") + QStringLiteral(" drop_lowest,") + QStringLiteral(" car_type_nmbr)") +
        QStringLiteral(" VALUES ") + QLatin1Char('(') + QString::number(m_leagueNmbr) + QLatin1Char(',') +
        sqlText(m_leagueName) + QLatin1Char(',') + sqlText(m_leagueShortName) + QLatin1Char(',') +
        QString::number(m_raceTypeNmbr) + QLatin1Char(',') + QString::number(m_scoringOptionNmbr) + QLatin1Char(',') +
        QString::number(m_scoringTypeNmbr) + QLatin1Char(',') + capText(m_salaryCap) + QLatin1Char(',') +
        QString::number(m_dropLowest) + QLatin1Char(',') + QString::number(m_carTypeNmbr) + QLatin1Char(')');
    if (m_db->execute(sql))
        return true;
    m_leagueNmbr = previous;
    return false;
}

bool cLeague::deleteRow() {
    const QString where = QStringLiteral(" WHERE league_nmbr = ") + QString::number(m_leagueNmbr);
    Transaction tx;
    if (!tx.begun())
        return false;
    for (const char* table : {"league_teams", "team_results", "team_results_summary", "race_head_head"})
        if (!m_db->execute(QStringLiteral("DELETE FROM ") + QLatin1String(table) + where))
            return false;
    if (!m_db->execute(QStringLiteral("DELETE FROM leagues ") + where))
        return false;
    return tx.commit();
}

// ---- cLeagueCollection ----

cLeague* cLeagueCollection::Add(int leagueNmbr, const QString& leagueName, const QString& leagueShortName,
                                int scoringTypeNmbr, int raceTypeNmbr, int scoringOptionNmbr, Currency salaryCap,
                                int dropLowest, int carTypeNmbr, const QString& sKey) {
    auto league = std::make_unique<cLeague>();
    league->setLeagueNmbr(leagueNmbr);
    league->setLeagueName(leagueName);
    league->setLeagueShortName(leagueShortName);
    league->setScoringTypeNmbr(scoringTypeNmbr);
    league->setRaceTypeNmbr(raceTypeNmbr);
    league->setScoringOptionNmbr(scoringOptionNmbr);
    league->setSalaryCap(salaryCap);
    league->setDropLowest(dropLowest);
    league->setCarTypeNmbr(carTypeNmbr);
    return append(std::move(league), sKey);
}

void cLeagueCollection::loadFromResultSet() {
    while (!m_db.isEOF()) {
        auto league = std::make_unique<cLeague>();
        league->loadFromResultSet(m_db);
        append(std::move(league), QString());
        m_db.MoveNext();
    }
}

int cLeagueCollection::load(std::optional<int> raceTypeNmbr, std::optional<int> carTypeNmbr) {
    QString sql = QStringLiteral("SELECT *") + QStringLiteral(" FROM leagues");
    sql += sqlTypeFilter(raceTypeNmbr, carTypeNmbr);
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

int cLeagueCollection::loadForTeam(int teamNmbr) {
    const QString sql = QStringLiteral("SELECT leagues.*") + QStringLiteral(" FROM leagues,league_teams") +
                        QStringLiteral(" WHERE leagues.league_nmbr = league_teams.league_nmbr") +
                        QStringLiteral(" AND league_teams.team_nmbr = ") + QString::number(teamNmbr);
    if (m_db.OpenResultSet(sql))
        loadFromResultSet();
    return Count();
}

bool cLeagueCollection::raceTypeNmbrExists(int raceTypeNmbr) {
    if (Count() == 0)
        load();
    for (const cLeague& league : *this)
        if (league.raceTypeNmbr() == raceTypeNmbr)
            return true;
    return false;
}

bool cLeagueCollection::scoringTypeNmbrExists(int scoringTypeNmbr) {
    if (Count() == 0)
        load();
    for (const cLeague& league : *this)
        if (league.scoringTypeNmbr() == scoringTypeNmbr)
            return true;
    return false;
}
