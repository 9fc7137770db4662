#include "editors/teams/frmTeam.h"

#include "editors/teams/frmLeagueTeams.h"

#include "data/Feedback.h"
#include "data/cCar.h"
#include "data/cCarTypeCollection.h"
#include "data/cLeagueTeams.h"
#include "data/cRaceTypeCollection.h"
#include "data/cTeam.h"
#include "editors/teams/frmTeamCar.h"
#include "editors/teams/frmTeamCarMultiple.h"
#include "kit/SortByValue.h"
#include "platform/Clock.h"
#include "posting/cTeamResultsCollection.h"
#include "rules/PickRules.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int PickRole = Qt::UserRole;
// The Active mark as stored, beside the one shown.
constexpr int StoredActiveRole = Qt::UserRole + 1;
constexpr int NumberColumn = 1;
constexpr int CarsTab = 1;

QPushButton* makeButton(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// The membership checklist, offered for a team that plays in no league yet.
void openMembershipChecklist(QWidget* parent, cTeam& team) {
    frmLeagueTeams checklist(parent);
    checklist.showWith(team);
}
} // namespace

frmTeam::frmTeam(QWidget* parent) : EditorDialog(parent) {
    setAfterSaveQuestionYes(AfterSaveQuestionYes::CloseWhenSaved);
    setObjectName(QStringLiteral("frmTeam"));
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));

    // ---- tab "Team" ----
    auto* teamPage = new QWidget(SSTab1);
    auto* form = new QFormLayout;
    auto addBox = [&](const QString& caption, const char* name, QLabel** labelOut = nullptr) {
        auto* box = new QLineEdit(teamPage);
        box->setObjectName(QLatin1String(name));
        selectAllOnFocus(box);
        auto* label = new QLabel(caption, teamPage);
        form->addRow(label, box);
        if (labelOut)
            *labelOut = label;
        connect(box, &QLineEdit::textChanged, this, &frmTeam::fieldEdited);
        return box;
    };
    TxtTeamName = addBox(QStringLiteral("Name:"), "TxtTeamName", &lblTeamName);
    lblTeamName->setObjectName(QStringLiteral("lblTeamName"));
    makeKeyLabel(lblTeamName, QStringLiteral("Team number is "), [this] { return m_team ? m_team->teamNmbr() : 0; });
    TxtTeamOwner = addBox(QStringLiteral("Owner:"), "TxtTeamOwner");
    txtEmail = addBox(QStringLiteral("Email:"), "txtEmail");
    txtPhone = addBox(QStringLiteral("Phone:"), "txtPhone");
    txtAddressLine1 = addBox(QStringLiteral("Address Line 1:"), "txtAddressLine1");
    txtAddressLine2 = addBox(QStringLiteral("Address Line 2:"), "txtAddressLine2");
    txtCity = addBox(QStringLiteral("City:"), "txtCity");
    txtState = addBox(QStringLiteral("State/Province:"), "txtState");
    txtZip = addBox(QStringLiteral("Zip/Postal:"), "txtZip");
    cmbRaceType = new QComboBox(teamPage);
    cmbRaceType->setObjectName(QStringLiteral("cmbRaceType"));
    form->addRow(QStringLiteral("Race Type:"), cmbRaceType);
    cmbCarType = new QComboBox(teamPage);
    cmbCarType->setObjectName(QStringLiteral("cmbCarType"));
    form->addRow(QStringLiteral("Score By:"), cmbCarType);

    lvwLeagues = new QTreeWidget(teamPage);
    lvwLeagues->setObjectName(QStringLiteral("lvwLeagues"));
    lvwLeagues->setHeaderLabels({QStringLiteral("League Name"), QStringLiteral("Salary Cap")});
    lvwLeagues->setRootIsDecorated(false);
    lvwLeagues->setColumnWidth(0, 160);
    cmdAddLeague = makeButton(QStringLiteral("Add to &League"), "cmdAddLeague", teamPage);
    auto* leaguesBox = new QVBoxLayout;
    leaguesBox->addWidget(new QLabel(QStringLiteral("Team belongs to the following Leagues:"), teamPage));
    leaguesBox->addWidget(lvwLeagues);
    leaguesBox->addWidget(cmdAddLeague, 0, Qt::AlignLeft);
    auto* teamLayout = new QHBoxLayout(teamPage);
    teamLayout->addLayout(form, 3);
    teamLayout->addLayout(leaguesBox, 2);
    SSTab1->addTab(teamPage, QStringLiteral("Team"));

    // ---- tab "Team Cars/Drivers" ----
    auto* carsPage = new QWidget(SSTab1);
    lvwTeamCars = new QTreeWidget(carsPage);
    lvwTeamCars->setObjectName(QStringLiteral("lvwTeamCars"));
    lvwTeamCars->setHeaderLabels({QStringLiteral("Active"), QStringLiteral("Number"), QStringLiteral("Driver"),
                                  QStringLiteral("Effective Dt."), QStringLiteral("Term Dt."),
                                  QStringLiteral("Locked Salary")});
    lvwTeamCars->setRootIsDecorated(false);
    lvwTeamCars->setSortingEnabled(true);
    for (const auto& [column, width] : {std::pair{0, 50}, {1, 70}, {2, 140}, {3, 95}, {4, 95}})
        lvwTeamCars->setColumnWidth(column, width);
    // Where two captions share a letter the command that changes less keeps it: Add only opens the
    // pick editor while Apply stores, and Duplicate? only reports while Update opens a pick to change.
    cmdAdd = makeButton(QStringLiteral("&Add"), "cmdAdd", carsPage);
    applyButton()->setText(QStringLiteral("A&pply"));
    CmdAddMultiple = makeButton(QStringLiteral("Add Multiple"), "CmdAddMultiple", carsPage);
    cmdUpdate = makeButton(QStringLiteral("Updat&e"), "cmdUpdate", carsPage);
    cmdDelete = makeButton(QStringLiteral("&Delete"), "cmdDelete", carsPage);
    cmdTerm = makeButton(QStringLiteral("&Terminate"), "cmdTerm", carsPage);
    cmdTermAll = makeButton(QStringLiteral("Terminate All"), "cmdTermAll", carsPage);
    cmdCheckDuplicate = makeButton(QStringLiteral("D&uplicate?"), "cmdCheckDuplicate", carsPage);
    txtTotalSalary = new QLineEdit(carsPage);
    txtTotalSalary->setObjectName(QStringLiteral("txtTotalSalary"));
    txtTotalSalary->setReadOnly(true);
    txtTotalSalary->setAlignment(Qt::AlignRight);
    auto* holdingButtons = new QVBoxLayout;
    for (QPushButton* b : {cmdAdd, CmdAddMultiple, cmdUpdate, cmdDelete, cmdTerm, cmdTermAll, cmdCheckDuplicate})
        holdingButtons->addWidget(b);
    holdingButtons->addStretch();
    auto* total = new QHBoxLayout;
    total->addStretch();
    total->addWidget(new QLabel(QStringLiteral("Total Salary:"), carsPage));
    total->addWidget(txtTotalSalary);
    auto* listAndTotal = new QVBoxLayout;
    listAndTotal->addWidget(lvwTeamCars);
    listAndTotal->addLayout(total);
    auto* carsLayout = new QHBoxLayout(carsPage);
    carsLayout->addLayout(listAndTotal, 1);
    carsLayout->addLayout(holdingButtons);
    SSTab1->addTab(carsPage, QStringLiteral("Team Cars/Drivers"));

    // Enter in a box stores nothing: the team editor has no default button.
    setNoDefaultButton();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(buttonRow());
    resize(720, 440);

    connect(cmbRaceType, &QComboBox::activated, this, &frmTeam::raceTypeChosen);
    connect(cmbCarType, &QComboBox::activated, this, &frmTeam::carTypeChosen);
    connect(SSTab1, &QTabWidget::currentChanged, this, &frmTeam::tabChanged);
    connect(lvwTeamCars, &QTreeWidget::itemChanged, this, &frmTeam::activeMarkChanged);
    connect(lvwTeamCars, &QTreeWidget::itemDoubleClicked, this, &frmTeam::updatePick);
    connect(cmdAdd, &QPushButton::clicked, this, &frmTeam::addPick);
    connect(CmdAddMultiple, &QPushButton::clicked, this, &frmTeam::addMultiple);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmTeam::updatePick);
    connect(cmdTerm, &QPushButton::clicked, this, &frmTeam::terminatePick);
    connect(cmdTermAll, &QPushButton::clicked, this, &frmTeam::terminateAll);
    connect(cmdDelete, &QPushButton::clicked, this, &frmTeam::deletePick);
    connect(cmdCheckDuplicate, &QPushButton::clicked, this, &frmTeam::checkDuplicate);
    connect(cmdAddLeague, &QPushButton::clicked, this, &frmTeam::addToLeague);
}

