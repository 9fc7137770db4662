#include "LocalFtpServer.h"
#include "ScopedLocale.h"
#include "SmallDisk.h"
#include "TestDataFile.h"
#include "data/Paths.h"
#include "exchange/FtpTransfer.h"
#include "exchange/Import.h"
#include "exchange/PublishWeb.h"
#include "exchange/cPublish.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <atomic>
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList boxTexts(const RecordingUi& ui) {
    QStringList texts;
    for (const auto& b : ui.boxes)
        texts << b.text;
    return texts;
}

// Waits on a thread of its own until underWay() holds, then sends the server `sig`: the moment a
// transfer is under way.
class SignalWhenUnderWay {
public:
    SignalWhenUnderWay(LocalFtpServer& server, std::function<bool()> underWay, int sig)
        : m_thread([this, &server, underWay, sig] {
              for (int i = 0; i < 3000 && !m_done; ++i) {
                  if (underWay()) {
                      // Marked first: the signal's effect can reach the test before this thread runs again.
                      m_sent = true;
                      server.signal(sig);
                      return;
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          }) {}
    ~SignalWhenUnderWay() {
        m_done = true;
        m_thread.join();
    }
    bool sent() const { return m_sent; }

private:
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_sent{false};
    std::thread m_thread;
};

// A file in folder other than `except` holds some bytes: an upload is arriving.
bool landingIn(const QString& folder, const QString& except) {
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        if (f.fileName() != except && f.size() > 0)
            return true;
    return false;
}

QByteArray manyBytes(int size) {
    QByteArray bytes;
    bytes.reserve(size);
    for (int i = 0; i < size; ++i)
        bytes.append(char('a' + i % 26));
    return bytes;
}

// A data file, a server root with the download folder, and the download host pointed at a server.
class FtpTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!LocalFtpServer::available())
            GTEST_SKIP() << "no python3 with pyftpdlib";
        ASSERT_TRUE(data.ok());
        ASSERT_TRUE(root.isValid());
        downloadDir = root.path() + QLatin1String(kDownloadFolder);
        QDir().mkpath(downloadDir);
    }
    void TearDown() override {
        closeInternet();
        setDownloadHost(previousHost);
        setDownloadTimeLimit(previousLimit);
    }
    void serve(bool writable, const QString& user = QString(), const QString& password = QString(),
               int bytesPerSecond = 0, LocalFtpServer::Quirk quirk = LocalFtpServer::Quirk::None) {
        ASSERT_TRUE(server.start(root.path(), writable, user, password, bytesPerSecond, quirk));
        setDownloadHost(server.address());
    }

    TestDataFile data;
    QTemporaryDir root;
    QString downloadDir;
    LocalFtpServer server;
    QString previousHost = downloadHost();
    int previousLimit = downloadTimeLimit();
};

} // namespace

TEST_F(FtpTest, DownloadFetchesTheSeriesFileByteExactOverAnOlderCopy) {
    QByteArray bytes;
    for (int i = 0; i < 200000; ++i)
        bytes.append(char(i * 7 % 256));
    writeBytes(downloadDir + "wccars.qvi", bytes);
    writeBytes(QDir(importsDir()).filePath("wccars.qvi"), "an older copy");
    serve(false);
    EXPECT_TRUE(downloadFile(QStringLiteral("wccars.qvi")));
    EXPECT_EQ(readBytes(QDir(importsDir()).filePath("wccars.qvi")), bytes);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << boxTexts(data.ui()).join(" / ").toStdString();
    EXPECT_FALSE(ftpConnected());
}

TEST_F(FtpTest, DownloadAndImportStoresTheFileRows) {
    writeBytes(downloadDir + "f1drivers.qvi", "11;601;2;6;\"Ace\";;;;\"Ace Driver\"\r\n");
    serve(false);
    EXPECT_TRUE(importF1Drivers());
    EXPECT_EQ(TestDataFile::scalar("SELECT driver_name FROM cars WHERE car_nmbr = 601").toString(), "Ace Driver");
    // A file the server does not have: nothing imported, and the previous local copy is kept.
    writeBytes(QDir(importsDir()).filePath("wccars.qvi"), "11;602;1;1;\"Stale\";;;;\r\n");
    EXPECT_FALSE(importWcCars());
    EXPECT_EQ(boxTexts(data.ui()), QStringList{"File not found. Try back later."});
    EXPECT_EQ(readBytes(QDir(importsDir()).filePath("wccars.qvi")), "11;602;1;1;\"Stale\";;;;\r\n");
    EXPECT_EQ(QDir(importsDir()).entryList(QDir::Files | QDir::Hidden), (QStringList{"f1drivers.qvi", "wccars.qvi"}));
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM cars WHERE car_nmbr = 602").toInt(), 0);
}

