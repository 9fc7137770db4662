// The race detail, team race detail, league standings and league race standings reports over a
// small posted season, worked by hand:
//
// Scoring method 600 (more is better, no bonuses): places 1..6 pay 60, 50, 40, 30, 20, 10.
// League 1 holds Alpha (501: cars 1, 2), Bravo (502: cars 3, 4) and Charlie (503: cars 5, 6).
//
//   Race 1 (3/1/2024, status 2): places car 1..6 = 1, 4, 2, 5, 3, 6
//       Alpha 60+30 = 90 (1st), Bravo 50+20 = 70 (2nd), Charlie 40+10 = 50 (3rd)
//   Race 2 (3/8/2024, status 1): places car 1..6 = 4, 6, 5, 2, 3, 1
//       Alpha 30+10 = 40 (3rd), Bravo 20+50 = 70 (2nd), Charlie 40+60 = 100 (1st)
//   Season after race 2: Charlie 150, Bravo 140, Alpha 130.

#include "SeasonBuilder.h"
#include "TestDataFile.h"
#include "data/Feedback.h"
#include "data/IDatabase.h"
#include "data/Paths.h"
#include "data/cLeague.h"
#include "posting/Scoring.h"
#include "posting/cRaces.h"
#include "posting/cTeamResults.h"
#include "posting/cTeamResultsSummary.h"
#include "reports/generators/LeagueRaceStandingsReport.h"
#include "reports/generators/LeagueStandingsReport.h"
#include "reports/generators/RaceDetailReport.h"
#include "reports/generators/ReportPipeline.h"
#include "reports/generators/TeamDetailReport.h"
#include "reports/generators/TeamRaceDetailReport.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

class RaceReports : public ::testing::Test, protected SeasonBuilder {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.ok());
        scoring({.nmbr = 600, .name = "Hand Points"}, {60, 50, 40, 30, 20, 10});
        for (int c = 1; c <= 6; ++c)
            addCar({.nmbr = c,
                    .txt = QString::number(c),
                    .driver = QStringLiteral("Driver %1").arg(c),
                    .sponsor = QStringLiteral(" Sponsor %1 ").arg(c)});
        addTeam({.nmbr = 501, .name = "Alpha", .owner = "Ann", .email = "ann@example.com", .phone = "555-0101"});
        addTeam({.nmbr = 502, .name = "Bravo & <Sons>", .owner = "Bob"});
        addTeam({.nmbr = 503, .name = "Charlie", .owner = "Cy"});
        league({.nmbr = 1, .name = "  League One  ", .shortName = "L1", .scoringType = 600}, {501, 502, 503});
        hold(501, {1, 2});
        hold(502, {3, 4});
        hold(503, {5, 6});
        race({.nmbr = 1, .name = "Race One", .track = "T", .date = "2024-03-01"},
             {{.car = 1, .place = 1, .qualified = 1},
              {.car = 2, .place = 4, .qualified = 2},
              {.car = 3, .place = 2, .qualified = 3},
              {.car = 4, .place = 5, .qualified = 4},
              {.car = 5, .place = 3, .qualified = 5},
              {.car = 6, .place = 6, .qualified = 6}});
        race({.nmbr = 2, .name = "Race Two", .track = "T", .date = "2024-03-08", .status = 1},
             {{.car = 1, .place = 4, .qualified = 1},
              {.car = 2, .place = 6, .qualified = 2},
              {.car = 3, .place = 5, .qualified = 3},
              {.car = 4, .place = 2, .qualified = 4},
              {.car = 5, .place = 3, .qualified = 5},
              {.car = 6, .place = 1, .qualified = 6}});
        post(1);
        post(2);
        // Plain look: every attribute at its default (sizes 0, colours ''), footer off.
        TestDataFile::exec("DELETE FROM report_attributes");
        setDocumentOpener([this](const QString& path) {
            opened << path;
            return true;
        });
        data.ui().clear();
    }
    void TearDown() override { setDocumentOpener({}); }

    static QStringList lines(const QString& fileName) {
        QFile f(reportFilePath(fileName));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList l = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
        if (!l.isEmpty() && l.last().isEmpty())
            l.removeLast();
        return l;
    }
    // The texts of the data cells of each table row (heading rows included as their TH texts), one
    // list per row, joined by "|".
    static QStringList rows(const QString& fileName) {
        static const QRegularExpression cellText(
            QStringLiteral("^<T[HD][^>]*>(?:<FONT[^>]*>)?(.*?)(?: </FONT>)?</T[HD]>$"));
        QStringList out;
        QStringList current;
        bool inRow = false;
        for (const QString& line : lines(fileName)) {
            if (line.startsWith(QLatin1String("<TR"))) {
                inRow = true;
                current.clear();
            } else if (line == QLatin1String("</TR>")) {
                if (inRow && !current.isEmpty())
                    out << current.join(QLatin1Char('|'));
                inRow = false;
            } else if (inRow) {
                const auto m = cellText.match(line);
                current << (m.hasMatch() ? m.captured(1) : line);
            }
        }
        return out;
    }

    TestDataFile data;
    QStringList opened;
};

} // namespace

