#include "DataFileTest.h"
#include "ModalHelpers.h"
#include "Rows.h"
#include "data/cRaceType.h"
#include "editors/races/frmRaceType.h"
#include "editors/races/frmRaceTypes.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>

class tst_RaceTypes : public DataFileTest {
    Q_OBJECT

private:
    static QStringList names(frmRaceTypes& w) {
        QStringList list;
        for (int i = 0; i < w.list()->topLevelItemCount(); ++i)
            list << w.list()->topLevelItem(i)->text(1);
        return list;
    }
    static void choose(frmRaceTypes& w, const QString& name) {
        const auto items = w.list()->findItems(name, Qt::MatchExactly, 1);
        QVERIFY(!items.isEmpty());
        w.list()->setCurrentItem(items.first());
    }
    static QString storedName(int nmbr) {
        return TestDataFile::scalar(
                   QStringLiteral("SELECT race_type_name FROM race_type_dm WHERE race_type_nmbr = %1").arg(nmbr))
            .toString();
    }

private slots:
    void listShowsTheRaceTypesByNameAndChoosesByExactName() {
        addRaceType({.nmbr = 500, .name = "aaa Club"});
        frmRaceTypes w;
        w.loadRaceTypes("F1");
        QStringList shown = names(w);
        QCOMPARE(shown.size(), 7);
        QStringList sorted = shown;
        // In the user's collation: "aaa Club" before "F1" wherever letter case does not rule.
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString& a, const QString& b) { return a.localeAwareCompare(b) < 0; });
        QCOMPARE(shown, sorted);
        QVERIFY(w.selectedRaceType());
        QCOMPARE(w.selectedRaceType()->raceTypeNmbr(), 6);
        w.loadRaceTypes("f1"); // case counts: falls back to the first row
        QCOMPARE(w.selectedRaceType()->raceTypeName(), shown.first());
    }

    void deleteRefusals_data() {
        QTest::addColumn<int>("nmbr");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::newRow("system") << 499 << "INSERT INTO leagues (league_nmbr, race_type_nmbr) VALUES (1, 499)"
                                << "Can't delete system generated Race Type Old Series" << int(MsgIcon::None);
        QTest::newRow("league before race")
            << 500
            << "INSERT INTO leagues (league_nmbr, race_type_nmbr) VALUES (1, 500); "
               "INSERT INTO races (race_nmbr, race_type_nmbr) VALUES (1, 500)"
            << "At least one League is using this Race Type.\r\nYou must remove Race Type Old Series from all "
               "Leagues before Race Type can be deleted."
            << int(MsgIcon::Critical);
        QTest::newRow("race") << 500 << "INSERT INTO races (race_nmbr, race_type_nmbr) VALUES (1, 500)"
                              << "At least one Race is using this Race Type.\r\nYou must remove Race Type Old Series "
                                 "from all Races before Race Type can be deleted."
                              << int(MsgIcon::Critical);
    }
    void deleteRefusals() {
        QFETCH(int, nmbr);
        QFETCH(QString, setup);
        QFETCH(QString, message);
        QFETCH(int, icon);
        addRaceType({.nmbr = nmbr, .name = "Old Series"});
        for (const QString& sql : setup.split("; "))
            TestDataFile::exec(sql);
        frmRaceTypes w;
        w.loadRaceTypes("Old Series");
        w.deleteRaceType();
        QCOMPARE(ui().boxes.size(), 1);
        QCOMPARE(ui().boxes[0].text, message);
        QCOMPARE(int(ui().boxes[0].icon), icon);
        QCOMPARE(ui().boxes[0].title, QString("Quorvanti"));
        QCOMPARE(storedName(nmbr), QString("Old Series"));
    }

    void aTypeUsedByTeamsOrCarsIsKeptAndAnUnusedOneDeletedAfterYes() {
        addRaceType({.nmbr = 500, .name = "Old Series"});
        addTeam({.nmbr = 1, .raceType = 500});
        addCar({.nmbr = 1, .raceType = 500});
        frmRaceTypes w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w, kWindowWait));
        w.loadRaceTypes("Old Series");
        w.deleteButton()->click();
        QCOMPARE(ui().boxes.size(), 1);
        QCOMPARE(ui().lastBoxText(), QString("At least one Team is using this Race Type.\r\nYou must remove Race Type "
                                             "Old Series from all Teams before Race Type can be deleted."));
        QCOMPARE(ui().boxes.last().icon, MsgIcon::Critical);
        TestDataFile::exec("DELETE FROM teams");
        w.loadRaceTypes("Old Series");
        w.deleteButton()->click();
        QCOMPARE(ui().lastBoxText(), QString("At least one Car/Driver is using this Race Type.\r\nYou must remove Race "
                                             "Type Old Series from all Cars/Drivers before Race Type can be deleted."));
        QCOMPARE(storedName(500), QString("Old Series"));

        TestDataFile::exec("DELETE FROM cars");
        w.loadRaceTypes("Old Series");
        ui().answers << AnswerNo;
        QTest::keyClick(w.list(), Qt::Key_Delete);
        QCOMPARE(ui().lastBoxText(), QString("Are you sure you want to delete Race Type Old Series"));
        QCOMPARE(storedName(500), QString("Old Series"));
        ui().answers << AnswerYes;
        w.deleteButton()->click();
        QVERIFY(TestDataFile::scalar("SELECT COUNT(*) FROM race_type_dm WHERE race_type_nmbr = 500").toInt() == 0);
        QVERIFY(!names(w).contains("Old Series"));
    }

    void addNumbersFrom500AndCancelStoresNothing() {
        frmRaceTypes w;
        w.loadRaceTypes("");
        whileModal<frmRaceType>([](frmRaceType* e) {
            QVERIFY(!e->applyButton()->isEnabled());
            QTest::keyClicks(e->nameBox(), "Sprint Series");
            QVERIFY(e->applyButton()->isEnabled());
            e->okButton()->click();
        });
        w.addButton()->click();
        QCOMPARE(storedName(500), QString("Sprint Series"));
        QCOMPARE(w.selectedRaceType()->raceTypeName(), names(w).first()); // Add chooses no row by name

        whileModal<frmRaceType>([](frmRaceType* e) {
            QTest::keyClicks(e->nameBox(), "Second");
            e->okButton()->click();
        });
        w.addButton()->click();
        QCOMPARE(storedName(501), QString("Second"));

        whileModal<frmRaceType>([](frmRaceType* e) { e->cancelButton()->click(); });
        w.addButton()->click();
        QCOMPARE(TestDataFile::scalar("SELECT COUNT(*) FROM race_type_dm").toInt(), 8);
        QVERIFY(ui().boxes.isEmpty()); // nothing typed: Cancel asks nothing
    }

    void updateThenCancelNoKeepsTheStoredName() {
        frmRaceTypes w;
        w.loadRaceTypes("F1");
        whileModal<frmRaceType>([this](frmRaceType* e) {
            QCOMPARE(e->windowTitle(), QString("Race Type - F1"));
            e->nameBox()->selectAll();
            QTest::keyClicks(e->nameBox(), "Formula");
            ui().answers << AnswerNo;
            e->cancelButton()->click();
            QCOMPARE(ui().lastBoxText(), QString("Do you want to save changes"));
            QCOMPARE(ui().boxes.last().title, QString("Formula"));
        });
        w.updateButton()->click();
        QCOMPARE(storedName(6), QString("F1"));
        QVERIFY(names(w).contains("F1"));
        QVERIFY(!names(w).contains("Formula"));
    }

    // Escape and then No in the question: the list that opened the editor has the focus again, so
    // its keys and shortcuts work without a click first.
    void escapeThenNoGivesTheFocusBackToTheList() {
        frmRaceTypes w;
        w.loadRaceTypes("F1");
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w, kWindowWait));
        QString asked;
        bool ran = false;
        whileModal<frmRaceType>([this, &asked, &ran](frmRaceType* e) {
            ran = true;
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), e->nameBox(), kWindowWait);
            QTest::keyClicks(QApplication::focusWidget(), "Formula");
            RealMessageBoxes boxes(&ui());
            answerNextBox(QMessageBox::No, &asked);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            QVERIFY(!e->isVisible());
        });
        QTest::mouseClick(w.updateButton(), Qt::LeftButton);
        QVERIFY(ran);
        QCOMPARE(asked, QString("Do you want to save changes"));
        QCOMPARE(storedName(6), QString("F1"));
        QTRY_COMPARE(QApplication::activeWindow(), &w);
        // The focus is back where the click on Update left it.
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), w.updateButton(), kWindowWait);
        // Shortcuts reach the list's window again: Alt+D asks about deleting the chosen race type.
        ui().clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(ui().boxes.size(), 1);
        QVERIFY(ui().lastBoxText().contains("F1"));
    }

    void updateStoresAndKeepsTheRowChosen() {
        frmRaceTypes w;
        w.loadRaceTypes("F1");
        whileModal<frmRaceType>([](frmRaceType* e) {
            e->nameBox()->selectAll();
            QTest::keyClicks(e->nameBox(), "Formula One");
            e->okButton()->click();
        });
        w.updateButton()->click();
        QCOMPARE(storedName(6), QString("Formula One"));
        QCOMPARE(w.selectedRaceType()->raceTypeNmbr(), 6);
    }

    void blankNameIsRefused() {
        cRaceType raceType(6, "F1");
        whileModal<frmRaceType>([this](frmRaceType* e) {
            e->nameBox()->clear();
            e->okButton()->click();
            QCOMPARE(ui().lastBoxText(), QString("Name is a required field"));
            QCOMPARE(ui().boxes.last().icon, MsgIcon::Critical);
            QVERIFY(e->isVisible());
            // Cancel, Yes: the store is refused again and the window stays open with the edit.
            ui().answers << AnswerYes;
            e->cancelButton()->click();
            QVERIFY(e->isVisible());
            QCOMPARE(ui().lastBoxText(), QString("Name is a required field"));
            QTest::mouseClick(e->nameBox(), Qt::LeftButton);
            settle();
            QTest::keyClicks(QApplication::focusWidget(), "Formula One");
            ui().answers << AnswerYes;
            e->cancelButton()->click();
            QVERIFY(!e->isVisible());
        });
        frmRaceType editor;
        editor.showWith(raceType);
        QCOMPARE(storedName(6), QString("Formula One"));
        QCOMPARE(ui().boxes.size(), 4);
    }

    // A name another race type has, trimmed and in any letter case, is refused on every path that
    // stores; a race type keeps its own name, and its own name in other letters is a rename.
    void nameInUseIsRefused() {
        frmRaceTypes w;
        w.loadRaceTypes("");
        whileModal<frmRaceType>([this](frmRaceType* e) {
            QTest::keyClicks(e->nameBox(), " f1 ");
            e->okButton()->click();
            QCOMPARE(ui().lastBoxText(), QString("Duplicate Race Type"));
            QCOMPARE(ui().boxes.last().icon, MsgIcon::Critical);
            QCOMPARE(ui().boxes.last().title, QString("Quorvanti"));
            QVERIFY(e->isVisible());
            settle();
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), e->nameBox(), kWindowWait);
            QCOMPARE(e->nameBox()->selectedText(), QString(" f1 "));
            e->applyButton()->click();
            QCOMPARE(ui().boxes.size(), 2);
            QTest::keyClicks(QApplication::focusWidget(), "F2");
            e->okButton()->click();
            QVERIFY(!e->isVisible());
        });
        w.addButton()->click();
        QCOMPARE(storedName(500), QString("F2"));
        QCOMPARE(
            TestDataFile::scalar("SELECT COUNT(*) FROM race_type_dm WHERE upper(trim(race_type_name)) = 'F1'").toInt(),
            1);

        ui().clear();
        choose(w, "F2");
        whileModal<frmRaceType>([this](frmRaceType* e) {
            e->nameBox()->selectAll();
            QTest::keyClicks(e->nameBox(), "Wexford Cup");
            e->okButton()->click();
            QCOMPARE(ui().lastBoxText(), QString("Duplicate Race Type"));
            e->nameBox()->selectAll();
            QTest::keyClicks(e->nameBox(), "f2");
            e->okButton()->click();
            QVERIFY(!e->isVisible());
        });
        w.updateButton()->click();
        QCOMPARE(storedName(500), QString("f2"));
        QCOMPARE(ui().boxes.size(), 1);
    }
};

QTEST_MAIN(tst_RaceTypes)
#include "tst_racetypes.moc"
