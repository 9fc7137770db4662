#include "editors/teams/frmCar.h"

#include "data/Feedback.h"
#include "data/Regional.h"
#include "data/SqlText.h"
#include "data/cCar.h"
#include "data/cGroupCollection.h"
#include "data/cRaceTypeCollection.h"
#include "rules/CarRules.h"
#include "rules/DeleteChecks.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

frmCar::frmCar(QWidget* parent) : EditorDialog(parent) {
    setAfterSaveQuestionYes(AfterSaveQuestionYes::StayOpen);
    setWindowTitle(QStringLiteral("Car/Driver"));

    auto box = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        selectAllOnFocus(e);
        return e;
    };
    txtCarNumber = box("txtCarNumber");
    txtDriver = box("txtDriver");
    txtSponsor = box("txtSponsor");
    txtOwner = box("txtOwner");
    txtMake = box("txtMake");
    txtSalary = box("txtSalary");
    cmbRaceType = new QComboBox(this);
    cmbRaceType->setObjectName(QStringLiteral("cmbRaceType"));
    cmbGroup = new QComboBox(this);
    cmbGroup->setObjectName(QStringLiteral("cmbGroup"));

    lblCarNmbr = new QLabel(QStringLiteral("Car Number:"), this);
    lblCarNmbr->setObjectName(QStringLiteral("lblCarNmbr"));
    makeKeyLabel(lblCarNmbr, QStringLiteral("Car number is "), [this] { return m_car ? m_car->carNmbr() : 0; });

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    optBonus = new QRadioButton(QStringLiteral("Top &Bonus"), Frame1);
    optBonus->setObjectName(QStringLiteral("optBonus"));
    OptDriver = new QRadioButton(QStringLiteral("&Driver"), Frame1);
    OptDriver->setObjectName(QStringLiteral("OptDriver"));
    OptCar = new QRadioButton(QStringLiteral("Ca&r"), Frame1);
    OptCar->setObjectName(QStringLiteral("OptCar"));
    m_types = new QButtonGroup(this);
    m_types->addButton(OptCar, cCar::CarType);
    m_types->addButton(OptDriver, cCar::DriverType);
    m_types->addButton(optBonus, cCar::BonusType);
    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(optBonus);
    frameLayout->addWidget(OptDriver);
    frameLayout->addWidget(OptCar);

    auto* page = new QWidget(this);
    auto* form = new QFormLayout;
    form->addRow(lblCarNmbr, txtCarNumber);
    form->addRow(QStringLiteral("Driver:"), txtDriver);
    form->addRow(QStringLiteral("Sponsor:"), txtSponsor);
    form->addRow(QStringLiteral("Owner:"), txtOwner);
    form->addRow(QStringLiteral("Make:"), txtMake);
    form->addRow(QStringLiteral("Race Type:"), cmbRaceType);
    form->addRow(QStringLiteral("Salary:"), txtSalary);
    form->addRow(QStringLiteral("Group:"), cmbGroup);
    auto* pageLayout = new QHBoxLayout(page);
    pageLayout->addLayout(form, 1);
    pageLayout->addWidget(Frame1, 0, Qt::AlignTop);
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(page, QStringLiteral("Car/Driver"));
    setTabChain({SSTab1->tabBar(), txtCarNumber, txtDriver, txtSponsor, txtOwner, txtMake, cmbRaceType, txtSalary,
                 cmbGroup, optBonus, OptDriver, OptCar});

    keepFocusOnButtonClicks();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(buttonRow());

    installLeaveCheck(txtSalary, [this] { return salaryLeft(); });
    installLeaveCheck(txtCarNumber, [this] {
        return !(OptCar->isChecked() && cmbRaceType->currentIndex() >= 0) || passes(duplicateCarRefusal(entry()));
    });
    installLeaveCheck(txtDriver, [this] {
        return !(OptDriver->isChecked() && cmbRaceType->currentIndex() >= 0) || passes(duplicateDriverRefusal(entry()));
    });

    connect(txtCarNumber, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!live())
            return;
        m_car->setCarTxt(text);
        setTextCaption();
        markChanged();
    });
    connect(txtDriver, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!live())
            return;
        m_car->setDriverName(text);
        setTextCaption();
        markChanged();
    });
    connect(txtSponsor, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!live())
            return;
        m_car->setSponsor(text);
        markChanged();
    });
    connect(txtOwner, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!live())
            return;
        m_car->setCarOwner(text);
        markChanged();
    });
    connect(txtMake, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!live())
            return;
        m_car->setCarMake(text);
        markChanged();
    });
    connect(txtSalary, &QLineEdit::textChanged, this, [this] {
        if (live())
            markChanged();
    });
    connect(m_types, &QButtonGroup::idClicked, this, [this](int carType) {
        if (!live())
            return;
        m_car->setCarTypeNmbr(carType);
        markChanged();
    });
    connect(cmbRaceType, &QComboBox::activated, this, &frmCar::cmbRaceType_Click);
    connect(cmbGroup, &QComboBox::activated, this, &frmCar::cmbGroup_Click);
}

