#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks which league, race and team a report is for, and where the report folder is. The caller sets
// what the report requires, calls showWith and reads the public fields once the dialog has closed.
class frmReportRqst : public QDialog {
    Q_OBJECT

public:
    explicit frmReportRqst(QWidget* parent = nullptr);

    bool ok() const { return m_ok; }
    void setOk(bool v) { m_ok = v; }
    bool allTeams() const { return m_allTeams; }
    void setAllTeams(bool v) { m_allTeams = v; }
    bool separate() const { return m_separate; }
    void setSeparate(bool v) { m_separate = v; }
    int teamNmbr() const { return m_teamNmbr; }
    void setTeamNmbr(int v) { m_teamNmbr = v; }
    int leagueNmbr() const { return m_leagueNmbr; }
    void setLeagueNmbr(int v) { m_leagueNmbr = v; }
    int raceNmbr() const { return m_raceNmbr; }
    void setRaceNmbr(int v) { m_raceNmbr = v; }
    bool leagueRequired() const { return m_leagueRequired; }
    void setLeagueRequired(bool v) { m_leagueRequired = v; }
    bool raceRequired() const { return m_raceRequired; }
    void setRaceRequired(bool v) { m_raceRequired = v; }
    bool teamRequired() const { return m_teamRequired; }
    void setTeamRequired(bool v) { m_teamRequired = v; }

    // Captions the dialog, fills it and shows it modally; returns when it has closed.
    void showWith(const QString& caption);
    // The filling step of showWith, without showing (the dialog is filled once).
    void loadDialog(const QString& caption);

    QComboBox* cmbLeague() const { return m_cmbLeague; }
    QComboBox* cmbRace() const { return m_cmbRace; }
    QComboBox* cmbTeam() const { return m_cmbTeam; }
    QCheckBox* chkTeamAll() const { return m_chkTeamAll; }
    QCheckBox* chkSeparate() const { return m_chkSeparate; }
    QCheckBox* chkClear() const { return m_chkClear; }
    QLineEdit* txtReportFolder() const { return m_txtReportFolder; }
    QPushButton* cmdChangeFolder() const { return m_cmdChangeFolder; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

private:
    void fillLeagues();
    void fillRaces(int leagueNmbr);
    void fillTeams(int leagueNmbr);
    void preselectLatestRace(int leagueNmbr);
    void leagueChosen();
    void raceChosen();
    void teamChosen();
    void teamAllClicked();
    void okClicked();
    void validateRequest();
    void clearReportsFolder();

    bool m_ok = false;
    bool m_allTeams = false;
    bool m_separate = false;
    int m_teamNmbr = 0;
    int m_leagueNmbr = 0;
    int m_raceNmbr = 0;
    bool m_leagueRequired = false;
    bool m_raceRequired = false;
    bool m_teamRequired = false;
    bool m_loaded = false;

    QComboBox* m_cmbLeague;
    QComboBox* m_cmbRace;
    QComboBox* m_cmbTeam;
    QCheckBox* m_chkTeamAll;
    QCheckBox* m_chkSeparate;
    QLineEdit* m_txtReportFolder;
    QPushButton* m_cmdChangeFolder;
    QCheckBox* m_chkClear;
    QPushButton* m_cmdOK;
    QPushButton* m_cmdCancel;
};
