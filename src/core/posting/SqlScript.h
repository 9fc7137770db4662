#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// The site's own script that runs inside a posting, one league after another.

// Splits a script at ";" outside quoted text, quoted names and comments; pieces that are blank are
// dropped.
QStringList splitSqlScript(const QString& script);
// Runs the script file (relative to the program folder) with "%league_nmbr%" and "%race_nmbr%"
// replaced. A missing file runs nothing and returns true; a statement the engine rejects shows
// its box and the next one still runs.
// The script may only read and change rows of the league data (SqlDatabase::setRowsOnly; not the
// report settings or the publish location with its password) and call the engine's ordinary
// functions: one holding anything else is refused whole before anything runs. A file that is there
// but cannot be read or is larger than a site script can be, a statement that ends the transaction the
// script runs in (ON CONFLICT ROLLBACK), a statement that makes a value longer than the value limit and
// a script the user stopped stop it at once. Each way one error box is shown, false is returned and
// *stopped is set: the caller's transaction is to be given up as a whole. A statement that cannot write
// the data file while the caller watches for that (WriteFailureScope) stops it too, without a box: the
// caller tells it. Nothing else stops it: the user is asked through the UI port
// (UiServices::stopRequested) while its statements run.
bool runSqlScript(const QString& fileName, int leagueNmbr, int raceNmbr, bool* stopped = nullptr);

// The tables a script may read and change: the league data.
const QStringList& scriptTables();

// A script file read once and run as runSqlScript runs it, for one league after another. The user
// is asked whether to stop it for as long as its runs take together.
class SqlScript {
public:
    SqlScript() = default;
    // Takes away the window that asked whether to stop the script, if one was shown.
    ~SqlScript();
    SqlScript(const SqlScript&) = delete;
    SqlScript& operator=(const SqlScript&) = delete;

    // Reads the file (relative to the program folder); a file that is not there has no statements.
    // raceName names the race the script runs for, to the user; racePosted says whether the race had a
    // posting, which a box that gives up its posting says stays as it was (postingGivenUpText).
    // False after the one box when it is there but cannot be opened or read, is larger than
    // kMaxFileBytes, or is not text (holds a NUL character): whatever it was to be run for is to be
    // given up whole.
    bool read(const QString& fileName, const QString& raceName = QString(), bool racePosted = false);
    bool hasStatements() const { return !m_pieces.isEmpty(); }
    // Runs the statements with the numbers filled in (see runSqlScript). *changed receives the
    // tables its statements may have changed.
    bool run(int leagueNmbr, int raceNmbr, bool* stopped = nullptr, QSet<QString>* changed = nullptr) const;
    // Compiles the statements with the numbers filled in, running none: false when one would be
    // refused; else the tables they may change (lower case) in *changed. Shows nothing.
    bool inspect(int leagueNmbr, int raceNmbr, QSet<QString>* changed) const;

    // The longest text or blob a statement of the script may make or read, in bytes. The longest row
    // the program stores is a team's, 884,709 bytes: the team editor's nine text boxes, each of 32,767
    // characters of up to three bytes (an import line of at most 10,000 bytes stores at most three
    // times that). A sort or a join holds a few rows in one record: four times as much, rounded up,
    // reads any of them. The functions that compare each place of one value with another ask whether
    // to stop as they go (SqlFunctions.h); every other function is through a value this long in some
    // milliseconds.
    static constexpr int kValueLimitBytes = 4 * 1024 * 1024;
    // The largest script file that is run. The engine compiles a statement whole, where nothing stops
    // it, and a script is compiled for every league: one far beyond any site script (an IN list of
    // millions of numbers) would hold the program for as long as that takes.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

private:
    QStringList statements(int leagueNmbr, int raceNmbr) const;
    // Takes the window away, if the user was asked.
    void endAsking() const;
    // The one box of a script that gives up the posting: why, and the statement it gave up at, if any.
    void tellGivenUp(const QString& why, const QString& piece = QString()) const;
    QString m_path;
    QString m_raceName;
    bool m_racePosted = false;
    QStringList m_pieces;
    mutable qint64 m_ranMs = 0;   // how long the runs since the read took together
    mutable bool m_asked = false; // the user has been asked whether to stop since the read
};
