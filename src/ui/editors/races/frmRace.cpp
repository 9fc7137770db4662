#include "editors/races/frmRace.h"

#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/SqlText.h"
#include "data/cCarCollection.h"
#include "data/cCarTypeCollection.h"
#include "data/cLeague.h"
#include "data/cLeagueTeams.h"
#include "data/cRaceStatusCollection.h"
#include "data/cRaceTypeCollection.h"
#include "data/cTeam.h"
#include "editors/races/RaceWindowParts.h"
#include "exchange/FtpTransfer.h"
#include "exchange/Import.h"
#include "kit/EditorGrid.h"
#include "kit/SortByValue.h"
#include "kit/Twips.h"
#include "kit/frmDate.h"
#include "posting/RacePostingUseCases.h"
#include "posting/Scoring.h"
#include "posting/cRaceHeadHeadCollection.h"
#include "posting/cRaces.h"
#include "posting/cRacesCollection.h"
#include "posting/cResultsCollection.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <cmath>
#include <functional>

using namespace racewindow;

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
    makeRoomForGrids();

    connect(SSTab1, &QTabWidget::currentChanged, this, &frmRace::tabChanged);
}

frmRace::~frmRace() = default;

void frmRace::makeRoomForGrids() {
    // The grids' columns and hints take the room their texts need in the user's font: the window
    // grows to the right by what they need beyond the design, its buttons keeping their place at the
    // right edge.
    const int extra = std::max(
        {0, resultsGrid->sizeHint().width() - Frame1->width(), headToHeadGrid->sizeHint().width() - Frame2->width()});
    if (extra == 0)
        return;
    for (QWidget* w : std::initializer_list<QWidget*>{Frame1, Frame2, resultsGrid, headToHeadGrid, SSTab1, pbStatus})
        w->resize(w->width() + extra, w->height());
    for (QPushButton* b : {cmdOK, cmdCancel, cmdApply})
        b->move(b->x() + extra, b->y());
    setFixedSize(width() + extra, height());
}

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

// ---- opening ----

void frmRace::showWith(cRaces& race) {
    loadWith(race);
    exec();
}

void frmRace::loadWith(cRaces& race) {
    m_race = &race;
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

QString frmRace::saveQuestionTitle() const {
    return m_race ? m_race->raceName() : QString();
}

bool frmRace::raceDateLeft() {
    QDate date;
    if (!checkDateText(txtRaceDate, &date))
        return false; // the race keeps its previous date
    // Only another date is an edit: passing through the box, or closing the date picker without a
    // choice, leaves nothing to save or to ask about.
    if (date.isValid() && date != m_race->raceDate()) {
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
        showValidation(dateRefusal(QStringLiteral("A valid Race Date is a required field")));
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
        ui().setProgressTarget(pbStatus);
        return;
    }
    setStatus();
    pbStatus->setVisible(false);
    setMousePointer(PointerDefault);
}

void frmRace::postResults(cRaces& race) {
    const RacePostingOutcome outcome =
        postRaceAndSettle(race, askQuestion, std::bind_front(&frmRace::showPostingProgress, this));
    // Said after the progress bar has gone, so that it stays until the next step.
    setStatus(raceCommandStatus(RaceCommand::PostResults, race.raceName(), outcome));
}

void frmRace::clearPostingClicked() {
    const RacePostingOutcome outcome =
        clearPostingAndSettle(*m_race, askQuestion, std::bind_front(&frmRace::showPostingProgress, this));
    if (outcome.confirmed)
        setStatus(raceCommandStatus(RaceCommand::ClearPosting, m_race->raceName(), outcome));
}

void frmRace::clearResultsClicked() {
    const RacePostingOutcome outcome =
        clearResultsAndSettle(*m_race, askQuestion, std::bind_front(&frmRace::showPostingProgress, this));
    if (!outcome.confirmed)
        return;
    // The results are gone from the data file, and grid edits made before went with them: saving the
    // grid now would only write back the rows just deleted. What can still be saved is the race's own
    // fields, so only they keep Apply on and make Cancel ask.
    m_resultsChanged = false;
    rebuildAfterResultsCleared();
    if (SSTab1->currentIndex() == TabResults) {
        // The first row starts again from place 0, which is no result to save.
        for (int col : {ColPlace, ColLapsLed, ColQualified, ColAdjustment})
            resultsGrid->setText(0, col, QStringLiteral("0"));
        resultsGrid->focusCell(0, ColPlace);
    }
    cmdApply->setEnabled(m_raceChanged || m_headToHeadChanged);
    // Said once the grid is built again: building it sets the status bar's text of its own.
    setStatus(raceCommandStatus(RaceCommand::ClearResults, m_race->raceName(), outcome));
}

// Only the Wexford Cup's results are published on the download server: its car or driver list
// first, then the race day's results file.
void frmRace::getResultsClicked() {
    constexpr int WexfordCupRaceType = 1;
    const auto failed = [] {
        setStatus(QString());
        setMousePointer(PointerDefault);
        // A download the program's end stopped is no failure to report.
        if (!transfersStopped())
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

void frmRace::addNewCarClicked() {
    emit newCarRequested();
    m_cars = std::make_unique<cCarCollection>();
    m_cars->load(m_race->raceTypeNmbr(), m_race->carTypeNmbr());
    loadRaceCarCombo();
}
