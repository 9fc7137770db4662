#include "Rows.h"
#include "ScopedLocale.h"
#include "TestDataFile.h"
#include "data/Feedback.h"
#include "data/IDatabase.h"
#include "data/Paths.h"
#include "data/SqlText.h"
#include "data/TextFiles.h"
#include "data/cConnection.h"
#include "platform/Clock.h"
#include "platform/SqlDatabase.h"
#include "platform/TextLines.h"
#include "posting/SqlScript.h"
#include "reports/framework/CommonReportCode.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>

namespace {
void writeFile(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}
} // namespace

TEST(Feedback, BoxesTitlesIconsAndPointer) {
    RecordingUi rec;
    setMousePointer(PointerHourglass);
    showError("bad");
    showInfo("fyi");
    showStop("halt");
    ASSERT_EQ(rec.boxes.size(), 3);
    EXPECT_EQ(rec.boxes[0].title, "Quorvanti Error");
    EXPECT_EQ(rec.boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(rec.boxes[1].title, "Quorvanti Message");
    EXPECT_EQ(rec.boxes[1].icon, MsgIcon::Information);
    EXPECT_EQ(rec.boxes[2].title, "Quorvanti Message");
    EXPECT_EQ(rec.boxes[2].icon, MsgIcon::Critical);
    EXPECT_EQ(rec.beeps, 3);
    // the default pointer shows over each box and the hourglass comes back after it
    EXPECT_EQ(rec.pointerDuringBoxes, QList<int>({0, 0, 0}));
    EXPECT_EQ(mousePointer(), PointerHourglass);
    EXPECT_EQ(lastMessageAnswer, AnswerOk);
}

TEST(Feedback, StatusOddAndSounds) {
    RecordingUi rec;
    setStatus();
    setStatus("");
    setStatus("Posting");
    EXPECT_EQ(rec.statusTexts, QStringList({"Status", "", "Posting"}));
    EXPECT_FALSE(isOdd(0));
    EXPECT_TRUE(isOdd(1));
    EXPECT_TRUE(isOdd(-1));
    EXPECT_TRUE(isOdd(-3));
    playSound("NOSUCHSOUND");
    EXPECT_EQ(rec.beeps, 1); // nothing to play: a beep instead
    EXPECT_EQ(mousePointer(), PointerDefault);
    EXPECT_TRUE(getWindowsDir().endsWith('/'));
    EXPECT_FALSE(getWindowsDir().endsWith("//"));
}

// A query's values are kept as the engine gives them and converted when read: each reader gives
// what converting the value itself gives, whatever its kind and size.
TEST(ResultSet, ReadersGiveWhatTheValueConvertsTo) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    IDatabase db;
    ASSERT_TRUE(db.OpenResultSet("SELECT 42 AS small, -7 AS negative, 1099511627781 AS wide, "
                                 "-9223372036854775808 AS least, 2.5 AS half, 1e20 AS huge, '12' AS digits, "
                                 "' 7 ' AS spaced, 'abc' AS word, '' AS empty, 'Jos\u00e9' AS accented, "
                                 "NULL AS nothing, x'4142' AS bytes, zeroblob(0) AS nobytes"));
    const QStringList columns = {"small",  "negative", "wide",  "least",    "half",    "huge",  "digits",
                                 "spaced", "word",     "empty", "accented", "nothing", "bytes", "nobytes"};
    for (const QString& c : columns) {
        const QVariant v = db.fields(c.toUpper());
        EXPECT_EQ(db.fields.toInt(c), v.toInt()) << c.toStdString();
        EXPECT_EQ(db.fields.toInt64(c), v.toLongLong()) << c.toStdString();
        EXPECT_EQ(db.fields.toDouble(c), v.toDouble()) << c.toStdString();
        EXPECT_EQ(db.fields.toText(c), v.toString()) << c.toStdString();
        EXPECT_EQ(db.fields.toText(c).isNull(), v.toString().isNull()) << c.toStdString();
        EXPECT_EQ(db.fields.isNull(c), c == "nothing") << c.toStdString();
    }
    EXPECT_EQ(db.fields("wide").metaType(), QMetaType::fromType<qlonglong>());
    EXPECT_EQ(db.fields.toInt64("wide"), 1099511627781LL);
    EXPECT_EQ(db.fields("half").metaType(), QMetaType::fromType<double>());
    EXPECT_EQ(db.fields("accented").toString(), QString::fromUtf8("Jos\u00e9"));
    EXPECT_EQ(db.fields("bytes").toByteArray(), QByteArray("AB"));
    EXPECT_TRUE(db.fields("empty").toString().isEmpty());
    EXPECT_FALSE(db.fields("empty").toString().isNull());
}

TEST(SqlText, QuotesDatesAndMoney) {
    EXPECT_EQ(sqlText("O'Brien's"), "'O''Brien''s'");
    EXPECT_EQ(sqlDate(QDate(2026, 3, 7)), "'2026-03-07'");
    EXPECT_EQ(sqlDate(QDate()), "NULL");
    EXPECT_EQ(shortDate(QDate(2026, 3, 7)), "3/7/2026");
    EXPECT_EQ(parseDate("3/7/2026"), QDate(2026, 3, 7));
    EXPECT_EQ(parseDate(" 2026-03-07 "), QDate(2026, 3, 7));
    EXPECT_FALSE(parseDate("13/45/2026").isValid());
    Currency c;
    ASSERT_TRUE(Currency::parse("1,234,567.89", &c));
    EXPECT_EQ(c.units(), 12345678900);
    EXPECT_EQ(c.toSql(), "1234567.8900");
    EXPECT_EQ(c.toString(), "1234567.89");
    ASSERT_TRUE(Currency::parse("-0.05", &c));
    EXPECT_EQ(c.toSql(), "-0.0500");
    ASSERT_TRUE(Currency::parse(".5", &c));
    EXPECT_EQ(c.units(), 5000);
    EXPECT_FALSE(Currency::parse("12abc", &c));
    EXPECT_FALSE(Currency::parse("", &c));
    EXPECT_FALSE(Currency::parse("1,23", &c));
    // cents survive a round trip through a REAL column
    EXPECT_EQ(Currency::fromDouble(Currency::fromUnits(19999999).toDouble()).units(), 19999999);
}

