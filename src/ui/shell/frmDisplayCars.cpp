#include "shell/frmDisplayCars.h"

#include "data/Feedback.h"
#include "data/cCar.h"
#include "data/cCarCollection.h"
#include "kit/EditorKit.h"
#include "rules/CarRules.h"
#include "rules/DeleteChecks.h"
#include "shell/EntityCommands.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

frmDisplayCars::frmDisplayCars(QWidget* parent) : ListWindow(EntityKind::Car, parent) {
    setWindowTitle(QStringLiteral("Cars/Drivers"));
    setObjectName(QStringLiteral("frmDisplayCars"));
    setShownTables({QStringLiteral("cars"), QStringLiteral("race_type_dm"), QStringLiteral("group_dm"),
                    QStringLiteral("car_type_dm")});
    // The design size is 8880 x 6780 twips; it never goes below 8600 x 3200.
    resize(592, 452);
    setMinimumSize(573, 213);

    m_car = std::make_shared<cCar>();
    m_shown = std::make_shared<cCar>();
    mainLayout()->insertWidget(0, buildPanel());
    // The list comes first, then the fields in the order of the panel's rows.
    setTabChain({detailsView(), txtCarNumber, txtDriver, txtSponsor, txtOwner, txtMake, txtSalary, cmbCarType,
                 cmbRaceType, cmbGroup, cmdAdd, cmdUpdate, cmdDelete, cmdCancel});

    m_carTypes.loadNoBonus();
    for (const cCarType& t : m_carTypes)
        cmbCarType->addItem(t.carTypeName(), t.carTypeNmbr());
    reloadChoices();
    clearPanel();
    cmdAdd->setEnabled(false);
    cmdUpdate->setEnabled(false);
    cmdDelete->setEnabled(false);
}

frmDisplayCars::~frmDisplayCars() = default;

QWidget* frmDisplayCars::buildPanel() {
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("panel"));
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);

    auto lineEdit = [this](const char* name) {
        auto* e = new QLineEdit;
        e->setObjectName(QLatin1String(name));
        selectAllOnFocus(e);
        connect(e, &QLineEdit::textChanged, this, &frmDisplayCars::markChanged);
        return e;
    };
    auto comboBox = [this](const char* name) {
        auto* c = new QComboBox;
        c->setObjectName(QLatin1String(name));
        c->setEditable(false);
        connect(c, &QComboBox::currentIndexChanged, this, &frmDisplayCars::markChanged);
        connect(c, &QComboBox::activated, this, &frmDisplayCars::markChanged);
        return c;
    };
    auto button = [this](const char* name, const QString& text, void (frmDisplayCars::*handler)()) {
        auto* b = new QPushButton(text);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };

    txtCarNumber = lineEdit("txtCarNumber");
    txtDriver = lineEdit("txtDriver");
    txtSponsor = lineEdit("txtSponsor");
    txtOwner = lineEdit("txtOwner");
    txtMake = lineEdit("txtMake");
    txtSalary = lineEdit("txtSalary");
    cmbCarType = comboBox("cmbCarType");
    cmbRaceType = comboBox("cmbRaceType");
    cmbGroup = comboBox("cmbGroup");
    cmdAdd = button("cmdAdd", QStringLiteral("&Add"), &frmDisplayCars::cmdAdd_Click);
    cmdUpdate = button("cmdUpdate", QStringLiteral("&Update"), &frmDisplayCars::cmdUpdate_Click);
    cmdDelete = button("cmdDelete", QStringLiteral("&Delete"), &frmDisplayCars::cmdDelete_Click);
    cmdCancel = button("cmdCancel", QStringLiteral("&Cancel"), &frmDisplayCars::cmdCancel_Click);

    auto label = [](const char* text, QWidget* buddy) {
        auto* l = new QLabel(QLatin1String(text));
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label("Car Number:", txtCarNumber), 0, 0);
    grid->addWidget(txtCarNumber, 0, 1, Qt::AlignLeft);
    txtCarNumber->setFixedWidth(73);
    grid->addWidget(label("Driver:", txtDriver), 1, 0);
    grid->addWidget(txtDriver, 1, 1);
    grid->addWidget(label("Sponsor:", txtSponsor), 2, 0);
    grid->addWidget(txtSponsor, 2, 1);
    grid->addWidget(label("Owner:", txtOwner), 3, 0);
    grid->addWidget(txtOwner, 3, 1);
    grid->addWidget(label("Make:", txtMake), 4, 0);
    grid->addWidget(txtMake, 4, 1);
    grid->addWidget(label("Salary:", txtSalary), 1, 2);
    grid->addWidget(txtSalary, 1, 3);
    grid->addWidget(label("Car/Driver:", cmbCarType), 2, 2);
    grid->addWidget(cmbCarType, 2, 3);
    grid->addWidget(label("Race Type:", cmbRaceType), 3, 2);
    grid->addWidget(cmbRaceType, 3, 3);
    grid->addWidget(label("Group:", cmbGroup), 4, 2);
    grid->addWidget(cmbGroup, 4, 3);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    for (QPushButton* b : {cmdAdd, cmdUpdate, cmdDelete, cmdCancel})
        buttons->addWidget(b);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 4, 5, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return panel;
}

