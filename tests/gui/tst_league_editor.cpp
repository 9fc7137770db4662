#include "ListTestHelpers.h"
#include "ModalHelpers.h"
#include "ScopedLocale.h"
#include "data/cLeague.h"
#include "data/cTeam.h"
#include "editors/teams/frmLeague.h"
#include "editors/teams/frmLeagueTeams.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

// The league editor and the membership checklist, driven through their controls.
class LeagueEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newLeagueOpensEmpty();
    void saveRefusalsComeInOrder_data();
    void saveRefusalsComeInOrder();
    void raceTypeAndScoreByAreLockedByStoredMembers();
    void memberListFollowsAnAcceptedRaceTypeOrScoreBy();
    void scoringOptionOneZeroesDropLowest();
    void numberBoxesCannotBeLeftWithBadTextAndEnterStoresWhatIsShown();
    void salaryCapIsReadInTheUsersOwnFormOnly_data();
    void salaryCapIsReadInTheUsersOwnFormOnly();
    void okWithoutAnEditKeepsTheStoredCap();
    void newLeagueIsStoredWhenTheTeamsTabOpens();
    void refusedSaveStillShowsTheTeams();
    void membershipIsReplacedAsAWholeAndScoredTeamsStay();
    void cancelPaths();

    void checklistListsTheTeamsLeaguesOfItsKind();
    void checklistOnlyAddsMemberships();
    void screenshots();

private:
    void open(cLeague& league);
    QLineEdit* box(const char* name) { return m_window->findChild<QLineEdit*>(QLatin1String(name)); }
    QComboBox* combo(const char* name) { return m_window->findChild<QComboBox*>(QLatin1String(name)); }
    QPushButton* button(const char* name) { return m_window->findChild<QPushButton*>(QLatin1String(name)); }
    QTreeWidget* teamList() { return m_window->findChild<QTreeWidget*>(QStringLiteral("lvwLeagueTeams")); }
    QTabWidget* tabs() { return m_window->findChild<QTabWidget*>(QStringLiteral("SSTab1")); }
    void choose(const char* name, int number);
    void type(const char* name, const QString& text);
    // The list item of the team, or nullptr.
    static QTreeWidgetItem* itemOf(QTreeWidget* list, const QString& name);
    RecordingUi& ui() { return m_data->ui(); }
    static std::unique_ptr<cLeague> stored(int leagueNmbr) {
        auto l = std::make_unique<cLeague>();
        l->load(leagueNmbr);
        return l;
    }
    static int members(int leagueNmbr) {
        return TestDataFile::count(
            QStringLiteral("SELECT COUNT(*) FROM league_teams WHERE league_nmbr = %1").arg(leagueNmbr));
    }

    std::unique_ptr<TestDataFile> m_data;
    std::unique_ptr<frmLeague> m_window;
};

void LeagueEditorTest::init() {
    m_data = std::make_unique<TestDataFile>();
    QVERIFY(m_data->ok());
    // League 500 has members Alpha and Bravo (Bravo scored); league 501 has none.
    addLeague({.nmbr = 500, .name = "Sunday League", .shortName = "L500"});
    addLeague({.nmbr = 501, .name = "Empty League", .shortName = "L501"});
    addTeam({.nmbr = 600, .name = "Alpha", .owner = "Owner"});
    addTeam({.nmbr = 601, .name = "Bravo", .owner = "Owner"});
    addTeam({.nmbr = 602, .name = "Charlie", .owner = "Owner"});
    addTeam({.nmbr = 603, .name = "Driver Team", .carType = 2});
    addMember({.league = 500, .team = 600});
    addMember({.league = 500, .team = 601});
    addTeamResult({.race = 1, .car = 1, .team = 601, .league = 500});
    m_window = std::make_unique<frmLeague>();
}

void LeagueEditorTest::cleanup() {
    m_window.reset();
    m_data.reset();
}

void LeagueEditorTest::open(cLeague& league) {
    m_window->fillWith(league);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get(), kWindowWait));
    ui().clear();
}

void LeagueEditorTest::choose(const char* name, int number) {
    QComboBox* c = combo(name);
    const int index = c->findData(number);
    QVERIFY(index >= 0);
    c->setCurrentIndex(index);
    emit c->activated(index);
}

void LeagueEditorTest::type(const char* name, const QString& text) {
    box(name)->setFocus();
    box(name)->selectAll();
    QTest::keyClick(box(name), Qt::Key_Delete);
    QTest::keyClicks(box(name), text);
}