TEST(RegionalDates, ShownAndReadInTheUsersShortFormWithAFourDigitYear) {
    {
        ScopedLocale us(ScopedLocale::american());
        EXPECT_EQ(shortDate(QDate(2026, 3, 1)), "3/1/2026");
        EXPECT_EQ(parseDate("03/01/2026"), QDate(2026, 3, 1));
        EXPECT_FALSE(parseDate("13/12/2026").isValid());
        EXPECT_FALSE(parseDate("3/1/26").isValid()); // no guessing at the century
        // A year the data file cannot keep is no date, however the platform reads it.
        EXPECT_FALSE(parseDate("1/1/-2026").isValid());
        EXPECT_FALSE(parseDate("-2026-01-01").isValid());
        EXPECT_EQ(parseDate("2026-12-13"), QDate(2026, 12, 13));
    }
    {
        ScopedLocale gb(ScopedLocale::british());
        EXPECT_EQ(shortDate(QDate(2026, 3, 1)), "01/03/2026");
        EXPECT_EQ(parseDate(" 1/3/2026 "), QDate(2026, 3, 1));
        EXPECT_EQ(parseDate("13/12/2026"), QDate(2026, 12, 13));
        EXPECT_FALSE(parseDate("12/13/2026").isValid());
        EXPECT_EQ(parseDate("2026-12-13"), QDate(2026, 12, 13));
    }
    {
        // A locale whose own form has a two-digit year shows four; a system without a locale of
        // its own shows the program's home form, not "1 Mar 2026".
        ScopedLocale de(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(shortDate(QDate(2026, 3, 1)), "01.03.2026");
        ScopedLocale c(QLocale::c());
        EXPECT_EQ(shortDate(QDate(2026, 3, 1)), "3/1/2026");
    }
}

TEST(RegionalMoney, ShownAndReadInTheUsersCurrencyForm) {
    Currency read;
    {
        ScopedLocale us(ScopedLocale::american());
        EXPECT_EQ(moneyText(Currency::fromDouble(1234.5)), "$1,234.50");
        EXPECT_EQ(moneyText(Currency::fromDouble(-12.345)), "($12.35)");
        EXPECT_EQ(moneyText(Currency::fromUnits(-49)), "$0.00"); // no negative zero
        // What is shown reads back, parentheses and all.
        ASSERT_TRUE(parseMoney(moneyText(Currency::fromDouble(-1234.5)), &read));
        EXPECT_EQ(read, Currency::fromDouble(-1234.5));
        ASSERT_TRUE(parseMoney(" 1,000.25 ", &read));
        EXPECT_EQ(read, Currency::fromDouble(1000.25));
        EXPECT_FALSE(parseMoney("(-5)", &read));
        EXPECT_FALSE(parseMoney("", &read));
        EXPECT_FALSE(parseMoney("12abc", &read));
    }
    {
        ScopedLocale de(QLocale(QLocale::German, QLocale::Germany));
        const QString shown = moneyText(Currency::fromDouble(-1234.5));
        EXPECT_EQ(shown, QString::fromUtf8("-1.234,50\u00a0\u20ac"));
        ASSERT_TRUE(parseMoney(shown, &read));
        EXPECT_EQ(read, Currency::fromDouble(-1234.5));
        ASSERT_TRUE(parseMoney("12,5", &read));
        EXPECT_EQ(read, Currency::fromDouble(12.5));
        EXPECT_EQ(dateTimeText(QDateTime(QDate(2026, 3, 1), QTime(15, 4, 5))), "01.03.2026 15:04:05");
        EXPECT_EQ(dateTimeText(QDateTime(QDate(2026, 3, 1), QTime(0, 0))), "01.03.2026");
    }
}

// What a person types is read in their own form only; the other notation is refused, never read as
// another number.
TEST(RegionalMoney, TypedAmountsAreReadOnlyInTheUsersOwnForm) {
    struct Case {
        const char* typed;
        std::int64_t units; // -1: refused
    };
    const auto check = [](const QList<Case>& cases) {
        for (const Case& c : cases) {
            Currency read = Currency::fromUnits(777);
            const bool ok = parseMoney(QString::fromUtf8(c.typed), &read);
            if (c.units == -1) {
                EXPECT_FALSE(ok) << c.typed << " read as " << read.units();
                EXPECT_EQ(read.units(), 777) << c.typed; // nothing written on a refusal
            } else {
                EXPECT_TRUE(ok) << c.typed;
                EXPECT_EQ(read.units(), c.units) << c.typed;
            }
        }
    };
    {
        ScopedLocale us(ScopedLocale::american());
        check({{"1.234,56", -1},
               {"12,3,4", -1},
               {"1,23", -1},
               {"1234,567.00", -1},
               {"12,500.50", 125005000},
               {"12500.5", 125005000},
               {"1,234,567", 12345670000},
               {"$1,234.50", 12345000},
               {"($3.34)", -33400},
               {"-$3.34", -33400},
               {"$-3.34", -33400},
               {"-3.34", -33400},
               {"(-3.34)", -1},
               {"1.0050", 10050},
               {"1.00501", -1}, // more decimals than an amount keeps
               {"1.005", 10050},
               {".5", 5000},
               {"12.", 120000},
               {"0,500", -1},
               {"3.34 €", -1},
               {"€3.34", -1},
               {"1 234.56", -1},
               {"$", -1},
               {"-", -1},
               {".", -1},
               {"", -1},
               {"12abc", -1},
               {"1e3", -1},
               {"123456789012345", -1}});
    }
    {
        ScopedLocale de(QLocale(QLocale::German, QLocale::Germany));
        check({{"12,500.50", -1},
               {"($3.34)", -1},
               {"$3,34", -1},
               {"1.5", -1},
               {"12,3.4", -1},
               {"1.234,56", 12345600},
               {"1234,56", 12345600},
               {"1.234.567", 12345670000},
               {"12,5", 125000},
               {"-12,35 €", -123500},
               {"12,35\u20ac", 123500},
               {"1,0050 \u20ac", 10050},
               {"1,00501", -1}});
    }
    {
        // Where the group mark is a space, the space typed on the keyboard is one too.
        ScopedLocale fr(QLocale(QLocale::French, QLocale::France));
        check({{"1 234,56", 12345600}, {"1\u202f234,56 \u20ac", 12345600}, {"12 34,5", -1}, {"1.234,56", -1}});
    }
}

TEST(RegionalMoney, WhatABoxShowsReadsBackAsTheStoredAmount) {
    const QList<std::int64_t> amounts = {0, 10050, 12345000, -12345000, 1, -49, 123456789012345, 99999, -10005};
    for (const QLocale& locale : {ScopedLocale::american(), QLocale(QLocale::German, QLocale::Germany),
                                  QLocale(QLocale::French, QLocale::France), ScopedLocale::british()}) {
        ScopedLocale scoped(locale);
        for (std::int64_t units : amounts) {
            const Currency amount = Currency::fromUnits(units);
            Currency read;
            ASSERT_TRUE(parseMoney(moneyEditText(amount), &read)) << qPrintable(moneyEditText(amount));
            EXPECT_EQ(read, amount) << qPrintable(moneyEditText(amount));
            // The rounded form of the lists and pages reads back too, as the amount it shows.
            ASSERT_TRUE(parseMoney(moneyText(amount), &read)) << qPrintable(moneyText(amount));
        }
    }
    {
        ScopedLocale us(ScopedLocale::american());
        // An imported amount with more than cents is shown with them, not rounded.
        EXPECT_EQ(moneyEditText(Currency::fromUnits(10050)), "$1.005");
        EXPECT_EQ(moneyEditText(Currency::fromUnits(-12345000)), "($1,234.50)");
        EXPECT_EQ(moneyEditText(Currency::fromUnits(12345678)), "$1,234.5678");
        EXPECT_EQ(moneyEditText(Currency()), "$0.00");
        EXPECT_EQ(moneyRefusal("Invalid Salary amount"),
                  "Invalid Salary amount\r\nType the amount in the form 1,234.56");
    }
    {
        ScopedLocale de(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(moneyEditText(Currency::fromUnits(10050)), QString::fromUtf8("1,005\u00a0\u20ac"));
        EXPECT_EQ(moneyEditText(Currency::fromUnits(-12345000)), QString::fromUtf8("-1.234,50\u00a0\u20ac"));
        EXPECT_EQ(moneyRefusal("Invalid Salary Cap amount"),
                  "Invalid Salary Cap amount\r\nType the amount in the form 1.234,56");
    }
}

TEST(RegionalDates, TheRefusalNamesTheFormToType) {
    setClock(QDateTime(QDate(2026, 5, 4), QTime(9, 0)));
    {
        ScopedLocale us(ScopedLocale::american());
        EXPECT_EQ(dateEntryForm(), "M/D/YYYY");
        EXPECT_EQ(dateRefusal("Invalid Entry"), "Invalid Entry\r\nType the date in the form M/D/YYYY, for example "
                                                "12/31/2026.");
        EXPECT_FALSE(parseDate("31.12.2026").isValid());
    }
    {
        ScopedLocale de(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(dateEntryForm(), "DD.MM.YYYY");
        EXPECT_EQ(dateRefusal("Invalid Entry"), "Invalid Entry\r\nType the date in the form DD.MM.YYYY, for example "
                                                "31.12.2026.");
        EXPECT_FALSE(parseDate("12/31/2026").isValid());
        EXPECT_EQ(parseDate("1.3.2026"), QDate(2026, 3, 1));
    }
    setClock(QDateTime());
}

TEST(TextFiles, FlagsAndMessages) {
    RecordingUi rec;
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("a.txt");
    EXPECT_EQ(openFile(path), -1);
    EXPECT_EQ(fileErrorFlag, "Y");
    EXPECT_TRUE(rec.boxes.isEmpty());
    writeFile(path, "line 1\r\nline 2");
    const int n = openFile(path);
    EXPECT_GT(n, 0);
    EXPECT_EQ(fileErrorFlag, "N");
    EXPECT_EQ(readFile(n), "line 1\r\nline 2");
    closeFile(n);
    // UTF-8 text reads as UTF-8; 8-bit text keeps its accented letters
    writeFile(path, "Jos\xc3\xa9");
    int m = openFile(path);
    EXPECT_EQ(readFile(m), QString::fromUtf8("Jos\xc3\xa9"));
    closeFile(m);
    writeFile(path, "Jos\xe9 M\xfcller");
    m = openFile(path);
    EXPECT_EQ(readFile(m), QString::fromUtf8("Jos\xc3\xa9 M\xc3\xbcller"));
    closeFile(m);
    // Windows punctuation in 8-bit text, line by line beside UTF-8 lines, and UTF-16 with its mark
    writeFile(path, "\x93quoted\x94 \x80 5\r\nM\xc3\xbcller\n\x85");
    m = openFile(path);
    EXPECT_EQ(readFile(m), QString::fromUtf8("\u201cquoted\u201d \u20ac 5\r\nM\u00fcller\n\u2026"));
    closeFile(m);
    writeFile(path, QByteArray("\xff\xfe\x1c\x20"
                               "a\0\x1d\x20",
                               8));
    m = openFile(path);
    EXPECT_EQ(readFile(m), QString::fromUtf8("\u201ca\u201d"));
    closeFile(m);
    EXPECT_EQ(fileErrorFlag, "N");
    // a folder cannot be opened as a file
    EXPECT_EQ(openFile(dir.path()), 0);
    EXPECT_EQ(fileErrorFlag, "Y");
    ASSERT_EQ(rec.boxes.size(), 1);
    EXPECT_TRUE(rec.boxes[0].text.startsWith("Error trying to open " + dir.path() + ".\n\nError: "));
    EXPECT_EQ(rec.boxes[0].title, "Quorvanti Error");
}

TEST(SqlScript, SplitsOutsideQuotesAndComments) {
    EXPECT_EQ(splitSqlScript("a; b;"), QStringList({"a", " b"}));
    EXPECT_EQ(splitSqlScript("INSERT INTO t VALUES ('x;y'); -- c;d\nSELECT 1"),
              QStringList({"INSERT INTO t VALUES ('x;y')", " -- c;d\nSELECT 1"}));
    EXPECT_EQ(splitSqlScript("/* a; b */ ;\n ; SELECT 'it''s;'"), QStringList({" SELECT 'it''s;'"}));
    EXPECT_EQ(splitSqlScript("SELECT `a';b` FROM [c;d] WHERE \"e;f\" = 1; x"),
              QStringList({"SELECT `a';b` FROM [c;d] WHERE \"e;f\" = 1", " x"}));
    EXPECT_TRUE(splitSqlScript("").isEmpty());
    EXPECT_TRUE(splitSqlScript(" ;\n;\r\n").isEmpty());
}

TEST(SqlScript, RowsOnlyCompilesNothingButRowStatements) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    SqlDatabase& db = *gConnection->getConnection();
    RowsOnlyScope rowsOnly(db);
    // However they are spelt or quoted: the engine asks about what each statement does.
    for (const char* sql : {"COMMIT",
                            " commit transaction",
                            "-- done\nEND",
                            "/* undo */ Rollback",
                            "\r\nSAVEPOINT a",
                            "release a",
                            "BEGIN IMMEDIATE",
                            "CREATE TRIGGER `x'` AFTER INSERT ON teams BEGIN SELECT RAISE(ROLLBACK, 'no'); END",
                            "CREATE TEMP TRIGGER x AFTER INSERT ON teams BEGIN SELECT 1; END",
                            "CREATE TABLE x (a)",
                            "CREATE TEMP TABLE x (a)",
                            "CREATE VIEW v AS SELECT 1",
                            "CREATE INDEX i ON teams (team_name)",
                            "DROP TABLE race_head_head",
                            "ALTER TABLE teams ADD COLUMN x",
                            "PRAGMA rekey = 'other'",
                            "PRAGMA key = 'other'",
                            "pragma writable_schema = 1",
                            "PRAGMA user_version",
                            "ATTACH DATABASE ':memory:' AS other",
                            "SELECT sqlcipher_export('main')",
                            "ANALYZE",
                            "REINDEX",
                            "SELECT 1; COMMIT"}) {
        EXPECT_FALSE(db.compiles(sql)) << sql;
        EXPECT_TRUE(db.refused()) << sql;
    }
    for (const char* sql : {"UPDATE teams SET team_name = 'COMMIT'", "SELECT 1 -- END", "/* BEGIN */ DELETE FROM teams",
                            "INSERT OR REPLACE INTO teams (team_nmbr, team_name) VALUES (1, 'x')",
                            "INSERT OR ROLLBACK INTO teams (team_nmbr) VALUES (1)",
                            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3) "
                            "SELECT max(i), upper('a') FROM n",
                            "SELECT 1; SELECT 2", ""})
        EXPECT_TRUE(db.compiles(sql)) << sql << " " << qPrintable(db.lastError());
    // A statement the engine cannot compile is not a refusal: it runs and shows its own box.
    EXPECT_FALSE(db.compiles("UPDATE nowhere SET a = 1"));
    EXPECT_FALSE(db.refused());
}

TEST(SqlScript, ScriptLimitsKeepToLeagueDataAndOrdinaryFunctions) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    SqlDatabase& db = *gConnection->getConnection();
    // Every table of the data file is either the league data a script may use, or the program's own.
    SqlRows tables;
    ASSERT_TRUE(db.query("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name", &tables));
    QStringList programsOwn;
    for (const auto& t : tables.rows)
        if (!scriptTables().contains(t[0].toString()))
            programsOwn << t[0].toString();
    EXPECT_EQ(programsOwn, QStringList({"attribute_dm", "available_report_columns", "color_dm", "column_dm", "publish",
                                        "report", "report_attributes", "report_columns"}));

    // A trigger and a view (no script can leave one) that a script would set off call printf as well.
    TestDataFile::exec("CREATE TRIGGER printing AFTER UPDATE OF team_owner ON teams BEGIN "
                       "UPDATE cars SET car_txt = printf('%!.2147483647f', 1.5); END");
    TestDataFile::exec("CREATE VIEW printed AS SELECT printf('%d', team_nmbr) AS n FROM teams");

    RowsOnlyScope rowsOnly(db, scriptTables());
    const struct {
        const char* sql;
        const char* refusal;
    } refused[] = {
        {"UPDATE cars SET driver_name = (SELECT username || ':' || password FROM publish) WHERE car_nmbr = 1",
         "the table publish"},
        {"SELECT 1 FROM teams WHERE EXISTS (SELECT password FROM \"PUBLISH\")", "the table publish"},
        {"UPDATE publish SET location = 'ftp.elsewhere.example'", "the table publish"},
        {"DELETE FROM report_columns", "the table report_columns"},
        {"INSERT INTO teams (team_nmbr, team_name) SELECT 9, name FROM sqlite_master", "the table sqlite_master"},
        {"SELECT hex(fts3_tokenizer('simple'))", "the function fts3_tokenizer"},
        {"SELECT load_extension('/tmp/libnothing.so')", "the function load_extension"},
        {"SELECT sqlcipher_export('main')", "the function sqlcipher_export"},
        {"SELECT sqlite_compileoption_get(0)", "the function sqlite_compileoption_get"},
        {"PRAGMA table_info(publish)", ""},
        // printf in every spelling the engine takes: the engine names its function, not the text.
        {"UPDATE cars SET car_txt = car_txt || printf('%!.2147483647f', 1.5) WHERE car_nmbr = 2",
         "the function printf"},
        {"SELECT upper(PRINTF('abc%.2147483647g', 2.5))", "the function printf"},
        {"SELECT \"Printf\"('%d', 1), [printf]('x'), `printf`('y')", "the function printf"},
        {"UPDATE teams SET team_owner = 'x' WHERE team_nmbr = 1", "the function printf"},
        {"SELECT n FROM printed", "the function printf"},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(db.compiles(r.sql)) << r.sql;
        EXPECT_TRUE(db.refused()) << r.sql;
        EXPECT_EQ(db.refusal(), r.refusal) << r.sql;
    }
    EXPECT_TRUE(db.tablesChanged().isEmpty());
    for (const char* sql :
         {"SELECT count(*), max(points), total(qual_points), group_concat(driver_name) FROM team_results, cars",
          "SELECT date('now', '+1 day'), strftime('%Y', CURRENT_DATE), quote(7), coalesce(NULL, 1), "
          "ifnull(NULL, 2), substr('abc', 2), instr('abc', 'c'), replace('a', 'a', 'b'), round(1.5), typeof(1)",
          "UPDATE team_results SET adjustment = abs(-1) WHERE league_nmbr = 1 AND race_nmbr = 2",
          "INSERT INTO race_head_head SELECT 1, 2, team_nmbr, team_nmbr FROM teams WHERE team_name LIKE 'a%'",
          "DELETE FROM race_head_head WHERE league_nmbr = 2"})
        EXPECT_TRUE(db.compiles(sql)) << sql << " " << qPrintable(db.lastError());
    EXPECT_EQ(db.tablesChanged(), QSet<QString>({"team_results", "race_head_head"}));
}

