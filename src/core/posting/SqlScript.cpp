#include "posting/SqlScript.h"

#include "data/Feedback.h"
#include "data/IDatabase.h"
#include "data/Paths.h"
#include "data/TextFiles.h"
#include "data/cConnection.h"
#include "posting/PostingError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>

QStringList splitSqlScript(const QString& script) {
    QStringList pieces;
    QString current;
    bool hasCode = false; // the piece holds more than blanks and comments
    enum class State { Plain, Single, Double, Backquote, Bracket, LineComment, BlockComment } state = State::Plain;
    const int n = int(script.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = script.at(i);
        const QChar next = i + 1 < n ? script.at(i + 1) : QChar();
        switch (state) {
        case State::Plain:
            if (c == QLatin1Char(';')) {
                if (hasCode)
                    pieces << current;
                current.clear();
                hasCode = false;
                continue;
            }
            if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
                state = State::LineComment;
            } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
                state = State::BlockComment;
                current += c;
                current += next;
                ++i;
                continue;
            } else {
                if (!c.isSpace())
                    hasCode = true;
                if (c == QLatin1Char('\''))
                    state = State::Single;
                else if (c == QLatin1Char('"'))
                    state = State::Double;
                else if (c == QLatin1Char('`'))
                    state = State::Backquote;
                else if (c == QLatin1Char('['))
                    state = State::Bracket;
            }
            break;
        case State::Single: // a doubled quote closes and reopens the text: no special case needed
            if (c == QLatin1Char('\''))
                state = State::Plain;
            break;
        case State::Double:
            if (c == QLatin1Char('"'))
                state = State::Plain;
            break;
        case State::Backquote:
            if (c == QLatin1Char('`'))
                state = State::Plain;
            break;
        case State::Bracket:
            if (c == QLatin1Char(']'))
                state = State::Plain;
            break;
        case State::LineComment:
            if (c == QLatin1Char('\n'))
                state = State::Plain;
            break;
        case State::BlockComment:
            if (c == QLatin1Char('*') && next == QLatin1Char('/')) {
                current += c;
                current += next;
                ++i;
                state = State::Plain;
                continue;
            }
            break;
        }
        current += c;
    }
    if (hasCode)
        pieces << current;
    return pieces;
}

const QStringList& scriptTables() {
    // Every table of the league data; the report settings and the publish location (with its
    // password) are the program's, and a script that could read them could publish them.
    static const QStringList tables = {QStringLiteral("race_type_dm"),      QStringLiteral("car_type_dm"),
                                       QStringLiteral("scoring_option_dm"), QStringLiteral("race_status_dm"),
                                       QStringLiteral("group_dm"),          QStringLiteral("scoring_type"),
                                       QStringLiteral("leagues"),           QStringLiteral("teams"),
                                       QStringLiteral("league_teams"),      QStringLiteral("cars"),
                                       QStringLiteral("team_car"),          QStringLiteral("races"),
                                       QStringLiteral("results"),           QStringLiteral("race_head_head"),
                                       QStringLiteral("scoring_points"),    QStringLiteral("scoring_top_points"),
                                       QStringLiteral("team_results"),      QStringLiteral("team_results_summary")};
    return tables;
}

SqlScript::~SqlScript() {
    endAsking();
}

void SqlScript::endAsking() const {
    if (m_asked)
        ui().endStoppable();
    m_asked = false;
}

void SqlScript::tellGivenUp(const QString& why, const QString& piece) const {
    showError(QStringLiteral("Error trying to run ") + m_path + QStringLiteral(".\n\nError: ") + why +
              QStringLiteral("; ") + postingGivenUpText(m_racePosted) +
              (piece.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + piece.trimmed()));
}

bool SqlScript::read(const QString& fileName, const QString& raceName, bool racePosted) {
    endAsking();
    m_path = QDir(programFolder()).filePath(fileName);
    m_raceName = raceName;
    m_racePosted = racePosted;
    m_pieces.clear();
    m_ranMs = 0;
    const int number = openFile(m_path);
    if (fileErrorFlag == QLatin1String("Y"))
        return number == -1;
    const qint64 size = QFileInfo(m_path).size();
    if (size > kMaxFileBytes) {
        closeFile(number);
        tellGivenUp(QStringLiteral("it is larger than 1 MB (%1 bytes)").arg(size));
        return false;
    }
    const QString text = readFile(number);
    if (fileErrorFlag == QLatin1String("Y")) {
        closeFile(number);
        return false;
    }
    closeFile(number);
    // The engine would read a statement only up to the NUL and leave the rest unread.
    if (text.contains(QChar(0))) {
        tellGivenUp(QStringLiteral("it is not a text file (it holds a NUL character)"));
        return false;
    }
    m_pieces = splitSqlScript(text);
    return true;
}

