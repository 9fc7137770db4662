// The backup made at every exit: how long it takes against a plain copy of the data file's bytes (read,
// written, flushed to the disk, as any program that copies a file safely does), on a data file of about
// 50 MB: 30,000 cars, 400 teams with their picks, a season of results and the team results of its
// postings. The exit backup counts the user's rows of the data file, reads the backup's count from the
// record it carries, and copies the file while the engine reads each of its pages through the check of the
// page's code, before the copy replaces the backup; it is also timed over a backup without that record
// (written by an older version, or copied in), which is opened and counted. Also the time of the check
// that reads the data file whole when the program starts, and of a backup of a file with much free space
// (rebuilt without it). Each is timed several times; the median is shown.
//
// Beside them, the plainer design the exit backup could take: the engine's own backup of the open data file
// straight into the new file under the key, every page read through its check and written in one pass, then
// flushed. It is timed alone, without the counting and renaming around it, against the same plain copy; the
// exit backup would take it only within 3 times a plain copy (it measured about 6 times: each page is encrypted
// anew on its way out, where the byte copy writes the bytes as they are).
//
//   backup          a data file of about 50 MB
//   backup --small  one of about 2 MB (a quick proof that it runs)

#include "SeasonBuilder.h"
#include "TestDataFile.h"
#include "data/Paths.h"
#include "data/cConnection.h"
#include "platform/SqlDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sqlite3.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kCars = 30000;
constexpr int kTeams = 400;
constexpr int kCarsPerTeam = 10;
constexpr int kLeagues = 20;
constexpr int kCarsPerRace = 43;

// The median time of step, each run prepared by setup (untimed); -1 when a run fails.
double medianMs(int runs, const std::function<bool()>& setup, const std::function<bool()>& step) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (!setup())
            return -1;
        QElapsedTimer timer;
        timer.start();
        if (!step())
            return -1;
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A plain copy: the bytes read and written in large pieces, then flushed to the disk.
bool plainCopy(const QString& from, const QString& to) {
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (qint64 got; (got = in.read(buffer.data(), buffer.size())) > 0;)
        if (out.write(buffer.constData(), got) != got)
            return false;
    return out.flush() && ::fsync(out.handle()) == 0;
}

// The engine's backup of the open data file into a new file at to, under the data file's key: the connection's
// pages are let go first, so that each is read from the disk's side through its check, as the exit backup's are.
bool engineBackup(const QString& to) {
    QFile::remove(to);
    SqlDatabase copy;
    sqlite3* from = gConnection->getConnection()->handle();
    if (!copy.open(to, dataFileKey(), true, false) || !copy.exec(QStringLiteral("PRAGMA journal_mode = OFF")))
        return false;
    sqlite3_exec(from, "PRAGMA cache_size = 16;", nullptr, nullptr, nullptr);
    sqlite3_db_release_memory(from);
    sqlite3_backup* pages = sqlite3_backup_init(copy.handle(), "main", from, "main");
    const bool copied = pages && sqlite3_backup_step(pages, -1) == SQLITE_DONE;
    if (pages)
        sqlite3_backup_finish(pages);
    copy.close();
    const int fd = ::open(QFile::encodeName(to).constData(), O_RDONLY);
    const bool flushed = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return copied && flushed;
}

qint64 dataFileBytes() {
    return QFileInfo(dataFilePath()).size();
}

// Fills the open data file until it holds about targetBytes.
void buildSeason(qint64 targetBytes, bool small) {
    SeasonBuilder season;
    const int cars = small ? 2000 : kCars;
    TestDataFile::exec("BEGIN");
    for (int c = 1; c <= cars; ++c)
        addCar({.nmbr = c,
                .txt = QString::number(c),
                .owner = QStringLiteral("Owner %1").arg(c),
                .driver = QStringLiteral("Driver %1").arg(c),
                .make = "Make",
                .sponsor = QStringLiteral("Sponsor %1").arg(c % 97),
                .group = 0,
                .salary = double(1000 + season.rng.next(9000))});
    for (int l = 1; l <= kLeagues; ++l)
        season.league({.nmbr = l, .salaryCap = 50000}, {});
    for (int t = 1; t <= kTeams; ++t) {
        addTeam({.nmbr = t,
                 .name = QStringLiteral("Team %1").arg(t),
                 .owner = QStringLiteral("Owner of team %1").arg(t),
                 .raceType = std::nullopt,
                 .carType = std::nullopt});
        addMember({.league = t % kLeagues + 1, .team = t});
        season.drawHoldings(t, 1, cars, kCarsPerTeam, 1);
    }
    TestDataFile::exec("COMMIT");
    for (int race = 1; dataFileBytes() < targetBytes; ++race) {
        TestDataFile::exec("BEGIN");
        addRace({.nmbr = race,
                 .name = QStringLiteral("Race %1").arg(race),
                 .track = "Track",
                 .date = SeasonBuilder::raceDate(race)});
        for (int p = 1; p <= kCarsPerRace; ++p)
            addResult({.car = (race * kCarsPerRace + p) % cars + 1, .race = race, .place = p});
        for (int t = 1; t <= kTeams; ++t)
            for (int c = 0; c < kCarsPerTeam; ++c) {
                // Drawn in this order: the place, the car, the points, the total.
                const int place = season.rng.next(43) + 1;
                const int car = season.rng.next(cars) + 1;
                const int points = season.rng.next(50);
                const int total = season.rng.next(60);
                addTeamResult({.race = race,
                               .place = place,
                               .car = car,
                               .team = t,
                               .points = points,
                               .total = total,
                               .league = t % kLeagues + 1});
            }
        for (int t = 1; t <= kTeams; ++t)
            addSummary({.race = race,
                        .team = t,
                        .league = t % kLeagues + 1,
                        .points = season.rng.next(300),
                        .place = t % 20 + 1});
        TestDataFile::exec("COMMIT");
    }
}

} // namespace

