#pragma once

#include <QDialog>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class cTeam;

// The leagues of a team's race type and score by, with the team's leagues checked. It only adds
// memberships: a check mark cannot be taken away here (scored teams are protected in the league
// editor), and Cancel drops the new ones.
class frmLeagueTeams : public QDialog {
    Q_OBJECT
public:
    explicit frmLeagueTeams(QWidget* parent = nullptr);

    // Fills the list for the team and shows the window modally; returns when it has closed.
    void showWith(cTeam& team);
    // The same fill without the modal loop (the tests drive the window themselves).
    void fillWith(cTeam& team);

private:
    void loadLeaguesForTeam();
    bool saveNewLeagueTeams();
    void lvwLeagues_ItemCheck(QTreeWidgetItem* item, int column);
    void cmdOK_Click();

    cTeam* m_team = nullptr;
    // Set while the program writes the check marks.
    bool m_checking = false;

    QTreeWidget* lvwLeagues = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};
