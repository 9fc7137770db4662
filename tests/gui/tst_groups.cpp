#include "DataFileTest.h"
#include "ModalHelpers.h"
#include "Rows.h"
#include "data/cGroup.h"
#include "editors/teams/frmGroup.h"
#include "editors/teams/frmGroups.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>

class tst_Groups : public DataFileTest {
    Q_OBJECT

private:
    static QTreeWidgetItem* row(frmGroups& w, const QString& name) {
        const auto items = w.list()->findItems(name, Qt::MatchExactly, 1);
        return items.isEmpty() ? nullptr : items.first();
    }
    static int groupCount(int nmbr) {
        return TestDataFile::scalar(QStringLiteral("SELECT COUNT(*) FROM group_dm WHERE group_nmbr = %1").arg(nmbr))
            .toInt();
    }

private slots:
    void listShowsLimits() {
        addGroup({.nmbr = 500, .maxNmbr = 3, .name = "Rookies"});
        addGroup({.nmbr = 501, .maxNmbr = -1, .name = "Open"});
        addGroup({.nmbr = 502, .name = "Legacy"});
        frmGroups w;
        w.loadGroups("Open");
        QCOMPARE(row(w, "Rookies")->text(2), QString("3"));
        QCOMPARE(row(w, "Open")->text(2), QString("No Limit"));
        QCOMPARE(row(w, "Legacy")->text(2), QString("No Limit"));
        QCOMPARE(w.selectedGroup()->groupNmbr(), 501);
    }

    void deleteRules() {
        addGroup({.nmbr = 499, .maxNmbr = 2, .name = "Shipped"});
        addGroup({.nmbr = 500, .maxNmbr = 2, .name = "Used"});
        addGroup({.nmbr = 501, .maxNmbr = 2, .name = "Spare"});
        addCar({.nmbr = 1, .carType = 2, .driver = "Pat", .group = 500});
        frmGroups w;
        w.loadGroups("Shipped");
        w.deleteGroup();
        QCOMPARE(ui().lastBoxText(), QString("Can't delete system generated Group Shipped"));
        QCOMPARE(ui().boxes.last().icon, MsgIcon::None);
        QCOMPARE(groupCount(499), 1);

        w.loadGroups("Used");
        w.deleteGroup();
        QCOMPARE(ui().lastBoxText(),
                 QString("At least one Car/Driver is using this Group.\r\nYou must remove Group Used "
                         "from all Cars/Drivers before Group can be deleted."));
        QCOMPARE(ui().boxes.last().icon, MsgIcon::Critical);
        QCOMPARE(groupCount(500), 1);

        w.loadGroups("Spare");
        ui().answers << AnswerCancel;
        QTest::keyClick(w.list(), Qt::Key_Delete);
        QCOMPARE(ui().lastBoxText(), QString("Are you sure you want to delete Group Spare"));
        QCOMPARE(groupCount(501), 1);
        ui().answers << AnswerYes;
        w.deleteButton()->click();
        QCOMPARE(groupCount(501), 0);
        QVERIFY(!row(w, "Spare"));
    }

    void editorOpensUnchangedUntilAnEdit() {
        cGroup group(500, "Rookies", 3);
        addGroup({.nmbr = 500, .maxNmbr = 3, .name = "Rookies"});
        whileModal<frmGroup>([this](frmGroup* e) {
            QCOMPARE(e->maxBox()->text(), QString("3"));
            QVERIFY(!e->noLimitBox()->isChecked());
            QVERIFY(!e->applyButton()->isEnabled());
            e->noLimitBox()->click();
            QVERIFY(e->applyButton()->isEnabled());
            ui().answers << AnswerNo;
            e->cancelButton()->click();
            QCOMPARE(ui().lastBoxText(), QString("Do you want to save changes"));
            QCOMPARE(ui().boxes.last().title, QString("Rookies"));
        });
        frmGroup editor;
        editor.showWith(group);
        QCOMPARE(ui().boxes.size(), 1);
    }