frmTeam::~frmTeam() = default;

void frmTeam::showWith(cTeam& team) {
    fillWith(team);
    exec();
}

void frmTeam::fillWith(cTeam& team) {
    m_filling = true;
    m_team = &team;
    teamDirty = false;
    rowsDirty = false;
    TxtTeamName->setText(team.teamName());
    TxtTeamOwner->setText(team.teamOwner());
    txtEmail->setText(team.email());
    txtPhone->setText(team.phone());
    txtAddressLine1->setText(team.addressLine1());
    txtAddressLine2->setText(team.addressLine2());
    txtCity->setText(team.city());
    txtState->setText(team.state());
    txtZip->setText(team.zip());

    cmbRaceType->clear();
    cRaceTypeCollection raceTypes;
    raceTypes.load();
    for (const cRaceType& rt : raceTypes)
        cmbRaceType->addItem(rt.raceTypeName(), rt.raceTypeNmbr());
    cmbRaceType->setCurrentIndex(-1);
    if (!raceTypes.getRaceTypeName(team.raceTypeNmbr()).trimmed().isEmpty())
        selectType(cmbRaceType, team.raceTypeNmbr());
    cmbCarType->clear();
    cCarTypeCollection carTypes;
    carTypes.loadNoBonus();
    for (const cCarType& ct : carTypes)
        cmbCarType->addItem(ct.carTypeName(), ct.carTypeNmbr());
    cmbCarType->setCurrentIndex(-1);
    if (!carTypes.getCarTypeName(team.carTypeNmbr()).trimmed().isEmpty())
        selectType(cmbCarType, team.carTypeNmbr());

    loadTeamLeagues();
    setWindowTitle(QStringLiteral("Team - ") + team.teamName());
    applyButton()->setEnabled(false);
    m_filling = false;
}

