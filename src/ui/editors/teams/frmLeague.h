#pragma once

#include "kit/EditorKit.h"

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class cLeague;
class cTeamCollection;

// The modal editor of one league: its settings on the first tab, its member teams on the second.
// Edits go into the given object at once; the league is stored through its CommitChanges and the
// membership, as a whole, through cLeagueTeamsCollection::insertNew.
class frmLeague : public EditorDialog {
    Q_OBJECT
public:
    explicit frmLeague(QWidget* parent = nullptr);
    ~frmLeague() override;

    // Fills the window from the league and shows it modally; returns when it has closed.
    void showWith(cLeague& league);
    // The same fill without the modal loop (the tests drive the window themselves).
    void fillWith(cLeague& league);

protected:
    bool applyChanges() override { return applyLeagueChanges(); }
    QString saveQuestionTitle() const override;
    // The league and its membership keep a changed flag each.
    bool hasUnsavedChanges() const override { return leagueChanged || teamsChanged; }
    // Yes to the save question saves and leaves the window open, whatever the outcome.
    void reject() override;

private:
    void markLeagueChanged();
    void markTeamsChanged();
    bool applyLeagueChanges();
    bool saveLeague();
    bool saveLeagueTeams();
    void loadLeagueTeams();
    void dropTeamList();
    // The race type (and so the score by) may not change while stored members exist.
    bool leagueLocked() const;
    bool refuse(const QString& message, QWidget* field);
    bool salaryCapLeft();
    bool dropLowestLeft();
    // Fills a combo with (name, number) pairs and selects the name when it is not blank.
    static void fillCombo(QComboBox* combo, const QList<QPair<QString, int>>& items, const QString& selected);

    void cmbScoringType_Click(int index);
    void cmbScoringOption_Click(int index);
    void cmbRaceType_Click(int index);
    void cmbCarType_Click(int index);
    void lvwLeagueTeams_ItemCheck(QTreeWidgetItem* item, int column);
    void SSTab1_Click(int tab);
    // Both import buttons serve only race types with downloads and a score by of cars or drivers.
    bool downloadsAllowed(const QString& scoreByMessage);
    void showDownloadOutcome(bool ok);
    void cmdImortRaces_Click();
    void cmdImportCars_Click();

    cLeague* m_league = nullptr;
    std::unique_ptr<cTeamCollection> m_teams;
    bool leagueChanged = false;
    bool teamsChanged = false;
    // Change and click handlers act only while the filled window is on screen.
    bool m_live = false;
    bool live() const { return m_live && isVisible(); }
    // Set while the team list's check marks are written by the program, not the user.
    bool m_checking = false;
    int m_previousTab = 0;

    QTabWidget* SSTab1 = nullptr;
    QLabel* lblName = nullptr;
    QLineEdit* txtLeagueName = nullptr;
    QLineEdit* txtShortName = nullptr;
    QLineEdit* txtSalaryCap = nullptr;
    QLineEdit* txtDropLowest = nullptr;
    QComboBox* cmbScoringType = nullptr;
    QComboBox* cmbScoringOption = nullptr;
    QComboBox* cmbRaceType = nullptr;
    QComboBox* cmbCarType = nullptr;
    QPushButton* cmdImortRaces = nullptr;
    QPushButton* cmdImportCars = nullptr;
    QTreeWidget* lvwLeagueTeams = nullptr;
};
