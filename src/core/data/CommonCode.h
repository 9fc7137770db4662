#pragma once

#include "data/UiServices.h"

#include <QString>

class QFile;
class QSaveFile;
#include <QByteArray>
#include <QFileDevice>
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
// The script may only read and change rows (SqlDatabase::setRowsOnly): one holding any other
// statement is refused whole before anything runs. A statement that ends the transaction the
// script runs in (ON CONFLICT ROLLBACK) stops it at once. Either way one error box is shown, false
// is returned and *stopped is set: the caller's transaction is to be given up as a whole.
bool runSqlScript(const QString& fileName, int leagueNmbr, int raceNmbr, bool* stopped = nullptr);
