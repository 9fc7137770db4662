// The league race summary and the team pages, written from a small posted season (TeamReportSeason.h).

#include "TeamReportSeason.h"
#include "data/Feedback.h"
#include "data/Paths.h"
#include "platform/SaveFile.h"
#include "posting/cLeagueStandingsCollection.h"
#include "reports/framework/cReportAttributes.h"
#include "reports/generators/LeagueRaceSummary.h"
#include "reports/generators/LeagueStandingsReport.h"
#include "reports/generators/ReportPackageReport.h"
#include "reports/generators/ReportPipeline.h"
#include "reports/generators/ReportRequestState.h"
#include "reports/generators/TeamCarsReport.h"
#include "reports/generators/TeamDetailReport.h"
#include "reports/generators/TeamTradesReport.h"
#include "reports/generators/TeamsperCarDriverReport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <functional>
#include <vector>

namespace {

// The lines between a line holding `from` and the next "</TR>".
QStringList rowAfter(const QStringList& lines, const QString& from) {
    QStringList row;
    qsizetype i = 0;
    while (i < lines.size() && !lines[i].contains(from))
        ++i;
    for (++i; i < lines.size() && lines[i] != "</TR>"; ++i)
        row << lines[i];
    return row;
}

} // namespace

// ---- league race summary ----

TEST_F(TeamReportSeason, LeagueRaceSummaryListsTeamsByTotalWithARaceColumnPerRaceWithResults) {
    const QString name = createLeagueRaceSummary(SeasonLeague, true);
    EXPECT_EQ(name, "lr05010000.html");
    const QStringList page = pageLines(name);
    ASSERT_FALSE(page.isEmpty());
    // The title: the league name without its blanks, two line breaks above it, no sub-title.
    const qsizetype title =
        page.indexOf("<P align = 'center'><FONT size = '5' color = '#000080'>Summer League </FONT></P>");
    ASSERT_GT(title, 2);
    EXPECT_EQ(page[title - 1], "<br>");
    EXPECT_EQ(page[title - 2], "<br>");
    EXPECT_TRUE(page[title + 1].startsWith("<TABLE"));

    // Heading: two team cells, the total and the three races with results (race 3 is not posted, so
    // its race detail page does not exist and its date stands without a link). Every text of the row
    // is in the heading text colour, the race links included.
    const QStringList heading = rowAfter(page, "<TR bgcolor = '#000080'>");
    ASSERT_EQ(heading.size(), 6);
    EXPECT_EQ(heading[0], "<TH></TH>");
    EXPECT_EQ(heading[1],
              "<TH  colspan=1 align = 'center'><FONT size = '2' color = '#FFFFFF'>Total<BR>Points </FONT></TH>");
    EXPECT_TRUE(
        heading[2].contains("color = '#FFFFFF'><A HREF='rd05010001.html' style='color: #FFFFFF'>3/1/2024 </A>"));
    EXPECT_TRUE(heading[3].contains("<A HREF='rd05010002.html' style='color: #FFFFFF'>3/8/2024 </A>"));
    EXPECT_TRUE(heading[4].endsWith("color = '#FFFFFF'>3/15/2024  </FONT></TH>"));
    EXPECT_FALSE(heading[4].contains("<A "));
    EXPECT_EQ(heading[5], "<TH></TH>");

    // Alpha 209 + 115, Bravo 65 + 209, Charlie 40 + 40; every row has six cells.
    const QStringList teamCells = page.filter("<TH nowrap colspan=1 align = 'left'>");
    ASSERT_EQ(teamCells.size(), 6);
    EXPECT_TRUE(teamCells[0].contains("<A HREF='tc050105010000.html'>Alpha </A>  </FONT>")); // leading: " </A> "
    EXPECT_TRUE(teamCells[1].contains("<A HREF='tc050105010000.html'>Alpha </A> </FONT>"));  // trailing: " </A>"
    EXPECT_TRUE(teamCells[2].contains("<A HREF='tc050105020000.html'>Bravo &amp; Co </A>"));
    EXPECT_TRUE(teamCells[4].contains("Charlie"));
    QList<QStringList> rows;
    for (const char* team : {"tc050105010000.html'>Alpha </A> ", "Bravo &amp; Co </A> ", "Charlie </A> "})
        rows << rowAfter(page, team);
    for (QStringList& r : rows) {
        ASSERT_EQ(r.size(), 5); // the total, three races and the trailing team cell
        r.removeLast();
        for (QString& cell : r)
            cell = cell.section("'>", 2).section(" </FONT>", 0, 0);
    }
    EXPECT_EQ(rows[0], (QStringList{"324", "209", "115", "0"}));
    EXPECT_EQ(rows[1], (QStringList{"274", "65", "209", "0"}));
    EXPECT_EQ(rows[2], (QStringList{"80", "40", "40", "0"}));
    // Striping by row number: the second team's row is an even row.
    EXPECT_EQ(page.filter("<TR bgcolor = '#D3D3D3'>").size(), 1);

    // The linked team cars and race detail pages were written, and only the summary was opened.
    for (const char* file :
         {"tc050105010000.html", "tc050105020000.html", "tc050105030000.html", "rd05010001.html", "rd05010002.html"})
        EXPECT_FALSE(pageLines(file).isEmpty()) << file;
    EXPECT_EQ(opened, QStringList{reportFilePath(name)});
    EXPECT_FALSE(pageExists("rd05010003.html"));
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_EQ(mousePointer(), PointerDefault);

    // Equal totals keep the teams in team number order, Charlie's 503 last whatever its lines.
    TestDataFile::exec("UPDATE team_results_summary SET points = 0 WHERE league_nmbr = 501");
    TestDataFile::exec("UPDATE team_results_summary SET points = 5 WHERE team_nmbr = 503 AND race_nmbr = 1");
    TestDataFile::exec("UPDATE team_results_summary SET points = -5 WHERE team_nmbr = 503 AND race_nmbr = 2");
    const QStringList tied = pageLines(createLeagueRaceSummary(SeasonLeague, false)).filter("nowrap colspan=1");
    ASSERT_EQ(tied.size(), 6);
    EXPECT_TRUE(tied[0].contains("Alpha"));
    EXPECT_TRUE(tied[2].contains("Bravo"));
    EXPECT_TRUE(tied[4].contains("Charlie"));
}

