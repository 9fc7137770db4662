#include "editors/races/frmRace.h"

#include "data/CommonCode.h"
#include "data/Paths.h"
#include "data/SqlText.h"
#include "data/cCarCollection.h"
#include "data/cCarTypeCollection.h"
#include "data/cLeague.h"
#include "data/cLeagueTeams.h"
#include "data/cRaceStatusCollection.h"
#include "data/cRaceTypeCollection.h"
#include "data/cTeam.h"
#include "kit/EditorGrid.h"
#include "exchange/FtpTransfer.h"
#include "exchange/Import.h"
#include "data/cRaceStatusCollection.h"
#include "data/cRaceTypeCollection.h"
#include "adapters/QtUiServices.h"
#include "posting/Scoring.h"
#include "posting/cRaceHeadHeadCollection.h"
#include "posting/cRaces.h"
#include "posting/cRacesCollection.h"
#include "posting/cResultsCollection.h"
#include "kit/SortByValue.h"
#include "kit/Twips.h"
#include "kit/frmDate.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <cmath>

namespace {

enum ResultColumn { ColPlace, ColCar, ColLapsLed, ColQualified, ColAdjustment, ColFastQual };
enum PairingColumn { ColTeam1, ColVs, ColTeam2 };

const QString kTitle = QStringLiteral("Quorvanti");
const QString kCrLf = QStringLiteral("\r\n");

// Selects the combo item with that number; none when no item has it.
void selectNumber(QComboBox* box, int number) { box->setCurrentIndex(box->findData(number)); }

int itemNumber(const QComboBox* box, int index) { return index >= 0 ? box->itemData(index).toInt() : 0; }

} // namespace

frmRace::frmRace(QWidget* parent)
    : EditorDialog(parent), cmdOK(okButton()), cmdCancel(cancelButton()), cmdApply(applyButton()) {
    setObjectName(QStringLiteral("frmRace"));
    setAfterSaveQuestionYes(AfterSaveQuestionYes::CloseWhenSaved);
    setWindowTitle(QStringLiteral("Race"));
    setFixedSize(pixelsX(8145, this), pixelsY(5430, this));

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(pixelsX(120, this), pixelsY(120, this), pixelsX(7815, this), pixelsY(4335, this));
    auto* raceTab = new QWidget;
    auto* resultsTab = new QWidget;
    auto* headTab = new QWidget;
    buildRaceTab(raceTab);
    buildResultsTab(resultsTab);
    buildHeadToHeadTab(headTab);
    SSTab1->addTab(raceTab, QStringLiteral("Race"));
    SSTab1->addTab(resultsTab, QStringLiteral("Results"));
    SSTab1->addTab(headTab, QStringLiteral("Head to Head"));

    pbStatus = new QProgressBar(this);
    pbStatus->setObjectName(QStringLiteral("pbStatus"));
    pbStatus->setGeometry(pixelsX(120, this), pixelsY(4560, this), pixelsX(7815, this), pixelsY(255, this));
    pbStatus->setRange(0, 100);
    pbStatus->setTextVisible(false);
    pbStatus->hide();

    int left = 3720;
    for (QPushButton* b : {cmdOK, cmdCancel, cmdApply}) {
        b->setGeometry(pixelsX(left, this), pixelsY(4920, this), pixelsX(1215, this), pixelsY(375, this));
        b->setAutoDefault(false);
        left += 1440;
    }

    connect(SSTab1, &QTabWidget::currentChanged, this, &frmRace::tabChanged);
}

frmRace::~frmRace() = default;

