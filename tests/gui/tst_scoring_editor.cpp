#include "ModalHelpers.h"
#include "Rows.h"
#include "TestDataFile.h"
#include "data/cScoringType.h"
#include "editors/races/frmScoring.h"
#include "kit/EditorGrid.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QtTest>
#include <memory>

namespace {

int count(const QString& sql) {
    return TestDataFile::scalar(sql).toInt();
}

QLineEdit* box(EditorGrid* grid, int row, int col) {
    return qobject_cast<QLineEdit*>(grid->cell(row, col));
}

// Types into a cell or box as the user would: focus, then the text replaces what was there.
void type(QLineEdit* b, const QString& text) {
    b->setFocus();
    settle();
    b->selectAll();
    QTest::keyClicks(b, text);
}

// Moves the focus on, which runs the leave check of the box that had it.
void leave(QWidget* to) {
    to->setFocus();
    settle();
}

QStringList storedPoints(int method) {
    QStringList rows;
    const QString sql = QStringLiteral("SELECT group_concat(place || ':' || points || ':' || qual_points, ' ') FROM "
                                       "(SELECT * FROM scoring_points WHERE scoring_type_nmbr = %1 ORDER BY place)")
                            .arg(method);
    const QString all = TestDataFile::scalar(sql).toString();
    return all.isEmpty() ? QStringList() : all.split(QLatin1Char(' '));
}

QStringList storedRules(int method) {
    const QString sql = QStringLiteral("SELECT group_concat(nmbr_cars || '/' || top_nmbr || '=' || points, ' ') FROM "
                                       "(SELECT * FROM scoring_top_points WHERE scoring_type_nmbr = %1 ORDER BY rowid)")
                            .arg(method);
    const QString all = TestDataFile::scalar(sql).toString();
    return all.isEmpty() ? QStringList() : all.split(QLatin1Char(' '));
}

} // namespace

// The scoring-method editor driven through its controls, shown but not run modally.
class ScoringEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newMethodIsStoredBeforeItsGridWithRoundedBonuses();
    void nameRefusalsKeepTheFirstTab();
    void pointsTableIsReplacedAsAWhole();
    void duplicatePlacesAreRefusedBeforeAnythingIsWritten();
    void cellChecks();
    void topRulesWithoutCarsAreLeftOut();
    void clearEmptiesTheStoredTableAtOnce();
    void cancelAndOkPaths();
    void shippedMethodShowsItsTableAndRules();

private:
    // Opens the editor on the method (a copy of the stored row, or a new one for 0).
    frmScoring* open(int method);
    RecordingUi& ui() { return m_data->ui(); }

    std::unique_ptr<TestDataFile> m_data;
    std::unique_ptr<cScoringType> m_method;
    std::unique_ptr<frmScoring> m_window;
};

void ScoringEditorTest::init() {
    m_data = std::make_unique<TestDataFile>();
    QVERIFY(m_data->ok());
}

void ScoringEditorTest::cleanup() {
    m_window.reset();
    m_method.reset();
    m_data.reset();
}

frmScoring* ScoringEditorTest::open(int method) {
    m_window.reset();
    m_method = std::make_unique<cScoringType>();
    if (method > 0)
        m_method->load(method);
    m_window = std::make_unique<frmScoring>();
    m_window->fillFrom(*m_method);
    m_window->show();
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window.get(), kWindowWait))
        return nullptr;
    settle();
    return m_window.get();
}

