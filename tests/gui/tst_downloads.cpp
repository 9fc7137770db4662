// The download buttons of the league editor (Import Races, Import Cars) and of the race window
// (Get Results), against a local FTP server holding the series files.
//
// Race 1 "Race One" (Wexford Cup, cars, 3/1/2024) has results for cars 1..4; league 500 plays the
// Wexford Cup by cars and has no members.

#include "../core/LocalFtpServer.h"
#include "ListTestHelpers.h"
#include "ModalHelpers.h"
#include "data/Paths.h"
#include "data/cLeague.h"
#include "editors/races/frmRace.h"
#include "editors/teams/frmLeague.h"
#include "exchange/FtpTransfer.h"
#include "kit/EditorGrid.h"
#include "posting/cRaces.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

const QString Success = QStringLiteral("Download and Import completed successfully.");
const QString Failure = QStringLiteral("Download and Import failed.");

// A port nothing listens on: any transfer attempted there fails with a box of its own.
const QString NoServer = QStringLiteral("127.0.0.1:1");

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class tst_Downloads : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDataFile> m_data;
    std::unique_ptr<cLeague> m_league;
    std::unique_ptr<frmLeague> m_leagueWindow;
    std::unique_ptr<cRaces> m_race;
    std::unique_ptr<frmRace> m_raceWindow;
    QTemporaryDir m_root;
    LocalFtpServer m_server;
    QString m_previousHost;

    RecordingUi& ui() { return m_data->ui(); }

    void serve(const char* name, const QByteArray& bytes) {
        QFile f(m_root.path() + QLatin1String(kDownloadFolder) + QLatin1String(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    void needServer() {
        if (!LocalFtpServer::available())
            QSKIP("no python3 with pyftpdlib");
        QVERIFY(m_server.port() > 0);
        setDownloadHost(m_server.address());
    }
    // The last box must be a plain OK box with the application's title.
    void checkLastBox(const QString& text) {
        QVERIFY(!ui().boxes.isEmpty());
        const RecordingUi::Box& box = ui().boxes.last();
        QCOMPARE(box.text, text);
        QCOMPARE(box.title, QStringLiteral("Quorvanti"));
        QCOMPARE(box.icon, MsgIcon::None);
        QCOMPARE(box.buttons, MsgButtons::Ok);
        // The pointer is back before the box comes, and the status bar is empty.
        QCOMPARE(ui().pointerDuringBoxes.last(), PointerDefault);
        QCOMPARE(ui().pointer(), PointerDefault);
        QVERIFY(!ui().statusTexts.isEmpty());
        QCOMPARE(ui().statusTexts.last(), QString());
    }

    void openLeague(int raceType, int carType) {
        m_league = std::make_unique<cLeague>();
        QVERIFY(m_league->load(500));
        m_league->setRaceTypeNmbr(raceType);
        m_league->setCarTypeNmbr(carType);
        m_leagueWindow = std::make_unique<frmLeague>();
        m_leagueWindow->fillWith(*m_league);
        m_leagueWindow->show();
        QApplication::setActiveWindow(m_leagueWindow.get());
        QVERIFY(QTest::qWaitForWindowActive(m_leagueWindow.get(), kWindowWait));
        ui().clear();
    }
    void clickLeague(const char* button) { m_leagueWindow->findChild<QPushButton*>(QLatin1String(button))->click(); }

    void openRace(int raceNmbr) {
        m_race = std::make_unique<cRaces>();
        QVERIFY(m_race->load(raceNmbr));
        m_raceWindow = std::make_unique<frmRace>();
        m_raceWindow->loadWith(*m_race);
        m_raceWindow->show();
        m_raceWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_raceWindow.get(), kWindowWait));
        m_raceWindow->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(frmRace::TabResults);
        ui().clear();
    }
    EditorGrid* grid() { return m_raceWindow->findChild<EditorGrid*>(QStringLiteral("resultsGrid")); }
    void getResults() { m_raceWindow->findChild<QPushButton*>(QStringLiteral("cmdGetResults"))->click(); }

private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        m_previousHost = downloadHost();
        QVERIFY(m_root.isValid());
        QVERIFY(QDir().mkpath(m_root.path() + QLatin1String(kDownloadFolder)));
        if (LocalFtpServer::available())
            QVERIFY(m_server.start(m_root.path(), false));
    }
    void cleanupTestCase() {
        m_server.stop();
        setDownloadHost(m_previousHost);
    }

    void init() {
        m_data = std::make_unique<TestDataFile>();
        QVERIFY(m_data->ok());
        for (const QString& f : QDir(m_root.path() + QLatin1String(kDownloadFolder)).entryList(QDir::Files))
            QFile::remove(m_root.path() + QLatin1String(kDownloadFolder) + f);
        setDownloadHost(NoServer);
        for (int c = 1; c <= 4; ++c)
            addCar({.nmbr = c, .txt = QStringLiteral("Car %1").arg(c), .driver = ""});
        addRace({.nmbr = 1, .name = "Race One", .track = "Track 1", .date = "2024-03-01", .status = 1});
        for (int c = 1; c <= 4; ++c)
            addResult({.car = c, .race = 1, .place = c, .qualified = 1});
        addLeague({.nmbr = 500, .name = "Sunday League", .shortName = "L500"});
    }
    void cleanup() {
        m_leagueWindow.reset();
        m_league.reset();
        m_raceWindow.reset();
        m_race.reset();
        m_data.reset();
    }

    // ---- league editor ----

    void importRacesTakesTheScheduleOfTheChosenTypeAndScoreBy() {
        needServer();
        serve("f1driverraces.qvi", "12;700;\"Grand Prix\";\"Ring\";3/3/2002;6;2\r\n");
        serve("f1carraces.qvi", "12;701;\"Wrong File\";\"Ring\";3/3/2002;6;1\r\n");
        openLeague(1, 1);
        // Unsaved choices count.
        auto choose = [this](const char* name, int number) {
            auto* c = m_leagueWindow->findChild<QComboBox*>(QLatin1String(name));
            const int index = c->findData(number);
            QVERIFY(index >= 0);
            c->setCurrentIndex(index);
            emit c->activated(index);
        };
        choose("cmbRaceType", 6);
        choose("cmbCarType", 2);
        ui().clear();
        clickLeague("cmdImortRaces");
        checkLastBox(Success);
        QCOMPARE(ui().statusTexts, (QStringList{QStringLiteral("Importing F1 Races."), QString()}));
        QCOMPARE(TestDataFile::count(
                     QStringLiteral("SELECT count(*) FROM races WHERE race_nmbr = 700 AND race_type_nmbr = 6")),
                 1);
        QCOMPARE(TestDataFile::count(QStringLiteral("SELECT count(*) FROM races WHERE race_nmbr = 701")), 0);
        QVERIFY(QFile::exists(QDir(importsDir()).filePath(QStringLiteral("f1driverraces.qvi"))));
    }

    void importCarsTakesTheListOfTypeAndScoreBy_data() {
        QTest::addColumn<int>("raceType");
        QTest::addColumn<int>("carType");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("carNmbr");
        QTest::newRow("Wexford Cup cars") << 1 << 1 << "Importing Wexford Cup Cars." << 801;
        QTest::newRow("Wexford Cup drivers") << 1 << 2 << "Importing Wexford Cup Drivers." << 802;
        QTest::newRow("F1 cars") << 6 << 1 << "Importing F1 Cars." << 803;
        QTest::newRow("F1 drivers") << 6 << 2 << "Importing F1 Drivers." << 804;
    }
    void importCarsTakesTheListOfTypeAndScoreBy() {
        QFETCH(int, raceType);
        QFETCH(int, carType);
        QFETCH(QString, status);
        QFETCH(int, carNmbr);
        needServer();
        serve("wccars.qvi", "11;801;1;1;\"801\";;;;\r\n");
        serve("wcdrivers.qvi", "11;802;2;1;\"802\";;;;\"D\"\r\n");
        serve("f1cars.qvi", "11;803;1;6;\"803\";;;;\r\n");
        serve("f1drivers.qvi", "11;804;2;6;\"804\";;;;\"D\"\r\n");
        openLeague(raceType, carType);
        clickLeague("cmdImportCars");
        checkLastBox(Success);
        QCOMPARE(ui().statusTexts, (QStringList{status, QString()}));
        QCOMPARE(TestDataFile::count(QStringLiteral("SELECT group_concat(car_nmbr) FROM cars WHERE car_nmbr > 800")),
                 carNmbr);
    }

    void aMissingFileEndsInFailure() {
        needServer();
        openLeague(1, 2);
        clickLeague("cmdImportCars");
        checkLastBox(Failure);
        clickLeague("cmdImortRaces");
        checkLastBox(Failure);
        QCOMPARE(TestDataFile::count(QStringLiteral("SELECT count(*) FROM cars")), 4);
    }

    // A downloaded file with a line that cannot be read is refused whole and the button says so.
    void aFileThatCannotBeImportedEndsInFailure() {
        needServer();
        serve("wccars.qvi", "11;801;1;1;\"801\";;;;\r\n11;802;1;1;\"802\"\r\n");
        serve("wccarraces.qvi", "12;700;\"Spring\";\"Ring\";2/30/2024;1;1\n");
        openLeague(1, 1);
        clickLeague("cmdImportCars");
        checkLastBox(Failure);
        QCOMPARE(ui().boxes.size(), 2);
        QCOMPARE(ui().boxes.at(0).text, QStringLiteral("Line 2 cannot be imported: a car/driver record has 9 fields, "
                                                       "this line has 5.\r\nNothing was imported from this file."));
        ui().clear();
        clickLeague("cmdImortRaces");
        checkLastBox(Failure);
        QVERIFY(ui().boxes.at(0).text.startsWith(QStringLiteral("Line 1 cannot be imported: the race date")));
        QCOMPARE(TestDataFile::count(QStringLiteral("SELECT count(*) FROM cars WHERE car_nmbr > 800")), 0);
        QCOMPARE(TestDataFile::count(QStringLiteral("SELECT count(*) FROM races WHERE race_nmbr = 700")), 0);
    }

    void leagueWithoutDownloadsTransfersNothing_data() {
        QTest::addColumn<int>("raceType");
        QTest::addColumn<int>("carType");
        QTest::addColumn<QString>("races");
        QTest::addColumn<QString>("cars");
        QTest::newRow("Lakeshore Series") << 2 << 1 << "Downloads not available for Lakeshore Series"
                                          << "Downloads not available for Lakeshore Series";
        QTest::newRow("no score by") << 6 << 3 << "You must choose Score By before you can download Races"
                                     << "You must choose Score By before you can download Cars/Drivers";
    }
    void leagueWithoutDownloadsTransfersNothing() {
        QFETCH(int, raceType);
        QFETCH(int, carType);
        QFETCH(QString, races);
        QFETCH(QString, cars);
        openLeague(raceType, carType);
        clickLeague("cmdImortRaces");
        clickLeague("cmdImportCars");
        // A transfer would have met no server and shown its own box.
        QCOMPARE(ui().boxes.size(), 2);
        QCOMPARE(ui().boxes.at(0).text, races);
        QCOMPARE(ui().boxes.at(1).text, cars);
        QCOMPARE(ui().boxes.at(1).icon, MsgIcon::None);
        QVERIFY(ui().statusTexts.isEmpty());
        QVERIFY(!QDir(importsDir()).exists() || QDir(importsDir()).isEmpty());
    }

    // Servers that report a download complete when it is not, or will not open the folder: the file is
    // not imported, the copy from before stays, and the reason comes before the failure.
    void aDownloadTheServerSpoilsIsNotImported_data() {
        QTest::addColumn<int>("quirk");
        QTest::addColumn<QString>("reason");
        const QByteArray races =
            "12;700;\"Spring\";\"Ring\";3/3/2024;1;1\r\n12;701;\"Autumn\";\"Ring\";9/3/2024;1;1\r\n";
        QTest::newRow("cut short") << int(LocalFtpServer::Quirk::NoSizeCutsDownloads)
                                   << QStringLiteral("wccarraces.qvi did not arrive whole: the download server gives "
                                                     "its size as %1 bytes, and %2 bytes arrived. Try back later.")
                                          .arg(races.size())
                                          .arg(races.size() / 2);
        QTest::newRow("claims a size it does not send")
            << int(LocalFtpServer::Quirk::ClaimsLargeSize)
            << QStringLiteral("wccarraces.qvi did not arrive whole: the download server gives its size as 41,943,040 "
                              "bytes, and %1 bytes arrived. Try back later.")
                   .arg(races.size());
        QTest::newRow("no size") << int(LocalFtpServer::Quirk::NoSizeNoListing)
                                 << QStringLiteral("The download server gives no size for wccarraces.qvi (neither to "
                                                   "SIZE nor in its folder listing), so whether all of it arrived "
                                                   "cannot be told. Trying again will not change that: the server "
                                                   "must give the sizes of its files.");
        QTest::newRow("folder refused") << int(LocalFtpServer::Quirk::DeniesFolders)
                                        << QStringLiteral("Folder /quorvanti/download/2002/ not found on the download "
                                                          "server. Try back later.");
    }
    void aDownloadTheServerSpoilsIsNotImported() {
        QFETCH(int, quirk);
        QFETCH(QString, reason);
        if (!LocalFtpServer::available())
            QSKIP("no python3 with pyftpdlib");
        // Two lines of one length: the first half of the file is a file that imports by itself.
        serve("wccarraces.qvi",
              "12;700;\"Spring\";\"Ring\";3/3/2024;1;1\r\n12;701;\"Autumn\";\"Ring\";9/3/2024;1;1\r\n");
        LocalFtpServer spoiling;
        QVERIFY(spoiling.start(m_root.path(), false, QString(), QString(), 0, LocalFtpServer::Quirk(quirk)));
        setDownloadHost(spoiling.address());
        QVERIFY(QDir().mkpath(importsDir()));
        const QString local = QDir(importsDir()).filePath(QStringLiteral("wccarraces.qvi"));
        QFile previous(local);
        QVERIFY(previous.open(QIODevice::WriteOnly));
        previous.write("the copy from before");
        previous.close();
        openLeague(1, 1);
        clickLeague("cmdImortRaces");
        checkLastBox(Failure);
        QCOMPARE(ui().boxes.size(), 2);
        QCOMPARE(ui().boxes.at(0).text, reason);
        QVERIFY(previous.open(QIODevice::ReadOnly));
        QCOMPARE(previous.readAll(), QByteArray("the copy from before"));
        QCOMPARE(TestDataFile::count(QStringLiteral("SELECT count(*) FROM races WHERE race_nmbr IN (700, 701)")), 0);
    }

    // A server that sends without end: the download stops at the ceiling with a box, and the window
    // repaints and runs its timers all the while.
    void anEndlessDownloadIsStoppedWhileTheWindowKeepsAnswering() {
        if (!LocalFtpServer::available())
            QSKIP("no python3 with pyftpdlib");
        serve("wccars.qvi", "listed");
        LocalFtpServer endless;
        // Some seconds to the ceiling.
        QVERIFY(endless.start(m_root.path(), false, QString(), QString(), 8 << 20,
                              LocalFtpServer::Quirk::EndlessDownloads));
        setDownloadHost(endless.address());
        const int cars = TestDataFile::count(QStringLiteral("SELECT count(*) FROM cars"));
        openLeague(1, 1);
        PaintCounter counter;
        m_leagueWindow->installEventFilter(&counter);
        // The ticks that come while the file is arriving, and the paints seen at the first and the last.
        int ticks = 0;
        int firstPaints = -1;
        int lastPaints = -1;
        QTimer ticking;
        connect(&ticking, &QTimer::timeout, m_leagueWindow.get(), [&] {
            m_leagueWindow->update();
            if (!arrivingIn(importsDir(), QString()))
                return;
            ++ticks;
            if (firstPaints < 0)
                firstPaints = counter.paints;
            lastPaints = counter.paints;
        });
        ticking.start(10);
        clickLeague("cmdImportCars");
        ticking.stop();
        checkLastBox(Failure);
        QCOMPARE(ui().boxes.size(), 2);
        QCOMPARE(ui().boxes.at(0).text, QStringLiteral("The download of wccars.qvi was stopped at 32 MB: no series "
                                                       "file is that large. Try back later."));
        QVERIFY(ticks > 1);
        QVERIFY(lastPaints > firstPaints);
        QVERIFY(!QFile::exists(QDir(importsDir()).filePath(QStringLiteral("wccars.qvi"))));
        QCOMPARE(TestDataFile::count(QStringLiteral("SELECT count(*) FROM cars")), cars);
    }

    // ---- race window ----

    void getResultsReplacesTheResultsAndShowsNewCars() {
        needServer();
        serve("wccars.qvi", "11;5;1;1;\"Car 5\";;;;\r\n");
        serve("wcc20240301.qvi", "13;2;1;5;1;0;0;12;0\r\n13;2;1;2;2;0;0;0;0\r\n");
        openRace(1);
        getResults();
        checkLastBox(Success);
        QCOMPARE(ui().statusTexts.first(), QStringLiteral("Importing Wexford Cup Cars."));
        QVERIFY(ui().statusTexts.contains(QStringLiteral("Importing Race One results.")));
        QCOMPARE(TestDataFile::scalar(QStringLiteral("SELECT group_concat(car_nmbr) FROM (SELECT car_nmbr FROM results "
                                                     "WHERE race_nmbr = 1 ORDER BY place)"))
                     .toString(),
                 QStringLiteral("5,2"));
        // The grid is rebuilt from the data file, the newly listed car included.
        QCOMPARE(grid()->rowCount(), 2);
        QCOMPARE(grid()->text(0, 0), QStringLiteral("1"));
        QCOMPARE(grid()->text(0, 1), QStringLiteral("Car 5"));
        QCOMPARE(grid()->text(1, 1), QStringLiteral("Car 2"));
        QVERIFY(!m_raceWindow->resultsChanged());
    }

    void getResultsWithoutTheRaceFileFailsAndKeepsTheGrid() {
        needServer();
        serve("wccars.qvi", "11;5;1;1;\"Car 5\";;;;\r\n");
        openRace(1);
        getResults();
        checkLastBox(Failure);
        QCOMPARE(grid()->rowCount(), 4);
        QCOMPARE(TestDataFile::count(QStringLiteral("SELECT count(*) FROM results WHERE race_nmbr = 1")), 4);
        // The list that did arrive stays imported.
        QCOMPARE(TestDataFile::count(QStringLiteral("SELECT count(*) FROM cars WHERE car_nmbr = 5")), 1);
    }

    void getResultsWhoseImportFailsSaysSo() {
        needServer();
        serve("wccars.qvi", "11;5;1;1;\"Car 5\";;;;\r\n");
        serve("wcc20240301.qvi", "13;2;1;5;1;0;0;12;0\r\n13;2;1;2;2;0;0;0;0\r\n");
        // The data file refuses the new results part way, as a full disk would.
        TestDataFile::exec("CREATE TRIGGER refuse_results BEFORE INSERT ON results "
                           "BEGIN SELECT RAISE(ROLLBACK, 'disk full'); END");
        openRace(1);
        getResults();
        checkLastBox(Failure);
        QVERIFY(!ui().boxes.isEmpty());
        for (const RecordingUi::Box& box : ui().boxes)
            QVERIFY(box.text != Success);
        // Nothing of the file was kept, and the grid shows what is stored.
        QCOMPARE(TestDataFile::count(QStringLiteral("SELECT count(*) FROM results WHERE race_nmbr = 1")), 4);
        QCOMPARE(grid()->rowCount(), 4);
        QCOMPARE(grid()->text(3, 1), QStringLiteral("Car 4"));
    }

    void getResultsServesOnlyTheWexfordCupWithAScoreBy_data() {
        QTest::addColumn<int>("raceType");
        QTest::addColumn<int>("carType");
        QTest::addColumn<QString>("message");
        QTest::newRow("F1") << 6 << 1 << "Downloads not available for F1";
        QTest::newRow("bonus cars") << 1 << 3 << "You must choose Score By before you can download Cars/Drivers";
    }
    void getResultsServesOnlyTheWexfordCupWithAScoreBy() {
        QFETCH(int, raceType);
        QFETCH(int, carType);
        QFETCH(QString, message);
        TestDataFile::exec(
            QStringLiteral("UPDATE races SET race_type_nmbr = %1, car_type_nmbr = %2 WHERE race_nmbr = 1")
                .arg(raceType)
                .arg(carType));
        openRace(1);
        getResults();
        QCOMPARE(ui().boxes.size(), 1);
        QCOMPARE(ui().lastBoxText(), message);
        QCOMPARE(ui().boxes.last().title, QStringLiteral("Quorvanti"));
        QVERIFY(ui().statusTexts.isEmpty());
        QCOMPARE(TestDataFile::count(QStringLiteral("SELECT count(*) FROM results WHERE race_nmbr = 1")), 4);
    }
};

QTEST_MAIN(tst_Downloads)
#include "tst_downloads.moc"