TEST(SqlScript, TextWithANulStopsAtOnceAndAStatementWhenTold) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    SqlDatabase& db = *gConnection->getConnection();
    // The engine reads up to the NUL; the loops over the statements must not ask it again forever.
    const QString nul =
        QStringLiteral("UPDATE teams SET team_name = 'x';") + QChar(0) + "\nUPDATE teams SET team_name = 'y';";
    ASSERT_TRUE(nul.contains(QChar(0)));
    addTeam({.nmbr = 1, .name = "a"});
    EXPECT_FALSE(db.exec(nul));
    EXPECT_TRUE(db.lastError().contains("NUL")) << qPrintable(db.lastError());
    EXPECT_FALSE(db.compiles(nul));
    EXPECT_FALSE(db.compiles(QStringLiteral("SELECT 1") + QChar(0)));
    EXPECT_EQ(TestDataFile::scalar("SELECT team_name FROM teams").toString(), "a");

    const QString endless = "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT count(*) FROM c";
    const QString finite = "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 200000) "
                           "SELECT count(*) FROM c";
    {
        // Told to stop: the statement stops, and so does each one after it while the check stays.
        StopCheckScope stop(db, [] { return true; });
        SqlRows rows;
        EXPECT_FALSE(db.query(endless, &rows));
        EXPECT_TRUE(db.stopped());
        EXPECT_EQ(db.lastErrorCode(), 9); // SQLITE_INTERRUPT
        EXPECT_FALSE(db.exec("SELECT 1; " + finite));
    }
    // Without a check, the program's own statements run as long as they need.
    SqlRows rows;
    ASSERT_TRUE(db.query(finite, &rows));
    EXPECT_EQ(rows.rows[0][0].toInt(), 200000);
}

