#include "Rows.h"
#include "SmallDisk.h"
#include "TestDataFile.h"
#include "data/IDatabase.h"
#include "data/NewNumber.h"
#include "data/Paths.h"
#include "data/Schema.h"
#include "data/UiServices.h"
#include "data/cConnection.h"
#include "data/cRaceStatusCollection.h"
#include "posting/cRacesCollection.h"
#include "posting/cTeamResultsCollection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

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
        out << QStringList{entry[0].toString(), entry[1].toString(), entry[2].toString(), entry[3].toString()}.join(
            '|');
        if (entry[0].toString() != "table" || entry[1].toString().startsWith("sqlite_"))
            continue;
        db.query("SELECT * FROM \"" + entry[1].toString() + "\" ORDER BY rowid", &rows);
        for (const auto& row : rows.rows) {
            QStringList values;
            for (const QVariant& v : row)
                values << (v.isNull() ? QStringLiteral("NULL")
                                      : QString::fromLatin1(v.typeName()) + ':' + v.toString());
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
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM scoring_option_dm WHERE scoring_option_nmbr IN (1,2)").toInt(),
              2);
    EXPECT_EQ(TestDataFile::scalar("SELECT race_type_name FROM race_type_dm WHERE race_type_nmbr = 1").toString(),
              "Wexford Cup");
    EXPECT_EQ(TestDataFile::scalar("SELECT race_type_name FROM race_type_dm WHERE race_type_nmbr = 6").toString(),
              "F1");
    EXPECT_EQ(TestDataFile::scalar("SELECT max(race_type_nmbr) FROM race_type_dm").toInt() < 500, true);
    EXPECT_GT(TestDataFile::scalar("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 1").toInt(), 0);
    EXPECT_EQ(TestDataFile::scalar("PRAGMA user_version").toInt(), kSchemaVersion);
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
        addTeam({.nmbr = 1000 + i, .name = QString(200, QLatin1Char('x'))});
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
    EXPECT_EQ(rows.rows[0][0].toInt(), kSchemaVersion);
    // the connection is open again after the backup
    EXPECT_TRUE(db.OpenResultSet("SELECT count(*) AS n FROM teams"));
    EXPECT_EQ(db.fields.toInt("n"), 11);
}

TEST(Backup, CopyHoldsTheSameSchemaAndRowsInTheSameOrder) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("BEGIN");
    for (int i = 0; i < 500; ++i)
        addTeam({.nmbr = 1000 + i, .name = QStringLiteral("T'%1").arg(1000 + i)});
    // Rows of one key written out of key order: later reads take the first one written.
    for (int i = 0; i < 300; ++i)
        addTeamResult({.race = 1, .car = 300 - i % 5, .team = 1000, .total = i, .league = 500});
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
    }
    // A data file of a newer schema does not open, and no backup is made of what the program has not open;
    // the copy itself carries the version as it stands.
    data.ui().clear();
    EXPECT_FALSE(connectDatabase());
    const QString dest = QDir(data.folder()).filePath("copy.qv");
    EXPECT_FALSE(backupDatabase(dest));
    EXPECT_TRUE(data.ui().lastBoxText().contains("No data file is open")) << data.ui().lastBoxText().toStdString();
    EXPECT_FALSE(QFileInfo::exists(dest));
    QString error;
    ASSERT_TRUE(compactFile(dataFilePath(), dest, &error)) << error.toStdString();
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

namespace {

mode_t fileMode(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 0777;
}

QString teamNames() {
    return TestDataFile::scalar("SELECT group_concat(team_name) FROM teams").toString();
}

// The data file as one the user lost and started again: the open one is closed, deleted and made anew.
void startAnewDataFile() {
    gConnection->CloseConnection();
    ASSERT_TRUE(QFile::remove(dataFilePath()));
    ASSERT_TRUE(ensureDataFile(dataFilePath()));
    ASSERT_TRUE(connectDatabase());
}

} // namespace

// On an ordinary disk, then with the backups on one that cannot give a file a second name (FAT, exFAT).
TEST(RestoreCrash, KilledAtEveryStepLeavesAWholeDataFile) {
    const char* const steps[] = {"copying", "copied", "checked", "claimed", "kept", "renamed"};
    SmallDisk exfat(SmallDisk::Exfat{}, 16);
    for (int run = 0; run < 12; ++run) {
        const char* step = steps[run % 6];
        SCOPED_TRACE(std::string(step) + (run >= 6 ? " on exFAT" : ""));
        if (run >= 6 && !exfat.ok())
            GTEST_SKIP() << qPrintable(exfat.why());
        TestDataFile data;
        ASSERT_TRUE(data.ok());
        setBackupsDir(run >= 6 ? QDir(exfat.path()).filePath(QString::number(run)) : backupsDir());
        QDir().mkpath(backupsDir());
        const QString saved = QDir(data.folder()).filePath("saved.qv");
        addTeam({.nmbr = 500, .name = "saved"});
        ASSERT_TRUE(backupDatabase(saved));
        TestDataFile::exec("UPDATE teams SET team_name = 'current'");
        gConnection->CloseConnection();
        const QByteArray current = bytesOf(dataFilePath());

        // The restore runs in a child process that is killed as it reaches the step.
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            setRestoreStepHook([step](const char* reached) {
                if (std::strcmp(reached, step) == 0)
                    ::kill(::getpid(), SIGKILL);
            });
            QString error;
            restoreDataFile(saved, &error);
            ::_exit(3); // the step was never reached
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

        // The next start finds a whole data file: the old one, or the restored one once it was renamed.
        ASSERT_TRUE(ensureDataFile(dataFilePath()));
        ASSERT_TRUE(connectDatabase());
        EXPECT_EQ(teamNames(), std::strcmp(step, "renamed") == 0 ? "saved" : "current");
        EXPECT_FALSE(QFileInfo::exists(restoreSidePath()));
        // Once kept, the data file replaced is there whole beside the backups; its name alone is never offered.
        const QStringList kept = QDir(backupsDir()).entryList({"quorvanti30-*.qv"});
        const bool named = std::strcmp(step, "claimed") == 0;
        if (named || std::strcmp(step, "kept") == 0 || std::strcmp(step, "renamed") == 0) {
            ASSERT_EQ(kept.size(), 1);
            EXPECT_EQ(bytesOf(QDir(backupsDir()).filePath(kept[0])), named ? QByteArray() : current);
            EXPECT_EQ(backupToOffer().isEmpty(), named);
        } else {
            EXPECT_TRUE(kept.isEmpty()) << qPrintable(kept.join(' '));
        }
        EXPECT_EQ(fileMode(dataFilePath()), 0600u);
        EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    }
}

