#include "reports/generators/ReportPackageReport.h"

#include "reports/generators/CarPickReport.h"
#include "reports/generators/CarsDetailReport.h"
#include "reports/generators/DriverStatsReport.h"
#include "reports/generators/LeagueRaceStandingsReport.h"
#include "reports/generators/LeagueRaceSummary.h"
#include "reports/generators/LeagueStandingsReport.h"
#include "reports/generators/RaceDetailReport.h"
#include "reports/generators/RaceResultsReport.h"
#include "reports/generators/ReportPipeline.h"
#include "reports/generators/TeamCarsReport.h"
#include "reports/generators/TeamDetailReport.h"
#include "reports/generators/TeamTradesReport.h"
#include "reports/generators/TeamsperCarDriverReport.h"

#include <functional>

namespace {

const QString kCode = QStringLiteral("RP");

struct LinkedReport {
    int column;
    const char* label;
    std::function<QString(int leagueNmbr, int raceNmbr)> run;
};

// The reports a package can hold, by their package column. Every one is run without showing it.
const std::vector<LinkedReport>& linkedReports() {
    // The team reports are run for all teams of the league on one page (team number -1); the team
    // cars page lists every holding, without a race.
    static const std::vector<LinkedReport> reports = {
        {ColPkgRaceDetail, "Race Detail",
         [](int league, int race) { return createRaceDetailReport(league, race, false); }},
        {ColPkgLeagueRaceSummary, "League Race Summary",
         [](int league, int) { return createLeagueRaceSummary(league, false); }},
        {ColPkgLeagueRaceStandings, "League Race Standings",
         [](int league, int race) { return createLeagueRaceStandings(league, race, false); }},
        {ColPkgLeagueStandings, "League Standings",
         [](int league, int race) { return createLeagueStandingsReport(league, race, false); }},
        {ColPkgTeamDetail, "Team Detail",
         [](int league, int race) { return createTeamDetailReport(league, -1, race, false, true, false); }},
        {ColPkgTeamCars, "Team Cars",
         [](int league, int) { return createTeamCarsReport(league, -1, false, true, false); }},
        {ColPkgCarDetails, "Car Details", [](int league, int) { return createCarsDetailReport(league, false); }},
        {ColPkgRaceResults, "Race Results", [](int, int race) { return createRaceResultsReport(race, false); }},
        {ColPkgDriverStats, "Car/Driver Stats", [](int league, int) { return createDriverStatsReport(league, false); }},
        {ColPkgTeamTrades, "Team Trades",
         [](int league, int race) { return createTeamTradesReport(league, -1, race, false, true, false); }},
        {ColPkgCarPicks, "Car/Driver Picks", [](int league, int) { return createCarPickReport(league, false); }},
        {ColPkgTeamsPerCar, "Teams per Car/Driver",
         [](int league, int race) { return createTeamsperCarDriverReport(league, false, race); }},
    };
    return reports;
}

QString makeBlankFileName() {
    return QStringLiteral("blank.html");
}
QString makeNavFileName(int leagueNmbr) {
    return QString::number(leagueNmbr) + QStringLiteral("nav.html");
}

// The package's pages after the frameset are written on the same file number under names of their own.
void openPackageFile(ReportPage& page, const QString& fileName) {
    closeReportFile(page.fileNumber());
    if (!openReportFile(page.fileNumber(), fileName))
        throw ReportFolderError(QStringLiteral("Bad file name or number"), true);
}

void writeFramesetPage(ReportPage& page, int leagueNmbr) {
    const QString border =
        ReportPage::number(page.attributes().borderSize(kCode)) > 0 ? QStringLiteral("yes") : QStringLiteral("no");
    page.writeLine(QStringLiteral("<html>"));
    page.writeLine(QStringLiteral("<head>"));
    page.writeLine(QStringLiteral("<title>Report Package</title>"));
    page.writeLine(QStringLiteral("</head>"));
    page.writeLine(QStringLiteral("<frameset cols=200,* frameborder=") + border + QLatin1Char('>'));
    page.writeLine(QStringLiteral("<frame frameborder=") + border + QStringLiteral(" name=navigation src=") +
                   makeNavFileName(leagueNmbr) + QLatin1Char('>'));
    page.writeLine(QStringLiteral("<frame frameborder=") + border + QStringLiteral(" name=main src=") +
                   makeBlankFileName() + QLatin1Char('>'));
    page.writeLine(QStringLiteral("<noframes>"));
    page.writeLine(QStringLiteral("<body>"));
    page.writeLine(QStringLiteral("<p>This page uses frames, but your browser doesn't support them.</p>"));
    page.writeLine(QStringLiteral("</body>"));
    page.writeLine(QStringLiteral("</noframes>"));
    page.writeLine(QStringLiteral("</frameset>"));
    page.writeLine(QStringLiteral("</html>"));
}

void writeBlankPage(ReportPage& page) {
    page.writeHead(QString());
    page.writeHeaderImage();
    page.writeEnd();
}

void writeNavPage(ReportPage& page, int leagueNmbr, int raceNmbr) {
    page.writeHead(QString());
    if (page.columns().isEmpty())
        throw ReportRunError(QStringLiteral("No current record"));
    for (int column : page.columns())
        for (const LinkedReport& report : linkedReports())
            if (report.column == column) {
                // A report that wrote nothing keeps its entry, without a link to a page that is not there.
                const QString fileName = report.run(leagueNmbr, raceNmbr);
                if (fileName.isEmpty())
                    page.writeLine(QStringLiteral("<br>") + QLatin1String(report.label));
                else
                    page.writeLine(QStringLiteral("<br><a href=") + fileName + QStringLiteral(" target=main>") +
                                   QLatin1String(report.label) + QStringLiteral("</a>"));
            }
    page.writeEnd();
}

} // namespace

QString createReportPackage(int leagueNmbr, int raceNmbr, bool show) {
    return runReport(kCode, [&](ReportPage& page) {
        page.open(leagueNmbr);
        writeFramesetPage(page, leagueNmbr);
        openPackageFile(page, makeBlankFileName());
        writeBlankPage(page);
        openPackageFile(page, makeNavFileName(leagueNmbr));
        writeNavPage(page, leagueNmbr, raceNmbr);
        // The frameset page's name is the package's, whichever of its files was written last.
        closeReportFile(page.fileNumber());
        if (show)
            openReportInBrowser(page.fileName());
        return page.fileName();
    });
}
