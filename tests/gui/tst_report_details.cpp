#include "DataFileTest.h"
#include "ModalHelpers.h"
#include "Rows.h"
#include "reports/framework/frmReportDetails.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QWindow>
#include <memory>

// Report 1 "Alpha" may show columns 1..5; report 2 "Beta" columns 1, 2; report 3 "Gamma" none.
// Colours 0 (default), 10 red, 20 blue, 30 green.
class tst_ReportDetails : public DataFileTest {
    Q_OBJECT

private:
    static QStringList texts(QListWidget* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    static QString storedColumns(int report) {
        return TestDataFile::scalar(QStringLiteral("SELECT group_concat(column_nmbr || ':' || column_order, ' ') FROM "
                                                   "(SELECT * FROM report_columns WHERE report_nmbr = %1 "
                                                   "ORDER BY column_order)")
                                        .arg(report))
            .toString();
    }
    static QVariant amt(int report, int attr) {
        return TestDataFile::scalar(
            QStringLiteral("SELECT amt FROM report_attributes WHERE report_nmbr = %1 AND attribute_nmbr = %2")
                .arg(report)
                .arg(attr));
    }
    // Every stored attribute of the report as "number=amt" or "number='text'", NULLs left out.
    static QString storedAttributes(int report) {
        return TestDataFile::scalar(
                   QStringLiteral("SELECT group_concat(attribute_nmbr || '=' || coalesce(amt, '') || "
                                  "coalesce(char(39) || string_value || char(39), ''), ' ') FROM (SELECT * FROM "
                                  "report_attributes WHERE report_nmbr = %1 ORDER BY attribute_nmbr)")
                       .arg(report))
            .toString();
    }
    static int attributeRows(int report) {
        return TestDataFile::scalar(
                   QStringLiteral("SELECT COUNT(*) FROM report_attributes WHERE report_nmbr = %1").arg(report))
            .toInt();
    }
    // A choice in a drop-down list as the user makes it.
    static void choose(QComboBox* list, int index) {
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    static void chooseColor(QComboBox* list, const QString& name) { choose(list, list->findText(name)); }
    static void select(QListWidget* list, const QString& text) {
        list->setCurrentItem(list->findItems(text, Qt::MatchExactly).first());
    }

    std::unique_ptr<frmReportDetails> open(int reportIndex, int tab = frmReportDetails::ColumnsTab) {
        auto w = std::make_unique<frmReportDetails>();
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get(), kWindowWait))
            qWarning("window not active");
        if (tab != frmReportDetails::ColumnsTab)
            w->SSTab1()->setCurrentIndex(tab);
        if (reportIndex >= 0)
            choose(w->cmbReports(), reportIndex);
        return w;
    }

protected:
    void prepare() override {
        for (const char* table :
             {"report_attributes", "report_columns", "available_report_columns", "report", "column_dm", "color_dm"})
            TestDataFile::exec(QStringLiteral("DELETE FROM %1").arg(table));
        TestDataFile::exec("INSERT INTO report (report_nmbr, report_id, report_name, file_handle) VALUES "
                           "(1, 'RD', 'Alpha', 11), (2, 'LS', 'Beta', 12), (3, 'TC', 'Gamma', 13)");
        TestDataFile::exec("INSERT INTO column_dm (column_nmbr, column_name) VALUES "
                           "(1, 'Place'), (2, 'Car'), (3, 'Driver'), (4, 'Points'), (5, 'Owner')");
        TestDataFile::exec("INSERT INTO available_report_columns (report_nmbr, column_nmbr) VALUES "
                           "(1, 1), (1, 2), (1, 3), (1, 4), (1, 5), (2, 1), (2, 2)");
        addReportColumn({.report = 1, .column = 4, .order = 1});
        addReportColumn({.report = 1, .column = 2, .order = 2});
        addColor({.nmbr = 0, .name = "Default", .code = ""});
        addColor({.nmbr = 10, .name = "Red", .code = "#FF0000"});
        addColor({.nmbr = 20, .name = "Blue", .code = "#0000FF"});
        addColor({.nmbr = 30, .name = "Green", .code = "#00FF00"});
    }

private slots:
    void opensWithoutReportAndCancelClosesAtOnce() {
        auto w = open(-1);
        QCOMPARE(w->windowTitle(), QStringLiteral("Report Details"));
        QCOMPARE(w->cmbReports()->count(), 3);
        QCOMPARE(w->cmbReports()->currentIndex(), -1);
        QCOMPARE(w->SSTab1()->currentIndex(), 0);
        QCOMPARE(w->lvAvailable()->count() + w->lvCurrent()->count(), 0);
        QVERIFY(!w->cmdApply()->isEnabled());
        w->cmdCancel()->click();
        QVERIFY(ui().boxes.isEmpty());
        QVERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Rejected));
    }

    void columnsShownChosenAndStoredInOrder() {
        auto w = open(0);
        QCOMPARE(texts(w->lvCurrent()), (QStringList{"Points", "Car"}));
        QCOMPARE(texts(w->lvAvailable()), (QStringList{"Place", "Driver", "Owner"}));
        QVERIFY(!w->cmdApply()->isEnabled());

        select(w->lvAvailable(), "Owner");
        w->lblAdd()->click();
        select(w->lvAvailable(), "Place");
        w->lblAdd()->click();
        QVERIFY(w->cmdApply()->isEnabled());
        // Back to the end of the available list, not to its old place.
        select(w->lvCurrent(), "Points");
        w->lblRemove()->click();
        QCOMPARE(texts(w->lvCurrent()), (QStringList{"Car", "Owner", "Place"}));
        QCOMPARE(texts(w->lvAvailable()), (QStringList{"Driver", "Points"}));

        w->cmdApply()->click();
        QVERIFY(!w->cmdApply()->isEnabled());
        QCOMPARE(storedColumns(1), QStringLiteral("2:1 5:2 1:3"));
        QVERIFY(ui().boxes.isEmpty());

        // Double-clicks move too; nothing selected moves nothing.
        emit w->lvCurrent()->itemDoubleClicked(w->lvCurrent()->item(0));
        w->lvAvailable()->clearSelection();
        w->lblAdd()->click();
        QCOMPARE(texts(w->lvCurrent()), (QStringList{"Owner", "Place"}));
        w->cmdOK()->click();
        QVERIFY(!w->isVisible());
        QCOMPARE(storedColumns(1), QStringLiteral("5:1 1:2"));

        auto again = open(0);
        QCOMPARE(texts(again->lvCurrent()), (QStringList{"Owner", "Place"}));
        QCOMPARE(texts(again->lvAvailable()), (QStringList{"Car", "Driver", "Points"}));
        QCOMPARE(storedColumns(2), QString());
        choose(again->cmbReports(), 2);
        QCOMPARE(again->lvCurrent()->count() + again->lvAvailable()->count(), 0);
    }

    // Tab goes from the report to its columns and on as the controls stand, the tab bar last; each
    // control shows the focus; Return and Space move a list's highlighted column, as the arrow beside
    // it does, and press an arrow that has the focus, not OK.
    void theKeysWalkTheColumnsTabAndMoveTheHighlightedColumn() {
        auto w = open(0);
        const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        };
        QStringList walk{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 8; ++i) {
            QWidget* left = QApplication::focusWidget();
            const QImage focused = left->grab().toImage();
            press(Qt::Key_Tab);
            QVERIFY2(left->grab().toImage() != focused, qPrintable(walk.last())); // the focus was shown
            QWidget* now = QApplication::focusWidget();
            walk << (qobject_cast<QTabBar*>(now) ? QStringLiteral("tabs") : now->objectName());
        }
        QCOMPARE(walk, QStringList({"cmbReports", "lvAvailable", "lblAdd", "lblRemove", "lvCurrent", "cmdOK",
                                    "cmdCancel", "tabs", "cmbReports"}));
        press(Qt::Key_Tab);
        press(Qt::Key_Space);
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        press(Qt::Key_Space, Qt::ControlModifier); // the highlight stays on the column the keys are on
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(texts(w->lvCurrent()), (QStringList{"Points", "Car", "Place", "Owner", "Driver"}));
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        press(Qt::Key_Space);
        press(Qt::Key_Return);
        QCOMPARE(texts(w->lvAvailable()), (QStringList{"Points", "Car"}));
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
        press(Qt::Key_Return); // OK
        QVERIFY(!w->isVisible());
        QCOMPARE(storedColumns(1), QStringLiteral("1:1 5:2 3:3"));
    }

    void emptyColumnListIsRefusedAndStoredColumnsKept() {
        auto w = open(0);
        while (w->lvCurrent()->count() > 0) {
            w->lvCurrent()->item(0)->setSelected(true);
            w->lblRemove()->click();
        }
        w->cmdOK()->click();
        QCOMPARE(ui().boxes.size(), 1);
        QCOMPARE(ui().boxes.first().icon, MsgIcon::Critical);
        QVERIFY(w->isVisible());
        QVERIFY(w->cmdApply()->isEnabled());
        QCOMPARE(storedColumns(1), QStringLiteral("4:1 2:2"));
    }

    void attributesStoredAndReadBack() {
        auto w = open(0, frmReportDetails::FormattingTab);
        QCOMPARE(w->cmbTextColor(0)->count(), 3); // the default colour is not offered
        chooseColor(w->cmbTextColor(0), "Red");
        chooseColor(w->cmbBackColor(1), "Blue");
        chooseColor(w->cmbTextColor(3), "Green");
        w->chkBackColor(2)->click(); // stays default
        w->txtTextSize(0)->setValue(5);
        w->txtTextSize(1)->setValue(6);
        w->txtTextSize(2)->setValue(2);
        w->txtTextSize(3)->setValue(3);
        w->txtBorderSize()->setValue(1);
        w->txtCellSpacing()->setValue(4);
        w->txtCellPadding()->setValue(2);
        chooseColor(w->cmbVisitedLinkColor(), "Red"); // the other two links stay default
        w->txtHeaderImage()->setText("O'Brien.gif");
        w->txtBackgroundImage()->clear();
        w->chkIncludeFooter()->click();
        QVERIFY(w->cmdApply()->isEnabled());
        w->cmdApply()->click();
        QVERIFY(!w->cmdApply()->isEnabled());
        QVERIFY(ui().boxes.isEmpty());

        QCOMPARE(storedAttributes(1), QStringLiteral("1=10 2= 3= 4= 5=30 6= 7= 8=20 9=1 10=4 11=2 12=5 13=2 14=3 "
                                                     "15=6 16= 17=10 18= 19='O'Brien.gif' 20= 21= 22=1"));

        auto again = open(0, frmReportDetails::FormattingTab);
        QCOMPARE(again->cmbTextColor(0)->currentText(), QStringLiteral("Red"));
        QVERIFY(!again->ChkTextColor(0)->isChecked());
        QCOMPARE(again->cmbBackColor(1)->currentText(), QStringLiteral("Blue"));
        QCOMPARE(again->cmbTextColor(3)->currentText(), QStringLiteral("Green"));
        QCOMPARE(again->cmbBackColor(2)->currentIndex(), -1);
        QVERIFY(again->chkBackColor(2)->isChecked());
        QCOMPARE(again->txtTextSize(1)->value(), 6);
        QCOMPARE(again->txtCellPadding()->text(), QStringLiteral("2"));
        QVERIFY(again->chkLinkColor()->isChecked());
        QCOMPARE(again->cmbVisitedLinkColor()->currentText(), QStringLiteral("Red"));
        QVERIFY(again->chkHoverLinkColor()->isChecked());
        QCOMPARE(again->txtHeaderImage()->text(), QStringLiteral("O'Brien.gif"));
        QVERIFY(!again->chkActiveDriversOnly()->isChecked());
        QVERIFY(again->chkIncludeFooter()->isChecked());
        QVERIFY(!again->cmdApply()->isEnabled());
    }

    void defaultBoxesAndColourLists() {
        TestDataFile::exec("INSERT INTO report_attributes (report_nmbr, attribute_nmbr, amt) VALUES "
                           "(1, 1, 20), (1, 2, NULL), (1, 3, 99), (1, 4, -1)");
        auto w = open(0, frmReportDetails::FormattingTab);
        QCOMPARE(w->cmbTextColor(0)->currentText(), QStringLiteral("Blue"));
        QVERIFY(w->chkBackColor(0)->isChecked());
        QCOMPARE(w->cmbBackColor(0)->currentIndex(), -1);
        // Colour numbers the list does not hold show the default, not what another report showed.
        QCOMPARE(w->cmbTextColor(2)->currentIndex(), -1);
        QVERIFY(w->ChkTextColor(2)->isChecked());
        QCOMPARE(w->cmbBackColor(2)->currentIndex(), -1);

        w->ChkTextColor(0)->click();
        QCOMPARE(w->cmbTextColor(0)->currentIndex(), -1);
        QVERIFY(w->cmdApply()->isEnabled());
        chooseColor(w->cmbTextColor(0), "Green");
        QVERIFY(!w->ChkTextColor(0)->isChecked());
        // Unticking Default without choosing a colour leaves the default.
        w->chkBackColor(0)->click();
        QVERIFY(!w->chkBackColor(0)->isChecked());
        w->cmdApply()->click();
        QCOMPARE(amt(1, 1).toInt(), 30);
        QVERIFY(amt(1, 2).isNull());
        QVERIFY(amt(1, 3).isNull());

        // Switching tabs reloads from the store but fills the colour lists only once.
        w->SSTab1()->setCurrentIndex(frmReportDetails::ColumnsTab);
        w->SSTab1()->setCurrentIndex(frmReportDetails::FormattingTab);
        QCOMPARE(w->cmbHoverLinkColor()->count(), 3);
        QVERIFY(ui().boxes.isEmpty());
    }

    void numberBoxesLimitsAndEmptyText() {
        auto w = open(0, frmReportDetails::FormattingTab);
        // Nothing stored yet: the boxes start empty, and a save stores 1 for sizes, 0 for the rest.
        QCOMPARE(w->txtTextSize(0)->text(), QString());
        w->txtHeaderImage()->setText("x.gif");
        w->cmdApply()->click();
        QCOMPARE(amt(1, 12).toInt(), 1);
        QCOMPARE(w->txtTextSize(0)->text(), QStringLiteral("1"));
        QVERIFY(amt(1, 9).isNull());
        QCOMPARE(w->txtBorderSize()->text(), QStringLiteral("0"));

        // The stored field is 16 bits; the box takes no more and refuses letters.
        QSpinBox* size = w->txtTextSize(1);
        QCOMPARE(size->minimum(), -32768);
        QCOMPARE(size->maximum(), 32767);
        size->setFocus();
        size->selectAll();
        QTest::keyClicks(size, "99999");
        QCOMPARE(size->text(), QStringLiteral("9999"));
        size->selectAll();
        QTest::keyClicks(size, "4x");
        QCOMPARE(size->text(), QStringLiteral("4"));

        // A box emptied by the user shows its fallback when left, and is stored as that.
        size->selectAll();
        QTest::keyClick(size, Qt::Key_Delete);
        QCOMPARE(size->text(), QString());
        w->txtCellSpacing()->setFocus();
        QCOMPARE(size->text(), QStringLiteral("1"));
        QLineEdit* spacingEdit = w->txtCellSpacing()->findChild<QLineEdit*>();
        spacingEdit->selectAll();
        QTest::keyClick(spacingEdit, Qt::Key_Delete);
        QTest::keyClicks(spacingEdit, "-");
        w->cmdApply()->click(); // saved with the focus still in the box
        QCOMPARE(amt(1, 15).toInt(), 1);
        QVERIFY(amt(1, 10).isNull());
        QCOMPARE(w->txtCellSpacing()->text(), QStringLiteral("0"));
    }

    // A text size outside 1 to 7, or a negative border, spacing or padding, is refused with a box
    // before anything is stored; the box in question gets the focus for correcting.
    void numbersOutsideWhatThePagesTakeAreRefused() {
        TestDataFile::exec("INSERT INTO report_attributes (report_nmbr, attribute_nmbr, amt) VALUES "
                           "(1, 12, 3), (1, 9, 2)");
        auto w = open(0, frmReportDetails::FormattingTab);
        const QString before = storedAttributes(1);
        struct Case {
            QSpinBox* box;
            const char* typed;
            const char* message;
        };
        const Case cases[] = {
            {w->txtTextSize(0), "4000", "Text Size must be a number from 1 to 7."},
            {w->txtTextSize(3), "8", "Text Size must be a number from 1 to 7."},
            {w->txtTextSize(1), "0", "Text Size must be a number from 1 to 7."},
            {w->txtBorderSize(), "-7", "Border Size must be a number from 0 to 32767."},
            {w->txtCellSpacing(), "-1", "Cell Spacing must be a number from 0 to 32767."},
            {w->txtCellPadding(), "-32768", "Cell Padding must be a number from 0 to 32767."},
        };
        for (const Case& c : cases) {
            for (int i = 0; i < 4; ++i)
                w->txtTextSize(i)->setValue(3);
            for (QSpinBox* box : {w->txtBorderSize(), w->txtCellSpacing(), w->txtCellPadding()})
                box->setValue(2);
            c.box->setFocus();
            c.box->selectAll();
            QTest::keyClicks(QApplication::focusWidget(), c.typed);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            ui().boxes.clear();
            w->cmdOK()->click();
            QCOMPARE(ui().boxes.size(), 1);
            QCOMPARE(ui().boxes.first().text, QString::fromLatin1(c.message));
            QCOMPARE(ui().boxes.first().icon, MsgIcon::Critical);
            QVERIFY(w->isVisible());
            QVERIFY(w->cmdApply()->isEnabled());
            QCOMPARE(storedAttributes(1), before);
            QVERIFY(c.box->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == c.box);
        }
        // The edges themselves are taken.
        w->txtCellPadding()->setValue(0);
        w->txtTextSize(0)->setValue(1);
        w->txtTextSize(1)->setValue(7);
        w->txtBorderSize()->setValue(32767);
        ui().boxes.clear();
        w->cmdApply()->click();
        QVERIFY(ui().boxes.isEmpty());
        QCOMPARE(amt(1, 12).toInt(), 1);
        QCOMPARE(amt(1, 15).toInt(), 7);
        QCOMPARE(amt(1, 9).toInt(), 32767);
    }

    void eachReportShowsOnlyItsOwnAttributes() {
        TestDataFile::exec("INSERT INTO report_attributes (report_nmbr, attribute_nmbr, amt, string_value) VALUES "
                           "(1, 8, 20, NULL), (1, 9, 3, NULL), (1, 19, NULL, 'top.gif'), (1, 21, 1, NULL), "
                           "(2, 10, 7, NULL)");
        auto w = open(0, frmReportDetails::FormattingTab);
        QCOMPARE(w->txtBorderSize()->value(), 3);
        QCOMPARE(w->cmbBackColor(1)->currentText(), QStringLiteral("Blue"));
        // Beta has only its cell spacing: nothing of Alpha's page colour, image or switches stays.
        choose(w->cmbReports(), 1);
        QCOMPARE(w->txtCellSpacing()->value(), 7);
        QCOMPARE(w->txtBorderSize()->text(), QString());
        QCOMPARE(w->cmbBackColor(1)->currentIndex(), -1);
        QVERIFY(w->chkBackColor(1)->isChecked());
        QCOMPARE(w->txtHeaderImage()->text(), QString());
        QVERIFY(!w->chkActiveDriversOnly()->isChecked());
        QVERIFY(!w->cmdApply()->isEnabled());
        // Changing only the footer stores only Beta's own settings.
        w->chkIncludeFooter()->click();
        w->cmdApply()->click();
        QVERIFY(amt(2, 8).isNull());
        QVERIFY(amt(2, 9).isNull());
        QVERIFY(!storedAttributes(2).contains(QStringLiteral("top.gif")));
        QVERIFY(amt(2, 21).isNull());
        QCOMPARE(amt(2, 22).toInt(), 1);
        QCOMPARE(amt(2, 10).toInt(), 7);
        QCOMPARE(attributeRows(1), 4);
        // Back on Alpha, its own settings show again.
        choose(w->cmbReports(), 0);
        QCOMPARE(w->txtHeaderImage()->text(), QStringLiteral("top.gif"));
        QVERIFY(w->chkActiveDriversOnly()->isChecked());
        QVERIFY(!w->chkIncludeFooter()->isChecked());
    }

    void refusedSaveKeepsTheEditsAndTheirReport() {
        // Alpha's columns all removed, Yes to saving them when Beta is chosen: the empty list is
        // refused, and Alpha stays chosen with the edits.
        auto w = open(0);
        while (w->lvCurrent()->count() > 0) {
            w->lvCurrent()->item(0)->setSelected(true);
            w->lblRemove()->click();
        }
        ui().answers << AnswerYes;
        choose(w->cmbReports(), 1);
        QCOMPARE(ui().boxes.size(), 2); // the question, then the refusal
        QCOMPARE(w->cmbReports()->currentIndex(), 0);
        QCOMPARE(w->shownReportIndex(), 0);
        QCOMPARE(w->lvCurrent()->count(), 0);
        QCOMPARE(w->lvAvailable()->count(), 5);
        QVERIFY(w->cmdApply()->isEnabled());
        QCOMPARE(storedColumns(1), QStringLiteral("4:1 2:2"));

        // The same when leaving the tab.
        ui().answers << AnswerYes;
        w->SSTab1()->setCurrentIndex(frmReportDetails::FormattingTab);
        QCOMPARE(w->SSTab1()->currentIndex(), int(frmReportDetails::ColumnsTab));
        QCOMPARE(w->lvCurrent()->count(), 0);
        QVERIFY(w->cmdApply()->isEnabled());

        // Corrected, the change of report goes ahead and saves for Alpha.
        select(w->lvAvailable(), "Driver");
        w->lblAdd()->click();
        ui().answers << AnswerYes;
        choose(w->cmbReports(), 1);
        QCOMPARE(w->shownReportIndex(), 1);
        QCOMPARE(storedColumns(1), QStringLiteral("3:1"));
        QVERIFY(!w->cmdApply()->isEnabled());
    }

    void failedAttributeStoreKeepsPreviousAttributes() {
        TestDataFile::exec("INSERT INTO report_attributes (report_nmbr, attribute_nmbr, amt) VALUES "
                           "(1, 1, 10), (1, 9, 2)");
        TestDataFile::exec("CREATE TRIGGER no_odd_back BEFORE INSERT ON report_attributes WHEN NEW.attribute_nmbr = 4 "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END");
        auto w = open(0, frmReportDetails::FormattingTab);
        chooseColor(w->cmbTextColor(0), "Blue");
        w->cmdOK()->click();
        QCOMPARE(ui().boxes.size(), 1);
        QVERIFY(w->isVisible());
        QVERIFY(w->cmdApply()->isEnabled());
        QCOMPARE(attributeRows(1), 2);
        QCOMPARE(amt(1, 1).toInt(), 10);
        QCOMPARE(amt(1, 9).toInt(), 2);
    }

    void cancelQuestionAnswers() {
        auto w = open(0, frmReportDetails::FormattingTab);
        w->txtTextSize(0)->setValue(4);
        ui().answers << AnswerCancel;
        w->cmdCancel()->click();
        QCOMPARE(ui().boxes.size(), 1);
        QCOMPARE(ui().boxes.last().text, QStringLiteral("Do you want to save changes"));
        QCOMPARE(ui().boxes.last().title, QStringLiteral("Alpha"));
        QCOMPARE(ui().boxes.last().icon, MsgIcon::None);
        QVERIFY(w->isVisible());
        QCOMPARE(attributeRows(1), 0);

        // Yes saves and stays open; the next Cancel has nothing to ask.
        ui().answers << AnswerYes;
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QCOMPARE(amt(1, 12).toInt(), 4);
        w->cmdCancel()->click();
        QCOMPARE(ui().boxes.size(), 2);
        QVERIFY(!w->isVisible());

        auto other = open(0);
        select(other->lvAvailable(), "Place");
        other->lblAdd()->click();
        ui().answers << AnswerNo;
        other->windowHandle()->close();
        QCOMPARE(ui().boxes.size(), 3);
        QVERIFY(!other->isVisible());
        QCOMPARE(storedColumns(1), QStringLiteral("4:1 2:2"));
    }

    // Escape, then No in a real box: the main window below has the keys again without a click.
    void escapeThenNoGivesTheKeysBackToTheWindowBelow() {
        QMainWindow below;
        QMenu* file = below.menuBar()->addMenu(QStringLiteral("&File"));
        file->addAction(QStringLiteral("E&xit"));
        below.show();
        below.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&below, kWindowWait));
        QString asked;
        bool ran = false;
        whileModal<frmReportDetails>([this, &asked, &ran](frmReportDetails* w) {
            ran = true;
            QTRY_COMPARE(QApplication::activeWindow(), w);
            choose(w->cmbReports(), 0);
            select(w->lvAvailable(), "Place");
            w->lblAdd()->click();
            QVERIFY(w->cmdApply()->isEnabled());
            RealMessageBoxes boxes(&ui());
            answerNextBox(QMessageBox::No, &asked);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QTRY_VERIFY(!w->isVisible());
        });
        {
            frmReportDetails w(&below);
            w.exec();
        }
        QVERIFY(ran);
        QCOMPARE(asked, QStringLiteral("Do you want to save changes"));
        QCOMPARE(storedColumns(1), QStringLiteral("4:1 2:2"));
        QTRY_COMPARE(QApplication::activeWindow(), &below);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &below, Qt::Key_F, Qt::AltModifier);
        QTRY_COMPARE(QApplication::activePopupWidget(), file);
        file->close();
    }

    // With edits pending, "Do you want to save changes" is asked over the tab they were made on, before
    // the other tab shows: Cancel stays there with the edits, Yes stores them and shows the other tab
    // filled from the store, No drops them. Real boxes, answered while their event loop runs.
    void leavingATabAsksOverTheTabTheEditsAreOn() {
        TestDataFile::exec("INSERT INTO report_attributes (report_nmbr, attribute_nmbr, amt) VALUES (1, 1, 20)");
        auto w = open(0);
        select(w->lvAvailable(), "Place");
        w->lblAdd()->click();
        QTabBar* bar = w->SSTab1()->findChild<QTabBar*>();
        QStringList shown; // the tab, the current columns and the heading colour while asked
        AnsweredBoxes boxes({QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::No});
        boxes.whileOpen = [&w, &shown](QMessageBox*) {
            shown << QStringLiteral("%1 %2 %3")
                         .arg(w->SSTab1()->currentIndex())
                         .arg(texts(w->lvCurrent()).join(','), w->cmbTextColor(0)->currentText());
        };
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(w->SSTab1()->currentIndex(), int(frmReportDetails::ColumnsTab));
        QVERIFY(w->cmdApply()->isEnabled());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(frmReportDetails::FormattingTab).center());
        QCOMPARE(storedColumns(1), QStringLiteral("4:1 2:2 1:3"));
        QCOMPARE(w->cmbTextColor(0)->currentText(), QStringLiteral("Blue"));
        chooseColor(w->cmbTextColor(0), "Green");
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(frmReportDetails::ColumnsTab).center());
        QCOMPARE(shown, QStringList({"0 Points,Car,Place ", "0 Points,Car,Place ", "1 Points,Car,Place Green"}));
        QCOMPARE(boxes.titles, QStringList(3, QStringLiteral("Alpha")));
        QCOMPARE(w->SSTab1()->currentIndex(), int(frmReportDetails::ColumnsTab));
        QCOMPARE(amt(1, 1).toInt(), 20);
        QVERIFY(!w->cmdApply()->isEnabled());
    }

    void pendingChangesFollowTheReportTheyWereMadeOn() {
        auto w = open(0, frmReportDetails::FormattingTab);
        chooseColor(w->cmbTextColor(1), "Green");
        ui().answers << AnswerYes;
        choose(w->cmbReports(), 1);
        QCOMPARE(ui().boxes.last().title, QStringLiteral("Beta"));
        QCOMPARE(amt(1, 7).toInt(), 30);
        QCOMPARE(attributeRows(2), 0);
        QCOMPARE(w->shownReportIndex(), 1);
        QVERIFY(!w->cmdApply()->isEnabled());

        // Choosing the report shown again, answered No, throws the edits away.
        w->SSTab1()->setCurrentIndex(frmReportDetails::ColumnsTab);
        select(w->lvAvailable(), "Place");
        w->lblAdd()->click();
        ui().answers << AnswerNo;
        choose(w->cmbReports(), 1);
        QCOMPARE(texts(w->lvCurrent()), QStringList());
        QCOMPARE(texts(w->lvAvailable()), (QStringList{"Place", "Car"}));
        QCOMPARE(storedColumns(2), QString());

        // Column edits pending when the tab is left are stored for their report on Yes.
        select(w->lvAvailable(), "Car");
        w->lblAdd()->click();
        ui().answers << AnswerYes;
        w->SSTab1()->setCurrentIndex(frmReportDetails::FormattingTab);
        QCOMPARE(storedColumns(2), QStringLiteral("2:1"));
        const int asked = ui().boxes.size();
        w->SSTab1()->setCurrentIndex(frmReportDetails::ColumnsTab);
        QCOMPARE(ui().boxes.size(), asked);
        QCOMPARE(texts(w->lvCurrent()), QStringList{"Car"});

        // Back on the first report: column edits pending when another report is chosen go to the first.
        choose(w->cmbReports(), 0);
        select(w->lvAvailable(), "Owner");
        w->lblAdd()->click();
        ui().answers << AnswerYes;
        choose(w->cmbReports(), 1);
        QCOMPARE(storedColumns(1), QStringLiteral("4:1 2:2 5:3"));
        QCOMPARE(storedColumns(2), QStringLiteral("2:1"));
    }

    void noReportChosenRefusesSave() {
        auto w = open(-1, frmReportDetails::FormattingTab);
        QCOMPARE(w->shownReportIndex(), -1);
        w->chkIncludeFooter()->click();
        w->cmdApply()->click();
        QCOMPARE(ui().lastBoxText(), QStringLiteral("No report selected"));
        QCOMPARE(ui().boxes.last().icon, MsgIcon::None);
        QVERIFY(w->cmdApply()->isEnabled());
        QCOMPARE(TestDataFile::scalar("SELECT COUNT(*) FROM report_attributes").toInt(), 0);
    }

    // With the catalogue a new data file ships.
    void screenshot() {
        m_data.reset();
        m_data = std::make_unique<TestDataFile>();
        auto w = open(0);
        QCOMPARE(w->cmbReports()->count(), 14);
        QVERIFY(w->lvCurrent()->count() > 0);
        w->resize(w->sizeHint());
        if (const QString dir = qEnvironmentVariable("QV_SCREENSHOT_DIR"); !dir.isEmpty())
            QVERIFY(w->grab().save(QDir(dir).filePath(QStringLiteral("report-details.png"))));
        w->SSTab1()->setCurrentIndex(frmReportDetails::FormattingTab);
        QVERIFY(w->cmbTextColor(0)->count() > 0);
        if (const QString dir = qEnvironmentVariable("QV_SCREENSHOT_DIR"); !dir.isEmpty())
            QVERIFY(w->grab().save(QDir(dir).filePath(QStringLiteral("report-details-formatting.png"))));
    }
};

QTEST_MAIN(tst_ReportDetails)
#include "tst_report_details.moc"
