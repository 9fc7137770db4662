#include "Rows.h"
#include "ScopedLocale.h"
#include "SeasonBuilder.h"
#include "TestDataFile.h"
#include "data/Feedback.h"
#include "data/IDatabase.h"
#include "data/Paths.h"
#include "data/Regional.h"
#include "data/SqlText.h"
#include "data/TextFiles.h"
#include "data/cRaceStatusCollection.h"
#include "platform/Clock.h"
#include "posting/cRaces.h"
#include "reports/framework/cReportAttributes.h"
#include "reports/generators/CarPickReport.h"
#include "reports/generators/CarsDetailReport.h"
#include "reports/generators/DriverStatsReport.h"
#include "reports/generators/LeagueRaceStandingsReport.h"
#include "reports/generators/LeagueRaceSummary.h"
#include "reports/generators/LeagueStandingsReport.h"
#include "reports/generators/RaceDetailReport.h"
#include "reports/generators/RaceResultsReport.h"
#include "reports/generators/ReportPackageReport.h"
#include "reports/generators/ReportPipeline.h"
#include "reports/generators/TeamCarsReport.h"
#include "reports/generators/TeamDetailReport.h"
#include "reports/generators/TeamRaceDetailReport.h"
#include "reports/generators/TeamTradesReport.h"
#include "reports/generators/TeamsperCarDriverReport.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

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

// A small page of report "RS" (whose shipped columns are known) with one data row.
QString writeSmallPage(ReportPage& page, bool show) {
    page.open(7, 3);
    page.writeHead(QStringLiteral("Small Report"));
    page.writeTitle(QStringLiteral("Title"));
    page.writeTableStart();
    page.writeColumnHeadings(
        [](int c) -> std::optional<QString> {
            if (c == ColTeamName)
                return QStringLiteral("Team");
            return std::nullopt;
        },
        QStringLiteral("nowrap"));
    page.writeDataRow(1, [](int c) -> std::optional<ReportCell> {
        if (c == ColTeamName)
            return ReportCell{cellText(QStringLiteral("A&B")), QStringLiteral("left")};
        return std::nullopt;
    });
    page.writeTableEnd();
    page.writeFooter();
    page.writeEnd();
    return page.finish(show);
}

QByteArray pageBytes(const QString& folder, const QString& fileName) {
    QFile f(QDir(folder).filePath(fileName));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no page)");
}

// Writes, with show false, the page of the name as its own entry writes it: the numbers of a page's name
// are those its entry was given (a team number -1 for all teams on one page).
QString writePageAlone(const QString& fileName) {
    const QString code = fileName.left(2);
    const QString digits = fileName.mid(2, fileName.size() - 2 - QStringLiteral(".html").size());
    const bool threeNumbers = QStringList{"td", "tc", "tt", "tr"}.contains(code);
    const qsizetype width = digits.size() / (threeNumbers ? 3 : 2);
    const int a = digits.mid(0, width).toInt(), b = digits.mid(width, width).toInt();
    const int c = threeNumbers ? digits.mid(2 * width, width).toInt() : 0;
    const std::map<QString, std::function<QString()>> entries = {
        {"rd", [&] { return createRaceDetailReport(a, b, false); }},
        {"lr", [&] { return createLeagueRaceSummary(a, false); }},
        {"rs", [&] { return createLeagueRaceStandings(a, b, false); }},
        {"ls", [&] { return createLeagueStandingsReport(a, b, false); }},
        {"td", [&] { return createTeamDetailReport(a, b, c, false, b == -1, false); }},
        {"tc", [&] { return createTeamCarsReport(a, b, false, b == -1, false, c ? std::optional(c) : std::nullopt); }},
        {"cd", [&] { return createCarsDetailReport(a, false); }},
        {"rr", [&] { return createRaceResultsReport(a, false); }},
        {"ds", [&] { return createDriverStatsReport(a, false); }},
        {"tt", [&] { return createTeamTradesReport(a, b, c, false, b == -1, false); }},
        {"cp", [&] { return createCarPickReport(a, false); }},
        {"dt", [&] { return createTeamsperCarDriverReport(a, false, b); }},
        {"tr", [&] { return createTeamRaceDetailReport(a, b, c, false); }},
    };
    const auto entry = entries.find(code);
    return entry == entries.end() ? QString() : entry->second();
}