void frmDisplayCars::display(int carNmbr) {
    cCarCollection cars;
    cars.load();
    beginFill({{QStringLiteral("Car#"), 600},
               {QStringLiteral("Driver"), 2500},
               {QStringLiteral("Sponsor"), 2000},
               {QStringLiteral("Make"), 1500},
               {QStringLiteral("Owner"), 2500},
               {QStringLiteral("Salary"), 1500},
               {QStringLiteral("Race Type"), 1500}});
    m_rows.clear();
    int selected = -1;
    int panelRow = -1;
    for (const cCar& car : cars) {
        const int row =
            addRow(car.carNmbr(), {car.carTxt(), car.driverName(), car.sponsor(), car.carMake(), car.carOwner(),
                                   moneyText(car.salary()), m_raceTypes.getRaceTypeName(car.raceTypeNmbr())});
        setSortValue(row, 5, qlonglong(car.salary().units()));
        m_rows.push_back(std::shared_ptr<cCar>(car.copy()));
        if (car.carNmbr() == carNmbr)
            selected = row;
        if (car.carNmbr() == m_car->carNmbr())
            panelRow = row;
    }
    // Brought up with no listed car named (from the menu or the tree, or after a new car was not
    // stored), the list highlights the entry the panel holds rather than its first row: Update and
    // Delete act on the panel's entry, and the highlight must not show another.
    const bool panelStored = m_car->carNmbr() >= 1;
    if (selected < 0 && panelStored)
        selected = panelRow;
    endFill(selected, carNmbr == -1 && selected < 0);
    // A stored entry that is gone (deleted through the list's own commands) cannot be updated:
    // the panel would report success and store nothing.
    if (panelStored && panelRow < 0) {
        newEntry();
        return;
    }
    syncPanel();
    // A command that highlights another car (one just added in the car editor) moves the panel to
    // it as the user's own move does, asking first about the panel's edits.
    if (panelStored && !refreshing()) {
        m_keepHighlight = false;
        rowChosen();
    }
}

void frmDisplayCars::reload() {
    reloadChoices();
    display(-1);
}

void frmDisplayCars::reloadChoices() {
    m_filling = true;
    auto refill = [](QComboBox* list, const QList<QPair<QString, int>>& items) {
        const QVariant chosen = list->currentIndex() < 0 ? QVariant() : list->currentData();
        list->clear();
        for (const auto& item : items)
            list->addItem(item.first, item.second);
        list->setCurrentIndex(chosen.isValid() ? list->findData(chosen) : -1);
    };
    m_raceTypes.clear();
    m_raceTypes.load();
    QList<QPair<QString, int>> items;
    for (const cRaceType& t : m_raceTypes)
        items.append({t.raceTypeName(), t.raceTypeNmbr()});
    refill(cmbRaceType, items);
    m_groups.clear();
    m_groups.load();
    items.clear();
    for (const cGroup& g : m_groups)
        items.append({g.groupName(), g.groupNmbr()});
    items.append({QString(), -1});
    refill(cmbGroup, items);
    m_filling = false;
}