TEST_F(TeamReportSeason, LeagueRaceSummaryOfALeagueWithoutPostingsLeavesAnEmptyPage) {
    addLeague({.nmbr = 503, .name = "Autumn League", .shortName = "AL", .raceType = 2, .scoringType = 600});
    EXPECT_EQ(createLeagueRaceSummary(503, false), "lr05030000.html");
    EXPECT_TRUE(pageExists("lr05030000.html"));
    EXPECT_TRUE(pageLines("lr05030000.html").isEmpty());
    EXPECT_TRUE(data.ui().boxes.isEmpty());

    EXPECT_EQ(createLeagueRaceSummary(503, true), "lr05030000.html");
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Results not posted for this Race.");
    EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::Information);
    EXPECT_TRUE(opened.isEmpty());
}

// ---- team cars ----

TEST_F(TeamReportSeason, TeamCarsTotalsCountTheRowsWrittenAndHeadersSkipEmptyContacts) {
    setReportAttribute("TC", AttrIncludeActiveOnly, 1);
    const QString name = createTeamCarsReport(SeasonLeague, 0, false, true, false, 2);
    EXPECT_EQ(name, "tc050100000002.html");
    const QStringList page = pageLines(name);
    EXPECT_EQ(page.filter("Team Cars as of <BR>3/8/2024  Race Two").size(), 1);
    // Team headers: Bravo has no e-mail or phone, Charlie an empty e-mail and a phone.
    EXPECT_EQ(page.filter("Alpha<BR><A href='mailto:ann@example.invalid'>ann@example.invalid</A><BR>555-0101 ").size(),
              1);
    EXPECT_EQ(page.filter(">Bravo &amp; Co </FONT></P>").size(), 1);
    EXPECT_EQ(page.filter(">Charlie<BR>555-0103 </FONT></P>").size(), 1);
    // The headers stand on the page above their tables: in the title colour, not the heading's white.
    EXPECT_EQ(page.filter("<P align = 'center'><FONT size = '1' color = '#000080'>").size(), 3);
    // Bravo's car "6", dropped on 3/5, is not in force on 3/8: not listed and not summed.
    EXPECT_TRUE(page.filter(">Martin ").isEmpty());
    const QStringList totals = page.filter("<B>");
    EXPECT_EQ(totals,
              (QStringList{
                  "<TD colspan=1  align = 'right'><FONT size = '2' color = '#FFFFFF'><B>$2,700.00</B> </FONT></TD>",
                  "<TD colspan=1  align = 'right'><FONT size = '2' color = '#FFFFFF'><B>$3,000.00</B> </FONT></TD>",
                  "<TD colspan=1  align = 'right'><FONT size = '2' color = '#FFFFFF'><B>$2,100.00</B> </FONT></TD>",
                  "<TD colspan=1  align = 'right'><FONT size = '2' color = '#FFFFFF'><B>$2,250.00</B> </FONT></TD>",
                  "<TD colspan=1  align = 'right'><FONT size = '2' color = '#FFFFFF'><B>$1,200.00</B> </FONT></TD>",
                  "<TD colspan=1  align = 'right'><FONT size = '2' color = '#FFFFFF'><B>$1,250.00</B> </FONT></TD>"}));
    // Striping runs on across teams: Alpha shows two rows, so Bravo's first row is odd again.
    const qsizetype bravo = page.indexOf(page.filter(">Bravo &amp; Co </FONT></P>").first());
    EXPECT_EQ(page[bravo + 11], "<TR bgcolor = '#FFFFFF'>");
    EXPECT_TRUE(page[bravo + 12].contains(">88 </FONT>"));

    // Without a race the attribute has no effect and the sub-title names no race.
    const QStringList all = pageLines(createTeamCarsReport(SeasonLeague, Bravo, false, false, false));
    EXPECT_EQ(all.filter("<P align = 'center'><FONT size = '3' color = '#000080'>Team Cars </FONT></P>").size(), 1);
    EXPECT_EQ(all.filter(">Martin ").size(), 1);
    EXPECT_EQ(all.filter("<B>$2,550.00</B>").size(), 1);
}

