#include "ModalHelpers.h"
#include "RecordingUi.h"
#include "kit/EditorGrid.h"
#include "kit/EditorKit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// An editor of one name and one number, storing into plain fields.
class TestEditor : public EditorDialog {
public:
    TestEditor() {
        name = new QLineEdit(this);
        count = new QLineEdit(this);
        keyLabel = new QLabel(QStringLiteral("Name:"), this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(keyLabel);
        layout->addWidget(name);
        layout->addWidget(count);
        layout->addLayout(buttonRow());
        selectAllOnFocus(name);
        installNumberCheck(count, {});
        connect(name, &QLineEdit::textChanged, this, [this] { markChanged(); });
        makeKeyLabel(keyLabel, QStringLiteral("Race number is "), [] { return 42; });
    }
    bool applyChanges() override {
        ++applies;
        if (!storeSucceeds)
            return false;
        stored = name->text();
        return true;
    }
    QString saveQuestionTitle() const override { return name->text(); }

    QLineEdit* name;
    QLineEdit* count;
    QLabel* keyLabel;
    bool storeSucceeds = true;
    int applies = 0;
    QString stored;
};

bool showActive(QWidget* w) {
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w, kWindowWait);
}

// A grid like the race results: place, car from the floating list, laps led, a check.
EditorGrid* resultsLikeGrid(QWidget* parent) {
    NumberRule place;
    place.allowNegative = false;
    QList<EditorGrid::Column> cols = {
        {"Place", EditorGrid::Kind::Text, 120, 495, "", EditorGrid::numberCheck(place)},
        {"Car/Driver", EditorGrid::Kind::List, 720, 2055, ""},
        {"Laps Led", EditorGrid::Kind::Text, 2880, 735, "0", EditorGrid::numberCheck({})},
        {"Fastest", EditorGrid::Kind::Check, 3720, 495, "0"},
    };
    auto* grid = new EditorGrid(cols, parent);
    grid->setEnterFocusColumn(1);
    grid->newRowTexts = [](const EditorGrid& g, int last) -> QStringList {
        const auto place = numberFromText(g.text(last, 0));
        return {QString::number(place.value_or(0) + 1), "", "0", "0"};
    };
    grid->setListItems({{" ", 0}, {"Blue 7", 7}, {"Red 12", 12}});
    return grid;
}

QList<QStringList> numberedRows(int n) {
    QList<QStringList> rows;
    for (int i = 1; i <= n; ++i)
        rows << QStringList{QString::number(i), "", "0", "0"};
    return rows;
}

} // namespace

class tst_EditorKit : public QObject {
    Q_OBJECT

private:
    RecordingUi* m_ui = nullptr;

private slots:
    void init() { m_ui = new RecordingUi; }
    void cleanup() {
        delete m_ui;
        m_ui = nullptr;
    }

    void fillingIsNoEdit() {
        TestEditor e;
        e.name->setText("Before showing");
        QVERIFY(!e.isChanged());
        QVERIFY(!e.applyButton()->isEnabled());
        QVERIFY(showActive(&e));
        e.name->setText("Typed");
        QVERIFY(e.isChanged());
        QVERIFY(e.applyButton()->isEnabled());
        e.applyButton()->click();
        QCOMPARE(e.stored, QString("Typed"));
        QVERIFY(!e.isChanged());
        QVERIFY(!e.applyButton()->isEnabled());
    }