void frmRace::buildRaceTab(QWidget* tab) {
    auto label = [this, tab](const char* name, const QString& text, int top) {
        auto* l = new QLabel(text, tab);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(pixelsX(240, this), pixelsY(top, this), pixelsX(1215, this), pixelsY(285, this));
        return l;
    };
    lblRaceName = label("lblRaceName", QStringLiteral("Race Name:"), 600);
    label("Label2", QStringLiteral("Track Name:"), 975);
    label("Label4", QStringLiteral("Race Type:"), 1350);
    label("Label7", QStringLiteral("Scoring By:"), 1755);
    label("Label3", QStringLiteral("Race Date:"), 2160);
    makeKeyLabel(lblRaceName, QStringLiteral("Race number is "), [this] { return m_race ? m_race->raceNmbr() : 0; });

    auto edit = [this, tab](const char* name, int top, int width) {
        auto* e = new QLineEdit(tab);
        e->setObjectName(QLatin1String(name));
        e->setGeometry(pixelsX(1560, this), pixelsY(top, this), pixelsX(width, this), pixelsY(315, this));
        selectAllOnFocus(e);
        return e;
    };
    txtRaceName = edit("txtRaceName", 600, 5000);
    txtRaceName->setMaxLength(50);
    txtTrackName = edit("txtTrackName", 975, 5000);
    txtTrackName->setMaxLength(50);
    txtRaceDate = edit("txtRaceDate", 2160, 1335);
    installLeaveCheck(txtRaceDate, [this] { return raceDateLeft(); });

    auto combo = [this, tab](const char* name, int top) {
        auto* c = new QComboBox(tab);
        c->setObjectName(QLatin1String(name));
        c->setGeometry(pixelsX(1560, this), pixelsY(top, this), pixelsX(3000, this), pixelsY(315, this));
        return c;
    };
    cmbRaceType = combo("cmbRaceType", 1350);
    cmbCarType = combo("cmbCarType", 1755);

    cmdRaceDate = new QPushButton(QStringLiteral(". . ."), tab);
    cmdRaceDate->setObjectName(QStringLiteral("cmdRaceDate"));
    cmdRaceDate->setGeometry(pixelsX(3120, this), pixelsY(2160, this), pixelsX(495, this), pixelsY(315, this));
    cmdRaceDate->setAutoDefault(false);
    setTabChain({txtRaceName, txtTrackName, cmbRaceType, cmbCarType, txtRaceDate, cmdRaceDate});

    connect(txtRaceName, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!isVisible() || !m_race)
            return;
        m_race->setRaceName(text);
        setWindowTitle(QStringLiteral("Race - ") + text);
        markRaceChanged();
    });
    connect(txtTrackName, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!isVisible() || !m_race)
            return;
        m_race->setTrackName(text);
        markRaceChanged();
    });
    connect(txtRaceDate, &QLineEdit::textChanged, this, [this] {
        if (isVisible())
            markRaceChanged();
    });
    connect(cmdRaceDate, &QPushButton::clicked, this, &frmRace::pickRaceDate);
    connect(cmbRaceType, &QComboBox::activated, this, &frmRace::raceTypeChosen);
    connect(cmbCarType, &QComboBox::activated, this, &frmRace::carTypeChosen);
}

void frmRace::buildResultsTab(QWidget* tab) {
    Frame1 = new QFrame(tab);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    // Positions on a tab page are measured below the tab headers.
    Frame1->setGeometry(pixelsX(240, this), pixelsY(60, this), pixelsX(7335, this), pixelsY(3735, this));

    auto* status = new QLabel(QStringLiteral("Result Status:"), Frame1);
    status->setObjectName(QStringLiteral("Label9"));
    status->setGeometry(pixelsX(120, this), pixelsY(0, this), pixelsX(1215, this), pixelsY(285, this));
    cmbRaceStatus = new QComboBox(Frame1);
    cmbRaceStatus->setObjectName(QStringLiteral("cmbRaceStatus"));
    cmbRaceStatus->setGeometry(pixelsX(1440, this), pixelsY(0, this), pixelsX(2535, this), pixelsY(315, this));
    connect(cmbRaceStatus, &QComboBox::activated, this, &frmRace::raceStatusChosen);

    // Places may not be negative; every number cell must fit the 16-bit columns it is stored in.
    NumberRule place;
    place.allowNegative = false;
    place.maximum = 32767;
    NumberRule number;
    number.minimum = -32768;
    number.maximum = 32767;
    using Kind = EditorGrid::Kind;
    resultsGrid = new EditorGrid(
        {
            {QStringLiteral("Place"), Kind::Text, 120, 495, QString(), EditorGrid::numberCheck(place)},
            {QStringLiteral("Car/Driver"), Kind::List, 720, 2055, QString(), {}},
            {QStringLiteral("Laps Led"), Kind::Text, 2880, 735, QStringLiteral("0"), EditorGrid::numberCheck(number)},
            {QStringLiteral("Qualified"), Kind::Text, 3720, 735, QStringLiteral("0"), EditorGrid::numberCheck(number)},
            {QStringLiteral("Adjustment"), Kind::Text, 4560, 735, QStringLiteral("0"), EditorGrid::numberCheck(number)},
            {QStringLiteral("Fastest Qualifier?"), Kind::Check, 5400, 495, QStringLiteral("0"), {}},
        },
        Frame1);
    resultsGrid->setObjectName(QStringLiteral("resultsGrid"));
    resultsGrid->setScrollPolicy(EditorGrid::ScrollPolicy::EveryEnter);
    resultsGrid->setEnterFocusColumn(ColCar);
    resultsGrid->setHint(QStringLiteral("Hit Enter to Add Row."));
    // Room for the two-line header; rows a little closer so that seven fit above the buttons.
    resultsGrid->setGeometryTwips(420, 380, 0);
    resultsGrid->setGeometry(0, pixelsY(330, this), Frame1->width(), pixelsY(3000, this));
    resultsGrid->newRowTexts = [](const EditorGrid& grid, int lastRow) {
        // A place that is not a number counts from 0, as the place cell's own check would make it.
        const double above = numberFromText(grid.text(lastRow, ColPlace)).value_or(0);
        return QStringList{QString::number(above + 1), QString(), QStringLiteral("0"), QStringLiteral("0"),
                           QStringLiteral("0"), QStringLiteral("0")};
    };
    resultsGrid->floatingList()->setObjectName(QStringLiteral("cmbCarNmbr"));
    connect(resultsGrid, &EditorGrid::cellChanged, this, &frmRace::markResultsChanged);
    connect(resultsGrid, &EditorGrid::listChosen, this, [this](int row, int) { carChosen(row); });

    auto button = [this](QWidget* parent, const char* name, const QString& text, int left, int top) {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(pixelsX(left, this), pixelsY(top, this), pixelsX(1215, this), pixelsY(375, this));
        b->setAutoDefault(false);
        return b;
    };
    cmdGetResults = button(Frame1, "cmdGetResults", QStringLiteral("&Get Results"), 1800, 3360);
    cmdPostResults = button(Frame1, "cmdPostResults", QStringLiteral("&Post Results"), 3120, 3360);
    cmdClearPosting = button(Frame1, "cmdClearPosting", QStringLiteral("Clear P&osting"), 4440, 3360);
    cmdClearResults = button(Frame1, "cmdClearResults", QStringLiteral("Clear &Results"), 5760, 3360);
    cmdAddNewCar = button(tab, "cmdAddNewCar", QStringLiteral("Add &New Car"), 240, 3420);

    connect(cmdGetResults, &QPushButton::clicked, this, &frmRace::getResultsClicked);
    connect(cmdPostResults, &QPushButton::clicked, this, &frmRace::postClicked);
    connect(cmdClearPosting, &QPushButton::clicked, this, &frmRace::clearPostingClicked);
    connect(cmdClearResults, &QPushButton::clicked, this, &frmRace::clearResultsClicked);
    connect(cmdAddNewCar, &QPushButton::clicked, this, &frmRace::addNewCarClicked);
}

