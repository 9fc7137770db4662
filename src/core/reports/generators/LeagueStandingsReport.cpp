#include "reports/generators/LeagueStandingsReport.h"

#include "data/IDatabase.h"
#include "data/SqlText.h"
#include "data/cLeague.h"
#include "posting/RaceOrder.h"
#include "posting/cRaces.h"
#include "posting/cScoringPointsCollection.h"
#include "posting/cTeamResultsSummary.h"
#include "reports/generators/ReportPipeline.h"
#include "reports/generators/ReportRequestState.h"
#include "reports/generators/TeamRaceDetailReport.h"

#include <QHash>
#include <optional>

namespace {

std::optional<QString> standingsHeading(int column) {
    switch (column) {
    case ColTotalPoints:
        return QStringLiteral("<BR>Season<BR>Points");
    case ColTeamPlace:
        return QStringLiteral("<BR><BR>Place");
    case ColTeamPrevPlace:
        return QStringLiteral("<BR>Prev.<BR>Place");
    case ColTeamWins:
        return QStringLiteral("<BR>Team<BR>Wins");
    case ColTeamTop5s:
        return QStringLiteral("<BR>Team<BR>Top 5's");
    case ColTeamTop10s:
        return QStringLiteral("<BR>Team<BR>Top 10's");
    case ColCarWins:
        return QStringLiteral("Car<BR>Driver<BR>Wins");
    case ColCarTop5s:
        return QStringLiteral("Car<BR>Driver<BR>Top 5's");
    case ColCarTop10s:
        return QStringLiteral("Car<BR>Driver<BR>Top 10's");
    case ColPointsLastRace:
        return QStringLiteral("Points<BR>Last<BR>Race");
    case ColPointsBehind:
        return QStringLiteral("Points<BR>out of<BR>Lead");
    case ColTeamName:
        return QStringLiteral("<BR><BR>Team");
    case ColTeamOwner:
        return QStringLiteral("<BR>Team<BR>Owner");
    default:
        return std::nullopt;
    }
}

// How often a team finished first, in the top five and in the top ten.
struct TopFinishes {
    int wins = 0, top5s = 0, top10s = 0;
};

// Every team's top finishes in the league's races of its race type and car type up to the race, read
// at once for the whole page rather than three queries a cell: by the team's place in each race's
// standings, or (ofCars) by the places of its cars in force. The engine compares each place with 1, 5
// and 10 as the single counts did.
QHash<int, TopFinishes> readTopFinishes(const cLeague& league, int raceNmbr, bool ofCars) {
    const QString races = QStringLiteral(" AND race_nmbr IN (SELECT race_nmbr FROM races WHERE race_type_nmbr = ?"
                                         " AND car_type_nmbr = ? AND ") +
                          raceUpToCondition(QStringLiteral("races"), raceNmbr) + QLatin1Char(')');
    const QString sql =
        ofCars ? QStringLiteral("SELECT team_nmbr, place <= 1, place <= 5 FROM team_results WHERE league_nmbr = ?"
                                " AND place <= 10 AND place > 0 AND current_status = 1") +
                     races
               : QStringLiteral("SELECT team_nmbr, team_place <= 1, team_place <= 5 FROM team_results_summary"
                                " WHERE league_nmbr = ? AND team_place <= 10 AND team_place > 0") +
                     races;
    QHash<int, TopFinishes> counts;
    IDatabase db;
    if (!db.OpenResultSet(sql, {league.leagueNmbr(), league.raceTypeNmbr(), league.carTypeNmbr()}))
        return counts;
    const StoredRows& rows = db.storedRows();
    for (qsizetype i = 0; i < rows.rowCount(); ++i) {
        const StoredRows::Value& team = rows.at(i, 0);
        // A team number that is no whole number is no team's.
        if (team.kind != SqlValue::Integer || team.integer != int(team.integer))
            continue;
        TopFinishes& c = counts[int(team.integer)];
        ++c.top10s;
        c.top5s += rows.at(i, 2).integer != 0 ? 1 : 0;
        c.wins += rows.at(i, 1).integer != 0 ? 1 : 0;
    }
    return counts;
}

class LeagueStandingsPage {
public:
    LeagueStandingsPage(ReportPage& page, int leagueNmbr, int raceNmbr)
        : m_page(page), m_leagueNmbr(leagueNmbr), m_raceNmbr(raceNmbr) {}