void ScoringEditorTest::newMethodIsStoredBeforeItsGridWithRoundedBonuses() {
    frmScoring* w = open(0);
    QVERIFY(w);
    QVERIFY(!w->cmdApply()->isEnabled());
    type(w->txtScoringTypeName(), QStringLiteral("Club's Points"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Scoring - Club's Points"));
    QVERIFY(w->cmdApply()->isEnabled());

    type(w->txtLapsLedBonus(), QStringLiteral("2.5"));
    type(w->txtMostLapsLedBonus(), QStringLiteral("3.5"));
    type(w->txtFastQualBonus(), QString());
    w->txtFastQualBonus()->clear();
    leave(w->txtScoringTypeName());
    QCOMPARE(w->txtFastQualBonus()->text(), QStringLiteral("0"));
    QCOMPARE(m_method->lapsLedBonus(), 2);
    QCOMPARE(m_method->mostLapsLedBonus(), 4);

    w->SSTab1()->setCurrentIndex(1);
    QCOMPARE(w->SSTab1()->currentIndex(), 1);
    QVERIFY(m_method->scoringTypeNmbr() >= 500);
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM scoring_type WHERE scoring_type_nmbr = %1 AND "
                                  "scoring_type_name = 'Club''s Points' AND laps_led_bonus = 2 AND "
                                  "most_laps_led_bonus = 4 AND fast_qual_bonus = 0")
                       .arg(m_method->scoringTypeNmbr())),
             1);
    QVERIFY(!w->cmdApply()->isEnabled());
    QVERIFY(!w->headerChanged());
    QCOMPARE(w->pointsGrid()->rowCount(), 1);
    QCOMPARE(w->pointsGrid()->rowTexts(0), (QStringList{"1", "0", "0"}));
    QVERIFY(!w->pointsChanged());
}

void ScoringEditorTest::nameRefusalsKeepTheFirstTab() {
    frmScoring* w = open(0);
    QVERIFY(w);
    w->SSTab1()->setCurrentIndex(2);
    QCOMPARE(w->SSTab1()->currentIndex(), 0);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Name is a required field"));
    QCOMPARE(ui().boxes.last().icon, MsgIcon::Critical);

    ui().clear();
    type(w->txtScoringTypeName(), QStringLiteral("   "));
    w->SSTab1()->setCurrentIndex(1);
    QCOMPARE(w->SSTab1()->currentIndex(), 0);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Scoring Name is a required field"));
    QVERIFY(w->headerChanged());
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM scoring_type")), 2);
}

void ScoringEditorTest::pointsTableIsReplacedAsAWhole() {
    addScoringType({.nmbr = 500, .name = "Mine"});
    addPoints({.scoringType = 500, .place = 1, .points = 10});
    addPoints({.scoringType = 500, .place = 2, .points = 8});
    addPoints({.scoringType = 500, .place = 9, .points = 1});
    frmScoring* w = open(500);
    QVERIFY(w);
    w->SSTab1()->setCurrentIndex(1);
    EditorGrid* g = w->pointsGrid();
    QCOMPARE(g->rowCount(), 3);
    QVERIFY(!w->cmdApply()->isEnabled());

    // Enter on the last row appends the next place and lands in its finishing points.
    box(g, 2, 2)->setFocus();
    settle();
    QTest::keyClick(box(g, 2, 2), Qt::Key_Return);
    settle();
    QCOMPARE(g->rowCount(), 4);
    QCOMPARE(g->rowTexts(3), (QStringList{"10", "0", "0"}));
    QTRY_VERIFY_WITH_TIMEOUT(box(g, 3, 1)->hasFocus(), kWindowWait);
    QVERIFY(w->pointsChanged());

    type(box(g, 3, 1), QStringLiteral("-5"));
    type(box(g, 1, 0), QStringLiteral("2.5")); // halves go to the even place: 2
    type(box(g, 2, 0), QStringLiteral("0"));   // place 0 is not stored
    type(box(g, 0, 2), QStringLiteral("3"));
    leave(box(g, 0, 1));
    QVERIFY(ui().boxes.isEmpty());

    w->cmdApply()->click();
    QCOMPARE(storedPoints(500), (QStringList{"1:10:3", "2:8:0", "10:-5:0"}));
    QVERIFY(!w->cmdApply()->isEnabled());
    QVERIFY(!w->pointsChanged());

    // A grid with nothing to store leaves the table alone.
    for (int r = 0; r < g->rowCount(); ++r)
        type(box(g, r, 0), QString());
    leave(box(g, 0, 1));
    w->SSTab1()->setCurrentIndex(2);
    QCOMPARE(w->SSTab1()->currentIndex(), 2);
    QCOMPARE(storedPoints(500), (QStringList{"1:10:3", "2:8:0", "10:-5:0"}));
}