TEST_F(TeamReportSeason, TeamCarsSeparatePagesFollowTeamNames) {
    EXPECT_EQ(createTeamCarsReport(SeasonLeague, 0, true, true, true, 1), "tc050105030001.html");
    EXPECT_EQ(opened, (QStringList{reportFilePath("tc050105010001.html"), reportFilePath("tc050105020001.html"),
                                   reportFilePath("tc050105030001.html")}));
    const QStringList charlie = pageLines("tc050105030001.html");
    EXPECT_EQ(charlie.filter("</TABLE>").size(), 1);
    EXPECT_TRUE(charlie.filter("Alpha").isEmpty());
    // A drivers league speaks of drivers.
    EXPECT_EQ(pageLines(createTeamCarsReport(DriverLeague, Alpha, false, false, false))
                  .filter(">Team Drivers </FONT>")
                  .size(),
              1);
    // No chosen columns: the page ends on the error path at its first team.
    chooseColumns("TC", {});
    EXPECT_EQ(createTeamCarsReport(SeasonLeague, Alpha, false, false, false), "");
    EXPECT_EQ(data.ui().lastBoxText(), "Error generating report tc050105010000.html");
    EXPECT_EQ(mousePointer(), PointerDefault);
}

// ---- team trades ----

TEST_F(TeamReportSeason, TeamTradesListHoldingsThatStartedOrEndedSinceThePreviousRace) {
    chooseColumns("TT", {38, 2, 10, 5, 4});
    const QStringList race2 = pageLines(createTeamTradesReport(SeasonLeague, -1, 2, false, true, false));
    EXPECT_EQ(race2.filter("Trades for Race Two").size(), 1);
    // Bravo dropped "6" and took on "99" on 3/5, between the races; Alpha and Charlie made no trade
    // but still get their header and heading row.
    EXPECT_EQ(race2.filter("<TD colspan=1  align = 'center'>").size(), 6);
    EXPECT_EQ(race2.filter(">6 </FONT>").size(), 1);
    EXPECT_EQ(race2.filter(">99 </FONT>").size(), 1);
    EXPECT_EQ(race2.filter("<TABLE").size(), 3);
    EXPECT_EQ(race2.filter(">Car# ").size(), 3);
    // Column 38 adds the e-mail link even when there is none; the sponsor is not this report's.
    EXPECT_EQ(race2.filter(">Bravo &amp; Co<BR><A href='mailto:'></A> </FONT></P>").size(), 1);
    EXPECT_TRUE(race2.filter("Sponsor").isEmpty());

    // The first race has no previous one: every holding started on or before its day.
    const QStringList race1 = pageLines(createTeamTradesReport(SeasonLeague, Bravo, 1, false, false, false));
    EXPECT_EQ(race1.filter("<TD colspan=1  align = 'center'>").size(), 6); // "88" and "6", three cells each
    EXPECT_TRUE(race1.filter(">99 </FONT>").isEmpty());
    EXPECT_EQ(createTeamTradesReport(SeasonLeague, 0, 2, false, false, true), "tt050105030002.html");
    // The team header is on the page, in the title colour.
    EXPECT_EQ(race2.filter("<P align = 'center'><FONT size = '1' color = '#000080'>").size(), 3);
}

