#include "TestDataFile.h"
#include "data/CommonCode.h"
#include "data/IDatabase.h"
#include "data/Paths.h"
#include "data/cConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

QByteArray head(const QString& path, int n) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.read(n);
}

// Everything a data file holds, as text: its version, its schema and every table's rows in the
// order they were written.
QStringList contentsOf(SqlDatabase& db) {
    QStringList out;
    SqlRows rows;
    db.query("PRAGMA user_version", &rows);
    out << "version " + rows.rows.value(0).value(0).toString();
    SqlRows schema;
    db.query("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY type, name", &schema);
    for (const auto& entry : schema.rows) {
        out << QStringList{entry[0].toString(), entry[1].toString(), entry[2].toString(), entry[3].toString()}.join('|');
        if (entry[0].toString() != "table" || entry[1].toString().startsWith("sqlite_"))
            continue;
        db.query("SELECT * FROM \"" + entry[1].toString() + "\" ORDER BY rowid", &rows);
        for (const auto& row : rows.rows) {
            QStringList values;
            for (const QVariant& v : row)
                values << (v.isNull() ? QStringLiteral("NULL") : QString::fromLatin1(v.typeName()) + ':' + v.toString());
            out << entry[1].toString() + ": " + values.join(',');
        }
    }
    return out;
}

} // namespace

TEST(DataFile, CreatedEncryptedWithShippedRows) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    EXPECT_NE(head(dataFilePath(), 16), QByteArray("SQLite format 3\0", 16));
    EXPECT_EQ(TestDataFile::scalar("SELECT car_type_name FROM car_type_dm WHERE car_type_nmbr = 3").toString(),
              "Bonus Car");
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM car_type_dm").toInt(), 3);
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM scoring_option_dm WHERE scoring_option_nmbr IN (1,2)").toInt(), 2);
    EXPECT_EQ(TestDataFile::scalar("SELECT race_type_name FROM race_type_dm WHERE race_type_nmbr = 1").toString(),
              "Wexford Cup");
    EXPECT_EQ(TestDataFile::scalar("SELECT race_type_name FROM race_type_dm WHERE race_type_nmbr = 6").toString(), "F1");
    EXPECT_EQ(TestDataFile::scalar("SELECT max(race_type_nmbr) FROM race_type_dm").toInt() < 500, true);
    EXPECT_GT(TestDataFile::scalar("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 1").toInt(), 0);
    EXPECT_EQ(TestDataFile::scalar("PRAGMA user_version").toInt(), 1);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(DataFile, WrongKeyIsRefused) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    gConnection->CloseConnection();
    SqlDatabase db;
    EXPECT_FALSE(db.open(dataFilePath(), "not the key", false, false));
    EXPECT_EQ(db.lastErrorCode(), 26);
    QString error;
    EXPECT_TRUE(isDataFile(dataFilePath(), &error)) << qPrintable(error);
}

TEST(DataFile, MissingFileShowsTwoBoxes) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    gConnection->CloseConnection();
    QFile::remove(dataFilePath());
    EXPECT_FALSE(connectDatabase());
    ASSERT_EQ(data.ui().boxes.size(), 2);
    EXPECT_EQ(data.ui().boxes[1].text, "Unable to connect to Database");
    EXPECT_EQ(data.ui().boxes[1].title, "Quorvanti");
    EXPECT_EQ(gConnection->connectionStatus(), 1);
}

TEST(DataFile, SecondProcessCannotOpenWhileOpen) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    // Another connection stands in for a second process: the exclusive lock refuses it.
    SqlDatabase other;
    EXPECT_FALSE(other.open(dataFilePath(), dataFileKey(), false, true));
    EXPECT_TRUE(other.lastErrorCode() == 5 || other.lastErrorCode() == 6) << other.lastErrorCode();
}