TEST_F(FtpTest, ADownloadOntoAFullDiskIsAFailureAndKeepsThePreviousCopy) {
    SmallDisk disk(64, false, importsDir());
    if (!disk.ok())
        GTEST_SKIP() << qPrintable(disk.why());
    const QString local = QDir(importsDir()).filePath("wccars.qvi");
    writeBytes(local, "11;602;1;1;\"Previous\";;;;\r\n");
    disk.fill();
    writeBytes(downloadDir + "wccars.qvi", "11;603;1;1;\"New\";;;;\r\n");
    serve(false);
    EXPECT_FALSE(importWcCars());
    ASSERT_EQ(data.ui().boxes.size(), 1) << boxTexts(data.ui()).join(" / ").toStdString();
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("FtpGetFile Err: ")) << data.ui().lastBoxText().toStdString();
    EXPECT_TRUE(data.ui().boxes[0].text.contains(local)) << data.ui().lastBoxText().toStdString();
    EXPECT_EQ(readBytes(local), "11;602;1;1;\"Previous\";;;;\r\n");
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM cars WHERE car_nmbr IN (602, 603)").toInt(), 0);
}

TEST_F(FtpTest, AnEndlessListingIsReadOnlyAsFarAsTheEmptyFolderQuestionNeeds) {
    writeBytes(downloadDir + "wccars.qvi", "11;602;1;1;\"Listed\";;;;\r\n");
    for (const auto quirk : {LocalFtpServer::Quirk::EndlessListing, LocalFtpServer::Quirk::BlankListing}) {
        SCOPED_TRACE(int(quirk));
        LocalFtpServer endless;
        ASSERT_TRUE(endless.start(root.path(), false, QString(), QString(), 0, quirk));
        setDownloadHost(endless.address());
        data.ui().clear();
        EXPECT_TRUE(downloadFile(QStringLiteral("wccars.qvi")));
        EXPECT_TRUE(data.ui().boxes.isEmpty()) << boxTexts(data.ui()).join(" / ").toStdString();
        EXPECT_EQ(readBytes(QDir(importsDir()).filePath("wccars.qvi")), "11;602;1;1;\"Listed\";;;;\r\n");
        // The server logs the listing once its connection has gone (on a busy machine that can take a
        // while): cut short, not sent whole.
        const QRegularExpression listed(QStringLiteral("NLST \\S+ completed=(\\d)"));
        QRegularExpressionMatch m;
        for (int i = 0; i < 1500 && !(m = listed.match(endless.log())).hasMatch(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_TRUE(m.hasMatch()) << endless.log().toStdString();
        EXPECT_EQ(m.captured(1), "0");
    }
}

TEST_F(FtpTest, AConnectionLostMidDownloadKeepsThePreviousCopy) {
    writeBytes(downloadDir + "wccars.qvi", manyBytes(4 << 20));
    const QString local = QDir(importsDir()).filePath("wccars.qvi");
    writeBytes(local, "11;602;1;1;\"Previous\";;;;\r\n");
    serve(false, QString(), QString(), 256 * 1024);
    {
        SignalWhenUnderWay lost(
            server, [] { return arrivingIn(importsDir(), "wccars.qvi"); }, SIGKILL);
        EXPECT_FALSE(importWcCars());
        EXPECT_TRUE(lost.sent());
    }
    EXPECT_EQ(readBytes(local), "11;602;1;1;\"Previous\";;;;\r\n");
    EXPECT_EQ(QDir(importsDir()).entryList(QDir::Files | QDir::Hidden), QStringList{"wccars.qvi"});
    EXPECT_EQ(data.ui().boxes.size(), 1) << boxTexts(data.ui()).join(" / ").toStdString();
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM cars WHERE car_nmbr = 602").toInt(), 0);
    EXPECT_FALSE(ftpConnected());
}

// Takes about 30 seconds: the time a stalled server is given.
TEST_F(FtpTest, AStalledServerIsGivenUpWithAClearMessage) {
    writeBytes(downloadDir + "wccars.qvi", manyBytes(4 << 20));
    const QString local = QDir(importsDir()).filePath("wccars.qvi");
    writeBytes(local, "previous copy");
    serve(false, QString(), QString(), 128 * 1024);
    const auto started = std::chrono::steady_clock::now();
    {
        SignalWhenUnderWay stall(
            server, [] { return arrivingIn(importsDir(), "wccars.qvi"); }, SIGSTOP);
        EXPECT_FALSE(downloadFile(QStringLiteral("wccars.qvi")));
        EXPECT_TRUE(stall.sent());
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started);
    server.signal(SIGCONT);
    EXPECT_GE(seconds.count(), 29);
    EXPECT_EQ(boxTexts(data.ui()), QStringList{"The FTP server has not answered for 30 seconds; the transfer was given "
                                               "up. Try back later."});
    EXPECT_EQ(readBytes(local), "previous copy");
    EXPECT_EQ(QDir(importsDir()).entryList(QDir::Files | QDir::Hidden), QStringList{"wccars.qvi"});
}

// Servers that report a download complete after sending part of it, or give no way to tell: the half
// file is never imported and never replaces the previous copy.
TEST_F(FtpTest, ADownloadIsUsedOnlyWhenTheServersSizeShowsItArrivedWhole) {
    using Quirk = LocalFtpServer::Quirk;
    // Two lines of one length: the first half of the file is a file that imports by itself.
    const QByteArray whole = "11;603;1;1;\"Half\";;;;\r\n11;604;1;1;\"Rest\";;;;\r\n";
    ASSERT_EQ(whole.indexOf("11;604"), whole.size() / 2);
    writeBytes(downloadDir + "wccars.qvi", whole);
    const QString local = QDir(importsDir()).filePath("wccars.qvi");
    const QString cutShort = QStringLiteral("wccars.qvi did not arrive whole: the download server gives its size as "
                                            "%1 bytes, and %2 bytes arrived. Try back later.")
                                 .arg(whole.size())
                                 .arg(whole.size() / 2);
    const struct {
        Quirk quirk;
        QString box;
    } cases[] = {
        {Quirk::CutsDownloads, cutShort},       // the size from SIZE
        {Quirk::NoSizeCutsDownloads, cutShort}, // the size from the file's line in the listing
        {Quirk::NoSizeNoListing, "The download server gives no size for wccars.qvi (neither to SIZE nor in its "
                                 "folder listing), so whether all of it arrived cannot be told. Trying again will "
                                 "not change that: the server must give the sizes of its files."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.quirk));
        LocalFtpServer cutting;
        ASSERT_TRUE(cutting.start(root.path(), false, QString(), QString(), 0, c.quirk));
        setDownloadHost(cutting.address());
        writeBytes(local, "11;602;1;1;\"Previous\";;;;\r\n");
        data.ui().clear();
        EXPECT_FALSE(importWcCars());
        EXPECT_EQ(boxTexts(data.ui()), QStringList{c.box});
        EXPECT_EQ(readBytes(local), "11;602;1;1;\"Previous\";;;;\r\n");
        EXPECT_EQ(QDir(importsDir()).entryList(QDir::Files | QDir::Hidden), QStringList{"wccars.qvi"});
        EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM cars WHERE car_nmbr IN (602, 603, 604)").toInt(), 0);
        EXPECT_FALSE(ftpConnected());
    }

    // Without SIZE, the listing's size is enough to take a whole file.
    LocalFtpServer noSize;
    ASSERT_TRUE(noSize.start(root.path(), false, QString(), QString(), 0, Quirk::NoSize));
    setDownloadHost(noSize.address());
    data.ui().clear();
    EXPECT_TRUE(importWcCars());
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << boxTexts(data.ui()).join(" / ").toStdString();
    EXPECT_EQ(readBytes(local), whole);
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM cars WHERE car_nmbr IN (603, 604)").toInt(), 2);

    // A server that claims more than any series file and sends less: what did arrive is said, in the user's form.
    writeBytes(downloadDir + "wccars.qvi", manyBytes(12800));
    LocalFtpServer claiming;
    ASSERT_TRUE(claiming.start(root.path(), false, QString(), QString(), 0, Quirk::ClaimsLargeSize));
    setDownloadHost(claiming.address());
    const auto claimed = QStringLiteral("wccars.qvi did not arrive whole: the download server gives its size as %1 "
                                        "bytes, and %2 bytes arrived. Try back later.");
    for (const auto& [locale, box] :
         {std::pair{ScopedLocale::american(), claimed.arg("41,943,040", "12,800")},
          std::pair{QLocale(QLocale::German, QLocale::Germany), claimed.arg("41.943.040", "12.800")}}) {
        ScopedLocale in(locale);
        writeBytes(local, "11;602;1;1;\"Previous\";;;;\r\n");
        data.ui().clear();
        EXPECT_FALSE(downloadFile(QStringLiteral("wccars.qvi")));
        EXPECT_EQ(boxTexts(data.ui()), QStringList{box});
        EXPECT_EQ(readBytes(local), "11;602;1;1;\"Previous\";;;;\r\n");
    }
}

TEST_F(FtpTest, ADownloadBeyondTheCeilingIsStoppedAndKeepsThePreviousCopy) {
    const QString local = QDir(importsDir()).filePath("wccars.qvi");
    const QString stopped = "The download of wccars.qvi was stopped at 32 MB: no series file is that large. Try "
                            "back later.";
    // A server that streams without end, and never says how much is coming.
    {
        LocalFtpServer endless;
        ASSERT_TRUE(
            endless.start(root.path(), false, QString(), QString(), 0, LocalFtpServer::Quirk::EndlessDownloads));
        setDownloadHost(endless.address());
        writeBytes(downloadDir + "wccars.qvi", "listed");
        writeBytes(local, "11;602;1;1;\"Previous\";;;;\r\n");
        const int cars = TestDataFile::scalar("SELECT count(*) FROM cars").toInt();
        EXPECT_FALSE(importWcCars());
        EXPECT_EQ(boxTexts(data.ui()), QStringList{stopped});
        EXPECT_EQ(readBytes(local), "11;602;1;1;\"Previous\";;;;\r\n");
        EXPECT_EQ(QDir(importsDir()).entryList(QDir::Files | QDir::Hidden), QStringList{"wccars.qvi"});
        EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM cars").toInt(), cars);
    }
    // A file that is larger than that, its size given to SIZE (a sparse file: no disk used on the server).
    QFile huge(downloadDir + "wccars.qvi");
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kSeriesFileCeiling + 1));
    huge.close();
    serve(false);
    data.ui().clear();
    EXPECT_FALSE(downloadFile(QStringLiteral("wccars.qvi")));
    EXPECT_EQ(boxTexts(data.ui()), QStringList{stopped});
    EXPECT_EQ(readBytes(local), "11;602;1;1;\"Previous\";;;;\r\n");
}

