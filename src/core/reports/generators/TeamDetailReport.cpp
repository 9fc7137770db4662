#include "reports/generators/TeamDetailReport.h"

#include "data/IDatabase.h"
#include "data/cLeague.h"
#include "data/cLeagueTeams.h"
#include "posting/RaceOrder.h"
#include "posting/cScoringPointsCollection.h"
#include "reports/generators/RaceDetailReport.h"
#include "reports/generators/ReportPipeline.h"

#include <QHash>
#include <array>
#include <limits>
#include <stdexcept>

namespace {

const QString kCode = QStringLiteral("TD");
const QString kStatus = QStringLiteral("Creating Team Detail Report");

QString teamDetailQuery(int leagueNmbr, int teamNmbr, int raceNmbr, bool allInOne, bool highScore) {
    const QString league = QString::number(leagueNmbr);
    const QString race = QString::number(raceNmbr);
    // Each car is joined to the team's latest holding of it, whatever its dates; the active-row
    // test decides whether that holding counts.
    QString sql =
        QStringLiteral(
            "SELECT D.car_nmbr, D.car_txt, D.driver_name, D.sponsor, A.place, A.laps_led_bonus, "
            "A.most_laps_led_bonus, A.fast_qual_bonus, G.league_name, G.league_nmbr, A.points, A.total_points, "
            "E.race_dt, E.race_name, E.track_name, F.team_name, E.race_nmbr, F.team_owner, A.qual_points, "
            "F.team_nmbr, G.scoring_type_nmbr, B.term_dt, B.efctv_dt, A.adjustment, F.email, F.phone"
            " FROM team_results A, team_car B, team_results_summary C, cars D, races E, teams F, leagues G"
            " WHERE E.race_nmbr = ") +
        race +
        QStringLiteral(" AND E.race_nmbr = A.race_nmbr AND D.car_nmbr = A.car_nmbr AND D.car_type_nmbr in (1,2) "
                       " AND C.race_nmbr = A.race_nmbr AND C.team_nmbr = A.team_nmbr AND C.league_nmbr = A.league_nmbr"
                       " AND A.league_nmbr = ") +
        league + QStringLiteral(" AND A.race_nmbr = ") + race +
        QStringLiteral(" AND B.team_nmbr = A.team_nmbr AND B.car_nmbr = A.car_nmbr AND F.team_nmbr = A.team_nmbr"
                       " AND G.league_nmbr = ") +
        league +
        QStringLiteral(" AND B.efctv_dt = (SELECT max(efctv_dt) FROM team_car"
                       " WHERE car_nmbr = B.car_nmbr AND team_nmbr = B.team_nmbr) ");
    if (!allInOne)
        sql += QStringLiteral(" AND B.team_nmbr = ") + QString::number(teamNmbr);
    return sql + (highScore ? QStringLiteral(" ORDER BY F.team_nmbr, A.total_points DESC")
                            : QStringLiteral(" ORDER BY F.team_nmbr, A.total_points ASC"));
}

// The league's season up to the race, as the bonus columns sum it: every team's rows, read once for
// all the pages of a run, so that one page per team does not read the whole league's rows each time.
class SeasonBonuses {
public:
    SeasonBonuses(int leagueNmbr, int raceNmbr) : m_leagueNmbr(leagueNmbr), m_raceNmbr(raceNmbr) {}

    int fastQualBonus(int teamNmbr, int carNmbr) { return sumOf(teamNmbr, carNmbr).fastQual; }
    int lapsLedBonus(int teamNmbr, int carNmbr) { return sumOf(teamNmbr, carNmbr).lapsLed; }
    int mostLapsLedBonus(int teamNmbr, int carNmbr) { return sumOf(teamNmbr, carNmbr).mostLapsLed; }
    int qualPoints(int teamNmbr, int carNmbr) { return sumOf(teamNmbr, carNmbr).qual; }

private:
    struct Sums {
        qint64 fastQual = 0, lapsLed = 0, mostLapsLed = 0, qual = 0;
    };
    struct Checked {
        int fastQual, lapsLed, mostLapsLed, qual;
    };

    // Kept in 32 bits as the season list's own sums are; beyond that the page fails.
    static int checked(qint64 total) {
        if (total > std::numeric_limits<int>::max() || total < std::numeric_limits<int>::min())
            throw std::overflow_error("Overflow");
        return int(total);
    }

    Checked sumOf(int teamNmbr, int carNmbr) {
        if (!m_loaded)
            load();
        const Sums s = m_sums.value(key(teamNmbr, carNmbr));
        return {checked(s.fastQual), checked(s.lapsLed), checked(s.mostLapsLed), checked(s.qual)};
    }

