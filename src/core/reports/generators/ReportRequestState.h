#pragma once

#include "data/IDatabase.h"
#include "data/SqlText.h"
#include "reports/framework/cReportAttributes.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QPair>
#include <QSet>
#include <QString>
#include <QVariant>
#include <map>
#include <memory>
#include <optional>
#include <vector>

// One team result of a league in a race (team_results): its team and car, and its values as stored.
struct TeamResult {
    int teamNmbr = 0;
    int carNmbr = 0;
    QVariant place;
    QVariant lapsLedBonus;
    QVariant mostLapsLedBonus;
    QVariant fastQualBonus;
    QVariant points;
    QVariant totalPoints;
    QVariant currentStatus;
    QVariant qualPoints;
    QVariant adjustment;
};

// A car or driver on file, as the race pages show it.
struct CarOnFile {
    QString carTxt, driverName, sponsor;
    QVariant carTypeNmbr;
};

// A team's holding of a car: its start and stop dates as stored.
struct Holding {
    QVariant efctvDt, termDt;
};

// A team's and car's sums of the four bonuses over a season, as the engine sums them.
struct BonusSums {
    QVariant fastQual, lapsLed, mostLapsLed, qual;
};

// A team's line in a league's standings.
struct StandingsLine {
    int teamNmbr = 0;
    QString teamName, teamOwner;
    qint64 points = 0;
};

using TeamAndCar = QPair<int, int>;

// Thrown when a reading of a page failed: the engine's box has been shown, and the page that asked is
// not written.
struct ReportReadingFailed {};

// The rows of one query, read whole, their values taken by the query's column numbers.
class QueryRows {
public:
    // Throws ReportReadingFailed when the engine refuses the query.
    explicit QueryRows(const QString& sql, const QVariantList& params = {});
    qsizetype count() const { return m_db.storedRows().rowCount(); }
    QVariant value(qsizetype row, int column) const;
    // The value as text: a number as its digits, NULL as a null text.
    QString text(qsizetype row, int column) const { return value(row, column).toString(); }

private:
    IDatabase m_db;
};

// What one request of the user reads once for all of its pages. Nothing a request does changes the
// data, so what one page read holds for every other page of the request, in whatever order they are
// written; the next request reads anew. Each page kind reads what it shows through these, alone or
// within a request, so a page is the same whichever request writes it.
class ReportRequestState {
public:
    // The request in progress: the one of the outermost ReportRunScope (every report run has one).
    static ReportRequestState& current();
    static bool inProgress();

    // The pages put in place. A page's name stands for the numbers its content depends on, so a page
    // that other pages link to is written once however many pages link to it.
    bool hasWritten(const QString& fileName) const { return m_written.contains(fileName); }
    void noteWritten(const QString& fileName) { m_written.insert(fileName); }

    // A report's fixed file number, chosen columns (in their order) and attributes, by its code.
    int fileNumber(const QString& code);
    const QList<int>& columns(const QString& code);
    cReportAttributesCollection& attributes(const QString& code);

    // The league's team results in the race, by team and then in the order they were stored; results
    // whose team or car number is no whole number belong to no team and are left out.
    const std::vector<TeamResult>& raceResults(int leagueNmbr, int raceNmbr);
    // Every car and driver on file, by number.
    const QHash<int, CarOnFile>& carsOnFile();
    // Each team's latest holding (the latest start) of each car it holds or held, for the teams with a
    // line in any of the league's standings.
    const QHash<TeamAndCar, Holding>& latestHoldings(int leagueNmbr);
    // The teams' season points as of the race: each team's line in the league's standings after it
    // (a team without one is not there).
    const QHash<int, qint64>& seasonPoints(int leagueNmbr, int raceNmbr);
    // One team's season points as of the race, its line read alone: a team's page of its own need not
    // sum every team's.
    qint64 teamSeasonPoints(int leagueNmbr, int raceNmbr, int teamNmbr);
    // The league's standings after the race, or (previous) before it: a line for each team with lines of
    // the league's race type in the races counted, most points first where more is better (highScore),
    // fewest first otherwise, teams of equal points by number.
    std::vector<StandingsLine> standings(int leagueNmbr, int raceNmbr, bool highScore, bool previous = false);
    // Each team's and car's bonus sums over the league's races of its race type up to the race.
    const QHash<TeamAndCar, BonusSums>& seasonBonuses(int leagueNmbr, int raceNmbr);

    // A date and an amount in the user's forms, which stay as they are while a request runs: a page
    // shows the same few on many rows, and formatting each anew cost the team cars and teams per
    // car/driver pages a third of their time (bench/reports).
    const QString& dateText(const QDate& date);
    const QString& moneyText(Currency amount);

private:
    // The outermost ReportRunScope begins and ends the request.
    friend class ReportRunScope;
    ReportRequestState() = default;
    static void begin();
    static void end();

    struct Setup {
        std::optional<int> fileNumber;
        std::optional<QList<int>> columns;
        std::unique_ptr<cReportAttributesCollection> attributes;
    };
    Setup& setup(const QString& code) { return m_setups[code]; }
    // Each team's points in each of the league's races its standings count, by race and then team.
    const QHash<int, QHash<int, qint64>>& pointsByRace(int leagueNmbr);
    // Each team's points summed over the league's races that pass the test of the races table.
    QHash<int, qint64> pointsOver(int leagueNmbr, const QString& racesTest);

    QSet<QString> m_written;
    std::map<QString, Setup> m_setups;
    QHash<QPair<int, int>, std::vector<TeamResult>> m_raceResults;
    std::optional<QHash<int, CarOnFile>> m_cars;
    QHash<int, QHash<TeamAndCar, Holding>> m_holdings;
    QHash<int, QHash<int, QHash<int, qint64>>> m_pointsByRace;
    QHash<QPair<int, int>, QHash<int, qint64>> m_seasonPoints;
    QHash<int, QHash<int, std::pair<QString, QString>>> m_teamNames; // name and owner by team, by league
    QHash<QPair<int, int>, QHash<TeamAndCar, BonusSums>> m_seasonBonuses;
    QHash<qint64, QString> m_dateTexts, m_moneyTexts;
};