TEST(RestoreCrash, NoEmptyDataFileWhileAnInterruptedRestoreWaits) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addTeam({.nmbr = 500, .name = "mine"});
    gConnection->CloseConnection();

    // Only the copy of an interrupted restore is left: the start ends with a box and creates nothing.
    ASSERT_TRUE(QFile::rename(dataFilePath(), restoreSidePath()));
    EXPECT_FALSE(ensureDataFile(dataFilePath()));
    EXPECT_FALSE(QFileInfo::exists(dataFilePath()));
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.contains(restoreSidePath())) << qPrintable(data.ui().boxes[0].text);

    // The data an older restore moved aside is put back.
    ASSERT_TRUE(QFile::rename(restoreSidePath(), dataFilePath() + ".before-restore"));
    EXPECT_TRUE(ensureDataFile(dataFilePath()));
    ASSERT_TRUE(connectDatabase());
    EXPECT_EQ(teamNames(), "mine");
    EXPECT_FALSE(QFileInfo::exists(dataFilePath() + ".before-restore"));
    EXPECT_EQ(data.ui().boxes.size(), 1);
}

TEST(FileModes, DataFileJournalAndBackupsAreOwnerOnly) {
    const mode_t oldMask = ::umask(022); // the usual mask: new files readable by everybody
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    EXPECT_EQ(fileMode(dataFilePath()), 0600u);
    // The engine writes the journal the moment a transaction changes a page.
    TestDataFile::exec("BEGIN; INSERT INTO teams (team_nmbr, team_name) VALUES (500, 'x');");
    ASSERT_TRUE(QFileInfo::exists(dataFilePath() + "-journal"));
    EXPECT_EQ(fileMode(dataFilePath() + "-journal"), 0600u);
    TestDataFile::exec("COMMIT");

    ASSERT_TRUE(backupDatabase(QString()));
    EXPECT_EQ(fileMode(defaultBackupPath()), 0600u);
    const QString chosen = QDir(data.folder()).filePath("chosen.qv");
    ASSERT_TRUE(backupDatabase(chosen));
    EXPECT_EQ(fileMode(chosen), 0600u);

    // A restored data file, and one made readable by others before, end up owner-only too.
    ::chmod(QFile::encodeName(chosen).constData(), 0644);
    gConnection->CloseConnection();
    QString error;
    ASSERT_TRUE(restoreDataFile(chosen, &error)) << qPrintable(error);
    EXPECT_EQ(fileMode(dataFilePath()), 0600u);
    ::chmod(QFile::encodeName(dataFilePath()).constData(), 0644);
    ASSERT_TRUE(connectDatabase());
    EXPECT_EQ(fileMode(dataFilePath()), 0600u);
    ::umask(oldMask);
}

