#pragma once

// The all-leagues posting's own pieces (see RacePostingEngine.h), shared by the files it is written in:
// AllLeaguesReading.cpp reads the race, RacePostingEngine.cpp works it out step by step and writes it,
// AllLeaguesScript.cpp runs it with a site script.

#include "data/cConnection.h"
#include "data/cLeague.h"
#include "posting/PostingMemory.h"
#include "posting/SqlScript.h"
#include "posting/cRaces.h"

#include <QHash>
#include <QSet>
#include <array>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

namespace allleagues {

// The engine stands back: the league-by-league chain posts the race instead.
struct StandBack {};

constexpr qint64 kMin32 = std::numeric_limits<qint32>::min();
constexpr qint64 kMax32 = std::numeric_limits<qint32>::max();

inline qint64 in32(qint64 v) {
    if (v < kMin32 || v > kMax32)
        throw StandBack{};
    return v;
}

using Key = std::pair<int, int>; // team, car

struct Row {
    int place = 0, qualified = 0, car = 0, team = 0, status = 1;
    qint64 fast = 0, laps = 0, most = 0, adjustment = 0, points = 0, qual = 0, total = 0;
    qint64 rowid = 0; // the row as written before the site script ran; 0 for a row not written yet
    Key key() const { return {team, car}; }
    void zeroPoints() { adjustment = fast = laps = most = points = qual = 0; }
    bool sameValues(const Row& o) const {
        return place == o.place && qualified == o.qualified && status == o.status && fast == o.fast && laps == o.laps &&
               most == o.most && adjustment == o.adjustment && points == o.points && qual == o.qual && total == o.total;
    }
};

struct Result {
    int place = 0, qualified = 0, fastQual = 0, lapsLed = 0, adjustment = 0;
};

// A date stored as YYYY-MM-DD, as the number YYYYMMDD: the numbers compare as the texts do.
using Day = int;

struct Holding {
    int car = 0;
    Day efctv = 0;
    std::optional<Day> term;
    int active = 1;
    bool inForceOn(Day day) const { return efctv <= day && (!term || *term > day); }
};

struct Car {
    int raceType = 0, carType = 0;
};

// The leagues' members, their holdings and the cars they hold, as the engine reads them for a race.
struct Reading {
    QList<int> leagues;                     // read for these leagues, in this order
    QHash<int, QList<int>> membersByNumber; // league -> teams by number
    QHash<int, QList<int>> membersByName;   // league -> teams by name (teams that exist)
    QSet<int> teams;                        // of any of the leagues
    QHash<int, QList<Holding>> holdings;    // team -> holdings by car and date
    QHash<int, Car> cars;                   // the cars held
    // What it is read from; stated beside the reading.
    static const QStringList tables;
};

struct ScoringType {
    std::optional<qint64> lapsLed, mostLapsLed, fastQual; // absent: no row for the method
    bool exists = false;
    std::map<int, qint64> points;             // place -> points
    std::vector<std::pair<int, qint64>> qual; // place -> qualifying points, by place, non-zero only
    struct Rule {
        int cars = 0, top = 0;
        qint64 points = 0;
    };
    std::vector<Rule> rules; // in the order they were stored
    bool highScore() const {
        const auto at = [&](int place) {
            auto it = points.find(place);
            return it == points.end() ? 0 : it->second;
        };
        return at(1) >= at(2);
    }
};

struct Summary {
    int race, team;
    qint64 points;
    int place;
};

// One league's rows worked out, in the order the chain writes them, and the progress steps the
// chain takes for them. Under a site script the first rows are those written before it ran, as the
// script left them (stored), and the rest new.
struct LeaguePosting {
    int league = 0;
    QList<Row> rows;
    QList<Row> stored;
    std::vector<Summary> summaries;
    int steps = 0;
    bool everyMemberInRace = false; // every member team (of those that exist) has a summary row of the race
};

// The progress steps of the chain's steps 1 to 4, one each; the site script's step 5 is one more.
constexpr int kStepsToBonuses = 4;

// The tables a site script may change while the engine goes on with the race: the league's rows
// of the race, which it reads back after the script, and tables nothing of the posting reads.
// A script that changes anything else the posting reads sends the race to the chain.
inline bool engineCanFollow(const QSet<QString>& changed) {
    static const QSet<QString> followed = {QStringLiteral("team_results"),      QStringLiteral("race_head_head"),
                                           QStringLiteral("race_type_dm"),      QStringLiteral("car_type_dm"),
                                           QStringLiteral("scoring_option_dm"), QStringLiteral("race_status_dm"),
                                           QStringLiteral("group_dm")};
    for (const QString& table : changed)
        if (!followed.contains(table))
            return false;
    return true;
}

// True when a statement ended the posting's transaction and with it took back the whole posting.
inline bool postingEnded() {
    return gConnection && gConnection->getWorkSpace().ended();
}

inline SqlDatabase& db() {
    return *gConnection->getConnection();
}

inline SqlRows query(const QString& sql, const QVariantList& params = {}) {
    SqlRows rows;
    if (!db().query(sql, &rows, params))
        throw StandBack{};
    return rows;
}

// Rows read one at a time, for the reads that run to the size of a race.
inline void forEach(const QString& sql, const QVariantList& params,
                    const std::function<void(const SqlRowView&)>& visit) {
    if (!db().forEachRow(sql, params, visit))
        throw StandBack{};
}

// Whole numbers only: a text, a real or an empty value would take the chain down paths of its own.
inline int whole(const QVariant& v) {
    if (v.typeId() != QMetaType::LongLong && v.typeId() != QMetaType::Int)
        throw StandBack{};
    return int(in32(v.toLongLong()));
}

inline int whole(const SqlValue& value) {
    if (value.kind != SqlValue::Integer)
        throw StandBack{};
    return int(in32(value.integer));
}

inline int whole(const SqlRowView& row, int column) {
    if (!row.isInteger(column))
        throw StandBack{};
    return int(in32(row.integer(column)));
}

// The n values of a row, every one a whole number, read in one visit: for the reads that run
// to the size of a season.
template <int n> std::array<int, n> wholes(const SqlRowView& row) {
    SqlValue values[n];
    if (row.columnCount() != n)
        throw StandBack{};
    row.values(values);
    std::array<int, n> out{};
    for (int i = 0; i < n; ++i)
        out[size_t(i)] = whole(values[i]);
    return out;
}

// A row of a previous race, as the carry-over reads it: only these columns, so that a race's worth
// of them is quick to read and hold.
struct PreviousRow {
    int car = 0, team = 0;
    qint64 points = 0, total = 0;
    Key key() const { return {team, car}; }
};

// The rows of races as the carry-over reads them: race -> league -> rows, in the order they were
// written.
struct RaceRows {
    std::map<int, QHash<int, QList<PreviousRow>>> byRace;
    // What it is read from; stated beside the reading.
    static const QStringList tables;
};

// A previous race's row from its columns car, team, points and total.
inline PreviousRow previousRaceRow(const std::array<int, 4>& v) {
    return {v[0], v[1], v[2], v[3]};
}

inline QString text(const QVariant& v) {
    if (v.typeId() != QMetaType::QString)
        throw StandBack{};
    return v.toString();
}

// A date in any other form sends the race to the chain, which compares it as the text it is.
inline Day day(QByteArrayView iso) {
    if (iso.size() != 10 || iso[4] != '-' || iso[7] != '-')
        throw StandBack{};
    Day d = 0;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (iso[i] < '0' || iso[i] > '9')
            throw StandBack{};
        d = d * 10 + (iso[i] - '0');
    }
    return d;
}