TEST_F(RaceReports, RaceDetailGroupsTeamsByPlaceWithTotals) {
    chooseColumns("RD", {1, 2, 3, 4, 8, 9});
    const QString name = createRaceDetailReport(1, 2, true);
    EXPECT_EQ(name, "rd00010002.html");
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].endsWith("/Reports/rd00010002.html"));
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_EQ(data.ui().statusTexts, (QStringList{"Creating Race Detail Report", "Status"}));

    // Charlie first (100 in race 2), then Bravo, then Alpha; cars by finishing place within a team;
    // the sponsor trimmed, the team name escaped.
    EXPECT_EQ(
        rows(name),
        (QStringList{
            "<BR>Finish<BR>Pos.|<BR><BR>Car#|<BR><BR>Driver|<BR><BR>Sponsor|<BR>Race<BR>Points|<BR>Season <BR>Points",
            "Charlie",
            "1|6|Driver 6|Sponsor 6|60|70",
            "3|5|Driver 5|Sponsor 5|40|80",
            "||||<B>100</B>|<B>150</B>",
            "Bravo &amp; &lt;Sons&gt;",
            "2|4|Driver 4|Sponsor 4|50|70",
            "5|3|Driver 3|Sponsor 3|20|70",
            "||||<B>70</B>|<B>140</B>",
            "Alpha",
            "4|1|Driver 1|Sponsor 1|30|90",
            "6|2|Driver 2|Sponsor 2|10|40",
            "||||<B>40</B>|<B>130</B>",
        }));
    const QStringList l = lines(name);
    // The team header spans all chosen columns; status 1 is "Unofficial".
    EXPECT_TRUE(l.contains("<TH NOWRAP colspan=6 align = 'left'><FONT size = '0' color = ''>Alpha </FONT></TH>"));
    const int status = l.indexOf("<P align = 'center'><FONT size = '1' color = ''>Unofficial </FONT></P>");
    ASSERT_GT(status, 0);
    EXPECT_EQ(l[status - 1], "<br>");
    EXPECT_EQ(l[2], "<title>Race Detail Report</title>");
}

TEST_F(RaceReports, RaceDetailStripesAcrossTeamsAndHidesInactiveHoldingsButCountsThem) {
    chooseColumns("RD", {2, 8});
    setReportAttribute("RD", AttrOddRowTextSize, 2);
    setReportAttribute("RD", AttrEvenRowTextSize, 4);
    setReportAttribute("RD", AttrIncludeActiveOnly, 1);
    // Car 5 was dropped by Charlie before race 2 and picked again after it: its latest holding
    // begins after the race.
    TestDataFile::exec("UPDATE team_car SET term_dt = '2024-03-05' WHERE car_nmbr = 5");
    hold(503, {5}, "2024-03-10");
    const QString name = createRaceDetailReport(1, 2, false);
    EXPECT_TRUE(opened.isEmpty());
    const QStringList r = rows(name);
    ASSERT_EQ(r.size(), 12);
    EXPECT_EQ(r[2], "6|60");
    EXPECT_EQ(r[3], "|<B>100</B>"); // car 5 hidden, its points counted
    const QStringList l = lines(name);
    // Row indexes run on across teams: Charlie 6 (1), Bravo 4 (2), 3 (3), Alpha 1 (4), 2 (5).
    QStringList sizes;
    for (const QString& line : l)
        if (line.startsWith("<TD colspan=1") && !line.contains("size = '0'"))
            sizes << line.mid(line.indexOf("size = '") + 8, 1);
    EXPECT_EQ(sizes, (QStringList{"2", "2", "4", "4", "2", "2", "4", "4", "2", "2"}));
}