QTreeWidgetItem* LeagueEditorTest::itemOf(QTreeWidget* list, const QString& name) {
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(1) == name)
            return list->topLevelItem(i);
    return nullptr;
}

void LeagueEditorTest::newLeagueOpensEmpty() {
    cLeague league;
    open(league);
    for (const char* name : {"cmbRaceType", "cmbCarType", "cmbScoringType", "cmbScoringOption"})
        QCOMPARE(combo(name)->currentIndex(), -1);
    QCOMPARE(box("txtDropLowest")->text(), QStringLiteral("0"));
    QVERIFY(box("txtDropLowest")->isEnabled());
    QVERIFY(!button("cmdApply")->isEnabled());
    // Without a race type there is nothing to download.
    button("cmdImortRaces")->click();
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Downloads not available for "));
    QTest::mouseClick(m_window->findChild<QLabel*>(QStringLiteral("lblName")), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("League number is 0"));
    QCOMPARE(ui().boxes.last().icon, MsgIcon::None);
}

void LeagueEditorTest::saveRefusalsComeInOrder_data() {
    QTest::addColumn<int>("filled");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    // The first `filled` fields are complete; the next one, and every later one, is missing.
    QTest::newRow("name") << 0 << "League Name is a required field"
                          << "txtLeagueName";
    QTest::newRow("short name") << 1 << "Short Name is a required field"
                                << "txtShortName";
    QTest::newRow("score by") << 2 << "Scoring By is a required field"
                              << "cmbCarType";
    QTest::newRow("method") << 3 << "Scoring Method is a required field"
                            << "cmbScoringType";
    QTest::newRow("option") << 4 << "Scoring Option is a required field"
                            << "cmbScoringOption";
    QTest::newRow("race type") << 5 << "Race Type is a required field"
                               << "cmbRaceType";
}

void LeagueEditorTest::saveRefusalsComeInOrder() {
    QFETCH(int, filled);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    cLeague league;
    open(league);
    if (filled > 0)
        type("txtLeagueName", "New League");
    if (filled > 1)
        type("txtShortName", "NL");
    if (filled > 2)
        choose("cmbCarType", 1);
    if (filled > 3)
        choose("cmbScoringType", 1);
    if (filled > 4)
        choose("cmbScoringOption", 2);
    box("txtDropLowest")->setFocus();
    ui().clear();
    if (filled == 0)
        box("txtShortName")->setText("x"); // an edit, so OK has something to save
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(ui().boxes.first().text, message);
    QCOMPARE(ui().boxes.first().icon, MsgIcon::Critical);
    QCOMPARE(ui().boxes.first().title, QStringLiteral("Quorvanti"));
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QVERIFY(m_window->isVisible());
    QVERIFY(button("cmdApply")->isEnabled());
    QCOMPARE(TestDataFile::count("SELECT COUNT(*) FROM leagues"), 2);
}

void LeagueEditorTest::raceTypeAndScoreByAreLockedByStoredMembers() {
    {
        auto league = stored(500);
        open(*league);
        choose("cmbRaceType", 1); // the race type it has: nothing happens
        QVERIFY(ui().boxes.isEmpty());
        QVERIFY(!button("cmdApply")->isEnabled());
        choose("cmbRaceType", 2);
        QCOMPARE(ui().lastBoxText(),
                 QStringLiteral("Can not change Race Type while League Teams exist for the League"));
        QCOMPARE(combo("cmbRaceType")->currentText(), QStringLiteral("Wexford Cup"));
        choose("cmbCarType", 2);
        QCOMPARE(ui().lastBoxText(), QStringLiteral("Can not change Score By while League Teams exist for the League"));
        QCOMPARE(combo("cmbCarType")->currentData().toInt(), 1);
        QCOMPARE(league->raceTypeNmbr(), 1);
        QCOMPARE(league->carTypeNmbr(), 1);
        QVERIFY(!button("cmdApply")->isEnabled());
        QCOMPARE(button("cmdImportCars")->text(), QStringLiteral("Import Cars"));
    }
    auto league = stored(501);
    open(*league);
    choose("cmbRaceType", 6);
    choose("cmbCarType", 2);
    QVERIFY(ui().boxes.isEmpty());
    QCOMPARE(button("cmdImportCars")->text(), QStringLiteral("Import ") + combo("cmbCarType")->currentText());
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(stored(501)->raceTypeNmbr(), 6);
    QCOMPARE(stored(501)->carTypeNmbr(), 2);
}

