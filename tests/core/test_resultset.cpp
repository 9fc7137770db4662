// The result-set object every data class reads through, the transactions around a set of writes,
// and what the connection tells the windows of the writes it commits.

#include "Rows.h"
#include "TestDataFile.h"
#include "data/DataChanges.h"
#include "data/IDatabase.h"
#include "data/UiServices.h"
#include "data/cConnection.h"

#include <gtest/gtest.h>

TEST(ResultSet, CursorFlagsFollowTheRows) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    IDatabase db;
    EXPECT_FALSE(db.isEOF());
    EXPECT_TRUE(db.fields("anything").isNull());
    ASSERT_TRUE(db.OpenResultSet("SELECT car_type_nmbr FROM car_type_dm ORDER BY car_type_nmbr"));
    EXPECT_EQ(db.fields.toInt("CAR_TYPE_NMBR"), 1);
    db.MoveNext();
    db.MoveNext();
    EXPECT_FALSE(db.isEOF());
    EXPECT_EQ(db.fields.toInt("car_type_nmbr"), 3);
    db.MoveNext(); // past the end
    EXPECT_TRUE(db.isEOF());
    EXPECT_TRUE(db.fields("car_type_nmbr").isNull());
    db.MoveNext(); // the last row is current again, EOF stays
    EXPECT_TRUE(db.isEOF());
    EXPECT_EQ(db.fields.toInt("car_type_nmbr"), 3);
    db.MoveNext(); // and past the end again
    EXPECT_TRUE(db.isEOF());
    db.MoveFirst();
    EXPECT_FALSE(db.isBOF());
    db.MovePrevious(); // stays on the first row
    EXPECT_FALSE(db.isBOF());
    EXPECT_EQ(db.fields.toInt("car_type_nmbr"), 1);
    db.MoveLast();
    EXPECT_EQ(db.fields.toInt("car_type_nmbr"), 3);
    EXPECT_EQ(db.recordCount(), 3);
}

TEST(ResultSet, ColumnsAreFoundByNameWhateverTheNameIsHeldIn) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    IDatabase db;
    ASSERT_TRUE(db.OpenResultSet("SELECT 1 AS aa, 2 AS bb, 3 AS cc"));
    const QString bb = QStringLiteral("bb");
    EXPECT_EQ(db.fields.toInt(bb), 2);
    // Names made while the program runs, one after another in the same room, each find their own.
    for (int round = 0; round < 3; ++round)
        for (const char* name : {"aa", "bb", "cc", "dd", "AA"}) {
            const QString made = QString::fromLatin1(name);
            const int expected = made.toLower() == "dd" ? 0 : made.toLower().at(0).unicode() - 'a' + 1;
            EXPECT_EQ(db.fields.toInt(made), expected) << name;
        }
    // Another query's columns in another order: the same name is looked up anew.
    ASSERT_TRUE(db.OpenResultSet("SELECT 20 AS bb, 10 AS aa"));
    EXPECT_EQ(db.fields.toInt(bb), 20);
    EXPECT_TRUE(db.fields("cc").isNull());
    ASSERT_TRUE(db.OpenResultSet("SELECT 7 AS cc"));
    EXPECT_TRUE(db.fields(bb).isNull());
    EXPECT_EQ(db.fields.toInt("cc"), 7);
}

TEST(ResultSet, EmptySetIsHarmless) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    IDatabase db;
    ASSERT_TRUE(db.OpenResultSet("SELECT * FROM teams"));
    EXPECT_TRUE(db.isEOF());
    db.MoveFirst();
    db.MoveLast();
    db.MovePrevious();
    db.MoveNext();
    EXPECT_TRUE(db.isEOF());
    EXPECT_TRUE(db.fields("team_nmbr").isNull());
    EXPECT_EQ(db.recordCount(), 0);
}

