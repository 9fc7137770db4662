// Posting a race, worked by hand, on the season PostingSeason.h describes.

#include "PostingSeason.h"
#include "posting/RacePostingUseCases.h"

namespace {

TEST_F(Posting, FirstRaceBonusesQualifyingPointsTopFinishAndDnq) {
    post(1);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    EXPECT_EQ(data.ui().statusTexts.value(0), "Posting Results Race One");

    // Car 1 for Alpha: 100 for first + laps led 5 + most laps led 10 (tied with car 4) + qualifying 2nd 4.
    const Row a1 = row(501, 1, Alpha, 1);
    EXPECT_EQ(a1.place, 1);
    EXPECT_EQ(a1.qualified, 2);
    EXPECT_EQ(a1.lapsLed, 5);
    EXPECT_EQ(a1.mostLapsLed, 10);
    EXPECT_EQ(a1.fastQual, 0);
    EXPECT_EQ(a1.qualPoints, 4);
    EXPECT_EQ(a1.points, 119);
    EXPECT_EQ(a1.total, 119); // first race: total = points
    // The same car on Bravo earns the same.
    EXPECT_EQ(row(501, 1, Bravo, 1).points, 119);
    // Car 2: 80 + fastest qualifier 3 + qualifying 1st 7.
    const Row a2 = row(501, 1, Alpha, 2);
    EXPECT_EQ(a2.fastQual, 3);
    EXPECT_EQ(a2.qualPoints, 7);
    EXPECT_EQ(a2.points, 90);
    EXPECT_EQ(row(501, 1, Alpha, 5).points, 40);
    // Car 3: 60 + laps led 5, not the most.
    EXPECT_EQ(row(501, 1, Bravo, 3).points, 65);
    // Car 4: 50 + 5 + 10 - 5 adjustment.
    EXPECT_EQ(row(501, 1, Charlie, 4).points, 60);
    EXPECT_EQ(row(501, 1, Charlie, 4).adjustment, -5);
    EXPECT_EQ(row(501, 1, Charlie, 6).points, 30);
    // Place 7 is not in the table: no points.
    EXPECT_EQ(row(501, 1, Charlie, 7).points, 0);
    // Car 8 did not qualify: place 999 where more is better, status 2, nothing earned.
    const Row dnq = row(501, 1, Charlie, 8, 2);
    EXPECT_EQ(dnq.place, 999);
    EXPECT_EQ(dnq.qualified, 0);
    EXPECT_EQ(dnq.points, 0);

    // Alpha has exactly 2 cars in the top 3: the rule pays 20 on the bonus car, which Alpha now
    // holds from the race's date. Bravo has 3 there (one too many), Charlie none: no bonus.
    const int bonus = bonusCar();
    ASSERT_GT(bonus, 0);
    const Row b = row(501, 1, Alpha, bonus, 1);
    EXPECT_EQ(b.place, 0);
    EXPECT_EQ(b.points, 20);
    EXPECT_EQ(b.total, 20);
    EXPECT_EQ(TestDataFile::scalar(
                  QStringLiteral("SELECT efctv_dt FROM team_car WHERE team_nmbr = 501 AND car_nmbr = %1").arg(bonus))
                  .toString(),
              "2024-03-01");
    // The new holding has no result either, so Alpha also gets its did-not-qualify row.
    EXPECT_EQ(row(501, 1, Alpha, bonus, 2).points, 0);
    EXPECT_EQ(TestDataFile::scalar(QStringLiteral("SELECT count(*) FROM team_results WHERE car_nmbr = %1 AND "
                                                  "team_nmbr IN (502, 503)")
                                       .arg(bonus))
                  .toInt(),
              0);
    EXPECT_EQ(rowCount(501, 1), 3 + 3 + 4 + 2);

    // Alpha 119 + 90 + 40 + 20 = 269, Bravo 119 + 90 + 65 = 274, Charlie 60 + 30 = 90.
    EXPECT_EQ(summary(501, 1, Alpha), std::pair(269, 2));
    EXPECT_EQ(summary(501, 1, Bravo), std::pair(274, 1));
    EXPECT_EQ(summary(501, 1, Charlie), std::pair(90, 3));
}

TEST_F(Posting, SecondRaceCarriesTotalsAndTheSoldCar) {
    post(1);
    post(2);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    // Car 1: 60 + qualifying 1st 7 = 67; total 67 + 119.
    EXPECT_EQ(row(501, 2, Alpha, 1).points, 67);
    EXPECT_EQ(row(501, 2, Alpha, 1).total, 186);
    // Car 2: 100 + 5 + 10 + 4 = 119; total 119 + 90.
    EXPECT_EQ(row(501, 2, Alpha, 2).points, 119);
    EXPECT_EQ(row(501, 2, Alpha, 2).total, 209);
    EXPECT_EQ(row(501, 2, Bravo, 3).points, 83);
    EXPECT_EQ(row(501, 2, Bravo, 3).total, 148);
    EXPECT_EQ(row(501, 2, Charlie, 4).total, 100);
    // Car 5 was sold before race 2: a status-2 row with its place there, no points, and the total
    // it had for Alpha.
    const Row sold = row(501, 2, Alpha, 5, 2);
    EXPECT_EQ(sold.place, 4);
    EXPECT_EQ(sold.points, 0);
    EXPECT_EQ(sold.total, 40);
    // Car 7 did not run in race 2; car 8 did (place 7, no points) and carries its 0.
    EXPECT_EQ(row(501, 2, Charlie, 7, 2).place, 999);
    EXPECT_EQ(row(501, 2, Charlie, 8).total, 0);
    // Alpha meets the rule again (1st and 3rd). Both bonus-car rows carry the bonus car's 20 of
    // race 1.
    const int bonus = bonusCar();
    EXPECT_EQ(row(501, 2, Alpha, bonus, 1).total, 40);
    EXPECT_EQ(row(501, 2, Alpha, bonus, 2).total, 20);

    // Alpha 67 + 119 + 20 = 206; Bravo 67 + 119 + 83 = 269; Charlie 40 + 30 = 70.
    EXPECT_EQ(summary(501, 2, Alpha), std::pair(206, 2));
    EXPECT_EQ(summary(501, 2, Bravo), std::pair(269, 1));
    EXPECT_EQ(summary(501, 2, Charlie), std::pair(70, 3));

    cLeagueStandingsCollection standings;
    ASSERT_EQ(standings.load(501, 2, true), 3);
    EXPECT_EQ(standings.Item(1)->teamName(), "Bravo");
    EXPECT_EQ(standings.Item(1)->points(), 543);
    EXPECT_EQ(standings.Item(2)->points(), 475);
    EXPECT_EQ(standings.Item(3)->points(), 160);
    EXPECT_EQ(standings.placeForTeam(Charlie), 3);
    cLeagueStandingsCollection before;
    ASSERT_EQ(before.loadPrevious(501, 2, true), 3);
    EXPECT_EQ(before.Item(1)->points(), 274);
    EXPECT_EQ(before.placeForTeam(Alpha), 2);
    cLeagueStandingsCollection first;
    EXPECT_EQ(first.loadPrevious(501, 1, true), 0);
    EXPECT_EQ(first.placeForTeam(Alpha), 0);
    cLeagueStandingsCollection low;
    low.load(501, 2, false);
    EXPECT_EQ(low.placeForTeam(Charlie), 1);

    cTeamResultsSummary s;
    EXPECT_EQ(s.pointsForMostRecentRace(501, Alpha, 2), 206);
    EXPECT_EQ(s.pointsForRace(501, Alpha, 1), 269);
    EXPECT_EQ(s.placePreviousRace(501, Alpha, 2), 2);
    cLeague league;
    league.load(501);
    EXPECT_EQ(s.wins(league, Bravo, 2), 2);
    EXPECT_EQ(s.top5s(league, Charlie, 2), 2);
    cTeamResults tr;
    // Bravo's counted cars placed 1: car 1 in race 1, car 2 in race 2.
    EXPECT_EQ(tr.wins(league, Bravo, 2), 2);
    EXPECT_EQ(tr.top5s(league, Alpha, 1), 3);
    EXPECT_EQ(tr.currentRaceNmbr(1), 2);
}

TEST_F(Posting, RepostingTheFirstRaceAfterTheSecondKeepsTheSecondsTotals) {
    post(1);
    post(2);
    const int before = rowCount(501, 2);
    post(1); // the race window would then post race 2 again
    post(2);
    EXPECT_EQ(rowCount(501, 2), before);
    EXPECT_EQ(row(501, 2, Alpha, 1).total, 186);
}

TEST_F(Posting, DropLowestWithOptionTwo) {
    league({.nmbr = 502, .scoringOption = 2, .scoringType = 600, .dropLowest = 1}, {Bravo});
    post(1);
    // Bravo's lowest finisher, car 3 (65), is zeroed but keeps its place; 119 + 90 remain.
    const Row dropped = row(502, 1, Bravo, 3);
    EXPECT_EQ(dropped.points, 0);
    EXPECT_EQ(dropped.lapsLed, 0);
    EXPECT_EQ(dropped.place, 3);
    EXPECT_EQ(dropped.status, 1);
    EXPECT_EQ(summary(502, 1, Bravo), std::pair(209, 1));
    // The same cars in the option-1 league are untouched.
    EXPECT_EQ(row(501, 1, Bravo, 3).points, 65);
}

TEST_F(Posting, DropLowestNeverTouchesTheBonusRow) {
    // Drop count above Alpha's car rows: every car row zeroed, the bonus row kept.
    league({.nmbr = 502, .scoringOption = 2, .scoringType = 600, .dropLowest = 9}, {Alpha});
    post(1);
    EXPECT_EQ(row(502, 1, Alpha, 1).points, 0);
    EXPECT_EQ(row(502, 1, Alpha, 2).points, 0);
    EXPECT_EQ(row(502, 1, Alpha, bonusCar(), 1).points, 20);
    EXPECT_EQ(summary(502, 1, Alpha).first, 20);
}

TEST_F(Posting, InactiveHoldingIsZeroed) {
    TestDataFile::exec("UPDATE team_car SET active = 0 WHERE team_nmbr = 503 AND car_nmbr = 6");
    post(1);
    const Row r = row(501, 1, Charlie, 6);
    EXPECT_EQ(r.points, 0);
    EXPECT_EQ(r.total, 0);
    EXPECT_EQ(r.place, 6);
    EXPECT_EQ(summary(501, 1, Charlie).first, 60);
}

TEST_F(Posting, NobodyLedALapSoNobodyGetsTheMostLapsLedBonus) {
    TestDataFile::exec("UPDATE results SET laps_led = 0 WHERE race_nmbr = 1");
    post(1);
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM team_results WHERE most_laps_led_bonus <> 0 "
                                   "OR laps_led_bonus <> 0")
                  .toInt(),
              0);
    // 100 + qualifying 4 only.
    EXPECT_EQ(row(501, 1, Alpha, 1).points, 104);
}

