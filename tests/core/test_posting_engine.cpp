// Posting all leagues of a race at once against the league-by-league chain: every posting of a
// season built to tell them apart is done both ways from the same state, and the rows written
// (with their row ids), the bonus-entry holdings, the progress count and the boxes must be the same.
//
// Race type 1. Cars 1..12 (type 1), drivers 21..26 (type 2), bonus entry 99.
// Methods: 600 more is better, with bonuses, qualifying points and two top-finish rules that a
// team can meet at once (plus a rule paying nothing); 601 fewer is better.
// Leagues: 700 (option 1, cars); 701 (option 2, drop 2, cars; Alpha is in 700 too; Echo holds
// car 3 twice; Foxtrot holds car 6 inactive); 702 (option 2, drop 1, fewer is better; bravo is in
// 700 as well); 703 (drivers); 704 (no teams). Two teams are named "Bravo" and "bravo".
// Races: 1 (3/1 cars), 2 (3/8 drivers), 3 and 4 (both 3/15, cars), 5 (3/22, no results),
// 6 (3/29 cars). Alpha sells car 1 and buys car 9 on 3/10; Golf sells car 5 and Echo both
// holdings of car 3 on 3/20.

#include "PostingSeason.h"
#include "TestDataFile.h"
#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/cConnection.h"
#include "data/cLeague.h"
#include "posting/RacePostingEngine.h"
#include "posting/Scoring.h"
#include "posting/SqlScript.h"
#include "posting/cRaces.h"
#include "posting/cResultsCollection.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

void exec(const QString& sql) {
    TestDataFile::exec(sql);
}

struct Outcome {
    QStringList rows;
    int steps = 0;
    QStringList boxes;
};

QStringList dump(const QString& sql) {
    SqlRows rows;
    EXPECT_TRUE(gConnection->getConnection()->query(sql, &rows));
    QStringList out;
    for (const auto& r : rows.rows) {
        QStringList values;
        for (const QVariant& v : r)
            values << (v.isNull() ? QStringLiteral("NULL") : v.toString());
        out << values.join(QLatin1Char(','));
    }
    return out;
}

QStringList everything() {
    return QStringList{"team_results"} + dump("SELECT rowid, * FROM team_results ORDER BY rowid") +
           QStringList{"summary"} + dump("SELECT rowid, * FROM team_results_summary ORDER BY rowid") +
           QStringList{"holdings"} + dump("SELECT rowid, * FROM team_car ORDER BY rowid") + QStringList{"cars"} +
           dump("SELECT rowid, * FROM cars ORDER BY rowid") + QStringList{"head to head"} +
           dump("SELECT rowid, * FROM race_head_head ORDER BY rowid");
}

