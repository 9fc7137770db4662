#pragma once

#include <QString>
#include <QStringList>

// The report entries of the navigation tree: each asks for the picks its report needs in the report
// request dialog and writes the report (shown once written). Nothing happens where commands() holds
// no report request dialog or no entry for the report.
void requestReportPackage();
void requestRaceDetailReport();
void requestLeagueRaceStandingsReport();
void requestTeamsPerCarDriverReport();
void requestTeamDetailReport();
void requestLeagueStandingsReport();
void requestTeamCarsReport();
void requestCarPickReport();
void requestDriverStatsReport();
void requestRaceResultsReport();
void requestCarsDetailReport();
void requestTeamTradesReport();
void requestLeagueRaceSummaryReport();

// The tags of the tree's report entries, in the order the tree's click compares them.
QStringList reportTags();
// Runs the launcher of a report entry's tag (compared exactly); false when the tag names none.
bool launchReportByTag(const QString& tag);
// True when the report request dialog and the tag's report are both there.
bool reportLauncherAvailable(const QString& tag);
