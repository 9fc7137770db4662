// Dates in the user's own form as a person meets them: typed into an editor, picked from the
// calendar, stored as ISO whatever the form shown.

#include "ModalHelpers.h"
#include "ScopedLocale.h"
#include "TestDataFile.h"
#include "data/Regional.h"
#include "editors/races/frmRace.h"
#include "posting/cRaces.h"
#include "shell/frmDate.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <memory>

class tst_RegionalDates : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDataFile> m_data;
    std::unique_ptr<cRaces> m_race;
    std::unique_ptr<frmRace> m_w;

    RecordingUi& ui() { return m_data->ui(); }
    template <class T>
    T* child(const char* name) {
        T* w = m_w->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
    void openRace() {
        m_race = std::make_unique<cRaces>();
        QVERIFY(m_race->load(1));
        m_w = std::make_unique<frmRace>();
        m_w->loadWith(*m_race);
        m_w->show();
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        ui().clear();
    }
    // Clicks into the date box and types over what it holds.
    void typeDate(const QString& text) {
        auto* box = child<QLineEdit>("txtRaceDate");
        QTest::mouseClick(box, Qt::LeftButton);
        QTRY_COMPARE(QApplication::focusWidget(), box);
        QTRY_COMPARE(box->selectedText(), box->text());
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QString storedDate() { return TestDataFile::scalar("SELECT race_dt FROM races WHERE race_nmbr = 1").toString(); }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() {
        m_data = std::make_unique<TestDataFile>();
        QVERIFY(m_data->ok());
        TestDataFile::exec("INSERT INTO races VALUES (1, 'Race One', 'T', '2024-03-01', 1, 1, 1)");
    }
    void cleanup() {
        m_w.reset();
        m_race.reset();
        m_data.reset();
    }

    void editorShowsAndReadsTheUsersForm_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("reshown");
        QTest::addColumn<QString>("wrongOrder");
        QTest::newRow("en_US") << ScopedLocale::american() << "3/1/2024" << "12/25/2026" << "12/25/2026"
                               << "25/12/2026";
        QTest::newRow("en_GB") << ScopedLocale::british() << "01/03/2024" << "25/12/2026" << "25/12/2026"
                               << "12/25/2026";
    }
    void editorShowsAndReadsTheUsersForm() {
        QFETCH(QLocale, locale);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(QString, reshown);
        QFETCH(QString, wrongOrder);
        ScopedLocale scoped(locale);
        openRace();
        auto* box = child<QLineEdit>("txtRaceDate");
        QCOMPARE(box->text(), shown);

        // The other country's order is no date here: refused, and nothing stored.
        typeDate(wrongOrder);
        QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Entry"));
        QCOMPARE(storedDate(), QStringLiteral("2024-03-01"));

        ui().clear();
        typeDate(typed);
        QVERIFY(ui().boxes.isEmpty());
        child<QPushButton>("cmdApply")->click();
        QVERIFY(ui().boxes.isEmpty());
        QCOMPARE(storedDate(), QStringLiteral("2026-12-25"));
        QCOMPARE(box->text(), reshown);

        // ISO is understood in every locale and shown back in the user's form.
        typeDate(QStringLiteral("2026-11-05"));
        child<QPushButton>("cmdApply")->click();
        QCOMPARE(storedDate(), QStringLiteral("2026-11-05"));
        QCOMPARE(box->text(), shortDate(QDate(2026, 11, 5)));
    }

    void calendarPicksInTheUsersForm() {
        ScopedLocale gb(ScopedLocale::british());
        openRace();
        whileModal<frmDate>([](frmDate* picker) {
            QCalendarWidget* calendar = picker->MonthView1();
            // "01/03/2024" is the first of March, not the third of January.
            QCOMPARE(calendar->selectedDate(), QDate(2024, 3, 1));
            auto* grid = calendar->findChild<QTableView*>();
            QVERIFY(grid);
            for (int r = 0; r < 4; ++r)
                for (int c = 1; c < grid->model()->columnCount(); ++c) { // column 0: week numbers
                    const QModelIndex i = grid->model()->index(r, c);
                    if (i.data().toString() == QLatin1String("14")) {
                        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(i).center());
                        return;
                    }
                }
            QFAIL("no 14th in the month shown");
        });
        QTest::mouseClick(child<QPushButton>("cmdRaceDate"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>("txtRaceDate")->text(), QStringLiteral("14/03/2024"));
        child<QPushButton>("cmdApply")->click();
        QCOMPARE(storedDate(), QStringLiteral("2024-03-14"));
    }
};

QTEST_MAIN(tst_RegionalDates)
#include "tst_regional_dates.moc"
