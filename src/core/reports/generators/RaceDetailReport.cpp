#include "reports/generators/RaceDetailReport.h"

#include "data/IDatabase.h"
#include "reports/generators/RaceDetailColumns.h"
#include "reports/generators/ReportPipeline.h"

namespace {

using RaceDetailColumns::Variant;

// The numbers are bound (?1 the league, ?2 the race), so that the statement is prepared once for all
// the race pages of a run.
QString raceDetailQuery() {
    return QStringLiteral(
        "SELECT D.car_txt, D.driver_name, D.sponsor, A.place, A.laps_led_bonus, A.most_laps_led_bonus, "
        "A.fast_qual_bonus, G.league_name, A.points, A.total_points, E.race_dt, E.race_name, E.track_name, "
        "F.team_name, C.team_place, E.race_nmbr, A.current_status, F.team_owner, A.qual_points, "
        "G.scoring_type_nmbr, B.term_dt, B.efctv_dt, A.adjustment, D.car_type_nmbr,E.race_status_nmbr, "
        "A.team_nmbr"
        " FROM team_results A, team_car B, team_results_summary C, cars D, races E, teams F, leagues G"
        " WHERE E.race_nmbr = ?2 And E.race_nmbr = A.race_nmbr AND D.car_nmbr = A.car_nmbr"
        " AND C.race_nmbr = A.race_nmbr AND C.team_nmbr = A.team_nmbr AND C.league_nmbr = A.league_nmbr"
        " AND A.league_nmbr = ?1 AND A.race_nmbr = ?2 AND B.team_nmbr = A.team_nmbr AND B.car_nmbr = A.car_nmbr"
        " AND F.team_nmbr = A.team_nmbr AND G.league_nmbr = ?1 AND B.efctv_dt =           (SELECT max(efctv_dt) "
        "              FROM team_car              WHERE car_nmbr = B.car_nmbr "
        "               AND team_nmbr = B.team_nmbr) "
        " ORDER BY C.team_place, F.team_name, A.team_nmbr, D.car_type_nmbr desc, A.current_status, A.place");
}

class RaceDetailPage {
public:
    RaceDetailPage(ReportPage& page, IDatabase& db, int leagueNmbr, int raceNmbr)
        : m_page(page), m_db(db), m_seasonPoints(seasonPointsOfTeamsAsOf(leagueNmbr, raceNmbr)) {}

    void write() {
        m_activeOnly = m_page.includeActiveOnly();
        m_db.MoveFirst();
        m_page.writeHead(QStringLiteral("Race Detail Report"));
        m_page.writeHeaderImage();
        m_page.writeEmptyRow();
        m_page.writeLine(QStringLiteral("<br>"));
        m_page.writeTitle(cellText(m_db.fields(QStringLiteral("league_name"))));
        m_page.writeLine(QStringLiteral("<br>"));
        m_page.writeTitle(cellText(m_db.fields(QStringLiteral("race_name"))), 2);
        m_page.writeRaceStatus(m_db.fields.toInt(QStringLiteral("race_status_nmbr")));
        m_page.writeTableStart();
        m_page.writeColumnHeadings([](int c) { return RaceDetailColumns::heading(c, Variant::RaceDetail); }, QString());
        writeTeamGroups();
        m_page.writeTableEnd();
        m_page.writeFooter();
        m_page.writeEnd();
    }

private:
    // One group per team: two teams of the same name are two groups with their own totals.
    void writeTeamGroups() {
        int team = m_db.fields.toInt(QStringLiteral("team_nmbr"));
        qint32 racePoints = 0;
        int rowIndex = 1;
        writeTeamHeader(m_db.fields.toText(QStringLiteral("team_name")));
        for (; !m_db.isEOF(); m_db.MoveNext()) {
            const int rowTeam = m_db.fields.toInt(QStringLiteral("team_nmbr"));
            if (rowTeam != team) {
                writeTeamTotals(racePoints, m_seasonPoints.value(team, 0));
                m_page.writeEmptyRow();
                team = rowTeam;
                racePoints = 0;
                writeTeamHeader(m_db.fields.toText(QStringLiteral("team_name")));
            }
            if (isRowActive()) {
                m_page.writeDataRow(rowIndex,
                                    [this](int c) { return RaceDetailColumns::cell(m_db, c, Variant::RaceDetail); });
                ++rowIndex;
            }
            // Hidden rows still count: the totals are the team's, not the page's.
            addToSum(racePoints, m_db.fields.toDouble(QStringLiteral("points")));
        }
        writeTeamTotals(racePoints, m_seasonPoints.value(team, 0));
    }

    void writeTeamHeader(const QString& team) {
        m_page.writeLine(rowTag(m_page.headingBackColor()));
        m_page.writeLine(headingCell(m_page.headingTextSize(), m_page.headingTextColor(), htmlText(team),
                                     QStringLiteral("left"), int(m_page.columns().size()), QStringLiteral("NOWRAP")));
        m_page.writeLine(QStringLiteral("</TR>"));
    }

    void writeTeamTotals(qint32 racePoints, qint64 seasonPoints) {
        RaceDetailColumns::writeTotalsRow(m_page, racePoints, seasonPoints, QStringLiteral("B"));
    }

    // With active cars/drivers only, a holding that ended before the race or began after it is hidden.
    bool isRowActive() const {
        if (!m_activeOnly)
            return true;
        return holdingShownOnRaceDay(m_db);
    }

    ReportPage& m_page;
    IDatabase& m_db;
    QHash<int, qint64> m_seasonPoints; // as of the race, by team
    bool m_activeOnly = false;
};

} // namespace

QString createRaceDetailReport(int leagueNmbr, int raceNmbr, bool show) {
    return runReport(QStringLiteral("RD"), QStringLiteral("Creating Race Detail Report"), [&](ReportPage& page) {
        if (page.writtenInRequest({leagueNmbr, raceNmbr}))
            return page.fileName();
        IDatabase db;
        if (!db.OpenResultSet(raceDetailQuery(), {leagueNmbr, raceNmbr}))
            return QString();
        if (db.isEOF()) {
            if (show)
                showReportMessage(QStringLiteral("Results not posted for this Race."));
            return QString();
        }
        page.open(leagueNmbr, raceNmbr);
        RaceDetailPage(page, db, leagueNmbr, raceNmbr).write();
        return page.finish(show);
    });
}