    void write() {
        cLeague league;
        league.load(m_leagueNmbr);
        cRaces race;
        race.load(m_raceNmbr);
        m_page.writeHead(QStringLiteral("League Standings Report"));
        m_page.writeLine(QStringLiteral("<br>"));
        m_page.writeHeaderImage();
        m_page.writeTitle(htmlText(league.leagueName().trimmed()));
        m_page.writeTitle(QStringLiteral("League standings as of") + QStringLiteral("<BR>") +
                              shortDate(race.raceDate()) + QStringLiteral("   ") + htmlText(race.raceName()),
                          2);
        // This page has never carried a line for a qualifying race.
        m_page.writeRaceStatus(race.raceStatusNmbr(), false);
        m_page.writeTableStart();
        m_page.writeEmptyRow();
        m_page.writeColumnHeadings(standingsHeading, QStringLiteral("nowrap"));
        writeDetailRows();
        m_page.writeTableEnd();
        m_page.writeFooter();
        m_page.writeEnd();
    }

private:
    void writeDetailRows() {
        m_league.load(m_leagueNmbr);
        cScoringPointsCollection scoring;
        scoring.load(m_league.scoringTypeNmbr());
        const bool highScore = scoring.highScore();
        ReportRequestState& request = ReportRequestState::current();
        const std::vector<StandingsLine> current = request.standings(m_leagueNmbr, m_raceNmbr, highScore);
        // A team's place before the race: its position in the standings then, 0 without a line there.
        const std::vector<StandingsLine> previous = request.standings(m_leagueNmbr, m_raceNmbr, highScore, true);
        for (size_t i = 0; i < previous.size(); ++i)
            m_previousPlaces.insert(previous[i].teamNmbr, int(i) + 1);

        qint64 leaderPoints = 0;
        int rowNumber = 0;
        for (const StandingsLine& row : current) {
            if (rowNumber == 0)
                leaderPoints = row.points;
            ++rowNumber;
            const qint64 behind = leaderPoints - row.points;
            m_teamPage.reset();
            m_page.writeDataRow(rowNumber, [&](int c) { return cell(c, row, rowNumber, behind); });
        }
    }

    std::optional<ReportCell> cell(int column, const StandingsLine& row, int rowNumber, qint64 behind) {
        const QString center = QStringLiteral("center");
        const int team = row.teamNmbr;
        switch (column) {
        case ColTotalPoints:
            return numberCell(row.points, center);
        case ColTeamPlace:
            return numberCell(rowNumber, center);
        case ColTeamPrevPlace:
            return numberCell(m_previousPlaces.value(team, 0), center);
        case ColTeamWins:
            return numberCell(teamFinishes(team).wins, center);
        case ColTeamTop5s:
            return numberCell(teamFinishes(team).top5s, center);
        case ColTeamTop10s:
            return numberCell(teamFinishes(team).top10s, center);
        case ColCarWins:
            return numberCell(carFinishes(team).wins, center);
        case ColCarTop5s:
            return numberCell(carFinishes(team).top5s, center);
        case ColCarTop10s:
            return numberCell(carFinishes(team).top10s, center);
        case ColPointsLastRace:
            return numberCell(m_summary.pointsForMostRecentRace(m_leagueNmbr, team, m_raceNmbr), center);
        case ColPointsBehind:
            return numberCell(behind, center);
        case ColTeamName:
        case ColTeamOwner: {
            // Both link cells of a row link to the one page, written for the first of them. A team
            // without a page (no posting in the race) is shown without a link.
            if (!m_teamPage)
                m_teamPage = createTeamRaceDetailReport(m_leagueNmbr, team, m_raceNmbr, false);
            const QString& fileName = *m_teamPage;
            const QString shown = column == ColTeamName ? row.teamName : row.teamOwner;
            return ReportCell{linkOn(fileName, htmlText(shown) + QLatin1Char(' '), QStringLiteral("0")),
                              QStringLiteral("left")};
        }
        default:
            return std::nullopt;
        }
    }

    TopFinishes teamFinishes(int team) {
        if (!m_teamFinishes)
            m_teamFinishes = readTopFinishes(m_league, m_raceNmbr, false);
        return m_teamFinishes->value(team);
    }
    TopFinishes carFinishes(int team) {
        if (!m_carFinishes)
            m_carFinishes = readTopFinishes(m_league, m_raceNmbr, true);
        return m_carFinishes->value(team);
    }

    ReportPage& m_page;
    int m_leagueNmbr;
    int m_raceNmbr;
    cLeague m_league;
    QHash<int, int> m_previousPlaces; // by team
    cTeamResultsSummary m_summary;
    // Read the first time a cell asks.
    std::optional<QHash<int, TopFinishes>> m_teamFinishes, m_carFinishes;
    std::optional<QString> m_teamPage; // the current row's team race detail page, once written
};

} // namespace

QString createLeagueStandingsReport(int leagueNmbr, int raceNmbr, bool show) {
    return runReport(QStringLiteral("LS"), [&](ReportPage& page) {
        // Without the league's posting of the race the standings would be those of an earlier
        // race under this race's name. The posting is the league's team results of the race, as the
        // race's other pages find it: a league that scored nothing in the race holds only the zero
        // summaries a later race's posting fills in for it, and those post nothing.
        IDatabase posted;
        if (!posted.OpenResultSet(QStringLiteral("SELECT 1 FROM team_results WHERE league_nmbr = ? "
                                                 "AND race_nmbr = ? LIMIT 1"),
                                  {leagueNmbr, raceNmbr}))
            return QString();
        if (posted.isEOF()) {
            if (show)
                showReportMessage(QStringLiteral("Results not posted for this Race."));
            return QString();
        }
        page.open(leagueNmbr, raceNmbr);
        LeagueStandingsPage(page, leagueNmbr, raceNmbr).write();
        return page.finish(show);
    });
}