// The race detail page's rows are those of the one query of the seven tables, read from what the request
// shares: the same rows, values and order, with rows the joins leave out and rows alike in the sort.
TEST_F(RaceReports, RaceDetailRowsAreThoseOfTheOneQuery) {
    // A team on the same place as another and of the same name in other letter case; one whose
    // standings line names no team on file; a team result without a line in the standings.
    TestDataFile::exec("INSERT INTO teams (team_nmbr, team_name, team_owner) VALUES (504, 'charlie', 'Di')");
    TestDataFile::exec("INSERT INTO team_results_summary VALUES (2, 504, 1, 100, 1), (2, 599, 1, 5, 4)");
    TestDataFile::exec("UPDATE team_results_summary SET team_place = 1 WHERE race_nmbr = 2 AND team_nmbr = 502");
    // Charlie holds car 6 twice (the later holding counts), car 3 once more after Bravo; 504 holds 1.
    TestDataFile::exec("UPDATE team_car SET term_dt = '2024-02-01' WHERE team_nmbr = 503 AND car_nmbr = 6");
    addHolding({.team = 503, .car = 6, .from = "2024-02-15", .to = "2024-04-01"});
    hold(503, {3}, "2024-03-02");
    hold(504, {1}, "2024-01-05");
    hold(599, {2});
    // Rows alike in type, status and place (a bonus entry's twin rows) keep the order they were
    // stored in; places missing, real, as text and 999; car types 3, 2 and none.
    TestDataFile::exec("INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt, driver_name) VALUES "
                       "(7, 1, 3, 'B', 'Bonus'), (8, 1, 2, '8', 'Eight'), (9, 1, NULL, '9', 'Nine')");
    for (int car : {7, 8, 9})
        hold(503, {car});
    hold(504, {7});
    TestDataFile::exec(
        "INSERT INTO team_results (race_nmbr, place, car_nmbr, team_nmbr, current_status, points, league_nmbr) VALUES "
        "(2, 0, 7, 503, 1, 5, 1), (2, 0, 7, 503, 1, 6, 1), (2, 0, 7, 503, 1, 7, 1), (2, 7, 8, 503, 0, 1, 1), "
        "(2, NULL, 9, 503, 1, 2, 1), (2, 2.5, 8, 503, 1, 3, 1), (2, 'x', 8, 503, 1, 4, 1), (2, 999, 8, 503, 1, 8, 1), "
        "(2, 999, 9, 503, 1, 9, 1), (2, 3, 1, 504, 1, 10, 1), (2, 1, 7, 504, 1, 11, 1), (2, 4, 3, 503, 1, 12, 1), "
        "(2, 5, 2, 599, 1, 13, 1), (2, 6, 4, 505, 1, 14, 1), (2, 6, 42, 503, 1, 15, 1), (2, 6, 2, 503, 1, 16, 1), "
        "(1, 6, 7, 503, 1, 17, 1), (2, 6, 7, 503, 1, 18, 2)");
    for (int twin = 0; twin < 12; ++twin) // enough rows for a sort that is not stable to show it
        TestDataFile::exec(QStringLiteral("INSERT INTO team_results (race_nmbr, place, car_nmbr, team_nmbr, "
                                          "current_status, points, league_nmbr) VALUES (2, %1, 8, 503, 1, %2, 1)")
                               .arg(twin % 2 ? 999 : 7)
                               .arg(20 + twin));

    IDatabase joined;
    ASSERT_TRUE(joined.OpenResultSet(
        "SELECT D.car_txt, D.driver_name, D.sponsor, A.place, A.laps_led_bonus, A.most_laps_led_bonus, "
        "A.fast_qual_bonus, G.league_name, A.points, A.total_points, E.race_dt, E.race_name, E.track_name, "
        "F.team_name, C.team_place, E.race_nmbr, A.current_status, F.team_owner, A.qual_points, "
        "G.scoring_type_nmbr, B.term_dt, B.efctv_dt, A.adjustment, D.car_type_nmbr,E.race_status_nmbr, A.team_nmbr"
        " FROM team_results A, team_car B, team_results_summary C, cars D, races E, teams F, leagues G"
        " WHERE E.race_nmbr = 2 And E.race_nmbr = A.race_nmbr AND D.car_nmbr = A.car_nmbr"
        " AND C.race_nmbr = A.race_nmbr AND C.team_nmbr = A.team_nmbr AND C.league_nmbr = A.league_nmbr"
        " AND A.league_nmbr = 1 AND A.race_nmbr = 2 AND B.team_nmbr = A.team_nmbr AND B.car_nmbr = A.car_nmbr"
        " AND F.team_nmbr = A.team_nmbr AND G.league_nmbr = 1 AND B.efctv_dt = (SELECT max(efctv_dt)"
        " FROM team_car WHERE car_nmbr = B.car_nmbr AND team_nmbr = B.team_nmbr)"
        " ORDER BY C.team_place, F.team_name, A.team_nmbr, D.car_type_nmbr desc, A.current_status, A.place"));
    ReportRunScope request;
    const RaceDetail detail = readRaceDetail(1, 2);
    ASSERT_EQ(int(detail.rows.size()), joined.recordCount());
    EXPECT_EQ(detail.rows.size(), 30u); // the 6 posted rows and 24 of the 30 added
    EXPECT_EQ(detail.leagueName, "  League One  ");
    EXPECT_EQ(detail.raceName, "Race Two");
    EXPECT_EQ(detail.raceStatusNmbr, 1);
    for (const RaceDetailRow& row : detail.rows) {
        const auto field = [&](const char* name) { return joined.fields(QString::fromLatin1(name)); };
        const QString texts[] = {row.teamName, row.car->carTxt, row.car->driverName, row.car->sponsor};
        const QVariant wantTexts[] = {field("team_name"), field("car_txt"), field("driver_name"), field("sponsor")};
        for (size_t c = 0; c < std::size(texts); ++c)
            EXPECT_EQ(texts[c], wantTexts[c].toString()) << "row " << joined.position() << " text " << c;
        const TeamResult& r = *row.result;
        const QVariant values[] = {row.teamNmbr,       row.car->carTypeNmbr, r.currentStatus, r.place,
                                   r.lapsLedBonus,     r.mostLapsLedBonus,   r.fastQualBonus, r.points,
                                   r.totalPoints,      r.qualPoints,         r.adjustment,    row.holding->efctvDt,
                                   row.holding->termDt};
        const QVariant want[] = {field("team_nmbr"),       field("car_type_nmbr"),  field("current_status"),
                                 field("place"),           field("laps_led_bonus"), field("most_laps_led_bonus"),
                                 field("fast_qual_bonus"), field("points"),         field("total_points"),
                                 field("qual_points"),     field("adjustment"),     field("efctv_dt"),
                                 field("term_dt")};
        for (size_t c = 1; c < std::size(want); ++c) {
            EXPECT_EQ(values[c].metaType(), want[c].metaType()) << "row " << joined.position() << " value " << c;
            EXPECT_EQ(values[c], want[c]) << "row " << joined.position() << " value " << c;
        }
        EXPECT_EQ(values[0].toInt(), want[0].toInt()) << "row " << joined.position();
        joined.MoveNext();
    }

    // Neither a race without rows of the league nor a league without the race has a row.
    EXPECT_TRUE(readRaceDetail(2, 2).rows.empty());
    EXPECT_TRUE(readRaceDetail(1, 3).rows.empty());
}