void frmTeam::fieldEdited() {
    if (m_filling || !isVisible() || !m_team)
        return;
    auto* box = qobject_cast<QLineEdit*>(sender());
    const QString text = box->text();
    if (box == TxtTeamName) {
        m_team->setTeamName(text);
        setWindowTitle(QStringLiteral("Team - ") + text);
    } else if (box == TxtTeamOwner) {
        m_team->setTeamOwner(text);
    } else if (box == txtEmail) {
        m_team->setEmail(text);
    } else if (box == txtPhone) {
        m_team->setPhone(text);
    } else if (box == txtAddressLine1) {
        m_team->setAddressLine1(text);
    } else if (box == txtAddressLine2) {
        m_team->setAddressLine2(text);
    } else if (box == txtCity) {
        m_team->setCity(text);
    } else if (box == txtState) {
        m_team->setState(text);
    } else if (box == txtZip) {
        m_team->setZip(text);
    }
    teamDirty = true;
    markChanged();
}

void frmTeam::selectType(QComboBox* combo, int nmbr) {
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(combo->findData(nmbr));
}

void frmTeam::raceTypeChosen(int index) {
    if (!isVisible() || index < 0)
        return;
    const int chosen = cmbRaceType->itemData(index).toInt();
    if (m_team->teamNmbr() >= 1) {
        if (chosen == m_team->raceTypeNmbr())
            return;
        // Held picks are checked first: they tie the team to its series even outside any league.
        if (cTeamCarCollection().raceTypeExists(m_team->raceTypeNmbr(), m_team->teamNmbr())) {
            showValidation(QStringLiteral("Can not change Race Type while Team Cars exist for the Race Type."));
            selectType(cmbRaceType, m_team->raceTypeNmbr());
            return;
        }
        if (cLeagueTeamsCollection().raceTypeExists(m_team->raceTypeNmbr(), std::nullopt, m_team->teamNmbr())) {
            showValidation(QStringLiteral("Can not change Race Type.") + QStringLiteral("\r\n") +
                           QStringLiteral("This Team is a member of at least one League for the current Race Type."));
            selectType(cmbRaceType, m_team->raceTypeNmbr());
            return;
        }
    }
    m_team->setRaceTypeNmbr(chosen);
    teamDirty = true;
    markChanged();
}

