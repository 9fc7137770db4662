#include "DataFileTest.h"
#include "ModalHelpers.h"
#include "Rows.h"
#include "data/Paths.h"
#include "reports/framework/frmBrowser.h"
#include "reports/framework/frmReportRqst.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <memory>

class tst_ReportRequest : public DataFileTest {
    Q_OBJECT

private:
    // Opens the dialog without its modal loop, so that a test can drive it; the combo boxes only
    // answer while it is visible, as they do in the modal dialog.
    static void open(frmReportRqst& w, const QString& caption, bool league, bool race, bool team) {
        w.setLeagueRequired(league);
        w.setRaceRequired(race);
        w.setTeamRequired(team);
        w.loadDialog(caption);
        if (team) {
            w.setAllTeams(true);
            w.chkTeamAll()->setChecked(true);
            w.setSeparate(false);
        }
        w.show();
        settle();
    }
    static void touch(const QString& path) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

protected:
    void prepare() override {
        // League 1 (Wexford Cup cars) has raced twice, the later race with results; league 2 plays
        // F1 drivers and has one race without results.
        addLeague({.nmbr = 1, .name = "Sunday League"});
        addLeague({.nmbr = 2, .name = "Formula League", .raceType = 6, .carType = 2});
        addRace({.nmbr = 10, .name = "Opener", .date = "2002-02-17", .status = 0});
        addRace({.nmbr = 11, .name = "Spring 500", .date = "2002-03-03", .status = 0});
        addRace({.nmbr = 12, .name = "Later", .date = "2002-04-01", .status = 0});
        addRace({.nmbr = 20, .name = "Grand Prix", .date = "2002-03-10", .carType = 2, .raceType = 6, .status = 0});
        addResult({.car = 1, .race = 10, .place = 1});
        addResult({.car = 1, .race = 11, .place = 2});
        addTeam({.nmbr = 5, .name = "Zephyr"});
        addTeam({.nmbr = 6, .name = "Aces"});
        addTeam({.nmbr = 7, .name = "Bolts"});
        addMember({.league = 1, .team = 5});
        addMember({.league = 1, .team = 6});
        addMember({.league = 2, .team = 7});
    }

private slots:
    void fillsListsAndPreselectsTheLatestRaceWithResults() {
        frmReportRqst w;
        open(w, "Team Detail", true, true, true);
        QCOMPARE(w.windowTitle(), QString("Team Detail"));
        QCOMPARE(w.cmbLeague()->count(), 2);
        QCOMPARE(w.leagueNmbr(), 1);
        QCOMPARE(w.cmbRace()->count(), 3);
        QCOMPARE(w.cmbRace()->currentText(), QString("3/3/2002 - Spring 500"));
        QCOMPARE(w.raceNmbr(), 11);
        QCOMPARE(w.cmbTeam()->itemText(0), QString("Aces"));
        QCOMPARE(w.cmbTeam()->currentIndex(), -1);
        QCOMPARE(w.txtReportFolder()->text(), reportsDir());
    }

    void allTeamsAndSeparate() {
        frmReportRqst w;
        open(w, "Team Cars", true, true, true);
        QVERIFY(w.chkTeamAll()->isChecked());
        QVERIFY(w.chkSeparate()->isEnabled());
        QVERIFY(!w.chkSeparate()->isChecked());
        w.chkSeparate()->setChecked(true);
        QVERIFY(w.separate());

        w.cmbTeam()->setCurrentIndex(1); // Zephyr
        QCOMPARE(w.teamNmbr(), 5);
        QVERIFY(!w.allTeams());
        QVERIFY(!w.chkTeamAll()->isChecked());
        QVERIFY(!w.chkSeparate()->isEnabled());
        QVERIFY(!w.chkSeparate()->isChecked());
        QVERIFY(!w.separate());

        // Every team again: the box loses its pick, the last team stays, and the request passes.
        w.chkTeamAll()->setChecked(true);
        QCOMPARE(w.cmbTeam()->currentIndex(), -1);
        QCOMPARE(w.teamNmbr(), 5);
        QVERIFY(w.allTeams());
        w.cmdOK()->click();
        QVERIFY(w.ok());
        QVERIFY(!w.isVisible());
        QVERIFY(ui().boxes.isEmpty());
    }