// Two leagues of cars (one where fewer points is better) and two of drivers over four races: cars,
// drivers, cars (three posted, the second unofficial) and a race of cars with results that is not
// posted. Alpha and Bravo hold the same cars and drivers, so they have equal totals everywhere.
constexpr int kLeagues[] = {1, 2, 3, 4};
constexpr int kRaces[] = {1, 2, 3, 4};

void writeFourLeagueSeason() {
    SeasonBuilder::scoring({.nmbr = 600, .name = "More", .lapsLed = 5, .mostLapsLed = 10, .fastQual = 3},
                           {100, 80, 60, 50, 40, 30, 20, 10}, {7, 4});
    SeasonBuilder::scoring({.nmbr = 601, .name = "Fewer"}, {1, 2, 3, 4, 5, 6, 7, 8});
    addTopPoints({.scoringType = 600, .cars = 2, .points = 20, .top = 3});
    for (int c = 1; c <= 8; ++c)
        addCar({.nmbr = c,
                .txt = QString::number(c * 3),
                .driver = QStringLiteral("Driver %1").arg(c),
                .sponsor = c % 2 ? QStringLiteral(" Sponsor & %1 ").arg(c) : QString::fromUtf8("M\u00fcller"),
                .group = 1 + c % 2,
                .salary = 250.5 * c});
    for (int d = 21; d <= 26; ++d)
        addCar({.nmbr = d, .carType = 2, .txt = QString::number(d), .driver = QStringLiteral("Pilot %1").arg(d)});
    addCar({.nmbr = 99, .carType = 3, .txt = "Top Bonus", .driver = "Top Bonus"});
    const char* names[] = {"Alpha", "Bravo & Co", "Charlie", "Delta", "Echo", "Foxtrot"};
    for (int t = 0; t < 6; ++t)
        addTeam({.nmbr = 501 + t,
                 .name = QString::fromLatin1(names[t]),
                 .owner = QStringLiteral("Owner %1").arg(t),
                 .email = QStringLiteral("t%1@example.invalid").arg(t),
                 .phone = QStringLiteral("555-%1").arg(t)});
    SeasonBuilder::league({.nmbr = 1, .scoringType = 600}, {501, 502, 503, 504});
    SeasonBuilder::league({.nmbr = 2, .scoringType = 601}, {503, 505, 506});
    SeasonBuilder::league({.nmbr = 3, .scoringType = 600, .carType = 2}, {501, 502, 505});
    SeasonBuilder::league({.nmbr = 4, .scoringType = 600, .carType = 2}, {504, 506});
    for (int team : {501, 502})
        SeasonBuilder::hold(team, {1, 2, 21, 22});
    SeasonBuilder::hold(503, {3, 4, 23});
    addHolding({.team = 504, .car = 5, .to = "2024-03-10"});
    SeasonBuilder::hold(504, {6, 24}, "2024-03-10");
    addHolding({.team = 505, .car = 7, .to = "2024-03-05"});
    SeasonBuilder::hold(505, {7}, "2024-03-12"); // dropped, and picked again after the second race
    SeasonBuilder::hold(505, {25});
    SeasonBuilder::hold(506, {8, 26});
    const auto results = [](int first, int count) {
        std::vector<ResultRow> rows;
        for (int i = 0; i < count; ++i)
            rows.push_back({.car = first + i,
                            .place = (i * 5) % count + 1,
                            .qualified = i + 1,
                            .fastQual = i == 0 ? 1 : 0,
                            .lapsLed = 10 * (i % 3)});
        return rows;
    };
    const struct {
        int nmbr, carType, status;
        const char* date;
    } races[] = {{1, 1, 2, "2024-03-01"}, {2, 2, 1, "2024-03-08"}, {3, 1, 2, "2024-03-15"}, {4, 1, 2, "2024-03-22"}};
    for (const auto& r : races) {
        addRace({.nmbr = r.nmbr,
                 .name = QStringLiteral("Race %1").arg(r.nmbr),
                 .track = "T",
                 .date = r.date,
                 .carType = r.carType,
                 .status = r.status});
        for (ResultRow row : r.carType == 1 ? results(1, 8) : results(21, 6)) {
            row.race = r.nmbr;
            addResult(row);
        }
    }
    for (int race : {1, 2, 3})
        SeasonBuilder::post(race);
    // Every column of every report, and the footer.
    TestDataFile::exec("DELETE FROM report_columns");
    TestDataFile::exec("INSERT INTO report_columns (report_nmbr, column_nmbr, column_order) "
                       "SELECT report_nmbr, column_nmbr, column_nmbr FROM available_report_columns");
    for (const char* code : {"RD", "LS", "TC", "LR", "TD", "RS", "TR", "CD", "RR", "DS", "TT", "CP", "DT"})
        setReportAttribute(code, AttrIncludeFooter, 1);
}

} // namespace

