#pragma once

#include <QString>

// A framed web site for a league after a race: the frameset page rp<league>0000.html, "blank.html"
// for the main frame, and <league>nav.html with one link per report chosen for the package (in the
// package's column order), each of which is written first. Returns the frameset page's name ("" after
// an error).
QString createReportPackage(int leagueNmbr, int raceNmbr, bool show);