void ScoringEditorTest::duplicatePlacesAreRefusedBeforeAnythingIsWritten() {
    addScoringType({.nmbr = 500, .name = "Mine"});
    addPoints({.scoringType = 500, .place = 1, .points = 10});
    addPoints({.scoringType = 500, .place = 2, .points = 8});
    addPoints({.scoringType = 500, .place = 3, .points = 6});
    frmScoring* w = open(500);
    QVERIFY(w);
    w->SSTab1()->setCurrentIndex(1);
    EditorGrid* g = w->pointsGrid();
    type(box(g, 0, 1), QStringLiteral("12"));
    type(box(g, 2, 0), QStringLiteral("2.4")); // rounds onto place 2
    leave(box(g, 2, 1));
    ui().clear();

    w->SSTab1()->setCurrentIndex(0);
    QCOMPARE(w->SSTab1()->currentIndex(), 1);
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Place 2 exists more than once."));
    QCOMPARE(ui().boxes[0].icon, MsgIcon::Critical);
    QCOMPARE(storedPoints(500), (QStringList{"1:10:0", "2:8:0", "3:6:0"}));
    QVERIFY(w->pointsChanged());

    // OK stays open with Apply still on; fixing the place lets it store and close.
    ui().clear();
    w->cmdOK()->click();
    QVERIFY(w->isVisible());
    QVERIFY(w->cmdApply()->isEnabled());
    type(box(g, 2, 0), QStringLiteral("4"));
    w->cmdOK()->click();
    QVERIFY(!w->isVisible());
    QCOMPARE(storedPoints(500), (QStringList{"1:12:0", "2:8:0", "4:6:0"}));
}

void ScoringEditorTest::cellChecks() {
    addScoringType({.nmbr = 500, .name = "Mine"});
    frmScoring* w = open(500);
    QVERIFY(w);

    type(w->txtLapsLedBonus(), QStringLiteral("x7"));
    leave(w->txtScoringTypeName());
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Entry"));
    QCOMPARE(w->txtLapsLedBonus()->text(), QString());
    QTRY_VERIFY_WITH_TIMEOUT(w->txtLapsLedBonus()->hasFocus(), kWindowWait);
    QCOMPARE(m_method->lapsLedBonus(), 0);
    type(w->txtLapsLedBonus(), QStringLiteral("9e9"));
    leave(w->txtScoringTypeName());
    QCOMPARE(ui().boxes.size(), 2);
    type(w->txtLapsLedBonus(), QStringLiteral("-4"));
    leave(w->txtScoringTypeName());
    QCOMPARE(m_method->lapsLedBonus(), -4);

    w->SSTab1()->setCurrentIndex(1);
    EditorGrid* g = w->pointsGrid();
    ui().clear();
    type(box(g, 0, 0), QStringLiteral("-1"));
    leave(box(g, 0, 1));
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Entry"));
    QCOMPARE(g->text(0, 0), QString());
    QTRY_VERIFY_WITH_TIMEOUT(box(g, 0, 0)->hasFocus(), kWindowWait);
    type(box(g, 0, 0), QStringLiteral(" "));
    leave(box(g, 0, 1)); // a blank place passes and stays blank
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(g->text(0, 0), QStringLiteral(" "));
    type(box(g, 0, 1), QString());
    leave(box(g, 0, 2)); // blank points become 0
    QCOMPARE(g->text(0, 1), QStringLiteral("0"));
    type(box(g, 0, 2), QStringLiteral("40000"));
    leave(box(g, 0, 0));
    QCOMPARE(ui().boxes.size(), 2);
    QCOMPARE(g->text(0, 2), QString());

    type(box(g, 0, 0), QStringLiteral("1"));
    leave(box(g, 0, 1));
    w->SSTab1()->setCurrentIndex(2);
    QCOMPARE(storedPoints(500), (QStringList{"1:0:0"}));
    EditorGrid* t = w->topGrid();
    ui().clear();
    type(box(t, 0, 4), QStringLiteral("-3"));
    leave(box(t, 0, 0));
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Entry"));
    QCOMPARE(t->text(0, 4), QString());
}