// LIKE, GLOB, instr, replace and the trims with characters to trim are the connection's own, so that a
// stop reaches them: they must answer as the engine's own do (a connection of the bare engine beside it),
// and give up when the user stops.
TEST(SqlScript, OwnFunctionsAnswerAsTheEnginesAndStopWhenTold) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    SqlDatabase& db = *gConnection->getConnection();
    sqlite3* bare = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &bare), SQLITE_OK);
    // A value to bind: a text (NULL when null), or a blob or an integer written as text.
    struct Bound {
        Bound(const char* text) : bytes(text) {}
        Bound(const QByteArray& text, int kind = SQLITE_TEXT) : bytes(text), kind(kind) {}
        QByteArray bytes;
        int kind = SQLITE_TEXT;
    };
    // The kind and bytes of the first column, or the error's message.
    const auto answer = [](sqlite3* handle, const char* sql, const QList<Bound>& values) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(handle, sql, -1, &stmt, nullptr) != SQLITE_OK)
            return QString::fromUtf8(sqlite3_errmsg(handle));
        for (int i = 0; i < values.size(); ++i) {
            const QByteArray& b = values[i].bytes;
            if (b.isNull())
                sqlite3_bind_null(stmt, i + 1);
            else if (values[i].kind == SQLITE_BLOB)
                sqlite3_bind_blob(stmt, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            else if (values[i].kind == SQLITE_INTEGER)
                sqlite3_bind_int64(stmt, i + 1, b.toLongLong());
            else
                sqlite3_bind_text(stmt, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        }
        QString out = QStringLiteral("NULL");
        if (sqlite3_step(stmt) != SQLITE_ROW)
            out = QString::fromUtf8(sqlite3_errmsg(handle));
        else if (sqlite3_column_type(stmt, 0) != SQLITE_NULL)
            out = QString::number(sqlite3_column_type(stmt, 0)) + ':' +
                  QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, 0)), sqlite3_column_bytes(stmt, 0))
                      .toHex();
        sqlite3_finalize(stmt);
        return out;
    };
    const auto same = [&](const char* sql, const QList<Bound>& values) {
        const QString engines = answer(bare, sql, values);
        const QString ours = answer(db.handle(), sql, values);
        if (engines != ours)
            ADD_FAILURE() << sql << " with " << values.first().bytes.toHex().constData() << ", "
                          << values.last().bytes.toHex().constData() << ": the engine " << qPrintable(engines)
                          << ", the connection " << qPrintable(ours);
        return engines == ours;
    };
    for (const auto& [pattern, text] : std::initializer_list<std::pair<const char*, const char*>>{
             {"a%", "ABC"}, {"%b_", "abc"}, {"_", "é"}, {"É", "é"}, {"%", ""}, {"", ""}, {"a", ""}, {"%%a%", "xxa"}})
        same("SELECT ?2 LIKE ?1", {pattern, text});
    for (const auto& [pattern, text] : std::initializer_list<std::pair<const char*, const char*>>{{"*[^0-9]*", "123"},
                                                                                                  {"*[^0-9]*", "12a"},
                                                                                                  {"[]a]", "]"},
                                                                                                  {"[a-c]?", "bé"},
                                                                                                  {"[-a]", "-"},
                                                                                                  {"[a-]", "-"},
                                                                                                  {"[z-a]", "b"},
                                                                                                  {"[abc", "a"},
                                                                                                  {"a*", "A"},
                                                                                                  {"?*?", "a"},
                                                                                                  {"*", ""},
                                                                                                  {"[^]]", "]"},
                                                                                                  {"[]-a]", "b"}})
        same("SELECT ?2 GLOB ?1", {pattern, text});
    for (const char* escape : {"\\", "%", "_", "é", "", "ab"})
        for (const char* pattern : {"a\\%", "a%%", "a__", "aé%", "a\\", "\\_%"})
            same("SELECT ?2 LIKE ?1 ESCAPE ?3", {pattern, "a%b", escape});
    same("SELECT ?2 LIKE ?1", {"a", QByteArray()});
    same("SELECT ?2 LIKE ?1 ESCAPE ?3", {"a", "a", QByteArray()});
    same("SELECT ?2 GLOB ?1", {QByteArray(60000, '*'), "a"});
    // Texts and patterns drawn from the characters that mean something to either.
    std::mt19937 draw(35);
    const auto drawn = [&](const QList<QByteArray>& alphabet) {
        QByteArray out;
        for (int n = int(draw() % 7); n > 0; --n)
            out += alphabet[int(draw() % alphabet.size())];
        return out;
    };
    const QList<QByteArray> likeChars = {"a", "A", "z", "Z", "b", "%", "_", "\\", "é", "É"};
    const QList<QByteArray> globChars = {"a", "A", "b", "*", "?", "[", "]", "^", "-", "é"};
    int differ = 0;
    for (int i = 0; i < 3000 && differ < 5; ++i) {
        differ += !same("SELECT ?2 LIKE ?1", {drawn(likeChars), drawn(likeChars)});
        differ += !same("SELECT ?2 LIKE ?1 ESCAPE '\\'", {drawn(likeChars), drawn(likeChars)});
        differ += !same("SELECT ?2 GLOB ?1", {drawn(globChars), drawn(globChars)});
    }
    // Texts, blobs, numbers and NULLs made of characters the functions cut and compare, a NUL, a lead byte
    // without its continuation and a continuation byte without its lead among them.
    const QList<QByteArray> textChars = {"a", "A", "b", "é", " ", "%", "\xC3", "\x80", QByteArray(1, '\0')};
    const auto value = [&] {
        switch (draw() % 8) {
        case 0:
            return Bound(QByteArray());
        case 1:
            return Bound(drawn(textChars), SQLITE_BLOB);
        case 2:
            return Bound(QByteArray::number(int(draw() % 2000) - 1000), SQLITE_INTEGER);
        default:
            return Bound(drawn(textChars));
        }
    };
    for (int i = 0; i < 3000 && differ < 5; ++i) {
        differ += !same("SELECT instr(?1, ?2)", {value(), value()});
        differ += !same("SELECT replace(?1, ?2, ?3)", {value(), value(), value()});
        differ += !same("SELECT trim(?1, ?2)", {value(), value()});
        differ += !same("SELECT ltrim(?1, ?2)", {value(), value()});
        differ += !same("SELECT rtrim(?1, ?2)", {value(), value()});
    }
    sqlite3_close(bare);

    // Patterns of many wildcards, which the engine's own matcher tries in every combination, are
    // answered without a stop; a call that compares long texts place by place is given up when the user
    // stops, as a statement is.
    {
        StopCheckScope notStopped(db, [] { return false; });
        for (const char* sql : {"SELECT printf('%.*c', 600, 'a') GLOB '*a*a*a*a*b'",
                                "SELECT printf('%.*c', 600, 'a') LIKE '%a%a%a%a%b'"}) {
            SqlRows rows;
            ASSERT_TRUE(db.query(sql, &rows)) << sql;
            EXPECT_EQ(rows.rows[0][0].toInt(), 0) << sql;
        }
    }
    for (const char* sql :
         {"SELECT printf('%.*c', 400000, 'a') GLOB '*' || printf('%.*c', 20000, 'a') || 'b'",
          "SELECT printf('%.*c', 400000, 'a') LIKE '%' || printf('%.*c', 20000, 'a') || 'b'",
          "SELECT instr(printf('%.*c', 400000, 'a'), printf('%.*c', 200000, 'a') || 'b')",
          "SELECT length(replace(printf('%.*c', 400000, 'a'), printf('%.*c', 200000, 'a') || 'b', 'c'))",
          "SELECT length(trim(printf('%.*c', 400000, 'a'), printf('%.*c', 200000, 'b') || 'a'))",
          "SELECT length(rtrim(printf('%.*c', 400000, 'a'), printf('%.*c', 200000, 'b') || 'a'))"}) {
        // Told at the second question, which only a call that goes on asking gets to.
        int asks = 0;
        StopCheckScope stop(db, [&] { return ++asks > 1; });
        SqlRows rows;
        EXPECT_FALSE(db.query(sql, &rows)) << sql;
        EXPECT_TRUE(db.stopped()) << sql;
        EXPECT_EQ(db.lastErrorCode(), SQLITE_INTERRUPT) << sql;
    }
    // What one call may build is bounded for as long as the value limit holds: past it every function a
    // script may call fails the statement; the engine's own limit is back afterwards.
    {
        ValueLimitScope bound(db, 10000);
        SqlRows rows;
        for (const char* sql : {"SELECT length(hex(randomblob(400000000)))", "SELECT length(zeroblob(20000) || 'a')",
                                "SELECT hex(zeroblob(6000))", "SELECT quote(zeroblob(6000))",
                                "SELECT replace(hex(zeroblob(3000)), '0', 'bb')",
                                "SELECT group_concat(hex(zeroblob(3000))) FROM (SELECT 1 UNION ALL SELECT 2)",
                                "SELECT strftime(replace(hex(zeroblob(1500)), '0', '%Y'), 'now')"}) {
            EXPECT_FALSE(db.query(sql, &rows)) << sql;
            EXPECT_TRUE(db.valueTooLong()) << sql << " " << qPrintable(db.lastError());
        }
    }
    SqlRows rows;
    ASSERT_TRUE(db.query("SELECT length(hex(randomblob(20000))), length(printf('%.*c', 20000, 'a'))", &rows));
    EXPECT_EQ(rows.rows[0][0].toInt(), 40000);
    EXPECT_EQ(rows.rows[0][1].toInt(), 20000);
}