void frmTeam::carTypeChosen(int index) {
    if (!isVisible() || index < 0)
        return;
    const int chosen = cmbCarType->itemData(index).toInt();
    if (m_team->teamNmbr() >= 1) {
        if (chosen == m_team->carTypeNmbr())
            return;
        if (cTeamCarCollection().carTypeExists(m_team->carTypeNmbr(), m_team->teamNmbr())) {
            showValidation(QStringLiteral("Can not change Score By while Team Cars exist for the Score By type."));
            selectType(cmbCarType, m_team->carTypeNmbr());
            return;
        }
        if (cLeagueTeamsCollection().carTypeExists(m_team->carTypeNmbr(), std::nullopt, m_team->teamNmbr())) {
            showValidation(QStringLiteral("Can not change Score By.") + QStringLiteral("\r\n") +
                           QStringLiteral("This Team is a member of at least one League for the Score By Type."));
            selectType(cmbCarType, m_team->carTypeNmbr());
            return;
        }
    }
    m_team->setCarTypeNmbr(chosen);
    teamDirty = true;
    markChanged();
}

void frmTeam::loadTeamLeagues() {
    m_leagues = std::make_unique<cLeagueCollection>();
    if (m_team->teamNmbr() <= 0)
        return;
    if (m_leagues->loadForTeam(m_team->teamNmbr()) < 1)
        return;
    lvwLeagues->clear();
    for (const cLeague& league : *m_leagues)
        new QTreeWidgetItem(lvwLeagues, {league.leagueName(), moneyText(league.salaryCap())});
    lvwLeagues->sortItems(0, Qt::AscendingOrder);
}

bool frmTeam::validateTeam() {
    auto refuse = [](const QString& text, QWidget* field) {
        showValidation(text);
        field->setFocus(Qt::OtherFocusReason);
        if (auto* box = qobject_cast<QLineEdit*>(field))
            box->selectAll();
        return false;
    };
    if (TxtTeamName->text().trimmed().isEmpty())
        return refuse(QStringLiteral("Team Name is a required field"), TxtTeamName);
    if (cmbRaceType->currentText().trimmed().isEmpty())
        return refuse(QStringLiteral("Race Type is a required field"), cmbRaceType);
    if (cmbCarType->currentText().trimmed().isEmpty())
        return refuse(QStringLiteral("Score By is a required field"), cmbCarType);
    return m_team->CommitChanges();
}

bool frmTeam::applyTeamChanges() {
    return apply();
}

QString frmTeam::saveQuestionTitle() const {
    return m_team ? m_team->teamName() : QString();
}

bool frmTeam::applyChanges() {
    if (teamDirty) {
        if (!validateTeam())
            return false;
        cLeagueTeamsCollection memberships;
        if (memberships.load(std::nullopt, m_team->teamNmbr()) == 0)
            openMembershipChecklist(this, *m_team);
        loadTeamLeagues();
        teamDirty = false;
    }
    if (rowsDirty) {
        if (!updateTeamCarRows())
            return false;
        rowsDirty = false;
    }
    return true;
}