TEST(ResultSet, FailingStatementsShowOneBoxEach) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    IDatabase db;
    ASSERT_TRUE(db.OpenResultSet("SELECT car_type_nmbr FROM car_type_dm"));
    EXPECT_FALSE(db.OpenResultSet("SELECT nothing FROM nowhere"));
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
    EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(data.ui().boxes[0].text, "Error = no such table: nowhereSQL = SELECT nothing FROM nowhere");
    EXPECT_EQ(db.fields.toInt("car_type_nmbr"), 1); // the previous rows stay

    EXPECT_FALSE(db.execute("INSERT INTO teams (team_nmbr, team_nam) VALUES (1, 'x')"));
    ASSERT_EQ(data.ui().boxes.size(), 2);
    EXPECT_TRUE(data.ui().boxes[1].text.startsWith("Error = table teams has no column named team_nam SQL = INSERT"));

    // a row whose key exists is skipped silently
    EXPECT_TRUE(db.execute("INSERT INTO car_type_dm VALUES (1, 'Other')"));
    EXPECT_EQ(data.ui().boxes.size(), 2);
    EXPECT_EQ(TestDataFile::scalar("SELECT car_type_name FROM car_type_dm WHERE car_type_nmbr = 1").toString(), "Car");
}

TEST(ResultSet, NoOpenDatabaseIsReportedNotCrashed) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    gConnection->CloseConnection();
    gConnection->CloseConnection(); // twice is harmless
    IDatabase db;
    EXPECT_FALSE(db.OpenResultSet("SELECT 1"));
    EXPECT_FALSE(db.execute("DELETE FROM teams"));
    EXPECT_EQ(data.ui().boxes.size(), 2);
    gConnection.reset();
    EXPECT_FALSE(db.execute("DELETE FROM teams"));
}

TEST(Transactions, NestedLevelsRollBackOnlyTheirOwnPart) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    IDatabase db;
    {
        Transaction outer;
        ASSERT_TRUE(outer.begun());
        db.execute("INSERT INTO teams (team_nmbr, team_name) VALUES (600, 'kept')");
        {
            Transaction inner;
            db.execute("INSERT INTO teams (team_nmbr, team_name) VALUES (601, 'dropped')");
        } // rolled back
        EXPECT_TRUE(outer.commit());
    }
    EXPECT_EQ(TestDataFile::scalar("SELECT group_concat(team_nmbr) FROM teams").toString(), "600");
    {
        Transaction t;
        db.execute("DELETE FROM teams");
    }
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM teams").toInt(), 1);
    EXPECT_EQ(gConnection->getWorkSpace().depth(), 0);
}

namespace {

// What the windows are told of the program's connection's writes: each told batch of tables, in
// lower case, "*" standing for rows the engine did not name.
struct ToldTables {
    QStringList batches;
    QStringList takeAll() { return std::exchange(batches, {}); }
};

void listenTo(SqlDatabase& db, ToldTables& told) {
    db.setWriteListener([&told](const WrittenTables& written) {
        QStringList names(written.names.begin(), written.names.end());
        if (written.unknown)
            names << "*";
        names.sort();
        told.batches << names.join(',');
    });
}

} // namespace

