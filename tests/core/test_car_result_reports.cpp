// The car pick, car details, race results and car/driver statistics reports.
//
// League 3 plays race type 1 with cars (car type 1) under a salary cap of 50,000. Race type 1 has
// cars 10 ("24", group 1), 11 ("10", group 1), 12 ("9", group 2), 13 ("7", no group), a driver 14
// ("D1"), a bonus entry 15 ("Top Bonus"); car 16 belongs to race type 2.

#include "Rows.h"
#include "TestDataFile.h"
#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/TextFiles.h"
#include "reports/framework/cReportAttributes.h"
#include "reports/generators/CarPickReport.h"
#include "reports/generators/CarsDetailReport.h"
#include "reports/generators/DriverStatsReport.h"
#include "reports/generators/RaceResultsReport.h"
#include "reports/generators/ReportPackageReport.h"
#include "reports/generators/ReportPipeline.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

QStringList pageLines(const QString& fileName) {
    QFile f(reportFilePath(fileName));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList linesStartingWith(const QStringList& lines, const QString& start) {
    QStringList out;
    for (const QString& l : lines)
        if (l.startsWith(start))
            out << l;
    return out;
}

// The text of every data cell, in page order.
QStringList cellTexts(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines)
        if (l.startsWith("<TD")) {
            const int open = l.indexOf("'>", l.indexOf("<FONT")) + 2;
            out << l.mid(open, l.indexOf(" </FONT>") - open);
        }
    return out;
}

class CarResultReports : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.ok());
        setDocumentOpener([this](const QString& path) {
            opened << QFileInfo(path).fileName();
            return true;
        });
        TestDataFile::exec("UPDATE group_dm SET max_nmbr = 2 WHERE group_nmbr = 1");
        TestDataFile::exec("UPDATE group_dm SET max_nmbr = 1 WHERE group_nmbr = 2");
        addLeague({.nmbr = 3, .name = "Lake League  ", .salaryCap = 50000});
        addLeague({.nmbr = 4, .name = "Empty League", .raceType = 5});
        addCar({.nmbr = 10,
                .txt = "24",
                .owner = "Own A",
                .driver = "Jeff & <Co>",
                .make = "Make A",
                .sponsor = "Spons A",
                .group = 1,
                .salary = 3000});
        addCar({.nmbr = 11,
                .txt = "10",
                .owner = "Own B",
                .driver = "O'Neil",
                .make = "Make B",
                .sponsor = "Spons B",
                .group = 1,
                .salary = 5000});
        addCar(
            {.nmbr = 12, .txt = "9", .owner = "Own C", .driver = "Carl", .make = "Make C", .group = 2, .salary = 1000});
        addCar({.nmbr = 13,
                .txt = "7",
                .owner = "Own D",
                .driver = "Dale",
                .make = "Make D",
                .sponsor = "Spons D",
                .salary = 1234567.5});
        addCar({.nmbr = 14, .carType = 2, .txt = "D1", .driver = "Driver One", .group = 1, .salary = 900});
        addCar({.nmbr = 15, .carType = 3, .txt = "Top Bonus"});
        addCar({.nmbr = 16, .raceType = 2, .txt = "99", .driver = "Elsewhere", .group = 1, .salary = 99999});
        data.ui().clear();
    }
    void TearDown() override { setDocumentOpener({}); }

    static void addRaces() {
        addRace({.nmbr = 12, .name = "  Spring 200 ", .track = "Lake", .date = "2024-03-07", .status = 1});
        addRace({.nmbr = 13, .name = "Summer 300", .track = "Lake", .date = "2024-06-01"});
        addRace({.nmbr = 14, .name = "Other Type", .track = "Far", .date = "2024-06-01", .raceType = 2});
        addRace({.nmbr = 15, .name = "Not Run", .track = "Lake", .date = "2024-09-01"});
        // race, car: place, qualified, fast_qual, laps_led
        addResult({.car = 13, .race = 12, .place = 999, .qualified = 5});
        addResult({.car = 11, .race = 12, .place = 2, .qualified = 1, .fastQual = -1, .lapsLed = 30});
        addResult({.car = 10, .race = 12, .place = 1, .qualified = 2, .lapsLed = 70});
        addResult({.car = 12, .race = 12, .qualified = 4});
        addResult({.car = 14, .race = 12, .place = 3, .qualified = 3, .fastQual = 1, .lapsLed = 5});
        addResult({.car = 15, .race = 12, .place = 4, .qualified = 6});
        addResult({.car = 11, .race = 13, .place = 1, .qualified = 2, .lapsLed = 10});
        addResult({.car = 10, .race = 13, .place = 6, .qualified = 1, .fastQual = 1});
        addResult({.car = 13, .race = 13, .place = 3, .qualified = 3, .lapsLed = 2});
        addResult({.car = 16, .race = 14, .place = 1, .qualified = 1, .fastQual = 1, .lapsLed = 99});
    }

    TestDataFile data;
    QStringList opened;
};

} // namespace