cCar* frmDisplayCars::selectedCar() const {
    const int row = selectedObject();
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].get() : nullptr;
}

bool frmDisplayCars::hasEdits() const {
    return cmdAdd->isEnabled() || cmdUpdate->isEnabled();
}

void frmDisplayCars::markChanged() {
    if (m_filling)
        return;
    if (m_car->carNmbr() < 1)
        cmdAdd->setEnabled(true);
    else
        cmdUpdate->setEnabled(true);
}

bool frmDisplayCars::savePrompt() {
    if (!hasEdits())
        return true;
    const int answer = askQuestion(QStringLiteral("Do you want to save changes"),
                                   m_car->carTxt() + QStringLiteral("   ") + m_car->driverName());
    if (answer == AnswerCancel) {
        display(m_car->carNmbr());
        return false;
    }
    if (answer == AnswerYes) {
        // A refused save keeps the panel on the edited entry, as Cancel does, so the edits are
        // not lost behind the user's back; the refusal has told what to mend.
        if (!saveCar()) {
            display(m_car->carNmbr());
            return false;
        }
        cmdAdd->setEnabled(false);
        cmdUpdate->setEnabled(false);
    }
    return true;
}

void frmDisplayCars::setLocked(QWidget* field, bool locked) {
    field->setEnabled(!locked);
    QPalette palette = field->palette();
    const QColor background = locked ? palette.color(QPalette::Active, QPalette::Button)
                                     : QWidget::palette().color(QPalette::Active, QPalette::Base);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, background);
    field->setPalette(palette);
}

void frmDisplayCars::focusField(QWidget* field) {
    // A locked field cannot take the focus; the message alone reports the refusal then.
    if (!field->isEnabled())
        return;
    field->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        edit->selectAll();
        selectAllText();
    }
}

void frmDisplayCars::rowChosen() {
    const cCar* chosen = selectedCar();
    const bool panelStored = m_car->carNmbr() >= 1;
    if (m_keepHighlight || !chosen) {
        // The highlight stays on the entry the panel holds, the one Update and Delete act on: after
        // Cancel, while the list finishes the move it was making (it selects the row once more), and
        // when the user took the highlight off (Ctrl and a click).
        highlight(panelStored ? m_car->carNmbr() : 0);
        return;
    }
    if (panelStored && chosen->carNmbr() == m_car->carNmbr())
        return;
    const int carNmbr = chosen->carNmbr();
    // Cancel puts the highlight back on the panel's entry.
    if (!savePrompt()) {
        m_keepHighlight = true;
        return;
    }
    // Saving rebuilt the list around the saved entry: the highlight goes on to the car chosen.
    if (!highlight(carNmbr)) {
        display(m_car->carNmbr());
        return;
    }
    // The panel edits the entry as stored now, not the row's copy from when the list was filled.
    m_car = std::shared_ptr<cCar>(selectedCar()->copy());
    m_car->load(m_car->carNmbr());
    fillPanel();
}

bool frmDisplayCars::highlight(int carNmbr) {
    for (size_t row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row]->carNmbr() != carNmbr)
            continue;
        if (selectedObject() != int(row))
            selectObject(int(row));
        currentView()->scrollTo(currentView()->currentIndex());
        return true;
    }
    selectObject(-1);
    return false;
}

bool frmDisplayCars::eventFilter(QObject* watched, QEvent* event) {
    // The user's next key or click in the list is a move of its own again.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
        m_keepHighlight = false;
    return ListWindow::eventFilter(watched, event);
}