void frmRace::buildHeadToHeadTab(QWidget* tab) {
    Frame2 = new QFrame(tab);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(pixelsX(240, this), pixelsY(60, this), pixelsX(7335, this), pixelsY(3735, this));
    auto* league = new QLabel(QStringLiteral("League:"), Frame2);
    league->setObjectName(QStringLiteral("Label8"));
    league->setGeometry(pixelsX(120, this), pixelsY(240, this), pixelsX(1000, this), pixelsY(285, this));
    cmbLeague = new QComboBox(Frame2);
    cmbLeague->setObjectName(QStringLiteral("cmbLeague"));
    cmbLeague->setGeometry(pixelsX(1200, this), pixelsY(240, this), pixelsX(4095, this), pixelsY(315, this));
    connect(cmbLeague, &QComboBox::activated, this, &frmRace::leagueChosen);

    using Kind = EditorGrid::Kind;
    headToHeadGrid = new EditorGrid(
        {
            {QString(), Kind::List, 120, 2655, QStringLiteral("BYE"), {}},
            {QString(), Kind::Label, 3120, 375, QStringLiteral("VS"), {}},
            {QString(), Kind::List, 3840, 2535, QStringLiteral("BYE"), {}},
        },
        Frame2);
    headToHeadGrid->setObjectName(QStringLiteral("headToHeadGrid"));
    headToHeadGrid->setScrollPolicy(EditorGrid::ScrollPolicy::EveryEnter);
    headToHeadGrid->setEnterFocusColumn(ColTeam1);
    headToHeadGrid->setHint(QStringLiteral("Hit Enter to Add Row."), true);
    headToHeadGrid->setGeometryTwips(120, 400, 0);
    headToHeadGrid->setGeometry(0, pixelsY(600, this), Frame2->width(), pixelsY(3300, this));
    // The team lists belong to the league shown; without one there is nothing to choose from.
    headToHeadGrid->listAllowed = [this](int, int) { return cmbLeague->currentIndex() >= 0; };
    headToHeadGrid->floatingList()->setObjectName(QStringLiteral("cmbTeam"));
    connect(headToHeadGrid, &EditorGrid::cellChanged, this, [this] {
        if (!isVisible())
            return;
        m_headToHeadChanged = true;
        cmdApply->setEnabled(true);
    });
}

// ---- opening ----

void frmRace::showWith(cRaces& race) {
    loadWith(race);
    exec();
}

