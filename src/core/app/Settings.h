#pragma once

#include <QString>

// The window settings kept between runs in "QV.INI", section "Quorvanti". Every value is held as text of
// its key's fixed width, padded with blanks on the right, exactly as it is written to the file.
struct SettingsRecord {
    QString firstTime = QStringLiteral("Y");        // width 1: "Y" until the program has once been closed
    QString statusBar = QStringLiteral("Y");        // width 1
    QString toolBar = QStringLiteral("Y");          // width 1
    QString mdiWidth = QStringLiteral("10455");     // width 5, twips
    QString mdiLeft = QStringLiteral("105  ");      // width 5, twips
    QString mdiTop = QStringLiteral("105  ");       // width 5, twips
    QString mdiHeight = QStringLiteral("7920 ");    // width 5, twips
    QString mdiState = QStringLiteral("2");         // width 1: 0 normal, 1 minimised, 2 maximised
    QString splitterLeft = QStringLiteral("2520 "); // width 5, twips
};

extern SettingsRecord settings;

// The settings file: "QV.INI" in the user's configuration folder, unless a test points it elsewhere.
QString settingsFilePath();
void setSettingsFolder(const QString& folder);

// Reads every key into `settings`, replacing what cannot be used by its default. A file that cannot be
// read shows the error box, sets fileErrorFlag to "Y" and returns false; keys not yet read keep their values.
bool loadSettings();
// The download server ("Download Server", host[:port]) and its folder of series files ("Download
// Folder"), read into the FTP client; loadSettings reads them too. Errors as for loadSettings.
bool loadDownloadSettings();
// Writes `settings` and the download server back, "First Time" always as "N". Errors as for loadSettings.
bool saveSettings();

// A text cut to the width, or padded with blanks to it.
QString fixedWidth(const QString& text, int width);
// A window measure for a 5-character key: whole twips, held within what the key can store and read back.
QString twipsField(double twips);
// The number a 5-character key holds (the settings have already been checked when read).
int fieldNumber(const QString& field);