TEST(FileModes, OnlyARegularFileOpenedAsTheDataFileIsTightened) {
    const mode_t oldMask = ::umask(022);
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    gConnection->CloseConnection();
    const QByteArray path = QFile::encodeName(dataFilePath());

    // A read-only data file loses the others' rights but gains none.
    ASSERT_EQ(::chmod(path.constData(), 0444), 0);
    ASSERT_TRUE(connectDatabase());
    EXPECT_EQ(fileMode(dataFilePath()), 0400u);
    gConnection->CloseConnection();

    // Through a link the file it leads to keeps its mode.
    const QString elsewhere = QDir(data.folder()).filePath("elsewhere.qv");
    ASSERT_TRUE(QFile::rename(dataFilePath(), elsewhere));
    ASSERT_EQ(::chmod(QFile::encodeName(elsewhere).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(elsewhere, dataFilePath()));
    ASSERT_TRUE(connectDatabase());
    EXPECT_EQ(fileMode(elsewhere), 0644u);
    gConnection->CloseConnection();

    // A folder in the data file's place is no data file: it is left as it is, and said to be a folder.
    ASSERT_TRUE(QFile::remove(dataFilePath()));
    ASSERT_TRUE(QDir().mkdir(dataFilePath()));
    ASSERT_EQ(::chmod(path.constData(), 0755), 0);
    EXPECT_FALSE(connectDatabase());
    EXPECT_EQ(fileMode(dataFilePath()), 0755u);
    ASSERT_EQ(data.ui().boxes.size(), 2);
    EXPECT_EQ(data.ui().boxes[0].text, "'" + dataFilePath() + "' is a folder, not a Quorvanti data file.");
    ::umask(oldMask);
}

TEST(Backup, NoneIsMadeWithoutAnOpenDataFileAndAFullerOneIsKeptBesideTheNewOne) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addTeam({.nmbr = 500, .name = "mine"});
    ASSERT_TRUE(backupDatabase(QString()));
    const auto teamsIn = [](const QString& path) {
        SqlDatabase backup;
        SqlRows rows;
        if (!backup.open(path, dataFileKey(), false, false) ||
            !backup.query("SELECT group_concat(team_name) FROM teams", &rows))
            return QStringLiteral("<unreadable>");
        return rows.rows.value(0).value(0).toString();
    };
    const auto backupTeams = [&teamsIn] { return teamsIn(defaultBackupPath()); };

    // While no data file is open: the exit backup is not made, one the user asks for says why.
    gConnection->CloseConnection();
    EXPECT_FALSE(backupDatabase(QString()));
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    const QString chosen = QDir(data.folder()).filePath("chosen.qv");
    EXPECT_FALSE(backupDatabase(chosen));
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.contains("No data file is open")) << qPrintable(data.ui().boxes[0].text);
    EXPECT_FALSE(QFileInfo::exists(chosen));
    EXPECT_EQ(backupTeams(), "mine");

    // A new, empty data file in place of the lost one never takes the place of the backup of the user's data:
    // that one stays beside the new backup under a dated name, and a box says where.
    ASSERT_TRUE(QFile::remove(dataFilePath()));
    ASSERT_TRUE(ensureDataFile(dataFilePath()));
    ASSERT_TRUE(connectDatabase());
    EXPECT_TRUE(exitBackupWouldLoseData(defaultBackupPath()));
    const QString kept = keptBackupPath(defaultBackupPath());
    EXPECT_TRUE(QFileInfo(kept).fileName().startsWith("quorvanti30-")) << qPrintable(kept);
    EXPECT_TRUE(kept.endsWith(".qv"));
    data.ui().clear();
    EXPECT_TRUE(backupDatabase(QString()));
    EXPECT_EQ(backupTeams(), "");
    EXPECT_EQ(teamsIn(kept), "mine");
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(data.ui().boxes[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(data.ui().boxes[0].text.contains(kept)) << qPrintable(data.ui().boxes[0].text);
    EXPECT_TRUE(data.ui().boxes[0].text.contains("Restore Data File")) << qPrintable(data.ui().boxes[0].text);
    EXPECT_TRUE(gConnection->getConnection());
    // The next exit compares with the new backup: nothing more is kept, and nothing is said.
    data.ui().clear();
    EXPECT_TRUE(backupDatabase(QString()));
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    EXPECT_EQ(QDir(backupsDir()).entryList({"*.qv"}, QDir::Files).size(), 2);
    // A backup the user names is made all the same; and once the data file holds the user's rows again,
    // the exit backup follows it.
    EXPECT_TRUE(backupDatabase(chosen));
    addTeam({.nmbr = 501, .name = "again"});
    EXPECT_TRUE(backupDatabase(QString()));
    EXPECT_EQ(backupTeams(), "again");
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
}

TEST(RestoreCrash, AFileOfANewerVersionIsRefusedBeforeItReplacesAnything) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addTeam({.nmbr = 500, .name = "mine"});
    const QString newer = QDir(data.folder()).filePath("newer.qv");
    ASSERT_TRUE(backupDatabase(newer));
    {
        SqlDatabase db;
        ASSERT_TRUE(db.open(newer, dataFileKey(), false, false));
        ASSERT_TRUE(db.exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion + 1)));
    }
    QString error;
    EXPECT_FALSE(isDataFile(newer, &error));
    EXPECT_TRUE(error.contains("newer version")) << qPrintable(error);

    gConnection->CloseConnection();
    error.clear();
    EXPECT_FALSE(restoreDataFile(newer, &error));
    EXPECT_TRUE(error.contains("newer version")) << qPrintable(error);
    EXPECT_FALSE(QFileInfo::exists(restoreSidePath()));
    ASSERT_TRUE(connectDatabase());
    EXPECT_EQ(teamNames(), "mine");

    // A file of the first version is brought up to date on its way in.
    const QString older = QDir(data.folder()).filePath("older.qv");
    ASSERT_TRUE(backupDatabase(older));
    {
        SqlDatabase db;
        ASSERT_TRUE(db.open(older, dataFileKey(), false, false));
        ASSERT_TRUE(db.exec(QStringLiteral("PRAGMA user_version = 1")));
    }
    gConnection->CloseConnection();
    ASSERT_TRUE(restoreDataFile(older, &error)) << qPrintable(error);
    ASSERT_TRUE(connectDatabase());
    EXPECT_EQ(TestDataFile::scalar("PRAGMA user_version").toInt(), kSchemaVersion);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
}

TEST(Backup, ReplacesTheDestinationInOneStepAndLeavesOtherFilesAlone) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const QString dest = QDir(data.folder()).filePath("mine.qv");
    const QString users = dest + ".old";
    {
        QFile f(users);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("the user's own file");
    }
    ASSERT_TRUE(backupDatabase(dest));
    addTeam({.nmbr = 500, .name = "later"});
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(dest).constData(), &st), 0);
    const ino_t first = st.st_ino;
    ASSERT_TRUE(backupDatabase(dest));
    ASSERT_EQ(::stat(QFile::encodeName(dest).constData(), &st), 0);
    EXPECT_NE(st.st_ino, first); // a new file renamed into place, not the old one rewritten
    QFile f(users);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("the user's own file"));
    EXPECT_FALSE(QFileInfo::exists(dest + ".part"));
    SqlDatabase copy;
    ASSERT_TRUE(copy.open(dest, dataFileKey(), false, false));
    SqlRows rows;
    ASSERT_TRUE(copy.query("SELECT team_name FROM teams", &rows));
    ASSERT_EQ(rows.rows.size(), 1);
    EXPECT_EQ(rows.rows[0][0].toString(), "later");
}

TEST(DataFile, DamagedFileIsToldApartFromALockedOne) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    // Held by another connection (another copy of the program): locked.
    SqlDatabase other;
    gConnection->CloseConnection();
    ASSERT_TRUE(other.open(dataFilePath(), dataFileKey(), false, true));
    EXPECT_FALSE(connectDatabase());
    ASSERT_EQ(data.ui().boxes.size(), 2);
    EXPECT_EQ(data.ui().boxes[0].text,
              "The data file '" + dataFilePath() + "' is locked: another program is using it.");
    other.close();

    // Garbage, or a file of another program: damaged or foreign, never a question of a password.
    data.ui().clear();
    gConnection->CloseConnection();
    {
        QFile f(dataFilePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, 'd'));
    }
    EXPECT_FALSE(connectDatabase());
    ASSERT_EQ(data.ui().boxes.size(), 2);
    EXPECT_EQ(data.ui().boxes[0].text,
              "The data file '" + dataFilePath() + "' is damaged or is not a Quorvanti data file.");
    EXPECT_EQ(data.ui().boxes[1].text, "Unable to connect to Database");
}