    static qint64 key(int teamNmbr, int carNmbr) { return (qint64(teamNmbr) << 32) | quint32(carNmbr); }

    // The sums of the rows of the league's races of its race type up to this race in the season order,
    // by team and car, summed where the rows are.
    void load() {
        m_loaded = true;
        cLeague league;
        league.load(m_leagueNmbr);
        const QVariantList numbers{league.leagueNmbr(), league.raceTypeNmbr()};
        // The races are picked first, so that the league's rows of each are read straight from the index
        // in the order a join with the races would read them, without looking up each row's race.
        const QString rowsOfSeason = QStringLiteral(" FROM team_results WHERE team_results.league_nmbr = ?"
                                                    " AND team_results.race_nmbr IN (SELECT r1.race_nmbr FROM races r1"
                                                    " WHERE r1.race_type_nmbr = ? AND ") +
                                     raceUpToCondition(QStringLiteral("r1"), m_raceNmbr) + QStringLiteral(")");
        // Whole numbers are summed here as the rows come, which spares the engine sorting the league's
        // season by team and car. Any other value, or a sum beyond 64 bits, leaves the sums to the engine.
        bool whole = true;
        QHash<qint64, Sums> sums;
        // The race detail pages of the request may have read the league's results already.
        if (league.leagueNmbr() == m_leagueNmbr) {
            QList<int> races;
            IDatabase season;
            if (season.OpenResultSet(QStringLiteral("SELECT r1.race_nmbr FROM races r1 WHERE r1.race_type_nmbr = ?"
                                                    " AND ") +
                                         raceUpToCondition(QStringLiteral("r1"), m_raceNmbr),
                                     {league.raceTypeNmbr()}))
                for (; !season.isEOF(); season.MoveNext())
                    races.append(season.fields.toInt(QStringLiteral("race_nmbr")));
            std::array<int, 6> at{-1, -1, -1, -1, -1, -1}; // the columns read below, found at the first row
            if (forEachLeagueResultRead(m_leagueNmbr, races, [&](const StoredRows& rows, qsizetype row) {
                    if (at[0] < 0) {
                        const char16_t* names[6] = {u"team_nmbr",           u"car_nmbr",
                                                    u"fast_qual_bonus",     u"laps_led_bonus",
                                                    u"most_laps_led_bonus", u"qual_points"};
                        for (int c = 0; c < 6; ++c)
                            at[size_t(c)] = rows.columnOf(QStringView(names[c]));
                    }
                    SqlValue v[6];
                    for (int c = 0; c < 6; ++c) {
                        const StoredRows::Value& stored = rows.at(row, at[size_t(c)]);
                        if (stored.kind != SqlValue::Integer && stored.kind != SqlValue::Null)
                            return false;
                        v[c].kind = stored.kind;
                        v[c].integer = stored.integer;
                    }
                    return addValues(sums, v);
                })) {
                m_sums = std::move(sums);
                return;
            }
            sums.clear();
        }
        IDatabase rows;
        if (!rows.forEachRow(QStringLiteral("SELECT team_nmbr, car_nmbr, fast_qual_bonus, laps_led_bonus,"
                                            " most_laps_led_bonus, qual_points") +
                                 rowsOfSeason,
                             numbers, [&](const SqlRowView& row) {
                                 if (whole)
                                     whole = addRow(sums, row);
                             }))
            return;
        if (whole) {
            m_sums = std::move(sums);
            return;
        }
        IDatabase db;
        if (!db.OpenResultSet(QStringLiteral("SELECT team_results.team_nmbr, team_results.car_nmbr,"
                                             " sum(fast_qual_bonus) as fast_qual, sum(laps_led_bonus) as laps_led,"
                                             " sum(most_laps_led_bonus) as most_laps_led, sum(qual_points) as qual") +
                                  rowsOfSeason +
                                  QStringLiteral(" GROUP BY team_results.team_nmbr, team_results.car_nmbr"),
                              numbers))
            return;
        for (; !db.isEOF(); db.MoveNext())
            m_sums.insert(
                key(db.fields.toInt(QStringLiteral("team_nmbr")), db.fields.toInt(QStringLiteral("car_nmbr"))),
                {db.fields.toInt64(QStringLiteral("fast_qual")), db.fields.toInt64(QStringLiteral("laps_led")),
                 db.fields.toInt64(QStringLiteral("most_laps_led")), db.fields.toInt64(QStringLiteral("qual"))});
    }