TEST(Backup, IsSmallerEncryptedAndOpens) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    IDatabase db;
    TestDataFile::exec("BEGIN");
    for (int i = 0; i < 3000; ++i)
        TestDataFile::exec(QStringLiteral("INSERT INTO teams (team_nmbr, team_name) VALUES (%1, '%2')")
                               .arg(1000 + i)
                               .arg(QString(200, QLatin1Char('x'))));
    TestDataFile::exec("COMMIT");
    TestDataFile::exec("DELETE FROM teams WHERE team_nmbr > 1010");
    EXPECT_TRUE(backupDatabase(QString()));
    const QString backup = defaultBackupPath();
    ASSERT_TRUE(QFileInfo::exists(backup));
    EXPECT_LT(QFileInfo(backup).size(), QFileInfo(dataFilePath()).size());
    EXPECT_NE(head(backup, 16), QByteArray("SQLite format 3\0", 16));
    QString error;
    EXPECT_TRUE(isDataFile(backup, &error)) << qPrintable(error);
    SqlDatabase copy;
    ASSERT_TRUE(copy.open(backup, dataFileKey(), false, false));
    SqlRows rows;
    ASSERT_TRUE(copy.query("SELECT count(*) FROM teams", &rows));
    EXPECT_EQ(rows.rows[0][0].toInt(), 11);
    ASSERT_TRUE(copy.query("PRAGMA user_version", &rows));
    EXPECT_EQ(rows.rows[0][0].toInt(), 1);
    // the connection is open again after the backup
    EXPECT_TRUE(db.OpenResultSet("SELECT count(*) AS n FROM teams"));
    EXPECT_EQ(db.fields.toInt("n"), 11);
}

TEST(Backup, CopyHoldsTheSameSchemaAndRowsInTheSameOrder) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("BEGIN");
    for (int i = 0; i < 500; ++i)
        TestDataFile::exec(QStringLiteral("INSERT INTO teams (team_nmbr, team_name, team_owner) VALUES (%1, 'T''%1', NULL)")
                               .arg(1000 + i));
    // Rows of one key written out of key order: later reads take the first one written.
    for (int i = 0; i < 300; ++i)
        TestDataFile::exec(QStringLiteral("INSERT INTO team_results (race_nmbr, car_nmbr, team_nmbr, league_nmbr, "
                                          "total_points) VALUES (1, %1, 1000, 500, %2)")
                               .arg(300 - i % 5)
                               .arg(i));
    TestDataFile::exec("COMMIT");
    TestDataFile::exec("DELETE FROM teams WHERE team_nmbr % 7 = 0");
    TestDataFile::exec("DELETE FROM team_results WHERE total_points % 11 = 0");
    TestDataFile::exec("PRAGMA user_version = 7");
    QStringList before;
    {
        SqlDatabase source;
        gConnection->CloseConnection();
        ASSERT_TRUE(source.open(dataFilePath(), dataFileKey(), false, false));
        before = contentsOf(source);
        source.close();
        connectDatabase();
    }
    const QString dest = QDir(data.folder()).filePath("copy.qv");
    ASSERT_TRUE(backupDatabase(dest));
    SqlDatabase copy;
    ASSERT_TRUE(copy.open(dest, dataFileKey(), false, false));
    const QStringList after = contentsOf(copy);
    EXPECT_GT(before.size(), 500);
    EXPECT_EQ(after, before);
}

TEST(Backup, FailureKeepsPreviousBackupAndIsReported) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const QString dest = QDir(data.folder()).filePath("mine.qv");
    ASSERT_TRUE(backupDatabase(dest));
    const QByteArray before = head(dest, 4096);
    // A data file that cannot be read makes the compact fail after the destination was named.
    gConnection->CloseConnection();
    QFile::rename(dataFilePath(), dataFilePath() + ".away");
    {
        QFile junk(dataFilePath());
        junk.open(QIODevice::WriteOnly);
        junk.write(QByteArray(8192, 'j'));
    }
    data.ui().clear();
    EXPECT_FALSE(backupDatabase(dest));
    EXPECT_EQ(head(dest, 4096), before);
    EXPECT_FALSE(QFileInfo::exists(dest + ".part"));
    bool reported = false;
    for (const auto& b : data.ui().boxes)
        reported |= b.text.startsWith("The backup to '" + dest + "' could not be made.");
    EXPECT_TRUE(reported);
    QFile::remove(dataFilePath());
    QFile::rename(dataFilePath() + ".away", dataFilePath());
}

TEST(Backup, MissingBackupsFolderIsSilent) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    QDir(backupsDir()).removeRecursively();
    EXPECT_FALSE(backupDatabase(QString()));
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_EQ(gConnection->connectionStatus(), 0);
    EXPECT_FALSE(QFileInfo::exists(defaultBackupPath()));
}

TEST(Backup, DataFileCannotBeItsOwnBackup) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    QString error;
    gConnection->CloseConnection();
    EXPECT_FALSE(compactFile(dataFilePath(), dataFilePath(), &error));
    EXPECT_TRUE(isDataFile(dataFilePath(), &error));
}

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