void frmRace::loadWith(cRaces& race) {
    m_race = &race;
    // A new race is scheduled (status 1 of race_status_dm) until another status is chosen on the
    // tab "Results"; without one it would be stored with none of the statuses.
    if (race.raceNmbr() < 1 && race.raceStatusNmbr() == 0)
        race.setRaceStatusNmbr(1);
    m_raceChanged = m_resultsChanged = m_headToHeadChanged = m_resultsLoaded = m_statusLoading = false;
    m_cars = std::make_unique<cCarCollection>();
    m_cars->load(race.raceTypeNmbr(), race.carTypeNmbr());
    Frame1->setEnabled(false);
    // Pairings are kept per league through their own grid, but the tab stays switched off here.
    SSTab1->setTabEnabled(TabHeadToHead, false);
    SSTab1->setCurrentIndex(TabRace);
    m_currentTab = TabRace;
    cmdApply->setEnabled(false);

    txtRaceName->setText(race.raceName());
    txtTrackName->setText(race.trackName());
    txtRaceDate->setText(shortDate(race.raceDate()));

    cRaceTypeCollection raceTypes;
    raceTypes.load();
    cmbRaceType->clear();
    for (const cRaceType& t : raceTypes)
        cmbRaceType->addItem(t.raceTypeName(), t.raceTypeNmbr());
    cmbRaceType->setCurrentIndex(-1);
    if (!raceTypes.getRaceTypeName(race.raceTypeNmbr()).trimmed().isEmpty())
        selectNumber(cmbRaceType, race.raceTypeNmbr());

    cCarTypeCollection carTypes;
    carTypes.loadNoBonus();
    cmbCarType->clear();
    for (const cCarType& t : carTypes)
        cmbCarType->addItem(t.carTypeName(), t.carTypeNmbr());
    cmbCarType->setCurrentIndex(-1);
    if (!carTypes.getCarTypeName(race.carTypeNmbr()).isEmpty())
        selectNumber(cmbCarType, race.carTypeNmbr());

    setWindowTitle(QStringLiteral("Race - ") + race.raceName());
}

// ---- race data ----

void frmRace::markRaceChanged() {
    m_raceChanged = true;
    cmdApply->setEnabled(true);
}

void frmRace::keyPressEvent(QKeyEvent* event) {
    // Esc is not this window's Cancel key: unsaved edits are only dropped on purpose.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    EditorDialog::keyPressEvent(event);
}

QString frmRace::saveQuestionTitle() const { return m_race ? m_race->raceName() : QString(); }

bool frmRace::raceDateLeft() {
    QDate date;
    if (!checkDateText(txtRaceDate, &date))
        return false; // the race keeps its previous date
    if (date.isValid()) {
        m_race->setRaceDate(date);
        markRaceChanged();
    }
    return true;
}

void frmRace::pickRaceDate() {
    const QPoint below = txtRaceDate->mapToGlobal(QPoint(pixelsX(150, this), txtRaceDate->height()));
    txtRaceDate->setText(frmDate::pickFor(txtRaceDate->text(), below, this));
    raceDateLeft();
}

void frmRace::raceTypeChosen(int index) {
    if (!isVisible() || index < 0)
        return;
    cResultsCollection results;
    if (results.load(m_race->raceNmbr()) == 0) {
        m_race->setRaceTypeNmbr(itemNumber(cmbRaceType, index));
        markRaceChanged();
        carListChanged();
        return;
    }
    showValidation(QStringLiteral("Can not change Race Type while Results exist for the Race"));
    // The box goes back to the race type the race keeps, so it never shows one that is not saved.
    selectNumber(cmbRaceType, m_race->raceTypeNmbr());
}

void frmRace::carTypeChosen(int index) {
    if (!isVisible() || index < 0)
        return;
    cResultsCollection results;
    if (results.load(m_race->raceNmbr()) == 0) {
        m_race->setCarTypeNmbr(itemNumber(cmbCarType, index));
        markRaceChanged();
        carListChanged();
        return;
    }
    showValidation(QStringLiteral("Can not change Scoring By while Results exist for the Race"));
    selectNumber(cmbCarType, m_race->carTypeNmbr());
}

// The grid may only offer the cars of the race's series and Score By as they now stand; rows
// chosen from the old list would store results under another series' cars. The race has no
// stored results here, so the grid is built afresh when the Results tab is next entered.
void frmRace::carListChanged() {
    m_cars = std::make_unique<cCarCollection>();
    m_cars->load(m_race->raceTypeNmbr(), m_race->carTypeNmbr());
    m_resultsLoaded = false;
    if (SSTab1->currentIndex() == TabResults)
        enterResultsTab();
}

void frmRace::raceStatusChosen(int index) {
    if (!isVisible() || index < 0)
        return;
    m_race->setRaceStatusNmbr(itemNumber(cmbRaceStatus, index));
    if (!m_statusLoading)
        m_raceChanged = true;
    cmdApply->setEnabled(true);
}

// ---- tabs ----

void frmRace::tabChanged(int index) {
    if (m_switchingBack) {
        m_currentTab = index;
        return;
    }
    const int left = m_currentTab;
    m_currentTab = index;
    if (!checkFocusedBox(this) || !leaveTab(left)) {
        // Only the entering steps of the tab switched back to run, so each refusal shows once.
        m_switchingBack = true;
        SSTab1->setCurrentIndex(left);
        m_switchingBack = false;
        enterTab(left);
        return;
    }
    enterTab(index);
    // The cells were out of the focus chain while the tab was hidden, so the focus went on to a
    // button below them; the results are typed from the first cell.
    if (index == TabResults && !Frame1->isAncestorOf(QApplication::focusWidget()))
        resultsGrid->focusCell(resultsGrid->firstShownRow(), ColPlace);
}