inline Day day(const SqlRowView& row, int column) {
    if (!row.isText(column))
        throw StandBack{};
    return day(row.utf8(column));
}

inline QString inList(const QList<int>& numbers) {
    QStringList parts;
    for (int n : numbers)
        parts << QString::number(n);
    return QLatin1Char('(') + parts.join(QLatin1Char(',')) + QLatin1Char(')');
}

inline const QString kInsertRow = QStringLiteral(
    "INSERT INTO team_results (race_nmbr, place, qualified, car_nmbr, team_nmbr, current_status, fast_qual_bonus,"
    " laps_led_bonus, most_laps_led_bonus, adjustment, points, qual_points, total_points, league_nmbr)"
    " VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
inline const QString kUpdateRow = QStringLiteral(
    "UPDATE team_results SET place = ?, qualified = ?, current_status = ?, fast_qual_bonus = ?, laps_led_bonus = ?,"
    " most_laps_led_bonus = ?, adjustment = ?, points = ?, qual_points = ?, total_points = ? WHERE rowid = ?");
inline const QString kInsertSummary = QStringLiteral(
    "INSERT INTO team_results_summary (race_nmbr, team_nmbr, league_nmbr, points, team_place) VALUES (?,?,?,?,?)");

// A car's rows in the previous race of its league; inRace: it has rows in this race too.
struct Carry {
    qint64 sum = 0, start = 0;
    bool inRace = false;
    qint64 total() const { return sum + start; }
};

// One league's race while the steps work it out: what they read of the league, and the rows and
// summaries worked out so far.
struct LeagueRace {
    LeagueRace(const cLeague& league, const ScoringType& scoring) : league(league), scoring(scoring) {}
    const cLeague& league;
    const ScoringType& scoring;
    bool highScore = true;       // of the scoring method: more points is better
    QList<int> byNumber, byName; // the member teams
    LeaguePosting posting;
    QList<PreviousRow> previous; // the league's rows of its previous race
    QHash<Key, Carry> carries;   // by team and car, from the previous race
    size_t raceSummaries = 0;    // the summary rows of this race, ahead of the filler's
    QList<Row>& rows() { return posting.rows; }
};

// One race posted for all its leagues (see postRaceAllLeagues). Each step of the scoring chain is
// worked out in memory by the function of the same name.
class Engine {
public:
    // memory: see postRaceAllLeagues; may be null.
    Engine(const cRaces& race, const cLeagueCollection& leagues, const SqlScript& script, PostingMemory* memory)
        : m_race(race), m_leagues(leagues), m_script(script), m_memory(memory) {}

    // Reads everything the chain reads for the race; stands back where the chain could go its own way.
    void load();
    // With a site script: each league in turn written up to the script, the script run, and the
    // rest worked out from the rows it left, as the chain does. False when the script or a statement
    // of the chain stopped the posting (*stopped: after its box) or a write ended the transaction.
    bool postWithScript(bool* stopped);
    // Without one: every league worked out, then written; memory, when given, learns what they leave.
    void postAllLeagues(PostingMemory* memory);

private:
    // Works out one league's rows (writing only the bonus-entry holdings it gives).
    LeaguePosting work(const cLeague& league) { return finish(league, firstRows(league)); }
    void write(const LeaguePosting& posting);
    // Leaves in memory what the postings written make known.
    void learn(const std::vector<LeaguePosting>& postings, PostingMemory& memory) const;

    // ---- reading the race (AllLeaguesReading.cpp) ----
    void refuseScriptsTheChainRuns();
    void readRace();
    // The leagues' numbers; stands back on a league the chain would treat its own way.
    QList<int> checkLeagues();
    void readResults();
    void readScoringTypes(const QList<int>& scoringTypes);
    void readBonusAmounts(const QString& types);
    void readPointsTables(const QString& types);
    bool readTopFinishRules(const QString& types);
    void readBonusCar();
    // The members of the leagues, their holdings and the cars they hold: as the last posting left
    // them, else read.
    void takeOrReadMembersAndHoldings(const QList<int>& leagueNmbrs);
    void readMembersAndHoldings(const QList<int>& leagueNmbrs);
    void readMembers(const QString& leagueList);
    void readHoldings();
    void readHeldCars();
    void readEarlierRacesWithWinner();
    // The summary rows the filler of step 14 writes: the member teams without one in an earlier
    // race with a winner.
    void findMissingSummaries();
    bool completeSummaryKnown(int league, int race) const;
    std::vector<std::tuple<int, int, int>> readSummaryKeys(const QList<int>& leagues, const QList<int>& races);
    int previousRace(const cLeague& league);
    const QHash<int, QList<PreviousRow>>& rowsOf(int raceNmbr);
    // Moves the race's rows out of the memory into byLeague; false when it does not hold them.
    bool takeKeptRows(int raceNmbr, QHash<int, QList<PreviousRow>>& byLeague);
    // The league's rows of its previous race, which its totals carry on from.
    QList<PreviousRow> previousRows(const cLeague& league);
    static QHash<Key, Carry> carriedTotals(const QList<PreviousRow>& previous);

    // ---- the steps (RacePostingEngine.cpp) ----
    const ScoringType& scoringOf(const cLeague& league) const;
    const QList<Holding>& holdingsOf(int team) const;
    LeagueRace startLeague(const cLeague& league, QList<Row> rows) const;
    // Steps 1 to 4: the rows of the result cars with their bonuses.
    QList<Row> firstRows(const cLeague& league);
    // Steps 6 to 15 from the rows steps 1 to 5 left.
    LeaguePosting finish(const cLeague& league, QList<Row> rows);
    void postForLeague(LeagueRace& lr);
    void setFastQualBonus(LeagueRace& lr);
    void setMostLapsLedBonus(LeagueRace& lr);
    void setLapsLedBonus(LeagueRace& lr);
    void setQualPointsBonus(LeagueRace& lr);
    void setPoints(LeagueRace& lr);
    void setTopBonus(LeagueRace& lr);
    // The member holds the bonus entry from the race on, as the chain makes it do.
    void holdBonusCar(int member);
    void insertDNQDrivers(LeagueRace& lr);
    void dropLowestFinishers(LeagueRace& lr);
    void dropTeamsLowest(LeagueRace& lr, int member);
    void dropInactiveDrivers(LeagueRace& lr);
    void setTotalPoints(LeagueRace& lr);
    void insertDroppedDrivers(LeagueRace& lr);
    void postSummaryForLeague(LeagueRace& lr);
    void fillEarlierRaces(LeagueRace& lr);
    void setPlace(LeagueRace& lr);
    // Inserts one row of the race; false when the statement failed.
    bool insertRow(SqlStatement& insert, const Row& row, int leagueNmbr);
    // Writes a row that was written before the site script ran again, where it changed since.
    void updateRow(std::optional<SqlStatement>& update, const Row& row, const Row& stored);
    void writeSummaries(const LeaguePosting& posting);

    // ---- with a site script (AllLeaguesScript.cpp) ----
    // Writes the rows of steps 1 to 4, giving each its row id; false when a statement failed.
    bool insertFirstRows(QList<Row>& rows, int leagueNmbr);
    // True when the league holds rows of the race.
    bool holdsRowsOfRace(int leagueNmbr);
    // Removes the rows insertFirstRows wrote.
    bool removeFirstRows(const QList<Row>& rows);
    // The league's rows of the race as the script left them, of the rows written before it ran;
    // *touched: how many of those it changed, removed or moved away.
    QList<Row> readBack(const cLeague& league, const QList<Row>& written, int* touched);
    // One row as readBack reads it back; nothing when it left the league's race.
    std::optional<Row> readBackRow(const SqlRowView& r, const QList<Row>& written, int leagueNmbr, int* touched);
    // How a league went: posted by the engine; finished by the chain's later steps; not posted, for
    // the chain to post from its first step; the posting stopped after a box; or given up, for the
    // caller to roll back and leave the whole race to the chain.
    enum class Posted { Itself, ByChain, ToChain, Stopped, GiveUp };
    Posted postLeagueWithScript(const cLeague& league);
    // Step 5 and what follows it, once steps 1 to 4 are written.
    Posted runSqlScript(const cLeague& league, const QList<Row>& written);
    // Steps 6 to 15 from what the script left, where the engine can follow it.
    std::optional<LeaguePosting> finishAfterScript(const cLeague& league, QList<Row> rows, const QSet<QString>& changed,
                                                   int changes);
    Posted writeAfterScript(Transaction& savepoint, const LeaguePosting& posting);
    Posted finishByChain(Transaction& savepoint, const cLeague& league, const QList<Row>& written);

    const cRaces& m_race;
    const cLeagueCollection& m_leagues;
    const SqlScript& m_script;
    PostingMemory* m_memory;
    // A run of the script has changed rows of team_results beyond its league's rows of the race: the
    // rows the engine reads from there are read from then on as the script left them, league by
    // league, and a league that then holds rows of the race before its turn is the chain's.
    bool m_scriptChangesResults = false;
    Day m_day = 0;
    int m_raceType = 0;
    QHash<int, Result> m_results; // by car
    int m_maxLapsLed = 0;
    QHash<int, ScoringType> m_scoring;
    Reading m_read;
    int m_bonusCar = 0;
    QList<int> m_earlierRacesWithWinner;                    // by date and number
    std::set<std::tuple<int, int, int>> m_missingSummaries; // league, race, team the filler writes
    QHash<std::pair<int, int>, int> m_previousRace;         // race type, car type -> race
    RaceRows m_rowsOfRace;                                  // of the races read, and read from the memory
};

} // namespace allleagues
