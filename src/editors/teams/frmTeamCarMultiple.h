#pragma once

#include "data/SqlText.h"
#include "data/cCarCollection.h"
#include "data/cTeam.h"

#include <QDialog>
#include <vector>

class FocusOutCheck;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;

// Enters several new picks of one team at once, one per row, under the salary left in each of the
// team's capped leagues for all rows together.
class frmTeamCarMultiple : public QDialog {
    Q_OBJECT

public:
    explicit frmTeamCarMultiple(QWidget* parent = nullptr);

    void showWith(cTeam& team, Currency teamSalary);
    // The filling part of showWith, without showing the window.
    void fillWith(cTeam& team, Currency teamSalary);
    // Checks the rows with a car and inserts one pick for each; the stored rows are then emptied.
    bool addTeamCars();

private:
    struct Row {
        QComboBox* cmbCar;
        QLineEdit* txtEfctvDt;
        QLineEdit* txtTermDt;
        QLineEdit* txtSalary;
        QLineEdit* txtGroup;
        Currency salary;
    };

    void addRow();
    void loadCarCombo(int row);
    void carChosen(int row, int index);
    bool checkEfctvDt(int row);
    bool checkTermDt(int row);
    int chosenCar(int row) const;
    void nextRow(int row);
    void clearRow(int row);
    void apply();
    void ok();

    QTabWidget* SSTab1;
    QGridLayout* m_rowsLayout;
    QTreeWidget* lvwLeagues;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdApply;
    FocusOutCheck* m_checks;
    std::vector<Row> m_rows;

    cTeam m_team;
    Currency m_teamSalary;
    cCarCollection m_cars;
};
