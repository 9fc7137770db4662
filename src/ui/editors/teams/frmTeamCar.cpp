#include "editors/teams/frmTeamCar.h"

#include "data/Feedback.h"
#include "data/cConnection.h"
#include "data/cLeague.h"
#include "editors/teams/FocusOutCheck.h"
#include "editors/teams/LeagueSalaryList.h"
#include "kit/SortByValue.h"
#include "kit/frmDate.h"
#include "platform/Clock.h"
#include "rules/PickRules.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QPushButton* makeButton(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    // A click leaves the focus where it is; the button runs the focused box's check itself.
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

QLineEdit* makeBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}
} // namespace

frmTeamCar::frmTeamCar(QWidget* parent) : EditorDialog(parent) {
    setObjectName(QStringLiteral("frmTeamCar"));
    setWindowTitle(QStringLiteral("Team Car/Driver"));
    m_checks = new FocusOutCheck(this);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    auto* page = new QWidget(SSTab1);
    SSTab1->addTab(page, QStringLiteral("Team Car/Driver"));

    auto* Label2 = new QLabel(
        QStringLiteral("Make sure effective date is prior to the date of the first race this car/driver is to be "
                       "activated for."),
        page);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);

    cmbCarTxt = new QComboBox(page);
    cmbCarTxt->setObjectName(QStringLiteral("cmbCarTxt"));
    cmbCarTxt->setEditable(false);
    txtEfctvDt = makeBox("txtEfctvDt", page);
    cmdEfctvDate = makeButton(QStringLiteral(". . ."), "cmdEfctvDate", page);
    txtTermDt = makeBox("txtTermDt", page);
    cmdTermDate = makeButton(QStringLiteral(". . ."), "cmdTermDate", page);
    cmdEfctvDate->setFixedWidth(40);
    cmdTermDate->setFixedWidth(40);
    txtSalary = makeBox("txtSalary", page);
    txtSalary->setEnabled(false);
    txtGroup = makeBox("txtGroup", page);
    txtGroup->setEnabled(false);
    lvwLeagues = new QTreeWidget(page);
    lvwLeagues->setObjectName(QStringLiteral("lvwLeagues"));
    setUpLeagueSalaryList(lvwLeagues);

    auto* grid = new QGridLayout;
    auto addRow = [&](int row, const QString& caption, const char* name, QWidget* field, QWidget* button) {
        auto* label = new QLabel(caption, page);
        label->setObjectName(QLatin1String(name));
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        if (button)
            grid->addWidget(button, row, 2);
    };
    addRow(0, QStringLiteral("Car/Driver:"), "lblCarNmbr", cmbCarTxt, nullptr);
    addRow(1, QStringLiteral("Effective Date:"), "lblEfctvDt", txtEfctvDt, cmdEfctvDate);
    addRow(2, QStringLiteral("Termination Date:"), "lblTermDate", txtTermDt, cmdTermDate);
    addRow(3, QStringLiteral("Salary:"), "lblSalary", txtSalary, nullptr);
    addRow(4, QStringLiteral("Group:"), "Label1", txtGroup, nullptr);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(Label2);
    pageLayout->addLayout(grid);
    pageLayout->addWidget(lvwLeagues);

    QPushButton* cmdOK = okButton();
    QPushButton* cmdCancel = cancelButton();
    QPushButton* cmdApply = applyButton();
    // A click leaves the focus in the date box; OK and Apply run its check themselves.
    keepFocusOnButtonClicks();
    disconnect(cmdApply, &QPushButton::clicked, this, nullptr);
    connect(cmdApply, &QPushButton::clicked, this, [this] {
        if (m_checks->checkFocused())
            apply();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(buttonRow());
    resize(440, 420);

    setTabOrder(cmbCarTxt, txtEfctvDt);
    setTabOrder(txtEfctvDt, cmdEfctvDate);
    setTabOrder(cmdEfctvDate, txtTermDt);
    setTabOrder(txtTermDt, cmdTermDate);
    setTabOrder(cmdTermDate, txtSalary);
    setTabOrder(txtSalary, txtGroup);
    setTabOrder(txtGroup, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdApply);

    m_checks->watch(txtEfctvDt, [this] { return checkEfctvDt(); });
    m_checks->watch(txtTermDt, [this] { return checkTermDt(); });

    connect(cmbCarTxt, &QComboBox::currentIndexChanged, this, &frmTeamCar::carChosen);
    // Any date put into a box, by the user or by filling, makes the pick ready to store.
    connect(txtEfctvDt, &QLineEdit::textChanged, this, [this] { applyButton()->setEnabled(true); });
    connect(txtTermDt, &QLineEdit::textChanged, this, [this] { applyButton()->setEnabled(true); });
    connect(cmdEfctvDate, &QPushButton::clicked, this, [this] { pickDate(txtEfctvDt); });
    connect(cmdTermDate, &QPushButton::clicked, this, [this] { pickDate(txtTermDt); });
}

void frmTeamCar::showWith(cTeamCar& pick, Currency teamSalary) {
    fillWith(pick, teamSalary);
    exec();
}

void frmTeamCar::fillWith(cTeamCar& pick, Currency teamSalary) {
    m_pick = &pick;
    m_team = cTeam();
    m_team.load(pick.teamNmbr());
    m_teamSalary = teamSalary;

    m_cars.clear();
    m_cars.load(m_team.raceTypeNmbr(), m_team.carTypeNmbr());
    {
        const QSignalBlocker quiet(cmbCarTxt);
        cmbCarTxt->clear();
        QList<QPair<QString, int>> choices;
        for (const cCar& car : m_cars)
            choices.append({carDisplay(car), car.carNmbr()});
        sortChoices(choices);
        for (const auto& [text, carNmbr] : choices)
            cmbCarTxt->addItem(text, carNmbr);
        cmbCarTxt->setCurrentIndex(-1);
    }

    if (pick.carNmbr() < 1) {
        setWindowTitle(QStringLiteral("Add Car/Driver for ") + m_team.teamName());
    } else {
        cCar car;
        car.load(pick.carNmbr());
        cmbCarTxt->setEnabled(false);
        QString shown;
        if (car.carTypeNmbr() != cCar::DriverType) {
            if (!car.carTxt().isEmpty()) {
                shown = car.carTxt();
                setWindowTitle(QStringLiteral("Update Car ") + shown + QStringLiteral(" for ") + m_team.teamName());
            }
        } else {
            shown = car.driverName();
            setWindowTitle(QStringLiteral("Update Driver ") + shown + QStringLiteral(" for ") + m_team.teamName());
        }
        if (!shown.isEmpty())
            cmbCarTxt->setCurrentIndex(cmbCarTxt->findText(shown, Qt::MatchFixedString));

        // The stored row is already in the team's salary and in its group's count; a change of the
        // same pick must not be measured against itself.
        cTeamCarCollection held;
        held.load(pick.teamNmbr());
        for (const cTeamCar& row : held) {
            if (row.carNmbr() == pick.carNmbr() && row.efctvDt() == pick.efctvDt()) {
                m_storedEfctvDt = row.efctvDt();
                if (pickCountsInSalary(row, today()))
                    m_ownSalary = Currency::fromDouble(row.LockedSalary());
                m_ownGroupSlot = !row.termDt().isValid();
            }
        }
    }

    txtEfctvDt->setText(shortDate(pick.efctvDt()));
    txtTermDt->setText(shortDate(pick.termDt()));
    loadLeagueSalaries(lvwLeagues, m_team.teamNmbr(), m_teamSalary);
    m_checks->acceptPresentTexts();
}

void frmTeamCar::carChosen(int index) {
    if (index < 0)
        return;
    const int carNmbr = cmbCarTxt->itemData(index).toInt();
    m_pick->setCarNmbr(carNmbr);
    cCar car;
    car.load(carNmbr);
    txtSalary->setText(moneyText(car.salary()));
    txtSalary->setProperty("amount", QVariant::fromValue<qint64>(car.salary().units()));
    m_group = std::make_unique<cGroup>();
    m_group->load(car.groupNmbr());
    txtGroup->setText(m_group->groupName());
    applyButton()->setEnabled(true);
}

bool frmTeamCar::checkEfctvDt() {
    const QDate date = parseDate(txtEfctvDt->text());
    if (!date.isValid()) {
        if (txtEfctvDt->text().trimmed().isEmpty())
            return true;
        showValidation(dateRefusal(QStringLiteral("Invalid Entry")));
        return false;
    }
    txtEfctvDt->setText(shortDate(date));
    const QString refusal = efctvDtRefusal(m_team.raceTypeNmbr(), date);
    if (!refusal.isEmpty()) {
        showValidation(refusal);
        return false;
    }
    m_pick->setEfctvDt(date);
    return true;
}

bool frmTeamCar::checkTermDt() {
    const QDate date = parseDate(txtTermDt->text());
    if (!date.isValid()) {
        if (txtTermDt->text().trimmed().isEmpty()) {
            m_pick->setTermDt(QDate());
            return true;
        }
        showValidation(dateRefusal(QStringLiteral("Invalid Entry")));
        return false;
    }
    txtTermDt->setText(shortDate(date));
    const QString refusal = termDtRefusal(m_team.teamNmbr(), m_pick->carNmbr(), date, parseDate(txtEfctvDt->text()));
    if (!refusal.isEmpty()) {
        showValidation(refusal);
        return false;
    }
    m_pick->setTermDt(date);
    return true;
}

void frmTeamCar::pickDate(QLineEdit* box) {
    const QPoint topLeft = box->mapToGlobal(QPoint(0, box->height()));
    box->setText(frmDate::pickFor(box->text(), topLeft, this));
    box->setFocus(Qt::OtherFocusReason);
}

bool frmTeamCar::applyChanges() {
    if (cmbCarTxt->currentText().trimmed().isEmpty()) {
        showValidation(QStringLiteral("Car Number is a required field"));
        return false;
    }
    if (txtEfctvDt->text().trimmed().isEmpty()) {
        showValidation(QStringLiteral("Effective Date is a required field"));
        txtEfctvDt->setFocus(Qt::OtherFocusReason);
        txtEfctvDt->selectAll();
        return false;
    }
    if (!checkDatesOnStore())
        return false;
    const Currency salary = Currency::fromUnits(txtSalary->property("amount").toLongLong());
    if (!m_pick->termDt().isValid()) {
        for (int row = 0; row < lvwLeagues->topLevelItemCount(); ++row) {
            if (salary > leagueRowAvailable(lvwLeagues, row) + m_ownSalary) {
                cLeague league;
                league.load(leagueRowNmbr(lvwLeagues, row));
                if (league.salaryCap() > Currency()) {
                    showValidation(
                        QStringLiteral("Adding this Car/Driver will exceed at least one Leagues salary Cap."));
                    return false;
                }
            }
            if (m_group->maxNmbr() >= 0) {
                cTeamCarCollection inGroup;
                const int held = inGroup.loadGroup(m_team.teamNmbr(), m_group->groupNmbr()) - (m_ownGroupSlot ? 1 : 0);
                if (held >= m_group->maxNmbr()) {
                    showValidation(groupLimitRefusal(m_group->groupName()));
                    return false;
                }
            }
        }
    }

    m_pick->setLockedSalary(salary.toDouble());
    // A store the data layer refused has shown its box; the fields stay for another try.
    if (!storePick())
        return false;

    const Currency added = salary - m_ownSalary;
    for (int row = 0; row < lvwLeagues->topLevelItemCount(); ++row) {
        cLeague league;
        league.load(leagueRowNmbr(lvwLeagues, row));
        if (league.salaryCap() > Currency()) {
            setLeagueRowAvailable(lvwLeagues, row, leagueRowAvailable(lvwLeagues, row) - added);
        }
    }

    // The next pick starts open and counts in full, as a new one.
    m_pick->setTermDt(QDate());
    m_storedEfctvDt = QDate();
    m_ownSalary = Currency();
    m_ownGroupSlot = false;
    m_group = std::make_unique<cGroup>();
    cmbCarTxt->setCurrentIndex(-1);
    txtEfctvDt->clear();
    txtGroup->clear();
    txtTermDt->clear();
    txtSalary->clear();
    txtSalary->setProperty("amount", QVariant::fromValue<qint64>(0));
    m_checks->acceptPresentTexts();
    // The next pick starts with its car (a stored pick's car stays as it is: its dates come next).
    focusWithoutLeaveChecks(cmbCarTxt->isEnabled() ? static_cast<QWidget*>(cmbCarTxt) : txtEfctvDt);
    return true;
}

// The boxes can be filled in any order, and Terminate puts a date into the termination box that
// is never left, so their rules are run again on the dates as they stand before anything is stored.
bool frmTeamCar::checkDatesOnStore() {
    const auto refuse = [](const QString& text, QLineEdit* box) {
        showValidation(text);
        focusWithoutLeaveChecks(box);
        return false;
    };
    const QDate efctvDt = parseDate(txtEfctvDt->text());
    if (!efctvDt.isValid())
        return refuse(dateRefusal(QStringLiteral("Invalid Entry")), txtEfctvDt);
    // A stored pick keeps the effective date it has, however many races were posted since.
    if (efctvDt != m_storedEfctvDt) {
        const QString refusal = efctvDtRefusal(m_team.raceTypeNmbr(), efctvDt);
        if (!refusal.isEmpty())
            return refuse(refusal, txtEfctvDt);
    }
    QDate termDt;
    if (!txtTermDt->text().trimmed().isEmpty()) {
        termDt = parseDate(txtTermDt->text());
        if (!termDt.isValid())
            return refuse(dateRefusal(QStringLiteral("Invalid Entry")), txtTermDt);
        const QString refusal = termDtRefusal(m_team.teamNmbr(), m_pick->carNmbr(), termDt, efctvDt);
        if (!refusal.isEmpty())
            return refuse(refusal, txtTermDt);
    }
    const QString held = holdingOverlapRefusal(m_team.teamNmbr(), m_pick->carNmbr(), efctvDt, termDt, m_storedEfctvDt);
    if (!held.isEmpty())
        return refuse(held, txtEfctvDt);
    m_pick->setEfctvDt(efctvDt);
    m_pick->setTermDt(termDt);
    return true;
}

bool frmTeamCar::storePick() {
    if (!m_storedEfctvDt.isValid() || m_storedEfctvDt == m_pick->efctvDt())
        return m_pick->CommitChanges();
    // A stored pick given another effective date moves its row instead of leaving a second one.
    Transaction tx;
    cTeamCar stored(*m_pick);
    stored.setEfctvDt(m_storedEfctvDt);
    if (!stored.deleteRow() || !m_pick->CommitChanges())
        return false;
    return tx.commit();
}

void frmTeamCar::okClicked() {
    if (m_checks->checkFocused())
        EditorDialog::okClicked();
}