// ---- team detail ----

TEST_F(TeamReportSeason, TeamDetailRowsTrailTheirTeamsBestAndSkipHoldingsNoLongerInForce) {
    chooseColumns("TD", {2, 9, 22, 6});
    const QString name = createTeamDetailReport(SeasonLeague, Bravo, 2, false, false, false);
    EXPECT_EQ(name, "td050105020002.html");
    QStringList page = pageLines(name);
    QStringList cells = page.filter("<TD ");
    for (QString& c : cells)
        c = c.section("'>", 2).section(" </FONT>", 0, 0);
    // "88" 149 season points; "99" 125, 24 out of the lead, laps-led bonus 5 (one race); the dropped
    // "6" with no points this race.
    EXPECT_EQ(cells, (QStringList{"88", "149", "0", "5", "99", "125", "24", "5", "6", "0", "149", "0"}));

    setReportAttribute("TD", AttrIncludeActiveOnly, 1);
    page = pageLines(createTeamDetailReport(SeasonLeague, Bravo, 2, false, false, false));
    EXPECT_TRUE(page.filter(">6 </FONT>").isEmpty());
    EXPECT_EQ(page.filter("<TD ").size(), 8);

    // The package's call: every team in one table, the name made from team -1.
    EXPECT_EQ(createTeamDetailReport(SeasonLeague, -1, 2, false, true, false), "td0501-0010002.html");
    EXPECT_EQ(pageLines("td0501-0010002.html").filter("<STRONG>").size(), 3);
    EXPECT_EQ(pageLines("td0501-0010002.html").filter("<TABLE").size(), 1);
}

TEST_F(TeamReportSeason, TeamDetailBonusSumsAsOfTheFirstOfTwoRacesOnOneDate) {
    // Race 2 moved onto race 1's date comes after it all the same: as of race 1, "24" has led
    // laps once (5) and led the most once (10); its 5 laps led in race 2 are not yet run.
    TestDataFile::exec("UPDATE races SET race_dt = '2024-03-01' WHERE race_nmbr = 2");
    chooseColumns("TD", {2, 6, 7, 31});
    const auto cells = [](const QString& name) {
        QStringList out = pageLines(name).filter("<TD ");
        for (QString& c : out)
            c = c.section("'>", 2).section(" </FONT>", 0, 0);
        return out;
    };
    EXPECT_EQ(cells(createTeamDetailReport(SeasonLeague, Alpha, 1, false, false, false)),
              (QStringList{"24", "5", "10", "0", "3", "0", "0", "3"}));
    EXPECT_EQ(cells(createTeamDetailReport(SeasonLeague, Alpha, 2, false, false, false)),
              (QStringList{"24", "10", "10", "0", "3", "0", "0", "3"}));

    // A bonus left empty counts nothing; one stored as a fraction or as text is summed as the engine
    // sums it, whatever else the rows hold.
    TestDataFile::exec("UPDATE team_results SET most_laps_led_bonus = NULL WHERE race_nmbr = 2 AND car_nmbr = 2");
    EXPECT_EQ(cells(createTeamDetailReport(SeasonLeague, Alpha, 2, false, false, false)),
              (QStringList{"24", "10", "10", "0", "3", "0", "0", "3"}));
    TestDataFile::exec("UPDATE team_results SET laps_led_bonus = 2.75 WHERE race_nmbr = 1 AND car_nmbr = 1");
    TestDataFile::exec("UPDATE team_results SET fast_qual_bonus = '4' WHERE race_nmbr = 2 AND car_nmbr = 1");
    EXPECT_EQ(cells(createTeamDetailReport(SeasonLeague, Alpha, 2, false, false, false)),
              (QStringList{"24", "8", "10", "4", "3", "0", "0", "3"}));

    // The package sums them from the league's results its race pages read first: its page of all teams
    // is the one written alone, with and without such values.
    for (const char* wholeAgain :
         {"", "UPDATE team_results SET laps_led_bonus = CAST(round(laps_led_bonus + 0.2) AS INTEGER), "
              "fast_qual_bonus = CAST(fast_qual_bonus AS INTEGER)"}) {
        if (*wholeAgain)
            TestDataFile::exec(wholeAgain);
        const QString all = createTeamDetailReport(SeasonLeague, -1, 2, false, true, false);
        const QStringList alone = pageLines(all);
        ASSERT_TRUE(QFile::remove(reportFilePath(all)));
        ASSERT_FALSE(createReportPackage(SeasonLeague, 2, false).isEmpty());
        EXPECT_EQ(pageLines(all), alone);
        EXPECT_FALSE(cells(all).filter(QRegularExpression("^8$")).isEmpty());
    }
}