TEST(ReportPipeline, RunWritesThePageAndRestoresStatusAndPointer) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("DELETE FROM report_attributes"); // every attribute at its default
    QStringList opened;
    setDocumentOpener([&](const QString& path) {
        opened << path;
        return true;
    });
    int pointerInside = -1;
    const QString name = runReport("RS", [&](ReportPage& page) {
        pointerInside = mousePointer();
        return writeSmallPage(page, true);
    });
    setDocumentOpener({});
    EXPECT_EQ(name, "rs00070003.html");
    EXPECT_EQ(pointerInside, PointerHourglass);
    EXPECT_EQ(mousePointer(), PointerDefault);
    EXPECT_EQ(data.ui().statusTexts, (QStringList{"Creating League Race Standings Report", "Status"}));
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].endsWith("/rs00070003.html"));
    EXPECT_FALSE(isReportFileOpen(getReportFileHandle("RS")));

    const QStringList lines = pageLines(name);
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines.mid(0, 4), (QStringList{"<html>", "<head>", "<title>Small Report</title>", "</head>"}));
    // The data value is escaped; the heading comes from the report's own table.
    EXPECT_TRUE(lines.contains("<TD colspan=1  align = 'left'><FONT size = '0' color = ''>A&amp;B </FONT></TD>"));
    EXPECT_TRUE(lines.contains("<TH nowrap colspan=1 align = 'center'><FONT size = '0' color = ''>Team </FONT></TH>"));
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{"</body>", "</html>"}));
}

TEST(ReportPipeline, RunTimeErrorsEndTheRunWithTheFileNameAndCloseTheFile) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    // No chosen columns: the heading row cannot be written.
    TestDataFile::exec(
        "DELETE FROM report_columns WHERE report_nmbr = (SELECT report_nmbr FROM report WHERE report_id = 'RS')");
    const QString name = runReport("RS", [](ReportPage& page) { return writeSmallPage(page, true); });
    EXPECT_EQ(name, "");
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Error generating report rs00070003.html");
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
    EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(data.ui().pointerDuringBoxes[0], PointerDefault);
    EXPECT_EQ(mousePointer(), PointerDefault);
    EXPECT_EQ(data.ui().statusTexts.last(), "Status");
    EXPECT_FALSE(isReportFileOpen(getReportFileHandle("RS")));
    // Half a page is never left to be published: there was no page, and there is none.
    EXPECT_FALSE(QFile::exists(reportFilePath("rs00070003.html")));

    // A size attribute that is not a number is a run-time error too, before any file is named.
    data.ui().clear();
    const QString noName =
        runReport("RS", [](ReportPage&) -> QString { return QString::number(ReportPage::number("big")); });
    EXPECT_EQ(noName, "");
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Error generating report ");
}

