#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's pictures, drawn at run time. Keys: "imgAdministration", "imgTire", "imgApplication",
// "imgRaces", "imgCars", "imgReporting", "imgLeagues", "imgScoring", "imgTeams".
QPixmap shellPixmap(const QString& key, int size);
QIcon shellIcon(const QString& key);
// The splash and welcome pictures.
QPixmap splashPicture(const QSize& size);