TEST(DataFile, FileOfTheFirstVersionIsBroughtUpToDateWithEveryRowKept) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("BEGIN");
    for (int race = 1; race <= 3; ++race)
        addRace({.nmbr = race,
                 .name = QStringLiteral("Race %1").arg(race),
                 .track = "Track",
                 .date = QStringLiteral("2024-02-%1").arg(race * 7 - 3, 2, 10, QLatin1Char('0'))});
    for (int i = 0; i < 200; ++i)
        addTeamResult({.race = 1 + i % 3, .car = 600 + i % 7, .team = 500 + i % 11, .total = i, .league = 500});
    // The file as the first version left it: the team results keyed by team and car.
    TestDataFile::exec("DROP INDEX team_results_race_team_car");
    TestDataFile::exec("CREATE INDEX team_results_team_car ON team_results (team_nmbr, car_nmbr)");
    TestDataFile::exec("CREATE INDEX team_results_summary_team ON team_results_summary (team_nmbr)");
    TestDataFile::exec("PRAGMA user_version = 1");
    TestDataFile::exec("COMMIT");
    const auto tables = [] {
        SqlDatabase db;
        db.open(dataFilePath(), dataFileKey(), false, false);
        QStringList rows = contentsOf(db).filter(QRegularExpression("^(?!index\\||version )"));
        return rows;
    };
    gConnection->CloseConnection();
    const QStringList before = tables();
    ASSERT_TRUE(connectDatabase());
    EXPECT_TRUE(data.ui().boxes.isEmpty());
    EXPECT_EQ(TestDataFile::scalar("PRAGMA user_version").toInt(), kSchemaVersion);
    EXPECT_EQ(TestDataFile::scalar("SELECT group_concat(name) FROM (SELECT name FROM sqlite_master WHERE type = 'index'"
                                   " AND tbl_name LIKE 'team_results%' AND sql IS NOT NULL ORDER BY name)")
                  .toString(),
              "team_results_league_race,team_results_race,team_results_race_team_car,team_results_summary_race");
    // The one check that read the old index finds the same rows through the new one.
    EXPECT_TRUE(cTeamResultsCollection().resultsForCarExistsAfterDate(503, 601, QDate(2024, 2, 12)));
    EXPECT_FALSE(cTeamResultsCollection().resultsForCarExistsAfterDate(503, 601, QDate(2024, 2, 19)));
    EXPECT_FALSE(cTeamResultsCollection().resultsForCarExistsAfterDate(503, 599, QDate(2024, 1, 1)));
    gConnection->CloseConnection();
    EXPECT_EQ(tables(), before);

    // A file of a later version than this program knows is refused, not changed.
    {
        SqlDatabase db;
        ASSERT_TRUE(db.open(dataFilePath(), dataFileKey(), false, false));
        ASSERT_TRUE(db.exec("PRAGMA user_version = 99"));
    }
    data.ui().clear();
    EXPECT_FALSE(connectDatabase());
    ASSERT_EQ(data.ui().boxes.size(), 2);
    EXPECT_EQ(data.ui().boxes[0].text, "The data file was written by a newer version of Quorvanti (schema 99).");
}

// A file of the second version, made as that version made it: the statuses as they were shipped then, and
// a new race at 1, "Scheduled". Each race reads the status it had: where the shipped names are still
// there, it moves to that status's new number; a status its owner renamed keeps its number and name, and
// one its owner added at a number this version needs moves, with its races, to a free number from 500.
TEST(DataFile, FileOfTheSecondVersionKeepsWhatEachRaceSays) {
    const struct {
        QString statuses;
        QString at; // the races' statuses before; race 5 at 0 as an import brought it
        QString races;
        QString read;
        QString list;
    } files[] = {
        {"1 Scheduled, 2 Completed, 3 Postponed, 4 Cancelled", "1,2,3,4,0", "0,2,5,4,0",
         "Scheduled, Completed, Postponed, Cancelled, Scheduled",
         "0 Scheduled, 1 Unofficial, 2 Completed, 3 Qualifying, 4 Cancelled, 5 Postponed"},
        {"1 Provisional, 2 Completed, 3 Rain Delay, 4 Cancelled", "1,2,3,4,0", "1,2,3,4,0",
         "Provisional, Completed, Rain Delay, Cancelled, Scheduled",
         "0 Scheduled, 1 Provisional, 2 Completed, 3 Rain Delay, 4 Cancelled, 5 Postponed"},
        {"0 TBD, 1 Scheduled, 2 Completed, 3 Postponed, 4 Cancelled, 5 Rain Delay, 500 Red Flag", "1,2,3,4,0,5,500",
         "0,2,5,4,501,502,500", "Scheduled, Completed, Postponed, Cancelled, TBD, Rain Delay, Red Flag",
         "0 Scheduled, 1 Unofficial, 2 Completed, 3 Qualifying, 4 Cancelled, 5 Postponed, 500 Red Flag, 501 TBD, "
         "502 Rain Delay"},
        {"0 scheduled, 1 Scheduled, 2 Completed, 3 Postponed, 4 Cancelled", "1,2,3,4,0", "0,2,5,4,0",
         "scheduled, Completed, Postponed, Cancelled, scheduled",
         "0 scheduled, 1 Unofficial, 2 Completed, 3 Qualifying, 4 Cancelled, 5 Postponed"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.statuses.toStdString());
        TestDataFile data;
        ASSERT_TRUE(data.ok());
        gConnection->CloseConnection();
        ASSERT_TRUE(QFile::remove(dataFilePath()));
        {
            SqlDatabase db;
            QString error;
            ASSERT_TRUE(db.open(dataFilePath(), dataFileKey(), true, true));
            ASSERT_TRUE(createSchema(db, &error)) << qPrintable(error);
            QStringList rows;
            for (const QString& status : file.statuses.split(", "))
                rows << QStringLiteral("(%1, '%2')").arg(status.section(' ', 0, 0), status.section(' ', 1));
            QStringList races;
            for (const QString& status : file.at.split(','))
                races << QStringLiteral("(%1, 'Race %1', '2024-02-0%1', 1, 1, %2)").arg(races.size() + 1).arg(status);
            ASSERT_TRUE(db.exec("DELETE FROM race_status_dm") &&
                        db.exec("INSERT INTO race_status_dm VALUES " + rows.join(", ")) &&
                        db.exec("INSERT INTO races (race_nmbr, race_name, race_dt, car_type_nmbr, race_type_nmbr,"
                                " race_status_nmbr) VALUES " +
                                races.join(", ")) &&
                        db.exec("PRAGMA user_version = 2"));
        }
        ASSERT_TRUE(connectDatabase());
        EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
        EXPECT_EQ(TestDataFile::scalar("PRAGMA user_version").toInt(), kSchemaVersion);
        EXPECT_EQ(TestDataFile::scalar("SELECT group_concat(race_status_nmbr || ' ' || race_status_name, ', ') FROM"
                                       " (SELECT * FROM race_status_dm ORDER BY race_status_nmbr)")
                      .toString(),
                  file.list);
        EXPECT_EQ(
            TestDataFile::scalar("SELECT group_concat(race_status_nmbr) FROM (SELECT * FROM races ORDER BY race_nmbr)")
                .toString(),
            file.races);
        cRacesCollection races;
        races.load();
        cRaceStatusCollection statuses;
        QStringList read;
        for (const cRaces& race : races)
            read << statuses.getraceStatusName(race.raceStatusNmbr());
        EXPECT_EQ(read.join(", "), file.read);

        // Brought up to date once: a file of this version is left as it is.
        TestDataFile::exec("UPDATE races SET race_status_nmbr = 1");
        gConnection->CloseConnection();
        ASSERT_TRUE(connectDatabase());
        EXPECT_EQ(TestDataFile::count("SELECT count(*) FROM races WHERE race_status_nmbr = 1"), races.Count());
    }
}