    void okStoresOnlyWithApplyEnabledAndStaysOnFailure() {
        TestEditor e;
        QVERIFY(showActive(&e));
        e.okButton()->click();
        QCOMPARE(e.applies, 0);
        QVERIFY(!e.isVisible());

        TestEditor f;
        QVERIFY(showActive(&f));
        f.name->setText("X");
        f.storeSucceeds = false;
        f.okButton()->click();
        QCOMPARE(f.applies, 1);
        QVERIFY(f.isVisible());
        QVERIFY(f.applyButton()->isEnabled());
        f.storeSucceeds = true;
        f.okButton()->click();
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), int(QDialog::Accepted)); // closing itself passed Cancel by
        QCOMPARE(f.stored, QString("X"));
    }

    void cancelAsksOnlyWithChanges_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<int>("applies");
        QTest::newRow("cancel") << int(AnswerCancel) << true << 0;
        QTest::newRow("no") << int(AnswerNo) << false << 0;
        QTest::newRow("yes") << int(AnswerYes) << false << 1;
    }
    void cancelAsksOnlyWithChanges() {
        QFETCH(int, answer);
        QFETCH(bool, staysOpen);
        QFETCH(int, applies);
        TestEditor e;
        QVERIFY(showActive(&e));
        e.name->setText("Edited name");
        m_ui->answers << answer;
        e.cancelButton()->click();
        QCOMPARE(m_ui->boxes.size(), 1);
        QCOMPARE(m_ui->boxes[0].text, QString("Do you want to save changes"));
        QCOMPARE(m_ui->boxes[0].title, QString("Edited name"));
        QCOMPARE(m_ui->boxes[0].icon, MsgIcon::None);
        QCOMPARE(m_ui->boxes[0].buttons, MsgButtons::YesNoCancel);
        QCOMPARE(e.isVisible(), staysOpen);
        QCOMPARE(e.applies, applies);
    }

    void yesClosesEvenWhenTheStoreFails() {
        TestEditor e;
        QVERIFY(showActive(&e));
        e.name->setText("Y");
        e.storeSucceeds = false;
        m_ui->answers << AnswerYes;
        e.cancelButton()->click();
        QCOMPARE(e.applies, 1);
        QVERIFY(!e.isVisible());
    }

    void escAndTheCloseBoxAreCancel() {
        TestEditor e;
        QVERIFY(showActive(&e));
        e.name->setText("Z");
        m_ui->answers << AnswerCancel << AnswerCancel;
        QTest::keyClick(&e, Qt::Key_Escape);
        QCOMPARE(m_ui->boxes.size(), 1);
        QVERIFY(e.isVisible());
        e.close();
        QCOMPARE(m_ui->boxes.size(), 2);
        QVERIFY(e.isVisible());
        QCOMPARE(e.applies, 0);
    }

    void keyLabelShowsTheNumber() {
        TestEditor e;
        QVERIFY(showActive(&e));
        QTest::mouseClick(e.keyLabel, Qt::LeftButton);
        QCOMPARE(m_ui->lastBoxText(), QString("Race number is 42"));
        QCOMPARE(m_ui->boxes.last().icon, MsgIcon::None);
        QCOMPARE(m_ui->boxes.last().title, QString("Quorvanti"));
    }

    void numberRules_data() {
        QTest::addColumn<int>("blank");
        QTest::addColumn<bool>("allowNegative");
        QTest::addColumn<bool>("wholeOnly");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("after");
        const int zero = int(NumberRule::Blank::Zero), keep = int(NumberRule::Blank::Keep),
                  refuse = int(NumberRule::Blank::Refuse);
        QTest::newRow("negative kept") << zero << true << false << "-3" << true << "-3";
        QTest::newRow("fraction kept as typed") << zero << true << false << "2.5" << true << "2.5";
        QTest::newRow("negative refused") << zero << false << false << "-3" << false << "";
        QTest::newRow("blank becomes 0") << zero << true << false << "  " << true << "0";
        QTest::newRow("blank kept") << keep << true << false << "  " << true << "  ";
        QTest::newRow("blank refused") << refuse << true << false << "" << false << "";
        QTest::newRow("letters") << zero << true << false << "12a" << false << "";
        QTest::newRow("thousands") << zero << true << false << "1,000" << true << "1,000";
        QTest::newRow("fraction refused") << zero << true << true << "1.5" << false << "";
        QTest::newRow("lone sign") << zero << true << false << "-" << false << "";
    }
    void numberRules() {
        QFETCH(int, blank);
        QFETCH(bool, allowNegative);
        QFETCH(bool, wholeOnly);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QString, after);
        NumberRule rule;
        rule.blank = NumberRule::Blank(blank);
        rule.allowNegative = allowNegative;
        rule.wholeOnly = wholeOnly;
        QLineEdit box;
        box.setText(typed);
        QCOMPARE(checkNumberText(&box, rule), accepted);
        QCOMPARE(box.text(), after);
        QCOMPARE(m_ui->boxes.size(), accepted ? 0 : 1);
        if (!accepted)
            QCOMPARE(m_ui->boxes[0].icon, MsgIcon::Critical);
    }

    void sixteenBitBoundsAndDates() {
        NumberRule rule;
        rule.minimum = -32768;
        rule.maximum = 32767;
        rule.emptyOnRefusal = false;
        QLineEdit box;
        box.setText("40000");
        QVERIFY(!checkNumberText(&box, rule));
        QCOMPARE(box.text(), QString("40000"));
        QCOMPARE(m_ui->lastBoxText(), QString("Invalid Entry"));

        QDate date;
        box.setText("2024-03-05");
        QVERIFY(checkDateText(&box, &date));
        QCOMPARE(box.text(), QString("3/5/2024"));
        QCOMPARE(date, QDate(2024, 3, 5));
        box.setText("13/45/2024");
        QVERIFY(!checkDateText(&box, &date));
        QCOMPARE(box.text(), QString("13/45/2024"));
        box.setText(" ");
        QVERIFY(checkDateText(&box, &date));
        QVERIFY(!date.isValid());
    }

    void refusedBoxGetsTheFocusBackButCancelSkipsTheCheck() {
        TestEditor e;
        QVERIFY(showActive(&e));
        e.count->setFocus();
        settle();
        e.count->setText("abc");
        e.name->setFocus();
        settle();
        QCOMPARE(m_ui->boxes.size(), 1);
        QCOMPARE(m_ui->lastBoxText(), QString("Invalid Entry"));
        QTRY_VERIFY_WITH_TIMEOUT(e.count->hasFocus(), kWindowWait);
        QCOMPARE(e.count->text(), QString());

        // Blank becomes 0 when left.
        e.name->setFocus();
        settle();
        QCOMPARE(e.count->text(), QString("0"));

        e.count->setFocus();
        settle();
        e.count->setText("xyz");
        e.cancelButton()->setFocus();
        settle();
        QCOMPARE(m_ui->boxes.size(), 1);
    }

    void gridScrollBarFollowsTheRowCount() {
        QWidget w;
        EditorGrid* grid = resultsLikeGrid(&w);
        QSignalSpy changed(grid, &EditorGrid::cellChanged);
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(grid->text(0, 2), QString("0"));
        grid->setRows(numberedRows(7));
        QCOMPARE(grid->rowCount(), 7);
        QCOMPARE(grid->scrollBar()->maximum(), 7);
        QVERIFY(!grid->scrollBar()->isEnabled());
        grid->setRows(numberedRows(8));
        QCOMPARE(grid->scrollBar()->maximum(), 8);
        QVERIFY(grid->scrollBar()->isEnabled());
        QVERIFY(grid->isRowShown(6));
        QVERIFY(!grid->isRowShown(7));
        grid->scrollTo(1);
        QVERIFY(!grid->isRowShown(0));
        QVERIFY(grid->isRowShown(7));
        grid->clearRows();
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(grid->firstShownRow(), 0);
        QVERIFY(grid->isRowShown(0));
        QCOMPARE(changed.count(), 0); // building a grid is no edit
    }

    void scrollingLaysRowsIntoFixedSlots() {
        QWidget w;
        EditorGrid* grid = resultsLikeGrid(&w);
        grid->setRows(numberedRows(10));
        const int slot0 = grid->cell(0, 0)->y();
        const int slot1 = grid->cell(1, 0)->y();
        grid->scrollTo(3);
        QCOMPARE(grid->cell(3, 0)->y(), slot0);
        QCOMPARE(grid->cell(4, 0)->y(), slot1);
        QVERIFY(grid->isRowShown(9));
    }

    void enterOnTheLastRowAppends() {
        QWidget w;
        auto* layout = new QVBoxLayout(&w);
        EditorGrid* grid = resultsLikeGrid(&w);
        layout->addWidget(grid);
        QVERIFY(showActive(&w));
        grid->setRows(numberedRows(7));
        QSignalSpy changed(grid, &EditorGrid::cellChanged);
        grid->focusCell(6, 0);
        settle();
        QTest::keyClick(grid->cell(6, 0), Qt::Key_Return);
        settle();
        QCOMPARE(grid->rowCount(), 8);
        QCOMPARE(grid->rowTexts(7), (QStringList{"8", "", "0", "0"}));
        QVERIFY(changed.count() > 0);
        // The seventh row was in the bottom slot: the bar is switched on and scrolls one row.
        QVERIFY(grid->scrollBar()->isEnabled());
        QCOMPARE(grid->scrollBar()->maximum(), 8);
        QCOMPARE(grid->firstShownRow(), 1);
        // The new car cell has the focus, so the floating list lies over it.
        QVERIFY(grid->floatingList()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(grid->floatingList()->hasFocus(), kWindowWait);
        QCOMPARE(grid->floatingRow(), 7);
    }

    void enterScrollPolicies() {
        QWidget w;
        auto* layout = new QVBoxLayout(&w);
        EditorGrid* grid = resultsLikeGrid(&w);
        layout->addWidget(grid);
        QVERIFY(showActive(&w));

        // While the bar is off (seven rows or fewer) Enter never scrolls a row out of reach.
        grid->setScrollPolicy(EditorGrid::ScrollPolicy::EveryEnter);
        grid->setRows(numberedRows(3));
        grid->enterInRow(0);
        settle();
        QCOMPARE(grid->firstShownRow(), 0);
        QVERIFY(grid->isRowShown(0));
        QCOMPARE(grid->floatingRow(), 1);

        // With the bar on, every Enter in the window scrolls, even from the top row.
        grid->setRows(numberedRows(10));
        grid->enterInRow(0);
        settle();
        QCOMPARE(grid->firstShownRow(), 1);
        QCOMPARE(grid->floatingRow(), 1);

        // Scrolled to the maximum, Enter on a row that is not the last changes nothing.
        grid->setRows(numberedRows(10));
        grid->scrollTo(10);
        grid->enterInRow(1);
        QCOMPARE(grid->firstShownRow(), 10);
        QCOMPARE(grid->rowCount(), 10);

        // Scrolling only from the bottom slot: Enter in row 0 of ten just moves down.
        grid->setScrollPolicy(EditorGrid::ScrollPolicy::AtBottom);
        grid->setRows(numberedRows(10));
        grid->enterInRow(0);
        settle();
        QCOMPARE(grid->firstShownRow(), 0);
        QCOMPARE(grid->floatingRow(), 1);
        grid->enterInRow(6);
        settle();
        QCOMPARE(grid->firstShownRow(), 1);
        QCOMPARE(grid->floatingRow(), 7);
    }

    void floatingListCopiesTextAndNumberBack() {
        QWidget w;
        auto* layout = new QVBoxLayout(&w);
        EditorGrid* grid = resultsLikeGrid(&w);
        layout->addWidget(grid);
        QVERIFY(showActive(&w));
        grid->setRows(numberedRows(3));
        grid->setListCell(1, 1, "Red 12", 12);
        QSignalSpy chosen(grid, &EditorGrid::listChosen);
        QSignalSpy changed(grid, &EditorGrid::cellChanged);

        grid->focusCell(1, 1);
        settle();
        QComboBox* list = grid->floatingList();
        QVERIFY(list->isVisible());
        QCOMPARE(list->currentText(), QString("Red 12"));
        QCOMPARE(list->geometry().topLeft(), grid->cell(1, 1)->geometry().topLeft());
        list->setCurrentIndex(1); // "Blue 7"
        grid->cell(1, 2)->setFocus();
        settle();
        QVERIFY(!list->isVisible());
        QCOMPARE(grid->text(1, 1), QString("Blue 7"));
        QCOMPARE(grid->number(1, 1), 7);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen[0][0].toInt(), 1);
        QVERIFY(changed.count() >= 1);

        // The blank item gives " " and number 0.
        grid->focusCell(2, 1);
        settle();
        QCOMPARE(list->currentText(), QString(" "));
        grid->cell(2, 0)->setFocus();
        settle();
        QCOMPARE(grid->text(2, 1), QString(" "));
        QCOMPARE(grid->number(2, 1), 0);

        // Not allowed: the list stays hidden.
        grid->listAllowed = [](int, int) { return false; };
        grid->focusCell(0, 1);
        settle();
        QVERIFY(!list->isVisible());
    }

    void cellCheckRefusesAndRefocuses() {
        QWidget w;
        auto* layout = new QVBoxLayout(&w);
        EditorGrid* grid = resultsLikeGrid(&w);
        layout->addWidget(grid);
        QVERIFY(showActive(&w));
        grid->setRows(numberedRows(2));
        grid->cell(1, 0)->setFocus();
        settle();
        auto* place = qobject_cast<QLineEdit*>(grid->cell(1, 0));
        place->setText("-3");
        grid->cell(1, 2)->setFocus();
        settle();
        QCOMPARE(m_ui->lastBoxText(), QString("Invalid Entry"));
        QCOMPARE(place->text(), QString());
        QTRY_VERIFY_WITH_TIMEOUT(place->hasFocus(), kWindowWait);

        auto* laps = qobject_cast<QLineEdit*>(grid->cell(1, 2));
        laps->setFocus();
        settle();
        laps->setText("-3");
        place->setText("4");
        place->setFocus();
        settle();
        QCOMPARE(laps->text(), QString("-3"));
        laps->setText(" ");
        laps->setFocus();
        settle();
        place->setFocus();
        settle();
        QCOMPARE(laps->text(), QString("0"));
    }

    void rowListCellsHaveTheirOwnList() {
        QList<EditorGrid::Column> cols = {{"Car/Driver", EditorGrid::Kind::RowList, 120, 1455},
                                          {"Effective Date", EditorGrid::Kind::Text, 1680, 1335},
                                          {"Salary", EditorGrid::Kind::Display, 3120, 1335}};
        EditorGrid grid(cols);
        grid.setListItems({{"Alpha", 3}, {"Beta", 9}});
        grid.appendRow({"Beta", "1/2/2024", "100"});
        QCOMPARE(grid.text(1, 0), QString("Beta"));
        QCOMPARE(grid.number(1, 0), 9);
        QCOMPARE(grid.number(0, 0), 0);
        QCOMPARE(grid.text(0, 0), QString());
        QVERIFY(!grid.cell(1, 2)->isEnabled());
    }
};

QTEST_MAIN(tst_EditorKit)
#include "tst_editorkit.moc"