bool frmRace::leaveTab(int tab) {
    switch (tab) {
    case TabRace:
        if (txtRaceName->text().isEmpty()) {
            showValidation(QStringLiteral("Race Name is a required field"));
            txtRaceName->setFocus();
            return false;
        }
        if (m_raceChanged) {
            if (!saveRace())
                return false;
            m_raceChanged = false;
            cmdApply->setEnabled(false);
        }
        return true;
    case TabResults:
        if (m_resultsChanged) {
            if (!saveResults())
                return false;
            if (m_raceChanged && !saveRace())
                return false;
            cmdApply->setEnabled(false);
            m_resultsChanged = m_raceChanged = false;
        } else if (m_raceChanged) {
            if (!saveRace())
                return false;
            cmdApply->setEnabled(false);
            m_raceChanged = false;
        }
        return true;
    case TabHeadToHead:
        if (m_headToHeadChanged) {
            if (!saveHeadToHead())
                return false;
            cmdApply->setEnabled(false);
            m_headToHeadChanged = false;
        }
        return true;
    }
    return true;
}

void frmRace::enterTab(int tab) {
    switch (tab) {
    case TabRace:
        cmdOK->setDefault(true);
        Frame1->setEnabled(false);
        break;
    case TabResults:
        enterResultsTab();
        break;
    case TabHeadToHead:
        enterHeadToHeadTab();
        break;
    }
    Frame1->setVisible(true);
    Frame2->setVisible(true);
    setStatus();
}

void frmRace::enterResultsTab() {
    cmdOK->setDefault(false);
    Frame1->setEnabled(true);

    cRaceStatusCollection statuses;
    statuses.load();
    cmbRaceStatus->clear();
    for (const cRaceStatus& s : statuses)
        cmbRaceStatus->addItem(s.raceStatusName(), s.raceStatusNmbr());
    cmbRaceStatus->setCurrentIndex(-1);
    if (!statuses.getraceStatusName(m_race->raceStatusNmbr()).trimmed().isEmpty()) {
        m_statusLoading = true;
        selectNumber(cmbRaceStatus, m_race->raceStatusNmbr());
        m_statusLoading = false;
    }

    if (m_resultsLoaded)
        return;
    setStatus(QStringLiteral("Loading Results ") + m_race->raceName());
    loadRaceCarCombo();
    Frame1->setVisible(false);
    m_resultsLoaded = true;
    const bool applyWasEnabled = cmdApply->isEnabled();
    loadResultsGrid();
    cmdApply->setEnabled(applyWasEnabled);
    m_resultsChanged = false;
}

// Clear Results and Get Results: the grid is built again from the data file, as if the tab "Race"
// had been left.
void frmRace::rebuildAfterResultsCleared() {
    m_resultsLoaded = false;
    if (!leaveTab(TabRace)) {
        m_switchingBack = true;
        SSTab1->setCurrentIndex(TabRace);
        m_switchingBack = false;
        enterTab(TabRace);
        return;
    }
    enterTab(SSTab1->currentIndex());
}

// ---- saving ----

bool frmRace::saveRace() {
    if (txtRaceName->text().trimmed().isEmpty()) {
        showValidation(QStringLiteral("Race Name is a required field"));
        txtRaceName->setFocus();
        return false;
    }
    if (cmbRaceType->currentText().trimmed().isEmpty()) {
        showValidation(QStringLiteral("Race Type is a required field"));
        cmbRaceType->setFocus();
        return false;
    }
    if (cmbCarType->currentText().trimmed().isEmpty()) {
        showValidation(QStringLiteral("Scoring By is a required field"));
        cmbCarType->setFocus();
        return false;
    }
    if (txtRaceDate->text().trimmed().isEmpty()) {
        showValidation(QStringLiteral("Race Date is a required field"));
        txtRaceDate->setFocus();
        return false;
    }
    const QDate date = parseDate(txtRaceDate->text());
    if (!date.isValid()) {
        showValidation(QStringLiteral("A valid Race Date is a required field"));
        txtRaceDate->setFocus();
        txtRaceDate->selectAll();
        return false;
    }
    txtRaceDate->setText(shortDate(date));
    m_race->setRaceDate(date);
    if (m_race->raceNmbr() < 1) {
        cRacesCollection races;
        if (races.raceDateExistsForRaceType(date, itemNumber(cmbRaceType, cmbRaceType->currentIndex()),
                                            itemNumber(cmbCarType, cmbCarType->currentIndex()))) {
            showValidation(QStringLiteral("A Race already exists for this Date.") + kCrLf +
                           QStringLiteral("Only one Race can exist per date per Race Type and Scoring By."));
            txtRaceDate->setFocus();
            txtRaceDate->selectAll();
            return false;
        }
    }
    return m_race->CommitChanges();
}