TEST(SqlScript, ScriptThatCannotBeReadIsTooLargeOrIsStoppedStopsWithOneBox) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addTeam({.nmbr = 1, .name = "a"});
    const QString path = QDir(programFolder()).filePath("scoring.qv");
    const auto runs = [&](const char* what) {
        data.ui().clear();
        bool stopped = false;
        EXPECT_FALSE(runSqlScript("scoring.qv", 7, 12, &stopped)) << what;
        EXPECT_TRUE(stopped) << what;
        EXPECT_EQ(data.ui().boxes.size(), 1) << what << " " << qPrintable(data.ui().lastBoxText());
        return data.ui().lastBoxText();
    };
    // A folder where the file should be.
    ASSERT_TRUE(QDir().mkdir(path));
    EXPECT_TRUE(runs("a folder").startsWith("Error trying to open " + path));
    ASSERT_TRUE(QDir().rmdir(path));
    // Not text: nothing of it runs, the statement before the NUL neither.
    writeFile(path,
              QByteArray("UPDATE teams SET team_name = 'x';\r\n") + '\0' + "\r\nUPDATE teams SET team_name = 'y';");
    const QString nul = runs("a NUL");
    EXPECT_TRUE(nul.startsWith("Error trying to run " + path)) << qPrintable(nul);
    EXPECT_TRUE(nul.contains("NUL")) << qPrintable(nul);
    EXPECT_EQ(TestDataFile::scalar("SELECT team_name FROM teams").toString(), "a");
    // Larger than any site script: refused before anything of it runs.
    writeFile(path, "UPDATE teams SET team_name = 'x';\n-- " + QByteArray(SqlScript::kMaxFileBytes, '-'));
    const QString large = runs("large");
    EXPECT_TRUE(large.startsWith("Error trying to run " + path + ".\n\nError: it is larger than 1 MB (1048613 bytes)"))
        << qPrintable(large);
    EXPECT_EQ(TestDataFile::scalar("SELECT team_name FROM teams").toString(), "a");
    // A statement without end runs until the user stops it.
    data.ui().stopAtAsk = 3;
    writeFile(path, "UPDATE teams SET team_name = 'x';\n"
                    "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT count(*) FROM c;\n"
                    "UPDATE teams SET team_name = 'y';\n");
    const QString endless = runs("endless");
    EXPECT_TRUE(endless.startsWith("Error trying to run " + path)) << qPrintable(endless);
    EXPECT_TRUE(endless.contains("it was stopped before its end; the race was not posted: WITH RECURSIVE"))
        << qPrintable(endless);
    EXPECT_EQ(data.ui().stopAsks, 3);
    EXPECT_EQ(data.ui().stopText, "Running the site script for race 12...\r\nStop leaves race 12 as it was.");
    EXPECT_EQ(data.ui().stoppablesEnded, 1);                                        // before the box
    EXPECT_EQ(TestDataFile::scalar("SELECT team_name FROM teams").toString(), "x"); // the last one did not run
}