    void validationOrderAndMessages() {
        frmReportRqst w;
        open(w, "Team Trades", true, true, true);
        w.chkTeamAll()->setChecked(false);
        w.cmbRace()->setCurrentIndex(-1);
        w.cmbLeague()->setCurrentIndex(-1);
        w.cmdOK()->click();
        QCOMPARE(ui().lastBoxText(), QString("A Race is required for this Report"));
        QCOMPARE(ui().boxes.last().title, QString("Quorvanti"));
        QCOMPARE(ui().boxes.last().icon, MsgIcon::Critical);
        QVERIFY(w.isVisible());
        QVERIFY(!w.ok());

        w.setRaceNmbr(12);
        w.cmdOK()->click();
        QCOMPARE(ui().lastBoxText(), QString("A League is required for this Report"));
        w.cmbLeague()->setCurrentIndex(0);
        w.cmbRace()->setCurrentIndex(0);
        w.cmdOK()->click();
        QCOMPARE(ui().lastBoxText(), QString("A Team is required for this Report"));
        QCOMPARE(ui().boxes.size(), 3);
        w.cmbTeam()->setCurrentIndex(0);
        w.cmdOK()->click();
        QVERIFY(w.ok());
        QCOMPARE(w.teamNmbr(), 6);
        QCOMPARE(w.raceNmbr(), 10);
    }

    void reportsWithoutRaceOrTeam() {
        frmReportRqst picks;
        open(picks, "Car/Driver Picks", true, false, false);
        QVERIFY(!picks.cmbRace()->isEnabled());
        QVERIFY(!picks.cmbTeam()->isEnabled());
        QVERIFY(!picks.chkTeamAll()->isEnabled());
        QVERIFY(!picks.chkSeparate()->isEnabled());
        picks.cmdOK()->click();
        QVERIFY(picks.ok());
        QCOMPARE(picks.leagueNmbr(), 1);

        frmReportRqst results;
        open(results, "Race Results", false, true, false);
        QVERIFY(results.cmbLeague()->isEnabled());
        QCOMPARE(results.cmbLeague()->count(), 2);
        results.cmbLeague()->setCurrentIndex(-1);
        results.cmdOK()->click();
        QVERIFY(results.ok());
        QCOMPARE(results.raceNmbr(), 11);
        QVERIFY(ui().boxes.isEmpty());
    }

    void changingLeagueDropsThePicksOfTheOldOne() {
        frmReportRqst w;
        open(w, "Team Detail", true, true, true);
        w.cmbTeam()->setCurrentIndex(0);
        QCOMPARE(w.teamNmbr(), 6);
        w.cmbLeague()->setCurrentIndex(1); // no results yet: no race is preselected
        QCOMPARE(w.leagueNmbr(), 2);
        QCOMPARE(w.cmbRace()->count(), 1);
        QCOMPARE(w.cmbRace()->currentIndex(), -1);
        QCOMPARE(w.cmbTeam()->count(), 1);
        w.cmdOK()->click();
        QCOMPARE(ui().lastBoxText(), QString("A Race is required for this Report"));
        w.cmbRace()->setCurrentIndex(0);
        w.cmdOK()->click();
        // The team chosen in league 1 is not a pick in league 2.
        QCOMPARE(ui().lastBoxText(), QString("A Team is required for this Report"));
        QVERIFY(!w.ok());
        w.cmbTeam()->setCurrentIndex(0);
        w.cmdOK()->click();
        QVERIFY(w.ok());
        QCOMPARE(w.teamNmbr(), 7);
        QCOMPARE(w.raceNmbr(), 20);
    }

    void clearingTheFolderOnlyAfterAValidOk() {
        const QString folder = QDir(m_data->folder()).filePath("Out");
        QVERIFY(QDir().mkpath(folder));
        touch(folder + "/a.html");
        touch(folder + "/b.html");
        touch(folder + "/keep.txt");
        touch(folder + "/a.html.XkQzPw"); // the copy a killed run left of a page
        touch(folder + "/keep.html.bak");

        frmReportRqst cancelled;
        open(cancelled, "Race Detail", true, true, false);
        cancelled.txtReportFolder()->setText(folder);
        cancelled.chkClear()->setChecked(true);
        cancelled.cmdCancel()->click();
        QVERIFY(!cancelled.ok());
        QVERIFY(QFile::exists(folder + "/a.html"));
        // The folder typed stays the report folder even after Cancel.
        QCOMPARE(reportsDir(), folder);

        frmReportRqst refused;
        open(refused, "Race Detail", true, true, false);
        QCOMPARE(refused.txtReportFolder()->text(), folder);
        refused.chkClear()->setChecked(true);
        refused.cmbRace()->setCurrentIndex(-1);
        refused.cmdOK()->click();
        QVERIFY(QFile::exists(folder + "/a.html"));
        QVERIFY(QFile::exists(folder + "/a.html.XkQzPw"));

        refused.cmbRace()->setCurrentIndex(0);
        refused.cmdOK()->click();
        QVERIFY(refused.ok());
        QVERIFY(!QFile::exists(folder + "/a.html"));
        QVERIFY(!QFile::exists(folder + "/b.html"));
        QVERIFY(!QFile::exists(folder + "/a.html.XkQzPw"));
        QVERIFY(QFile::exists(folder + "/keep.txt"));
        QVERIFY(QFile::exists(folder + "/keep.html.bak"));
    }