void ScoringEditorTest::topRulesWithoutCarsAreLeftOut() {
    addScoringType({.nmbr = 500, .name = "Mine"});
    frmScoring* w = open(500);
    QVERIFY(w);
    w->SSTab1()->setCurrentIndex(2);
    EditorGrid* t = w->topGrid();
    QCOMPARE(t->rowTexts(0), (QStringList{"0", "In top", "0", "=", "0"}));

    type(box(t, 0, 2), QStringLiteral("5"));
    type(box(t, 0, 4), QStringLiteral("7")); // Number 0: not stored
    QTest::keyClick(box(t, 0, 4), Qt::Key_Return);
    settle();
    QCOMPARE(t->rowCount(), 2);
    QCOMPARE(t->rowTexts(1), (QStringList{"0", "In top", "0", "=", "0"}));
    QTRY_VERIFY_WITH_TIMEOUT(box(t, 1, 0)->hasFocus(), kWindowWait);
    type(box(t, 1, 0), QStringLiteral("2"));
    type(box(t, 1, 2), QStringLiteral("5")); // points 0: stored all the same
    QTest::keyClick(box(t, 1, 2), Qt::Key_Return);
    settle();
    type(box(t, 2, 0), QStringLiteral("3"));
    type(box(t, 2, 2), QStringLiteral("10"));
    type(box(t, 2, 4), QStringLiteral("5"));
    leave(box(t, 0, 0));

    w->SSTab1()->setCurrentIndex(0);
    QCOMPARE(w->SSTab1()->currentIndex(), 0);
    QCOMPARE(storedRules(500), (QStringList{"2/5=0", "3/10=5"}));
    QVERIFY(!w->topChanged());
}

void ScoringEditorTest::clearEmptiesTheStoredTableAtOnce() {
    frmScoring* w = open(1);
    QVERIFY(w);
    w->SSTab1()->setCurrentIndex(1);
    EditorGrid* g = w->pointsGrid();
    type(box(g, 0, 1), QStringLiteral("99"));
    QVERIFY(w->pointsChanged());

    ui().answers = {AnswerNo};
    w->cmdClearScoring()->click();
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 1")), 43);
    ui().clear();
    w->cmdClearScoring()->click();
    QCOMPARE(ui().boxes[0].text,
             QStringLiteral("Are you sure you want to delete Scoring per Place for Standard Points?"));
    QCOMPARE(ui().boxes[0].title, QStringLiteral("Standard Points"));
    QCOMPARE(ui().boxes[0].buttons, MsgButtons::YesNoCancel);
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 1")), 0);
    QCOMPARE(g->rowCount(), 1);
    QCOMPARE(g->rowTexts(0), (QStringList{"1", "0", "0"}));
    QVERIFY(!w->pointsChanged());
    QVERIFY(box(g, 0, 0)->hasFocus());

    w->SSTab1()->setCurrentIndex(2);
    ui().clear();
    w->cmdClearTopScoring()->click();
    QCOMPARE(ui().boxes[0].text, QStringLiteral("Are you sure you want to delete Top Scoring Standard Points?"));
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM scoring_top_points WHERE scoring_type_nmbr = 1")), 0);
    QCOMPARE(w->topGrid()->rowTexts(0), (QStringList{"0", "In top", "0", "=", "0"}));
    // Cancel cannot bring them back.
    w->cmdCancel()->click();
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM scoring_points WHERE scoring_type_nmbr = 1")), 0);
}

