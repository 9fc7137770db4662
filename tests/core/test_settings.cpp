#include "RecordingUi.h"
#include "app/Settings.h"
#include "data/TextFiles.h"
#include "exchange/FtpTransfer.h"
#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Readable failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = new QTemporaryDir;
        setSettingsFolder(m_dir->path());
        m_ui = new RecordingUi;
        settings = SettingsRecord{};
    }

    void TearDown() override {
        delete m_ui;
        delete m_dir;
    }

    void writeIni(const QString& text) {
        QFile f(settingsFilePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }

    QString iniText() {
        QFile f(settingsFilePath());
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

    QTemporaryDir* m_dir = nullptr;
    RecordingUi* m_ui = nullptr;
};

TEST_F(Settings, NoFileGivesDefaults) {
    settings.firstTime = QStringLiteral("N");
    settings.mdiWidth = QStringLiteral("1    ");
    EXPECT_TRUE(loadSettings());
    EXPECT_EQ(settings.firstTime, QStringLiteral("Y"));
    EXPECT_EQ(settings.statusBar, QStringLiteral("Y"));
    EXPECT_EQ(settings.toolBar, QStringLiteral("Y"));
    EXPECT_EQ(settings.mdiWidth, QStringLiteral("10455"));
    EXPECT_EQ(settings.mdiLeft, QStringLiteral("105  "));
    EXPECT_EQ(settings.mdiTop, QStringLiteral("105  "));
    EXPECT_EQ(settings.mdiHeight, QStringLiteral("7920 "));
    EXPECT_EQ(settings.mdiState, QStringLiteral("2"));
    EXPECT_EQ(settings.splitterLeft, QStringLiteral("2520 "));
    EXPECT_TRUE(m_ui->boxes.isEmpty());
    EXPECT_EQ(fileErrorFlag, QStringLiteral("N"));
}

TEST_F(Settings, ValuesAreCheckedOnReading) {
    struct Case {
        const char* name;
        QString key;
        QString written;
        QString expected;
    };
    const Case cases[] = {
        {"lower-case y", "First Time", "y", "Y"},
        {"Yes cut to Y", "First Time", "Yes", "Y"},
        {"N kept", "Status Bar", "N", "N"},
        {"lower-case n", "Tool Bar", "n", "Y"},
        {"width above 32767", "MDI Width", "40000", "10455"},
        {"six digits cut", "MDI Width", "123456", "12345"},
        {"negative left", "MDI Left", "-300", "-300 "},
        {"not a number", "MDI Top", "abc", "105  "},
        {"padded number", "MDI Height", "  900  ", "900  "},
        {"state 3", "MDI State", "3", "2"},
        {"state x", "MDI State", "x", "2"},
        {"state 0", "MDI State", "0", "0"},
        {"empty splitter", "Splitter Left", "", "2520 "},
        {"quoted value", "Splitter Left", "\"3100\"", "3100 "},
        // Texts that read as numbers but are none: the key's default, not a window of no size.
        {"nan width", "MDI Width", "nan", "10455"},
        {"NaN height", "MDI Height", "NaN", "7920 "},
        {"inf left", "MDI Left", "inf", "105  "},
        {"-inf top", "MDI Top", "-inf", "105  "},
        {"nan splitter", "Splitter Left", "nan", "2520 "},
        {"nan state", "MDI State", "nan", "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings = SettingsRecord{};
        // Key and section names match whatever their case.
        writeIni(QStringLiteral("[Other]\n%1=N\n\n[quorvanti]\n%2=%3\n").arg(c.key, c.key.toUpper(), c.written));
        EXPECT_TRUE(loadSettings());
        const QMap<QString, QString> fields = {
            {"First Time", settings.firstTime},       {"Status Bar", settings.statusBar},
            {"Tool Bar", settings.toolBar},           {"MDI Width", settings.mdiWidth},
            {"MDI Left", settings.mdiLeft},           {"MDI Top", settings.mdiTop},
            {"MDI Height", settings.mdiHeight},       {"MDI State", settings.mdiState},
            {"Splitter Left", settings.splitterLeft},
        };
        EXPECT_EQ(fields.value(c.key), c.expected);
    }
}

TEST_F(Settings, WrittenAtFixedWidthsAndReadBack) {
    writeIni(QStringLiteral("; kept\n[Elsewhere]\nMDI Top=1\n[Quorvanti]\nFirst Time=Y\nExtra=keep me\n"));
    ASSERT_TRUE(loadSettings());
    settings.statusBar = QStringLiteral("N");
    settings.mdiTop = twipsField(105);
    settings.mdiWidth = twipsField(10455.5);
    settings.mdiLeft = twipsField(-45.7);
    ASSERT_TRUE(saveSettings());
    const QString text = iniText();
    EXPECT_EQ(text, QStringLiteral("; kept\n[Elsewhere]\nMDI Top=1\n[Quorvanti]\nFirst Time=N\nExtra=keep me\n"
                                   "Status Bar=N\nTool Bar=Y\nMDI Top=105  \nMDI Left=-45  \nMDI Height=7920 \n"
                                   "MDI Width=10455\nMDI State=2\nSplitter Left=2520 \n"
                                   "Download Server=download.quorvanti.invalid\n"
                                   "Download Folder=/quorvanti/download/2002/\n"));
    settings = SettingsRecord{};
    ASSERT_TRUE(loadSettings());
    EXPECT_EQ(settings.firstTime, QStringLiteral("N"));
    EXPECT_EQ(settings.statusBar, QStringLiteral("N"));
    EXPECT_EQ(settings.mdiLeft, QStringLiteral("-45  "));
}

TEST_F(Settings, TheDownloadServerIsReadFromTheFile) {
    writeIni(QStringLiteral("[Quorvanti]\nDownload Server= files.example.org:2121 \nDownload Folder=series/2024\n"));
    ASSERT_TRUE(loadSettings());
    EXPECT_EQ(downloadHost(), QStringLiteral("files.example.org:2121"));
    EXPECT_EQ(downloadFolder(), QStringLiteral("/series/2024/"));
    ASSERT_TRUE(saveSettings());
    EXPECT_TRUE(iniText().contains(QStringLiteral("Download Server=files.example.org:2121\n"
                                                  "Download Folder=/series/2024/\n")));
    // As a Windows editor saves it: a byte order mark, and 8-bit text on another line.
    {
        QFile f(settingsFilePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("\xEF\xBB\xBF[Quorvanti]\r\nDownload Server=files.example.org\r\nDownload Folder=/s\xE9ries\r\n");
    }
    ASSERT_TRUE(loadSettings());
    EXPECT_EQ(downloadHost(), QStringLiteral("files.example.org"));
    EXPECT_EQ(downloadFolder(), QString::fromUtf8("/s\u00e9ries/"));
    // Empty values fall back to the defaults.
    writeIni(QStringLiteral("[Quorvanti]\nDownload Server=\nDownload Folder=\n"));
    ASSERT_TRUE(loadSettings());
    EXPECT_EQ(downloadHost(), QStringLiteral("download.quorvanti.invalid"));
    EXPECT_EQ(downloadFolder(), QStringLiteral("/quorvanti/download/2002/"));
}

TEST_F(Settings, MeasuresAreHeldWithinTheKeys) {
    EXPECT_EQ(twipsField(123456), QStringLiteral("32767"));
    EXPECT_EQ(twipsField(32767.9), QStringLiteral("32767"));
    EXPECT_EQ(twipsField(-123456), QStringLiteral("-9999"));
    EXPECT_EQ(twipsField(0), QStringLiteral("0    "));
    EXPECT_EQ(fixedWidth(QStringLiteral("Yes"), 1), QStringLiteral("Y"));
}

TEST_F(Settings, FolderKeepsItsCase) {
    const QString folder = m_dir->filePath(QStringLiteral("MiXed/Case Folder"));
    setSettingsFolder(folder);
    EXPECT_EQ(settingsFilePath(), folder + QStringLiteral("/QV.INI"));
    ASSERT_TRUE(saveSettings());
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/QV.INI")));
    EXPECT_FALSE(QFile::exists(folder.toUpper() + QStringLiteral("/QV.INI")));
}

TEST_F(Settings, UnreadableFileIsReported) {
    // A folder in the file's place cannot be read as a file, whoever runs the test.
    ASSERT_TRUE(QDir().mkpath(settingsFilePath()));
    settings.firstTime = QStringLiteral("N");
    EXPECT_FALSE(loadSettings());
    ASSERT_EQ(m_ui->boxes.size(), 1);
    EXPECT_TRUE(m_ui->boxes[0].text.startsWith(QStringLiteral("Error trying to access ") + settingsFilePath() +
                                               QStringLiteral(" file.\n\nError: ")))
        << m_ui->boxes[0].text.toStdString();
    EXPECT_EQ(m_ui->boxes[0].title, QStringLiteral("Quorvanti Error"));
    EXPECT_EQ(fileErrorFlag, QStringLiteral("Y"));
    EXPECT_EQ(settings.firstTime, QStringLiteral("N")); // not read, kept
}

TEST_F(Settings, UnwritableFolderIsReported) {
    // A file where the folder should be cannot be written through.
    QFile blocker(m_dir->filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    setSettingsFolder(blocker.fileName());
    EXPECT_FALSE(saveSettings());
    ASSERT_EQ(m_ui->boxes.size(), 1);
    EXPECT_TRUE(m_ui->boxes[0].text.startsWith(QStringLiteral("Error trying to access ")));
    EXPECT_EQ(fileErrorFlag, QStringLiteral("Y"));
}

} // namespace