    // Adds a row of team, car and the four bonuses to its sums as the engine's sum() would; false when
    // a value is no whole number (NULL aside) or a sum leaves 64 bits.
    static bool addRow(QHash<qint64, Sums>& sums, const SqlRowView& row) {
        SqlValue v[6];
        row.values(v);
        return addValues(sums, v);
    }
    static bool addValues(QHash<qint64, Sums>& sums, const SqlValue (&v)[6]) {
        for (int c = 0; c < 2; ++c)
            if (v[c].kind != SqlValue::Integer || v[c].integer < std::numeric_limits<int>::min() ||
                v[c].integer > std::numeric_limits<int>::max())
                return false;
        Sums& s = sums[key(int(v[0].integer), int(v[1].integer))];
        qint64* const totals[] = {&s.fastQual, &s.lapsLed, &s.mostLapsLed, &s.qual};
        for (int c = 2; c < 6; ++c) {
            if (v[c].kind == SqlValue::Null)
                continue;
            if (v[c].kind != SqlValue::Integer || __builtin_add_overflow(*totals[c - 2], v[c].integer, totals[c - 2]))
                return false;
        }
        return true;
    }

    int m_leagueNmbr, m_raceNmbr;
    bool m_loaded = false;
    QHash<qint64, Sums> m_sums;
};

// The state of one page.
struct TeamDetailPage {
    ReportPage& page;
    IDatabase& db;
    bool activeOnly = false;
    SeasonBonuses& season;   // every team's rows of the season up to this race
    qint64 leadingTotal = 0; // the season points of the team's first row

    // By calendar day: a holding ending on the race day is still in force.
    bool isRowActive() const {
        if (!activeOnly)
            return true;
        return holdingShownOnRaceDay(db);
    }

    void writeTeamHeader() {
        const int span = int(page.columns().size());
        int size = page.titleTextSize() - 4;
        const QString color = page.headingTextColor();
        const QString back = page.headingBackColor();
        auto headerRow = [&](const QString& text) {
            page.writeLine(rowTag(back));
            page.writeLine(headingCell(size, color, text, QStringLiteral("center"), span, QStringLiteral("nowrap")));
            page.writeLine(QStringLiteral("</TR>"));
        };
        headerRow(QStringLiteral("<STRONG>") + cellText(db.fields(QStringLiteral("team_name"))) +
                  QStringLiteral("</STRONG>"));
        const QString email = emailAddress(cellText(db.fields(QStringLiteral("email"))));
        for (int column : page.columns()) {
            if (column == ColEmail)
                headerRow(linkOn(QStringLiteral("mailto:") + emailAddress(db.fields.toText(QStringLiteral("email"))),
                                 email, color));
            else if (column == ColPhone)
                headerRow(cellText(db.fields(QStringLiteral("phone"))));
        }
    }

    std::optional<ReportCell> cell(int column) const {
        const QString right = QStringLiteral("right");
        // Only the bonus cells look up the row's team and car.
        auto team = [this] { return db.fields.toInt(QStringLiteral("team_nmbr")); };
        auto car = [this] { return db.fields.toInt(QStringLiteral("car_nmbr")); };
        switch (column) {
        case ColCarTxt:
            return ReportCell{cellText(db.fields(QStringLiteral("car_txt"))), QStringLiteral("center")};
        case ColDriverName:
            return ReportCell{cellText(db.fields(QStringLiteral("driver_name"))), QStringLiteral("left")};
        case ColSponsor:
            return ReportCell{cellText(db.fields(QStringLiteral("sponsor"))), QStringLiteral("left")};
        case ColTermDt:
            return ReportCell{cellDate(db.fields(QStringLiteral("term_dt"))), QStringLiteral("center")};
        case ColLapsLedBonus:
            return ReportCell{cellNumber(season.lapsLedBonus(team(), car())), right};
        case ColMostLapsLedBonus:
            return ReportCell{cellNumber(season.mostLapsLedBonus(team(), car())), right};
        case ColTotalPoints:
            return ReportCell{cellText(db.fields(QStringLiteral("total_points"))), right};
        case ColPointsLastRace:
            return ReportCell{cellText(db.fields(QStringLiteral("points"))), right};
        case ColPointsBehind:
            return ReportCell{cellNumber(leadingTotal - db.fields.toInt64(QStringLiteral("total_points"))), right};
        case ColFastQualBonus:
            return ReportCell{cellNumber(season.fastQualBonus(team(), car())), right};
        case ColQualPoints:
            return ReportCell{cellNumber(season.qualPoints(team(), car())), right};
        case ColAdjustment:
            return ReportCell{cellText(db.fields(QStringLiteral("adjustment"))), right};
        default:
            return std::nullopt;
        }
    }