TEST(ReportPipeline, AFailedRunLeavesThePreviousPageAsItWas) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const QString name = runReport("RS", [](ReportPage& page) { return writeSmallPage(page, false); });
    ASSERT_EQ(name, "rs00070003.html");
    QFile page(reportFilePath(name));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray before = page.readAll();
    page.close();

    // A 32-bit overflow part way through the page.
    EXPECT_EQ(runReport("RS",
                        [](ReportPage& p) {
                            p.open(7, 3);
                            p.writeHead(QStringLiteral("Small Report"));
                            qint32 sum = 2147483000;
                            addToSum(sum, 1000);
                            return p.finish(false);
                        }),
              "");
    EXPECT_EQ(data.ui().lastBoxText(), "Error generating report rs00070003.html");
    // A nested page finished inside a failing run is complete and stays; the failing page does not.
    EXPECT_EQ(runReport("RS",
                        [](ReportPage& p) {
                            p.open(7, 3);
                            p.writeLine("half");
                            runReport("LS", [](ReportPage& inner) {
                                inner.open(7, 3);
                                inner.writeLine("whole");
                                return inner.finish(false);
                            });
                            throw ReportRunError(QStringLiteral("Disk full"));
                            return QString();
                        }),
              "");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_EQ(page.readAll(), before);
    EXPECT_EQ(pageLines("ls00070003.html"), QStringList{"whole"});
    EXPECT_EQ(QDir(reportsDir()).entryList(QDir::Files), (QStringList{"ls00070003.html", "rs00070003.html"}));
}

TEST(ReportPipeline, AFolderThatRefusesAPageEndsTheWholeRunWithOneBox) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    // A full disk refuses the nested page's lines: the page holding it ends there too, and so does every
    // later page of the request, with one box that names the folder.
    bool outerWentOn = false;
    int laterRuns = 0;
    {
        ReportRunScope request;
        EXPECT_EQ(runReport("RS",
                            [&](ReportPage& page) {
                                page.open(7, 3);
                                page.writeLine("before");
                                runReport("LS", [](ReportPage& inner) -> QString {
                                    inner.open(7, 3);
                                    throw ReportFolderError(QStringLiteral("No space left on device"), false);
                                });
                                outerWentOn = true;
                                return page.finish(true);
                            }),
                  "");
        EXPECT_TRUE(ReportRunScope::folderRefused());
        EXPECT_EQ(runReport("RR",
                            [&](ReportPage& page) {
                                ++laterRuns;
                                return writeSmallPage(page, false);
                            }),
                  "");
    }
    EXPECT_FALSE(outerWentOn);
    EXPECT_EQ(laterRuns, 0);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text,
              "Error creating report file - No space left on device\n\n" + QDir::toNativeSeparators(reportsDir()));
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
    EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(mousePointer(), PointerDefault);
    EXPECT_EQ(data.ui().statusTexts.last(), "Status");
    EXPECT_FALSE(isReportFileOpen(getReportFileHandle("RS")));
    EXPECT_FALSE(isReportFileOpen(getReportFileHandle("LS")));
    EXPECT_TRUE(QDir(reportsDir()).entryList(QDir::Files).isEmpty());

    // The next request starts afresh.
    data.ui().clear();
    EXPECT_EQ(runReport("RS", [](ReportPage& page) { return writeSmallPage(page, false); }), "rs00070003.html");
    EXPECT_FALSE(ReportRunScope::folderRefused());
    EXPECT_TRUE(data.ui().boxes.isEmpty());

    // A folder that is a file: the file routines show the one box, the run adds none.
    const QString file = QDir(data.folder()).filePath("Reports.txt");
    QFile taken(file);
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    setReportsDir(file);
    EXPECT_EQ(runReport("RS", [](ReportPage& page) { return writeSmallPage(page, true); }), "");
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text,
              "Error creating report file - Not a directory\n\n" + QDir::toNativeSeparators(file));
}