class PostingEngine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.ok());
        exec("INSERT INTO scoring_type VALUES (600, 'More', 5, 10, 3)");
        const int pts[] = {100, 80, 60, 50, 40, 30, 20, 10, 5, 5};
        for (int p = 1; p <= 10; ++p)
            exec(QStringLiteral("INSERT INTO scoring_points VALUES (600, %1, %2, %3)")
                     .arg(p)
                     .arg(pts[p - 1])
                     .arg(p == 1   ? 7
                          : p == 2 ? 4
                                   : 0));
        exec("INSERT INTO scoring_top_points VALUES (600, 2, 20, 3)");
        exec("INSERT INTO scoring_top_points VALUES (600, 1, 15, 1)");
        exec("INSERT INTO scoring_top_points VALUES (600, 1, 0, 5)");
        exec("INSERT INTO scoring_type VALUES (601, 'Fewer', 0, 0, -1)");
        for (int p = 1; p <= 12; ++p)
            exec(QStringLiteral("INSERT INTO scoring_points VALUES (601, %1, %1, 0)").arg(p));
        for (int c = 1; c <= 12; ++c)
            exec(QStringLiteral("INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt) "
                                "VALUES (%1, 1, 1, 'Car %1')")
                     .arg(c));
        for (int d = 21; d <= 26; ++d)
            exec(QStringLiteral("INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, driver_name) "
                                "VALUES (%1, 1, 2, 'Driver %1')")
                     .arg(d));
        exec("INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt) VALUES (99, 1, 3, 'Top Bonus')");

        const char* names[] = {"Alpha",   "Bravo", "bravo", "Delta", "Echo",
                               "Foxtrot", "Golf",  "Hotel", "India", "Juliet"};
        for (int t = 0; t < 10; ++t)
            exec(QStringLiteral("INSERT INTO teams (team_nmbr, team_name, race_type_nmbr, car_type_nmbr) "
                                "VALUES (%1, '%2', 1, 1)")
                     .arg(801 + t)
                     .arg(QLatin1String(names[t])));
        league(700, 1, 600, 0, 1, {803, 801, 802, 804});
        league(701, 2, 600, 2, 1, {801, 805, 806});
        league(702, 2, 601, 1, 1, {807, 808, 803});
        league(703, 1, 600, 0, 2, {809, 810});
        league(704, 1, 600, 0, 1, {});

        hold(801, 1, "2024-01-01", "2024-03-10");
        hold(801, 9, "2024-03-10");
        hold(801, 2);
        hold(802, 3);
        hold(802, 4);
        hold(803, 5);
        hold(803, 6);
        hold(804, 7);
        hold(804, 12); // never has a result
        hold(805, 3, "2024-01-01", "2024-03-20");
        hold(805, 3, "2024-02-01", "2024-03-20"); // the same car twice, sold at once
        hold(805, 8);
        hold(806, 6, "2024-01-01", {}, 0);
        hold(806, 10);
        hold(807, 5, "2024-01-01", "2024-03-20");
        hold(807, 11);
        hold(808, 1);
        hold(808, 2);
        hold(809, 21);
        hold(809, 22);
        hold(810, 23);
        hold(810, 24);

        race(1, "2024-03-01", 1);
        race(2, "2024-03-08", 2);
        race(3, "2024-03-15", 1);
        race(4, "2024-03-15", 1);
        race(5, "2024-03-22", 1);
        race(6, "2024-03-29", 1);
        // car, place, qualified, fast qualifier, laps led, adjustment
        results(1, {{1, 1, 2, 0, 50, 0},
                    {2, 2, 1, 1, 0, 0},
                    {3, 3, 3, 0, 50, 0},
                    {4, 4, 4, 0, 0, -5},
                    {5, 5, 5, 0, 0, 0},
                    {6, 6, 6, 0, 0, 0},
                    {7, 7, 7, 0, 0, 3},
                    {8, 8, 8, 0, 0, 0},
                    {9, 9, 9, 0, 0, 0},
                    {10, 10, 10, 0, 0, 0},
                    {11, 11, 11, 0, 0, 0}});
        results(2, {{21, 1, 1, 1, 10, 0}, {22, 2, 2, 0, 0, 0}, {23, 3, 3, 0, 0, 0}, {24, 0, 4, 0, 0, 0}});
        results(3, {{2, 1, 3, 0, 0, 0},
                    {9, 2, 1, 1, 0, 0},
                    {3, 3, 2, 0, 0, 0},
                    {4, 4, 4, 0, 0, 0},
                    {6, 5, 5, 0, 30, 0},
                    {5, 6, 6, 0, 30, 0},
                    {1, 7, 7, 0, 0, 0},
                    {8, 0, 8, 0, 0, 0}});
        results(4, {{3, 1, 1, 0, 0, 0},
                    {4, 2, 2, 1, 0, 0},
                    {5, 3, 3, 0, 0, 0},
                    {11, 4, 4, 0, 5, 0},
                    {2, 5, 5, 0, 0, 0},
                    {10, 6, 6, 0, 0, 0}});
        results(6, {{9, 1, 1, 1, 0, 0},
                    {2, 2, 2, 0, 0, 0},
                    {1, 3, 3, 0, 0, 0},
                    {5, 4, 4, 0, 0, 0},
                    {3, 5, 5, 0, 0, 0},
                    {8, 6, 6, 0, 0, 0},
                    {7, 7, 7, 0, 0, 0}});
        data.ui().clear();
    }

    static void league(int n, int option, int method, int drop, int carType, std::initializer_list<int> teams) {
        exec(QStringLiteral("INSERT INTO leagues VALUES (%1, 'League %1', 'L%1', 1, %2, %3, 0, %4, %5)")
                 .arg(n)
                 .arg(option)
                 .arg(method)
                 .arg(drop)
                 .arg(carType));
        for (int t : teams)
            exec(QStringLiteral("INSERT INTO league_teams VALUES (%1, %2)").arg(n).arg(t));
    }
    static void hold(int team, int car, const QString& from = "2024-01-01", const QString& until = {}, int active = 1) {
        exec(QStringLiteral("INSERT INTO team_car VALUES (%1, %2, '%3', %4, 0, 0, %5)")
                 .arg(team)
                 .arg(car)
                 .arg(from)
                 .arg(until.isEmpty() ? QStringLiteral("NULL") : "'" + until + "'")
                 .arg(active));
    }
    static void race(int n, const QString& date, int carType) {
        exec(QStringLiteral("INSERT INTO races VALUES (%1, 'Race %1', 'T', '%2', %3, 1, 2)")
                 .arg(n)
                 .arg(date)
                 .arg(carType));
    }
    static void results(int race, std::initializer_list<std::array<int, 6>> rows) {
        for (const auto& r : rows)
            exec(QStringLiteral("INSERT INTO results VALUES (%1, %2, %3, %4, %5, %6, %7)")
                     .arg(r[0])
                     .arg(race)
                     .arg(r[1])
                     .arg(r[2])
                     .arg(r[3])
                     .arg(r[4])
                     .arg(r[5]));
    }

    // Posts the race all leagues at once and then league by league, each from the state before;
    // the league-by-league posting is kept. Returns whether the engine posted the race itself.
    bool postBothWays(int raceNmbr) {
        cRaces race;
        race.load(raceNmbr);
        Outcome atOnce, oneByOne;
        bool posted = false;
        {
            Transaction tx;
            data.ui().clear();
            cResultsCollection results;
            results.load();
            EXPECT_TRUE(deleteRacePosting(race));
            if (results.raceExists(raceNmbr)) {
                cLeagueCollection leagues;
                leagues.load(race.raceTypeNmbr());
                SqlScript script;
                EXPECT_TRUE(script.read("scoring.qv"));
                posted = postRaceAllLeagues(race, leagues, script);
            }
            atOnce = {everything(), data.ui().progressSteps, boxTexts()};
            tx.rollback();
        }
        {
            Transaction tx;
            data.ui().clear();
            cResultsCollection results;
            results.load();
            if (results.raceExists(raceNmbr))
                postRaceLeagueByLeague(race);
            else
                deleteRacePosting(race);
            oneByOne = {everything(), data.ui().progressSteps, boxTexts()};
            tx.commit();
        }
        expectSame(atOnce.rows, oneByOne.rows, raceNmbr);
        EXPECT_EQ(atOnce.steps, oneByOne.steps) << "race " << raceNmbr;
        EXPECT_EQ(atOnce.boxes, oneByOne.boxes) << "race " << raceNmbr;
        return posted;
    }
    // The first line that differs, rather than both dumps whole.
    static void expectSame(const QStringList& atOnce, const QStringList& oneByOne, int raceNmbr) {
        for (int i = 0; i < std::min(atOnce.size(), oneByOne.size()); ++i)
            if (atOnce[i] != oneByOne[i]) {
                ADD_FAILURE() << "race " << raceNmbr << ", line " << i << ": all at once " << qPrintable(atOnce[i])
                              << ", league by league " << qPrintable(oneByOne[i]);
                return;
            }
        EXPECT_EQ(atOnce.size(), oneByOne.size()) << "race " << raceNmbr;
    }
    QStringList boxTexts() {
        QStringList out;
        for (const auto& b : data.ui().boxes)
            out << b.text;
        return out;
    }

    TestDataFile data;
};