TEST(SqlScript, ScriptThatDoesMoreThanChangeRowsRunsNotAtAll) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    // The quote in the back-quoted name would hide the trigger from a splitter that knew only the
    // other quotes: the first INSERT and the trigger would be one piece, and the last INSERT another.
    writeFile(QDir(programFolder()).filePath("scoring.qv"),
              "INSERT INTO teams (team_nmbr, team_name) VALUES (%league_nmbr%, 'a');\n"
              "CREATE TRIGGER `no'pe` AFTER INSERT ON team_results BEGIN SELECT RAISE(ROLLBACK, 'x'); END;\n"
              "INSERT INTO teams (team_nmbr, team_name) VALUES (%race_nmbr%, 'b');\n");
    const QString schema = TestDataFile::scalar("SELECT group_concat(type || name) FROM sqlite_master").toString();
    bool stopped = false;
    EXPECT_FALSE(runSqlScript("scoring.qv", 7, 12, &stopped));
    EXPECT_TRUE(stopped);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("Error trying to run ")) << qPrintable(data.ui().boxes[0].text);
    EXPECT_TRUE(data.ui().boxes[0].text.contains("CREATE TRIGGER `no'pe`")) << qPrintable(data.ui().boxes[0].text);
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti Error");
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM teams WHERE team_nmbr IN (7, 12)").toInt(), 0);
    EXPECT_EQ(TestDataFile::scalar("SELECT group_concat(type || name) FROM sqlite_master").toString(), schema);
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM sqlite_temp_master").toInt(), 0);

    // Rows-only ends with the script: the program's own statements run as before.
    TestDataFile::exec("CREATE TEMP TABLE after_script (a)");
    TestDataFile::exec("BEGIN");
    TestDataFile::exec("ROLLBACK");
}

