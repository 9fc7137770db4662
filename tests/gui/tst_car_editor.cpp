#include "ListTestHelpers.h"
#include "ModalHelpers.h"
#include "ScopedLocale.h"
#include "data/cCar.h"
#include "editors/teams/frmCar.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

// The car/driver editor driven through its boxes, options and buttons, as the user would.
class CarEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fillingIsNoEdit();
    void saveRefusalsComeInOrder_data();
    void saveRefusalsComeInOrder();
    void duplicatesAreScopedByRaceTypeAndCarType();
    void onlyOneTopBonusPerRaceType();
    void newDriverIsStoredOnlyAfterTheNameQuestion();
    void raceTypeOfAHeldCarIsFrozen();
    void emptyGroupStoresNoGroup();
    void salaryBoxCannotBeLeftBlankAndEnterStoresTheShownAmount();
    void salaryIsReadInTheUsersOwnFormAndAnUneditedOneIsKept();
    void cancelPaths();
    void leaveChecksOutliveAWindowClosedDuringARefusal();
    void keyLabelShowsTheNumber();
    void screenshot();

private:
    // Opens the editor on the car, visible and active, with the recorded boxes cleared.
    void open(cCar& car);
    QLineEdit* box(const char* name) { return m_window->findChild<QLineEdit*>(QLatin1String(name)); }
    QComboBox* combo(const char* name) { return m_window->findChild<QComboBox*>(QLatin1String(name)); }
    QPushButton* button(const char* name) { return m_window->findChild<QPushButton*>(QLatin1String(name)); }
    QRadioButton* option(const char* name) { return m_window->findChild<QRadioButton*>(QLatin1String(name)); }
    // The user picks the item of that number from the list.
    void choose(const char* name, int number);
    void type(const char* name, const QString& text);
    RecordingUi& ui() { return m_data->ui(); }
    static std::unique_ptr<cCar> stored(int carNmbr) {
        auto c = std::make_unique<cCar>();
        c->load(carNmbr);
        return c;
    }

    std::unique_ptr<TestDataFile> m_data;
    std::unique_ptr<frmCar> m_window;
};

void CarEditorTest::init() {
    m_data = std::make_unique<TestDataFile>();
    QVERIFY(m_data->ok());
    addCar({.nmbr = 500,
            .txt = "24",
            .owner = "Owner",
            .driver = "Red Driver",
            .make = "Make",
            .sponsor = "Acme",
            .group = 1,
            .salary = 1500});
    addCar({.nmbr = 501,
            .carType = 2,
            .txt = "7",
            .owner = "Owner",
            .driver = "Blue Driver",
            .make = "Make",
            .sponsor = "Acme",
            .salary = 900});
    addCar({.nmbr = 502,
            .carType = 3,
            .txt = "Top Bonus",
            .owner = "Owner",
            .driver = "Bonus",
            .make = "Make",
            .sponsor = "Acme"});
    m_window = std::make_unique<frmCar>();
}

void CarEditorTest::cleanup() {
    m_window.reset();
    m_data.reset();
}

void CarEditorTest::open(cCar& car) {
    m_window->fillWith(car);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get(), kWindowWait));
    ui().clear();
}

void CarEditorTest::choose(const char* name, int number) {
    QComboBox* c = combo(name);
    const int index = c->findData(number);
    QVERIFY(index >= 0);
    c->setCurrentIndex(index);
    emit c->activated(index);
}

void CarEditorTest::type(const char* name, const QString& text) {
    box(name)->setFocus();
    box(name)->selectAll();
    QTest::keyClicks(box(name), text);
}

void CarEditorTest::fillingIsNoEdit() {
    auto car = stored(500);
    open(*car);
    QVERIFY(!button("cmdApply")->isEnabled());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Car - 24  Red Driver"));
    QVERIFY(!box("txtCarNumber")->isEnabled());
    QVERIFY(!option("OptCar")->isEnabled());
    // A stored car cannot become the race type's bonus entry.
    QVERIFY(!option("optBonus")->isEnabled());
    QCOMPARE(combo("cmbGroup")->currentText(), QStringLiteral("Group A"));
    // Without an edit Cancel closes at once.
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    QVERIFY(ui().boxes.isEmpty());
    QVERIFY(!m_window->isVisible());
}