TEST_F(Posting, AnUnplacedCarThatLedTheMostLapsGetsNoMostLapsLedBonusEitherWay) {
    // Car 4 led 60 laps, the most, but has no finishing place: its laps-led bonus stands, the
    // most-laps-led bonus goes to nobody (car 1's 50 are not the most).
    TestDataFile::exec("UPDATE results SET place = 0, laps_led = 60 WHERE race_nmbr = 1 AND car_nmbr = 4");
    const auto expectNoMostLapsLedBonus = [&](const char* how) {
        const Row r = row(501, 1, Charlie, 4);
        EXPECT_EQ(r.place, 0) << how;
        EXPECT_EQ(r.lapsLed, 5) << how;
        EXPECT_EQ(r.mostLapsLed, 0) << how;
        EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM team_results WHERE most_laps_led_bonus <> 0").toInt(), 0)
            << how;
    };
    cRaces race;
    race.load(1);
    postRaceLeagueByLeague(race);
    expectNoMostLapsLedBonus("league by league");
    {
        Transaction tx;
        ASSERT_TRUE(deleteRacePosting(race));
        cLeagueCollection leagues;
        leagues.load(1);
        ASSERT_TRUE(postRaceAllLeagues(race, leagues, SqlScript()));
        tx.commit();
    }
    expectNoMostLapsLedBonus("all leagues at once");
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
}

TEST_F(Posting, FewerIsBetterLeague) {
    // Shipped method 2: points = place, no bonuses, no rules.
    league({.nmbr = 502, .scoringType = 2}, {Alpha, Bravo, Charlie});
    post(1);
    EXPECT_EQ(row(502, 1, Charlie, 8, 2).place, 0); // did not qualify: place 0 here
    EXPECT_EQ(row(502, 1, Alpha, 5).points, 5);
    // Alpha 1 + 2 + 5 = 8, Bravo 1 + 2 + 3 = 6, Charlie 4 + 6 + 7 - 5 = 12: the fewest first.
    EXPECT_EQ(summary(502, 1, Bravo), std::pair(6, 1));
    EXPECT_EQ(summary(502, 1, Alpha), std::pair(8, 2));
    EXPECT_EQ(summary(502, 1, Charlie), std::pair(12, 3));
}

TEST_F(Posting, PostingTwiceLeavesOnePosting) {
    post(1);
    const int rows = rowCount(501, 1);
    const int summaries = summaryCount(501, 1);
    post(1);
    EXPECT_EQ(rowCount(501, 1), rows);
    EXPECT_EQ(summaryCount(501, 1), summaries);
    EXPECT_EQ(TestDataFile::scalar("SELECT sum(points) FROM team_results_summary WHERE race_nmbr = 1").toInt(),
              269 + 274 + 90);
}

