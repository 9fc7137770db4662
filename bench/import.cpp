// Importing a large series file: how long it takes and how much memory the program needs for it.
// The file is generated: a season of races, each with its results, car lists and team car records
// (of the teams the data file has), repeated until the file reaches its size (races named again take
// the same results again).
//
//   import          a 100 MB file
//   import --small  a 2 MB file (a quick proof that it runs)

#include "exchange/Import.h"
#include "Rows.h"
#include "TestDataFile.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace {

constexpr int kCarsPerRace = 43;
constexpr int kRaces = 30000;
constexpr int kFirstTeam = 500;
constexpr int kTeams = 400;

double peakMiB() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Writes the file piece by piece; returns its line count.
qint64 writeSeriesFile(const QString& path, qint64 targetBytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    QByteArray block;
    qint64 lines = 0;
    for (int b = 0; f.size() + block.size() < targetBytes; ++b) {
        const int race = b % kRaces + 1;
        const QDate date = QDate(2002, 1, 6).addDays(7 * (race - 1));
        block += "12;" + QByteArray::number(race) + ";\"Race " + QByteArray::number(race) + "\";\"Bay Oval\";" +
                 date.toString(QStringLiteral("M/d/yyyy")).toLatin1() + ";1;1\r\n";
        ++lines;
        // Ten races in a row share a field of cars, listed before the first of them; a race named
        // again further down has the same field on the same places.
        const int field = (race - 1) / 10;
        for (int c = 1; c <= kCarsPerRace; ++c) {
            const int car = (field * kCarsPerRace + c - 1) % 32000 + 1;
            if (b % 10 == 0) {
                block += "11;" + QByteArray::number(car) + ";1;1;\"" + QByteArray::number(car) + " Fast Co\";\"Owner " +
                         QByteArray::number(car) + "\";\"Make\";\"Sponsor\";\"Driver " + QByteArray::number(car) +
                         "\"\r\n";
                ++lines;
            }
            block += "13;2;" + QByteArray::number(race) + ';' + QByteArray::number(car) + ';' + QByteArray::number(c) +
                     ';' + QByteArray::number(kCarsPerRace + 1 - c) + ';' + (c == 1 ? "1" : "0") + ';' +
                     QByteArray::number(c <= 5 ? 60 - 10 * c : 0) + ";0\r\n";
            ++lines;
        }
        block += "14;" + QByteArray::number(kFirstTeam + b % kTeams) + ';' + QByteArray::number(b % 32000 + 1) + ';' +
                 date.toString(QStringLiteral("M/d/yyyy")).toLatin1() + ";;1250.5;1000\r\n";
        ++lines;
        if (block.size() > (1 << 20)) {
            f.write(block);
            block.clear();
        }
    }
    f.write(block);
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    const bool small = argc > 1 && std::strcmp(argv[1], "--small") == 0;
    const qint64 targetBytes = (small ? 2 : 100) * 1000 * 1000;

    TestDataFile data;
    QTemporaryDir dir;
    if (!data.ok() || !dir.isValid()) {
        std::fprintf(stderr, "could not create the data file\n");
        return 1;
    }
    for (int team = kFirstTeam; team < kFirstTeam + kTeams; ++team)
        addTeam({.nmbr = team, .name = QStringLiteral("Team %1").arg(team)});
    const QString path = QDir(dir.path()).filePath(QStringLiteral("series.qvi"));
    const qint64 lines = writeSeriesFile(path, targetBytes);
    const qint64 bytes = QFileInfo(path).size();
    const double before = peakMiB();

    QElapsedTimer timer;
    timer.start();
    const bool ok = importFile(path);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;

    if (!ok || !data.ui().boxes.isEmpty()) {
        std::fprintf(stderr, "the import failed%s%s\n", data.ui().boxes.isEmpty() ? "" : ": ",
                     data.ui().boxes.isEmpty() ? "" : qPrintable(data.ui().boxes.first().text));
        return 1;
    }
    const int results = TestDataFile::scalar(QStringLiteral("SELECT count(*) FROM results")).toInt();
    std::printf("file: %.1f MB, %lld lines\n", double(bytes) / 1e6, static_cast<long long>(lines));
    std::printf("import: %.1f s (%.0f lines/s), %d result rows stored\n", seconds, double(lines) / seconds, results);
    std::printf("peak memory (RSS): %.1f MiB (%.1f MiB before the import)\n", peakMiB(), before);
    return 0;
}