void CarEditorTest::saveRefusalsComeInOrder_data() {
    QTest::addColumn<int>("carType");
    QTest::addColumn<int>("raceType");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QString>("salary");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    // Each row breaks the rule under test and every later one, so the first failing check shows.
    QTest::newRow("race type first") << 1 << 0 << ""
                                     << ""
                                     << "x"
                                     << "Race Type is a required field"
                                     << "cmbRaceType";
    QTest::newRow("number") << 1 << 1 << " "
                            << ""
                            << "x"
                            << "Car Number is a required field"
                            << "txtCarNumber";
    QTest::newRow("duplicate car") << 1 << 1 << "24"
                                   << ""
                                   << "x"
                                   << "Duplicate Car"
                                   << "txtCarNumber";
    QTest::newRow("driver") << 2 << 1 << "9"
                            << "  "
                            << "x"
                            << "Driver is a required field"
                            << "txtDriver";
    QTest::newRow("duplicate driver") << 2 << 1 << "9"
                                      << "Blue Driver"
                                      << "x"
                                      << "Duplicate Driver"
                                      << "txtDriver";
    QTest::newRow("no type") << 0 << 1 << "24"
                             << "Blue Driver"
                             << "x"
                             << "You must define this as a Car or Driver"
                             << "OptCar";
    QTest::newRow("salary") << 1 << 1 << "25"
                            << "New Driver"
                            << "x"
                            << "Invalid Salary amount\r\nType the amount in the form 1,234.56"
                            << "txtSalary";
}

void CarEditorTest::saveRefusalsComeInOrder() {
    QFETCH(int, carType);
    QFETCH(int, raceType);
    QFETCH(QString, number);
    QFETCH(QString, driver);
    QFETCH(QString, salary);
    QFETCH(QString, message);
    QFETCH(QString, focus);

    cCar car;
    open(car);
    if (raceType)
        choose("cmbRaceType", raceType);
    if (carType == 1)
        QTest::mouseClick(option("OptCar"), Qt::LeftButton);
    if (carType == 2)
        QTest::mouseClick(option("OptDriver"), Qt::LeftButton);
    box("txtCarNumber")->setText(number);
    box("txtDriver")->setText(driver);
    box("txtSalary")->setText(salary);
    ui().clear();

    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(ui().boxes.first().text, message);
    QCOMPARE(ui().boxes.first().title, QStringLiteral("Quorvanti"));
    QCOMPARE(ui().boxes.first().icon, MsgIcon::Critical);
    QVERIFY(m_window->isVisible());
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QVERIFY(button("cmdApply")->isEnabled());
    QCOMPARE(TestDataFile::count("SELECT COUNT(*) FROM cars"), 3);
}

void CarEditorTest::duplicatesAreScopedByRaceTypeAndCarType() {
    // The same number under another race type is a different car.
    {
        cCar car;
        open(car);
        choose("cmbRaceType", 2);
        QTest::mouseClick(option("OptCar"), Qt::LeftButton);
        box("txtCarNumber")->setText("24");
        box("txtDriver")->setText("Red Driver");
        QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
        QVERIFY2(ui().boxes.isEmpty(), qPrintable(ui().lastBoxText()));
        QVERIFY(car.carNmbr() >= 503);
        QCOMPARE(TestDataFile::count("SELECT COUNT(*) FROM cars WHERE car_txt = '24'"), 2);
        // The stored car locks its type and number.
        QVERIFY(!box("txtCarNumber")->isEnabled());
        QVERIFY(!option("OptDriver")->isEnabled());
    }
    // A driver row may carry a car's number, and a car row a driver's name.
    for (int carType : {cCar::DriverType, cCar::CarType}) {
        cCar car;
        open(car);
        choose("cmbRaceType", 1);
        QTest::mouseClick(option(carType == cCar::DriverType ? "OptDriver" : "OptCar"), Qt::LeftButton);
        box("txtCarNumber")->setText(carType == cCar::DriverType ? "24" : "88");
        box("txtDriver")->setText(carType == cCar::DriverType ? "Green Driver" : "Blue Driver");
        QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
        QCOMPARE(ui().boxes.size(), carType == cCar::DriverType ? 1 : 0); // the name question only
        QVERIFY(car.carNmbr() > 0);
    }
    // Leaving the number box of a car checks it at once and keeps the focus.
    cCar car;
    open(car);
    choose("cmbRaceType", 1);
    QTest::mouseClick(option("OptCar"), Qt::LeftButton);
    type("txtCarNumber", "24");
    box("txtSponsor")->setFocus();
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Duplicate Car"));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box("txtCarNumber"), kWindowWait);
}

