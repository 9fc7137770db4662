#pragma once

#include <QString>

// The program folder holds the data file and the "Reports", "Backups" and "Imports" folders.
// It is the user's data folder unless a test points it elsewhere.
QString programFolder();
void setProgramFolder(const QString& folder);

QString dataFilePath(); // the program folder and "quorvanti30.qv"
QString reportsDir();   // the program folder and "Reports"
QString backupsDir();   // the program folder and "Backups"
QString importsDir();   // the program folder and "Imports"
// The report and backup folders may be chosen for the rest of the run; a new program folder
// puts both back under it.
void setReportsDir(const QString& folder);
void setBackupsDir(const QString& folder);
QString defaultBackupPath(); // "quorvanti30.qv" in the "Backups" folder

inline const char* const kDataFileName = "quorvanti30.qv";
inline const char* const kProductName = "Quorvanti";