// A server that sends steadily, too slowly to stall and without end: the download ends at its time limit.
TEST_F(FtpTest, ADownloadThatWillNotEndIsStoppedAtItsTimeLimit) {
    EXPECT_EQ(downloadTimeLimit(), 300);
    LocalFtpServer trickling;
    ASSERT_TRUE(
        trickling.start(root.path(), false, QString(), QString(), 4096, LocalFtpServer::Quirk::EndlessDownloads));
    setDownloadHost(trickling.address());
    writeBytes(downloadDir + "wccars.qvi", "listed");
    const QString local = QDir(importsDir()).filePath("wccars.qvi");
    writeBytes(local, "previous copy");
    setDownloadTimeLimit(3);
    EXPECT_FALSE(downloadFile(QStringLiteral("wccars.qvi")));
    EXPECT_EQ(boxTexts(data.ui()),
              QStringList{"The download of wccars.qvi was stopped after 3 seconds. Try back later."});
    EXPECT_EQ(readBytes(local), "previous copy");
    EXPECT_EQ(QDir(importsDir()).entryList(QDir::Files | QDir::Hidden), QStringList{"wccars.qvi"});
    EXPECT_FALSE(ftpConnected());
}

TEST(Ftp, AFileSizeIsReadFromItsLineInTheFolderListing) {
    const QByteArray listing = "total 12\r\n"
                               "drwxr-xr-x   2 owner    group        4096 Mar 01 10:00 wccars.qvi.d\r\n"
                               "-rw-r--r--   1 owner    group          77 Mar 01 10:00 old wccars.qvi\r\n"
                               "-rw-r--r--   1 owner    group          88 Mar 01 10:00 wccars.qvi.bak\r\n"
                               "-rw-r--r--   1 owner    group      200000 Mar 01 10:00 wccars.qvi\r\n"
                               "-rw-r--r--   1 1000     1000         1234 Dec 24  2023 wcdrivers.qvi\r\n"
                               "-rw-r--r--   1 ftp       56789 Jan  5 09:07 f1cars.qvi\n"
                               "lrwxrwxrwx   1 owner    group          10 Mar 01 10:00 f1drivers.qvi -> x\r\n"
                               "-rw-r--r--   1 owner    group          19 Mar 01 10:00 a b.qvi\r\n"
                               "03-01-24  10:00AM                 4321 wcc20240301.qvi\r\n"
                               "03-01-24  10:00AM       <DIR>          archive\r\n"
                               "-rw-r--r--   1 owner    group          42 Mar 01 10:00 last.qvi";
    EXPECT_EQ(sizeFromListing(listing, "wccars.qvi"), 200000);
    EXPECT_EQ(sizeFromListing(listing, "wcdrivers.qvi"), 1234);
    EXPECT_EQ(sizeFromListing(listing, "f1cars.qvi"), 56789);
    EXPECT_EQ(sizeFromListing(listing, "a b.qvi"), 19);
    EXPECT_EQ(sizeFromListing(listing, "wcc20240301.qvi"), 4321);
    EXPECT_EQ(sizeFromListing(listing, "last.qvi"), 42);
    for (const char* notAFile : {"f1drivers.qvi", "archive", "wccars.qvi.d", "wccars", "missing.qvi", ""})
        EXPECT_EQ(sizeFromListing(listing, QLatin1String(notAFile)), -1) << notAFile;
}