void CarEditorTest::onlyOneTopBonusPerRaceType() {
    {
        cCar car;
        open(car);
        choose("cmbRaceType", 1);
        QTest::mouseClick(option("optBonus"), Qt::LeftButton);
        QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
        QCOMPARE(ui().lastBoxText(), QStringLiteral("You can only have one Bonus type per Race Type."));
        QCOMPARE(car.carNmbr(), 0);
    }
    // The stored entry itself saves; a new one for a race type without one needs no number or name.
    {
        auto car = stored(502);
        open(*car);
        QVERIFY(!option("optBonus")->isEnabled());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Bonus - Top Bonus  Bonus"));
        type("txtSponsor", "Acme Oil");
        QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        QVERIFY(ui().boxes.isEmpty());
        QCOMPARE(stored(502)->sponsor(), QStringLiteral("Acme Oil"));
    }
    {
        cCar car;
        open(car);
        choose("cmbRaceType", 6);
        QTest::mouseClick(option("optBonus"), Qt::LeftButton);
        QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        QVERIFY(ui().boxes.isEmpty());
        QCOMPARE(TestDataFile::count("SELECT COUNT(*) FROM cars WHERE race_type_nmbr = 6 AND car_type_nmbr = 3"), 1);
    }
    // A stored driver, and a new car once Apply has stored it, are offered no "Top Bonus".
    auto driver = stored(501);
    open(*driver);
    QVERIFY(!option("optBonus")->isEnabled());
    QTest::mouseClick(option("optBonus"), Qt::LeftButton);
    QVERIFY(!option("optBonus")->isChecked());
    QCOMPARE(driver->carTypeNmbr(), 2);
    cCar car;
    open(car);
    choose("cmbRaceType", 6);
    QTest::mouseClick(option("OptCar"), Qt::LeftButton);
    type("txtCarNumber", "88");
    type("txtDriver", "Green Driver");
    QVERIFY(option("optBonus")->isEnabled());
    QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
    QVERIFY(car.carNmbr() > 0);
    QVERIFY(!option("optBonus")->isEnabled());
}

void CarEditorTest::newDriverIsStoredOnlyAfterTheNameQuestion() {
    cCar car;
    open(car);
    choose("cmbRaceType", 1);
    QTest::mouseClick(option("OptDriver"), Qt::LeftButton);
    box("txtCarNumber")->setText("12");
    box("txtDriver")->setText("Grey Driver");
    for (int answer : {AnswerNo, AnswerCancel}) {
        ui().answers = {answer};
        QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        QVERIFY(ui().lastBoxText().startsWith(QStringLiteral("Driver name can not be changed once")));
        QCOMPARE(ui().boxes.last().icon, MsgIcon::None);
        QVERIFY(m_window->isVisible());
        QCOMPARE(QApplication::focusWidget(), box("txtDriver"));
        QCOMPARE(TestDataFile::count("SELECT COUNT(*) FROM cars WHERE driver_name = 'Grey Driver'"), 0);
    }
    ui().clear();
    ui().answers = {AnswerYes};
    QTest::mouseClick(button("cmdApply"), Qt::LeftButton);
    QCOMPARE(TestDataFile::count("SELECT COUNT(*) FROM cars WHERE driver_name = 'Grey Driver' AND car_type_nmbr = 2"),
             1);
    QVERIFY(!box("txtDriver")->isEnabled());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Driver - Grey Driver 12"));
    // Once stored, the name is final and the question is not asked again.
    ui().clear();
    type("txtMake", "Other");
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    QVERIFY(ui().boxes.isEmpty());
    QVERIFY(!m_window->isVisible());
}