TEST(SqlScript, RunsWithPlaceholders) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    // no script: nothing runs, no message
    EXPECT_TRUE(runSqlScript("scoring.qv", 7, 12));
    EXPECT_TRUE(data.ui().boxes.isEmpty());

    writeFile(QDir(programFolder()).filePath("scoring.qv"),
              "INSERT INTO race_head_head VALUES (%race_nmbr%, %league_nmbr%, %league_nmbr%, 1);\n"
              "INSERT INTO race_head_head VALUES (%RACE_NMBR%, 0, 0, 0);\n"
              "INSERT INTO teams (team_nmbr, team_name) VALUES (%league_nmbr%, 'a;b');\n");
    EXPECT_TRUE(runSqlScript("scoring.qv", -7, 12));
    ASSERT_EQ(data.ui().boxes.size(), 1); // the capitalised placeholder is not replaced
    EXPECT_TRUE(data.ui().boxes[0].text.contains("%RACE_NMBR%"));
    EXPECT_EQ(TestDataFile::scalar("SELECT race_nmbr || ',' || league_nmbr || ',' || team_nmbr1 FROM race_head_head")
                  .toString(),
              "12,-7,-7");
    EXPECT_EQ(TestDataFile::scalar("SELECT team_name FROM teams WHERE team_nmbr = -7").toString(), "a;b");
}