TEST_F(TeamReportSeason, TeamDetailOfAnUnpostedRaceWritesNothing) {
    EXPECT_EQ(createTeamDetailReport(SeasonLeague, Alpha, 3, false, false, false), "");
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_EQ(createTeamDetailReport(SeasonLeague, 0, 3, true, false, true), "");
    EXPECT_EQ(data.ui().boxes.size(), 3); // one per member team
    EXPECT_EQ(data.ui().lastBoxText(), "Results not posted for this Race.");
    EXPECT_FALSE(pageExists("td050105010003.html"));
    EXPECT_TRUE(opened.isEmpty());

    EXPECT_EQ(createTeamDetailReport(SeasonLeague, 0, 2, true, false, true), "td050105030002.html");
    EXPECT_EQ(opened.size(), 3);
}

// ---- teams per car/driver ----

TEST_F(TeamReportSeason, TeamsPerCarGroupByCarAndHonourTheActiveOnlySwitch) {
    setReportAttribute("DT", AttrIncludeActiveOnly, 0);
    QStringList page = pageLines(createTeamsperCarDriverReport(SeasonLeague, false, 2));
    // The car headers stand on the page above their tables: in the title colour.
    const QStringList headers = page.filter("<P align = 'center'><FONT size = '3' color = '#000080'>").filter(" - ");
    ASSERT_EQ(headers.size(), 6);
    // By car number as the lists sort it: 3, 6, 18, 24, 88, 99 (not "18", "24", "3" as text).
    EXPECT_TRUE(headers[0].contains(">3 - Earnhardt </FONT>"));
    EXPECT_TRUE(headers[1].contains(">6 - Martin </FONT>"));
    EXPECT_TRUE(headers[2].contains(">18 - Labonte </FONT>"));
    EXPECT_TRUE(headers[4].contains(">88 - Jarrett &lt;Jr&gt; </FONT>"));

    setReportAttribute("DT", AttrIncludeActiveOnly, 1);
    page = pageLines(createTeamsperCarDriverReport(SeasonLeague, false, 2));
    EXPECT_TRUE(page.filter("6 - Martin").isEmpty());
    EXPECT_EQ(page.filter("<TABLE").size(), 5);
    // Striping runs over the whole page: the fifth car's single row is odd.
    EXPECT_EQ(page.filter("<TR bgcolor = '#FFFFFF'>").size(), 3);

    const QString drivers = createTeamsperCarDriverReport(DriverLeague, true, 1);
    EXPECT_EQ(drivers, "dt05020001.html");
    page = pageLines(drivers);
    EXPECT_EQ(page.filter(">Teams per Driver as of  </FONT>").size(), 1);
    EXPECT_EQ(page.filter(">Gordon - 24 </FONT>").size(), 1);
    EXPECT_EQ(opened, QStringList{reportFilePath(drivers)});
}

TEST_F(TeamReportSeason, TeamsPerCarKeepsTwoCarsOfTheSameNumberTextApart) {
    setReportAttribute("DT", AttrIncludeActiveOnly, 0);
    // Charlie's "18" becomes a second "24": two cars, two tables, each under its own driver.
    TestDataFile::exec("UPDATE cars SET car_txt = '24' WHERE car_nmbr = 6");
    const QStringList page = pageLines(createTeamsperCarDriverReport(SeasonLeague, false, 2));
    EXPECT_EQ(page.filter("<TABLE").size(), 6);
    EXPECT_EQ(page.filter(">24 - Gordon </FONT>").size(), 1);
    EXPECT_EQ(page.filter(">24 - Labonte </FONT>").size(), 1);
}

