#include "reports/generators/LeagueRaceStandingsReport.h"

#include "data/IDatabase.h"
#include "reports/generators/ReportPipeline.h"
#include "reports/generators/TeamRaceDetailReport.h"

namespace {

QString leagueRaceStandingsQuery(int leagueNmbr, int raceNmbr) {
    const QString league = QString::number(leagueNmbr);
    const QString race = QString::number(raceNmbr);
    // Each team's results are summed as the league's index gives them, team after team, before the
    // team's line, the race, the team and the league are joined to the sums: once per team, not once
    // per result. The teams come to the sort in team number order, as grouping by the joined columns
    // gave them, so that teams of equal place and name stay in the same order.
    return QStringLiteral("SELECT S.total_points as total_points, S.laps_led_bonus as laps_led_bonus,"
                          " S.most_laps_led_bonus as most_laps_led_bonus, S.fast_qual_bonus as fast_qual_bonus,"
                          " leagues.league_name, races.race_dt, races.race_name, races.track_name, teams.team_name,"
                          " team_results_summary.team_place, races.race_nmbr, S.qual_points as qual_points,"
                          " leagues.scoring_type_nmbr, leagues.league_nmbr, teams.team_nmbr,"
                          " S.adjustment as adjustment, races.race_status_nmbr"
                          " FROM (SELECT team_nmbr, sum(points) as total_points, sum(laps_led_bonus) as laps_led_bonus,"
                          " sum(most_laps_led_bonus) as most_laps_led_bonus, sum(fast_qual_bonus) as fast_qual_bonus,"
                          " sum(qual_points) as qual_points, sum(adjustment) as adjustment FROM team_results"
                          " WHERE league_nmbr = ") +
           league + QStringLiteral(" AND race_nmbr = ") + race +
           QStringLiteral(" GROUP BY team_nmbr) S, team_results_summary, races, teams, leagues"
                          " WHERE races.race_nmbr = ") +
           race + QStringLiteral(" AND team_results_summary.league_nmbr = ") + league +
           QStringLiteral(" AND team_results_summary.race_nmbr = ") + race +
           QStringLiteral(" AND team_results_summary.team_nmbr = S.team_nmbr AND teams.team_nmbr = S.team_nmbr"
                          " AND leagues.league_nmbr = ") +
           league +
           QStringLiteral(" ORDER BY team_results_summary.team_place,team_results_summary.team_place,teams.team_name");
}

std::optional<QString> raceStandingsHeading(int column) {
    switch (column) {
    case ColLapsLedBonus:
        return QStringLiteral("<BR>Lap Led<BR>Bonus");
    case ColMostLapsLedBonus:
        return QStringLiteral("Most<BR>Laps Led<BR>Bonus");
    case ColPoints:
        return QStringLiteral("<BR><BR>Points");
    case ColTeamPlace:
        return QStringLiteral("<BR><BR>Pos.");
    case ColFastQualBonus:
        return QStringLiteral("Fast<BR>Qualifier<BR>Bonus");
    case ColQualPoints:
        return QStringLiteral("<BR>Qualifing<BR>Bonus");
    case ColTeamName:
        return QStringLiteral("<BR><BR>Team");
    case ColAdjustment:
        return QStringLiteral("<BR><BR>Adjustment");
    default:
        return std::nullopt;
    }
}

std::optional<ReportCell> raceStandingsCell(const IDatabase& db, int column, const QString& teamPage) {
    const QString right = QStringLiteral("right");
    auto field = [&](const QString& name) { return cellText(db.fields(name)); };
    switch (column) {
    case ColLapsLedBonus:
        return ReportCell{field(QStringLiteral("laps_led_bonus")), right};
    case ColMostLapsLedBonus:
        return ReportCell{field(QStringLiteral("most_laps_led_bonus")), right};
    case ColPoints:
        return ReportCell{field(QStringLiteral("total_points")), right};
    case ColTeamPlace:
        return ReportCell{field(QStringLiteral("team_place")), QStringLiteral("center")};
    case ColFastQualBonus:
        return ReportCell{field(QStringLiteral("fast_qual_bonus")), right};
    case ColQualPoints:
        return ReportCell{field(QStringLiteral("qual_points")), right};
    case ColTeamName:
        return ReportCell{linkOn(teamPage, field(QStringLiteral("team_name")) + QLatin1Char(' '), QStringLiteral("0")),
                          QStringLiteral("left")};
    case ColAdjustment:
        return ReportCell{field(QStringLiteral("adjustment")), right};
    default:
        return std::nullopt;
    }
}

void writeReportPage(ReportPage& page, IDatabase& db) {
    db.MoveFirst();
    page.writeHead(QStringLiteral("League Race Standings Report"));
    page.writeHeaderImage();
    page.writeEmptyRow();
    page.writeLine(QStringLiteral("<br>"));
    page.writeTitle(cellText(db.fields(QStringLiteral("league_name"))));
    page.writeEmptyRow();
    page.writeTitle(cellDate(db.fields(QStringLiteral("race_dt"))) + QStringLiteral("  ") +
                        cellText(db.fields(QStringLiteral("race_name"))),
                    2);
    page.writeRaceStatus(db.fields.toInt(QStringLiteral("race_status_nmbr")));
    page.writeTableStart();
    page.writeColumnHeadings(raceStandingsHeading, QStringLiteral("nowrap"));
    for (int rowNumber = 1; !db.isEOF(); db.MoveNext(), ++rowNumber) {
        // Every listed team gets its page, whether or not the team column links to it.
        const QString teamPage = createTeamRaceDetailReport(db.fields.toInt(QStringLiteral("league_nmbr")),
                                                            db.fields.toInt(QStringLiteral("team_nmbr")),
                                                            db.fields.toInt(QStringLiteral("race_nmbr")), false);
        page.writeDataRow(rowNumber, [&](int c) { return raceStandingsCell(db, c, teamPage); });
    }
    page.writeTableEnd();
    page.writeFooter();
    page.writeEnd();
}

} // namespace

QString createLeagueRaceStandings(int leagueNmbr, int raceNmbr, bool show) {
    return runReport(QStringLiteral("RS"), [&](ReportPage& page) {
        IDatabase db;
        if (!db.OpenResultSet(leagueRaceStandingsQuery(leagueNmbr, raceNmbr)))
            return QString();
        if (db.isEOF()) {
            if (show)
                showReportMessage(QStringLiteral("Results not posted for this Race."));
            return QString();
        }
        page.open(leagueNmbr, raceNmbr);
        writeReportPage(page, db);
        return page.finish(show);
    });
}