TEST_F(CarResultReports, CarPicksAreGroupedWithLimitsAndSortedBySalary) {
    chooseColumns("CP", {3, 12, 5, 2}); // column 5 is not one of this report's
    const QString name = createCarPickReport(3, true);
    EXPECT_EQ(name, "cp00030000.html");
    EXPECT_EQ(opened, QStringList{name});
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_EQ(data.ui().statusTexts, (QStringList{"Creating Car/Driver Picks Report", "Status"}));

    const QStringList lines = pageLines(name);
    ASSERT_GT(lines.size(), 12);
    EXPECT_EQ(lines[2], "<title> Car Details Report</title>");
    // League name as stored, then the cap two sizes smaller; no spacer or <br> before the table.
    const int table = lines.indexOf(QRegularExpression("^<TABLE.*"));
    ASSERT_GT(table, 0);
    EXPECT_EQ(lines[table - 2], "<P align = 'center'><FONT size = '5' color = '#000080'>Lake League   </FONT></P>");
    EXPECT_EQ(lines[table - 1],
              "<P align = 'center'><FONT size = '3' color = '#000080'>Salary Cap $50,000.00 </FONT></P>");
    EXPECT_EQ(lines.mid(table + 1, 2), (QStringList{"<TR>", "</TR>"}));

    // Ungrouped car first under one heading row, then group 1 (5000 before 3000), then group 2.
    // Bonus entries, drivers and cars of other race types are not listed.
    EXPECT_EQ(cellTexts(lines), (QStringList{"Dale", "$1,234,567.50", "7",               //
                                             "Group A", "Select 2 From this group.",     //
                                             "O&#39;Neil", "$5,000.00", "10",            //
                                             "Jeff &amp; &lt;Co&gt;", "$3,000.00", "24", //
                                             "Group B", "Select 1 From this group.",     //
                                             "Carl", "$1,000.00", "9"}));
    // Group rows span every chosen column, in the heading colours at the title size less 2.
    EXPECT_TRUE(
        lines.contains("<TD colspan=4  align = 'center'><FONT size = '3' color = '#FFFFFF'>Group A </FONT></TD>"));
    EXPECT_EQ(linesStartingWith(lines, "<TR bgcolor = '#000080'>").size(), 7); // 3 headings + 4 group rows
    const QStringList headings = linesStartingWith(lines, "<TH");
    ASSERT_EQ(headings.size(), 9);
    EXPECT_EQ(headings.mid(0, 3),
              (QStringList{
                  "<TH nowrap colspan=1 align = 'center'><FONT size = '2' color = '#FFFFFF'><BR>Driver </FONT></TH>",
                  "<TH nowrap colspan=1 align = 'center'><FONT size = '2' color = '#FFFFFF'><BR>Salary </FONT></TH>",
                  "<TH nowrap colspan=1 align = 'center'><FONT size = '2' color = '#FFFFFF'><BR>Car# </FONT></TH>"}));
    // Striping runs over the whole page: car "9" is the fourth data row.
    const QStringList rows = linesStartingWith(lines, "<TR bgcolor = '#");
    EXPECT_EQ(linesStartingWith(lines, "<TR bgcolor = '#FFFFFF'>").size(), 2);
    EXPECT_EQ(linesStartingWith(lines, "<TR bgcolor = '#D3D3D3'>").size(), 2);
    EXPECT_EQ(rows.last(), "<TR bgcolor = '#D3D3D3'>");
    // No footer, whatever the attribute says.
    EXPECT_TRUE(linesStartingWith(lines, "<P align = 'Center'>").isEmpty());
    EXPECT_EQ(lines.mid(lines.size() - 3), (QStringList{"</TABLE>", "</body>", "</html>"}));
}