QStringList SqlScript::statements(int leagueNmbr, int raceNmbr) const {
    QStringList pieces = m_pieces;
    for (QString& piece : pieces) {
        piece.replace(QStringLiteral("%league_nmbr%"), QString::number(leagueNmbr));
        piece.replace(QStringLiteral("%race_nmbr%"), QString::number(raceNmbr));
    }
    return pieces;
}

bool SqlScript::inspect(int leagueNmbr, int raceNmbr, QSet<QString>* changed) const {
    SqlDatabase* db = gConnection ? gConnection->getConnection() : nullptr;
    if (!db)
        return false;
    RowsOnlyScope rowsOnly(*db, scriptTables());
    for (const QString& piece : statements(leagueNmbr, raceNmbr))
        if (!db->compiles(piece) && db->refused())
            return false;
    if (changed)
        *changed = db->tablesChanged();
    return true;
}

bool SqlScript::run(int leagueNmbr, int raceNmbr, bool* stopped, QSet<QString>* changed) const {
    if (changed)
        changed->clear();
    if (m_pieces.isEmpty())
        return true;
    const QStringList pieces = statements(leagueNmbr, raceNmbr);
    SqlDatabase* db = gConnection ? gConnection->getConnection() : nullptr;
    if (!db) {
        showStatementError(QStringLiteral("The database is not open."), pieces.value(0));
        return false;
    }
    // The window that asked whether to stop goes before any box.
    const auto giveUp = [&] {
        endAsking();
        if (stopped)
            *stopped = true;
        return false;
    };
    const auto refuse = [&](const QString& why, const QString& piece) {
        giveUp();
        tellGivenUp(why, piece);
        return false;
    };
    // The script runs inside the posting's transaction and may only change rows in it: a statement
    // that ended the transaction would leave the posting half written, one that made a trigger or a
    // table would stay behind for every later posting, a PRAGMA could change the key. Every statement
    // is compiled first, so such a script runs not at all.
    RowsOnlyScope rowsOnly(*db, scriptTables());
    for (const QString& piece : pieces)
        if (!db->compiles(piece) && db->refused())
            return refuse(db->refusal().isEmpty()
                              ? QStringLiteral("only SELECT, INSERT, UPDATE and DELETE can be used in it")
                              : db->refusal() + QStringLiteral(" cannot be used in it"),
                          piece);
    if (changed)
        *changed = db->tablesChanged();
    const bool inTransaction = db->inTransaction();
    // A statement that never ends (a recursive query without a stop) would hold the window forever,
    // but one that takes minutes may be what the site wants: the user is asked while it runs, and
    // decides. The engine asks only between the steps of its program; inside a function call only the
    // connection's own functions ask, and the value limit keeps every other call short.
    const QString running = QStringLiteral("Running the site script for %1...\r\nStop leaves %1 as it was.")
                                .arg(m_raceName.isEmpty() ? QStringLiteral("race %1").arg(raceNmbr) : m_raceName);
    QElapsedTimer ran;
    ran.start();
    const auto addRunTime = qScopeGuard([&] { m_ranMs += ran.elapsed(); });
    StopCheckScope stop(*db, [&] {
        m_asked = true;
        return ui().stopRequested(running, m_ranMs + ran.elapsed());
    });
    ValueLimitScope bound(*db, kValueLimitBytes);
    for (const QString& piece : pieces) {
        const bool ok = db->exec(piece);
        if (!ok && db->writeFailure() != SqlDatabase::WriteFailure::None)
            return giveUp(); // the posting that watches for it says so
        if (db->stopped())
            return refuse(QStringLiteral("it was stopped before its end"), piece);
        if (!ok && db->valueTooLong())
            return refuse(QStringLiteral("it made or read a text or blob longer than %1 bytes").arg(kValueLimitBytes),
                          piece);
        // ON CONFLICT ROLLBACK, or a trigger's RAISE(ROLLBACK), can still end the transaction; all
        // of it is undone then, and nothing more may run as if it were open.
        if (inTransaction && !db->inTransaction())
            return refuse((ok ? QString() : db->lastError() + QStringLiteral("; ")) +
                              QStringLiteral("the statement ended the posting's transaction"),
                          piece);
        if (!ok)
            showStatementError(db->lastError(), piece); // the rest still run
    }
    return true;
}

bool runSqlScript(const QString& fileName, int leagueNmbr, int raceNmbr, bool* stopped) {
    SqlScript script;
    if (!script.read(fileName)) {
        if (stopped)
            *stopped = true;
        return false;
    }
    return script.run(leagueNmbr, raceNmbr, stopped);
}