bool frmRace::saveChanges() {
    if (!checkFocusedBox(this))
        return false;
    if (m_raceChanged && !saveRace())
        return false;
    if (m_resultsChanged && !saveResults())
        return false;
    if (m_headToHeadChanged && !saveHeadToHead())
        return false;
    cmdApply->setEnabled(false);
    m_raceChanged = m_resultsChanged = m_headToHeadChanged = false;
    return true;
}

// ---- buttons ----

void frmRace::okClicked() {
    if (cmdApply->isEnabled() && !saveChanges())
        return;
    accept();
}

void frmRace::postClicked() {
    // The race is posted again right after the save: no word about the posting the save removes.
    m_postingNext = true;
    const bool saved = saveChanges();
    m_postingNext = false;
    if (saved)
        postResults(*m_race);
}

void frmRace::showPostingProgress(bool on) {
    if (on) {
        setMousePointer(PointerHourglass);
        pbStatus->setValue(0);
        pbStatus->setVisible(true);
        if (auto* qtUi = dynamic_cast<QtUiServices*>(&ui()))
            qtUi->setProgressBar(pbStatus);
        return;
    }
    setStatus();
    pbStatus->setVisible(false);
    setMousePointer(PointerDefault);
}

void frmRace::postResults(cRaces& race) {
    showPostingProgress(true);
    cResultsCollection results;
    results.load();
    if (results.raceExists(race.raceNmbr()))
        postRace(race);
    else
        deleteRacePosting(race);

    // Season totals run from race to race, so every later race of the type is posted again or
    // loses its posting. When no league carries totals through this race, the later postings are
    // right as they stand.
    cRacesCollection later;
    loadRacesCarryingFrom(race.raceNmbr(), later);
    settleLaterRaces(later, results);
    showPostingProgress(false);
}

void frmRace::settleRacesAfterClearing(const cRacesCollection& later) {
    if (later.isEmpty())
        return;
    showPostingProgress(true);
    cResultsCollection results;
    settleLaterRaces(later, results);
    showPostingProgress(false);
}

void frmRace::clearPostingClicked() {
    if (askQuestion(QStringLiteral("Are you sure you want to delete the posting for ") + m_race->raceName() +
                        QStringLiteral("?"),
                    m_race->raceName(), MsgButtons::OkCancel) != AnswerOk)
        return;
    // The later races carried their totals from this posting.
    cRacesCollection later;
    if (racePosted(m_race->raceNmbr()))
        loadRacesCarryingFrom(m_race->raceNmbr(), later);
    cResultsCollection results;
    if (results.deletePosting(m_race->raceNmbr()))
        settleRacesAfterClearing(later);
}

void frmRace::clearResultsClicked() {
    if (askQuestion(QStringLiteral("Are you sure you want to delete results for ") + m_race->raceName() +
                        QStringLiteral("?"),
                    m_race->raceName(), MsgButtons::OkCancel) != AnswerOk)
        return;
    // The later races carried their totals from this posting, and a race with results is the one
    // they count from: without results it is passed over.
    cRacesCollection later;
    cResultsCollection results;
    if (racePosted(m_race->raceNmbr()) || results.load(m_race->raceNmbr()) > 0)
        loadRacesCarryingFrom(m_race->raceNmbr(), later);
    const bool cleared = cResultsCollection().deleteResults(m_race->raceNmbr());
    if (cleared)
        settleRacesAfterClearing(later);
    rebuildAfterResultsCleared();
    if (SSTab1->currentIndex() == TabResults) {
        // The first row starts again from place 0; these texts are edits, so Apply comes on.
        for (int col : {ColPlace, ColLapsLed, ColQualified, ColAdjustment})
            qobject_cast<QLineEdit*>(resultsGrid->cell(0, col))->setText(QStringLiteral("0"));
        markResultsChanged();
        resultsGrid->focusCell(0, ColPlace);
    }
}

// Only the Wexford Cup's results are published on the download server: its car or driver list
// first, then the race day's results file.
void frmRace::getResultsClicked() {
    constexpr int WexfordCupRaceType = 1;
    const auto failed = [] {
        setStatus(QString());
        setMousePointer(PointerDefault);
        showPlainBox(QStringLiteral("Download and Import failed."));
    };
    // The status bar is repainted before each transfer; clicks are held back meanwhile, so a
    // second click cannot start a transfer inside this one.
    const auto repaint = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };

    if (m_race->raceTypeNmbr() != WexfordCupRaceType) {
        showPlainBox(QStringLiteral("Downloads not available for ") + cmbRaceType->currentText());
        return;
    }
    bool listImported = false;
    switch (m_race->carTypeNmbr()) {
    case cCar::CarType:
        setStatus(QStringLiteral("Importing Wexford Cup Cars."));
        repaint();
        listImported = importWcCars();
        break;
    case cCar::DriverType:
        setStatus(QStringLiteral("Importing Wexford Cup Drivers."));
        repaint();
        listImported = importWcDrivers();
        break;
    default:
        showPlainBox(QStringLiteral("You must choose Score By before you can download Cars/Drivers"));
        return;
    }
    const QDate raceDate = m_race->raceDate();
    const QString fileName = resultsFileName(m_race->carTypeNmbr(), raceDate);
    setMousePointer(PointerHourglass);
    setStatus(QStringLiteral("Importing ") + m_race->raceName() + QStringLiteral(" results."));
    repaint();
    // A race without a date has no results file to ask for.
    if (!listImported || !raceDate.isValid() || !downloadFile(fileName)) {
        failed();
        return;
    }
    const bool imported = importFile(QDir(importsDir()).filePath(fileName));

    // The list may have brought cars the grid's list does not hold yet; the rebuilt grid must
    // show every imported result's car. A failed import is rebuilt too, so the grid shows what
    // is stored.
    m_cars = std::make_unique<cCarCollection>();
    rebuildAfterResultsCleared();
    if (!imported) {
        failed();
        return;
    }
    setStatus(QString());
    setMousePointer(PointerDefault);
    showPlainBox(QStringLiteral("Download and Import completed successfully."));
}