TEST_F(CarResultReports, CarPicksWithoutCapUnknownGroupOrCars) {
    TestDataFile::exec("UPDATE leagues SET salary_cap = 0 WHERE league_nmbr = 3");
    TestDataFile::exec("UPDATE cars SET group_nmbr = 77 WHERE car_nmbr = 12");
    const QString name = createCarPickReport(3, false);
    EXPECT_TRUE(opened.isEmpty());
    const QStringList lines = pageLines(name);
    EXPECT_TRUE(linesStartingWith(lines, "<P align = 'center'><FONT size = '3'").isEmpty()); // no cap line
    const QStringList cells = cellTexts(lines);
    const int missing = cells.indexOf("No limit in this group.");
    ASSERT_GT(missing, 0);
    EXPECT_EQ(cells[missing - 1], "&nbsp;");

    // No car/driver of the league's race type: an empty file, still named, still opened.
    const QString empty = createCarPickReport(4, true);
    EXPECT_EQ(empty, "cp00040000.html");
    EXPECT_TRUE(QFileInfo::exists(reportFilePath(empty)));
    EXPECT_EQ(QFileInfo(reportFilePath(empty)).size(), 0);
    EXPECT_EQ(opened, QStringList{empty});
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST_F(CarResultReports, CarDetailsListCarsAndDriversByNumberValue) {
    const QString name = createCarsDetailReport(3, true);
    EXPECT_EQ(name, "cd00030000.html");
    EXPECT_EQ(opened, QStringList{name});
    EXPECT_EQ(data.ui().statusTexts.first(), "Creating Cars Detail Report");
    const QStringList lines = pageLines(name);
    ASSERT_GT(lines.size(), 10);
    EXPECT_EQ(lines[2], "<title> Car Details Report</title>");
    EXPECT_EQ(lines[7], "<P align = 'center'><FONT size = '5' color = '#000080'>Lake League   </FONT></P>");
    EXPECT_TRUE(lines[8].startsWith("<TABLE"));
    EXPECT_EQ(lines.mid(9, 3), (QStringList{"<TR>", "</TR>", "<TR bgcolor = '#000080'>"}));
    // Shipped columns: car, driver, sponsor, make, owner, group, salary. Numbers by value (as text they
    // would run 10, 24, 7, 9), then the text ones.
    const QStringList cells = cellTexts(lines);
    ASSERT_EQ(cells.size(), 35);
    QStringList cars;
    for (int i = 0; i < cells.size(); i += 7)
        cars << cells[i];
    EXPECT_EQ(cars, (QStringList{"7", "9", "10", "24", "D1"}));
    EXPECT_EQ(cells.mid(14, 7),
              (QStringList{"10", "O&#39;Neil", "Spons B", "Make B", "Own B", "Group A", "$5,000.00"}));
    EXPECT_EQ(cells[0 + 5], "&nbsp;"); // car 7 has no group
    EXPECT_EQ(cells[7 + 2], "&nbsp;"); // car 9 has no sponsor
    // The first data row after the spacer row is an odd row.
    EXPECT_EQ(lines[20], "<TR bgcolor = '#FFFFFF'>");
    EXPECT_TRUE(
        lines.contains("<TD colspan=1  align = 'right'><FONT size = '2' color = '#000000'>$5,000.00 </FONT></TD>"));
    EXPECT_TRUE(linesStartingWith(lines, "<P align = 'Center'>").isEmpty());

    const QString empty = createCarsDetailReport(4, false);
    EXPECT_EQ(empty, "cd00040000.html");
    EXPECT_EQ(QFileInfo(reportFilePath(empty)).size(), 0);
}

TEST_F(CarResultReports, RaceResultsByPlaceWithDnqAndFastQualifier) {
    addRaces();
    chooseColumns("RR", {27, 1, 3, 26});
    const QString name = createRaceResultsReport(12, true);
    EXPECT_EQ(name, "rr00120000.html");
    EXPECT_EQ(opened, QStringList{name});
    const QStringList lines = pageLines(name);
    ASSERT_GT(lines.size(), 12);
    EXPECT_EQ(lines[2], "<title>Race Results Report</title>");
    EXPECT_EQ(lines.mid(7, 5),
              (QStringList{"<br>",
                           "<P align = 'center'><FONT size = '5' color = '#000080'>Spring 200<BR>3/7/2024 </FONT></P>",
                           "<br>", "<P align = 'center'><FONT size = '2' color = '#000080'>Unofficial </FONT></P>",
                           "<TABLE align=center  border = 1 cellspacing = 0 cellpadding = 2>"}));
    EXPECT_EQ(lines[12], "<br>");
    EXPECT_EQ(
        linesStartingWith(lines, "<TH").mid(0, 3),
        (QStringList{
            "<TH nowrap colspan=1 align = 'center'><FONT size = '2' color = '#FFFFFF'>Fast<BR> Qualifier </FONT></TH>",
            "<TH nowrap colspan=1 align = 'center'><FONT size = '2' color = '#FFFFFF'><BR>Place </FONT></TH>",
            "<TH nowrap colspan=1 align = 'center'><FONT size = '2' color = '#FFFFFF'><BR>Driver </FONT></TH>"}));
    // Every result of the race (the bonus entry too), place 0 first, DNQ last.
    EXPECT_EQ(cellTexts(lines), (QStringList{"&nbsp;", "0",   "Carl",
                                             "0", //
                                             "&nbsp;", "1",   "Jeff &amp; &lt;Co&gt;",
                                             "70", //
                                             "X",      "2",   "O&#39;Neil",
                                             "30", //
                                             "X",      "3",   "Driver One",
                                             "5", //
                                             "&nbsp;", "4",   "&nbsp;",
                                             "0", //
                                             "&nbsp;", "DNQ", "Dale",
                                             "0"}));
    EXPECT_EQ(linesStartingWith(lines, "<TR bgcolor = '#FFFFFF'>").size(), 3);
    // The footer is on in the shipped attributes; below the table it takes the page's (title) colour,
    // as the heading text colour is chosen for the heading background.
    EXPECT_EQ(linesStartingWith(lines, "<P align = 'Center'><FONT size = '2' color = '#000080'>Created ").size(), 1);
    EXPECT_TRUE(data.ui().boxes.isEmpty());

    // Status 2: no status line.
    const QStringList second = pageLines(createRaceResultsReport(13, false));
    EXPECT_TRUE(second[9].startsWith("<TABLE"));
}

TEST_F(CarResultReports, RaceResultsWithoutResultsWriteNoFile) {
    addRaces();
    EXPECT_EQ(createRaceResultsReport(15, false), "");
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_EQ(createRaceResultsReport(15, true), "");
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Results not entered for this Race.");
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
    EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::Information);
    EXPECT_FALSE(QFileInfo::exists(reportFilePath("rr00150000.html")));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(mousePointer(), PointerDefault);
}