frmCar::~frmCar() = default;

void frmCar::showWith(cCar& car) {
    fillWith(car);
    exec();
    m_live = false;
    m_car = nullptr;
}

void frmCar::fillWith(cCar& car) {
    m_live = false;
    m_car = &car;
    setChanged(false);
    applyButton()->setEnabled(false);

    txtCarNumber->setText(car.carTxt());
    txtDriver->setText(car.driverName());
    txtMake->setText(car.carMake());
    txtSponsor->setText(car.sponsor());
    txtOwner->setText(car.carOwner());
    showMoney(txtSalary, car.salary());

    cRaceTypeCollection raceTypes;
    raceTypes.load();
    cmbRaceType->clear();
    for (const cRaceType& t : raceTypes)
        cmbRaceType->addItem(t.raceTypeName(), t.raceTypeNmbr());
    const QString raceTypeName = raceTypes.getRaceTypeName(car.raceTypeNmbr());
    cmbRaceType->setCurrentIndex(raceTypeName.trimmed().isEmpty() ? -1 : cmbRaceType->findData(car.raceTypeNmbr()));

    cGroupCollection groups;
    groups.load();
    cmbGroup->clear();
    for (const cGroup& g : groups)
        cmbGroup->addItem(g.groupName(), g.groupNmbr());
    cmbGroup->addItem(QString(), -1);
    const QString groupName = groups.getGroupName(car.groupNmbr());
    cmbGroup->setCurrentIndex(groupName.trimmed().isEmpty() ? -1 : cmbGroup->findData(car.groupNmbr()));

    // A new row starts with no type chosen and nothing locked.
    m_types->setExclusive(false);
    for (QAbstractButton* b : m_types->buttons()) {
        b->setChecked(false);
        b->setEnabled(true);
    }
    m_types->setExclusive(true);
    txtCarNumber->setEnabled(true);
    txtDriver->setEnabled(true);
    setWindowTitle(QStringLiteral("Car/Driver"));
    showCarType();
    // Filling happens before the window is shown, so none of it counts as an edit.
    m_live = true;
}

int frmCar::selectedRaceType() const {
    return cmbRaceType->currentIndex() < 0 ? 0 : cmbRaceType->currentData().toInt();
}

void frmCar::showCarType() {
    switch (m_car->carTypeNmbr()) {
    case cCar::CarType:
        OptCar->setChecked(true);
        OptCar->setEnabled(false);
        OptDriver->setEnabled(false);
        txtCarNumber->setEnabled(false);
        setCarCaption();
        break;
    case cCar::DriverType:
        OptDriver->setChecked(true);
        OptDriver->setEnabled(false);
        OptCar->setEnabled(false);
        txtDriver->setEnabled(false);
        setDriverCaption();
        break;
    case cCar::BonusType:
        optBonus->setChecked(true);
        optBonus->setEnabled(false);
        OptDriver->setEnabled(false);
        OptCar->setEnabled(false);
        txtDriver->setEnabled(true);
        setBonusCaption();
        break;
    default:
        break;
    }
    // A stored car or driver turned into the bonus entry would drop out of the salary totals with
    // its holdings and could not be turned back.
    if (m_car->carNmbr() > 0 && !optBonus->isChecked())
        optBonus->setEnabled(false);
}