TEST(ReportPipeline, ARunRemovesLeftoversOfKilledRunsFirst) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const QDir folder(reportsDir());
    ASSERT_TRUE(folder.mkpath("."));
    for (const char* name : {"rs00070003.html.XkQzPw", "ls00010001.html.ab12CD", "keep.txt"}) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_EQ(runReport("RS", [](ReportPage& page) { return writeSmallPage(page, false); }), "rs00070003.html");
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name), (QStringList{"keep.txt", "rs00070003.html"}));
}

TEST(ReportPipeline, UnknownReportCodeTakesTheErrorPath) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const QString name = runReport("ZZ", [](ReportPage& page) { return writeSmallPage(page, false); });
    EXPECT_EQ(name, "");
    ASSERT_FALSE(data.ui().boxes.isEmpty());
    EXPECT_EQ(data.ui().lastBoxText(), "Error generating report zz00070003.html");
    EXPECT_FALSE(isReportFileOpen(0));
}

TEST(ReportPipeline, NestedRunKeepsBothFilesOpenAndClearsTheStatus) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    QString inner;
    const QString outer = runReport("RS", [&](ReportPage& page) {
        page.open(1, 1);
        page.writeLine("before");
        inner = runReport("LS", [](ReportPage& p) {
            p.open(1, 1);
            p.writeLine("inner");
            return p.finish(false);
        });
        EXPECT_EQ(mousePointer(), PointerDefault);
        page.writeLine("after");
        return page.finish(false);
    });
    EXPECT_EQ(inner, "ls00010001.html");
    EXPECT_EQ(outer, "rs00010001.html");
    EXPECT_EQ(pageLines(outer), (QStringList{"before", "after"}));
    EXPECT_EQ(data.ui().statusTexts, (QStringList{"Creating League Race Standings Report",
                                                  "Creating League Stangings Report", "Status", "Status"}));
}

TEST(ReportPipeline, AttributesShapeTitleStatusAndRows) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("DELETE FROM report_attributes");
    // RS: title size 0 (raised to 1 on every title line), odd rows size 2, even rows size 4, footer on.
    setReportAttribute("RS", AttrOddRowTextSize, 2);
    setReportAttribute("RS", AttrEvenRowTextSize, 4);
    setReportAttribute("RS", AttrIncludeFooter, 1);
    const QString name = runReport("RS", [](ReportPage& page) {
        page.open(2, 2);
        EXPECT_EQ(page.rowStyle(1).size, 2);
        EXPECT_EQ(page.rowStyle(2).size, 4);
        EXPECT_EQ(page.rowStyle(3).size, 2);
        page.writeRaceStatus(2);
        page.writeLine("--");
        page.writeRaceStatus(3, false);
        page.writeLine("--");
        page.writeRaceStatus(1);
        page.writeRaceStatus(3);
        page.writeFooter();
        return page.finish(false);
    });
    const QStringList lines = pageLines(name);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines.mid(0, 6),
              (QStringList{"--", "--", "<br>", "<P align = 'center'><FONT size = '1' color = ''>Unofficial </FONT></P>",
                           "<br>", "<P align = 'center'><FONT size = '1' color = ''>Qualifying </FONT></P>"}));
    EXPECT_TRUE(lines[6].startsWith("<P align = 'Center'><FONT size = '4' color = ''>Created "));
    EXPECT_TRUE(lines[6].endsWith("<BR>Powered By <A href=https://www.quorvanti.example>Quorvanti</a> </FONT></P>"));
}

