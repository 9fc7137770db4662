#include "RecordingUi.h"
#include "app/Settings.h"
#include "data/CommonCode.h"
#include "exchange/FtpTransfer.h"
#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_Settings : public QObject {
    Q_OBJECT

private:
    QTemporaryDir* m_dir = nullptr;
    RecordingUi* m_ui = nullptr;

    void writeIni(const QString& text) {
        QFile f(settingsFilePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }

    QString iniText() {
        QFile f(settingsFilePath());
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

private slots:
    void init() {
        m_dir = new QTemporaryDir;
        setSettingsFolder(m_dir->path());
        m_ui = new RecordingUi;
        settings = SettingsRecord{};
    }

    void cleanup() {
        delete m_ui;
        delete m_dir;
    }

    void noFileGivesDefaults() {
        settings.firstTime = QStringLiteral("N");
        settings.mdiWidth = QStringLiteral("1    ");
        QVERIFY(loadSettings());
        QCOMPARE(settings.firstTime, QStringLiteral("Y"));
        QCOMPARE(settings.statusBar, QStringLiteral("Y"));
        QCOMPARE(settings.toolBar, QStringLiteral("Y"));
        QCOMPARE(settings.mdiWidth, QStringLiteral("10455"));
        QCOMPARE(settings.mdiLeft, QStringLiteral("105  "));
        QCOMPARE(settings.mdiTop, QStringLiteral("105  "));
        QCOMPARE(settings.mdiHeight, QStringLiteral("7920 "));
        QCOMPARE(settings.mdiState, QStringLiteral("2"));
        QCOMPARE(settings.splitterLeft, QStringLiteral("2520 "));
        QVERIFY(m_ui->boxes.isEmpty());
        QCOMPARE(fileErrorFlag, QStringLiteral("N"));
    }

    void valuesAreCheckedOnReading_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("expected");
        QTest::newRow("lower-case y") << "First Time"
                                      << "y"
                                      << "Y";
        QTest::newRow("Yes cut to Y") << "First Time"
                                      << "Yes"
                                      << "Y";
        QTest::newRow("N kept") << "Status Bar"
                                << "N"
                                << "N";
        QTest::newRow("lower-case n") << "Tool Bar"
                                      << "n"
                                      << "Y";
        QTest::newRow("width above 32767") << "MDI Width"
                                           << "40000"
                                           << "10455";
        QTest::newRow("six digits cut") << "MDI Width"
                                        << "123456"
                                        << "12345";
        QTest::newRow("negative left") << "MDI Left"
                                       << "-300"
                                       << "-300 ";
        QTest::newRow("not a number") << "MDI Top"
                                      << "abc"
                                      << "105  ";
        QTest::newRow("padded number") << "MDI Height"
                                       << "  900  "
                                       << "900  ";
        QTest::newRow("state 3") << "MDI State"
                                 << "3"
                                 << "2";
        QTest::newRow("state x") << "MDI State"
                                 << "x"
                                 << "2";
        QTest::newRow("state 0") << "MDI State"
                                 << "0"
                                 << "0";
        QTest::newRow("empty splitter") << "Splitter Left"
                                        << ""
                                        << "2520 ";
        QTest::newRow("quoted value") << "Splitter Left"
                                      << "\"3100\""
                                      << "3100 ";
        // Texts that read as numbers but are none: the key's default, not a window of no size.
        QTest::newRow("nan width") << "MDI Width"
                                   << "nan"
                                   << "10455";
        QTest::newRow("NaN height") << "MDI Height"
                                    << "NaN"
                                    << "7920 ";
        QTest::newRow("inf left") << "MDI Left"
                                  << "inf"
                                  << "105  ";
        QTest::newRow("-inf top") << "MDI Top"
                                  << "-inf"
                                  << "105  ";
        QTest::newRow("nan splitter") << "Splitter Left"
                                      << "nan"
                                      << "2520 ";
        QTest::newRow("nan state") << "MDI State"
                                   << "nan"
                                   << "2";
    }

    void valuesAreCheckedOnReading() {
        QFETCH(QString, key);
        QFETCH(QString, written);
        QFETCH(QString, expected);
        // Key and section names match whatever their case.
        writeIni(QStringLiteral("[Other]\n%1=N\n\n[quorvanti]\n%2=%3\n").arg(key, key.toUpper(), written));
        QVERIFY(loadSettings());
        const QMap<QString, QString> fields = {
            {"First Time", settings.firstTime},       {"Status Bar", settings.statusBar},
            {"Tool Bar", settings.toolBar},           {"MDI Width", settings.mdiWidth},
            {"MDI Left", settings.mdiLeft},           {"MDI Top", settings.mdiTop},
            {"MDI Height", settings.mdiHeight},       {"MDI State", settings.mdiState},
            {"Splitter Left", settings.splitterLeft},
        };
        QCOMPARE(fields.value(key), expected);
    }

    void writtenAtFixedWidthsAndReadBack() {
        writeIni(QStringLiteral("; kept\n[Elsewhere]\nMDI Top=1\n[Quorvanti]\nFirst Time=Y\nExtra=keep me\n"));
        QVERIFY(loadSettings());
        settings.statusBar = QStringLiteral("N");
        settings.mdiTop = twipsField(105);
        settings.mdiWidth = twipsField(10455.5);
        settings.mdiLeft = twipsField(-45.7);
        QVERIFY(saveSettings());
        const QString text = iniText();
        QCOMPARE(text, QStringLiteral("; kept\n[Elsewhere]\nMDI Top=1\n[Quorvanti]\nFirst Time=N\nExtra=keep me\n"
                                      "Status Bar=N\nTool Bar=Y\nMDI Top=105  \nMDI Left=-45  \nMDI Height=7920 \n"
                                      "MDI Width=10455\nMDI State=2\nSplitter Left=2520 \n"
                                      "Download Server=download.quorvanti.invalid\n"
                                      "Download Folder=/quorvanti/download/2002/\n"));
        settings = SettingsRecord{};
        QVERIFY(loadSettings());
        QCOMPARE(settings.firstTime, QStringLiteral("N"));
        QCOMPARE(settings.statusBar, QStringLiteral("N"));
        QCOMPARE(settings.mdiLeft, QStringLiteral("-45  "));
    }

    void theDownloadServerIsReadFromTheFile() {
        writeIni(
            QStringLiteral("[Quorvanti]\nDownload Server= files.example.org:2121 \nDownload Folder=series/2024\n"));
        QVERIFY(loadSettings());
        QCOMPARE(downloadHost(), QStringLiteral("files.example.org:2121"));
        QCOMPARE(downloadFolder(), QStringLiteral("/series/2024/"));
        QVERIFY(saveSettings());
        QVERIFY(iniText().contains(QStringLiteral("Download Server=files.example.org:2121\n"
                                                  "Download Folder=/series/2024/\n")));
        // As a Windows editor saves it: a byte order mark, and 8-bit text on another line.
        {
            QFile f(settingsFilePath());
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("\xEF\xBB\xBF[Quorvanti]\r\nDownload Server=files.example.org\r\nDownload Folder=/s\xE9ries\r\n");
        }
        QVERIFY(loadSettings());
        QCOMPARE(downloadHost(), QStringLiteral("files.example.org"));
        QCOMPARE(downloadFolder(), QString::fromUtf8("/s\u00e9ries/"));
        // Empty values fall back to the defaults.
        writeIni(QStringLiteral("[Quorvanti]\nDownload Server=\nDownload Folder=\n"));
        QVERIFY(loadSettings());
        QCOMPARE(downloadHost(), QStringLiteral("download.quorvanti.invalid"));
        QCOMPARE(downloadFolder(), QStringLiteral("/quorvanti/download/2002/"));
    }

    void measuresAreHeldWithinTheKeys() {
        QCOMPARE(twipsField(123456), QStringLiteral("32767"));
        QCOMPARE(twipsField(32767.9), QStringLiteral("32767"));
        QCOMPARE(twipsField(-123456), QStringLiteral("-9999"));
        QCOMPARE(twipsField(0), QStringLiteral("0    "));
        QCOMPARE(fixedWidth(QStringLiteral("Yes"), 1), QStringLiteral("Y"));
    }

    void folderKeepsItsCase() {
        const QString folder = m_dir->filePath(QStringLiteral("MiXed/Case Folder"));
        setSettingsFolder(folder);
        QCOMPARE(settingsFilePath(), folder + QStringLiteral("/QV.INI"));
        QVERIFY(saveSettings());
        QVERIFY(QFile::exists(folder + QStringLiteral("/QV.INI")));
        QVERIFY(!QFile::exists(folder.toUpper() + QStringLiteral("/QV.INI")));
    }

    void unreadableFileIsReported() {
        // A folder in the file's place cannot be read as a file, whoever runs the test.
        QVERIFY(QDir().mkpath(settingsFilePath()));
        settings.firstTime = QStringLiteral("N");
        QVERIFY(!loadSettings());
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY2(m_ui->boxes[0].text.startsWith(QStringLiteral("Error trying to access ") + settingsFilePath() +
                                                QStringLiteral(" file.\n\nError: ")),
                 qPrintable(m_ui->boxes[0].text));
        QCOMPARE(m_ui->boxes[0].title, QStringLiteral("Quorvanti Error"));
        QCOMPARE(fileErrorFlag, QStringLiteral("Y"));
        QCOMPARE(settings.firstTime, QStringLiteral("N")); // not read, kept
    }

    void unwritableFolderIsReported() {
        // A file where the folder should be cannot be written through.
        QFile blocker(m_dir->filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        setSettingsFolder(blocker.fileName());
        QVERIFY(!saveSettings());
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY(m_ui->boxes[0].text.startsWith(QStringLiteral("Error trying to access ")));
        QCOMPARE(fileErrorFlag, QStringLiteral("Y"));
    }
};

QTEST_MAIN(tst_Settings)
#include "tst_settings.moc"