TEST(TextFiles, LinesEndAtCrLfLfOrCrWhereverTheReadsFall) {
    // Long enough that line ends fall on the boundaries of the pieces the reader takes.
    QByteArray text;
    QStringList expected;
    const char* ends[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 40000; ++i) {
        const QByteArray line = "line " + QByteArray::number(i) + QByteArray(i % 37, 'x');
        text += line + ends[i % 3];
        expected << QString::fromLatin1(line);
    }
    text += "last without an end\r"; // a lone CR at the very end is a line end too
    expected << QStringLiteral("last without an end");
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("lines.txt");
    writeFile(path, text);
    // Every line the reader gives.
    const auto readLines = [](TextLineReader& reader) {
        QStringList lines;
        QString line;
        while (reader.next(&line))
            lines << line;
        return lines;
    };
    for (const QByteArray& prefix : {QByteArray(), QByteArray("\xEF\xBB\xBF")}) {
        writeFile(path, prefix + text);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        TextLineReader reader(&f);
        const QStringList lines = readLines(reader);
        EXPECT_FALSE(reader.failed());
        EXPECT_EQ(lines, expected);
        EXPECT_EQ(reader.lineNumber(), expected.size());
        EXPECT_EQ(reader.bytesRead(), prefix.size() + text.size());
    }
    // UTF-16: the same lines, both byte orders.
    for (bool little : {true, false}) {
        QByteArray bytes = little ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        for (const char c : text)
            bytes += little ? QByteArray(1, c) + QByteArray(1, '\0') : QByteArray(1, '\0') + QByteArray(1, c);
        writeFile(path, bytes);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        TextLineReader reader(&f);
        EXPECT_EQ(readLines(reader), expected) << little;
    }
}