TEST_F(CarResultReports, DriverStatsCountStartsAndAverages) {
    addRaces();
    const QString name = createDriverStatsReport(3, true);
    EXPECT_EQ(name, "ds00030000.html");
    EXPECT_EQ(opened, QStringList{name});
    const QStringList lines = pageLines(name);
    ASSERT_GT(lines.size(), 10);
    EXPECT_EQ(lines[2], "<title>Car/Driver Stats Report</title>");
    EXPECT_EQ(lines[7], "<P align = 'center'><FONT size = '5' color = '#000080'>Lake League </FONT></P>");
    EXPECT_TRUE(lines[8].startsWith("<TABLE"));
    EXPECT_EQ(lines[9], "<br>");
    // Shipped columns: car, driver, starts, poles, wins, top 5, top 10, avg finish, avg start, laps led.
    // Two starts: "10" (places 2+1) before "24" (1+6) before "7" (999+3); then one start each:
    // "9" (place 0) before "D1" (3). The bonus entry and the other race type's car are not listed.
    // A result without a place is a start but no finish: no top 5 or 10, no average finish.
    EXPECT_EQ(cellTexts(lines), (QStringList{"10",   "O&#39;Neil",
                                             "2",    "1",
                                             "1",    "2",
                                             "2",    "1.50",
                                             "1.50", "40", //
                                             "24",   "Jeff &amp; &lt;Co&gt;",
                                             "2",    "1",
                                             "1",    "1",
                                             "2",    "3.50",
                                             "1.50", "70", //
                                             "7",    "Dale",
                                             "2",    "0",
                                             "0",    "1",
                                             "1",    "501.00",
                                             "4.00", "2", //
                                             "9",    "Carl",
                                             "1",    "0",
                                             "0",    "0",
                                             "0",    "&nbsp;",
                                             "4.00", "0", //
                                             "D1",   "Driver One",
                                             "1",    "0",
                                             "0",    "1",
                                             "1",    "3.00",
                                             "3.00", "5"}));
    EXPECT_TRUE(linesStartingWith(lines, "<P align = 'Center'>").isEmpty());

    // "9" then finishes 9th: one finish, averaged alone, over two starts.
    addResult({.car = 12, .race = 13, .place = 9, .qualified = 4});
    const QStringList cells = cellTexts(pageLines(createDriverStatsReport(3, false)));
    ASSERT_EQ(cells.size(), 50);
    EXPECT_EQ(cells.mid(20, 10), (QStringList{"9", "Carl", "2", "0", "0", "0", "1", "9.00", "4.00", "0"}));
}

