#pragma once

#include "data/SqlText.h"
#include "data/cLeague.h"
#include "data/cTeamCar.h"
#include "kit/EditorKit.h"

#include <memory>

class cTeam;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The editor of one team: its name, owner and contact data, race type and score-by, its leagues,
// and on the second tab the cars/drivers it holds with their active marks and the salary total.
class frmTeam : public EditorDialog {
    Q_OBJECT

public:
    explicit frmTeam(QWidget* parent = nullptr);
    ~frmTeam() override;

    // Fills the window from the team and shows it modally; the team is changed in place.
    void showWith(cTeam& team);
    // The filling part of showWith, without showing the window.
    void fillWith(cTeam& team);

    // Saves what changed: the team (offering the leagues to a team in none) and the active marks.
    bool applyTeamChanges();
    Currency teamSalary() const { return m_teamSalary; }

protected:
    bool applyChanges() override;
    QString saveQuestionTitle() const override;
    // Only edits of the team ask the save question; changed active marks alone are dropped.
    bool hasUnsavedChanges() const override { return teamDirty; }

private:
    void loadTeamLeagues();
    bool validateTeam();
    void loadTeamCars();
    void reloadTeamCars();
    bool teamStoredForPicks();
    void addTeamCarItem(cTeamCar& pick, int position);
    bool updateTeamCarRows();

    void fieldEdited();
    void raceTypeChosen(int index);
    void carTypeChosen(int index);
    void selectType(QComboBox* combo, int nmbr);
    void tabChanged(int index);
    void activeMarkChanged(QTreeWidgetItem* item, int column);
    cTeamCar* selectedPick() const;
    // A copy of the selected pick with its Active mark as stored; a pick must be selected.
    cTeamCar storedPick() const;
    void openPickEditor(cTeamCar& pick);
    void addPick();
    void addMultiple();
    void updatePick();
    void terminatePick();
    void terminateAll();
    void deletePick();
    void checkDuplicate();
    void addToLeague();

    QTabWidget* SSTab1;
    QLabel* lblTeamName;
    QLineEdit* TxtTeamName;
    QLineEdit* TxtTeamOwner;
    QLineEdit* txtEmail;
    QLineEdit* txtPhone;
    QLineEdit* txtAddressLine1;
    QLineEdit* txtAddressLine2;
    QLineEdit* txtCity;
    QLineEdit* txtState;
    QLineEdit* txtZip;
    QComboBox* cmbRaceType;
    QComboBox* cmbCarType;
    QTreeWidget* lvwLeagues;
    QPushButton* cmdAddLeague;
    QTreeWidget* lvwTeamCars;
    QPushButton* cmdAdd;
    QPushButton* CmdAddMultiple;
    QPushButton* cmdUpdate;
    QPushButton* cmdDelete;
    QPushButton* cmdTerm;
    QPushButton* cmdTermAll;
    QPushButton* cmdCheckDuplicate;
    QLineEdit* txtTotalSalary;

    cTeam* m_team = nullptr;
    std::unique_ptr<cLeagueCollection> m_leagues;
    std::unique_ptr<cTeamCarCollection> m_holdings;
    bool teamDirty = false;
    bool rowsDirty = false;
    bool m_filling = false;
    Currency m_teamSalary;
    int m_previousTab = 0;
};