TEST_F(PostingEngine, SeasonAndRepostsMatchTheChainRowForRow) {
    // In season order, then again out of order: later races already posted leave gaps in the row ids.
    for (int race : {1, 2, 3, 4, 5, 6, 3, 1, 4, 6, 6})
        EXPECT_EQ(postBothWays(race), race != 5) << "race " << race; // race 5 has no results to post
    // The season did what it was built for.
    EXPECT_GT(TestDataFile::scalar("SELECT count(*) FROM team_car WHERE car_nmbr = 99").toInt(), 1);
    EXPECT_GT(TestDataFile::scalar("SELECT count(*) FROM team_results WHERE car_nmbr = 99 AND current_status = 1 "
                                   "GROUP BY league_nmbr, race_nmbr, team_nmbr ORDER BY 1 DESC LIMIT 1")
                  .toInt(),
              1); // two rules met at once
    EXPECT_GT(TestDataFile::scalar("SELECT count(*) FROM team_results WHERE team_nmbr = 805 AND car_nmbr = 3 "
                                   "AND race_nmbr = 1")
                  .toInt(),
              1); // one car held twice
    EXPECT_GT(TestDataFile::scalar("SELECT count(*) FROM team_results WHERE current_status = 2 AND place > 0 "
                                   "AND place < 999")
                  .toInt(),
              0); // a car dropped from its team that ran the race
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM team_results WHERE team_nmbr = 805 AND car_nmbr = 3 "
                                   "AND race_nmbr = 6 AND league_nmbr = 701")
                  .toInt(),
              1); // the car held twice leaves one dropped row
}