// Only the rows whose Active mark was changed here are written: the others are as stored.
bool frmTeam::updateTeamCarRows() {
    for (int row = 0; row < lvwTeamCars->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = lvwTeamCars->topLevelItem(row);
        cTeamCar* pick = m_holdings ? m_holdings->Item(item->data(0, PickRole).toInt()) : nullptr;
        if (!pick || pick->active() == item->data(0, StoredActiveRole).toInt())
            continue;
        if (!pick->updateRow())
            return false;
        item->setData(0, StoredActiveRole, pick->active());
    }
    return true;
}

void frmTeam::loadTeamCars() {
    m_teamSalary = Currency();
    m_holdings = std::make_unique<cTeamCarCollection>();
    m_holdings->loadNoBonus(m_team->teamNmbr());
    const QSignalBlocker quiet(lvwTeamCars);
    lvwTeamCars->clear();
    // A team without picks shows an empty list: no blank row that the keys would seem to act on.
    for (int position = 1; position <= m_holdings->Count(); ++position)
        addTeamCarItem(*m_holdings->Item(position), position);
    txtTotalSalary->setText(moneyText(m_teamSalary));
    // The keys have a row to act on from the start: Space ticks its Active box.
    lvwTeamCars->setCurrentItem(lvwTeamCars->topLevelItem(0));
}

void frmTeam::addTeamCarItem(cTeamCar& pick, int position) {
    cCar car;
    car.load(pick.carNmbr());
    const QString termText = pick.termDt().isValid() ? shortDate(pick.termDt()) : QStringLiteral(" ");
    const Currency lockedSalary = Currency::fromDouble(pick.LockedSalary());
    auto* item = new ValueSortTreeItem(QStringList{QString(), car.carTxt(), car.driverName(), shortDate(pick.efctvDt()),
                                                   termText, moneyText(lockedSalary)});
    item->setData(3, SortValueRole, pick.efctvDt());
    item->setData(4, SortValueRole, pick.termDt());
    item->setData(5, SortValueRole, qlonglong(lockedSalary.units()));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, pick.active() != 0 ? Qt::Checked : Qt::Unchecked);
    item->setData(0, PickRole, position);
    item->setData(0, StoredActiveRole, pick.active());
    item->setTextAlignment(5, Qt::AlignRight | Qt::AlignVCenter);
    lvwTeamCars->addTopLevelItem(item);
    if (pickCountsInSalary(pick, today()))
        m_teamSalary += Currency::fromDouble(pick.LockedSalary());
}

void frmTeam::tabChanged(int index) {
    if (index == m_previousTab)
        return;
    m_previousTab = index;
    // A refused save shows its message, but the other tab is shown all the same.
    if (applyButton()->isEnabled())
        apply();
    if (index == CarsTab && lvwTeamCars->topLevelItemCount() == 0) {
        loadTeamCars();
        lvwTeamCars->sortItems(NumberColumn, Qt::AscendingOrder);
        lvwTeamCars->setCurrentItem(lvwTeamCars->topLevelItem(0));
    }
}

void frmTeam::activeMarkChanged(QTreeWidgetItem* item, int column) {
    if (column != 0 || !isVisible() || !m_holdings)
        return;
    cTeamCar* pick = m_holdings->Item(item->data(0, PickRole).toInt());
    if (!pick)
        return;
    const int active = item->checkState(0) == Qt::Checked ? 1 : 0;
    if (active == pick->active())
        return;
    pick->setActive(active);
    rowsDirty = true;
    markChanged();
}

cTeamCar* frmTeam::selectedPick() const {
    QTreeWidgetItem* item = lvwTeamCars->currentItem();
    if (!item || !m_holdings)
        return nullptr;
    return m_holdings->Item(item->data(0, PickRole).toInt());
}

void frmTeam::openPickEditor(cTeamCar& pick) {
    frmTeamCar editor(this);
    editor.showWith(pick, m_teamSalary);
}

// Picks belong to a stored team: a team not stored yet is stored first, with the checks and the
// league question of any save; a refusal has said why and no pick is added.
bool frmTeam::teamStoredForPicks() {
    if (m_team->teamNmbr() >= 1)
        return true;
    teamDirty = true;
    return apply() && m_team->teamNmbr() >= 1;
}

