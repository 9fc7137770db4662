#pragma once

// Set-up shared by the list window tests: rows put straight into the data file, and the
// program's own message boxes answered as a person answers them.

#include "TestDataFile.h"
#include "adapters/QtUiServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

inline void putCar(int nmbr, int raceType, int carType, const QString& carTxt, const QString& driver,
                   const QString& salary = QStringLiteral("0"), const QString& group = QStringLiteral("NULL")) {
    TestDataFile::exec(QStringLiteral("INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt, driver_name,"
                                      " sponsor, car_make, car_owner, group_nmbr, salary)"
                                      " VALUES (%1, %2, %3, '%4', '%5', 'Acme', 'Make', 'Owner', %6, %7)")
                           .arg(nmbr)
                           .arg(raceType)
                           .arg(carType)
                           .arg(carTxt, driver, group, salary));
}

inline void putRace(int nmbr, const QString& name, const QString& isoDate, int raceType = 1, int carType = 1) {
    TestDataFile::exec(
        QStringLiteral("INSERT INTO races (race_nmbr, race_name, track_name, race_dt, race_type_nmbr,"
                       " car_type_nmbr, race_status_nmbr) VALUES (%1, '%2', 'Track %1', '%3', %4, %5, 1)")
            .arg(nmbr)
            .arg(name, isoDate)
            .arg(raceType)
            .arg(carType));
}

inline void putResult(int raceNmbr, int carNmbr, int place) {
    TestDataFile::exec(QStringLiteral("INSERT INTO results (race_nmbr, car_nmbr, place, qualified, laps_led,"
                                      " adjustment, fast_qual) VALUES (%1, %2, %3, 1, 0, 0, 0)")
                           .arg(raceNmbr)
                           .arg(carNmbr)
                           .arg(place));
}

inline void putLeague(int nmbr, const QString& name, int scoringType = 1, const QString& cap = QStringLiteral("0")) {
    TestDataFile::exec(
        QStringLiteral("INSERT INTO leagues (league_nmbr, league_name, league_short_name, race_type_nmbr,"
                       " scoring_option_nmbr, scoring_type_nmbr, salary_cap, drop_lowest, car_type_nmbr)"
                       " VALUES (%1, '%2', 'L%1', 1, 1, %3, %4, 0, 1)")
            .arg(nmbr)
            .arg(name)
            .arg(scoringType)
            .arg(cap));
}

inline void putTeam(int nmbr, const QString& name, const QString& owner = QStringLiteral("Owner")) {
    TestDataFile::exec(
        QStringLiteral("INSERT INTO teams (team_nmbr, team_name, team_owner, race_type_nmbr, car_type_nmbr)"
                       " VALUES (%1, '%2', '%3', 1, 1)")
            .arg(nmbr)
            .arg(name, owner));
}

inline void putMembership(int leagueNmbr, int teamNmbr) {
    TestDataFile::exec(QStringLiteral("INSERT INTO league_teams (league_nmbr, team_nmbr) VALUES (%1, %2)")
                           .arg(leagueNmbr)
                           .arg(teamNmbr));
}

// A holding from the effective date; an empty termDate leaves it current.
inline void putHolding(int teamNmbr, int carNmbr, const QString& efctvDate, const QString& termDate = QString()) {
    TestDataFile::exec(
        QStringLiteral("INSERT INTO team_car (team_nmbr, car_nmbr, efctv_dt, term_dt) VALUES (%1, %2, '%3', %4)")
            .arg(teamNmbr)
            .arg(carNmbr)
            .arg(efctvDate,
                 termDate.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + termDate + QLatin1Char('\'')));
}

inline void putSummary(int raceNmbr, int teamNmbr, int leagueNmbr) {
    TestDataFile::exec(
        QStringLiteral("INSERT INTO team_results_summary (race_nmbr, team_nmbr, league_nmbr, points, team_place)"
                       " VALUES (%1, %2, %3, 40, 1)")
            .arg(raceNmbr)
            .arg(teamNmbr)
            .arg(leagueNmbr));
}

// While it lives the program shows its real message boxes, each with its own event loop. Every box
// that comes up is recorded and answered with the next of the buttons given, after whileOpen has
// run with the first box on screen (a change stored meanwhile, say); a box beyond the answers is
// closed as Escape closes it, so that a box nobody expected is counted rather than left waiting.
class RealBoxes : public QObject {
public:
    RealBoxes(UiServices& after, QList<QMessageBox::StandardButton> answers, std::function<void()> whileOpen = {})
        : m_after(after), m_answers(std::move(answers)), m_whileOpen(std::move(whileOpen)) {
        setUi(&m_screen);
        connect(&m_poll, &QTimer::timeout, this, &RealBoxes::poll);
        m_poll.start(10);
    }
    ~RealBoxes() override { setUi(&m_after); }

    QStringList texts;

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == m_answered)
            return;
        m_answered = box;
        texts << box->text();
        if (m_whileOpen)
            std::exchange(m_whileOpen, nullptr)();
        QAbstractButton* button = m_answers.isEmpty() ? box->escapeButton() : box->button(m_answers.takeFirst());
        if (button)
            button->click();
        else
            box->done(0);
    }

    UiServices& m_after;
    QtUiServices m_screen;
    QList<QMessageBox::StandardButton> m_answers;
    std::function<void()> m_whileOpen;
    QTimer m_poll;
    QPointer<QMessageBox> m_answered;
};
