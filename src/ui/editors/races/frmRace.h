#pragma once

#include "kit/EditorKit.h"

#include <QDialog>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class EditorGrid;
class cCarCollection;
class cRaces;

// The editor of one race: its data, its results grid, posting and re-posting the later races of its
// type, clearing postings and results, and the head-to-head pairings of its leagues. The race is
// stored tab by tab: leaving a tab stores what was edited on it.
class frmRace : public EditorDialog {
    Q_OBJECT

public:
    enum Tab { TabRace = 0, TabResults = 1, TabHeadToHead = 2 };

    explicit frmRace(QWidget* parent = nullptr);
    ~frmRace() override;

    // Fills the window from the race and shows it modally; returns when it is closed.
    void showWith(cRaces& race);
    // The fill of showWith without the modal show (the window then runs once shown).
    void loadWith(cRaces& race);
    // Posts the race, then settles the later races of its race type.
    void postResults(cRaces& race);

    bool raceChanged() const { return m_raceChanged; }
    bool resultsChanged() const { return m_resultsChanged; }
    bool headToHeadChanged() const { return m_headToHeadChanged; }

signals:
    // "Add New Car" was clicked: whoever opened the window adds the car (the new-car command sits
    // above the editors). The window reads its cars again when the handler returns.
    void newCarRequested();

protected:
    bool applyChanges() override { return saveChanges(); }
    QString saveQuestionTitle() const override;
    bool hasUnsavedChanges() const override { return m_raceChanged || m_resultsChanged; }
    void okClicked() override;

private:
    void buildRaceTab(QWidget* tab);
    void makeRoomForGrids();
    void buildResultsTab(QWidget* tab);
    void buildHeadToHeadTab(QWidget* tab);

    void markRaceChanged();
    bool raceDateLeft();
    void pickRaceDate();
    void raceTypeChosen(int index);
    void carTypeChosen(int index);
    void raceStatusChosen(int index);
    void carListChanged();
    void tabChanged(int index);
    bool leaveTab(int tab);
    void enterTab(int tab);
    void enterResultsTab();
    void enterHeadToHeadTab();
    void rebuildAfterResultsCleared();

    bool saveRace();
    bool saveResults();
    bool saveChanges();

    // The hourglass and the progress bar while races are posted; off resets them and the status text.
    void showPostingProgress(bool on);

    void postClicked();
    void clearPostingClicked();
    void clearResultsClicked();
    void addNewCarClicked();
    void getResultsClicked();

    // Results grid.
    void loadRaceCarCombo();
    void setCarFromText(int row, const QString& text);
    void loadResultsGrid();
    void markResultsChanged();
    void carChosen(int row);

    // Head-to-head grid.
    void loadTeamCombo(int leagueNmbr);
    void leagueChosen(int index);
    void clearHeadToHeadRows();
    bool saveHeadToHead();

    cRaces* m_race = nullptr;
    std::unique_ptr<cCarCollection> m_cars;
    bool m_raceChanged = false;
    bool m_resultsChanged = false;
    bool m_headToHeadChanged = false;
    bool m_resultsLoaded = false;
    bool m_statusLoading = false;
    bool m_switchingBack = false;
    bool m_postingNext = false; // Post Results is saving: the race is posted right after
    int m_currentTab = TabRace;
    int m_shownLeagueNmbr = 0; // the league whose pairings the grid holds; 0 for none

    QTabWidget* SSTab1 = nullptr;
    QProgressBar* pbStatus = nullptr;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdApply;

    QLabel* lblRaceName = nullptr;
    QLineEdit* txtRaceName = nullptr;
    QLineEdit* txtTrackName = nullptr;
    QComboBox* cmbRaceType = nullptr;
    QComboBox* cmbCarType = nullptr;
    QLineEdit* txtRaceDate = nullptr;
    QPushButton* cmdRaceDate = nullptr;

    QFrame* Frame1 = nullptr;
    QComboBox* cmbRaceStatus = nullptr;
    QPushButton* cmdGetResults = nullptr;
    QPushButton* cmdPostResults = nullptr;
    QPushButton* cmdClearPosting = nullptr;
    QPushButton* cmdClearResults = nullptr;
    QPushButton* cmdAddNewCar = nullptr;
    EditorGrid* resultsGrid = nullptr;

    QFrame* Frame2 = nullptr;
    QComboBox* cmbLeague = nullptr;
    EditorGrid* headToHeadGrid = nullptr;
};