    void typedFolderIsTrimmed() {
        const QString folder = QDir(m_data->folder()).filePath("Out");
        QVERIFY(QDir().mkpath(folder));
        touch(folder + "/a.html");
        frmReportRqst w;
        open(w, "League Race Summary", true, false, false);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w, kWindowWait));
        QTest::mouseClick(w.txtReportFolder(), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), w.txtReportFolder());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), " " + folder + "  ");
        // The reports go to the folder meant, not to a new one whose name ends in blanks.
        QCOMPARE(reportsDir(), folder);
        QTest::mouseClick(w.chkClear(), Qt::LeftButton, {}, QPoint(6, w.chkClear()->height() / 2));
        QVERIFY(w.chkClear()->isChecked());
        w.cmdOK()->click();
        QVERIFY(w.ok());
        QVERIFY(!QFile::exists(folder + "/a.html"));
        QVERIFY(!QFileInfo::exists(folder + "  "));
    }

    void folderPickerStoresCreatesAndRestores() {
        const QString base = QDir(m_data->folder()).filePath("Reports");
        QVERIFY(QDir().mkpath(base));
        setReportsDir(base);

        whileModal<frmBrowser>([&](frmBrowser* w) {
            QCOMPARE(w->windowTitle(), QString("Select Report Folder"));
            QCOMPARE(w->PathName()->text(), base);
            w->BUT_Ok()->click();
        });
        frmBrowser same;
        same.showWith(1);
        QCOMPARE(reportsDir(), base);

        const QString fresh = base + "/Season 2002";
        whileModal<frmBrowser>([&](frmBrowser* w) {
            w->PathName()->setText("  " + fresh + "/ ");
            w->BUT_Ok()->click();
        });
        frmBrowser create;
        create.showWith(1);
        QVERIFY(QFileInfo(fresh).isDir());
        QCOMPARE(reportsDir(), fresh);

        whileModal<frmBrowser>([&](frmBrowser* w) {
            w->PathName()->setText(base + "/no/such/depth");
            w->BUT_Ok()->click();
            QCOMPARE(ui().lastBoxText(), QString("Cannot create folder " + base + "/no/such/depth."));
            QVERIFY(w->isVisible());
            w->BUT_Cancel()->click();
        });
        frmBrowser refused;
        refused.showWith(1);
        QCOMPARE(reportsDir(), fresh);

        // The other mode edits the backup folder and leaves the report folder alone.
        const QString backups = QDir(m_data->folder()).filePath("Safe");
        whileModal<frmBrowser>([&](frmBrowser* w) {
            w->PathName()->setText(backups);
            w->BUT_Ok()->click();
        });
        frmBrowser other;
        other.showWith(2);
        QCOMPARE(backupsDir(), backups);
        QCOMPARE(reportsDir(), fresh);
    }

    void browseFromTheRequestShowsThePickedFolder() {
        const QString picked = QDir(m_data->folder()).filePath("Picked");
        frmReportRqst w;
        open(w, "League Standings", true, true, false);
        whileModal<frmBrowser>([&](frmBrowser* b) {
            b->PathName()->setText(picked);
            b->BUT_Ok()->click();
        });
        w.cmdChangeFolder()->click();
        QCOMPARE(w.txtReportFolder()->text(), picked);
        QCOMPARE(reportsDir(), picked);
        const QString shots = qEnvironmentVariable("QV_SCREENSHOT_DIR");
        if (!shots.isEmpty())
            QVERIFY(w.grab().save(QDir(shots).filePath("frmReportRqst.png")));
    }
};

QTEST_MAIN(tst_ReportRequest)
#include "tst_report_request.moc"