TEST(NewNumbers, StopAtTheLargestNumberAColumnHolds) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    IDatabase db;
    int number = 0;
    addTeam({.nmbr = 32766, .name = "imported"});
    ASSERT_TRUE(newUserNumber(db, "SELECT MAX(team_nmbr) as m FROM teams", "m", &number));
    EXPECT_EQ(number, 32767);
    addTeam({.nmbr = 32767, .name = "last"});
    number = 0;
    EXPECT_FALSE(newUserNumber(db, "SELECT MAX(team_nmbr) as m FROM teams", "m", &number));
    EXPECT_EQ(number, 0);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text,
              "There is no number left for a new entry: numbers go up to 32767, and 32767 is already in use.");
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
}

TEST(DamagedFiles, ABackupDamagedInsideIsNotRestoredAndADamagedDataFileIsNotBackedUp) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::addCars(1, 6000);
    addTeam({.nmbr = 500, .name = "saved"});
    const QString saved = QDir(data.folder()).filePath("saved.qv");
    ASSERT_TRUE(backupDatabase(saved));
    ASSERT_TRUE(backupDatabase(QString()));
    TestDataFile::exec("UPDATE teams SET team_name = 'current'");
    EXPECT_EQ(checkOpenDataFile(), QString());

    // One byte changed in a page well inside: the file still opens with the key, but is not restored.
    TestDataFile::damagePage(saved, 200);
    gConnection->CloseConnection();
    const QByteArray before = bytesOf(dataFilePath());
    QString error;
    EXPECT_TRUE(isDataFile(saved, &error)) << qPrintable(error);
    EXPECT_FALSE(restoreDataFile(saved, &error));
    EXPECT_EQ(error, "'" + saved + "' is damaged: some of its pages cannot be read.");
    EXPECT_EQ(bytesOf(dataFilePath()), before);
    EXPECT_FALSE(QFileInfo::exists(restoreSidePath()));

    // The data file damaged the same way opens, and the check finds it; no backup is made of it then, at exit
    // nor when asked, and the backup that is there stays as it was.
    TestDataFile::damagePage(dataFilePath(), 200);
    ASSERT_TRUE(connectDatabase());
    EXPECT_EQ(checkOpenDataFile(),
              "The data file '" + dataFilePath() + "' is damaged: some of its pages cannot be read.");
    EXPECT_EQ(dataFileDamage(), checkOpenDataFile());
    const QByteArray backup = bytesOf(defaultBackupPath());
    data.ui().clear();
    EXPECT_FALSE(backupDatabase(QString()));
    EXPECT_FALSE(backupDatabase(QDir(data.folder()).filePath("asked.qv")));
    ASSERT_EQ(data.ui().boxes.size(), 2);
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("The backup to '" + defaultBackupPath() + "' could not be made."));
    EXPECT_TRUE(data.ui().boxes[0].text.contains("is damaged")) << qPrintable(data.ui().boxes[0].text);
    EXPECT_TRUE(data.ui().boxes[0].text.contains("was kept as it was")) << qPrintable(data.ui().boxes[0].text);
    EXPECT_EQ(bytesOf(defaultBackupPath()), backup);
    EXPECT_FALSE(QFileInfo::exists(QDir(data.folder()).filePath("asked.qv")));

    // A backup whose first page is damaged is named as the one tried, never by the copy the restore made of it.
    TestDataFile::damagePage(saved, 0);
    gConnection->CloseConnection();
    EXPECT_FALSE(restoreDataFile(saved, &error));
    EXPECT_EQ(error, "'" + saved + "' is not a Quorvanti data file.");

    // The whole backup restored takes the damage away, and backups are made again. The damaged file is kept
    // first beside the backups under a dated name, never over a file of that name.
    const QByteArray damaged = bytesOf(dataFilePath());
    const QString taken = keptDataFilePath();
    ASSERT_TRUE(QFile(taken).open(QIODevice::WriteOnly));
    QString kept;
    ASSERT_TRUE(restoreDataFile(defaultBackupPath(), &error, &kept)) << qPrintable(error);
    EXPECT_EQ(kept, taken.chopped(3) + "-2.qv");
    EXPECT_EQ(bytesOf(kept), damaged);
    EXPECT_EQ(QFileInfo(taken).size(), 0);
    EXPECT_EQ(dataFileDamage(), QString());
    ASSERT_TRUE(connectDatabase());
    EXPECT_EQ(checkOpenDataFile(), QString());
    EXPECT_EQ(teamNames(), "saved");
    EXPECT_TRUE(backupDatabase(QString()));

    // Without the backup of every exit, the newest dated copy that reads whole is offered: never the damaged
    // file kept a moment ago, nor the empty one, though both are newer.
    const QString older = QDir(backupsDir()).filePath("quorvanti30-2020-01-01-120000.qv");
    ASSERT_TRUE(QFile::rename(defaultBackupPath(), older));
    QFile olderFile(older);
    ASSERT_TRUE(olderFile.open(QIODevice::ReadWrite) &&
                olderFile.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(12, 0)), QFileDevice::FileModificationTime));
    olderFile.close();
    EXPECT_EQ(backupToOffer(), older);

    // A data file that cannot be kept (the folder of the backups is gone) is not replaced, and the reason says so.
    gConnection->CloseConnection();
    const QByteArray current = bytesOf(dataFilePath());
    setBackupsDir(QDir(data.folder()).filePath("gone"));
    EXPECT_FALSE(restoreDataFile(older, &error));
    EXPECT_TRUE(
        error.startsWith("The data file '" + dataFilePath() + "' was not replaced: a copy of it could not be kept"))
        << qPrintable(error);
    EXPECT_EQ(bytesOf(dataFilePath()), current);

    // Kept, but the data file went with a failed rename (some file systems remove it first): its copy stays, named.
    setBackupsDir(QDir(data.folder()).filePath("Backups"));
    const auto unhooked = qScopeGuard([] { setRestoreStepHook(nullptr); });
    setRestoreStepHook([](const char* step) {
        if (std::strcmp(step, "kept") == 0 && QFile::remove(restoreSidePath()))
            QFile::remove(dataFilePath());
    });
    const QString copy = keptDataFilePath();
    EXPECT_FALSE(restoreDataFile(older, &error));
    EXPECT_EQ(bytesOf(copy), current);
    EXPECT_TRUE(error.contains("The data file as it was is kept as " + copy)) << qPrintable(error);
}