void frmTeam::addPick() {
    if (!teamStoredForPicks())
        return;
    cTeamCar pick;
    pick.setTeamNmbr(m_team->teamNmbr());
    openPickEditor(pick);
    reloadTeamCars();
}

void frmTeam::addMultiple() {
    if (!teamStoredForPicks())
        return;
    frmTeamCarMultiple editor(this);
    editor.showWith(*m_team, m_teamSalary);
    reloadTeamCars();
}

// The pick editor stores the whole pick, so it gets the pick as stored: an Active mark changed
// here and not yet applied stays this window's to store with its OK or Apply, or to drop with
// its Cancel.
cTeamCar frmTeam::storedPick() const {
    cTeamCar pick(*selectedPick());
    pick.setActive(lvwTeamCars->currentItem()->data(0, StoredActiveRole).toInt());
    return pick;
}

void frmTeam::updatePick() {
    if (!selectedPick())
        return;
    cTeamCar pick = storedPick();
    openPickEditor(pick);
    reloadTeamCars();
}

void frmTeam::terminatePick() {
    if (!selectedPick())
        return;
    // Only in the pick editor: the date is stored if the pick editor stores the pick.
    cTeamCar pick = storedPick();
    pick.setTermDt(today());
    openPickEditor(pick);
    reloadTeamCars();
}

void frmTeam::terminateAll() {
    cTeamCarCollection().TermAll(m_team->teamNmbr(), today());
    reloadTeamCars();
}

// The holdings list is read again from the data file after the holdings buttons; Active marks
// changed and not yet applied are carried onto the rows read, so they are still there to store.
void frmTeam::reloadTeamCars() {
    struct Mark {
        int carNmbr;
        QDate efctvDt;
        int active;
    };
    QList<Mark> marks;
    if (rowsDirty && m_holdings)
        for (const cTeamCar& pick : *m_holdings)
            marks.append({pick.carNmbr(), pick.efctvDt(), pick.active()});
    loadTeamCars();
    if (marks.isEmpty())
        return;
    bool pending = false;
    const QSignalBlocker quiet(lvwTeamCars);
    for (int row = 0; row < lvwTeamCars->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = lvwTeamCars->topLevelItem(row);
        cTeamCar* pick = m_holdings->Item(item->data(0, PickRole).toInt());
        if (!pick)
            continue;
        for (const Mark& mark : marks) {
            if (mark.carNmbr != pick->carNmbr() || mark.efctvDt != pick->efctvDt() || mark.active == pick->active())
                continue;
            pick->setActive(mark.active);
            item->setCheckState(0, mark.active != 0 ? Qt::Checked : Qt::Unchecked);
            pending = true;
        }
    }
    rowsDirty = pending;
}

void frmTeam::deletePick() {
    cTeamCar* pick = selectedPick();
    if (!pick)
        return;
    if (cTeamResultsCollection().resultsForCarExistsAfterDate(m_team->teamNmbr(), pick->carNmbr(), pick->efctvDt())) {
        showValidation(QStringLiteral("Car/Driver has been scored for this Team and can not be deleted until all "
                                      "Scoring for this Team Car/Driver is deleted."));
        return;
    }
    pick->deleteRow();
    reloadTeamCars();
}

void frmTeam::checkDuplicate() {
    const int other = cTeamCar().duplicateTeam(m_team->teamNmbr());
    QString text = QStringLiteral("Team not Duplicated.");
    if (other >= 1) {
        cTeam team;
        team.load(other);
        text = QStringLiteral("Duplicate team with ") + team.teamName();
    }
    ui().messageBox(text, QStringLiteral("Quorvanti"), MsgIcon::Information, MsgButtons::Ok);
}

void frmTeam::addToLeague() {
    // The team is stored first so the checklist has a number to join; the next Apply stores it again.
    if (teamDirty && !validateTeam())
        return;
    openMembershipChecklist(this, *m_team);
    loadTeamLeagues();
}