namespace {

// Chooses a list's item by its number; none when the number has no name in the data file.
void chooseNumber(QComboBox* list, int number, const QString& name) {
    list->setCurrentIndex(name.trimmed().isEmpty() ? -1 : list->findData(number));
}

} // namespace

void frmDisplayCars::fillPanel() {
    m_filling = true;
    m_shown = std::shared_ptr<cCar>(m_car->copy());
    txtCarNumber->setText(m_car->carTxt());
    txtDriver->setText(m_car->driverName());
    txtSponsor->setText(m_car->sponsor());
    txtMake->setText(m_car->carMake());
    txtOwner->setText(m_car->carOwner());
    showMoney(txtSalary, m_car->salary());

    chooseNumber(cmbRaceType, m_car->raceTypeNmbr(), m_raceTypes.getRaceTypeName(m_car->raceTypeNmbr()));
    chooseNumber(cmbCarType, m_car->carTypeNmbr(), m_carTypes.getCarTypeName(m_car->carTypeNmbr()));
    chooseNumber(cmbGroup, m_car->groupNmbr(), m_groups.getGroupName(m_car->groupNmbr()));
    m_filling = false;

    setLocked(txtCarNumber, false);
    setLocked(txtDriver, false);
    if (m_car->isCar())
        setLocked(txtCarNumber, true);
    else if (m_car->isDriver())
        setLocked(txtDriver, true);
    const bool stored = m_car->carNmbr() >= 1;
    setLocked(cmbCarType, stored);
    setLocked(cmbRaceType, stored);

    cmdUpdate->setEnabled(false);
    cmdDelete->setEnabled(true);
    cmdAdd->setEnabled(false);
}

bool frmDisplayCars::syncPanel() {
    if (m_car->carNmbr() < 1)
        return true;
    auto stored = std::make_shared<cCar>();
    if (stored->load(m_car->carNmbr()) != 1)
        return false;
    const cCar& shown = *m_shown;
    m_filling = true;
    auto keepEdit = [](QLineEdit* box, const QString& shownText, const QString& storedText) {
        if (box->text() == shownText)
            box->setText(storedText);
    };
    keepEdit(txtCarNumber, shown.carTxt(), stored->carTxt());
    keepEdit(txtDriver, shown.driverName(), stored->driverName());
    keepEdit(txtSponsor, shown.sponsor(), stored->sponsor());
    keepEdit(txtMake, shown.carMake(), stored->carMake());
    keepEdit(txtOwner, shown.carOwner(), stored->carOwner());
    if (txtSalary->text() == moneyEditText(shown.salary()))
        showMoney(txtSalary, stored->salary());
    auto keepChoice = [](QComboBox* list, int shownNmbr, int storedNmbr, const QString& storedName) {
        if (list->currentIndex() < 0 || list->currentData().toInt() == shownNmbr)
            chooseNumber(list, storedNmbr, storedName);
    };
    keepChoice(cmbCarType, shown.carTypeNmbr(), stored->carTypeNmbr(),
               m_carTypes.getCarTypeName(stored->carTypeNmbr()));
    keepChoice(cmbRaceType, shown.raceTypeNmbr(), stored->raceTypeNmbr(),
               m_raceTypes.getRaceTypeName(stored->raceTypeNmbr()));
    keepChoice(cmbGroup, shown.groupNmbr(), stored->groupNmbr(), m_groups.getGroupName(stored->groupNmbr()));
    m_filling = false;
    m_car = stored;
    m_shown = std::shared_ptr<cCar>(stored->copy());
    return true;
}

void frmDisplayCars::clearPanel() {
    for (QLineEdit* box : {txtCarNumber, txtDriver, txtSponsor, txtMake, txtOwner})
        box->clear();
    showMoney(txtSalary, Currency());
    for (QComboBox* list : {cmbCarType, cmbRaceType, cmbGroup})
        list->setCurrentIndex(-1);
    for (QWidget* field : std::initializer_list<QWidget*>{txtCarNumber, txtDriver, cmbCarType, cmbRaceType})
        setLocked(field, false);
}