TEST(Backup, AFileWithLittleFreeSpaceIsCopiedPageForPageAndAFullDiskKeepsThePreviousOne) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::addCars(1, 2000);
    ASSERT_TRUE(backupDatabase(QString()));
    // The data file's bytes under the same key: the copy opens as the data file, with every row.
    gConnection->CloseConnection();
    EXPECT_EQ(bytesOf(defaultBackupPath()), bytesOf(dataFilePath()));
    ASSERT_TRUE(connectDatabase());

    SmallDisk disk(1024);
    if (!disk.ok())
        GTEST_SKIP() << qPrintable(disk.why());
    setBackupsDir(disk.path());
    ASSERT_TRUE(backupDatabase(QString()));
    const QByteArray previous = bytesOf(defaultBackupPath());
    addTeam({.nmbr = 500, .name = "later"});
    disk.fill();
    data.ui().clear();
    // The exit backup that finds no room says so; the previous one is kept whole, nothing is left half done.
    EXPECT_FALSE(backupDatabase(QString()));
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text, "The backup to '" + defaultBackupPath() +
                                           "' could not be made.\n\nThe disk "
                                           "that holds '" +
                                           disk.path() + "' is full.");
    EXPECT_EQ(bytesOf(defaultBackupPath()), previous);
    EXPECT_FALSE(QFileInfo::exists(defaultBackupPath() + ".part"));
    EXPECT_TRUE(gConnection->getConnection());
    EXPECT_EQ(teamNames(), "later");
}

TEST(Backup, ALargeDataFileThatLostMostOfItsRowsKeepsTheFullerBackup) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::addCars(1, 24000);
    ASSERT_TRUE(backupDatabase(QString()));
    const QByteArray full = bytesOf(defaultBackupPath());
    // The season's ordinary changes replace the backup without a word.
    TestDataFile::exec("DELETE FROM cars WHERE car_nmbr > 20000");
    ASSERT_TRUE(backupDatabase(QString()));
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
    EXPECT_EQ(QDir(backupsDir()).entryList(QDir::Files).size(), 1);
    // Most of the rows gone: the backup with them stays.
    const QByteArray fuller = bytesOf(defaultBackupPath());
    TestDataFile::exec("DELETE FROM cars WHERE car_nmbr > 1000");
    const QString kept = keptBackupPath(defaultBackupPath());
    ASSERT_TRUE(backupDatabase(QString()));
    EXPECT_EQ(bytesOf(kept), fuller);
    EXPECT_NE(full, fuller);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.contains("20000 entries against 1000")) << qPrintable(data.ui().lastBoxText());
    // The rebuilt backup left the free space out.
    EXPECT_LT(QFileInfo(defaultBackupPath()).size() * 4, QFileInfo(dataFilePath()).size());
}

