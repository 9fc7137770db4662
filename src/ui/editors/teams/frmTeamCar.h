#pragma once

#include "data/SqlText.h"
#include "data/cCarCollection.h"
#include "data/cGroup.h"
#include "data/cTeam.h"
#include "data/cTeamCar.h"
#include "kit/EditorKit.h"

#include <QDate>
#include <memory>

class FocusOutCheck;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;

// Adds, changes or terminates one pick of a team, under the salary caps of the team's leagues,
// the limits of the car groups and the dates of posted and scored races.
class frmTeamCar : public EditorDialog {
    Q_OBJECT

public:
    explicit frmTeamCar(QWidget* parent = nullptr);

    // Fills the window from the pick (a new one carrying only its team's number, or a stored one)
    // and shows it modally. The pick is changed in place.
    void showWith(cTeamCar& pick, Currency teamSalary);
    // The filling part of showWith, without showing the window.
    void fillWith(cTeamCar& pick, Currency teamSalary);
    // Checks and stores the pick, then empties the fields for the next one.
    bool applyChanges() override;
    cTeamCar& getTeamCar() { return *m_pick; }

protected:
    QString saveQuestionTitle() const override { return windowTitle(); }
    // Cancel drops whatever was entered, without a question.
    bool hasUnsavedChanges() const override { return false; }
    void okClicked() override;

private:
    void carChosen(int index);
    bool checkEfctvDt();
    bool checkTermDt();
    void pickDate(QLineEdit* box);
    bool checkDatesOnStore();
    bool storePick();

    QTabWidget* SSTab1;
    QComboBox* cmbCarTxt;
    QLineEdit* txtEfctvDt;
    QPushButton* cmdEfctvDate;
    QLineEdit* txtTermDt;
    QPushButton* cmdTermDate;
    QLineEdit* txtSalary;
    QLineEdit* txtGroup;
    QTreeWidget* lvwLeagues;
    FocusOutCheck* m_checks;

    cTeamCar m_ownPick;
    cTeamCar* m_pick = &m_ownPick;
    cTeam m_team;
    Currency m_teamSalary;
    cCarCollection m_cars;
    std::unique_ptr<cGroup> m_group = std::make_unique<cGroup>();
    // Set while the window edits a stored pick: the effective date its row is stored under, and
    // what that row already counts in the team's salary and in its group, so neither is counted twice.
    QDate m_storedEfctvDt;
    Currency m_ownSalary;
    bool m_ownGroupSlot = false;
};