TEST_F(FtpTest, AFailedConnectionIsOneBox) {
    serve(false);
    const int port = server.port();
    server.stop();
    setDownloadHost(QStringLiteral("127.0.0.1:%1").arg(port));
    EXPECT_FALSE(downloadFile(QStringLiteral("wccars.qvi")));
    ASSERT_EQ(data.ui().boxes.size(), 1) << boxTexts(data.ui()).join(" / ").toStdString();
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("InternetConnect Err: "));
}

TEST_F(FtpTest, NamesThatLeadOutOfTheirFolderAreRefused) {
    writeBytes(root.path() + "/quorvanti/download/secret.qvi", "not for download");
    writeBytes(root.path() + "/quorvanti/x", "x");
    serve(false);
    for (const char* name : {"../secret.qvi", "sub/wccars.qvi", "..", ""})
        EXPECT_FALSE(downloadFile(QLatin1String(name))) << name;
    EXPECT_FALSE(QFile::exists(QDir(importsDir()).filePath("secret.qvi")));
    EXPECT_FALSE(QFile::exists(QDir(importsDir()).filePath("../secret.qvi")));

    // A remote path whose last piece is ".." would name the folder above the local one.
    const QString local = QDir(data.folder()).filePath("local/inner");
    QDir().mkpath(local);
    openInternet();
    connectFtp(server.address(), QString(), QString());
    ASSERT_TRUE(ftpConnected());
    EXPECT_FALSE(getFtpFile(QStringLiteral("/quorvanti/.."), local));
    EXPECT_FALSE(getFtpFile(QStringLiteral("/quorvanti/"), local));
    EXPECT_EQ(QDir(QDir(data.folder()).filePath("local")).entryList(QDir::Files).size(), 0);
}