TEST_F(CarResultReports, DriverStatsRoundAveragesAndStaySilentWithoutResults) {
    addRaces();
    // A third start for car "10": places 2, 1, 4 give 7 / 3 = 2.33.
    addResult({.car = 11, .race = 15, .place = 4, .qualified = 2});
    const QStringList cells = cellTexts(pageLines(createDriverStatsReport(3, false)));
    ASSERT_GE(cells.size(), 10);
    EXPECT_EQ(cells.mid(0, 3), (QStringList{"10", "O&#39;Neil", "3"}));
    EXPECT_EQ(cells[7], "2.33");
    EXPECT_EQ(cells[8], "1.67");

    EXPECT_EQ(createDriverStatsReport(4, true), "");
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(reportFilePath("ds00040000.html")));
}

TEST_F(CarResultReports, DriverStatsTiesGoByCarNumberValue) {
    addRaces();
    // Two starts and a place sum of 3 each: "24" (car 11) before "100" (car 10), neither by text nor
    // by the cars' own numbers.
    TestDataFile::exec("UPDATE cars SET car_txt = '100' WHERE car_nmbr = 10");
    TestDataFile::exec("UPDATE cars SET car_txt = '24' WHERE car_nmbr = 11");
    TestDataFile::exec("UPDATE results SET place = 2 WHERE race_nmbr = 13 AND car_nmbr = 10");
    const QStringList cells = cellTexts(pageLines(createDriverStatsReport(3, false)));
    ASSERT_GE(cells.size(), 20);
    EXPECT_EQ(cells.mid(0, 3), (QStringList{"24", "O&#39;Neil", "2"}));
    EXPECT_EQ(cells.mid(10, 3), (QStringList{"100", "Jeff &amp; &lt;Co&gt;", "2"}));
}

// ---- the report package ----