int main(int argc, char** argv) {
    const bool small = argc > 1 && std::strcmp(argv[1], "--small") == 0;
    const qint64 targetBytes = (small ? 2 : 50) * 1000 * 1000;
    const int runs = small ? 3 : 5;

    TestDataFile data;
    if (!data.ok()) {
        std::fprintf(stderr, "could not create the data file\n");
        return 1;
    }
    buildSeason(targetBytes, small);
    const QString copy = QDir(backupsDir()).filePath(QStringLiteral("plain-copy.qv"));
    const qint64 full = dataFileBytes();
    // One backup beforehand: every exit but the first replaces one, and counts its rows.
    if (!backupDatabase(QString()))
        return 1;

    // The check at open reads the file whole; the connection stands for the program's.
    gConnection->CloseConnection();
    const std::function<bool()> closed = [] {
        gConnection->CloseConnection();
        return true;
    };
    const double open = medianMs(runs, closed, [] { return connectDatabase(); });
    const double check = medianMs(
        runs, [&closed] { return closed() && connectDatabase(); }, [] { return checkOpenDataFile().isEmpty(); });

    const double plain = medianMs(runs, closed, [&copy] { return plainCopy(dataFilePath(), copy); });
    QFile::remove(copy);
    const double engine = medianMs(
        runs, [&closed] { return closed() && connectDatabase(); }, [&copy] { return engineBackup(copy); });
    QString notACopy;
    if (!isDataFile(copy, &notACopy)) {
        std::fprintf(stderr, "the engine's backup is no data file: %s\n", qPrintable(notACopy));
        return 1;
    }
    QFile::remove(copy);
    // As at the program's exit: the connection is not opened again afterwards.
    const std::function<bool()> opened = [&closed] { return closed() && connectDatabase(); };
    const auto exitBackup = [] { return backupDatabase(QString(), false); };
    const double backup = medianMs(runs, opened, exitBackup);
    const double uncounted = medianMs(
        runs,
        [&opened] {
            ::removexattr(QFile::encodeName(defaultBackupPath()).constData(), "user.quorvanti.rows");
            return opened();
        },
        exitBackup);

    // A file that lost most of its rows is rebuilt without the free pages.
    if (!opened())
        return 1;
    TestDataFile::exec("DELETE FROM team_results WHERE race_nmbr % 4 <> 0");
    const qint64 holey = dataFileBytes();
    const double rebuild = medianMs(runs, opened, exitBackup);
    const qint64 rebuilt = QFileInfo(defaultBackupPath()).size();

    if (!data.ui().boxes.isEmpty()) {
        std::fprintf(stderr, "a box was shown: %s\n", qPrintable(data.ui().boxes.first().text));
        return 1;
    }
    if (plain <= 0 || engine <= 0 || backup <= 0 || uncounted <= 0 || check <= 0 || rebuild <= 0) {
        std::fprintf(stderr, "a step failed\n");
        return 1;
    }
    std::printf("data file: %.1f MB\n", double(full) / 1e6);
    std::printf("plain copy (read, write, flush): %.0f ms\n", plain);
    std::printf("exit backup: %.0f ms = %.2f x the plain copy\n", backup, backup / plain);
    std::printf("the engine's own backup into the new file (each page read through its check and written under "
                "the key in one pass, flushed): %.0f ms = %.2f x the plain copy\n",
                engine, engine / plain);
    std::printf("exit backup over a backup that carries no count of its rows: %.0f ms = %.2f x the plain copy\n",
                uncounted, uncounted / plain);
    std::printf("opening the data file: %.0f ms; the check that reads it whole: %.0f ms more\n", open, check);
    std::printf("exit backup of a file with 3/4 of its results deleted (%.1f MB to %.1f MB): %.0f ms = %.2f x the "
                "plain copy\n",
                double(holey) / 1e6, double(rebuilt) / 1e6, rebuild, rebuild / plain);
    return 0;
}