TEST_F(FtpTest, AnEmptyFolderIsSaidAndAMissingFolderIsOneFailureInOneBox) {
    serve(false);
    EXPECT_FALSE(downloadFile(QStringLiteral("wccars.qvi")));
    EXPECT_EQ(boxTexts(data.ui()), (QStringList{"This directory is empty!", "File not found. Try back later."}));

    // The download server is entered without a user name or password: there are none to check.
    const QString missing = "Folder /quorvanti/download/2002/ not found on the download server. Try back later.";
    data.ui().clear();
    QDir(root.path()).removeRecursively();
    QDir().mkpath(root.path());
    EXPECT_FALSE(downloadFile(QStringLiteral("wccars.qvi")));
    EXPECT_EQ(boxTexts(data.ui()), QStringList{missing});
    for (const auto& b : data.ui().boxes) {
        EXPECT_EQ(b.title, "Quorvanti");
        EXPECT_EQ(b.icon, MsgIcon::None);
    }
    EXPECT_FALSE(ftpConnected());

    // A folder there that the server will not let anyone enter reads the same.
    QDir().mkpath(downloadDir);
    writeBytes(downloadDir + "wccars.qvi", "11;602;1;1;\"Listed\";;;;\r\n");
    LocalFtpServer denying;
    ASSERT_TRUE(denying.start(root.path(), false, QString(), QString(), 0, LocalFtpServer::Quirk::DeniesFolders));
    setDownloadHost(denying.address());
    data.ui().clear();
    EXPECT_FALSE(downloadFile(QStringLiteral("wccars.qvi")));
    EXPECT_EQ(boxTexts(data.ui()), QStringList{missing});
    EXPECT_FALSE(QFile::exists(QDir(importsDir()).filePath("wccars.qvi")));

    // Logged in with a name, a folder that cannot be entered may be the account's doing.
    LocalFtpServer account;
    ASSERT_TRUE(account.start(root.path(), false, "tester", "s3cret"));
    data.ui().clear();
    openInternet();
    connectFtp(account.address(), QStringLiteral("tester"), QStringLiteral("s3cret"));
    ASSERT_TRUE(ftpConnected());
    changeFtpDirectory(QStringLiteral("/no/such/folder/"));
    EXPECT_EQ(boxTexts(data.ui()), QStringList{"Unable to process. Check your username, password and location."});
    EXPECT_FALSE(ftpConnected());
}

TEST_F(FtpTest, AWrongPasswordIsReportedWithoutThePassword) {
    serve(true, "tester", "s3cret");
    openInternet();
    connectFtp(server.address(), QStringLiteral("tester"), QStringLiteral("wrong-pw"));
    EXPECT_FALSE(ftpConnected());
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("InternetConnect Extd Err: 530 "))
        << data.ui().lastBoxText().toStdString();
    EXPECT_FALSE(data.ui().boxes[0].text.contains("wrong-pw"));
}

TEST_F(FtpTest, ARefusedConnectionIsReportedNotPassedOver) {
    serve(false);
    const int port = server.port();
    server.stop();
    openInternet();
    connectFtp(QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("tester"), QStringLiteral("s3cret"));
    EXPECT_FALSE(ftpConnected());
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("InternetConnect Err: "));
    EXPECT_FALSE(data.ui().boxes[0].text.contains("s3cret"));
}

TEST_F(FtpTest, PublishUploadsTheHtmlPagesIntoTheLocationFolder) {
    QDir(root.path()).mkpath("site/reports");
    serve(true, "tester", "s3cret");
    const QString reports = QDir(data.folder()).filePath("Reports");
    writeBytes(reports + "/rd0001.html", "<html>1</html>");
    writeBytes(reports + "/Index.HTML", "<html>i</html>");
    writeBytes(reports + "/a b#1.html", "<html>odd</html>");
    writeBytes(reports + "/notes.txt", "not a page");
    writeBytes(reports + "/sub/inner.html", "in a subfolder");
    // Links are no pages of the folder's own, wherever they lead.
    writeBytes(data.folder() + "/private.txt", "the user's own file");
    ASSERT_TRUE(QFile::link(data.folder() + "/private.txt", reports + "/private.html"));
    ASSERT_TRUE(QFile::link(reports + "/rd0001.html", reports + "/copy.html"));
    QStringList statuses;
    const PublishResult sent = publishReports(server.address() + "/site/reports", "tester", "s3cret", reports,
                                              [&](const QString& s) { statuses << s; });
    EXPECT_EQ(sent.sent, 3);
    EXPECT_TRUE(sent.complete);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << boxTexts(data.ui()).join(" / ").toStdString();
    const QDir remote(root.path() + "/site/reports");
    EXPECT_EQ(remote.entryList(QDir::Files, QDir::Name), (QStringList{"Index.HTML", "a b#1.html", "rd0001.html"}));
    EXPECT_EQ(readBytes(remote.filePath("a b#1.html")), "<html>odd</html>");
    EXPECT_EQ(statuses.last(), "Transfering " + reports + "/rd0001.html");
    EXPECT_FALSE(ftpConnected());

    // Without a folder the pages go to the server's root; with an empty one, to the login folder.
    EXPECT_EQ(publishReports(server.address(), "tester", "s3cret", reports, {}).sent, 3);
    EXPECT_TRUE(QFile::exists(root.path() + "/rd0001.html"));
    EXPECT_EQ(publishReports(server.address() + "/", "tester", "s3cret", reports, {}).sent, 3);
}