void LeagueEditorTest::memberListFollowsAnAcceptedRaceTypeOrScoreBy() {
    addTeam({.nmbr = 604, .name = "Series Six", .raceType = 6, .carType = 2});
    auto league = stored(501);
    open(*league);
    QTabBar* bar = tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QCOMPARE(tabs()->currentIndex(), 1);
    QVERIFY(itemOf(teamList(), "Alpha"));
    QVERIFY(!itemOf(teamList(), "Driver Team"));

    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    choose("cmbCarType", 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QCOMPARE(tabs()->currentIndex(), 1);
    QCOMPARE(teamList()->topLevelItemCount(), 1);
    QVERIFY(itemOf(teamList(), "Driver Team"));

    // A series without teams of that Score By shows none.
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    choose("cmbRaceType", 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QCOMPARE(teamList()->topLevelItemCount(), 0);

    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    choose("cmbRaceType", 6);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QCOMPARE(teamList()->topLevelItemCount(), 1);
    itemOf(teamList(), "Series Six")->setCheckState(0, Qt::Checked);
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    QVERIFY(ui().boxes.isEmpty());
    QCOMPARE(TestDataFile::count("SELECT COUNT(*) FROM league_teams WHERE league_nmbr = 501 AND team_nmbr = 604"), 1);
    QCOMPARE(members(501), 1);
}

void LeagueEditorTest::scoringOptionOneZeroesDropLowest() {
    TestDataFile::exec("UPDATE leagues SET scoring_option_nmbr = 2, drop_lowest = 3 WHERE league_nmbr = 501");
    auto league = stored(501);
    open(*league);
    QCOMPARE(box("txtDropLowest")->text(), QStringLiteral("3"));
    // The option shows whole in its list's text field, in the font it is shown in.
    QComboBox* option = combo("cmbScoringOption");
    QCOMPARE(option->currentText(), QStringLiteral("Drop Lowest Finishers"));
    QStyleOptionComboBox look;
    look.initFrom(option);
    look.currentText = option->currentText();
    const QRect field =
        option->style()->subControlRect(QStyle::CC_ComboBox, &look, QStyle::SC_ComboBoxEditField, option);
    QVERIFY(option->fontMetrics().horizontalAdvance(option->currentText()) <= field.width() - 2);
    choose("cmbScoringOption", 1);
    QCOMPARE(box("txtDropLowest")->text(), QStringLiteral("0"));
    QVERIFY(!box("txtDropLowest")->isEnabled());
    QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
    QCOMPARE(stored(501)->dropLowest(), 0);
    QCOMPARE(stored(501)->scoringOptionNmbr(), 1);
    choose("cmbScoringOption", 2);
    QVERIFY(box("txtDropLowest")->isEnabled());
    QCOMPARE(box("txtDropLowest")->text(), QStringLiteral("0"));
}

void LeagueEditorTest::numberBoxesCannotBeLeftWithBadTextAndEnterStoresWhatIsShown() {
    TestDataFile::exec("UPDATE leagues SET scoring_option_nmbr = 2 WHERE league_nmbr = 501");
    auto league = stored(501);
    open(*league);
    type("txtSalaryCap", "lots");
    box("txtShortName")->setFocus();
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Salary Cap amount\r\nType the amount in the form 1,234.56"));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box("txtSalaryCap"), kWindowWait);
    type("txtSalaryCap", "12500");
    box("txtShortName")->setFocus();
    QCOMPARE(league->salaryCap(), Currency::fromDouble(12500));
    QVERIFY(box("txtSalaryCap")->text().contains(QStringLiteral("12,500.00")));

    ui().clear();
    type("txtDropLowest", "99999");
    box("txtShortName")->setFocus();
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Drop Lowest amount"));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box("txtDropLowest"), kWindowWait);
    // A half rounds to the even count.
    type("txtDropLowest", "2.5");
    box("txtShortName")->setFocus();
    QCOMPARE(league->dropLowest(), 2);

    // Enter presses OK with the focus still in a number box: the amount shown is what is stored.
    type("txtSalaryCap", "9000");
    QTest::keyClick(box("txtSalaryCap"), Qt::Key_Return);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(stored(501)->salaryCap(), Currency::fromDouble(9000));
    QCOMPARE(stored(501)->dropLowest(), 2);
}

void LeagueEditorTest::salaryCapIsReadInTheUsersOwnFormOnly_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("otherForm");
    QTest::addColumn<QString>("ownForm");
    QTest::addColumn<QString>("example");
    QTest::newRow("de_DE, English notation") << QLocale(QLocale::German, QLocale::Germany) << "12,500.50"
                                             << "12.500,50"
                                             << "1.234,56";
    QTest::newRow("de_DE, dollars in parentheses") << QLocale(QLocale::German, QLocale::Germany) << "($3.34)"
                                                   << "12500,5"
                                                   << "1.234,56";
    QTest::newRow("en_US, German notation") << ScopedLocale::american() << "1.234,56"
                                            << "$12,500.50"
                                            << "1,234.56";
    QTest::newRow("en_US, misplaced group marks") << ScopedLocale::american() << "12,3,4"
                                                  << "12500.5"
                                                  << "1,234.56";
}

// The other country's notation is refused, not stored as another number: the box keeps the focus
// and nothing reaches the data file; the user's own form is then stored as typed.
void LeagueEditorTest::salaryCapIsReadInTheUsersOwnFormOnly() {
    QFETCH(QLocale, locale);
    QFETCH(QString, otherForm);
    QFETCH(QString, ownForm);
    QFETCH(QString, example);
    ScopedLocale scoped(locale);
    TestDataFile::exec("UPDATE leagues SET salary_cap = 100 WHERE league_nmbr = 501");
    auto league = stored(501);
    open(*league);
    QTest::mouseClick(box("txtSalaryCap"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box("txtSalaryCap"), kWindowWait);
    QTRY_COMPARE(box("txtSalaryCap")->selectedText(), box("txtSalaryCap")->text());
    QTest::keyClicks(QApplication::focusWidget(), otherForm);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(ui().lastBoxText(), "Invalid Salary Cap amount\r\nType the amount in the form " + example);
    QCOMPARE(ui().boxes.last().icon, MsgIcon::Critical);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box("txtSalaryCap"), kWindowWait);
    QCOMPARE(league->salaryCap(), Currency::fromUnits(1000000));
    // Enter (OK) with the refused text still there stores nothing either.
    ui().clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(m_window->isVisible());
    QCOMPARE(ui().lastBoxText(), "Invalid Salary Cap amount\r\nType the amount in the form " + example);
    QCOMPARE(TestDataFile::scalar("SELECT salary_cap FROM leagues WHERE league_nmbr = 501").toDouble(), 100.0);

    QTRY_COMPARE(box("txtSalaryCap")->selectedText(), box("txtSalaryCap")->text());
    ui().clear();
    QTest::keyClicks(QApplication::focusWidget(), ownForm);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY2(ui().boxes.isEmpty(), qPrintable(ui().lastBoxText()));
    QVERIFY(!m_window->isVisible());
    QCOMPARE(TestDataFile::scalar("SELECT salary_cap FROM leagues WHERE league_nmbr = 501").toDouble(), 12500.5);
}

// An imported cap with more than cents is shown as it is and survives OK untouched, in either form.
void LeagueEditorTest::okWithoutAnEditKeepsTheStoredCap() {
    for (const QLocale& locale : {ScopedLocale::american(), QLocale(QLocale::German, QLocale::Germany)}) {
        ScopedLocale scoped(locale);
        TestDataFile::exec("UPDATE leagues SET salary_cap = 1.005 WHERE league_nmbr = 501");
        auto league = stored(501);
        open(*league);
        QCOMPARE(box("txtSalaryCap")->text(), moneyEditText(Currency::fromUnits(10050)));
        // Through the cap box and out of it, then another edit and OK.
        QTest::mouseClick(box("txtSalaryCap"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box("txtSalaryCap"), kWindowWait);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        type("txtLeagueName", "Renamed");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY2(ui().boxes.isEmpty(), qPrintable(ui().lastBoxText()));
        QVERIFY(!m_window->isVisible());
        QCOMPARE(TestDataFile::scalar("SELECT league_name FROM leagues WHERE league_nmbr = 501").toString(),
                 QStringLiteral("Renamed"));
        QCOMPARE(TestDataFile::scalar("SELECT salary_cap FROM leagues WHERE league_nmbr = 501").toDouble(), 1.005);
    }
}

void LeagueEditorTest::newLeagueIsStoredWhenTheTeamsTabOpens() {
    TestDataFile::exec("DELETE FROM leagues");
    TestDataFile::exec("DELETE FROM league_teams");
    cLeague league;
    open(league);
    type("txtLeagueName", "Fresh League");
    QCOMPARE(m_window->windowTitle(), QStringLiteral("League - Fresh League"));
    type("txtShortName", "FL");
    choose("cmbCarType", 1);
    choose("cmbScoringType", 1);
    choose("cmbScoringOption", 1);
    choose("cmbRaceType", 1);
    tabs()->setCurrentIndex(1);
    QVERIFY(ui().boxes.isEmpty());
    QCOMPARE(league.leagueNmbr(), 500);
    QCOMPARE(stored(500)->leagueName(), QStringLiteral("Fresh League"));
    QVERIFY(!button("cmdApply")->isEnabled());
    // Teams of the league's race type and score by only.
    QCOMPARE(teamList()->topLevelItemCount(), 3);
    QVERIFY(!itemOf(teamList(), "Driver Team"));
    itemOf(teamList(), "Alpha")->setCheckState(0, Qt::Checked);
    itemOf(teamList(), "Charlie")->setCheckState(0, Qt::Checked);
    QVERIFY(button("cmdApply")->isEnabled());
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(members(500), 2);
    QCOMPARE(
        TestDataFile::count("SELECT COUNT(*) FROM league_teams WHERE league_nmbr = 500 AND team_nmbr IN (600, 602)"),
        2);
}

void LeagueEditorTest::refusedSaveStillShowsTheTeams() {
    auto league = stored(500);
    open(*league);
    type("txtShortName", "  ");
    tabs()->setCurrentIndex(1);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Short Name is a required field"));
    QCOMPARE(tabs()->currentIndex(), 1);
    QCOMPARE(teamList()->topLevelItemCount(), 3);
    QVERIFY(button("cmdApply")->isEnabled());
    QCOMPARE(stored(500)->leagueShortName(), QStringLiteral("L500"));
}

void LeagueEditorTest::membershipIsReplacedAsAWholeAndScoredTeamsStay() {
    auto league = stored(500);
    open(*league);
    tabs()->setCurrentIndex(1);
    QCOMPARE(itemOf(teamList(), "Alpha")->checkState(0), Qt::Checked);
    QCOMPARE(itemOf(teamList(), "Bravo")->checkState(0), Qt::Checked);
    QCOMPARE(itemOf(teamList(), "Charlie")->checkState(0), Qt::Unchecked);

    // Bravo has been scored in this league.
    itemOf(teamList(), "Bravo")->setCheckState(0, Qt::Unchecked);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Team has been scored for this League and can not be removed until "
                                                "all Scoring for this Team is deleted."));
    QCOMPARE(itemOf(teamList(), "Bravo")->checkState(0), Qt::Checked);
    QVERIFY(!button("cmdApply")->isEnabled());

    itemOf(teamList(), "Alpha")->setCheckState(0, Qt::Unchecked);
    itemOf(teamList(), "Charlie")->setCheckState(0, Qt::Checked);
    QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
    QVERIFY(!button("cmdApply")->isEnabled());
    QCOMPARE(members(500), 2);
    QCOMPARE(
        TestDataFile::count("SELECT COUNT(*) FROM league_teams WHERE league_nmbr = 500 AND team_nmbr IN (601, 602)"),
        2);
    // The other league's memberships are not touched.
    addMember({.league = 501, .team = 600});
    itemOf(teamList(), "Charlie")->setCheckState(0, Qt::Unchecked);
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    QCOMPARE(members(500), 1);
    QCOMPARE(members(501), 1);
}