TEST(DataFile, EmptyFolderAndReadOnlyDataFilesAreSaidInPlainWords) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    ASSERT_TRUE(backupDatabase(QString()));
    gConnection->CloseConnection();
    // A file of no bytes holds nothing of the user's: it is neither opened (which would write a page into it)
    // nor replaced by a new data file unasked.
    { QFile(dataFilePath()).resize(0); }
    EXPECT_EQ(findDataFile(dataFilePath()), DataFileFound::Empty);
    EXPECT_FALSE(ensureDataFile(dataFilePath()));
    EXPECT_FALSE(connectDatabase());
    ASSERT_EQ(data.ui().boxes.size(), 3);
    EXPECT_EQ(data.ui().boxes[0].text,
              "The data file '" + dataFilePath() + "' is empty: it holds none of Quorvanti's data.");
    EXPECT_EQ(data.ui().boxes[1].text, "'" + dataFilePath() + "' is empty: it holds none of Quorvanti's data.");
    EXPECT_EQ(QFileInfo(dataFilePath()).size(), 0);
    QString error;
    EXPECT_FALSE(isDataFile(dataFilePath(), &error));
    EXPECT_EQ(QFileInfo(dataFilePath()).size(), 0);
    // The backup restored in its place is the data file again.
    ASSERT_TRUE(restoreDataFile(defaultBackupPath(), &error)) << qPrintable(error);
    EXPECT_EQ(findDataFile(dataFilePath()), DataFileFound::Present);

    // A data file on a drive that refuses writes: the engine's own words ("attempt to write a readonly
    // database") mean nothing to the user.
    SmallDisk disk(1024);
    if (!disk.ok())
        GTEST_SKIP() << qPrintable(disk.why());
    const QString readOnly = QDir(disk.path()).filePath("quorvanti30.qv");
    ASSERT_TRUE(QFile::copy(dataFilePath(), readOnly));
    ASSERT_EQ(::mount("none", QFile::encodeName(disk.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    ASSERT_TRUE(QFile::remove(dataFilePath()));
    ASSERT_TRUE(QFile::link(readOnly, dataFilePath()));
    data.ui().clear();
    EXPECT_FALSE(connectDatabase());
    ASSERT_EQ(data.ui().boxes.size(), 2);
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("The data file '" + dataFilePath() + "' is read-only"))
        << qPrintable(data.ui().boxes[0].text);
}

TEST(RestoreCrash, ARestoreThroughALinkReplacesTheFileItLeadsTo) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addTeam({.nmbr = 500, .name = "saved"});
    const QString saved = QDir(data.folder()).filePath("saved.qv");
    ASSERT_TRUE(backupDatabase(saved));
    TestDataFile::exec("UPDATE teams SET team_name = 'current'");
    gConnection->CloseConnection();
    QDir(data.folder()).mkdir("elsewhere");
    const QString elsewhere = QDir(data.folder()).filePath("elsewhere/data.qv");
    ASSERT_TRUE(QFile::rename(dataFilePath(), elsewhere));
    ASSERT_EQ(::chmod(QFile::encodeName(elsewhere).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(elsewhere, dataFilePath()));

    QString error;
    ASSERT_TRUE(restoreDataFile(saved, &error)) << qPrintable(error);
    EXPECT_TRUE(QFileInfo(dataFilePath()).isSymLink());
    EXPECT_EQ(QFileInfo(dataFilePath()).symLinkTarget(), elsewhere);
    EXPECT_EQ(fileMode(elsewhere), 0640u);
    EXPECT_FALSE(QFileInfo::exists(elsewhere + ".restoring"));
    ASSERT_TRUE(connectDatabase());
    EXPECT_EQ(teamNames(), "saved");
    // A new data file in place of one gone from the link's folder is made there too.
    gConnection->CloseConnection();
    ASSERT_TRUE(QFile::remove(elsewhere));
    EXPECT_EQ(findDataFile(dataFilePath()), DataFileFound::Missing);
    ASSERT_TRUE(createDataFile(dataFilePath()));
    EXPECT_TRUE(QFileInfo(dataFilePath()).isSymLink());
    EXPECT_TRUE(QFileInfo(elsewhere).isFile());
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << qPrintable(data.ui().lastBoxText());
}

// A page that goes bad on the disk after the check at the start is copied with the file's bytes: the copy
// is read back before it replaces anything, and the good backup stays.
TEST(DamagedFiles, ADataFileDamagedWhileOpenNeverTakesTheBackupsPlace) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::addCars(1, 30000);
    addTeam({.nmbr = 500, .name = "saved"});
    ASSERT_TRUE(backupDatabase(QString()));
    const QByteArray good = bytesOf(defaultBackupPath());
    EXPECT_EQ(checkOpenDataFile(), QString());
    TestDataFile::damagePage(dataFilePath(), QFileInfo(dataFilePath()).size() / 4096 * 2 / 3);
    data.ui().clear();
    EXPECT_FALSE(backupDatabase(QString(), false));
    ASSERT_EQ(data.ui().boxes.size(), 1);
    const QString box = data.ui().boxes[0].text;
    EXPECT_TRUE(box.startsWith("The backup to '" + defaultBackupPath() + "' could not be made.")) << qPrintable(box);
    EXPECT_TRUE(box.contains("The data file '" + dataFilePath() + "' is damaged")) << qPrintable(box);
    EXPECT_TRUE(box.contains("was kept as it was")) << qPrintable(box);
    EXPECT_EQ(bytesOf(defaultBackupPath()), good);
    EXPECT_EQ(QDir(backupsDir()).entryList(QDir::Files | QDir::Hidden), QStringList{"quorvanti30.qv"});
    // Nor is a copy made when asked; the backup that stayed is the one a restore puts back.
    EXPECT_FALSE(backupDatabase(QDir(data.folder()).filePath("asked.qv"), false));
    EXPECT_FALSE(QFileInfo::exists(QDir(data.folder()).filePath("asked.qv")));
    QString error;
    ASSERT_TRUE(restoreDataFile(defaultBackupPath(), &error)) << qPrintable(error);
    ASSERT_TRUE(connectDatabase());
    EXPECT_EQ(teamNames(), "saved");
}