TEST_F(FtpTest, PublishFailuresAreReportedAndStopThePublish) {
    serve(false, "tester", "s3cret"); // read-only: every upload is refused
    const QString reports = QDir(data.folder()).filePath("Reports");
    writeBytes(reports + "/rd0001.html", "1");
    writeBytes(reports + "/rd0002.html", "2");
    QStringList statuses;
    EXPECT_EQ(
        publishReports(server.address(), "tester", "s3cret", reports, [&](const QString& s) { statuses << s; }).sent,
        0);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("FtpPutFile Extd Err: 550 "))
        << data.ui().lastBoxText().toStdString();
    EXPECT_TRUE(statuses.isEmpty()); // no page is shown as transferred
    EXPECT_FALSE(QFile::exists(root.path() + "/rd0001.html"));

    data.ui().clear();
    EXPECT_EQ(publishReports(server.address() + "/no/such/folder", "tester", "s3cret", reports, {}).sent, 0);
    EXPECT_EQ(boxTexts(data.ui()), QStringList{"Location (FTP Site) not found. Check spelling of Location."});

    data.ui().clear();
    statuses.clear();
    EXPECT_EQ(
        publishReports(server.address(), "tester", "s3cret", QString(), [&](const QString& s) { statuses << s; }).sent,
        0);
    EXPECT_EQ(boxTexts(data.ui()), QStringList{"Please select a local file to put"});
    EXPECT_EQ(statuses, QStringList{"Transfering "});
}

TEST_F(FtpTest, APageLostMidUploadLeavesTheLivePageAsItWas) {
    serve(true, "tester", "s3cret", 256 * 1024);
    writeBytes(root.path() + "/rd0001.html", "<html>live</html>");
    const QString reports = QDir(data.folder()).filePath("Reports");
    writeBytes(reports + "/rd0001.html", manyBytes(4 << 20));
    PublishResult result;
    {
        SignalWhenUnderWay lost(
            server, [this] { return landingIn(root.path(), "rd0001.html"); }, SIGKILL);
        result = publishReports(server.address(), "tester", "s3cret", reports, {});
        EXPECT_TRUE(lost.sent());
    }
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.sent, 0);
    EXPECT_EQ(readBytes(root.path() + "/rd0001.html"), "<html>live</html>");
    EXPECT_EQ(data.ui().boxes.size(), 1) << boxTexts(data.ui()).join(" / ").toStdString();
}

TEST_F(FtpTest, APageReplacesTheLiveOneAlsoWhereRenamingOverItIsRefused) {
    ASSERT_TRUE(server.start(root.path(), true, "tester", "s3cret", 0, LocalFtpServer::Quirk::NoRenameOver));
    writeBytes(root.path() + "/rd0001.html", "<html>old</html>");
    const QString reports = QDir(data.folder()).filePath("Reports");
    writeBytes(reports + "/rd0001.html", "<html>new</html>");
    writeBytes(reports + "/rd0002.html", "<html>two</html>");
    const PublishResult result = publishReports(server.address(), "tester", "s3cret", reports, {});
    EXPECT_TRUE(result.complete);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << boxTexts(data.ui()).join(" / ").toStdString();
    EXPECT_EQ(readBytes(root.path() + "/rd0001.html"), "<html>new</html>");
    EXPECT_EQ(readBytes(root.path() + "/rd0002.html"), "<html>two</html>");
    EXPECT_EQ(QDir(root.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"rd0001.html", "rd0002.html"}));
}