void frmDisplayCars::newEntry() {
    m_car = std::make_shared<cCar>();
    m_shown = std::make_shared<cCar>();
    m_filling = true;
    clearPanel();
    m_filling = false;
    cmdAdd->setEnabled(false);
    cmdUpdate->setEnabled(false);
    cmdDelete->setEnabled(false);
}

void frmDisplayCars::cmdCancel_Click() {
    if (!savePrompt())
        return;
    newEntry();
    txtCarNumber->setFocus(Qt::OtherFocusReason);
}

void frmDisplayCars::cmdAdd_Click() {
    const bool added = saveCar();
    display(m_car->carNmbr());
    // The stored entry is shown as any chosen one: its key fields are locked from now on.
    if (added)
        fillPanel();
}

void frmDisplayCars::cmdUpdate_Click() {
    // The fields then show what is stored, the salary in its edit form as after a row is chosen.
    if (saveCar())
        fillPanel();
}

void frmDisplayCars::cmdDelete_Click() {
    const int carNmbr = m_car->carNmbr();
    if (carHeldByAnyTeam(carNmbr)) {
        showValidation(carHeldRefusal(m_car->carTxt()));
        return;
    }
    if (carHasResults(carNmbr)) {
        showValidation(carResultsRefusal(m_car->carTxt()));
        return;
    }
    m_car->deleteRow();
    cmdCancel_Click();
    display(-1);
}

bool frmDisplayCars::saveCar() {
    // What is stored is the row as stored now with the panel's edits, never an older copy.
    if (!syncPanel()) {
        display(-1);
        return false;
    }
    // Held here: a refresh while a question is open may give the panel a fresh copy meanwhile.
    const std::shared_ptr<cCar> editing = m_car;
    cCar& car = *editing;
    car.setCarMake(txtMake->text());
    car.setCarTxt(txtCarNumber->text());
    car.setCarOwner(txtOwner->text());
    car.setCarTypeNmbr(cmbCarType->currentIndex() < 0 ? -1 : cmbCarType->currentData().toInt());
    car.setDriverName(txtDriver->text());
    if (cmbGroup->currentIndex() < 0)
        car.setGroupNmbr(QVariant());
    else
        car.setGroupNmbr(cmbGroup->currentData().toInt());
    car.setRaceTypeNmbr(cmbRaceType->currentIndex() < 0 ? -1 : cmbRaceType->currentData().toInt());
    Currency salary;
    const bool salaryIsNumber = readMoney(txtSalary, &salary);
    if (salaryIsNumber)
        car.setSalary(salary);
    car.setSponsor(txtSponsor->text());

    CarEntry entry;
    entry.carNmbr = car.carNmbr();
    entry.carTypeNmbr = car.carTypeNmbr();
    if (!cmbRaceType->currentText().trimmed().isEmpty())
        entry.raceTypeNmbr = car.raceTypeNmbr();
    entry.carTxt = car.carTxt();
    entry.driverName = car.driverName();
    if (salaryIsNumber)
        entry.salary = salary;
    const CarRefusal refusal = carRefusal(entry, askQuestion);
    if (refusal.refused()) {
        if (!refusal.text.isEmpty())
            showValidation(refusal.text);
        focusField(field(refusal.field));
        return false;
    }
    const bool result = car.CommitChanges();
    // The one shared window is this one, so its own display refreshes it, highlighting the saved
    // entry (a new one's row too): the highlighted row is the panel's.
    display(car.carNmbr());
    return result;
}

QWidget* frmDisplayCars::field(CarField field) const {
    switch (field) {
    case CarField::RaceType:
        return cmbRaceType;
    case CarField::CarNumber:
        return txtCarNumber;
    case CarField::Driver:
        return txtDriver;
    case CarField::CarType:
        return cmbCarType;
    case CarField::Salary:
    case CarField::None:
        break;
    }
    return txtSalary;
}