TEST_F(TeamReportSeason, CarNumbersSortByValueWithBlanksFirstAndTextLast) {
    setReportAttribute("DT", AttrIncludeActiveOnly, 0);
    TestDataFile::exec("UPDATE cars SET car_txt = '' WHERE car_nmbr = 5");
    TestDataFile::exec("UPDATE cars SET car_txt = '6a' WHERE car_nmbr = 3");
    TestDataFile::exec("UPDATE cars SET car_txt = '10' WHERE car_nmbr = 1");
    const QStringList headers = pageLines(createTeamsperCarDriverReport(SeasonLeague, false, 2))
                                    .filter("<P align = 'center'><FONT size = '3' color = '#000080'>")
                                    .filter(" - ");
    ASSERT_EQ(headers.size(), 6);
    const QStringList expected{" - Burton ",    ">3 - Earnhardt ", ">6 - Martin ",
                               ">10 - Gordon ", ">18 - Labonte ",  ">6a - Jarrett "};
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(headers[i].contains(expected[i])) << headers[i].toStdString();
}

TEST_F(TeamReportSeason, StoredSchemeAndControlCharactersAreNotWrittenRaw) {
    TestDataFile::exec("UPDATE teams SET email = 'mailto:ann@example.invalid', "
                       "team_name = 'Al' || char(7) || 'pha' || char(13) || char(10) || 'Racing' || char(27) "
                       "WHERE team_nmbr = 501");
    const QStringList page = pageLines(createTeamCarsReport(SeasonLeague, Alpha, false, false, false));
    EXPECT_EQ(page.filter("Alpha  Racing<BR><A href='mailto:ann@example.invalid'>ann@example.invalid</A>").size(), 1);
    EXPECT_TRUE(page.filter("mailto:mailto:").isEmpty());
    for (const QString& line : page)
        for (const QChar c : line)
            EXPECT_NE(c.category(), QChar::Other_Control) << line.toStdString();
    const QStringList detail = pageLines(createTeamDetailReport(SeasonLeague, Alpha, 2, false, false, false));
    EXPECT_EQ(detail.filter("<A HREF='mailto:ann@example.invalid'").filter(">ann@example.invalid</A>").size(), 1);
    EXPECT_TRUE(detail.filter("mailto:mailto:").isEmpty());
}

// ---- page names and the links to them ----

TEST_F(TeamReportSeason, TeamPagesOfTwoLeaguesAndTwoRacesHaveNamesOfTheirOwn) {
    // Alpha plays in both leagues: one team cars page per league, each linked from its own summary.
    EXPECT_EQ(createTeamCarsReport(SeasonLeague, Alpha, false, false, false), "tc050105010000.html");
    EXPECT_EQ(createTeamCarsReport(DriverLeague, Alpha, false, false, false), "tc050205010000.html");
    EXPECT_EQ(pageLines("tc050105010000.html").filter("Summer League").size(), 1);
    EXPECT_EQ(pageLines("tc050205010000.html").filter(">Driver League ").size(), 1);
    EXPECT_EQ(
        pageLines(createLeagueRaceSummary(SeasonLeague, false)).filter("<A HREF='tc050105010000.html'>Alpha").size(),
        2);
    // The summary rewrote its own league's pages only.
    EXPECT_EQ(pageLines("tc050205010000.html").filter(">Driver League ").size(), 1);

    // The trades of two races stay two pages.
    EXPECT_EQ(createTeamTradesReport(SeasonLeague, Bravo, 1, false, false, false), "tt050105020001.html");
    EXPECT_EQ(createTeamTradesReport(SeasonLeague, Bravo, 2, false, false, false), "tt050105020002.html");
    EXPECT_EQ(pageLines("tt050105020001.html").filter("Trades for Race One").size(), 1);
    EXPECT_EQ(pageLines("tt050105020002.html").filter("Trades for Race Two").size(), 1);
}