TEST_F(Posting, RaceOfATypeNoLeaguePlaysOnlyLosesItsPosting) {
    post(1);
    TestDataFile::exec("UPDATE races SET race_type_nmbr = 6 WHERE race_nmbr = 1");
    post(1);
    EXPECT_EQ(rowCount(501, 1), 0);
    EXPECT_EQ(summaryCount(501, 1), 0);
}

TEST_F(Posting, FailingLeagueIsRolledBackAndTheNextIsPosted) {
    league({.nmbr = 502, .scoringType = 600}, {Alpha, Bravo});
    post(1);
    ASSERT_GT(rowCount(502, 1), 0);
    // League 502's summary insert is refused: its chain stops at step 14.
    TestDataFile::exec("CREATE TEMP TRIGGER refuse BEFORE INSERT ON team_results_summary "
                       "WHEN NEW.league_nmbr = 502 BEGIN SELECT RAISE(ABORT, 'refused'); END");
    // The same with a site script, which the all-leagues posting runs league by league.
    for (const char* script : {"", "UPDATE team_results SET adjustment = adjustment WHERE league_nmbr = %league_nmbr%"
                                   " AND race_nmbr = %race_nmbr%;"}) {
        QFile file(QDir(programFolder()).filePath("scoring.qv"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script);
        file.close();
        data.ui().clear();
        post(1);
        ASSERT_EQ(data.ui().boxes.size(), 1) << script;
        EXPECT_TRUE(data.ui().boxes[0].text.contains("refused"));
        EXPECT_EQ(rowCount(502, 1), 0);
        EXPECT_EQ(summaryCount(502, 1), 0);
        EXPECT_EQ(rowCount(501, 1), 12);
        EXPECT_EQ(summary(501, 1, Bravo), std::pair(274, 1));
    }
}

TEST_F(Posting, PointsBeyond32BitsAreReportedAndRolledBack) {
    league({.nmbr = 502, .scoringType = 600}, {Alpha});
    // The site script runs before points are worked out; here it pushes one row past 32 bits.
    QFile script(QDir(programFolder()).filePath("scoring.qv"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("UPDATE team_results SET adjustment = 2147483647 WHERE league_nmbr = %league_nmbr% "
                 "AND race_nmbr = %race_nmbr% AND league_nmbr = 502 AND car_nmbr = 1;\n");
    script.close();
    setMousePointer(PointerHourglass);
    post(1);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Overflow");
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
    EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::None);
    EXPECT_EQ(mousePointer(), PointerDefault);
    EXPECT_EQ(rowCount(502, 1), 0);
    EXPECT_EQ(summaryCount(502, 1), 0);
    EXPECT_EQ(rowCount(501, 1), 12);
}

TEST_F(Posting, RaceSumBeyond32BitsIsReportedAndRolledBack) {
    league({.nmbr = 502, .scoringType = 600}, {Alpha});
    // Each of Alpha's two cars stays within 32 bits (2,000,000,119 and 2,000,000,090); the team's
    // race sum of about 4,000,000,000 does not.
    QFile script(QDir(programFolder()).filePath("scoring.qv"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("UPDATE team_results SET adjustment = 2000000000 WHERE league_nmbr = %league_nmbr% "
                 "AND race_nmbr = %race_nmbr% AND league_nmbr = 502 AND car_nmbr IN (1, 2)");
    script.close();
    post(1);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Overflow");
    EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::None);
    EXPECT_EQ(rowCount(502, 1), 0);
    EXPECT_EQ(summaryCount(502, 1), 0);
    EXPECT_EQ(summary(501, 1, Alpha), std::pair(269, 2));
    cLeagueStandingsCollection standings;
    EXPECT_EQ(standings.load(502, 1, true), 0);
}

TEST_F(Posting, RacesThatCarriedFromADeletedRaceAreSettled) {
    addRace({.nmbr = 3, .name = "Race Three", .track = "T", .date = "2024-03-15"});
    TestDataFile::exec("INSERT INTO results (car_nmbr, race_nmbr, place, qualified, fast_qual, laps_led, adjustment) "
                       "SELECT car_nmbr, 3, place, qualified, fast_qual, laps_led, adjustment FROM results "
                       "WHERE race_nmbr = 1");
    for (int race : {1, 2, 3})
        post(race);
    const int p1 = row(501, 1, Bravo, 3).points, p2 = row(501, 2, Bravo, 3).points, p3 = row(501, 3, Bravo, 3).points;
    ASSERT_EQ(row(501, 3, Bravo, 3).total, p1 + p2 + p3);
    cRacesCollection later;
    ASSERT_EQ(loadRacesCarryingFrom(2, later), 1);
    cRaces race2;
    race2.load(2);
    data.ui().clear();
    const RacePostingOutcome deleted = deleteRaceAndSettle(race2, askQuestion);
    ASSERT_EQ(data.ui().boxes.size(), 2);
    EXPECT_EQ(data.ui().boxes[0].text, "Results have been posted for this Race.\r\nDo you want to continue?");
    EXPECT_EQ(data.ui().boxes[0].title, "Race Two");
    EXPECT_EQ(data.ui().boxes[1].text, "The posting for Race Three was removed when Race Two was deleted.\r\n"
                                       "Do you want to post results for Race Three now?\r\n"
                                       "No leaves Race Three unposted.");
    EXPECT_EQ(data.ui().boxes[1].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(deleted.done);
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM races WHERE race_nmbr = 2").toInt(), 0);
    EXPECT_EQ(row(501, 3, Bravo, 3).total, p1 + p3);

    // Declined, the later race loses its posting; a race of a type no league plays carries nothing.
    cRaces race1;
    race1.load(1);
    data.ui().clear();
    data.ui().answers = {AnswerNo};
    postRaceAndSettle(race1, askQuestion);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Do you want to post results for Race Three now?\r\n"
                                       "No leaves Race Three unposted.");
    EXPECT_EQ(rowCount(501, 3), 0);
    TestDataFile::exec("UPDATE leagues SET race_type_nmbr = 2");
    later.clear();
    EXPECT_EQ(loadRacesCarryingFrom(1, later), 0);
}

// ---- settling the later races ----

// Races 3 (3/15, no results, a stray posting row), 4 (3/22, race 1's results) and 5 (3/29, race 2's
// results) join the season; races 1, 2, 4 and 5 are posted in order.
class LaterRaces : public Posting {
protected:
    void SetUp() override {
        Posting::SetUp();
        addRace({.nmbr = 3, .name = "Race Three", .track = "T", .date = "2024-03-15"});
        addRace({.nmbr = 4, .name = "Race Four", .track = "T", .date = "2024-03-22"});
        addRace({.nmbr = 5, .name = "Race Five", .track = "T", .date = "2024-03-29"});
        for (auto [copy, from] : {std::pair(4, 1), std::pair(5, 2)})
            TestDataFile::exec(QStringLiteral("INSERT INTO results (car_nmbr, race_nmbr, place, qualified, fast_qual, "
                                              "laps_led, adjustment) SELECT car_nmbr, %1, place, qualified, "
                                              "fast_qual, laps_led, adjustment FROM results WHERE race_nmbr = %2")
                                   .arg(copy)
                                   .arg(from));
        addTeamResult({.race = 3, .car = 1, .team = 501, .league = 501});
        for (int race : {1, 2, 4, 5})
            post(race);
        ASSERT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    }

    static std::unique_ptr<cRaces> race(int raceNmbr) {
        auto r = std::make_unique<cRaces>();
        r->load(raceNmbr);
        return r;
    }
    static bool posted(int raceNmbr) { return rowCount(501, raceNmbr) > 0; }
    // Which of the races after race 1 have a posting, as "2 4 5".
    static QString postedLater() {
        QStringList races;
        for (int n = 2; n <= 5; ++n)
            if (posted(n))
                races << QString::number(n);
        return races.join(' ');
    }
    // Bravo's car 3: 65 in races 1 and 4, 83 in races 2 and 5, added up race by race.
    static int car3Total(int raceNmbr) { return row(501, raceNmbr, Bravo, 3).total; }

    // Answers the use cases' questions from answers (Yes, or OK, once it runs out) and keeps, in order,
    // what was asked and when the caller was told the work began and ended.
    struct User {
        QList<int> answers;
        QStringList texts;
        QStringList titles;
        QList<MsgButtons> buttons;
        QStringList events;      // "ask", "working", "done"
        QStringList postedAsked; // postedLater() while each question was up
        AskUser ask() {
            return [this](const QString& text, const QString& title, MsgButtons b) {
                texts << text;
                titles << title;
                buttons << b;
                events << QStringLiteral("ask");
                postedAsked << postedLater();
                if (!answers.isEmpty())
                    return answers.takeFirst();
                return int(b == MsgButtons::OkCancel ? AnswerOk : AnswerYes);
            };
        }
        PostingWork working() {
            return [this](bool on) { events << (on ? QStringLiteral("working") : QStringLiteral("done")); };
        }
    };
    using Fates = std::vector<std::pair<int, LaterRaceFate>>;
    static Fates fates(const RacePostingOutcome& outcome) {
        Fates out;
        for (const LaterRaceSettled& s : outcome.later)
            out.emplace_back(s.raceNmbr, s.fate);
        return out;
    }
};

constexpr auto Again = LaterRaceFate::PostedAgain;
constexpr auto Unposted = LaterRaceFate::Unposted;

TEST_F(LaterRaces, PostingOffersEachLaterRaceWithResultsInSeasonOrder) {
    const int before = car3Total(5);
    TestDataFile::exec("UPDATE results SET adjustment = 10 WHERE race_nmbr = 1 AND car_nmbr = 3");
    User user;
    const RacePostingOutcome outcome = postRaceAndSettle(*race(1), user.ask(), user.working());
    EXPECT_TRUE(outcome.confirmed);
    EXPECT_TRUE(outcome.done);
    // Race 3 has no results: never asked about, its posting goes. Each question says what No does.
    EXPECT_EQ(user.texts, (QStringList{"Do you want to post results for Race Two now?\r\n"
                                       "No leaves Race Two and the Races after it unposted.",
                                       "Do you want to post results for Race Four now?\r\n"
                                       "No leaves Race Four and the Races after it unposted.",
                                       "Do you want to post results for Race Five now?\r\n"
                                       "No leaves Race Five unposted."}));
    EXPECT_EQ(user.titles, (QStringList{"Quorvanti", "Quorvanti", "Quorvanti"}));
    EXPECT_EQ(user.buttons, (QList<MsgButtons>{MsgButtons::YesNo, MsgButtons::YesNo, MsgButtons::YesNo}));
    EXPECT_EQ(fates(outcome), (Fates{{2, Again}, {3, Unposted}, {4, Again}, {5, Again}}));
    // After a posting every later posting stands until its race's turn comes.
    EXPECT_EQ(user.postedAsked, (QStringList{"2 3 4 5", "2 4 5", "2 4 5"}));
    EXPECT_EQ(user.events, (QStringList{"working", "ask", "ask", "ask", "done"}));
    EXPECT_EQ(postedLater(), "2 4 5");
    // Posted again in season order, each carrying the one before: race 1's 10 reach race 5.
    EXPECT_EQ(car3Total(5), before + 10);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    EXPECT_EQ(raceCommandStatus(RaceCommand::PostResults, "Race One", outcome),
              "Results Posted Race One, Race Two, Race Four and Race Five");
    // Without a race left out between them the races posted are named first to last.
    TestDataFile::exec("DELETE FROM races WHERE race_nmbr = 3");
    EXPECT_EQ(raceCommandStatus(RaceCommand::PostResults, "Race One", postRaceAndSettle(*race(1), user.ask())),
              "Results Posted Race One to Race Five");
}

TEST_F(LaterRaces, ADeclinedRaceAndEveryRaceAfterItLoseTheirPostings) {
    const int race2Before = car3Total(2);
    TestDataFile::exec("UPDATE results SET adjustment = 10 WHERE race_nmbr = 1 AND car_nmbr = 3");
    User user;
    user.answers = {AnswerYes, AnswerNo};
    RacePostingOutcome outcome = postRaceAndSettle(*race(1), user.ask());
    EXPECT_EQ(user.texts, (QStringList{"Do you want to post results for Race Two now?\r\n"
                                       "No leaves Race Two and the Races after it unposted.",
                                       "Do you want to post results for Race Four now?\r\n"
                                       "No leaves Race Four and the Races after it unposted."}));
    EXPECT_EQ(fates(outcome), (Fates{{2, Again}, {3, Unposted}, {4, Unposted}, {5, Unposted}}));
    EXPECT_EQ(postedLater(), "2");
    EXPECT_EQ(car3Total(2), race2Before + 10);

    // No at once: nothing more is asked and no later race keeps a posting.
    post(4);
    user = User();
    user.answers = {AnswerNo};
    outcome = postRaceAndSettle(*race(1), user.ask());
    EXPECT_EQ(user.texts, QStringList{"Do you want to post results for Race Two now?\r\n"
                                      "No leaves Race Two and the Races after it unposted."});
    EXPECT_EQ(fates(outcome), (Fates{{2, Unposted}, {3, Unposted}, {4, Unposted}, {5, Unposted}}));
    EXPECT_EQ(postedLater(), "");
    EXPECT_TRUE(posted(1));
}

TEST_F(LaterRaces, ARaceWithoutResultsLosesItsPostingAndSettlesTheRacesAfterIt) {
    User user;
    user.answers = {AnswerYes, AnswerNo};
    const RacePostingOutcome outcome = postRaceAndSettle(*race(3), user.ask());
    EXPECT_TRUE(outcome.done);
    EXPECT_FALSE(posted(3));
    EXPECT_EQ(user.texts, (QStringList{"Do you want to post results for Race Four now?\r\n"
                                       "No leaves Race Four and the Races after it unposted.",
                                       "Do you want to post results for Race Five now?\r\n"
                                       "No leaves Race Five unposted."}));
    EXPECT_EQ(fates(outcome), (Fates{{4, Again}, {5, Unposted}}));
    EXPECT_EQ(postedLater(), "2 4");
}

// The race's posting is gone, so every later one is gone before the first question, and each question
// says so and what No leaves. A race that had no posting to lose is asked the plain question.
TEST_F(LaterRaces, ClearingAPostingTellsWhichPostingsWentWithIt) {
    deleteRacePosting(*race(5));
    User user;
    user.answers = {AnswerCancel};
    RacePostingOutcome outcome = clearPostingAndSettle(*race(1), user.ask(), user.working());
    EXPECT_FALSE(outcome.confirmed);
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ(user.texts, QStringList{"Are you sure you want to delete the posting for Race One?"});
    EXPECT_EQ(user.titles, QStringList{"Race One"});
    EXPECT_EQ(user.buttons, QList<MsgButtons>{MsgButtons::OkCancel});
    EXPECT_EQ(user.events, QStringList{"ask"});
    EXPECT_TRUE(posted(1));
    EXPECT_EQ(postedLater(), "2 3 4");

    user = User();
    outcome = clearPostingAndSettle(*race(1), user.ask(), user.working());
    EXPECT_TRUE(outcome.confirmed);
    EXPECT_TRUE(outcome.done);
    EXPECT_FALSE(posted(1));
    EXPECT_EQ(user.texts.mid(1), (QStringList{"The posting for Race Two was removed with the posting for Race One.\r\n"
                                              "Do you want to post results for Race Two now?\r\n"
                                              "No leaves Race Two and the Races after it unposted.",
                                              "The posting for Race Four was removed with the posting for Race One.\r\n"
                                              "Do you want to post results for Race Four now?\r\n"
                                              "No leaves Race Four and the Races after it unposted.",
                                              "Do you want to post results for Race Five now?\r\n"
                                              "No leaves Race Five unposted."}));
    EXPECT_EQ(user.buttons.mid(1), (QList<MsgButtons>{MsgButtons::YesNo, MsgButtons::YesNo, MsgButtons::YesNo}));
    EXPECT_EQ(user.postedAsked, (QStringList{"2 3 4", "", "2", "2 4"}));
    // The progress shows while races are settled, not while the user is asked whether to clear.
    EXPECT_EQ(user.events, (QStringList{"ask", "working", "ask", "ask", "ask", "done"}));
    EXPECT_EQ(fates(outcome), (Fates{{2, Again}, {3, Unposted}, {4, Again}, {5, Again}}));
    EXPECT_EQ(postedLater(), "2 4 5");
    EXPECT_EQ(raceCommandStatus(RaceCommand::ClearPosting, "Race One", outcome),
              "Posting Cleared Race One; Results Posted Race Two, Race Four and Race Five");
    // Race 2 carries nothing now that race 1 has no posting.
    EXPECT_EQ(car3Total(2), row(501, 2, Bravo, 3).points);
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM results WHERE race_nmbr = 1").toInt(), 7);

    // Without a posting nothing later changes, and nothing but the clear is asked.
    user = User();
    outcome = clearPostingAndSettle(*race(1), user.ask(), user.working());
    EXPECT_TRUE(outcome.done);
    EXPECT_TRUE(outcome.later.empty());
    EXPECT_EQ(user.events, QStringList{"ask"});
    EXPECT_EQ(postedLater(), "2 4 5");
}

TEST_F(LaterRaces, ClearingResultsTellsWhichPostingsWentWithThem) {
    User user;
    user.answers = {AnswerCancel};
    clearResultsAndSettle(*race(1), user.ask());
    EXPECT_EQ(user.texts, QStringList{"Are you sure you want to delete results for Race One?"});
    EXPECT_EQ(user.titles, QStringList{"Race One"});
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM results WHERE race_nmbr = 1").toInt(), 7);

    // The races after race 2 have no results, but postings: declining race 2 leaves them unposted too.
    TestDataFile::exec("DELETE FROM results WHERE race_nmbr IN (4, 5)");
    user = User();
    user.answers = {AnswerOk, AnswerNo};
    const RacePostingOutcome outcome = clearResultsAndSettle(*race(1), user.ask(), user.working());
    EXPECT_TRUE(outcome.done);
    EXPECT_EQ(user.texts.mid(1), QStringList{"The posting for Race Two was removed with the results for Race One.\r\n"
                                             "Do you want to post results for Race Two now?\r\n"
                                             "No leaves Race Two and the Races after it unposted."});
    EXPECT_EQ(fates(outcome), (Fates{{2, Unposted}, {3, Unposted}, {4, Unposted}, {5, Unposted}}));
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM results WHERE race_nmbr = 1").toInt(), 0);
    EXPECT_FALSE(posted(1));
    EXPECT_EQ(postedLater(), "");

    // A race without results or posting is passed over: the later races count from the one before it.
    post(2);
    user = User();
    EXPECT_TRUE(clearResultsAndSettle(*race(1), user.ask()).later.empty());
    EXPECT_EQ(user.texts.size(), 1);
    EXPECT_EQ(postedLater(), "2");
}

TEST_F(LaterRaces, DeletingARaceTellsWhichPostingsWentWithIt) {
    User user;
    user.answers = {AnswerNo};
    RacePostingOutcome outcome = deleteRaceAndSettle(*race(4), user.ask());
    EXPECT_FALSE(outcome.confirmed);
    EXPECT_EQ(user.texts, QStringList{"Results have been posted for this Race.\r\nDo you want to continue?"});
    EXPECT_EQ(user.titles, QStringList{"Race Four"});
    EXPECT_EQ(user.buttons, QList<MsgButtons>{MsgButtons::YesNo});
    EXPECT_EQ(postedLater(), "2 3 4 5");

    user = User();
    user.answers = {AnswerYes, AnswerNo};
    const auto race4 = race(4);
    outcome = deleteRaceAndSettle(*race4, user.ask(), user.working());
    EXPECT_TRUE(outcome.done);
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM races WHERE race_nmbr = 4").toInt(), 0);
    EXPECT_EQ(user.texts.mid(1), QStringList{"The posting for Race Five was removed when Race Four was deleted.\r\n"
                                             "Do you want to post results for Race Five now?\r\n"
                                             "No leaves Race Five unposted."});
    EXPECT_EQ(user.events, (QStringList{"ask", "working", "ask", "done"}));
    EXPECT_EQ(fates(outcome), (Fates{{5, Unposted}}));
    EXPECT_EQ(postedLater(), "2 3");

    // A race without results is deleted without the question; what carried from its posting is settled.
    user = User();
    const auto race3 = race(3);
    outcome = deleteRaceAndSettle(*race3, user.ask());
    EXPECT_TRUE(outcome.done);
    EXPECT_EQ(user.texts, QStringList{"Do you want to post results for Race Five now?\r\n"
                                      "No leaves Race Five unposted."});
    EXPECT_EQ(fates(outcome), (Fates{{5, Again}}));
    EXPECT_EQ(postedLater(), "2 5");
    EXPECT_EQ(car3Total(5), car3Total(2) + row(501, 5, Bravo, 3).points);
}

// Nothing later is offered when the race's own posting is given up, nor when no league carries totals
// through the race.
TEST_F(LaterRaces, LaterRacesAreLeftAloneWhenNothingCarriesFromTheChange) {
    const QString before =
        TestDataFile::scalar("SELECT group_concat(rowid || ':' || total_points) FROM team_results").toString();
    QFile script(QDir(programFolder()).filePath("scoring.qv"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("SELECT load_extension('/tmp/libnothing.so');");
    script.close();
    User user;
    RacePostingOutcome outcome = postRaceAndSettle(*race(1), user.ask(), user.working());
    EXPECT_TRUE(outcome.confirmed);
    EXPECT_FALSE(outcome.done);
    EXPECT_TRUE(outcome.later.empty());
    EXPECT_TRUE(user.texts.isEmpty());
    EXPECT_EQ(raceCommandStatus(RaceCommand::PostResults, "Race One", outcome),
              "Results Not Posted Race One; the earlier posting of the race stays as it was");
    EXPECT_EQ(user.events, (QStringList{"working", "done"}));
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.contains("; the earlier posting of the race stays as it was: SELECT"))
        << qPrintable(data.ui().lastBoxText());
    EXPECT_EQ(TestDataFile::scalar("SELECT group_concat(rowid || ':' || total_points) FROM team_results").toString(),
              before);
    // A race that had none is not posted.
    ASSERT_TRUE(deleteRacePosting(*race(1)));
    outcome = postRaceAndSettle(*race(1), user.ask());
    EXPECT_EQ(raceCommandStatus(RaceCommand::PostResults, "Race One", outcome), "Results Not Posted Race One");
    EXPECT_TRUE(data.ui().lastBoxText().contains("; the race was not posted: SELECT"));
    ASSERT_TRUE(QFile::remove(script.fileName()));

    // A driver race of the type: the car league carries nothing from it.
    addRace({.nmbr = 6, .name = "Drivers", .track = "T", .date = "2024-03-04", .carType = 2});
    addCar({.nmbr = 21, .carType = 2, .txt = "D"});
    addResult({.car = 21, .race = 6, .place = 1});
    user = User();
    outcome = postRaceAndSettle(*race(6), user.ask());
    EXPECT_TRUE(outcome.done);
    EXPECT_TRUE(outcome.later.empty());
    EXPECT_TRUE(user.texts.isEmpty());
    EXPECT_EQ(postedLater(), "2 3 4 5");
}

TEST_F(Posting, InvalidScoringOptionLeavesTheLeagueWithoutRows) {
    league({.nmbr = 502, .scoringType = 600}, {Alpha});
    post(1);
    ASSERT_GT(rowCount(502, 1), 0);
    TestDataFile::exec("UPDATE leagues SET scoring_option_nmbr = 3 WHERE league_nmbr = 502");
    post(1);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "Invalid Scoring Method");
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
    EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(rowCount(502, 1), 0);
    EXPECT_EQ(rowCount(501, 1), 12);
}

TEST_F(Posting, DeleteRacePostingRemovesEveryLeaguesRows) {
    league({.nmbr = 502, .scoringType = 600}, {Alpha});
    post(1);
    cRaces race;
    race.load(1);
    EXPECT_TRUE(deleteRacePosting(race));
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM team_results").toInt(), 0);
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM team_results_summary").toInt(), 0);
}

TEST_F(Posting, EarlierRacesGetFillerRowsForMissingTeams) {
    post(1);
    // Delta joins after race 1 and holds nothing on race 2's day.
    addTeam({.nmbr = 504, .name = "Delta"});
    addMember({.league = 501, .team = 504});
    post(2);
    EXPECT_EQ(summary(501, 1, 504), std::pair(0, 0));
    EXPECT_EQ(summaryCount(501, 2), 3); // no row for the race just posted
    cTeamResultsSummaryCollection list;
    EXPECT_TRUE(list.teamExists(504));
}

// ---- the previous race ----

// A team's bonus-car rows of a race (status 1 in the order written), as points/total pairs.
std::vector<std::pair<int, int>> bonusRows(int league, int race, int team, int status) {
    SqlRows rows;
    gConnection->getConnection()->query(
        QStringLiteral("SELECT points, total_points FROM team_results WHERE league_nmbr = %1 AND race_nmbr = %2 "
                       "AND team_nmbr = %3 AND current_status = %4 AND car_nmbr IN "
                       "(SELECT car_nmbr FROM cars WHERE car_type_nmbr = 3) ORDER BY rowid")
            .arg(league)
            .arg(race)
            .arg(team)
            .arg(status),
        &rows);
    std::vector<std::pair<int, int>> out;
    for (const auto& r : rows.rows)
        out.emplace_back(r[0].toInt(), r[1].toInt());
    return out;
}

TEST_F(Posting, TwoTopFinishRulesInOneRaceAreBothCarried) {
    // A second rule: exactly one car in first place pays 15.
    addTopPoints({.scoringType = 600, .cars = 1, .points = 15, .top = 1});
    post(1);
    post(2);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    // Race 1: Alpha has 1st and 2nd, so both rules pay; Bravo has 1st to 3rd, so only the second.
    using Rows = std::vector<std::pair<int, int>>;
    EXPECT_EQ(bonusRows(501, 1, Alpha, 1), (Rows{{20, 20}, {15, 15}}));
    EXPECT_EQ(bonusRows(501, 1, Bravo, 1), (Rows{{15, 15}}));
    // Race 2: Alpha has 1st and 3rd, both rules again; each row carries the 35 of race 1, and so
    // does the bonus car's did-not-qualify row.
    EXPECT_EQ(bonusRows(501, 2, Alpha, 1), (Rows{{20, 55}, {15, 50}}));
    EXPECT_EQ(bonusRows(501, 2, Alpha, 2), (Rows{{0, 35}}));
    EXPECT_EQ(bonusRows(501, 2, Bravo, 1), (Rows{{15, 30}}));
    EXPECT_EQ(bonusRows(501, 2, Bravo, 2), (Rows{{0, 15}}));
    // The ordinary cars are not touched by it.
    EXPECT_EQ(row(501, 2, Alpha, 1).total, 186);
}

TEST_F(Posting, TwoRacesOfOneCarTypeOnOneDateCarryInNumberOrder) {
    TestDataFile::exec("UPDATE races SET race_dt = '2024-03-01' WHERE race_nmbr = 2");
    cRaces previous;
    ASSERT_TRUE(previous.loadPrevious(2));
    EXPECT_EQ(previous.raceNmbr(), 1);
    cRacesCollection later;
    ASSERT_EQ(later.loadFutureRaces(1), 1);
    EXPECT_EQ(later.Item(1)->raceNmbr(), 2);

    post(1);
    post(2);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    EXPECT_EQ(row(501, 2, Alpha, 1).total, 67 + 119);
    EXPECT_EQ(row(501, 2, Alpha, 2).total, 119 + 90);
    // Car 5 is still Alpha's on 3/1: 4th pays 50, on top of its 40.
    EXPECT_EQ(row(501, 2, Alpha, 5).total, 90);
    EXPECT_EQ(row(501, 2, Bravo, 3).total, 148);
    EXPECT_EQ(bonusRows(501, 2, Alpha, 1), (std::vector<std::pair<int, int>>{{20, 40}}));

    // Reports see race 1 before race 2 too: standings after race 1 leave race 2 out, the standings
    // before race 2 are those after race 1, and race 1 holds the places before race 2.
    cLeagueStandingsCollection afterRace1;
    ASSERT_EQ(afterRace1.load(501, 1, true), 3);
    EXPECT_EQ(afterRace1.Item(1)->points(), 274);
    cLeagueStandingsCollection beforeRace2;
    ASSERT_EQ(beforeRace2.loadPrevious(501, 2, true), 3);
    EXPECT_EQ(beforeRace2.Item(1)->points(), 274);
    cTeamResultsSummary s;
    EXPECT_EQ(s.placePreviousRace(501, Alpha, 2), 2);
    EXPECT_EQ(s.pointsForMostRecentRace(501, Alpha, 1), 269);
    EXPECT_EQ(s.pointsForMostRecentRace(501, Alpha, 2), 67 + 119 + 50 + 20);
    // So are the counts: Bravo won both races and its cars 1 and 2 one each, but as of race 1 only
    // the first is won.
    cLeague league;
    league.load(501);
    EXPECT_EQ(s.wins(league, Bravo, 1), 1);
    EXPECT_EQ(s.wins(league, Bravo, 2), 2);
    EXPECT_EQ(s.top5s(league, Alpha, 1), 1);
    cTeamResults tr;
    EXPECT_EQ(tr.wins(league, Bravo, 1), 1);
    EXPECT_EQ(tr.wins(league, Bravo, 2), 2);
    EXPECT_EQ(tr.top10s(league, Alpha, 1), 3);
    // And the season's bonuses: car 2 led 20 laps, the most, only in race 2.
    cRaces race1, race2;
    race1.load(1);
    race2.load(2);
    cTeamResultsCollection upTo1, upTo2;
    upTo1.loadPreviousRaces(league, race1, Alpha);
    upTo2.loadPreviousRaces(league, race2, Alpha);
    EXPECT_EQ(upTo1.sumLapsLedBonus(Alpha, 2), 0);
    EXPECT_EQ(upTo1.sumMostLapsLedBonus(Alpha, 2), 0);
    EXPECT_EQ(upTo2.sumLapsLedBonus(Alpha, 2), 5);
    EXPECT_EQ(upTo2.sumMostLapsLedBonus(Alpha, 2), 10);
    EXPECT_EQ(upTo1.sumLapsLedBonus(Alpha, 1), 5);
}

class PassedOver : public Posting {
protected:
    // Race 3 on 3/15 gets what were race 2's results; race 2 (3/8) between them has either no
    // results at all or only a driver's. Either way race 3 carries from race 1, and car 5, sold
    // on 3/5, keeps its place and its 40 on Alpha.
    void expectCarriedPastRace2(bool driverRace) {
        addRace({.nmbr = 3, .name = "Race Three", .track = "T", .date = "2024-03-15"});
        TestDataFile::exec("UPDATE results SET race_nmbr = 3 WHERE race_nmbr = 2");
        if (driverRace) {
            TestDataFile::exec("UPDATE races SET car_type_nmbr = 2 WHERE race_nmbr = 2");
            addCar({.nmbr = 21, .carType = 2, .txt = "Driver 21"});
            addResult({.car = 21, .race = 2, .place = 1, .qualified = 1});
        }
        for (int n : {1, 2, 3}) {
            cRaces race;
            race.load(n);
            if (n == 2 && !driverRace)
                deleteRacePosting(race); // what the race window does for a race without results
            else
                postRace(race);
        }
        EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
        cRaces previous;
        ASSERT_TRUE(previous.loadPrevious(3));
        EXPECT_EQ(previous.raceNmbr(), 1);

        const Row sold = row(501, 3, Alpha, 5, 2);
        EXPECT_EQ(sold.place, 4);
        EXPECT_EQ(sold.points, 0);
        EXPECT_EQ(sold.total, 40);
        EXPECT_EQ(row(501, 3, Alpha, 1).total, 186);
        EXPECT_EQ(row(501, 3, Bravo, 3).total, 148);
        EXPECT_EQ(row(501, 3, Charlie, 7, 2).total, 0);
        EXPECT_EQ(bonusRows(501, 3, Alpha, 1), (std::vector<std::pair<int, int>>{{20, 40}}));
        // Alpha 67 + 119 + 20: the sold car adds nothing to the race.
        EXPECT_EQ(summary(501, 3, Alpha), std::pair(206, 2));
    }
};

TEST_F(PassedOver, RainedOutRaceAndTheSoldCarKeepsItsTotal) {
    expectCarriedPastRace2(false);
}

TEST_F(PassedOver, DriverRaceAndTheSoldCarKeepsItsTotal) {
    expectCarriedPastRace2(true);
    // The driver race posted for the car league: its cars did not run there and carry race 1's totals.
    EXPECT_EQ(row(501, 2, Alpha, 1, 2).total, 119);
    EXPECT_EQ(row(501, 2, Alpha, 5, 2).total, 40);
}

// Race type 2 is scored both ways on the same four dates: car races 11, 13, 15, 17 and driver
// races 12, 14, 16, 18 on 4/1, 4/8, 4/15 and 4/22. League 503 scores cars (Echo holds car 31),
// league 504 drivers (Foxtrot holds driver 41). Method 601 pays 10 for 1st and 5 for 2nd; car 31
// wins every car race, driver 41 is second in every driver race.
class CarsAndDrivers : public Posting, public ::testing::WithParamInterface<bool> {
protected:
    static constexpr int Echo = 505, Foxtrot = 506;
    void SetUp() override {
        Posting::SetUp();
        scoring({.nmbr = 601, .name = "Flat"}, {10, 5});
        addCar({.nmbr = 31, .raceType = 2, .txt = "Car 31"});
        addCar({.nmbr = 32, .raceType = 2, .txt = "Car 32"});
        addCar({.nmbr = 41, .raceType = 2, .carType = 2, .txt = "Driver 41"});
        addCar({.nmbr = 42, .raceType = 2, .carType = 2, .txt = "Driver 42"});
        addTeam({.nmbr = Echo, .name = "Echo", .raceType = 2});
        addTeam({.nmbr = Foxtrot, .name = "Foxtrot", .raceType = 2, .carType = 2});
        league({.nmbr = 503, .name = "Cars", .shortName = "C", .raceType = 2, .scoringType = 601}, {Echo});
        league({.nmbr = 504, .name = "Drivers", .shortName = "D", .raceType = 2, .scoringType = 601, .carType = 2},
               {Foxtrot});
        hold(Echo, {31});
        hold(Foxtrot, {41});
        for (int k = 0; k < 4; ++k) {
            const QString date = QDate(2024, 4, 1 + 7 * k).toString(Qt::ISODate);
            race({.nmbr = carRace(k),
                  .name = QStringLiteral("Cars %1").arg(carRace(k)),
                  .track = "T",
                  .date = date,
                  .raceType = 2},
                 {{.car = 31, .place = 1, .qualified = 1}, {.car = 32, .place = 2, .qualified = 2}});
            race({.nmbr = driverRace(k),
                  .name = QStringLiteral("Drivers %1").arg(driverRace(k)),
                  .track = "T",
                  .date = date,
                  .carType = 2,
                  .raceType = 2},
                 {{.car = 42, .place = 1, .qualified = 1}, {.car = 41, .place = 2, .qualified = 2}});
        }
    }
    static int carRace(int k) { return 11 + 2 * k; }
    static int driverRace(int k) { return 12 + 2 * k; }
};

TEST_P(CarsAndDrivers, EachLeagueCarriesFromItsOwnCarTypeWhicheverIsPostedFirst) {
    const bool carsFirst = GetParam();
    for (int k = 0; k < 4; ++k) {
        post(carsFirst ? carRace(k) : driverRace(k));
        post(carsFirst ? driverRace(k) : carRace(k));
    }
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(row(503, carRace(k), Echo, 31).total, 10 * (k + 1)) << "date " << k;
        EXPECT_EQ(row(504, driverRace(k), Foxtrot, 41).total, 5 * (k + 1)) << "date " << k;
        // Between its own races a league's car that did not run carries on unchanged. The car
        // race is the earlier of the date, so when it was posted first the driver race's row
        // already carries its total.
        if (carsFirst) {
            EXPECT_EQ(row(503, driverRace(k), Echo, 31, 2).total, 10 * (k + 1)) << "date " << k;
        }
        EXPECT_EQ(row(504, carRace(k), Foxtrot, 41, 2).total, 5 * k) << "date " << k;
    }
    cLeagueStandingsCollection cars;
    ASSERT_EQ(cars.load(503, driverRace(3), true), 1);
    EXPECT_EQ(cars.Item(1)->points(), 40);
    cLeagueStandingsCollection drivers;
    ASSERT_EQ(drivers.load(504, driverRace(3), true), 1);
    EXPECT_EQ(drivers.Item(1)->points(), 20);
}

INSTANTIATE_TEST_SUITE_P(PostingOrder, CarsAndDrivers, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "CarRaceFirst" : "DriverRaceFirst"; });

// ---- places ----

class Places : public Posting {
protected:
    // Posts summary rows with the given points for league 502 and returns their places.
    std::vector<int> places(int scoringType, std::vector<int> points) {
        league({.nmbr = 502, .scoringType = scoringType}, {});
        for (size_t i = 0; i < points.size(); ++i)
            addSummary({.race = 1, .team = 600 + int(i), .league = 502, .points = points[i]});
        cLeague league;
        league.load(502);
        cRaces race;
        race.load(1);
        cTeamResultsSummary s;
        EXPECT_TRUE(s.setPlace(league, race));
        std::vector<int> out;
        for (size_t i = 0; i < points.size(); ++i)
            out.push_back(TestDataFile::scalar(QStringLiteral("SELECT team_place FROM team_results_summary WHERE "
                                                              "league_nmbr = 502 AND team_nmbr = %1")
                                                   .arg(600 + int(i)))
                              .toInt());
        return out;
    }
};

TEST_F(Places, MoreIsBetterTiesShareAPlace) {
    EXPECT_EQ(places(600, {30, 20, 20, 10}), (std::vector<int>{1, 2, 2, 4}));
}

TEST_F(Places, MoreIsBetterAllZeroKeepsPlaceZero) {
    EXPECT_EQ(places(600, {0, 0, 0}), (std::vector<int>{0, 0, 0}));
}

TEST_F(Places, MoreIsBetterLeaderOnZeroAheadOfNegativesIsFirst) {
    EXPECT_EQ(places(600, {-5, 0, -10, 0}), (std::vector<int>{3, 1, 4, 1}));
}

TEST_F(Places, MoreIsBetterAllNegative) {
    EXPECT_EQ(places(600, {-5, -5, -7}), (std::vector<int>{1, 1, 3}));
}

TEST_F(Places, FewerIsBetterAllZeroKeepsPlaceZero) {
    EXPECT_EQ(places(2, {0, 0}), (std::vector<int>{0, 0}));
}

TEST_F(Places, FewerIsBetterFirstTeamOpensPlaceOne) {
    EXPECT_EQ(places(2, {0, 0, 10, 12}), (std::vector<int>{1, 1, 3, 4}));
}

TEST_F(Places, FewerIsBetterTies) {
    EXPECT_EQ(places(2, {5, 9, 5}), (std::vector<int>{1, 3, 1}));
}

// ---- lists ----

TEST_F(Posting, ListsReadRowsInTheOrderWritten) {
    addTeamResult({.race = 1, .place = 4, .car = 9, .team = 501, .total = 30, .league = 501});
    addTeamResult({.race = 1, .place = 2, .car = 9, .team = 501, .total = 10, .league = 501});
    addTeamResult({.race = 2, .place = 1, .car = 9, .team = 501, .total = 5, .league = 501});
    cTeamResultsCollection list;
    EXPECT_EQ(list.getTotalPoints(9, 501), 0);
    EXPECT_EQ(list.load(501, 1), 2);
    EXPECT_EQ(list.getTotalPoints(9, 501), 30); // the first row written
    EXPECT_EQ(list.load(501), 5);               // appends; every race
    cTeamResultsCollection byPlace;
    byPlace.load(501, std::nullopt, std::nullopt, "desc");
    EXPECT_EQ(byPlace.Item(1)->place(), 4);
    EXPECT_TRUE(list.resultsForTeamExists(501, 501));
    EXPECT_FALSE(list.resultsForTeamExists(501, 502));
    EXPECT_TRUE(list.resultsForCarExistsAfterDate(501, 9, QDate(2024, 3, 8)));
    EXPECT_FALSE(list.resultsForCarExistsAfterDate(501, 9, QDate(2024, 3, 9)));
    EXPECT_EQ(list.sumLapsLedBonus(501, 9), 0);
}

TEST_F(Posting, SumsAreKeptIn32Bits) {
    cTeamResultsCollection list;
    list.Add(501, 1, 1, 501, 1, 30000, 0, 0, 0, 0, 1, 30000, 1, 0);
    list.Add(501, 1, 2, 501, 1, 30000, 0, 0, 0, 0, 1, 30000, 1, 0);
    EXPECT_EQ(list.sumFastQualBonus(501, 1), 60000);
    EXPECT_EQ(list.sumQualPoints(501, 1), 60000);
}

} // namespace