std::function<void()> frmRace::addNewCar;

void frmRace::addNewCarClicked() {
    if (addNewCar)
        addNewCar();
    m_cars = std::make_unique<cCarCollection>();
    m_cars->load(m_race->raceTypeNmbr(), m_race->carTypeNmbr());
    loadRaceCarCombo();
}

// ---- results grid ----

void frmRace::markResultsChanged() {
    if (!isVisible())
        return;
    m_resultsChanged = true;
    cmdApply->setEnabled(true);
}

void frmRace::loadRaceCarCombo() {
    if (m_cars->isEmpty())
        m_cars->load(m_race->raceTypeNmbr(), m_race->carTypeNmbr());
    QList<QPair<QString, int>> items{{QStringLiteral(" "), 0}};
    for (const cCar& car : *m_cars)
        items.append({car.carTypeNmbr() == 2 ? car.driverName() : car.carTxt(), car.carNmbr()});
    sortChoices(items);
    resultsGrid->setListItems(items);
}

void frmRace::setCarFromText(int row, const QString& text) {
    if (text.trimmed().isEmpty()) {
        resultsGrid->setText(row, ColCar, QString());
        return;
    }
    if (m_cars->isEmpty())
        m_cars->load(m_race->raceTypeNmbr());
    for (const cCar& car : *m_cars)
        if ((car.carTypeNmbr() == 2 ? car.driverName() : car.carTxt()) == text)
            resultsGrid->setListCell(row, ColCar, text.trimmed(), car.carNmbr());
}

void frmRace::loadResultsGrid() {
    cResultsCollection results;
    results.load(m_race->raceNmbr());
    QList<QStringList> rows;
    for (const cResults& r : results)
        rows.append({QString::number(r.place()), QString(), QString::number(r.lapsLead()),
                     QString::number(r.qualified()), QString::number(r.adjustment()),
                     QString::number(r.fastQual() == 1 ? 1 : 0)});
    if (rows.isEmpty()) {
        // Laps led, qualified, adjustment and the mark keep what row 0 held.
        QStringList first = resultsGrid->rowTexts(0);
        first[ColPlace] = QStringLiteral("1");
        first[ColCar] = QString();
        rows.append(first);
    }
    resultsGrid->setRows(rows);
    // A stored result keeps its car even when the car is not in the list of choices (it moved to
    // another series, or the list is of the other Score By); otherwise the next save would drop it.
    cCarCollection allCars;
    if (!results.isEmpty())
        allCars.load();
    int row = 0;
    for (const cResults& r : results) {
        const QString display = allCars.getCarDisplay(r.carNmbr());
        if (display.trimmed().isEmpty())
            setCarFromText(row, display);
        else
            resultsGrid->setListCell(row, ColCar, display.trimmed(), r.carNmbr());
        ++row;
    }
}

void frmRace::carChosen(int row) {
    const QString text = resultsGrid->text(row, ColCar);
    if (text.trimmed().isEmpty())
        return;
    for (int other = 0; other < resultsGrid->rowCount(); ++other) {
        if (other == row || resultsGrid->text(other, ColCar) != text)
            continue;
        showValidation(QStringLiteral("Car ") + text + QStringLiteral(" has already been used"));
        if (SSTab1->currentIndex() != TabResults)
            SSTab1->setCurrentIndex(TabResults);
        // The refused car stays in its row; saving checks the rows again.
        if (row > 0)
            resultsGrid->focusCell(row - 1, ColCar);
        return;
    }
}