void CarEditorTest::raceTypeOfAHeldCarIsFrozen() {
    addTeam({.nmbr = 600, .name = "T"});
    // An ended holding still freezes the race type.
    addHolding({.team = 600, .car = 500, .to = "2024-02-01"});
    {
        auto car = stored(500);
        open(*car);
        choose("cmbRaceType", 2);
        QCOMPARE(ui().lastBoxText(), QStringLiteral("Can not change Race Type.\r\nThis Car is a member of at least "
                                                    "one Team for the current Race Type."));
        QCOMPARE(combo("cmbRaceType")->currentText(), QStringLiteral("Wexford Cup"));
        QCOMPARE(car->raceTypeNmbr(), 1);
        QVERIFY(!button("cmdApply")->isEnabled());
    }
    // So does a result of any race: the race window would lose the car of the stored result.
    addRace({.nmbr = 1, .name = "R", .carType = 2, .status = 0});
    addResult({.car = 501, .race = 1, .place = 3});
    {
        auto car = stored(501);
        open(*car);
        choose("cmbRaceType", 2);
        QCOMPARE(ui().lastBoxText(), QStringLiteral("Can not change Race Type.\r\nThis Car has Results for at least "
                                                    "one Race."));
        QCOMPARE(combo("cmbRaceType")->currentText(), QStringLiteral("Wexford Cup"));
        QCOMPARE(car->raceTypeNmbr(), 1);
        QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        QCOMPARE(stored(501)->raceTypeNmbr(), 1);
    }
    TestDataFile::exec("DELETE FROM results");
    auto car = stored(501);
    open(*car);
    choose("cmbRaceType", 2);
    QVERIFY(ui().boxes.isEmpty());
    // A result stored after the race type was chosen still keeps it: the save checks again.
    TestDataFile::exec("INSERT INTO results (race_nmbr, car_nmbr, place) VALUES (1, 501, 3)");
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Can not change Race Type.\r\nThis Car has Results for at least "
                                                "one Race."));
    QVERIFY(m_window->isVisible());
    QCOMPARE(QApplication::focusWidget(), combo("cmbRaceType"));
    QCOMPARE(stored(501)->raceTypeNmbr(), 1);
    TestDataFile::exec("DELETE FROM results");
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    QCOMPARE(stored(501)->raceTypeNmbr(), 2);
}

void CarEditorTest::emptyGroupStoresNoGroup() {
    auto car = stored(500);
    open(*car);
    choose("cmbGroup", -1);
    QVERIFY(button("cmdApply")->isEnabled());
    QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
    QVERIFY(!stored(500)->hasGroup());
    // Reopened, the combo shows nothing chosen.
    auto again = stored(500);
    open(*again);
    QCOMPARE(combo("cmbGroup")->currentText(), QString());
}

void CarEditorTest::salaryBoxCannotBeLeftBlankAndEnterStoresTheShownAmount() {
    auto car = stored(500);
    open(*car);
    type("txtSalary", "");
    QTest::keyClick(box("txtSalary"), Qt::Key_Delete);
    box("txtSponsor")->setFocus();
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Salary amount\r\nType the amount in the form 1,234.56"));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box("txtSalary"), kWindowWait);

    // A good amount is taken and shown as money when the box is left.
    QTest::keyClicks(box("txtSalary"), "2000");
    box("txtSponsor")->setFocus();
    QCOMPARE(car->salary(), Currency::fromDouble(2000));
    QVERIFY(box("txtSalary")->text().contains(QStringLiteral("2,000.00")));

    // Enter presses OK while the focus stays in the salary box: the amount shown is stored.
    type("txtSalary", "2500");
    QTest::keyClick(box("txtSalary"), Qt::Key_Return);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(stored(500)->salary(), Currency::fromDouble(2500));
}