void LeagueEditorTest::cancelPaths() {
    auto league = stored(501);
    open(*league);
    type("txtLeagueName", "Renamed");
    // Esc is Cancel: it asks too.
    ui().answers = {AnswerCancel};
    QTest::keyClick(box("txtLeagueName"), Qt::Key_Escape);
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(ui().boxes.last().text, QStringLiteral("Do you want to save changes"));
    QCOMPARE(ui().boxes.last().title, QStringLiteral("Renamed"));
    QCOMPARE(ui().boxes.last().icon, MsgIcon::None);
    QVERIFY(m_window->isVisible());
    QCOMPARE(stored(501)->leagueName(), QStringLiteral("Empty League"));

    ui().answers = {AnswerYes};
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    QVERIFY(m_window->isVisible());
    QCOMPARE(stored(501)->leagueName(), QStringLiteral("Renamed"));

    type("txtLeagueName", "Dropped");
    ui().answers = {AnswerNo};
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(stored(501)->leagueName(), QStringLiteral("Renamed"));

    // Checked teams count as changes too; Yes stores them.
    auto other = stored(501);
    open(*other);
    tabs()->setCurrentIndex(1);
    itemOf(teamList(), "Charlie")->setCheckState(0, Qt::Checked);
    ui().answers = {AnswerYes};
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    QCOMPARE(members(501), 1);
    ui().clear();
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    QVERIFY(ui().boxes.isEmpty());
    QVERIFY(!m_window->isVisible());
}