// Whether the exit backup may replace the backup is decided by the user's rows on both sides, whatever
// the sizes of the files: a data file started again that is big for other reasons (a season's posting
// output, long owner names) never replaces a backup that holds more than twice its rows.
TEST(Backup, AStartedAgainDataFileBigForOtherReasonsKeepsTheFullerBackup) {
    const struct {
        const char* backupRows;
        const char* dataFileRows;
        QString counts;
    } seasons[] = {
        {"WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 25000)"
         " INSERT INTO cars (car_nmbr, race_type_nmbr, car_type_nmbr, car_txt) SELECT x, 1, 1, x FROM n",
         // 10,000 cars and the team results of a season of postings.
         "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 120000)"
         " INSERT INTO team_results (race_nmbr, place, car_nmbr, team_nmbr, points, total_points, league_nmbr)"
         " SELECT x / 4000 + 1, x % 43 + 1, x % 10000 + 1, x % 400 + 1, x % 47, x, x % 20 + 1 FROM n",
         "(25000 entries against 10000)"},
        {"WITH RECURSIVE n(x) AS (SELECT 0 UNION ALL SELECT x + 1 FROM n WHERE x < 39999)"
         " INSERT INTO results (race_nmbr, car_nmbr, place) SELECT x / 100 + 1, x % 100 + 1, x % 100 + 1 FROM n",
         // 10,100 cars whose owners have long names.
         "UPDATE cars SET car_owner = replace(hex(zeroblob(150)), '0', 'O'); INSERT INTO cars (car_nmbr,"
         " race_type_nmbr, car_type_nmbr, car_txt, car_owner) SELECT car_nmbr + 10000, 1, 1, car_nmbr,"
         " car_owner FROM cars WHERE car_nmbr <= 100",
         "(40000 entries against 10100)"},
    };
    for (const auto& season : seasons) {
        SCOPED_TRACE(season.counts.toStdString());
        TestDataFile data;
        ASSERT_TRUE(data.ok());
        TestDataFile::exec(season.backupRows);
        ASSERT_TRUE(backupDatabase(QString()));
        const QByteArray fuller = bytesOf(defaultBackupPath());
        startAnewDataFile();
        TestDataFile::addCars(1, 10000);
        for (const QString& statement : QString(season.dataFileRows).split(';'))
            TestDataFile::exec(statement);
        ASSERT_GT(QFileInfo(dataFilePath()).size(), QFileInfo(defaultBackupPath()).size());
        EXPECT_TRUE(exitBackupWouldLoseData(defaultBackupPath()));
        const QString kept = keptBackupPath(defaultBackupPath());
        data.ui().clear();
        ASSERT_TRUE(backupDatabase(QString(), false));
        EXPECT_EQ(bytesOf(kept), fuller);
        ASSERT_EQ(data.ui().boxes.size(), 1);
        EXPECT_TRUE(data.ui().boxes[0].text.contains(season.counts)) << qPrintable(data.ui().boxes[0].text);
    }
}

// A backup whose rows cannot be read (one page of it damaged) holds an unknown number of them, never
// none: it stays beside the new backup, and a box says so.
TEST(Backup, ABackupWhoseRowsCannotBeCountedIsKeptBesideTheNewOne) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::addCars(1, 30000);
    addRaceType({.nmbr = 500, .name = "Mine"});
    ASSERT_TRUE(backupDatabase(QString()));
    TestDataFile::damagePage(defaultBackupPath(), 1); // its second page
    const QByteArray damaged = bytesOf(defaultBackupPath());
    // The data file is lost, and the user starts again.
    startAnewDataFile();
    addLeague({.nmbr = 500, .name = "Typed"});
    EXPECT_TRUE(exitBackupWouldLoseData(defaultBackupPath()));
    const QString kept = keptBackupPath(defaultBackupPath());
    data.ui().clear();
    ASSERT_TRUE(backupDatabase(QString(), false));
    EXPECT_EQ(bytesOf(kept), damaged);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.contains(kept)) << qPrintable(data.ui().boxes[0].text);
    EXPECT_TRUE(data.ui().boxes[0].text.contains("could not be read")) << qPrintable(data.ui().boxes[0].text);
    QString error;
    EXPECT_TRUE(isDataFile(defaultBackupPath(), &error)) << qPrintable(error);
}

// A backup that is a link (to another drive, say) stays one: the file it leads to takes the new backup,
// and a fuller one is kept beside that file. A link into a folder that is not there is reported.
TEST(Backup, ABackupThatIsALinkIsWrittenThroughIt) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::addCars(1, 100);
    const QString drive = QDir(data.folder()).filePath("drive");
    ASSERT_TRUE(QDir().mkpath(drive));
    const QString target = QDir(drive).filePath("quorvanti30.qv");
    ASSERT_TRUE(QFile::link(target, defaultBackupPath()));
    ASSERT_TRUE(backupDatabase(QString()));
    const QByteArray fuller = bytesOf(target);
    const QString kept = keptBackupPath(target);
    TestDataFile::exec("DELETE FROM cars WHERE car_nmbr > 10");
    ASSERT_TRUE(backupDatabase(QString()));
    EXPECT_EQ(QFileInfo(defaultBackupPath()).symLinkTarget(), target);
    EXPECT_EQ(bytesOf(kept), fuller);
    SqlDatabase copy;
    SqlRows rows;
    ASSERT_TRUE(copy.open(target, dataFileKey(), false, false) && copy.query("SELECT count(*) FROM cars", &rows));
    EXPECT_EQ(rows.rows.value(0).value(0).toInt(), 10);
    EXPECT_EQ(QDir(backupsDir()).entryList(QDir::Files | QDir::Hidden), QStringList{"quorvanti30.qv"});

    ASSERT_TRUE(QDir(drive).removeRecursively());
    data.ui().clear();
    EXPECT_FALSE(backupDatabase(QString()));
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.contains("cannot be reached")) << qPrintable(data.ui().boxes[0].text);
    EXPECT_TRUE(QFileInfo(defaultBackupPath()).isSymLink());
}

// The count a backup was written with stands for it only while it is the file it was written with: a
// backup changed in its place is counted again.
TEST(Backup, TheRowsRememberedWithABackupStandOnlyForTheFileTheyCameWith) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    addTeam({.nmbr = 500, .name = "mine"});
    ASSERT_TRUE(backupDatabase(QString()));
    BackupRows rows;
    EXPECT_FALSE(exitBackupWouldLoseData(defaultBackupPath(), &rows));
    EXPECT_EQ(rows.backup, 1);
    TestDataFile::addCars(1, 5000);
    const QString fuller = QDir(data.folder()).filePath("fuller.qv");
    ASSERT_TRUE(backupDatabase(fuller));
    TestDataFile::exec("DELETE FROM cars");
    QFile backup(defaultBackupPath()); // written over in its place: the same file, other rows
    ASSERT_TRUE(backup.open(QIODevice::WriteOnly | QIODevice::Truncate) && backup.write(bytesOf(fuller)) > 0);
    backup.close();
    EXPECT_TRUE(exitBackupWouldLoseData(defaultBackupPath(), &rows));
    EXPECT_EQ(rows.backup, 5001);
    EXPECT_EQ(rows.dataFile, 1);
}