// The status a race window offers is the one its pages print: every shipped status that has a line
// under the title is named as that line, and the status of a new race has none.
TEST(ReportPipeline, ShippedRaceStatusesAreNamedAsThePagesPrintThem) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("DELETE FROM report_attributes"); // title size 1, no colour
    const QVariant newRace = cRaces().raceStatusNmbr();
    cRaceStatusCollection statuses;
    ASSERT_EQ(statuses.load(), 6);
    QStringList lined;
    for (const cRaceStatus& status : statuses) {
        const QString name = runReport("RS", [&](ReportPage& page) {
            page.open(9, status.raceStatusNmbr());
            page.writeRaceStatus(status.raceStatusNmbr());
            return page.finish(false);
        });
        const QStringList lines = pageLines(name);
        if (lines.isEmpty())
            continue;
        ASSERT_EQ(lines.size(), 2) << status.raceStatusNmbr();
        EXPECT_EQ(lines[1],
                  "<P align = 'center'><FONT size = '1' color = ''>" + status.raceStatusName() + " </FONT></P>");
        lined << status.raceStatusName();
    }
    EXPECT_EQ(lined, (QStringList{"Unofficial", "Qualifying"}));
    EXPECT_EQ(statuses.getraceStatusName(newRace.toInt()), "Scheduled");
    EXPECT_FALSE(lined.contains(statuses.getraceStatusName(newRace.toInt())));
}

TEST(ReportPipeline, CellTextsAndSums) {
    EXPECT_EQ(cellMoney(1234.5), "$1,234.50");
    EXPECT_EQ(cellMoney(-12.345), "($12.35)");
    EXPECT_EQ(cellMoney(QVariant()), "$0.00");
    EXPECT_EQ(cellDate(QStringLiteral("2002-03-07")), "3/7/2002");
    EXPECT_EQ(cellDate(QVariant()), "");
    EXPECT_EQ(dateKey(QStringLiteral("2002-03-07 18:30:00")), "2002-03-07");
    EXPECT_EQ(cellText(QVariant()), "");
    EXPECT_EQ(cellText(QStringLiteral("<b>")), "&lt;b&gt;");

    qint32 sum = 0;
    addToSum(sum, 2.5); // halves to the even number
    EXPECT_EQ(sum, 2);
    addToSum(sum, 1.5);
    EXPECT_EQ(sum, 4);
    addToSum(sum, -7);
    EXPECT_EQ(sum, -3);
    qint32 big = 2147483000;
    EXPECT_THROW(addToSum(big, 1000), ReportRunError);

    EXPECT_EQ(footerText(QDateTime(QDate(2002, 3, 7), QTime(0, 0))),
              "Created 3/7/2002<BR>Powered By <A href=https://www.quorvanti.example>Quorvanti</a>");
    EXPECT_EQ(footerText(QDateTime(QDate(2002, 3, 7), QTime(14, 5, 9))).mid(8, 19), "3/7/2002 2:05:09 PM");
}

TEST(ReportPipeline, DatesInTheUsersForm) {
    ScopedLocale gb(ScopedLocale::british());
    EXPECT_EQ(cellDate(QStringLiteral("2002-03-07")), "07/03/2002");
    EXPECT_EQ(footerText(QDateTime(QDate(2002, 3, 7), QTime(0, 0))).left(18), "Created 07/03/2002");
    // Sorting keys stay ISO whatever is shown.
    EXPECT_EQ(dateKey(QStringLiteral("2002-03-07")), "2002-03-07");
}