TEST_F(FtpTest, WhereTheServerRefusesRenamesPagesGoStraightToTheirNamesAndNoLivePageIsLost) {
    ASSERT_TRUE(server.start(root.path(), true, "tester", "s3cret", 0, LocalFtpServer::Quirk::NoRenames));
    writeBytes(root.path() + "/rd0001.html", "<html>old</html>");
    const QString reports = QDir(data.folder()).filePath("Reports");
    writeBytes(reports + "/rd0001.html", "<html>new</html>");
    writeBytes(reports + "/rd0002.html", "<html>two</html>");
    PublishResult result = publishReports(server.address(), "tester", "s3cret", reports, {});
    EXPECT_TRUE(result.complete);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << boxTexts(data.ui()).join(" / ").toStdString();
    EXPECT_EQ(readBytes(root.path() + "/rd0001.html"), "<html>new</html>");
    EXPECT_EQ(readBytes(root.path() + "/rd0002.html"), "<html>two</html>");
    EXPECT_EQ(QDir(root.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"rd0001.html", "rd0002.html"}));

    // Neither a rename nor a page under its own name: the live page stays, the failure is said, and the
    // copy under the temporary name is taken away again.
    server.stop();
    LocalFtpServer partsOnly;
    ASSERT_TRUE(
        partsOnly.start(root.path(), true, "tester", "s3cret", 0, LocalFtpServer::Quirk::NoRenamesStoresOnlyParts));
    writeBytes(reports + "/rd0001.html", "<html>newer</html>");
    result = publishReports(partsOnly.address(), "tester", "s3cret", reports, {});
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.sent, 0);
    ASSERT_EQ(data.ui().boxes.size(), 1) << boxTexts(data.ui()).join(" / ").toStdString();
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("FtpPutFile Extd Err: 550 "))
        << data.ui().lastBoxText().toStdString();
    EXPECT_TRUE(data.ui().boxes[0].text.contains("sent straight to its name, and that failed"))
        << data.ui().lastBoxText().toStdString();
    EXPECT_EQ(readBytes(root.path() + "/rd0001.html"), "<html>new</html>");
    EXPECT_EQ(QDir(root.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"rd0001.html", "rd0002.html"}));
}

// Servers that answer a page's upload as complete and keep part of it or another page of its size, whether
// they answer SIZE or the copy is found in their listing or read back, one that confirms nothing, and ones
// that answer the rename onto the live page without making it: the difference is said, the publish ends
// there, and no temporary copy is left behind.
TEST_F(FtpTest, APageTheServerDoesNotHoldAsSentIsReportedNotPassedOff) {
    const QString reports = QDir(data.folder()).filePath("Reports");
    writeBytes(reports + "/rd0001.html", "<html>a new page</html>"); // 23 bytes; the server keeps 5
    writeBytes(reports + "/rd0002.html", "<html>two</html>");
    const QString kept = "The server stored 5 of the 23 bytes of rd0001.html: the page on the server was left as it "
                         "was. Publish again later.";
    const QString cut = "The server stored 5 of the 23 bytes of rd0001.html: the page rd0001.html on the server is "
                        "incomplete. Publish again later.";
    const QString notRenamed = "The server said it renamed rd0001.html.part to rd0001.html, but it does not show "
                               "rd0001.html as the page that was sent. Publish again later.";
    const QByteArray sameSize = "<html>an old one</html>";
    using Quirk = LocalFtpServer::Quirk;
    const struct {
        Quirk quirk;
        QString box;
        QByteArray live;                         // rd0001.html on the server afterwards
        QByteArray before = "<html>live</html>"; // and before; none when null
    } cases[] = {
        {Quirk::KeepsPartOfUploads, kept, "<html>live</html>"},
        {Quirk::NoSizeKeepsParts, kept, "<html>live</html>"},    // the size in the listing
        {Quirk::NoListingKeepsParts, kept, "<html>live</html>"}, // the copy read back
        {Quirk::NoRenamesKeepsParts, cut, "<html"},
        {Quirk::NoRenamesNoSizeKeeps, cut, "<html"},
        {Quirk::TakesOnlyUploads,
         "The server gives no size for rd0001.html (neither to SIZE nor in its folder listing) and did not send it "
         "back, so whether it has all of it cannot be told: the page on the server was left as it was. Publish "
         "again later, or to a server that gives the sizes of its files.",
         "<html>live</html>"},
        // A copy of the page's size read back is compared byte for byte.
        {Quirk::NoListingSpoilsUploads,
         "The server's copy of rd0001.html is not the page that was sent: the page on the server was left as it "
         "was. Publish again later.",
         "<html>live</html>"},
        {Quirk::FakeRenames, notRenamed, "<html>live</html>"},
        {Quirk::FakeRenames, notRenamed, sameSize, sameSize},
        {Quirk::FakeRenames, notRenamed, "<missing>", QByteArray()},
        {Quirk::NoSizeFakeRenames, notRenamed, sameSize, sameSize},
        {Quirk::NoListingFakeRenames, notRenamed, sameSize, sameSize},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.quirk));
        QFile::remove(root.path() + "/rd0001.html");
        if (!c.before.isNull())
            writeBytes(root.path() + "/rd0001.html", c.before);
        LocalFtpServer cutting;
        ASSERT_TRUE(cutting.start(root.path(), true, "tester", "s3cret", 0, c.quirk));
        data.ui().clear();
        QStringList statuses;
        const PublishResult result =
            publishReports(cutting.address(), "tester", "s3cret", reports, [&](const QString& s) { statuses << s; });
        EXPECT_FALSE(result.complete);
        EXPECT_EQ(result.sent, 0);
        EXPECT_TRUE(statuses.isEmpty()) << statuses.join(" / ").toStdString();
        EXPECT_EQ(boxTexts(data.ui()), QStringList{c.box});
        EXPECT_EQ(readBytes(root.path() + "/rd0001.html"), c.live);
        EXPECT_EQ(QDir(root.path()).entryList(QDir::Files | QDir::Hidden),
                  c.before.isNull() ? QStringList() : QStringList{"rd0001.html"});
        EXPECT_FALSE(ftpConnected());
    }

    // Where the server renames nothing and already has the very pages, they are live as sent: the publish
    // counts them, and the temporary copies are taken away.
    for (const auto quirk : {Quirk::FakeRenames, Quirk::NoSizeFakeRenames, Quirk::NoListingFakeRenames}) {
        SCOPED_TRACE(int(quirk));
        writeBytes(root.path() + "/rd0001.html", "<html>a new page</html>");
        writeBytes(root.path() + "/rd0002.html", "<html>two</html>");
        LocalFtpServer renamingNothing;
        ASSERT_TRUE(renamingNothing.start(root.path(), true, "tester", "s3cret", 0, quirk));
        data.ui().clear();
        EXPECT_TRUE(publishReports(renamingNothing.address(), "tester", "s3cret", reports, {}).complete);
        EXPECT_TRUE(data.ui().boxes.isEmpty()) << boxTexts(data.ui()).join(" / ").toStdString();
        EXPECT_EQ(QDir(root.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"rd0001.html", "rd0002.html"}));
    }

    // A server that does not answer SIZE and keeps the whole page has it confirmed by its listing, or where it
    // lists no sizes either, by the page read back.
    for (const auto quirk : {LocalFtpServer::Quirk::NoSize, LocalFtpServer::Quirk::NoSizeNoListing}) {
        SCOPED_TRACE(int(quirk));
        writeBytes(root.path() + "/rd0001.html", "<html>live</html>");
        QFile::remove(root.path() + "/rd0002.html");
        LocalFtpServer noSize;
        ASSERT_TRUE(noSize.start(root.path(), true, "tester", "s3cret", 0, quirk));
        data.ui().clear();
        EXPECT_TRUE(publishReports(noSize.address(), "tester", "s3cret", reports, {}).complete);
        EXPECT_TRUE(data.ui().boxes.isEmpty()) << boxTexts(data.ui()).join(" / ").toStdString();
        EXPECT_EQ(readBytes(root.path() + "/rd0001.html"), "<html>a new page</html>");
        EXPECT_EQ(QDir(root.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"rd0001.html", "rd0002.html"}));
    }
}