TEST_F(RaceReports, RaceDetailKeepsTwoTeamsOfTheSameNameApart) {
    chooseColumns("RD", {2, 8});
    // Bravo (2nd in race 2) renamed to Alpha (3rd): the two stand next to each other.
    TestDataFile::exec("UPDATE teams SET team_name = 'Alpha' WHERE team_nmbr = 502");
    EXPECT_EQ(rows(createRaceDetailReport(1, 2, false)).mid(1),
              (QStringList{"Charlie", "6|60", "5|40", "|<B>100</B>", "Alpha", "4|50", "3|20", "|<B>70</B>", "Alpha",
                           "1|30", "2|10", "|<B>40</B>"}));
}

TEST_F(RaceReports, RaceDetailPlaceTexts) {
    chooseColumns("RD", {1, 2});
    TestDataFile::exec("UPDATE team_results SET place = 999 WHERE car_nmbr = 1 AND race_nmbr = 2");
    TestDataFile::exec("UPDATE team_results SET place = 0 WHERE car_nmbr = 2 AND race_nmbr = 2");
    TestDataFile::exec("UPDATE cars SET car_type_nmbr = 3 WHERE car_nmbr = 3");
    TestDataFile::exec("UPDATE team_results SET place = 999 WHERE car_nmbr = 3 AND race_nmbr = 2");
    const QStringList r = rows(createRaceDetailReport(1, 2, false));
    EXPECT_TRUE(r.contains("DNQ|1"));
    EXPECT_TRUE(r.contains("&nbsp;|2"));
    EXPECT_TRUE(r.contains("&nbsp;|3"));
}

TEST_F(RaceReports, RaceDetailWithoutPostingShowsTheMessageOnlyWhenShown) {
    addRace({.nmbr = 3, .name = "Race Three", .track = "T", .date = "2024-03-15"});
    EXPECT_EQ(createRaceDetailReport(1, 3, false), "");
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_EQ(createRaceDetailReport(1, 3, true), "");
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Results not posted for this Race.");
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
    EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::Information);
    EXPECT_FALSE(QFile::exists(reportFilePath("rd00010003.html")));
    EXPECT_EQ(mousePointer(), PointerDefault);
}

TEST_F(RaceReports, TeamRaceDetailPageWithContactLineAndTotals) {
    chooseColumns("TR", {39, 2, 4, 38, 8, 9});
    setReportAttribute("TR", AttrTitleTextSize, 3);
    const QString name = createTeamRaceDetailReport(1, 501, 2, false);
    EXPECT_EQ(name, "tr000105010002.html");
    const QStringList l = lines(name);
    ASSERT_GT(l.size(), 14);
    EXPECT_EQ(l[2], "<title>Team Race Detail Report</title>");
    EXPECT_EQ(l.mid(6, 2), (QStringList{"<TR>", "</TR>"}));
    EXPECT_EQ(l[9], "<P align = 'center'><FONT size = '3' color = ''>Alpha </FONT></P>");
    // Phone first, as chosen; size 3 - 4 raised to 1.
    EXPECT_EQ(l[10], "<P align = 'center'><FONT size = '1' color = ''><BR>555-0101<BR><A href='mailto:ann@example.com'>"
                     "ann@example.com</A> </FONT></P>");
    EXPECT_EQ(l[13], "<P align = 'center'><FONT size = '1' color = ''>3/8/2024  Race Two </FONT></P>");
    EXPECT_EQ(rows(name), (QStringList{"<BR><BR>Car#|<BR><BR>Sponsor|<BR>Race<BR>Points|<BR>Season <BR>Points",
                                       "1| Sponsor 1 |30|90", "2| Sponsor 2 |10|40",
                                       "||<STRONG>40</STRONG>|<STRONG>130</STRONG>"}));
    // The totals stand on the heading background, as they take the heading text colour.
    const qsizetype totals = l.indexOf(QRegularExpression(".*<STRONG>40</STRONG>.*"));
    ASSERT_GT(totals, 3);
    // No colour code, no bgcolor: an empty one is left out like the default.
    EXPECT_EQ(l[totals - 3], "<TR>");
    EXPECT_TRUE(l.contains("<TR>") && !l.join("\n").contains("Unofficial"));
}

TEST_F(RaceReports, TeamRaceDetailActiveTestIsByCalendarDay) {
    chooseColumns("TR", {2});
    setReportAttribute("TR", AttrIncludeActiveOnly, 1);
    // Car 1's holding ends on the race day at some time: shown. Car 2's ended the day before: hidden.
    TestDataFile::exec("UPDATE team_car SET term_dt = '2024-03-08 09:30:00' WHERE car_nmbr = 1");
    TestDataFile::exec("UPDATE team_car SET term_dt = '2024-03-07' WHERE car_nmbr = 2");
    const QStringList r = rows(createTeamRaceDetailReport(1, 501, 2, false));
    EXPECT_EQ(r.mid(1, r.size() - 2), QStringList{"1"});
}

