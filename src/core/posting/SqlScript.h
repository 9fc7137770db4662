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
// but cannot be read, a statement that ends the transaction the script runs in (ON CONFLICT
// ROLLBACK), a run longer than the time limit and a statement that makes a value longer than the
// value limit stop it at once. Each way one error box is shown, false is returned and *stopped is
// set: the caller's transaction is to be given up as a whole.
bool runSqlScript(const QString& fileName, int leagueNmbr, int raceNmbr, bool* stopped = nullptr);

// The tables a script may read and change: the league data.
const QStringList& scriptTables();

// A script file read once and run as runSqlScript runs it, for one league after another. The time
// limit is the whole posting's: the runs of one read share it.
class SqlScript {
public:
    // Reads the file (relative to the program folder); a file that is not there has no statements.
    // The runs that follow have the whole time limit to share.
    // False after the one box when it is there but cannot be opened or read, or is not text (holds a
    // NUL character): whatever it was to be run for is to be given up whole.
    bool read(const QString& fileName);
    bool hasStatements() const { return !m_pieces.isEmpty(); }
    // Runs the statements with the numbers filled in (see runSqlScript). *changed receives the
    // tables its statements may have changed.
    bool run(int leagueNmbr, int raceNmbr, bool* stopped = nullptr, QSet<QString>* changed = nullptr) const;
    // Compiles the statements with the numbers filled in, running none: false when one would be
    // refused; else the tables they may change (lower case) in *changed. Shows nothing.
    bool inspect(int leagueNmbr, int raceNmbr, QSet<QString>* changed) const;

    // How long the runs of one read may take together before they are stopped, in milliseconds
    // (tests shorten it).
    static int timeLimitMs();
    static void setTimeLimitMs(int ms);
    // The longest text or blob a statement of the script may make or read, in bytes: far beyond any
    // name or number of the league data, and short enough that the slowest of the engine's functions
    // (trim with characters to trim, which compares each character with each of them) is through in
    // some milliseconds; ten times as much took it 1.6 s here.
    static constexpr int kValueLimitBytes = 10000;

private:
    QStringList statements(int leagueNmbr, int raceNmbr) const;
    QString m_path;
    QStringList m_pieces;
    mutable qint64 m_ranMs = 0; // how long the runs since the read took together
};
