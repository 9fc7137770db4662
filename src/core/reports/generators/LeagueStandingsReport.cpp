#include "reports/generators/LeagueStandingsReport.h"

#include "data/IDatabase.h"
#include "data/SqlText.h"
#include "data/cLeague.h"
#include "posting/cLeagueStandingsCollection.h"
#include "posting/cRaces.h"
#include "posting/cScoringPointsCollection.h"
#include "posting/cTeamResults.h"
#include "posting/cTeamResultsSummary.h"
#include "reports/generators/ReportPipeline.h"
#include "reports/generators/TeamRaceDetailReport.h"

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
        cLeagueStandingsCollection current;
        current.load(m_leagueNmbr, m_raceNmbr, highScore);
        m_previous.loadPrevious(m_leagueNmbr, m_raceNmbr, highScore);

        qint64 leaderPoints = 0;
        int rowNumber = 0;
        for (const auto& row : current) {
            if (rowNumber == 0)
                leaderPoints = row.points();
            ++rowNumber;
            const qint64 behind = leaderPoints - row.points();
            m_teamPage.reset();
            m_page.writeDataRow(rowNumber, [&](int c) { return cell(c, row, rowNumber, behind); });
        }
    }

    std::optional<ReportCell> cell(int column, const cLeagueStandings& row, int rowNumber, qint64 behind) {
        const QString center = QStringLiteral("center");
        const int team = row.teamNmbr();
        switch (column) {
        case ColTotalPoints:
            return ReportCell{cellNumber(row.points()), center};
        case ColTeamPlace:
            return ReportCell{cellNumber(rowNumber), center};
        case ColTeamPrevPlace:
            return ReportCell{cellNumber(m_previous.placeForTeam(team)), center};
        case ColTeamWins:
            return ReportCell{cellNumber(m_summary.wins(m_league, team, m_raceNmbr)), center};
        case ColTeamTop5s:
            return ReportCell{cellNumber(m_summary.top5s(m_league, team, m_raceNmbr)), center};
        case ColTeamTop10s:
            return ReportCell{cellNumber(m_summary.top10s(m_league, team, m_raceNmbr)), center};
        case ColCarWins:
            return ReportCell{cellNumber(m_results.wins(m_league, team, m_raceNmbr)), center};
        case ColCarTop5s:
            return ReportCell{cellNumber(m_results.top5s(m_league, team, m_raceNmbr)), center};
        case ColCarTop10s:
            return ReportCell{cellNumber(m_results.top10s(m_league, team, m_raceNmbr)), center};
        case ColPointsLastRace:
            return ReportCell{cellNumber(m_summary.pointsForMostRecentRace(m_leagueNmbr, team, m_raceNmbr)), center};
        case ColPointsBehind:
            return ReportCell{cellNumber(behind), center};
        case ColTeamName:
        case ColTeamOwner: {
            // Both link cells of a row link to the one page, written for the first of them. A team
            // without a page (no posting in the race) is shown without a link.
            if (!m_teamPage)
                m_teamPage = createTeamRaceDetailReport(m_leagueNmbr, team, m_raceNmbr, false);
            const QString& fileName = *m_teamPage;
            const QString shown = column == ColTeamName ? row.teamName() : row.teamOwner();
            return ReportCell{linkOn(fileName, htmlText(shown) + QLatin1Char(' '), QStringLiteral("0")),
                              QStringLiteral("left")};
        }
        default:
            return std::nullopt;
        }
    }

    ReportPage& m_page;
    int m_leagueNmbr;
    int m_raceNmbr;
    cLeague m_league;
    cLeagueStandingsCollection m_previous;
    cTeamResultsSummary m_summary;
    cTeamResults m_results;
    std::optional<QString> m_teamPage; // the current row's team race detail page, once written
};

} // namespace

QString createLeagueStandingsReport(int leagueNmbr, int raceNmbr, bool show) {
    return runReport(QStringLiteral("LS"), QStringLiteral("Creating League Stangings Report"), [&](ReportPage& page) {
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
