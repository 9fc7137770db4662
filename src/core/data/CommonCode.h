#pragma once

#include "data/UiServices.h"

#include <QString>

class QFile;
#include <QByteArray>
#include <QFileDevice>
#include <QSet>
#include <QStringList>

// ---- feedback to the user ----

// Panel 1 of the status bar: "Status" without an argument; any text (the empty one too) as given.
void setStatus();
void setStatus(const QString& text);
void setMousePointer(int code);
int mousePointer();

// The three message boxes (OK only). Each beeps, shows the default pointer over the box while the
// hourglass was on, and puts the previous pointer back afterwards.
void showError(const QString& message); // critical, "Quorvanti Error"
void showInfo(const QString& message);  // information, "Quorvanti Message"
void showStop(const QString& message);  // critical, "Quorvanti Message"
// The database layer's box: critical, titled "Quorvanti", OK only.
void showQuorvantiBox(const QString& message);
// A validation message of a window: critical, titled "Quorvanti", OK only.
void showValidation(const QString& message);
// A question without an icon; returns the MsgAnswer pressed.
int askQuestion(const QString& message, const QString& title, MsgButtons buttons = MsgButtons::YesNoCancel);
// The button code of the last showError, showInfo or showStop box.
extern int lastMessageAnswer;

void selectAllText();
void stepProgress();
bool isOdd(int n);
void playSound(const QString& name);
// The folder the wave files are played from, ending in "/".
QString getWindowsDir();

// ---- text files ----

// "N" after a successful openFile, readFile or closeFile; "Y" after a failed one.
extern QString fileErrorFlag;
// A file number; -1 (silently) when the file does not exist, 0 after another failure (with a box).
int openFile(const QString& path);
// The rest of the file as text (see TextLines.h for how its bytes are read).
QString readFile(int fileNumber);
void closeFile(int fileNumber);
// The open file behind a file number, for reading it piece by piece; nullptr when none is open.
QFile* openedFile(int fileNumber);
// Shows the read error box for the file and sets fileErrorFlag to "Y".
void reportReadFailure(int fileNumber);

// A file opened by openFile for as long as this lives: closed on every way out of the scope.
class OpenedTextFile {
public:
    explicit OpenedTextFile(const QString& path);
    ~OpenedTextFile();
    OpenedTextFile(const OpenedTextFile&) = delete;
    OpenedTextFile& operator=(const OpenedTextFile&) = delete;
    // Whether the file opened (openFile has shown its box, or the file is not there, when not).
    bool isOpen() const { return m_open; }
    int number() const { return m_number; }
    QFile* file() const { return openedFile(m_number); }

private:
    int m_number;
    bool m_open;
};

// A free file number, as the file procedures and report files take them.
int getReportFileHandle();

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
// ROLLBACK), and a run longer than the time limit stop it at once. Each way one error box is shown,
// false is returned and *stopped is set: the caller's transaction is to be given up as a whole.
bool runSqlScript(const QString& fileName, int leagueNmbr, int raceNmbr, bool* stopped = nullptr);

// The tables a script may read and change: the league data.
const QStringList& scriptTables();

// A script file read once and run as runSqlScript runs it, for one league after another.
class SqlScript {
public:
    // Reads the file (relative to the program folder); a file that is not there has no statements.
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

    // How long one run may take before it is stopped, in milliseconds (tests shorten it).
    static int timeLimitMs();
    static void setTimeLimitMs(int ms);

private:
    QStringList statements(int leagueNmbr, int raceNmbr) const;
    QString m_path;
    QStringList m_pieces;
};
