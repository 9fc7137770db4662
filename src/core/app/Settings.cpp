#include "app/Settings.h"

#include "data/Feedback.h"
#include "data/TextFiles.h"
#include "exchange/FtpTransfer.h"
#include "platform/Profile.h"

#include <QDir>
#include <QStandardPaths>
#include <cmath>

SettingsRecord settings;

namespace {

const QString kSection = QStringLiteral("Quorvanti");
const QString kDefaultWidth = QStringLiteral("10455");
const QString kDefaultLeft = QStringLiteral("105");
const QString kDefaultTop = QStringLiteral("105");
const QString kDefaultHeight = QStringLiteral("7920");
const QString kDefaultState = QStringLiteral("2");
const QString kDefaultSplitter = QStringLiteral("2520");
// Where the series files are downloaded from; written with the defaults so that they can be found
// and changed in the file.
const QString kDownloadServerKey = QStringLiteral("Download Server");
const QString kDownloadFolderKey = QStringLiteral("Download Folder");

// The largest and smallest numbers a 5-character key can hold that the next start accepts again.
constexpr int kLargestMeasure = 32767;
constexpr int kSmallestMeasure = -9999;

QString& folderOverride() {
    static QString folder;
    return folder;
}

bool readsAsNumber(const QString& text, double* value) {
    bool ok = false;
    *value = text.trimmed().toDouble(&ok);
    // "nan" and "inf" read as numbers but measure nothing; such a value takes the key's default.
    if (ok && !std::isfinite(*value)) {
        *value = 0;
        ok = false;
    }
    return ok;
}

void reportError(const QString& error, int number) {
    showError(QStringLiteral("Error trying to access %1 file.\n\nError: %2/%3")
                  .arg(settingsFilePath())
                  .arg(number)
                  .arg(error));
    fileErrorFlag = QStringLiteral("Y");
}

bool readKey(const QString& key, const QString& defaultValue, int width, QString* field) {
    QString value, error;
    int number = 0;
    if (!readProfileString(settingsFilePath(), kSection, key, defaultValue, width, &value, &error, &number)) {
        reportError(error, number);
        return false;
    }
    *field = fixedWidth(value, width);
    return true;
}

void checkFlag(QString* field) {
    if (*field != QLatin1String("Y") && *field != QLatin1String("N"))
        *field = QStringLiteral("Y");
}

void checkMeasure(QString* field, const QString& defaultValue) {
    double v = 0;
    if (!readsAsNumber(*field, &v) || v > kLargestMeasure)
        *field = fixedWidth(defaultValue, 5);
}

bool writeKey(const QString& key, const QString& value) {
    QString error;
    int number = 0;
    if (!writeProfileString(settingsFilePath(), kSection, key, value, &error, &number)) {
        reportError(error, number);
        return false;
    }
    return true;
}

} // namespace

QString settingsFilePath() {
    // The folder keeps its case: file names on Linux are case-sensitive.
    const QString folder = folderOverride().isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                               : folderOverride();
    return QDir(folder).filePath(QStringLiteral("QV.INI"));
}

void setSettingsFolder(const QString& folder) {
    folderOverride() = QDir::cleanPath(folder);
}

QString fixedWidth(const QString& text, int width) {
    return text.left(width).leftJustified(width, QLatin1Char(' '));
}

QString twipsField(double twips) {
    // A measure outside the key's range would be cut to its first five characters (123456 becoming
    // 12345) or refused on reading; the nearest value the key can hold is kept instead.
    double whole = std::trunc(twips);
    if (!std::isfinite(whole))
        whole = 0;
    if (whole > kLargestMeasure)
        whole = kLargestMeasure;
    if (whole < kSmallestMeasure)
        whole = kSmallestMeasure;
    return fixedWidth(QString::number(static_cast<int>(whole)), 5);
}

int fieldNumber(const QString& field) {
    double v = 0;
    readsAsNumber(field, &v);
    return static_cast<int>(std::lround(v));
}

bool loadSettings() {
    fileErrorFlag = QStringLiteral("N");
    if (!readKey(QStringLiteral("First Time"), QStringLiteral("Y"), 1, &settings.firstTime))
        return false;
    checkFlag(&settings.firstTime);
    if (!readKey(QStringLiteral("Status Bar"), QStringLiteral("Y"), 1, &settings.statusBar))
        return false;
    checkFlag(&settings.statusBar);
    if (!readKey(QStringLiteral("Tool Bar"), QStringLiteral("Y"), 1, &settings.toolBar))
        return false;
    checkFlag(&settings.toolBar);
    const struct {
        const char* key;
        const QString& defaultValue;
        QString* field;
    } measures[] = {
        {"MDI Width", kDefaultWidth, &settings.mdiWidth},
        {"MDI Left", kDefaultLeft, &settings.mdiLeft},
        {"MDI Top", kDefaultTop, &settings.mdiTop},
        {"MDI Height", kDefaultHeight, &settings.mdiHeight},
    };
    for (const auto& m : measures) {
        if (!readKey(QLatin1String(m.key), m.defaultValue, 5, m.field))
            return false;
        checkMeasure(m.field, m.defaultValue);
    }
    if (!readKey(QStringLiteral("MDI State"), kDefaultState, 1, &settings.mdiState))
        return false;
    double state = 0;
    if (!readsAsNumber(settings.mdiState, &state) || state < 0 || state > 2)
        settings.mdiState = kDefaultState;
    if (!readKey(QStringLiteral("Splitter Left"), kDefaultSplitter, 5, &settings.splitterLeft))
        return false;
    checkMeasure(&settings.splitterLeft, kDefaultSplitter);
    return loadDownloadSettings();
}

bool loadDownloadSettings() {
    QString host, folder, error;
    int number = 0;
    if (!readProfileString(settingsFilePath(), kSection, kDownloadServerKey, QLatin1String(kDefaultDownloadHost), 255,
                           &host, &error, &number) ||
        !readProfileString(settingsFilePath(), kSection, kDownloadFolderKey, QLatin1String(kDownloadFolder), 255,
                           &folder, &error, &number)) {
        reportError(error, number);
        return false;
    }
    setDownloadHost(host);
    setDownloadFolder(folder);
    return true;
}

bool saveSettings() {
    fileErrorFlag = QStringLiteral("N");
    return writeKey(QStringLiteral("First Time"), QStringLiteral("N")) &&
           writeKey(QStringLiteral("Status Bar"), fixedWidth(settings.statusBar, 1)) &&
           writeKey(QStringLiteral("Tool Bar"), fixedWidth(settings.toolBar, 1)) &&
           writeKey(QStringLiteral("MDI Top"), fixedWidth(settings.mdiTop, 5)) &&
           writeKey(QStringLiteral("MDI Left"), fixedWidth(settings.mdiLeft, 5)) &&
           writeKey(QStringLiteral("MDI Height"), fixedWidth(settings.mdiHeight, 5)) &&
           writeKey(QStringLiteral("MDI Width"), fixedWidth(settings.mdiWidth, 5)) &&
           writeKey(QStringLiteral("MDI State"), fixedWidth(settings.mdiState, 1)) &&
           writeKey(QStringLiteral("Splitter Left"), fixedWidth(settings.splitterLeft, 5)) &&
           writeKey(kDownloadServerKey, downloadHost()) && writeKey(kDownloadFolderKey, downloadFolder());
}