void CarEditorTest::salaryIsReadInTheUsersOwnFormAndAnUneditedOneIsKept() {
    {
        ScopedLocale us(ScopedLocale::american());
        auto car = stored(500);
        open(*car);
        QTest::mouseClick(box("txtSalary"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box("txtSalary"), kWindowWait);
        QTRY_COMPARE(box("txtSalary")->selectedText(), QStringLiteral("$1,500.00"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1.234,56"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Salary amount\r\nType the amount in the form 1,234.56"));
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box("txtSalary"), kWindowWait);
        QCOMPARE(car->salary(), Currency::fromDouble(1500));
        QTRY_COMPARE(box("txtSalary")->selectedText(), QStringLiteral("1.234,56"));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1,234.56"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(stored(500)->salary(), Currency::fromDouble(1234.56));
    }
    {
        // An imported salary with more than cents: shown as it is, and OK after another edit keeps it.
        ScopedLocale de(QLocale(QLocale::German, QLocale::Germany));
        TestDataFile::exec("UPDATE cars SET salary = 1.005 WHERE car_nmbr = 501");
        auto car = stored(501);
        open(*car);
        QCOMPARE(box("txtSalary")->text(), QString::fromUtf8("1,005\u00a0\u20ac"));
        QTest::mouseClick(box("txtSalary"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box("txtSalary"), kWindowWait);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        type("txtSponsor", "Beta");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY2(ui().boxes.isEmpty(), qPrintable(ui().lastBoxText()));
        QVERIFY(!m_window->isVisible());
        QCOMPARE(stored(501)->sponsor(), QStringLiteral("Beta"));
        QCOMPARE(stored(501)->salary(), Currency::fromUnits(10050));
    }
}

void CarEditorTest::cancelPaths() {
    auto car = stored(500);
    open(*car);
    type("txtSponsor", "Changed");
    // Esc is Cancel: it asks too.
    ui().answers = {AnswerCancel};
    QTest::keyClick(box("txtSponsor"), Qt::Key_Escape);
    QCOMPARE(ui().boxes.size(), 1);
    QCOMPARE(ui().boxes.last().text, QStringLiteral("Do you want to save changes"));
    QCOMPARE(ui().boxes.last().title, QStringLiteral("24   Red Driver"));
    QVERIFY(m_window->isVisible());
    QCOMPARE(stored(500)->sponsor(), QStringLiteral("Acme"));

    ui().answers = {AnswerYes};
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    QVERIFY(m_window->isVisible());
    QCOMPARE(stored(500)->sponsor(), QStringLiteral("Changed"));
    QVERIFY(!button("cmdApply")->isEnabled());

    // Nothing left to save: Cancel closes without a question.
    ui().clear();
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    QVERIFY(ui().boxes.isEmpty());
    QVERIFY(!m_window->isVisible());

    auto other = stored(501);
    open(*other);
    type("txtMake", "Dropped");
    ui().answers = {AnswerNo};
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(stored(501)->carMake(), QStringLiteral("Make"));
}

void CarEditorTest::leaveChecksOutliveAWindowClosedDuringARefusal() {
    auto car = stored(500);
    open(*car);
    type("txtSalary", "x");
    box("txtSponsor")->setFocus();
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Salary amount\r\nType the amount in the form 1,234.56"));
    // The window goes before the focus is given back.
    m_window.reset();
    QCoreApplication::processEvents();
    m_window = std::make_unique<frmCar>();
    auto other = stored(501);
    open(*other);
    type("txtSalary", "y");
    box("txtSponsor")->setFocus();
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Invalid Salary amount\r\nType the amount in the form 1,234.56"));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box("txtSalary"), kWindowWait);
}

void CarEditorTest::keyLabelShowsTheNumber() {
    auto car = stored(501);
    open(*car);
    QTest::mouseClick(m_window->findChild<QLabel*>(QStringLiteral("lblCarNmbr")), Qt::LeftButton);
    QCOMPARE(ui().lastBoxText(), QStringLiteral("Car number is 501"));
    QCOMPARE(ui().boxes.last().icon, MsgIcon::None);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Driver - Blue Driver 7"));
}

// With QV_SCREENSHOT_DIR set, saves a picture of the editor on a stored car.
void CarEditorTest::screenshot() {
    const QString dir = qEnvironmentVariable("QV_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("QV_SCREENSHOT_DIR not set");
    auto car = stored(500);
    open(*car);
    QVERIFY(m_window->grab().save(QDir(dir).filePath(QStringLiteral("frmCar.png"))));
}

QTEST_MAIN(CarEditorTest)
#include "tst_car_editor.moc"