TEST_F(TeamReportSeason, AFailedRunLeavesThePreviousPageByteForByte) {
    const QString name = createTeamCarsReport(SeasonLeague, Alpha, false, false, false);
    ASSERT_EQ(name, "tc050105010000.html");
    QFile good(reportFilePath(name));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray before = good.readAll();
    good.close();
    ASSERT_FALSE(before.isEmpty());

    // No chosen columns: the run fails at its first heading row, after the title block.
    chooseColumns("TC", {});
    EXPECT_EQ(createTeamCarsReport(SeasonLeague, Alpha, false, false, false), "");
    EXPECT_EQ(data.ui().lastBoxText(), "Error generating report tc050105010000.html");
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    EXPECT_EQ(good.readAll(), before);
    good.close();
    // Nothing half written is left beside it.
    EXPECT_EQ(QDir(reportsDir()).entryList(QDir::Files).filter("tc050105010000").size(), 1);
}

TEST_F(TeamReportSeason, AReportFolderThatRefusesPagesEndsTheRunWithOneBoxNamingIt) {
    // A path that is a file: every entry, with its nested and separate pages, shows one box and
    // reports no page as written.
    const QString file = QDir(data.folder()).filePath("Reports.txt");
    QFile taken(file);
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    setReportsDir(file);
    const QString box = "Error creating report file - Not a directory\n\n" + QDir::toNativeSeparators(file);
    const std::vector<std::pair<const char*, std::function<QString()>>> runs = {
        {"team detail, separate", [] { return createTeamDetailReport(SeasonLeague, 0, 2, true, true, true); }},
        {"team cars, separate", [] { return createTeamCarsReport(SeasonLeague, 0, true, true, true, 1); }},
        {"team trades, separate", [] { return createTeamTradesReport(SeasonLeague, 0, 2, true, true, true); }},
        {"league standings", [] { return createLeagueStandingsReport(SeasonLeague, 2, true); }},
        {"league race summary", [] { return createLeagueRaceSummary(SeasonLeague, true); }},
        {"package", [] { return createReportPackage(SeasonLeague, 2, true); }},
    };
    for (const auto& [what, run] : runs) {
        data.ui().clear();
        EXPECT_EQ(run(), "") << what;
        ASSERT_EQ(data.ui().boxes.size(), 1) << what;
        EXPECT_EQ(data.ui().boxes[0].text, box) << what;
        EXPECT_EQ(mousePointer(), PointerDefault) << what;
    }
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(QFileInfo(file).size(), 0);

    // A folder that takes the first team's page and refuses the second's: the run stops there, the
    // page written stays, the third team's is not tried.
    const QString folder = QDir(data.folder()).filePath("Out");
    ASSERT_TRUE(QDir().mkpath(folder + "/td050105020002.html"));
    setReportsDir(folder);
    data.ui().clear();
    EXPECT_EQ(createTeamDetailReport(SeasonLeague, 0, 2, true, true, true), "");
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("Error creating report file - "));
    EXPECT_TRUE(data.ui().boxes[0].text.endsWith("\n\n" + QDir::toNativeSeparators(folder)));
    EXPECT_EQ(opened, QStringList{reportFilePath("td050105010002.html")});
    EXPECT_FALSE(pageExists("td050105030002.html"));

    // Once the folder takes pages again, so does the next run.
    QDir(folder + "/td050105020002.html").removeRecursively();
    data.ui().clear();
    EXPECT_EQ(createTeamDetailReport(SeasonLeague, 0, 2, false, true, true), "td050105030002.html");
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST_F(TeamReportSeason, ReportsWithoutChosenColumnsEndOnTheirMessageWithoutAPage) {
    // A data file whose reports have no columns (the settings window refuses to store none): the
    // package still runs every report.
    TestDataFile::exec(
        "DELETE FROM report_columns WHERE report_nmbr <> (SELECT report_nmbr FROM report WHERE report_id = 'RP')");
    EXPECT_EQ(createReportPackage(SeasonLeague, 2, false), "rp05010000.html");
    QStringList failed;
    for (const auto& box : data.ui().boxes) {
        ASSERT_TRUE(box.text.startsWith("Error generating report ")) << qPrintable(box.text);
        failed << box.text.mid(QStringLiteral("Error generating report ").size());
    }
    EXPECT_GE(failed.size(), 8);
    // No page of a failed run is written, and every page that is written is whole.
    for (const QString& name : failed)
        EXPECT_FALSE(pageExists(name)) << qPrintable(name);
    for (const QString& name : QDir(reportsDir()).entryList({"*.html"}, QDir::Files)) {
        const QStringList lines = pageLines(name);
        if (!lines.isEmpty()) {
            EXPECT_EQ(lines.last(), "</html>") << qPrintable(name);
        }
    }
    EXPECT_EQ(mousePointer(), PointerDefault);
}

