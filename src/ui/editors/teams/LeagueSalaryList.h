#pragma once

#include "data/SqlText.h"

class QTreeWidget;

// The leagues list of both pick editors: a zero-width first column, the league's name and the
// available salary. Each row carries the league number and the amount it shows.
void setUpLeagueSalaryList(QTreeWidget* list);
void loadLeagueSalaries(QTreeWidget* list, int teamNmbr, Currency teamSalary);
int leagueRowNmbr(const QTreeWidget* list, int row);
Currency leagueRowAvailable(const QTreeWidget* list, int row);
// The row shows the amount as every amount is shown, in the user's own form.
void setLeagueRowAvailable(QTreeWidget* list, int row, Currency amount);
// Shows a capped league's available salary less what the rows not yet stored would add (the amount
// the row carries stays what is available before them); a league without a cap keeps its text.
void showLeagueRowPending(QTreeWidget* list, int row, Currency pending);
