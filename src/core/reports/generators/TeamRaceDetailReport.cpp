#include "reports/generators/TeamRaceDetailReport.h"

#include "data/IDatabase.h"
#include "reports/generators/RaceDetailColumns.h"
#include "reports/generators/ReportPipeline.h"

namespace {

using RaceDetailColumns::Variant;

// The numbers are bound (?1 the league, ?2 the team, ?3 the race), so that the statement is prepared
// once for all the team pages of a run.
QString teamRaceDetailQuery() {
    return QStringLiteral(
        "SELECT D.car_txt, D.driver_name, D.sponsor, A.place, A.laps_led_bonus, A.most_laps_led_bonus, "
        "A.fast_qual_bonus, G.league_name, A.points, A.total_points, E.race_dt, E.race_name, E.track_name, "
        "F.team_name, C.team_place, E.race_nmbr, A.current_status, F.team_owner, A.qual_points, "
        "G.scoring_type_nmbr, B.term_dt, B.efctv_dt, A.adjustment, F.email, F.phone, D.car_type_nmbr"
        " FROM team_results A, team_car B, team_results_summary C, cars D, races E, teams F, leagues G"
        " WHERE E.race_nmbr = ?3 And E.race_nmbr = A.race_nmbr AND D.car_nmbr = A.car_nmbr AND C.team_nmbr = ?2"
        " AND C.race_nmbr = A.race_nmbr AND C.team_nmbr = A.team_nmbr AND C.league_nmbr = A.league_nmbr"
        " AND A.league_nmbr = ?1 AND A.race_nmbr = ?3 AND A.team_nmbr = ?2 AND B.team_nmbr = A.team_nmbr"
        " AND B.car_nmbr = A.car_nmbr AND B.team_nmbr = ?2 AND F.team_nmbr = A.team_nmbr AND G.league_nmbr = ?1"
        " AND B.efctv_dt =           (SELECT max(efctv_dt)               FROM team_car "
        "             WHERE car_nmbr = B.car_nmbr                AND team_nmbr = B.team_nmbr) "
        " ORDER BY C.team_place,F.team_name, D.car_type_nmbr desc, A.current_status, B.term_dt, A.place");
}

class TeamRaceDetailPage {
public:
    TeamRaceDetailPage(ReportPage& page, IDatabase& db, bool activeOnly, qint64 seasonPoints)
        : m_page(page), m_db(db), m_activeOnly(activeOnly), m_seasonPoints(seasonPoints) {}

    void write() {
        m_db.MoveFirst();
        m_page.writeHead(QStringLiteral("Team Race Detail Report"));
        m_page.writeEmptyRow();
        m_page.writeHeaderImage();
        m_page.writeTitle(cellText(m_db.fields(QStringLiteral("team_name"))));
        m_page.writeTitle(contactText(), 4);
        m_page.writeEmptyRow();
        m_page.writeTitle(cellDate(m_db.fields(QStringLiteral("race_dt"))) + QStringLiteral("  ") +
                              cellText(m_db.fields(QStringLiteral("race_name"))),
                          2);
        m_page.writeTableStart();
        m_page.writeColumnHeadings([](int c) { return RaceDetailColumns::heading(c, Variant::TeamRaceDetail); },
                                   QStringLiteral("nowrap"));
        qint32 racePoints = 0;
        int rowIndex = 1;
        for (; !m_db.isEOF(); m_db.MoveNext()) {
            if (isRowActive()) {
                m_page.writeDataRow(
                    rowIndex, [this](int c) { return RaceDetailColumns::cell(m_db, c, Variant::TeamRaceDetail); });
                ++rowIndex;
            }
            addToSum(racePoints, m_db.fields.toDouble(QStringLiteral("points")));
        }
        writeTeamTotals(racePoints, m_seasonPoints);
        m_page.writeTableEnd();
        m_page.writeFooter();
        m_page.writeEnd();
    }

private:
    // E-mail and phone, each on a line of its own, in the order their columns are chosen.
    QString contactText() const {
        QString text;
        for (int c : m_page.columns()) {
            if (c == ColEmail) {
                const QString email = emailAddress(cellText(m_db.fields(QStringLiteral("email"))));
                text += QStringLiteral("<BR><A href='mailto:") + email + QStringLiteral("'>") + email +
                        QStringLiteral("</A>");
            } else if (c == ColPhone) {
                text += QStringLiteral("<BR>") + cellText(m_db.fields(QStringLiteral("phone")));
            }
        }
        return text;
    }

    void writeTeamTotals(qint32 racePoints, qint64 seasonPoints) {
        RaceDetailColumns::writeTotalsRow(m_page, racePoints, seasonPoints, QStringLiteral("STRONG"));
    }

    // By calendar day: a holding that ended before the race day or began after it is hidden.
    bool isRowActive() const {
        if (!m_activeOnly)
            return true;
        return holdingShownOnRaceDay(m_db);
    }

    ReportPage& m_page;
    IDatabase& m_db;
    bool m_activeOnly;
    qint64 m_seasonPoints; // the team's line in the standings as of the race
};

} // namespace

QString createTeamRaceDetailReport(int leagueNmbr, int teamNmbr, int raceNmbr, bool show) {
    return runReport(QStringLiteral("TR"), QStringLiteral("Creating Team Race Detail Report"), [&](ReportPage& page) {
        if (page.writtenInRequest({leagueNmbr, teamNmbr, raceNmbr}))
            return page.fileName();
        IDatabase db;
        if (!db.OpenResultSet(teamRaceDetailQuery(), {leagueNmbr, teamNmbr, raceNmbr}))
            return QString();
        if (db.isEOF()) {
            if (show)
                showReportMessage(QStringLiteral("Results not posted for this Race."));
            return QString();
        }
        page.open({leagueNmbr, teamNmbr, raceNmbr});
        const bool activeOnly = page.includeActiveOnly();
        TeamRaceDetailPage(page, db, activeOnly, seasonPointsAsOf(leagueNmbr, raceNmbr, teamNmbr)).write();
        return page.finish(show);
    });
}