// ---- report runs ----

TEST_F(TeamReportSeason, APackagePutsEveryPageInPlaceOnceAndTheNextRunReadsTheDataAnew) {
    // The league standings and the league race standings link the same team pages, the league race
    // summary and the package the same race detail page: each is written once.
    chooseColumns("LS", {13, 33, 34, 9});
    quint64 pages = reportPagesWritten();
    const quint64 syncs = savedFileSyncs();
    EXPECT_EQ(createReportPackage(SeasonLeague, 2, false), "rp05010000.html");
    const QStringList files = QDir(reportsDir()).entryList(QDir::Files);
    for (const char* page : {"rd05010001.html", "rd05010002.html", "rs05010002.html", "ls05010002.html",
                             "tr050105010002.html", "tr050105020002.html", "tr050105030002.html"})
        EXPECT_TRUE(files.contains(page)) << page;
    const quint64 written = reportPagesWritten() - pages;
    EXPECT_EQ(written, quint64(files.size()));
    // No page waits for the disk.
    EXPECT_EQ(savedFileSyncs(), syncs);
    EXPECT_TRUE(data.ui().boxes.isEmpty());

    // What a run read is not kept for the next one: a renamed team, other columns and another
    // result show in the pages the next run writes.
    TestDataFile::exec("UPDATE teams SET team_name = 'Alpine' WHERE team_nmbr = 501");
    chooseColumns("TR", {2, 8});
    TestDataFile::exec("UPDATE team_results_summary SET points = points + 1000 WHERE team_nmbr = 501 "
                       "AND league_nmbr = 501 AND race_nmbr = 1");
    pages = reportPagesWritten();
    EXPECT_EQ(createReportPackage(SeasonLeague, 2, false), "rp05010000.html");
    EXPECT_EQ(reportPagesWritten() - pages, written);
    const QStringList team = pageLines("tr050105010002.html");
    EXPECT_EQ(team.filter("Alpine").size(), 1);
    EXPECT_EQ(team.filter("<TH ").size(), 2);
    const QStringList detail = pageLines("rd05010001.html");
    ASSERT_FALSE(detail.isEmpty());
    EXPECT_FALSE(detail.filter("Alpine").isEmpty());
    EXPECT_FALSE(pageLines("rd05010002.html").filter(QRegularExpression("<B>1[0-9]{3}</B>")).isEmpty());
}

TEST_F(TeamReportSeason, SeasonPointsOfEveryRaceAreTheLeagueStandingsTotals) {
    const auto standingsOf = [](int league, int race) {
        cLeagueStandingsCollection standings;
        standings.load(league, race, true);
        QHash<int, qint64> points;
        for (const cLeagueStandings& line : standings)
            points.insert(line.teamNmbr(), line.points());
        return points;
    };
    for (const bool oneDate : {false, true}) {
        // Two races on one date still count one after the other.
        if (oneDate)
            TestDataFile::exec("UPDATE races SET race_dt = '2024-03-01' WHERE race_nmbr = 2");
        for (const int league : {SeasonLeague, DriverLeague, 999}) {
            // A request reads the league's points once for every race it asks for, in any order.
            for (const QList<int>& order : {QList<int>{1, 2, 3, 99}, QList<int>{99, 3, 2, 1}}) {
                ReportRunScope request;
                for (const int race : order) {
                    const QHash<int, qint64> lines = standingsOf(league, race);
                    EXPECT_EQ(ReportRequestState::current().seasonPoints(league, race), lines)
                        << "league " << league << ", race " << race << ", one date " << oneDate;
                    // A team's page of its own reads its line alone.
                    for (const int team : {Alpha, Bravo, Charlie, 999})
                        EXPECT_EQ(ReportRequestState::current().teamSeasonPoints(league, race, team),
                                  lines.value(team, 0))
                            << "league " << league << ", race " << race << ", team " << team;
                }
            }
        }
    }
    ReportRunScope request;
    EXPECT_EQ(ReportRequestState::current().seasonPoints(SeasonLeague, 2).value(Alpha),
              209 + 115); // the summary's total
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}