void frmCar::setCarCaption() {
    setWindowTitle(QStringLiteral("Car - ") + m_car->carTxt() + QStringLiteral("  ") + m_car->driverName());
}

void frmCar::setDriverCaption() {
    setWindowTitle(QStringLiteral("Driver - ") + m_car->driverName() + QStringLiteral(" ") + m_car->carTxt());
}

void frmCar::setBonusCaption() {
    setWindowTitle(QStringLiteral("Bonus - ") + m_car->carTxt() + QStringLiteral("  ") + m_car->driverName());
}

void frmCar::setTextCaption() {
    if (OptDriver->isChecked())
        setDriverCaption();
    else
        setCarCaption();
}

bool frmCar::salaryLeft() {
    Currency amount;
    if (!readMoney(txtSalary, &amount)) {
        // A blank salary is refused too.
        showValidation(moneyRefusal(QStringLiteral("Invalid Salary amount")));
        return false;
    }
    m_car->setSalary(amount);
    const bool wasLive = m_live;
    m_live = false; // rewriting the box in the currency form is no edit of its own
    showMoney(txtSalary, amount);
    m_live = wasLive;
    return true;
}

CarEntry frmCar::entry() const {
    CarEntry car;
    car.carNmbr = m_car->carNmbr();
    car.carTypeNmbr = m_types->checkedId();
    if (!cmbRaceType->currentText().trimmed().isEmpty())
        car.raceTypeNmbr = selectedRaceType();
    car.carTxt = txtCarNumber->text();
    car.driverName = txtDriver->text();
    Currency salary;
    if (readMoney(txtSalary, &salary))
        car.salary = salary;
    return car;
}

bool frmCar::passes(const QString& refusal) {
    if (refusal.isEmpty())
        return true;
    showValidation(refusal);
    return false;
}

QWidget* frmCar::field(CarField field) const {
    switch (field) {
    case CarField::RaceType:
        return cmbRaceType;
    case CarField::CarNumber:
        return txtCarNumber;
    case CarField::Driver:
        return txtDriver;
    case CarField::CarType:
        return OptCar;
    case CarField::Salary:
    case CarField::None:
        break;
    }
    return txtSalary;
}

bool frmCar::refuse(const QString& message, QWidget* field) {
    if (!message.isEmpty())
        showValidation(message);
    focusWithoutLeaveChecks(field);
    return false;
}

bool frmCar::saveCar() {
    const CarEntry car = entry();
    const CarRefusal refusal = carRefusal(car, askQuestion);
    if (refusal.refused())
        return refuse(refusal.text, field(refusal.field));
    // Enter presses OK without the salary box losing the focus: store the amount typed, not
    // the one taken when the box was last left.
    m_car->setSalary(*car.salary);

    if (!m_car->CommitChanges())
        return false;
    showCarType();
    return true;
}

void frmCar::cmbRaceType_Click(int index) {
    if (!live() || index < 0)
        return;
    const int chosen = cmbRaceType->itemData(index).toInt();
    if (chosen == m_car->raceTypeNmbr())
        return;
    const QString refusal = raceTypeChangeRefusal(m_car->carNmbr(), m_car->raceTypeNmbr());
    if (!refusal.isEmpty()) {
        showValidation(refusal);
        cmbRaceType->setCurrentIndex(cmbRaceType->findData(m_car->raceTypeNmbr()));
        return;
    }
    m_car->setRaceTypeNmbr(chosen);
    markChanged();
}

void frmCar::cmbGroup_Click(int index) {
    if (!live() || index < 0)
        return;
    const int chosen = cmbGroup->itemData(index).toInt();
    if (chosen == m_car->groupNmbr())
        return;
    m_car->setGroupNmbr(chosen);
    markChanged();
}

QString frmCar::saveQuestionTitle() const {
    return m_car ? m_car->carTxt() + QStringLiteral("   ") + m_car->driverName() : QString();
}

void frmCar::reject() {
    m_live = false; // closing moves the focus; no handler may take that for an edit
    EditorDialog::reject();
}