TEST(ReportPipeline, MoneyAndTimeInTheUsersFormAsTheWindowsShowThem) {
    {
        ScopedLocale de(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(cellMoney(99999999.0), QString::fromUtf8("99.999.999,00\u00a0\u20ac"));
        EXPECT_EQ(cellMoney(-12.345), QString::fromUtf8("-12,35\u00a0\u20ac"));
        EXPECT_EQ(cellMoney(-12.345), moneyText(Currency::fromDouble(-12.345)));
        EXPECT_EQ(footerText(QDateTime(QDate(2002, 3, 7), QTime(14, 5, 9))).mid(8, 19), "07.03.2002 14:05:09");
        // The time of day carries no time zone, which the reader's clock need not share.
        EXPECT_EQ(dateTimeText(QDateTime(QDate(2002, 3, 7), QTime(14, 5, 9))), "07.03.2002 14:05:09");
    }
    // The home form is the one the pages always had; a half cent rounds away from zero.
    EXPECT_EQ(cellMoney(99999999.0), "$99,999,999.00");
    EXPECT_EQ(cellMoney(0.005), "$0.01");
    EXPECT_EQ(cellMoney(-0.005), "($0.01)");
    EXPECT_EQ(dateTimeText(QDateTime(QDate(2002, 3, 7), QTime(9, 0, 0))), "3/7/2002 9:00:00 AM");
}

// Every page a report package writes, and every page of a request for separate team pages, is byte for
// byte the page its own entry writes alone: a page reads what it shows one way, wherever it stands in
// a request. And every team with results in a posted race is on that race's pages.
TEST(ReportPipeline, EveryPageOfAPackageOrOfSeparateTeamPagesIsThePageItsEntryWritesAlone) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    setClock(QDateTime(QDate(2024, 4, 2), QTime(13, 14, 15))); // the footers carry the time
    writeFourLeagueSeason();
    const QDir root(data.folder());
    const QString alone = root.filePath("alone");
    int compared = 0;
    const auto compareWithAlone = [&](const QString& folder, const QString& request) {
        for (const QString& name : QDir(folder).entryList({"*.html"}, QDir::Files)) {
            if (name.startsWith("rp") || name == "blank.html" || name.endsWith("nav.html"))
                continue; // the package's own pages
            setReportsDir(alone);
            EXPECT_EQ(writePageAlone(name), name) << qPrintable(request);
            EXPECT_EQ(pageBytes(alone, name), pageBytes(folder, name))
                << qPrintable(request) << ": " << qPrintable(name);
            ++compared;
        }
    };
    const auto teamsOnRacePages = [&](const QString& folder, int league, int race) {
        IDatabase teams;
        ASSERT_TRUE(
            teams.OpenResultSet("SELECT DISTINCT F.team_name FROM team_results A, team_results_summary C, "
                                "teams F WHERE A.league_nmbr = ?1 AND A.race_nmbr = ?2 AND C.league_nmbr = ?1 "
                                "AND C.race_nmbr = ?2 AND C.team_nmbr = A.team_nmbr AND F.team_nmbr = A.team_nmbr",
                                {league, race}));
        for (; !teams.isEOF(); teams.MoveNext())
            for (const QString& page : {makeReportFileName("RD", league, race), makeReportFileName("RS", league, race),
                                        makeReportFileName("LS", league, race), makeReportFileName("LR", league)})
                EXPECT_TRUE(pageBytes(folder, page).contains(htmlText(teams.fields.toText("team_name")).toUtf8()))
                    << qPrintable(page) << " leaves out " << qPrintable(teams.fields.toText("team_name"));
    };
    for (int league : kLeagues)
        for (int race : kRaces) {
            const QString package = root.filePath(QStringLiteral("package %1 %2").arg(league).arg(race));
            setReportsDir(package);
            ASSERT_FALSE(createReportPackage(league, race, false).isEmpty());
            compareWithAlone(package, package);
            teamsOnRacePages(package, league, race);
            const QString separate = root.filePath(QStringLiteral("separate %1 %2").arg(league).arg(race));
            setReportsDir(separate);
            createTeamDetailReport(league, 0, race, false, false, true);
            createTeamTradesReport(league, 0, race, false, false, true);
            createTeamCarsReport(league, 0, false, false, true, race);
            compareWithAlone(separate, separate);
        }
    EXPECT_GT(compared, 300);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    setClock(QDateTime());
}