void ScoringEditorTest::cancelAndOkPaths() {
    addScoringType({.nmbr = 500, .name = "Mine", .lapsLed = 1, .mostLapsLed = 1, .fastQual = 1});
    addTopPoints({.scoringType = 500, .cars = 2, .points = 10, .top = 5});

    // Cancel after editing only the rules asks; No drops the edit.
    frmScoring* w = open(500);
    QVERIFY(w);
    w->SSTab1()->setCurrentIndex(2);
    type(box(w->topGrid(), 0, 4), QStringLiteral("30"));
    ui().answers = {AnswerCancel, AnswerNo};
    w->cmdCancel()->click();
    QVERIFY(w->isVisible());
    QCOMPARE(ui().boxes[0].text, QStringLiteral("Do you want to save changes"));
    QCOMPARE(ui().boxes[0].title, QStringLiteral("Mine"));
    QCOMPARE(ui().boxes[0].icon, MsgIcon::None);
    w->cmdCancel()->click();
    QVERIFY(!w->isVisible());
    QCOMPARE(storedRules(500), (QStringList{"2/5=10"}));

    // A fresh opening starts with nothing changed.
    w = open(500);
    QVERIFY(w);
    QVERIFY(!w->cmdApply()->isEnabled());
    QVERIFY(!w->headerChanged() && !w->pointsChanged() && !w->topChanged());

    // A bonus typed just before Cancel (which runs no leave check) is stored by Yes.
    ui().clear();
    type(w->txtMostLapsLedBonus(), QStringLiteral("7"));
    type(w->txtScoringTypeName(), QStringLiteral("Renamed"));
    w->txtMostLapsLedBonus()->setFocus();
    type(w->txtMostLapsLedBonus(), QStringLiteral("8"));
    ui().answers = {AnswerYes};
    w->cmdCancel()->click();
    QVERIFY(!w->isVisible());
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM scoring_type WHERE scoring_type_nmbr = 500 AND "
                                  "scoring_type_name = 'Renamed' AND most_laps_led_bonus = 8")),
             1);

    // Cancel answered Yes with a save that is refused stays open.
    addPoints({.scoringType = 500, .place = 1, .points = 10});
    addPoints({.scoringType = 500, .place = 2, .points = 8});
    w = open(500);
    QVERIFY(w);
    w->SSTab1()->setCurrentIndex(1);
    type(box(w->pointsGrid(), 1, 0), QStringLiteral("1"));
    ui().clear();
    ui().answers = {AnswerYes};
    w->cmdCancel()->click();
    QVERIFY(w->isVisible());
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Place 1 exists more than once."));
    QCOMPARE(storedPoints(500), (QStringList{"1:10:0", "2:8:0"}));
}

void ScoringEditorTest::shippedMethodShowsItsTableAndRules() {
    frmScoring* w = open(1);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Scoring - Standard Points"));
    QCOMPARE(w->txtLapsLedBonus()->text(), QStringLiteral("5"));
    QCOMPARE(w->txtMostLapsLedBonus()->text(), QStringLiteral("5"));
    QCOMPARE(w->txtFastQualBonus()->text(), QStringLiteral("3"));
    QVERIFY(!w->Frame1()->isEnabled());

    w->SSTab1()->setCurrentIndex(1);
    EditorGrid* g = w->pointsGrid();
    QVERIFY(w->Frame1()->isEnabled());
    QCOMPARE(g->rowCount(), 43);
    QCOMPARE(g->rowTexts(0), (QStringList{"1", "46", "3"}));
    QCOMPARE(g->rowTexts(42).first(), QStringLiteral("43"));
    QVERIFY(g->scrollBar()->isEnabled());
    QVERIFY(!w->cmdApply()->isEnabled());
    if (const QString dir = qEnvironmentVariable("QV_SCREENSHOT_DIR"); !dir.isEmpty())
        QVERIFY(w->grab().save(QDir(dir).filePath(QStringLiteral("scoring-editor.png"))));

    w->SSTab1()->setCurrentIndex(2);
    QVERIFY(!w->Frame1()->isEnabled());
    EditorGrid* t = w->topGrid();
    QCOMPARE(t->rowCount(), 2);
    QCOMPARE(t->rowTexts(0), (QStringList{"2", "In top", "5", "=", "10"}));
    QCOMPARE(t->rowTexts(1), (QStringList{"3", "In top", "10", "=", "25"}));
    QVERIFY(!t->scrollBar()->isEnabled());
    QVERIFY(!w->cmdApply()->isEnabled());
}

QTEST_MAIN(ScoringEditorTest)
#include "tst_scoring_editor.moc"