    void noLimitAndTheMaximumBox() {
        cGroup group(500, "Open", -1);
        whileModal<frmGroup>([&group](frmGroup* e) {
            QCOMPARE(e->maxBox()->text(), QString());
            QVERIFY(e->noLimitBox()->isChecked());
            // A number typed into the box unticks "No Limit" and stays as typed.
            QTest::mouseClick(e->maxBox(), Qt::LeftButton);
            settle();
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), e->maxBox(), kWindowWait);
            QTest::keyClicks(QApplication::focusWidget(), "5");
            QCOMPARE(e->maxBox()->text(), QString("5"));
            QVERIFY(!e->noLimitBox()->isChecked());
            QCOMPARE(group.maxNmbr(), 5);
            e->noLimitBox()->click();
            QCOMPARE(e->maxBox()->text(), QString());
            QCOMPARE(group.maxNmbr(), -1);
            e->noLimitBox()->click();
            QCOMPARE(e->maxBox()->text(), QString("1"));
            QCOMPARE(group.maxNmbr(), 1);
            e->maxBox()->selectAll();
            QTest::keyClicks(e->maxBox(), "12");
            QCOMPARE(group.maxNmbr(), 12);
            // Clearing the box and leaving it means no limit.
            e->maxBox()->clear();
            e->nameBox()->setFocus();
            settle();
            QVERIFY(e->noLimitBox()->isChecked());
            QCOMPARE(group.maxNmbr(), -1);
        });
        frmGroup editor;
        editor.showWith(group);
    }

    void cancelYesStaysOpenWhenTheSaveIsRefused() {
        addGroup({.nmbr = 500, .maxNmbr = 3, .name = "Rookies"});
        cGroup group(500, "Rookies", 3);
        whileModal<frmGroup>([this](frmGroup* e) {
            QTest::mouseClick(e->nameBox(), Qt::LeftButton);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
            QTest::mouseClick(e->maxBox(), Qt::LeftButton);
            settle();
            QTest::keyClicks(QApplication::focusWidget(), "7");
            ui().answers << AnswerYes;
            e->cancelButton()->click();
            QCOMPARE(ui().lastBoxText(), QString("Name is a required field"));
            QVERIFY(e->isVisible());
            QCOMPARE(e->maxBox()->text(), QString("7"));
            // The refused name has the focus: the next keys mend it and leave the maximum alone.
            settle();
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), e->nameBox(), kWindowWait);
            QTest::keyClicks(QApplication::focusWidget(), "Veterans");
            QCOMPARE(e->maxBox()->text(), QString("7"));
            ui().answers << AnswerYes;
            e->cancelButton()->click();
            QVERIFY(!e->isVisible());
        });
        frmGroup editor;
        editor.showWith(group);
        QCOMPARE(TestDataFile::scalar("SELECT group_name FROM group_dm WHERE group_nmbr = 500").toString(),
                 QString("Veterans"));
        QCOMPARE(TestDataFile::scalar("SELECT max_nmbr FROM group_dm WHERE group_nmbr = 500").toInt(), 7);
    }

    void badMaximumsAreRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("letters") << "abc";
        QTest::newRow("negative") << "-2";
        QTest::newRow("beyond 16 bits") << "40000";
    }
    void badMaximumsAreRefused() {
        QFETCH(QString, typed);
        cGroup group(500, "Rookies", 3);
        whileModal<frmGroup>([this, &group, typed](frmGroup* e) {
            e->maxBox()->setFocus();
            settle();
            e->maxBox()->setText(typed);
            e->nameBox()->setFocus();
            settle();
            QCOMPARE(ui().lastBoxText(), QString("Invalid Entry"));
            QCOMPARE(e->maxBox()->text(), QString());
            QTRY_VERIFY_WITH_TIMEOUT(e->maxBox()->hasFocus(), kWindowWait);
            QCOMPARE(group.maxNmbr(), 3);
        });
        frmGroup editor;
        editor.showWith(group);
    }

    void newGroupIsNumbered500AndNeedsAName() {
        frmGroups w;
        w.loadGroups("");
        whileModal<frmGroup>([this](frmGroup* e) {
            QCOMPARE(e->maxBox()->text(), QString("0"));
            QVERIFY(!e->noLimitBox()->isChecked());
            QTest::mouseClick(e->maxBox(), Qt::LeftButton);
            settle();
            QTest::keyClicks(QApplication::focusWidget(), "4");
            QTest::mouseClick(e->okButton(), Qt::LeftButton);
            QCOMPARE(ui().lastBoxText(), QString("Name is a required field"));
            QVERIFY(e->isVisible());
            settle();
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), e->nameBox(), kWindowWait);
            QTest::keyClicks(QApplication::focusWidget(), "Veterans");
            QCOMPARE(e->maxBox()->text(), QString("4"));
            QTest::mouseClick(e->okButton(), Qt::LeftButton);
            QVERIFY(!e->isVisible());
        });
        w.addButton()->click();
        QCOMPARE(TestDataFile::scalar("SELECT group_name FROM group_dm WHERE group_nmbr = 500").toString(),
                 QString("Veterans"));
        QCOMPARE(TestDataFile::scalar("SELECT max_nmbr FROM group_dm WHERE group_nmbr = 500").toInt(), 4);
        QVERIFY(row(w, "Veterans"));
    }

    void updateKeepsTheGroupChosen() {
        addGroup({.nmbr = 500, .maxNmbr = 3, .name = "Rookies"});
        frmGroups w;
        w.loadGroups("Rookies");
        whileModal<frmGroup>([](frmGroup* e) {
            e->nameBox()->selectAll();
            QTest::keyClicks(e->nameBox(), "Sophomores");
            e->applyButton()->click();
            QVERIFY(!e->applyButton()->isEnabled());
            e->cancelButton()->click(); // nothing left to ask about
            QVERIFY(!e->isVisible());
        });
        w.updateButton()->click();
        QCOMPARE(TestDataFile::scalar("SELECT group_name FROM group_dm WHERE group_nmbr = 500").toString(),
                 QString("Sophomores"));
        QCOMPARE(w.selectedGroup()->groupName(), QString("Sophomores"));
        QVERIFY(ui().boxes.isEmpty());
    }
};

QTEST_MAIN(tst_Groups)
#include "tst_groups.moc"
