#pragma once

#include "data/SqlText.h"
#include "data/cCarCollection.h"
#include "data/cTeam.h"
#include "kit/EditorKit.h"

class EditorGrid;
class QLineEdit;
class QTabWidget;
class QTreeWidget;

// Enters several new picks of one team at once, one per grid row, under the salary left in each of
// the team's capped leagues for all rows together.
class frmTeamCarMultiple : public EditorDialog {
    Q_OBJECT

public:
    enum Column { CarColumn, EfctvDtColumn, TermDtColumn, SalaryColumn, GroupColumn };

    explicit frmTeamCarMultiple(QWidget* parent = nullptr);

    void showWith(cTeam& team, Currency teamSalary);
    // The filling part of showWith, without showing the window.
    void fillWith(cTeam& team, Currency teamSalary);
    // Checks the rows with a car and inserts one pick for each; each stored row is then emptied.
    bool addTeamCars();
    EditorGrid* grid() const { return m_grid; }

protected:
    bool applyChanges() override { return addTeamCars(); }
    QString saveQuestionTitle() const override { return windowTitle(); }
    bool hasUnsavedChanges() const override { return false; }
    // OK stores whether or not Apply is enabled.
    void okClicked() override;

private:
    void carChosen(int row);
    // The leagues' available salaries less the salaries of the rows not yet stored.
    void showPendingSalaries();
    bool checkEfctvDt(int row);
    bool checkTermDt(int row);
    // Runs the check of the date cell that has the focus, as leaving it would.
    bool checkFocusedCell();
    bool checkRowsOnStore();
    QLineEdit* box(int row, int col) const;
    void clearRow(int row);

    QTabWidget* SSTab1;
    EditorGrid* m_grid;
    QTreeWidget* lvwLeagues;

    cTeam m_team;
    Currency m_teamSalary;
    cCarCollection m_cars;
};