// A window is told of committed rows only, once per commit, with the tables they belong to.
TEST(WriteNotes, CommittedRowsAreToldWithTheirTablesAndRolledBackRowsNever) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    SqlDatabase& db = *gConnection->getConnection();
    ToldTables told;
    listenTo(db, told);

    ASSERT_TRUE(db.exec("INSERT INTO race_type_dm VALUES (500, 'Club')"));
    EXPECT_EQ(told.takeAll(), QStringList{"race_type_dm"});
    ASSERT_TRUE(db.exec("UPDATE teams SET team_name = 'x' WHERE 0"));
    ASSERT_TRUE(db.exec("SELECT count(*) FROM cars"));
    EXPECT_EQ(told.takeAll(), QStringList{});

    // Inside a transaction nothing is told until the commit, which tells every table at once.
    ASSERT_TRUE(db.exec("BEGIN"));
    ASSERT_TRUE(db.exec("INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr) VALUES (500, 1, 1)"));
    ASSERT_TRUE(db.exec("INSERT INTO teams (team_nmbr, team_name) VALUES (500, 'T')"));
    ASSERT_TRUE(db.exec("INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr) VALUES (501, 1, 1)"));
    EXPECT_EQ(told.takeAll(), QStringList{});
    ASSERT_TRUE(db.exec("COMMIT"));
    EXPECT_EQ(told.takeAll(), QStringList{"cars,teams"});

    // Rows a rollback took back were never stored: by ROLLBACK, by the Transaction class, and by a
    // statement that ended the transaction itself.
    ASSERT_TRUE(db.exec("BEGIN"));
    ASSERT_TRUE(db.exec("DELETE FROM cars"));
    ASSERT_TRUE(db.exec("ROLLBACK"));
    {
        Transaction t;
        IDatabase rows;
        rows.execute("UPDATE teams SET team_name = 'y'");
    }
    ASSERT_TRUE(db.exec("BEGIN"));
    ASSERT_TRUE(db.exec("INSERT INTO leagues (league_nmbr, league_name) VALUES (500, 'L')"));
    EXPECT_FALSE(db.exec("INSERT OR ROLLBACK INTO race_type_dm VALUES (500, 'Again')"));
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(told.takeAll(), QStringList{});
    EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM leagues"), 0);

    // Rows a statement prepared once writes run after run are told at the commit too.
    {
        Transaction t;
        SqlStatement insert(db, "INSERT INTO group_dm (group_nmbr, group_name, max_nmbr) VALUES (?, 'G', 1)");
        for (int n = 500; n < 503; ++n) {
            insert.bind(1, n);
            ASSERT_TRUE(insert.exec());
        }
        EXPECT_EQ(told.takeAll(), QStringList{});
        EXPECT_TRUE(t.commit());
    }
    EXPECT_EQ(told.takeAll(), QStringList{"group_dm"});

    // A table emptied whole is written without the engine naming a row: every table is in doubt.
    ASSERT_TRUE(db.exec("DELETE FROM group_dm"));
    ASSERT_EQ(told.batches.size(), 1);
    const QString emptied = told.takeAll().first();
    EXPECT_TRUE(emptied == "*" || emptied.split(',').contains("group_dm")) << emptied.toStdString();
    // A script tells what it committed, also when it stops part way.
    EXPECT_FALSE(db.execScript("INSERT INTO teams (team_nmbr, team_name) VALUES (501, 'U');"
                               " INSERT INTO nowhere VALUES (1)"));
    EXPECT_EQ(told.takeAll(), QStringList{"teams"});
}

// The program's connection notes its writes for the windows: a window asks whether the tables it
// shows changed after it read them.
TEST(WriteNotes, WindowsLearnWhichTablesChangedSinceTheyRead) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const quint64 read = dataChanges().serial();
    EXPECT_LE(dataChanges().lastChangeOf({"cars", "race_type_dm"}), read);
    addTeam({.nmbr = 500, .name = "T"});
    EXPECT_LE(dataChanges().lastChangeOf({"cars", "race_type_dm"}), read);
    EXPECT_GT(dataChanges().lastChangeOf({"leagues", "teams"}), read);
    TestDataFile::exec("UPDATE race_type_dm SET race_type_name = 'Renamed' WHERE race_type_nmbr = 1");
    EXPECT_GT(dataChanges().lastChangeOf({"cars", "race_type_dm"}), read);
    {
        Transaction t;
        addScoringType({.nmbr = 500, .name = "Mine"});
    }
    EXPECT_LE(dataChanges().lastChangeOf({"scoring_type"}), read);
    // A data file replaced as a whole changes every table.
    const quint64 beforeReplace = dataChanges().serial();
    dataChanges().tellNow();
    EXPECT_GT(dataChanges().lastChangeOf({"scoring_type"}), beforeReplace);
}