TEST_F(CarResultReports, PackageWritesFramesetBlankAndNavigationWithLinkedReports) {
    addRaces();
    setReportAttribute("RP", AttrBorderSize, 0);
    chooseColumns("RP", {108, 112, 100, 106, 103, 107});
    const QString name = createReportPackage(3, 15, true); // race 15 has no results
    EXPECT_EQ(name, "rp00030000.html");
    // Only the frameset page is shown; the linked reports are written but not opened.
    EXPECT_EQ(opened, QStringList{name});
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_EQ(data.ui().statusTexts.first(), "Creating Report Package");
    EXPECT_EQ(data.ui().statusTexts.last(), "Status");
    EXPECT_EQ(mousePointer(), PointerDefault);

    EXPECT_EQ(pageLines(name), (QStringList{"<html>", "<head>", "<title>Report Package</title>", "</head>",
                                            "<frameset cols=200,* frameborder=no>",
                                            "<frame frameborder=no name=navigation src=3nav.html>",
                                            "<frame frameborder=no name=main src=blank.html>", "<noframes>", "<body>",
                                            "<p>This page uses frames, but your browser doesn't support them.</p>",
                                            "</body>", "</noframes>", "</frameset>", "</html>"}));
    const QStringList blank = pageLines("blank.html");
    ASSERT_EQ(blank.size(), 9);
    EXPECT_EQ(blank[2], "<title></title>");
    EXPECT_TRUE(blank[4].startsWith("<STYLE>"));
    EXPECT_EQ(blank.mid(6), (QStringList{"", "</body>", "</html>"}));

    // Links in the package's column order; an unknown column writes nothing; a report that wrote no
    // page keeps its entry without a link.
    const QStringList nav = pageLines("3nav.html");
    ASSERT_EQ(nav.size(), 13);
    EXPECT_EQ(nav.mid(6), (QStringList{"<br><a href=ds00030000.html target=main>Car/Driver Stats</a>",
                                       "<br>Race Detail", "<br><a href=cd00030000.html target=main>Car Details</a>",
                                       "<br>League Standings", // race 15 has no posting
                                       "<br>Race Results", "</body>", "</html>"}));
    EXPECT_TRUE(QFileInfo::exists(reportFilePath("ds00030000.html")));
    EXPECT_GT(QFileInfo(reportFilePath("cd00030000.html")).size(), 0);
    EXPECT_FALSE(isReportFileOpen(getReportFileHandle("RP")));
}

TEST_F(CarResultReports, PackageBorderAndEmptyChoice) {
    chooseColumns("RP", {110});
    for (int border : {1, -1}) {
        setReportAttribute("RP", AttrBorderSize, border);
        const QStringList frameset = pageLines(createReportPackage(3, 12, false));
        ASSERT_EQ(frameset.size(), 14);
        const QString yesNo = border > 0 ? "yes" : "no";
        EXPECT_EQ(frameset[4], "<frameset cols=200,* frameborder=" + yesNo + ">");
        EXPECT_EQ(frameset[6], "<frame frameborder=" + yesNo + " name=main src=blank.html>");
    }
    EXPECT_EQ(pageLines("3nav.html")[6], "<br><a href=cp00030000.html target=main>Car/Driver Picks</a>");
    EXPECT_TRUE(opened.isEmpty());

    // No chosen report: the navigation page cannot be written past its head.
    chooseColumns("RP", {});
    EXPECT_EQ(createReportPackage(7, 12, true), "");
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Error generating report rp00070000.html");
    EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(pageLines("rp00070000.html").size(), 14);
    // The navigation page that could not be finished is not left half written.
    EXPECT_FALSE(QFileInfo::exists(reportFilePath("7nav.html")));
    EXPECT_FALSE(isReportFileOpen(getReportFileHandle("RP")));
}

TEST_F(CarResultReports, PackageRunsEveryShippedReportInItsOrder) {
    addRaces();
    createReportPackage(3, 12, false);
    const QStringList nav = pageLines("3nav.html");
    ASSERT_EQ(nav.size(), 6 + 12 + 2);
    QStringList labels;
    for (const QString& line : nav.mid(6, 12)) {
        if (!line.startsWith("<br><a href=")) {
            labels << line.mid(4); // a report that wrote no page: its entry without a link
            continue;
        }
        const QString target = line.section(' ', 1, 1).mid(QStringLiteral("href=").size());
        EXPECT_FALSE(target.isEmpty()) << qPrintable(line);
        EXPECT_TRUE(QFileInfo::exists(reportFilePath(target))) << qPrintable(line);
        labels << line.section('>', 2).chopped(QStringLiteral("</a>").size());
    }
    EXPECT_EQ(labels, (QStringList{"League Standings", "League Race Standings", "Race Detail", "League Race Summary",
                                   "Team Detail", "Team Cars", "Team Trades", "Car Details", "Race Results",
                                   "Car/Driver Stats", "Car/Driver Picks", "Teams per Car/Driver"}));
    EXPECT_TRUE(nav.contains("<br><a href=rr00120000.html target=main>Race Results</a>"));
    EXPECT_EQ(mousePointer(), PointerDefault);
    EXPECT_FALSE(isReportFileOpen(getReportFileHandle("RP")));
}