// The site script runs at its step inside the all-leagues posting: it sees the rows the chain
// shows it (this league's up to the bonuses, every earlier league's whole, no later one's), and what
// it changes is scored as the chain scores it. The first script notes what it sees as head-to-head
// rows, which the comparison reads too.
TEST_F(PostingEngine, SiteScriptsSeeAndLeaveWhatTheChainsDo) {
    const QString sees =
        "INSERT INTO race_head_head SELECT %race_nmbr%, %league_nmbr%,"
        " (SELECT count(*) FROM team_results WHERE race_nmbr = %race_nmbr%) * 10000"
        "  + (SELECT count(*) FROM team_results_summary WHERE race_nmbr = %race_nmbr%) * 10"
        "  + (SELECT count(*) FROM team_car WHERE car_nmbr = 99),"
        " (SELECT coalesce(sum(rowid * (place + 2 * qualified + 3 * current_status + 5 * fast_qual_bonus"
        "  + 7 * laps_led_bonus + 11 * most_laps_led_bonus + 13 * adjustment + 17 * points + 19 * qual_points"
        "  + 23 * total_points + 29 * league_nmbr + 31 * car_nmbr + 37 * team_nmbr)), 0)"
        "  FROM team_results WHERE race_nmbr = %race_nmbr%);\n";
    const QString ownRows = " WHERE league_nmbr = %league_nmbr% AND race_nmbr = %race_nmbr%";
    const QStringList scripts = {
        // reads only
        "/* nothing to change */ SELECT count(*) FROM team_results" + ownRows,
        sees,
        // places, qualifying positions, bonuses and adjustments changed, a row removed
        "UPDATE team_results SET adjustment = adjustment + car_nmbr, laps_led_bonus = 2 * laps_led_bonus,"
        " qualified = CASE qualified WHEN 3 THEN 1 WHEN 1 THEN 3 ELSE qualified END,"
        " place = CASE WHEN car_nmbr = 4 THEN 0 ELSE place END" +
            ownRows + ";\r\nDELETE FROM team_results" + ownRows + " AND car_nmbr = 5;\r\n" + sees,
        // rows of earlier races (the totals carried from them) and of the leagues already posted
        "UPDATE team_results SET points = points + 1, total_points = total_points + 3"
        " WHERE league_nmbr <> %league_nmbr% OR race_nmbr <> %race_nmbr%;\n" +
            sees,
        // statements that fail, each with its box, and the rest still run
        "UPDATE nowhere SET a = 1;\nSELECT abs(-9223372036854775807 - 1);\n"
        "UPDATE team_results SET adjustment = 4" +
            ownRows + " AND place = 1;\n" + sees,
        // what the engine leaves to the chain's later steps: a row added, one of a car held twice
        // changed alone, a value that is not a whole number, a sum beyond 32 bits (its box, and the
        // league rolled back), a row moved to a league posted later
        "INSERT INTO team_results (race_nmbr, place, car_nmbr, team_nmbr, league_nmbr)"
        " SELECT %race_nmbr%, 1, 12, 805, %league_nmbr% WHERE %league_nmbr% = 701;\n" +
            sees,
        "UPDATE team_results SET qualified = 9, adjustment = -100 WHERE rowid = (SELECT min(rowid) FROM team_results" +
            ownRows + " AND team_nmbr = 805 AND car_nmbr = 3);\n" + sees,
        "UPDATE team_results SET adjustment = '2'" + ownRows + " AND car_nmbr = 2;\n" + sees,
        "UPDATE team_results SET adjustment = 2147483600" + ownRows + " AND %league_nmbr% = 700 AND place = 1;\n" +
            "DELETE FROM team_results WHERE rowid = (SELECT max(rowid) FROM team_results" + ownRows + ");\n" + sees,
        "UPDATE team_results SET league_nmbr = 703" + ownRows + " AND %league_nmbr% = 700 AND car_nmbr = 2;\n" + sees,
        // a row moved to the race a later league carries its totals from
        "UPDATE team_results SET league_nmbr = 702, race_nmbr = 1" + ownRows +
            " AND %league_nmbr% = 701 AND %race_nmbr% = 3 AND car_nmbr = 8;\n",
    };
    QStringList shown; // the start of every box
    for (const QString& text : scripts) {
        QFile script(QDir(programFolder()).filePath("scoring.qv"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(text.toUtf8());
        script.close();
        for (int race : {1, 2, 3, 4, 6, 3, 1}) {
            EXPECT_TRUE(postBothWays(race)) << "race " << race << "\n" << qPrintable(text);
            for (const auto& box : data.ui().boxes)
                shown << box.text.left(7);
        }
        if (HasFailure())
            return;
    }
    // The scripts did what they were written for.
    EXPECT_GT(TestDataFile::count("SELECT count(*) FROM race_head_head"), 10);
    EXPECT_TRUE(shown.contains("Overflo"));
    EXPECT_TRUE(shown.contains("Error ="));
}

TEST_F(PostingEngine, TiesDropsAndAnEmptyRaceMatchTheChain) {
    // Every car finishing level on points: ties everywhere, in drops and in places.
    exec("UPDATE scoring_points SET points = 10 WHERE scoring_type_nmbr = 600");
    exec("UPDATE scoring_type SET laps_led_bonus = 0, most_laps_led_bonus = 0, fast_qual_bonus = 0");
    exec("DELETE FROM scoring_points WHERE scoring_type_nmbr = 600 AND place > 1");
    for (int race : {1, 3, 4, 6, 2})
        EXPECT_TRUE(postBothWays(race)) << "race " << race;
    // Results of race 5 only now: its earlier races get filler rows, and a race with no results
    // is still only cleared.
    exec("DELETE FROM results WHERE race_nmbr = 3");
    for (int race : {3, 4, 6})
        postBothWays(race);
}

TEST_F(PostingEngine, TeamsThatJoinOrLeaveAndOtherTeamsHoldingsMatchTheChain) {
    for (int race : {1, 3})
        EXPECT_TRUE(postBothWays(race)) << "race " << race;
    // A team joins a league after its first races: it is missing from their summaries. A team
    // that has left another league is still in that league's summaries.
    exec("INSERT INTO league_teams VALUES (700, 810)");
    exec("DELETE FROM league_teams WHERE league_nmbr = 701 AND team_nmbr = 806");
    // A team of no league holds a car from a date in a form of its own, which nothing here reads.
    exec("INSERT INTO teams (team_nmbr, team_name, race_type_nmbr, car_type_nmbr) VALUES (899, 'Kilo', 1, 1)");
    hold(899, 4, "3/1/2024");
    for (int race : {4, 6})
        EXPECT_TRUE(postBothWays(race)) << "race " << race;
    EXPECT_EQ(TestDataFile::scalar("SELECT group_concat(race_nmbr) FROM team_results_summary WHERE league_nmbr = 700"
                                   " AND team_nmbr = 810 AND points = 0")
                  .toString(),
              "1,2,3,4,6"); // filled in for the earlier races; race 6 from its own rows
    EXPECT_TRUE(postBothWays(1));

    // A member's holding dated that way is compared by the chain as the text it is.
    exec("INSERT INTO league_teams VALUES (700, 899)");
    cRaces race;
    race.load(6);
    cLeagueCollection leagues;
    leagues.load(1);
    Transaction tx;
    EXPECT_FALSE(postRaceAllLeagues(race, leagues, SqlScript()));
    tx.rollback();
}

// Where the chain could go its own way, the engine leaves the race to it, writing nothing.
TEST_F(PostingEngine, StandsBackWhereTheChainCouldBehaveDifferently) {
    const auto standsBack = [&](const char* what) {
        const QStringList before = everything();
        cRaces race;
        race.load(1);
        Transaction tx;
        data.ui().clear();
        ASSERT_TRUE(deleteRacePosting(race));
        cLeagueCollection leagues;
        leagues.load(1);
        const QStringList cleared = everything();
        SqlScript script;
        EXPECT_TRUE(script.read("scoring.qv"));
        EXPECT_FALSE(postRaceAllLeagues(race, leagues, script)) << what;
        EXPECT_EQ(everything(), cleared) << what;
        EXPECT_EQ(data.ui().progressSteps, 0) << what;
        EXPECT_TRUE(data.ui().boxes.isEmpty()) << what;
        tx.rollback();
        EXPECT_EQ(everything(), before) << what;
    };
    // A site script that changes what the posting reads, other than the league's rows of the race,
    // or that would be refused (the chain shows that).
    for (const char* text : {"UPDATE results SET adjustment = 1 WHERE race_nmbr = %race_nmbr% AND car_nmbr = 7",
                             "SELECT 1;\nUPDATE team_car SET active = 0 WHERE car_nmbr = -%league_nmbr%",
                             "SELECT password FROM publish", "PRAGMA user_version = 7"}) {
        QFile script(QDir(programFolder()).filePath("scoring.qv"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(text);
        script.close();
        standsBack(text);
        script.remove();
    }
    exec("UPDATE leagues SET scoring_option_nmbr = 3 WHERE league_nmbr = 704");
    standsBack("an invalid scoring option");
    exec("UPDATE leagues SET scoring_option_nmbr = 1 WHERE league_nmbr = 704");
    exec("UPDATE results SET adjustment = '1.5' WHERE race_nmbr = 1 AND car_nmbr = 7");
    standsBack("a value that is not a whole number");
    exec("UPDATE results SET adjustment = 2147483647 WHERE race_nmbr = 1 AND car_nmbr = 7");
    standsBack("points beyond 32 bits");
    exec("UPDATE results SET adjustment = 0 WHERE race_nmbr = 1 AND car_nmbr = 7");
    exec("UPDATE scoring_type SET fast_qual_bonus = NULL WHERE scoring_type_nmbr = 601");
    standsBack("an empty bonus amount");
    exec("UPDATE scoring_type SET fast_qual_bonus = -1 WHERE scoring_type_nmbr = 601");
    exec("DELETE FROM cars WHERE car_nmbr = 99");
    standsBack("no bonus entry");

    // And the whole posting then goes the chain's way: the bonus entry is made, the box shown.
    exec("UPDATE leagues SET scoring_option_nmbr = 0 WHERE league_nmbr = 704");
    cRaces race;
    race.load(1);
    postRace(race);
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM cars WHERE car_type_nmbr = 3").toInt(), 1);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Invalid Scoring Method");
}

// ---- a killed posting ----

// Kills its own process at the n-th progress step: a posting stopped in the middle.
class KillingUi final : public UiServices {
public:
    explicit KillingUi(int n) : m_n(n) {}
    int messageBox(const QString&, const QString&, MsgIcon, MsgButtons) override { return AnswerOk; }
    void setStatusText(const QString&) override {}
    void setPointer(int) override {}
    int pointer() const override { return 0; }
    void beep() override {}
    void stepProgress() override {
        if (++m_steps == m_n)
            ::raise(SIGKILL);
    }
    bool playWave(const QString&) override { return false; }

private:
    int m_n;
    int m_steps = 0;
};

QString dumpPosting() {
    SqlRows a, b;
    gConnection->getConnection()->query(
        "SELECT league_nmbr, race_nmbr, team_nmbr, car_nmbr, current_status, place, qualified, fast_qual_bonus, "
        "laps_led_bonus, most_laps_led_bonus, adjustment, points, qual_points, total_points FROM team_results "
        "ORDER BY 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14",
        &a);
    gConnection->getConnection()->query("SELECT * FROM team_results_summary ORDER BY 1, 2, 3, 4, 5", &b);
    QString out;
    for (const auto& r : a.rows + b.rows) {
        for (const QVariant& v : r)
            out += v.toString() + QLatin1Char(',');
        out += QLatin1Char('\n');
    }
    return out;
}

// Runs body in a child process with its own connection; returns the wait status.
template <class F> int inChild(F body, int killAfterMs = -1) {
    gConnection->CloseConnection();
    const pid_t pid = fork();
    if (pid == 0) {
        connectDatabase();
        body();
        _exit(0);
    }
    if (killAfterMs >= 0) {
        usleep(useconds_t(killAfterMs) * 1000);
        kill(pid, SIGKILL);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(connectDatabase());
    return status;
}

bool integrityOk() {
    return TestDataFile::scalar("PRAGMA integrity_check").toString() == "ok";
}

// Every row of every table, and the schema: what "the data file as it was" means.
QString dumpData() {
    SqlDatabase& db = *gConnection->getConnection();
    SqlRows tables;
    db.query("SELECT type, name, sql FROM sqlite_master UNION ALL SELECT type, name, sql FROM sqlite_temp_master "
             "ORDER BY 1, 2",
             &tables);
    QString out;
    for (const auto& t : tables.rows) {
        out += t[0].toString() + ' ' + t[1].toString() + ' ' + t[2].toString() + '\n';
        if (t[0].toString() != "table")
            continue;
        SqlRows rows;
        db.query(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(t[1].toString()), &rows);
        for (const auto& r : rows.rows) {
            for (const QVariant& v : r)
                out += v.toString() + QLatin1Char(',');
            out += QLatin1Char('\n');
        }
    }
    return out;
}

void writeScript(const QByteArray& text) {
    QFile script(QDir(programFolder()).filePath("scoring.qv"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(text);
}

bool transactionOpen() {
    return gConnection->getConnection()->inTransaction() || gConnection->getWorkSpace().depth();
}

TEST_F(Posting, SiteScriptThatDoesMoreThanChangeRowsFailsTheRaceAndKeepsTheEarlierPosting) {
    addLeague(502, 1, 600, 0, {Alpha});
    TestDataFile::exec("UPDATE publish SET location = 'ftp.example.org/league', username = 'ann', password = 's3cret'");
    post(1);
    const QString before = dumpData();
    // Refused before anything runs, or stopped when it ended the transaction (the ON CONFLICT
    // ROLLBACK), ran too long, or could not be read: either way one box and the data file as it
    // was, the earlier posting included.
    const QByteArray scripts[] = {
        "UPDATE team_results SET adjustment = 7 WHERE league_nmbr = %league_nmbr% AND race_nmbr = %race_nmbr%;\r\n"
        "-- keep what is there\r\nCOMMIT;\r\n",
        "UPDATE team_results SET adjustment = 7 WHERE league_nmbr = %league_nmbr% AND race_nmbr = %race_nmbr%;\n"
        "INSERT OR ROLLBACK INTO leagues (league_nmbr) VALUES (%league_nmbr%);\n",
        "CREATE TRIGGER `stop'it` BEFORE INSERT ON team_results_summary BEGIN SELECT RAISE(ROLLBACK, 'x'); END;",
        "CREATE TEMP TABLE kept (a);",
        "PRAGMA rekey = 'another key';",
        "SAVEPOINT s; UPDATE team_results SET adjustment = 7; RELEASE s;",
        "END; BEGIN;",
        // the FTP password into every report page
        "UPDATE cars SET driver_name = (SELECT username || ':' || password FROM publish) WHERE car_nmbr = 1;",
        "UPDATE publish SET location = 'ftp.elsewhere.example';",
        "UPDATE team_results SET adjustment = 7 WHERE league_nmbr = %league_nmbr%;\nSELECT "
        "hex(fts3_tokenizer('simple'));",
        "SELECT load_extension('/tmp/libnothing.so');",
        "UPDATE team_results SET adjustment = 7 WHERE league_nmbr = %league_nmbr% AND race_nmbr = %race_nmbr%;\n"
        "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT count(*) FROM c;\n",
        QByteArray("UPDATE team_results SET adjustment = 7;\n") + '\0' + "\nSELECT 1;\n",
    };
    const int limit = SqlScript::timeLimitMs();
    SqlScript::setTimeLimitMs(300);
    for (auto posting : {postRace, postRaceLeagueByLeague})
        for (const QByteArray& text : scripts) {
            writeScript(text);
            data.ui().clear();
            cRaces race;
            race.load(1);
            EXPECT_FALSE(posting(race)) << text.constData(); // given up as a whole
            ASSERT_EQ(data.ui().boxes.size(), 1) << text.constData() << "\n" << qPrintable(data.ui().lastBoxText());
            EXPECT_TRUE(data.ui().boxes[0].text.startsWith("Error trying to run "))
                << qPrintable(data.ui().boxes[0].text);
            EXPECT_TRUE(data.ui().boxes[0].text.contains("the race was not posted"))
                << qPrintable(data.ui().boxes[0].text);
            EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti Error");
            EXPECT_FALSE(transactionOpen()) << text.constData();
            EXPECT_EQ(dumpData(), before) << text.constData();
        }
    SqlScript::setTimeLimitMs(limit);
    // What a refusal names.
    writeScript("UPDATE cars SET driver_name = (SELECT username || ':' || password FROM publish) WHERE car_nmbr = 1;");
    data.ui().clear();
    post(1);
    EXPECT_TRUE(
        data.ui().lastBoxText().contains("Error: the table publish cannot be used in it; the race was not posted"))
        << qPrintable(data.ui().lastBoxText());
    // A file where the script should be that cannot be read.
    QFile::remove(QDir(programFolder()).filePath("scoring.qv"));
    ASSERT_TRUE(QDir(programFolder()).mkdir("scoring.qv"));
    data.ui().clear();
    post(1);
    ASSERT_EQ(data.ui().boxes.size(), 1) << qPrintable(data.ui().lastBoxText());
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("Error trying to open ")) << qPrintable(data.ui().boxes[0].text);
    EXPECT_FALSE(transactionOpen());
    EXPECT_EQ(dumpData(), before);
    ASSERT_TRUE(QDir(programFolder()).rmdir("scoring.qv"));
    // A first posting that fails leaves the race without one.
    writeScript("INSERT OR ROLLBACK INTO leagues (league_nmbr) VALUES (%league_nmbr%);");
    data.ui().clear();
    post(2);
    EXPECT_EQ(data.ui().boxes.size(), 1) << qPrintable(data.ui().lastBoxText());
    EXPECT_EQ(dumpData(), before);
    // The key is the program's still.
    gConnection->CloseConnection();
    ASSERT_EQ(gConnection->openAccessConnection(), 0);
    EXPECT_EQ(dumpData(), before);

    // A script that only changes rows runs, and both leagues are posted whole.
    writeScript("UPDATE team_results SET adjustment = 7 WHERE league_nmbr = %league_nmbr% "
                "AND race_nmbr = %race_nmbr% AND car_nmbr = 6;\r\n");
    data.ui().clear();
    post(1);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    EXPECT_EQ(rowCount(501, 1), 12);
    EXPECT_EQ(row(501, 1, Charlie, 6).points, 37);
    EXPECT_EQ(summary(502, 1, Alpha), std::pair(269, 1));
}

TEST_F(Posting, StatementThatEndsThePostingsTransactionFailsTheWholeRace) {
    addLeague(502, 1, 600, 0, {Alpha});
    post(1);
    // A trigger in the data file (no script can leave one now) ends the transaction in the second league.
    TestDataFile::exec("CREATE TRIGGER stale BEFORE INSERT ON team_results_summary WHEN NEW.league_nmbr = 502 "
                       "BEGIN SELECT RAISE(ROLLBACK, 'stale trigger'); END");
    TestDataFile::exec("UPDATE results SET place = 8 - place WHERE race_nmbr = 1 AND place > 0");
    const QString before = dumpData();
    for (auto posting : {postRace, postRaceLeagueByLeague})
        for (int race : {1, 2}) {
            data.ui().clear();
            cRaces r;
            r.load(race);
            posting(r);
            ASSERT_EQ(data.ui().boxes.size(), 1) << race << qPrintable(data.ui().lastBoxText());
            EXPECT_TRUE(data.ui().boxes[0].text.contains("stale trigger")) << qPrintable(data.ui().boxes[0].text);
            EXPECT_FALSE(transactionOpen());
            EXPECT_EQ(dumpData(), before) << race;
        }
}

TEST_F(Posting, KilledInTheMiddleLeavesTheEarlierPostingWhole) {
    addLeague(502, 2, 600, 1, {Alpha, Bravo, Charlie});
    post(1);
    post(2);
    const QString earlier = dumpPosting();
    ASSERT_FALSE(earlier.isEmpty());
    // Different results, so a half-written new posting could not pass for the old one.
    TestDataFile::exec("UPDATE results SET place = 8 - place WHERE race_nmbr = 1 AND place > 0");

    for (int steps : {1, 5, 20, 40}) {
        const int status = inChild([steps] {
            KillingUi killer(steps);
            setUi(&killer);
            cRaces race;
            race.load(1);
            postRace(race);
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << "posting finished before step " << steps;
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
        EXPECT_TRUE(integrityOk());
        EXPECT_EQ(dumpPosting(), earlier) << "killed at progress step " << steps;
    }
}

TEST_F(Posting, KilledFromOutsideLeavesOneWholePosting) {
    addLeague(502, 2, 600, 1, {Alpha, Bravo, Charlie});
    const QString flip = "UPDATE results SET place = 8 - place WHERE race_nmbr = 1 AND place > 0";
    // One round of both results first: the bonus-car holdings a posting leaves behind are then in place.
    post(1);
    TestDataFile::exec(flip);
    post(1);
    TestDataFile::exec(flip);
    post(1);
    const QString before = dumpPosting();
    TestDataFile::exec(flip);
    post(1);
    const QString after = dumpPosting();
    ASSERT_NE(before, after);
    TestDataFile::exec(flip);
    post(1);
    ASSERT_EQ(dumpPosting(), before);

    // The child keeps posting the changed results until it is killed at some moment: whatever
    // that moment, one whole posting is there, the earlier one or a new one.
    for (int ms : {40, 60, 80, 120}) {
        inChild(
            [] {
                TestDataFile::exec("UPDATE results SET place = 8 - place WHERE race_nmbr = 1 AND place > 0");
                for (;;) {
                    cRaces race;
                    race.load(1);
                    postRace(race);
                }
            },
            ms);
        EXPECT_TRUE(integrityOk());
        const QString now = dumpPosting();
        EXPECT_TRUE(now == before || now == after) << "killed after " << ms << " ms";
        if (TestDataFile::scalar("SELECT place FROM results WHERE race_nmbr = 1 AND car_nmbr = 1").toInt() != 1)
            TestDataFile::exec("UPDATE results SET place = 8 - place WHERE race_nmbr = 1 AND place > 0");
        post(1);
        ASSERT_EQ(dumpPosting(), before);
    }
}

} // namespace