void LeagueEditorTest::checklistListsTheTeamsLeaguesOfItsKind() {
    addLeague({.nmbr = 502, .name = "Third League", .shortName = "L502"});
    addLeague({.nmbr = 503, .name = "Driver League", .shortName = "DL", .carType = 2});
    addMember({.league = 502, .team = 600});
    cTeam team;
    team.load(600);
    frmLeagueTeams window;
    window.fillWith(team);
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("League Teams - Alpha"));
    auto* list = window.findChild<QTreeWidget*>(QStringLiteral("lvwLeagues"));
    QCOMPARE(list->topLevelItemCount(), 3); // not the league that scores by drivers
    QCOMPARE(itemOf(list, "Sunday League")->checkState(0), Qt::Checked);
    QCOMPARE(itemOf(list, "Third League")->checkState(0), Qt::Checked);
    QCOMPARE(itemOf(list, "Empty League")->checkState(0), Qt::Unchecked);
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QCOMPARE(TestDataFile::count("SELECT COUNT(*) FROM league_teams WHERE team_nmbr = 600"), 2);

    // A team of a kind no league plays: an empty list, and OK stores nothing.
    addTeam({.nmbr = 604, .name = "Lonely", .raceType = 4});
    cTeam lonely;
    lonely.load(604);
    frmLeagueTeams empty;
    empty.fillWith(lonely);
    empty.show();
    QCOMPARE(empty.findChild<QTreeWidget*>(QStringLiteral("lvwLeagues"))->topLevelItemCount(), 0);
    QTest::mouseClick(empty.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QCOMPARE(TestDataFile::count("SELECT COUNT(*) FROM league_teams WHERE team_nmbr = 604"), 0);
}

