#include "editors/teams/frmTeamCarMultiple.h"

#include "data/CommonCode.h"
#include "data/cLeague.h"
#include "data/cTeamCar.h"
#include "editors/teams/FocusOutCheck.h"
#include "editors/teams/PickRules.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int DesignedRows = 7;

QPushButton* makeButton(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

void showPlain(const QString& text) { ui().messageBox(text, QStringLiteral("Quorvanti"), MsgIcon::None, MsgButtons::Ok); }
} // namespace

frmTeamCarMultiple::frmTeamCarMultiple(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTeamCarMultiple"));
    setWindowTitle(QStringLiteral("Add Team Cars/Drivers"));
    m_checks = new FocusOutCheck(this);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    auto* page = new QWidget(SSTab1);
    SSTab1->addTab(page, QStringLiteral("Team Cars/Drivers"));
    m_rowsLayout = new QGridLayout;
    const QStringList headings = {QStringLiteral("Car/Driver"), QStringLiteral("Effective Date"),
                                  QStringLiteral("Termination Date"), QStringLiteral("Salary"), QStringLiteral("Group")};
    for (int c = 0; c < headings.size(); ++c)
        m_rowsLayout->addWidget(new QLabel(headings[c], page), 0, c);
    m_rowsLayout->addWidget(new QLabel(QStringLiteral("Hit enter to add row"), page), 0, headings.size());
    lvwLeagues = new QTreeWidget(page);
    lvwLeagues->setObjectName(QStringLiteral("lvwLeagues"));
    setUpLeagueSalaryList(lvwLeagues);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addLayout(m_rowsLayout);
    pageLayout->addWidget(lvwLeagues);

    cmdOK = makeButton(QStringLiteral("&OK"), "cmdOK", this);
    cmdCancel = makeButton(QStringLiteral("&Cancel"), "cmdCancel", this);
    cmdApply = makeButton(QStringLiteral("&Apply"), "cmdApply", this);
    cmdApply->setEnabled(false);
    m_checks->passWhenFocusGoesTo(cmdCancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdApply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(buttons);

    for (int row = 0; row < DesignedRows; ++row)
        addRow();
    resize(640, 460);

    connect(cmdApply, &QPushButton::clicked, this, &frmTeamCarMultiple::apply);
    connect(cmdOK, &QPushButton::clicked, this, &frmTeamCarMultiple::ok);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmTeamCarMultiple::addRow() {
    const int row = int(m_rows.size());
    QWidget* page = SSTab1->widget(0);
    Row r{};
    r.cmbCar = new QComboBox(page);
    r.cmbCar->setObjectName(QStringLiteral("cmbCar%1").arg(row));
    auto box = [&](const char* name) {
        auto* b = new QLineEdit(page);
        b->setObjectName(QLatin1String(name) + QString::number(row));
        return b;
    };
    r.txtEfctvDt = box("txtEfctvDt");
    r.txtTermDt = box("txtTermDt");
    r.txtSalary = box("txtSalary");
    r.txtSalary->setEnabled(false);
    r.txtSalary->setAlignment(Qt::AlignRight);
    r.txtGroup = box("txtGroup");
    r.txtGroup->setEnabled(false);
    m_rowsLayout->addWidget(r.cmbCar, row + 1, 0);
    m_rowsLayout->addWidget(r.txtEfctvDt, row + 1, 1);
    m_rowsLayout->addWidget(r.txtTermDt, row + 1, 2);
    m_rowsLayout->addWidget(r.txtSalary, row + 1, 3);
    m_rowsLayout->addWidget(r.txtGroup, row + 1, 4);
    m_rows.push_back(r);

    m_checks->watch(r.txtEfctvDt, [this, row] { return checkEfctvDt(row); });
    m_checks->watch(r.txtTermDt, [this, row] { return checkTermDt(row); });
    connect(r.cmbCar, &QComboBox::activated, this, [this, row](int index) { carChosen(row, index); });
    connect(r.txtEfctvDt, &QLineEdit::textChanged, this, [this] { cmdApply->setEnabled(true); });
    connect(r.txtTermDt, &QLineEdit::textChanged, this, [this] { cmdApply->setEnabled(true); });
    connect(r.txtEfctvDt, &QLineEdit::returnPressed, this, [this, row] { nextRow(row); });
    connect(r.txtTermDt, &QLineEdit::returnPressed, this, [this, row] { nextRow(row); });
    if (!m_cars.isEmpty())
        loadCarCombo(row);
}

void frmTeamCarMultiple::showWith(cTeam& team, Currency teamSalary) {
    fillWith(team, teamSalary);
    exec();
}

void frmTeamCarMultiple::fillWith(cTeam& team, Currency teamSalary) {
    m_team = team;
    m_teamSalary = teamSalary;
    m_cars.clear();
    m_cars.load(team.raceTypeNmbr(), team.carTypeNmbr());
    for (int row = 0; row < int(m_rows.size()); ++row)
        loadCarCombo(row);
    setWindowTitle(QStringLiteral("Add Car/Driver for ") + team.teamName());
    loadLeagueSalaries(lvwLeagues, team.teamNmbr(), teamSalary);
}

void frmTeamCarMultiple::loadCarCombo(int row) {
    QComboBox* combo = m_rows[size_t(row)].cmbCar;
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const cCar& car : m_cars)
        combo->addItem(carDisplay(car), car.carNmbr());
    combo->setCurrentIndex(-1);
}

int frmTeamCarMultiple::chosenCar(int row) const {
    const QComboBox* combo = m_rows[size_t(row)].cmbCar;
    return combo->currentIndex() < 0 ? 0 : combo->currentData().toInt();
}

void frmTeamCarMultiple::carChosen(int row, int index) {
    if (index < 0)
        return;
    Row& r = m_rows[size_t(row)];
    const int carNmbr = r.cmbCar->itemData(index).toInt();
    r.txtGroup->setText(m_cars.getCarGroupDisplay(carNmbr));
    r.salary = m_cars.getCarSalary(carNmbr);
    r.txtSalary->setText(currencyText(r.salary));
    cmdApply->setEnabled(true);
}

bool frmTeamCarMultiple::checkEfctvDt(int row) {
    QLineEdit* box = m_rows[size_t(row)].txtEfctvDt;
    const QDate date = parseDate(box->text());
    if (!date.isValid()) {
        if (box->text().trimmed().isEmpty())
            return true;
        showValidation(QStringLiteral("Invalid Entry"));
        return false;
    }
    box->setText(shortDate(date));
    const QString refusal = efctvDtRefusal(m_team.raceTypeNmbr(), date);
    if (!refusal.isEmpty()) {
        showValidation(refusal);
        return false;
    }
    return true;
}

bool frmTeamCarMultiple::checkTermDt(int row) {
    const Row& r = m_rows[size_t(row)];
    const QDate date = parseDate(r.txtTermDt->text());
    if (!date.isValid()) {
        if (r.txtTermDt->text().trimmed().isEmpty())
            return true;
        showValidation(QStringLiteral("Invalid Entry"));
        return false;
    }
    r.txtTermDt->setText(shortDate(date));
    const QString refusal = termDtRefusal(m_team.teamNmbr(), chosenCar(row), date, parseDate(r.txtEfctvDt->text()));
    if (!refusal.isEmpty()) {
        showValidation(refusal);
        return false;
    }
    return true;
}

void frmTeamCarMultiple::nextRow(int row) {
    if (row + 1 >= int(m_rows.size()))
        addRow();
    m_rows[size_t(row + 1)].cmbCar->setFocus(Qt::OtherFocusReason);
}

bool frmTeamCarMultiple::addTeamCars() {
    Currency total;
    for (int row = 0; row < int(m_rows.size()); ++row) {
        if (chosenCar(row) < 1)
            continue;
        const Row& r = m_rows[size_t(row)];
        if (!parseDate(r.txtEfctvDt->text()).isValid()) {
            showPlain(QStringLiteral("Effective date is required"));
            nextRow(row);
            r.txtEfctvDt->setFocus(Qt::OtherFocusReason);
            r.txtEfctvDt->selectAll();
            return false;
        }
        total += r.salary;
    }
    for (int i = 0; i < lvwLeagues->topLevelItemCount(); ++i) {
        if (total > leagueRowAvailable(lvwLeagues, i)) {
            cLeague league;
            league.load(leagueRowNmbr(lvwLeagues, i));
            if (league.salaryCap() > Currency()) {
                showPlain(QStringLiteral("Adding these cars/drivers will exceed at least one leagues salary cap."));
                return false;
            }
        }
    }
    Currency stored;
    for (int row = 0; row < int(m_rows.size()); ++row) {
        const int carNmbr = chosenCar(row);
        if (carNmbr < 1)
            continue;
        const Row& r = m_rows[size_t(row)];
        cTeamCar pick;
        pick.setCarNmbr(carNmbr);
        pick.setEfctvDt(parseDate(r.txtEfctvDt->text()));
        pick.setLockedSalary(r.salary.toDouble());
        pick.setTeamNmbr(m_team.teamNmbr());
        pick.setTermDt(parseDate(r.txtTermDt->text()));
        const bool inserted = pick.insertRow();
        if (inserted) {
            // A stored row is emptied, so a later Apply or OK cannot store it a second time.
            stored += r.salary;
            clearRow(row);
        }
        if (!inserted)
            break;
    }
    // What was stored now counts against the capped leagues for the rows still to come.
    for (int i = 0; i < lvwLeagues->topLevelItemCount(); ++i) {
        cLeague league;
        league.load(leagueRowNmbr(lvwLeagues, i));
        if (league.salaryCap() > Currency() && stored > Currency()) {
            const Currency left = leagueRowAvailable(lvwLeagues, i) - stored;
            setLeagueRowAvailable(lvwLeagues, i, left, currencyText(left));
        }
    }
    for (int row = 0; row < int(m_rows.size()); ++row)
        if (chosenCar(row) >= 1)
            return false;
    return true;
}

void frmTeamCarMultiple::clearRow(int row) {
    Row& r = m_rows[size_t(row)];
    r.cmbCar->setCurrentIndex(-1);
    r.txtEfctvDt->clear();
    r.txtTermDt->clear();
    r.txtSalary->clear();
    r.txtGroup->clear();
    r.salary = Currency();
    m_checks->acceptPresentTexts();
}

void frmTeamCarMultiple::apply() {
    if (!m_checks->checkFocused())
        return;
    addTeamCars();
}

void frmTeamCarMultiple::ok() {
    if (!m_checks->checkFocused())
        return;
    if (addTeamCars())
        accept();
}