TEST_F(RaceReports, TeamRaceDetailPagesOfTwoRacesAndTwoLeaguesStayApart) {
    chooseColumns("TR", {8});
    EXPECT_EQ(createTeamRaceDetailReport(1, 503, 1, false), "tr000105030001.html");
    EXPECT_EQ(createTeamRaceDetailReport(1, 503, 2, false), "tr000105030002.html");
    // The page of the first race, which standings after that race link, still shows that race.
    EXPECT_EQ(rows("tr000105030001.html").last(), "<STRONG>50</STRONG>");
    EXPECT_EQ(rows("tr000105030002.html").last(), "<STRONG>100</STRONG>");
    // Standings after race 1 written after race 2's pages link race 1's team pages.
    chooseColumns("LS", {33});
    EXPECT_TRUE(rows(createLeagueStandingsReport(1, 1, false)).contains("<A HREF='tr000105030001.html'>Charlie </A>"));
    EXPECT_EQ(rows("tr000105030001.html").last(), "<STRONG>50</STRONG>");
    // No posting for the team: no page, and no message when not shown.
    EXPECT_EQ(createTeamRaceDetailReport(1, 999, 2), "");
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST_F(RaceReports, LeagueStandingsRowsCountsAndLinks) {
    chooseColumns("LS", {13, 14, 33, 34, 9, 22, 21, 15, 16});
    const QString name = createLeagueStandingsReport(1, 2, true);
    EXPECT_EQ(name, "ls00010002.html");
    EXPECT_EQ(data.ui().statusTexts.first(), "Creating League Stangings Report");
    // The nested team pages set and clear the status on their own.
    EXPECT_EQ(data.ui().statusTexts.last(), "Status");
    ASSERT_EQ(opened.size(), 1);
    const QStringList r = rows(name);
    ASSERT_EQ(r.size(), 4);
    EXPECT_EQ(r[1],
              "1|3|<A HREF='tr000105030002.html'>Charlie </A>|<A HREF='tr000105030002.html'>Cy </A>|150|0|100|1|2");
    EXPECT_EQ(r[2], "2|2|<A HREF='tr000105020002.html'>Bravo &amp; &lt;Sons&gt; </A>|<A HREF='tr000105020002.html'>Bob "
                    "</A>|140|10|70|0|2");
    EXPECT_EQ(r[3],
              "3|1|<A HREF='tr000105010002.html'>Alpha </A>|<A HREF='tr000105010002.html'>Ann </A>|130|20|40|1|2");
    for (const char* team : {"tr000105010002.html", "tr000105020002.html", "tr000105030002.html"})
        EXPECT_TRUE(QFile::exists(reportFilePath(team))) << team;
    const QStringList l = lines(name);
    EXPECT_EQ(l[6], "<br>");
    EXPECT_TRUE(l.contains("<P align = 'center'><FONT size = '1' color = ''>League One </FONT></P>"));
    EXPECT_TRUE(l.contains(
        "<P align = 'center'><FONT size = '1' color = ''>League standings as of<BR>3/8/2024   Race Two </FONT></P>"));
    EXPECT_TRUE(l.contains("Unofficial </FONT></P>") || l.join("\n").contains("Unofficial"));
}

TEST_F(RaceReports, StandingsLinkNoTeamPageThatWasNotWritten) {
    // Charlie's holdings are gone: its team race detail page has nothing to show and is not written.
    TestDataFile::exec("DELETE FROM team_car WHERE team_nmbr = 503");
    chooseColumns("LS", {33});
    EXPECT_EQ(rows(createLeagueStandingsReport(1, 2, false)).mid(1),
              (QStringList{"Charlie ", "<A HREF='tr000105020002.html'>Bravo &amp; &lt;Sons&gt; </A>",
                           "<A HREF='tr000105010002.html'>Alpha </A>"}));
    chooseColumns("RS", {33});
    EXPECT_TRUE(rows(createLeagueRaceStandings(1, 2, false)).contains("Charlie "));
    EXPECT_FALSE(QFile::exists(reportFilePath("tr000105030002.html")));
}

TEST_F(RaceReports, LeagueStandingsAfterTheFirstRaceAndUnderLowScoring) {
    chooseColumns("LS", {13, 14, 9, 22});
    QStringList r = rows(createLeagueStandingsReport(1, 1, false));
    EXPECT_EQ(r.mid(1), (QStringList{"1|0|90|0", "2|0|70|20", "3|0|50|40"}));
    // Fewer points is better: the standings run from the smallest sum, column 22 turns negative.
    TestDataFile::exec("UPDATE scoring_points SET points = 10 WHERE scoring_type_nmbr = 600 AND place = 1");
    r = rows(createLeagueStandingsReport(1, 2, false));
    EXPECT_EQ(r.mid(1), (QStringList{"1|3|130|0", "2|2|140|-10", "3|1|150|-20"}));
}

TEST_F(RaceReports, LeagueStandingsOfARaceWithoutPostingSayResultsNotPosted) {
    chooseColumns("LS", {13, 33, 9});
    // A league that has no posting of the race has no standings as of it.
    addLeague({.nmbr = 2, .name = "Empty", .shortName = "E", .scoringType = 600});
    EXPECT_EQ(createLeagueStandingsReport(2, 1, true), "");
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Results not posted for this Race.");
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
    EXPECT_FALSE(QFile::exists(reportFilePath("ls00020001.html")));
    // Race 2's posting is gone (its results were changed): its standings would be race 1's totals
    // under race 2's name.
    cRaces race2;
    race2.load(2);
    ASSERT_TRUE(deleteRacePosting(race2));
    data.ui().clear();
    EXPECT_EQ(createLeagueStandingsReport(1, 2, false), "");
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_FALSE(QFile::exists(reportFilePath("ls00010002.html")));
    EXPECT_EQ(createLeagueStandingsReport(1, 2, true), "");
    EXPECT_EQ(data.ui().lastBoxText(), "Results not posted for this Race.");
    EXPECT_TRUE(opened.isEmpty());
    // Race 1 still has its own.
    EXPECT_EQ(rows(createLeagueStandingsReport(1, 1, false)).value(1), "1|<A HREF='tr000105010001.html'>Alpha </A>|90");
}

TEST_F(RaceReports, ALeagueWithOnlyFillerRowsForARaceHasNoPageOfItOnAnyReport) {
    chooseColumns("LS", {13, 33, 9});
    // League 2 starts after race 1: its team holds car 1 from race 2 on. Posting race 2 fills in a
    // zero summary for race 1, where the league scored nothing.
    addLeague({.nmbr = 2, .name = "Late", .shortName = "LT", .scoringType = 600});
    addTeam({.nmbr = 504, .name = "Delta", .owner = "Di"});
    addMember({.league = 2, .team = 504});
    hold(504, {1}, "2024-03-05");
    post(2);
    ASSERT_EQ(TestDataFile::count("SELECT count(*) FROM team_results_summary WHERE league_nmbr = 2 "
                                  "AND race_nmbr = 1 AND points = 0"),
              1);
    ASSERT_EQ(TestDataFile::count("SELECT count(*) FROM team_results WHERE league_nmbr = 2 AND race_nmbr = 1"), 0);
    data.ui().clear();

    // Every page of race 1 in league 2 says the same, the standings page too.
    EXPECT_EQ(createLeagueStandingsReport(2, 1, true), "");
    EXPECT_EQ(createRaceDetailReport(2, 1, true), "");
    EXPECT_EQ(createLeagueRaceStandings(2, 1, true), "");
    EXPECT_EQ(createTeamDetailReport(2, 504, 1, true, false, false), "");
    ASSERT_EQ(data.ui().boxes.size(), 4);
    for (const auto& box : data.ui().boxes)
        EXPECT_EQ(box.text, "Results not posted for this Race.");
    for (const char* page : {"ls00020001.html", "rd00020001.html", "rs00020001.html"})
        EXPECT_FALSE(QFile::exists(reportFilePath(page))) << page;
    EXPECT_TRUE(opened.isEmpty());

    // Race 2, which the league scored, has its pages, and its standings count the filled-in race as 0.
    data.ui().clear();
    EXPECT_EQ(rows(createLeagueStandingsReport(2, 2, false)).value(1), "1|<A HREF='tr000205040002.html'>Delta </A>|30");
    EXPECT_EQ(createRaceDetailReport(2, 2, false), "rd00020002.html");
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

// A team that holds no car of the race gets only the bonus entry's row when a top-finish rule pays the
// teams without a car in the top places: every page of the race has the league, the team detail too,
// which lists no car of it.
TEST_F(RaceReports, ALeagueWhoseOnlyRowsInARaceAreTheBonusEntrysHasEveryPageOfIt) {
    addTopPoints({.scoringType = 600, .cars = 0, .points = 4, .top = 2});
    addCar({.nmbr = 99, .carType = 3, .txt = "Top Bonus", .driver = "Top Bonus"});
    addLeague({.nmbr = 2, .name = "Bonus Only", .shortName = "BO", .scoringType = 600});
    addTeam({.nmbr = 504, .name = "Delta", .owner = "Di"});
    addMember({.league = 2, .team = 504});
    post(2);
    ASSERT_GT(TestDataFile::count("SELECT count(*) FROM team_results WHERE league_nmbr = 2 AND race_nmbr = 2"), 0);
    ASSERT_EQ(TestDataFile::count("SELECT count(*) FROM team_results WHERE league_nmbr = 2 AND race_nmbr = 2 "
                                  "AND car_nmbr <> 99"),
              0);
    data.ui().clear();

    EXPECT_EQ(createLeagueStandingsReport(2, 2, true), "ls00020002.html");
    EXPECT_EQ(createRaceDetailReport(2, 2, true), "rd00020002.html");
    EXPECT_EQ(createLeagueRaceStandings(2, 2, true), "rs00020002.html");
    EXPECT_EQ(createTeamRaceDetailReport(2, 504, 2, true), "tr000205040002.html");
    EXPECT_EQ(createTeamDetailReport(2, -1, 2, true, true, false), "td0002-0010002.html");
    EXPECT_EQ(createTeamDetailReport(2, 504, 2, true, false, false), "td000205040002.html");
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    // The title block and an empty table: the bonus entry is no car or driver of the team.
    const QStringList detail = lines("td000205040002.html");
    EXPECT_EQ(detail.filter(">Bonus Only </FONT>").size(), 1);
    EXPECT_EQ(detail.filter(">Points after Race Two </FONT>").size(), 1);
    const qsizetype table = detail.indexOf(QRegularExpression("<TABLE .*"));
    ASSERT_GT(table, 0);
    EXPECT_EQ(detail.value(table + 1), "</TABLE>");
    // A team of the league that has no row in the race at all still has none.
    addTeam({.nmbr = 505, .name = "Echo", .owner = "Ed"});
    addMember({.league = 2, .team = 505});
    EXPECT_EQ(createTeamDetailReport(2, 505, 2, true, false, false), "");
    EXPECT_EQ(data.ui().lastBoxText(), "Results not posted for this Race.");
}

TEST_F(RaceReports, LeagueRaceStandingsSumsPerTeamAndWritesEveryTeamPage) {
    chooseColumns("RS", {13, 8, 6});
    TestDataFile::exec("UPDATE team_results_summary SET team_place = 2 WHERE race_nmbr = 2 AND team_nmbr = 501");
    const QString name = createLeagueRaceStandings(1, 2, true);
    EXPECT_EQ(name, "rs00010002.html");
    ASSERT_EQ(opened.size(), 1);
    // Alpha and Bravo share place 2: by team name.
    EXPECT_EQ(rows(name),
              (QStringList{"<BR><BR>Pos.|<BR><BR>Points|<BR>Lap Led<BR>Bonus", "1|100|0", "2|40|0", "2|70|0"}));
    // Of one place and one name, letter case aside: by team number, Alpha's 501 first.
    TestDataFile::exec("UPDATE teams SET team_name = 'bravo & <sons>' WHERE team_nmbr = 501");
    EXPECT_EQ(rows(createLeagueRaceStandings(1, 2, false)).mid(1), (QStringList{"1|100|0", "2|40|0", "2|70|0"}));
    TestDataFile::exec("UPDATE teams SET team_name = 'Alpha' WHERE team_nmbr = 501");
    // Column 33 not chosen: the team pages are written all the same.
    for (const char* team : {"tr000105010002.html", "tr000105020002.html", "tr000105030002.html"})
        EXPECT_TRUE(QFile::exists(reportFilePath(team))) << team;
    const QStringList l = lines(name);
    EXPECT_TRUE(l.contains("<P align = 'center'><FONT size = '1' color = ''>3/8/2024  Race Two </FONT></P>"));
    EXPECT_EQ(data.ui().statusTexts.first(), "Creating League Race Standings Report");
}

TEST_F(RaceReports, LeagueRaceStandingsLinksAndNoPosting) {
    chooseColumns("RS", {33});
    TestDataFile::exec("UPDATE races SET race_status_nmbr = 3 WHERE race_nmbr = 1");
    const QString name = createLeagueRaceStandings(1, 1, false);
    EXPECT_EQ(rows(name).mid(1), (QStringList{"<A HREF='tr000105010001.html'>Alpha </A>",
                                              "<A HREF='tr000105020001.html'>Bravo &amp; &lt;Sons&gt; </A>",
                                              "<A HREF='tr000105030001.html'>Charlie </A>"}));
    EXPECT_TRUE(lines(name).join("\n").contains("Qualifying"));
    addRace({.nmbr = 3, .name = "Race Three", .track = "T", .date = "2024-03-15"});
    EXPECT_EQ(createLeagueRaceStandings(1, 3, true), "");
    EXPECT_EQ(data.ui().lastBoxText(), "Results not posted for this Race.");
}

TEST_F(RaceReports, SeasonPointsOfATeamWithTopFinishBonusesAreItsStandingsTotal) {
    // Exactly one car in the first three pays 5, exactly one car in first place pays 12. Bravo
    // sells car 4 to Delta, who joins the league, between the races.
    //   Race 1: every team has one car in the first three (+5); Alpha won (+12):
    //           Alpha 107, Bravo 75, Charlie 55.
    //   Race 2: Delta has one car in the first three (+5), Charlie two (none of that) and the
    //           winner (+12): Charlie 112, Delta 55, Alpha 40, Bravo 20.
    //   Season: Charlie 167, Alpha 147, Bravo 95, Delta 55.
    // Each bonus-entry row of race 2 carries the entry's total of race 1, its did-not-qualify row
    // too; the team's season points count that total once.
    addTopPoints({.scoringType = 600, .cars = 1, .points = 5, .top = 3});
    addTopPoints({.scoringType = 600, .cars = 1, .points = 12, .top = 1});
    addTeam({.nmbr = 504, .name = "Delta", .owner = "Di"});
    addMember({.league = 1, .team = 504});
    TestDataFile::exec("UPDATE team_car SET term_dt = '2024-03-05' WHERE team_nmbr = 502 AND car_nmbr = 4");
    hold(504, {4}, "2024-03-05");
    post(1);
    post(2);
    ASSERT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    chooseColumns("RD", {2, 8, 9});
    EXPECT_EQ(rows(createRaceDetailReport(1, 2, false)).filter("<B>"),
              (QStringList{"|<B>112</B>|<B>167</B>", "|<B>55</B>|<B>55</B>", "|<B>40</B>|<B>147</B>",
                           "|<B>20</B>|<B>95</B>"}));
    EXPECT_EQ(rows(createRaceDetailReport(1, 1, false)).filter("<B>"),
              (QStringList{"|<B>107</B>|<B>107</B>", "|<B>75</B>|<B>75</B>", "|<B>55</B>|<B>55</B>"}));
    chooseColumns("TR", {2, 8, 9});
    EXPECT_EQ(rows(createTeamRaceDetailReport(1, 503, 2, false)).last(), "|<STRONG>112</STRONG>|<STRONG>167</STRONG>");
    EXPECT_EQ(rows(createTeamRaceDetailReport(1, 502, 2, false)).last(), "|<STRONG>20</STRONG>|<STRONG>95</STRONG>");
    chooseColumns("LS", {9});
    EXPECT_EQ(rows(createLeagueStandingsReport(1, 2, false)).mid(1), (QStringList{"167", "147", "95", "55"}));
}

TEST_F(RaceReports, CountsAsOfARaceLeaveOutALaterRaceOnTheSameDate) {
    // Race 2 moved onto race 1's date: it still comes after race 1, so as of race 1 only race 1
    // is won (Alpha, car 1) and Charlie's win of race 2 (car 6) is not yet counted.
    TestDataFile::exec("UPDATE races SET race_dt = '2024-03-01' WHERE race_nmbr = 2");
    chooseColumns("LS", {33, 9, 15, 16, 17, 18, 19, 20, 21});
    EXPECT_EQ(rows(createLeagueStandingsReport(1, 1, false)).mid(1),
              (QStringList{"<A HREF='tr000105010001.html'>Alpha </A>|90|1|1|1|1|2|2|90",
                           "<A HREF='tr000105020001.html'>Bravo &amp; &lt;Sons&gt; </A>|70|0|1|1|0|2|2|70",
                           "<A HREF='tr000105030001.html'>Charlie </A>|50|0|1|1|0|1|2|50"}));
    EXPECT_EQ(rows(createLeagueStandingsReport(1, 2, false)).mid(1),
              (QStringList{"<A HREF='tr000105030002.html'>Charlie </A>|150|1|2|2|1|3|4|100",
                           "<A HREF='tr000105020002.html'>Bravo &amp; &lt;Sons&gt; </A>|140|0|2|2|0|4|4|70",
                           "<A HREF='tr000105010002.html'>Alpha </A>|130|1|2|2|1|3|4|40"}));
}

// The standings page reads every team's top finishes at once: each cell is the count the team's own
// reading gives, with places missing, 0, beyond ten or not numbers, cars not in force, a race of
// another car type and a later race on the same date.
TEST_F(RaceReports, StandingsCountsReadForThePageAreEachTeamsOwn) {
    TestDataFile::exec("INSERT INTO races VALUES (3, 'Race Three', 'T', '2024-03-08', 1, 1, 2)");
    TestDataFile::exec("INSERT INTO races VALUES (4, 'Race Four', 'T', '2024-03-02', 2, 1, 2)");
    TestDataFile::exec("INSERT INTO team_results_summary VALUES (3, 501, 1, 9, 1), (4, 502, 1, 9, 1), "
                       "(1, 504, 1, 0, 2)");
    TestDataFile::exec("UPDATE team_results_summary SET team_place = NULL WHERE race_nmbr = 1 AND team_nmbr = 503");
    TestDataFile::exec("UPDATE team_results_summary SET team_place = 'x' WHERE race_nmbr = 2 AND team_nmbr = 502");
    TestDataFile::exec("UPDATE team_results SET place = 11 WHERE race_nmbr = 1 AND car_nmbr = 6");
    TestDataFile::exec("UPDATE team_results SET place = NULL WHERE race_nmbr = 2 AND car_nmbr = 4");
    TestDataFile::exec("UPDATE team_results SET current_status = 0 WHERE race_nmbr = 2 AND car_nmbr = 6");
    TestDataFile::exec("UPDATE team_results SET place = '1' WHERE race_nmbr = 1 AND car_nmbr = 3");
    TestDataFile::exec(
        "INSERT INTO team_results (race_nmbr, place, car_nmbr, team_nmbr, current_status, points, league_nmbr) VALUES "
        "(2, 0, 1, 501, 1, 0, 1), (2, 1, 2, 501, 1, 0, 1), (2, 10, 2, 501, 1, 0, 1), (2, 'y', 5, 503, 1, 0, 1), "
        "(3, 1, 1, 501, 1, 0, 1), (4, 1, 3, 502, 1, 0, 1), (2, 1, 3, 502, 1, 0, 2)");
    chooseColumns("LS", {33, 15, 16, 17, 18, 19, 20});
    cLeague league;
    ASSERT_TRUE(league.load(1));
    for (int race : {1, 2}) {
        const QStringList r = rows(createLeagueStandingsReport(1, race, false)).mid(1);
        ASSERT_EQ(r.size(), 3) << race;
        for (const QString& row : r) {
            const int team = row.mid(row.indexOf("tr0001") + 6, 4).toInt();
            cTeamResultsSummary summary;
            cTeamResults results;
            const QStringList want = {QString::number(summary.wins(league, team, race)),
                                      QString::number(summary.top5s(league, team, race)),
                                      QString::number(summary.top10s(league, team, race)),
                                      QString::number(results.wins(league, team, race)),
                                      QString::number(results.top5s(league, team, race)),
                                      QString::number(results.top10s(league, team, race))};
            EXPECT_EQ(row.section('|', 1), want.join('|')) << "race " << race << " team " << team;
        }
    }
    // Charlie as of race 2: won race 2 as a team (race 1 has no place); car 6's win there is not in
    // force, car 5's third places in both races count.
    EXPECT_EQ(rows(createLeagueStandingsReport(1, 2, false))[1].section('|', 1), "1|1|1|0|2|2");
}

TEST_F(RaceReports, StandingsSumsBeyondThirtyTwoBitsStayWhole) {
    // Written elsewhere: race sums no posting here would write.
    TestDataFile::exec("UPDATE team_results_summary SET points = 2000000000 WHERE team_nmbr = 503");
    TestDataFile::exec("UPDATE team_results_summary SET points = -2000000000 WHERE team_nmbr = 501");
    chooseColumns("LS", {9, 22});
    EXPECT_EQ(rows(createLeagueStandingsReport(1, 2, false)).mid(1),
              (QStringList{"4000000000|0", "140|3999999860", "-4000000000|8000000000"}));
    chooseColumns("RD", {8, 9});
    EXPECT_EQ(rows(createRaceDetailReport(1, 2, false)).filter("<B>").first(), "<B>100</B>|<B>4000000000</B>");
}
