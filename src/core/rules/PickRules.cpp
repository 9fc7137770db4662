#include "rules/PickRules.h"

#include "data/cCar.h"
#include "data/cLeague.h"
#include "data/cTeamCar.h"
#include "posting/cRacesCollection.h"
#include "posting/cTeamResultsCollection.h"

namespace {
// Dates are compared in this form throughout the holdings rules.
QString sortableDate(const QDate& d) {
    return d.isValid() ? d.toString(QStringLiteral("yyyy/MM/dd")) : QString();
}
} // namespace

bool pickCountsInSalary(const cTeamCar& pick, const QDate& today) {
    return !pick.termDt().isValid() || sortableDate(pick.termDt()) > sortableDate(today);
}

Currency availableSalary(const cLeague& league, Currency teamSalary) {
    return league.salaryCap() == Currency() ? Currency() : league.salaryCap() - teamSalary;
}

QString carDisplay(const cCar& car) {
    return car.carTypeNmbr() == cCar::DriverType ? car.driverName() : car.carTxt();
}

QString efctvDtRefusal(int raceTypeNmbr, const QDate& efctvDt) {
    cRacesCollection races;
    races.loadMostCurrentRaceWithPostedResults(raceTypeNmbr);
    for (const cRaces& race : races)
        if (sortableDate(race.raceDate()) >= sortableDate(efctvDt))
            return QStringLiteral("Results have been posted for races after this date.") + QLatin1Char('\n') +
                   QStringLiteral("This Car/Driver must be made effective after ") + shortDate(race.raceDate()) +
                   QLatin1Char('.');
    return QString();
}

QString termDtRefusal(int teamNmbr, int carNmbr, const QDate& termDt, const QDate& efctvDt) {
    cTeamResultsCollection results;
    if (results.resultsForCarExistsAfterDate(teamNmbr, carNmbr, termDt))
        return QStringLiteral("Car has been scored for this Team beyond this date.") + QLatin1Char('\n') +
               QStringLiteral("Termination date must be set beyond latest scored race.");
    if (sortableDate(termDt) <= sortableDate(efctvDt))
        return QStringLiteral("Termination Date must be greater then Effective Date");
    return QString();
}

bool holdingsOverlap(const QDate& efctvA, const QDate& termA, const QDate& efctvB, const QDate& termB) {
    const auto endsAfter = [](const QDate& term, const QDate& day) {
        return !term.isValid() || sortableDate(term) > sortableDate(day);
    };
    return endsAfter(termA, efctvB) && endsAfter(termB, efctvA);
}

QString holdingOverlapRefusal(int teamNmbr, int carNmbr, const QDate& efctvDt, const QDate& termDt,
                              const QDate& ownStoredEfctvDt) {
    cTeamCarCollection held;
    held.load(teamNmbr);
    for (const cTeamCar& row : held) {
        if (row.carNmbr() != carNmbr)
            continue;
        if (ownStoredEfctvDt.isValid() && row.efctvDt() == ownStoredEfctvDt)
            continue;
        if (holdingsOverlap(efctvDt, termDt, row.efctvDt(), row.termDt()))
            return QStringLiteral("This Car/Driver is already held by this Team for these dates.");
    }
    return QString();
}

QString groupLimitRefusal(const QString& groupName) {
    return QStringLiteral("Adding this Car/Driver will exceed the number of Cars/Drivers for Group ") + groupName +
           QLatin1Char('.');
}