bool frmRace::saveResults() {
    cResultsCollection results;
    for (int row = 0; row < resultsGrid->rowCount(); ++row) {
        if (resultsGrid->text(row, ColPlace).trimmed().isEmpty() || resultsGrid->text(row, ColCar).trimmed().isEmpty())
            continue;
        // A cell still being typed in has not had its check yet.
        int values[4] = {};
        const int numberColumns[4] = {ColPlace, ColLapsLed, ColQualified, ColAdjustment};
        for (int i = 0; i < 4; ++i) {
            auto* cell = qobject_cast<QLineEdit*>(resultsGrid->cell(row, numberColumns[i]));
            NumberRule rule;
            rule.allowNegative = numberColumns[i] != ColPlace;
            rule.minimum = numberColumns[i] == ColPlace ? 0 : -32768;
            rule.maximum = 32767;
            if (!checkNumberText(cell, rule)) {
                resultsGrid->focusCell(row, numberColumns[i]);
                return false;
            }
            // Whole numbers as stored; a fraction rounds half to even.
            values[i] = int(std::nearbyint(numberFromText(cell->text()).value_or(0)));
        }
        results.Add(m_race->raceNmbr(), resultsGrid->number(row, ColCar), values[0],
                    resultsGrid->text(row, ColFastQual) == QStringLiteral("1") ? 1 : 0, values[1], values[2], values[3]);
    }
    const QString errors = results.validateData();
    if (!errors.trimmed().isEmpty()) {
        ui().messageBox(errors, QStringLiteral("Errors while save results for ") + m_race->raceName(), MsgIcon::None,
                        MsgButtons::Ok);
        return false;
    }
    const bool wasPosted = !m_postingNext && racePosted(m_race->raceNmbr());
    if (!results.insertResults())
        return false;
    if (wasPosted && !racePosted(m_race->raceNmbr()))
        tellPostingRemoved(m_race->raceName());
    return true;
}

// ---- head-to-head grid ----


void frmRace::enterHeadToHeadTab() {
    cmdOK->setDefault(false);
    cLeagueCollection leagues;
    leagues.load(m_race->raceTypeNmbr(), m_race->carTypeNmbr());
    cmbLeague->clear();
    for (const cLeague& league : leagues)
        cmbLeague->addItem(league.leagueName(), league.leagueNmbr());
    cmbLeague->setCurrentIndex(-1);
    m_shownLeagueNmbr = 0;
    const bool applyWasEnabled = cmdApply->isEnabled();
    clearHeadToHeadRows();
    cmdApply->setEnabled(applyWasEnabled);
    m_headToHeadChanged = false;
}

void frmRace::loadTeamCombo(int leagueNmbr) {
    QList<QPair<QString, int>> items{{QStringLiteral("BYE"), 0}};
    cLeagueTeamsCollection members;
    members.load(leagueNmbr);
    for (const cLeagueTeams& member : members) {
        cTeam team;
        team.load(member.teamNmbr());
        items.append({team.teamName(), team.teamNmbr()});
    }
    headToHeadGrid->setListItems(items);
}

void frmRace::clearHeadToHeadRows() { headToHeadGrid->clearRows(); }

void frmRace::leagueChosen(int index) {
    if (index < 0)
        return; // no league: the grid stays as it is
    if (m_headToHeadChanged && saveHeadToHead()) {
        cmdApply->setEnabled(false);
        m_headToHeadChanged = false;
    }
    clearHeadToHeadRows();
    const int leagueNmbr = itemNumber(cmbLeague, index);
    m_shownLeagueNmbr = leagueNmbr;
    loadTeamCombo(leagueNmbr);
    cRaceHeadHeadCollection pairings;
    pairings.load(leagueNmbr, m_race->raceNmbr());
    QList<QStringList> rows;
    QList<QPair<int, int>> numbers;
    for (const cRaceHeadHead& p : pairings) {
        cTeam team1;
        cTeam team2;
        team1.load(p.teamNmbr1());
        team2.load(p.teamnmbr2());
        rows.append({team1.teamName(), QString(), team2.teamName()});
        numbers.append({team1.teamNmbr(), team2.teamNmbr()});
    }
    headToHeadGrid->setRows(rows);
    for (int row = 0; row < numbers.size(); ++row) {
        headToHeadGrid->setListCell(row, ColTeam1, rows[row][ColTeam1], numbers[row].first);
        headToHeadGrid->setListCell(row, ColTeam2, rows[row][ColTeam2], numbers[row].second);
    }
}

bool frmRace::saveHeadToHead() {
    // The pairings belong to the league they were shown for: by the time a new choice in the box is
    // handled, the box already names the new league.
    const int leagueNmbr = m_shownLeagueNmbr;
    if (leagueNmbr == 0)
        return true; // nothing is shown, so nothing is stored
    cRaceHeadHeadCollection pairings;
    for (int row = 0; row < headToHeadGrid->rowCount(); ++row) {
        if (headToHeadGrid->text(row, ColTeam1).trimmed() == QStringLiteral("BYE") &&
            headToHeadGrid->text(row, ColTeam2).trimmed() == QStringLiteral("BYE"))
            continue;
        pairings.Add(m_race->raceNmbr(), leagueNmbr, headToHeadGrid->number(row, ColTeam1),
                     headToHeadGrid->number(row, ColTeam2));
    }
    // With every row "BYE" against "BYE" the league's pairings for the race are cleared.
    return pairings.update(leagueNmbr, m_race->raceNmbr());
}