TEST_F(FtpTest, NothingToPublishIsSaidBeforeConnecting) {
    // No server at all: a connection attempt would add a box of its own.
    const QString reports = QDir(data.folder()).filePath("Reports");
    EXPECT_FALSE(publishReports("127.0.0.1:1", "tester", "s3cret", reports + "/missing", {}).complete);
    QDir().mkpath(reports);
    writeBytes(reports + "/notes.txt", "not a page");
    EXPECT_FALSE(publishReports("127.0.0.1:1", "tester", "s3cret", reports, {}).complete);
    EXPECT_EQ(boxTexts(data.ui()), (QStringList{"The folder " + reports + "/missing does not exist.",
                                                "There are no pages (*.html) to publish in " + reports + "."}));
}

TEST(Publish, LocationSplitsAtItsFirstSlash) {
    EXPECT_EQ(splitLocation("www.example.org").host, "www.example.org");
    EXPECT_EQ(splitLocation("www.example.org").folder, "/");
    EXPECT_EQ(splitLocation("www.example.org/").folder, "");
    EXPECT_EQ(splitLocation("www.example.org/a/b").host, "www.example.org");
    EXPECT_EQ(splitLocation("www.example.org/a/b").folder, "a/b");
}

TEST(Publish, SettingsRowKeepsQuotesAndIsOnlyEverOneRow) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    cPublish p;
    p.setLocation("o'brien.example/it's");
    p.setUsername("me");
    p.setPassword("pa'ss");
    ASSERT_TRUE(p.CommitChanges());
    cPublish back;
    back.load();
    EXPECT_EQ(back.location(), "o'brien.example/it's");
    EXPECT_EQ(back.username(), "me");
    EXPECT_EQ(back.password(), "pa'ss");
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM publish").toInt(), 1);
}

TEST(Publish, SavingNeverShowsThePasswordAndPutsAMissingRowBack) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    TestDataFile::exec("DELETE FROM publish");
    cPublish p;
    p.setLocation("web.example/q");
    p.setUsername("me");
    p.setPassword("pa'ss word");
    ASSERT_TRUE(p.CommitChanges());
    EXPECT_EQ(TestDataFile::scalar("SELECT location || '|' || username || '|' || password FROM publish").toString(),
              "web.example/q|me|pa'ss word");
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM publish").toInt(), 1);

    TestDataFile::exec("CREATE TEMP TRIGGER refuse BEFORE UPDATE ON publish BEGIN SELECT RAISE(ABORT, 'locked'); END");
    p.setPassword("n3w-s3cret");
    EXPECT_FALSE(p.CommitChanges());
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.contains("locked"));
    EXPECT_FALSE(data.ui().boxes[0].text.contains("n3w-s3cret"));
}