    void write() {
        leadingTotal = db.fields.toInt64(QStringLiteral("total_points"));

        page.writeHead(QStringLiteral("Team Detail Report"));
        page.writeHeaderImage();
        page.writeEmptyRow();
        page.writeLine(QStringLiteral("<br>"));
        page.writeTitle(cellText(db.fields(QStringLiteral("league_name"))));
        page.writeTitle(QStringLiteral("Points after ") + cellText(db.fields(QStringLiteral("race_name"))), 2);
        page.writeLine(QStringLiteral("<p></p>"));
        page.writeTableStart(); // one table for every team

        int rowIndex = 1;
        std::optional<int> previousTeam;
        for (; !db.isEOF(); db.MoveNext()) {
            if (!isRowActive())
                continue;
            const int teamNmbr = db.fields.toInt(QStringLiteral("team_nmbr"));
            if (previousTeam != teamNmbr) {
                writeTeamHeader();
                page.writeColumnHeadings(heading, QStringLiteral("nowrap"));
                previousTeam = teamNmbr;
                leadingTotal = db.fields.toInt64(QStringLiteral("total_points"));
            }
            page.writeDataRow(rowIndex, [this](int column) { return cell(column); });
            ++rowIndex;
        }
        page.writeTableEnd();
        page.writeFooter();
        page.writeEnd();
    }

    static std::optional<QString> heading(int column) {
        switch (column) {
        case ColCarTxt:
            return QStringLiteral("<BR><BR>Car#");
        case ColDriverName:
            return QStringLiteral("<BR><BR>Driver");
        case ColSponsor:
            return QStringLiteral("<BR><BR>Sponsor");
        case ColTermDt:
            return QStringLiteral("Car/Driver<BR>Termination<BR>Date");
        case ColLapsLedBonus:
            return QStringLiteral("<BR>Lap Led<BR>Bonus");
        case ColMostLapsLedBonus:
            return QStringLiteral("Most<BR>Laps Led<BR>Bonus");
        case ColTotalPoints:
            return QStringLiteral("<BR>Season <BR>Points");
        case ColPointsLastRace:
            return QStringLiteral("Points<BR>Last<BR>Race");
        case ColPointsBehind:
            return QStringLiteral("Points<BR>Out of <BR> Lead");
        case ColFastQualBonus:
            return QStringLiteral("Fast <BR>Qualifier<BR>Bonus");
        case ColQualPoints:
            return QStringLiteral("<BR>Qualifing<BR>Bonus");
        case ColAdjustment:
            return QStringLiteral("<BR><BR>Adjustment");
        default:
            return std::nullopt;
        }
    }
};

QString createTeamDetailPage(SeasonBonuses& season, int leagueNmbr, int teamNmbr, int raceNmbr, bool show,
                             bool allInOne) {
    return runReport(kCode, kStatus, [&](ReportPage& page) -> QString {
        cLeague league;
        league.load(leagueNmbr);
        cScoringPointsCollection points;
        points.load(league.scoringTypeNmbr());
        IDatabase db;
        if (!db.OpenResultSet(teamDetailQuery(leagueNmbr, teamNmbr, raceNmbr, allInOne, points.highScore())))
            return QString();
        if (db.isEOF()) {
            if (show)
                showReportMessage(QStringLiteral("Results not posted for this Race."));
            return QString();
        }
        page.open({leagueNmbr, teamNmbr, raceNmbr});
        TeamDetailPage writer{page, db, page.includeActiveOnly(), season, 0};
        writer.write();
        return page.finish(show);
    });
}

} // namespace

QString createTeamDetailReport(int leagueNmbr, int teamNmbr, int raceNmbr, bool show, bool allInOne, bool separate) {
    // Read only when a page has rows to show.
    SeasonBonuses season(leagueNmbr, raceNmbr);
    if (!separate)
        return createTeamDetailPage(season, leagueNmbr, teamNmbr, raceNmbr, show, allInOne);
    ReportRunScope request; // a folder that refuses one page ends the run there, with one box
    cLeagueTeamsCollection members;
    members.load(leagueNmbr);
    QString result;
    for (const cLeagueTeams& member : members) {
        result = createTeamDetailPage(season, leagueNmbr, member.teamNmbr(), raceNmbr, show, false);
        if (ReportRunScope::folderRefused())
            return QString();
    }
    return result;
}
