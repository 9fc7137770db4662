#include "LocalFtpServer.h"
#include "TestDataFile.h"
#include "data/Paths.h"
#include "exchange/FtpTransfer.h"
#include "exchange/Import.h"
#include "exchange/PublishWeb.h"
#include "exchange/cPublish.h"

#include <QDir>
#include <QFile>

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
    }
    void serve(bool writable, const QString& user = QString(), const QString& password = QString()) {
        ASSERT_TRUE(server.start(root.path(), writable, user, password));
        setDownloadHost(server.address());
    }

    TestDataFile data;
    QTemporaryDir root;
    QString downloadDir;
    LocalFtpServer server;
    QString previousHost = downloadHost();
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
    // A file the server does not have: nothing imported, and the old local copy is gone too.
    writeBytes(QDir(importsDir()).filePath("wccars.qvi"), "11;602;1;1;\"Stale\";;;;\r\n");
    EXPECT_FALSE(importWcCars());
    EXPECT_EQ(boxTexts(data.ui()), QStringList{"File not found. Try back later."});
    EXPECT_FALSE(QFile::exists(QDir(importsDir()).filePath("wccars.qvi")));
    EXPECT_EQ(TestDataFile::scalar("SELECT count(*) FROM cars WHERE car_nmbr = 602").toInt(), 0);
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

TEST_F(FtpTest, AnEmptyFolderIsSaidAndAMissingFolderClosesTheSession) {
    serve(false);
    EXPECT_FALSE(downloadFile(QStringLiteral("wccars.qvi")));
    EXPECT_EQ(boxTexts(data.ui()),
              (QStringList{"This directory is empty!", "File not found. Try back later."}));

    data.ui().clear();
    QDir(root.path()).removeRecursively();
    QDir().mkpath(root.path());
    EXPECT_FALSE(downloadFile(QStringLiteral("wccars.qvi")));
    EXPECT_EQ(boxTexts(data.ui()),
              (QStringList{"Unable to process. Check your username, password and location.",
                           "Internet connection not found.\r\nConnect to the Internet and try again."}));
    for (const auto& b : data.ui().boxes) {
        EXPECT_EQ(b.title, "Quorvanti");
        EXPECT_EQ(b.icon, MsgIcon::None);
    }
}

TEST_F(FtpTest, AWrongPasswordIsReportedWithoutThePassword) {
    serve(true, "tester", "s3cret");
    openInternet();
    connectFtp(server.address(), QStringLiteral("tester"), QStringLiteral("wrong-pw"));
    EXPECT_FALSE(ftpConnected());
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("InternetConnect Extd Err: 530 ")) << data.ui().lastBoxText().toStdString();
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
    QStringList statuses;
    const int sent = publishReports(server.address() + "/site/reports", "tester", "s3cret", reports,
                                    [&](const QString& s) { statuses << s; });
    EXPECT_EQ(sent, 3);
    EXPECT_TRUE(data.ui().boxes.isEmpty()) << boxTexts(data.ui()).join(" / ").toStdString();
    const QDir remote(root.path() + "/site/reports");
    EXPECT_EQ(remote.entryList(QDir::Files, QDir::Name), (QStringList{"Index.HTML", "a b#1.html", "rd0001.html"}));
    EXPECT_EQ(readBytes(remote.filePath("a b#1.html")), "<html>odd</html>");
    EXPECT_EQ(statuses.last(), "Transfering " + reports + "/rd0001.html");
    EXPECT_FALSE(ftpConnected());

    // Without a folder the pages go to the server's root; with an empty one, to the login folder.
    EXPECT_EQ(publishReports(server.address(), "tester", "s3cret", reports, {}), 3);
    EXPECT_TRUE(QFile::exists(root.path() + "/rd0001.html"));
    EXPECT_EQ(publishReports(server.address() + "/", "tester", "s3cret", reports, {}), 3);
}

TEST_F(FtpTest, PublishFailuresAreReportedAndStopThePublish) {
    serve(false, "tester", "s3cret"); // read-only: every upload is refused
    const QString reports = QDir(data.folder()).filePath("Reports");
    writeBytes(reports + "/rd0001.html", "1");
    writeBytes(reports + "/rd0002.html", "2");
    QStringList statuses;
    EXPECT_EQ(publishReports(server.address(), "tester", "s3cret", reports, [&](const QString& s) { statuses << s; }), 0);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("FtpPutFile Extd Err: 550 ")) << data.ui().lastBoxText().toStdString();
    EXPECT_TRUE(statuses.isEmpty()); // no page is shown as transferred
    EXPECT_FALSE(QFile::exists(root.path() + "/rd0001.html"));

    data.ui().clear();
    EXPECT_EQ(publishReports(server.address() + "/no/such/folder", "tester", "s3cret", reports, {}), 0);
    EXPECT_EQ(boxTexts(data.ui()), QStringList{"Location (FTP Site) not found. Check spelling of Location."});

    data.ui().clear();
    statuses.clear();
    EXPECT_EQ(publishReports(server.address(), "tester", "s3cret", QString(), [&](const QString& s) { statuses << s; }), 0);
    EXPECT_EQ(boxTexts(data.ui()), QStringList{"Please select a local file to put"});
    EXPECT_EQ(statuses, QStringList{"Transfering "});
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