void LeagueEditorTest::checklistOnlyAddsMemberships() {
    cTeam team;
    team.load(602);
    for (bool ok : {false, true}) {
        frmLeagueTeams window;
        window.fillWith(team);
        window.show();
        auto* list = window.findChild<QTreeWidget*>(QStringLiteral("lvwLeagues"));
        QTreeWidgetItem* item = itemOf(list, "Empty League");
        item->setCheckState(0, Qt::Checked);
        // A check mark cannot be taken back, new or stored.
        item->setCheckState(0, Qt::Unchecked);
        QCOMPARE(item->checkState(0), Qt::Checked);
        QTest::mouseClick(window.findChild<QPushButton*>(ok ? QStringLiteral("cmdOK") : QStringLiteral("cmdCancel")),
                          Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QCOMPARE(TestDataFile::count("SELECT COUNT(*) FROM league_teams WHERE team_nmbr = 602 AND league_nmbr = 501"),
                 ok ? 1 : 0);
    }
    // The league editor's members are untouched by the checklist.
    QCOMPARE(members(500), 2);
}

// With QV_SCREENSHOT_DIR set, saves pictures of both tabs of the editor and of the checklist.
void LeagueEditorTest::screenshots() {
    const QString dir = qEnvironmentVariable("QV_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("QV_SCREENSHOT_DIR not set");
    TestDataFile::exec("UPDATE leagues SET salary_cap = 50000 WHERE league_nmbr = 500");
    auto league = stored(500);
    open(*league);
    QVERIFY(m_window->grab().save(QDir(dir).filePath(QStringLiteral("frmLeague.png"))));
    tabs()->setCurrentIndex(1);
    QVERIFY(m_window->grab().save(QDir(dir).filePath(QStringLiteral("frmLeague-teams.png"))));
    cTeam team;
    team.load(602);
    frmLeagueTeams checklist;
    checklist.fillWith(team);
    checklist.show();
    QVERIFY(QTest::qWaitForWindowExposed(&checklist, kWindowWait));
    QVERIFY(checklist.grab().save(QDir(dir).filePath(QStringLiteral("frmLeagueTeams.png"))));
}

QTEST_MAIN(LeagueEditorTest)
#include "tst_league_editor.moc"
