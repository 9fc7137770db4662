#include "editors/races/frmScoring.h"

#include "data/Feedback.h"
#include "data/cScoringType.h"
#include "editors/races/ScoringRows.h"
#include "kit/EditorGrid.h"
#include "kit/Twips.h"
#include "posting/cScoringPointsCollection.h"
#include "posting/cScoringTopPointsCollection.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kHeaderTab = 0;
constexpr int kPointsTab = 1;
constexpr int kTopTab = 2;

// Every value of this editor is stored in 16 bits.
NumberRule sixteenBit(NumberRule::Blank blank, bool allowNegative) {
    NumberRule rule;
    rule.blank = blank;
    rule.allowNegative = allowNegative;
    rule.minimum = -32768.0;
    rule.maximum = 32767.0;
    return rule;
}

const QString kAddRowHint = QStringLiteral("Select the enter key to add a new row.");

} // namespace

frmScoring::frmScoring(QWidget* parent) : EditorDialog(parent) {
    setWindowTitle(QStringLiteral("Scoring"));
    setAfterSaveQuestionYes(AfterSaveQuestionYes::CloseWhenSaved);
    m_tabs = new QTabWidget(this);
    auto* header = new QWidget;
    auto* points = new QWidget;
    auto* top = new QWidget;
    m_tabs->addTab(header, QStringLiteral("Scoring Method"));
    m_tabs->addTab(points, QStringLiteral("Scoring per Place"));
    m_tabs->addTab(top, QStringLiteral("Top Scoring"));
    m_tabs->setMinimumSize(pixelsX(6255, this), pixelsY(4335, this));
    buildHeaderTab(header);
    buildPointsTab(points);
    buildTopTab(top);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttonRow());

    connect(m_tabs, &QTabWidget::currentChanged, this, &frmScoring::tabChanged);
    // No default button: Enter in the grids adds rows, and in the boxes stores nothing.
    setNoDefaultButton();
    m_frame1->setEnabled(false);
    m_frame2->setEnabled(false);
}

frmScoring::~frmScoring() = default;

void frmScoring::buildHeaderTab(QWidget* page) {
    auto label = [this, page](const QString& text, int topTwips) {
        auto* l = new QLabel(text, page);
        l->move(pixelsX(240, this), pixelsY(topTwips, this));
        return l;
    };
    label(QStringLiteral("Name:"), 720);
    m_name = new QLineEdit(page);
    m_name->setObjectName(QStringLiteral("txtScoringTypeName"));
    m_name->setGeometry(pixelsX(1080, this), pixelsY(700, this), pixelsX(3495, this), pixelsY(285, this));
    selectAllOnFocus(m_name);
    connect(m_name, &QLineEdit::textChanged, this, &frmScoring::nameEdited);

    label(QStringLiteral("Lap Led Bonus:"), 1080);
    label(QStringLiteral("Most Laps Led Bonus:"), 1440);
    label(QStringLiteral("Fastest Qualifer Bonus:\n(Not necessarily Pole)"), 1800);
    int topTwips = 1060;
    const char* names[] = {"txtLapsLedBonus", "txtMostLapsLedBonus", "txtFastQualBonus"};
    int index = 0;
    for (QLineEdit** box : {&m_lapsLed, &m_mostLapsLed, &m_fastQual}) {
        QLineEdit* b = new QLineEdit(page);
        *box = b;
        b->setObjectName(QLatin1String(names[index++]));
        // Further right than the name box: the bonus captions are wider in this font.
        b->setGeometry(pixelsX(2760, this), pixelsY(topTwips, this), pixelsX(495, this), pixelsY(285, this));
        b->setMaxLength(4);
        selectAllOnFocus(b);
        connect(b, &QLineEdit::textChanged, this, [this] { markPart(&m_headerChanged); });
        installLeaveCheck(b, [this, b] { return checkBonus(b); });
        topTwips += 360;
    }
}

void frmScoring::buildPointsTab(QWidget* page) {
    m_frame1 = new QFrame(page);
    m_frame1->setGeometry(0, 0, pixelsX(6135, this), pixelsY(3900, this));
    QList<EditorGrid::Column> columns;
    columns << EditorGrid::Column(QStringLiteral("Place"), EditorGrid::Kind::Text, 240, 615, QString(),
                                  EditorGrid::numberCheck(sixteenBit(NumberRule::Blank::Keep, false)))
            << EditorGrid::Column(QStringLiteral("Finishing Points"), EditorGrid::Kind::Text, 1080, 1095, QString(),
                                  EditorGrid::numberCheck(sixteenBit(NumberRule::Blank::Zero, true)))
            << EditorGrid::Column(QStringLiteral("Starting Points"), EditorGrid::Kind::Text, 2400, 1095, QString(),
                                  EditorGrid::numberCheck(sixteenBit(NumberRule::Blank::Zero, true)));
    m_pointsGrid = new EditorGrid(columns, m_frame1);
    // Room above the rows for the two-line headers of the points columns.
    m_pointsGrid->setGeometryTwips(560, 400, 40);
    m_pointsGrid->setHint(kAddRowHint, true);
    m_pointsGrid->setEnterFocusColumn(1);
    m_pointsGrid->newRowTexts = [](const EditorGrid& grid, int lastRow) {
        // A last row without a numeric place has no successor to count on; start again at 1.
        const std::optional<double> place = numberFromText(grid.text(lastRow, 0));
        return QStringList{place ? shortNumber(*place + 1) : QStringLiteral("1"), QStringLiteral("0"),
                           QStringLiteral("0")};
    };
    m_pointsGrid->move(0, 0);
    m_pointsGrid->resize(m_pointsGrid->sizeHint());
    connect(m_pointsGrid, &EditorGrid::cellChanged, this, [this] { markPart(&m_pointsChanged); });

    m_clearPoints = new QPushButton(QStringLiteral("Clear Scoring"), m_frame1);
    m_clearPoints->setGeometry(pixelsX(3960, this), pixelsY(3240, this), pixelsX(1215, this), pixelsY(375, this));
    connect(m_clearPoints, &QPushButton::clicked, this, &frmScoring::clearScoringClicked);
}

void frmScoring::buildTopTab(QWidget* page) {
    m_frame2 = new QFrame(page);
    m_frame2->setGeometry(0, 0, pixelsX(6135, this), pixelsY(3900, this));
    const auto check = EditorGrid::numberCheck(sixteenBit(NumberRule::Blank::Keep, false));
    QList<EditorGrid::Column> columns;
    columns << EditorGrid::Column(QStringLiteral("Number"), EditorGrid::Kind::Text, 120, 855, QString(), check)
            << EditorGrid::Column(QString(), EditorGrid::Kind::Label, 1040, 620, QStringLiteral("In top"))
            << EditorGrid::Column(QStringLiteral("Place"), EditorGrid::Kind::Text, 1680, 975, QString(), check)
            << EditorGrid::Column(QString(), EditorGrid::Kind::Label, 2760, 255, QStringLiteral("="))
            << EditorGrid::Column(QStringLiteral("Points"), EditorGrid::Kind::Text, 3000, 1095, QString(), check);
    m_topGrid = new EditorGrid(columns, m_frame2);
    m_topGrid->setGeometryTwips(360, 400, 120);
    m_topGrid->setHint(kAddRowHint, true);
    m_topGrid->setEnterFocusColumn(0);
    m_topGrid->newRowTexts = [](const EditorGrid&, int) {
        return QStringList{QStringLiteral("0"), QStringLiteral("In top"), QStringLiteral("0"), QStringLiteral("="),
                           QStringLiteral("0")};
    };
    m_topGrid->move(0, 0);
    m_topGrid->resize(m_topGrid->sizeHint());
    connect(m_topGrid, &EditorGrid::cellChanged, this, [this] { markPart(&m_topChanged); });

    m_clearTop = new QPushButton(QStringLiteral("Clear Scoring"), m_frame2);
    m_clearTop->setGeometry(pixelsX(4200, this), pixelsY(3360, this), pixelsX(1215, this), pixelsY(375, this));
    connect(m_clearTop, &QPushButton::clicked, this, &frmScoring::clearTopScoringClicked);
}

// ---- opening and editing ----

void frmScoring::fillFrom(cScoringType& method) {
    m_method = &method;
    m_name->setText(method.scoringTypeName());
    m_lapsLed->setText(QString::number(method.lapsLedBonus()));
    m_mostLapsLed->setText(QString::number(method.mostLapsLedBonus()));
    m_fastQual->setText(QString::number(method.fastQualBonus()));
    setWindowTitle(QStringLiteral("Scoring - ") + method.scoringTypeName());
}

void frmScoring::showWith(cScoringType& method) {
    fillFrom(method);
    exec();
    m_method = nullptr;
}

QString frmScoring::saveQuestionTitle() const {
    return m_method ? m_method->scoringTypeName() : QString();
}

void frmScoring::markPart(bool* flag) {
    if (!isVisible())
        return;
    *flag = true;
    markChanged();
}

void frmScoring::nameEdited(const QString& text) {
    if (!isVisible() || !m_method)
        return;
    m_method->setScoringTypeName(text);
    setWindowTitle(QStringLiteral("Scoring - ") + text);
    markPart(&m_headerChanged);
}

void frmScoring::setBonus(QLineEdit* box, int value) {
    if (box == m_lapsLed)
        m_method->setLapsLedBonus(value);
    else if (box == m_mostLapsLed)
        m_method->setMostLapsLedBonus(value);
    else
        m_method->setFastQualBonus(value);
}

// A refused bonus keeps the object's previous value.
bool frmScoring::checkBonus(QLineEdit* box) {
    if (!isVisible() || !m_method)
        return true;
    if (!checkNumberText(box, sixteenBit(NumberRule::Blank::Zero, true)))
        return false;
    // 32767.4 passes the bounds but 32767.6 rounds past them.
    const std::optional<int> value = whole16(numberFromText(box->text()).value_or(0));
    if (!value) {
        showValidation(QStringLiteral("Invalid Entry"));
        box->clear();
        return false;
    }
    setBonus(box, *value);
    return true;
}

// ---- storing ----

bool frmScoring::saveScoringType() {
    if (m_name->text().trimmed().isEmpty()) {
        showValidation(QStringLiteral("Scoring Name is a required field"));
        return false;
    }
    // A bonus box is read again here: Cancel takes the focus without running its leave check, and
    // answering Yes must not store the bonus from before the typing.
    for (QLineEdit* box : {m_lapsLed, m_mostLapsLed, m_fastQual})
        if (!checkBonus(box)) {
            box->setFocus();
            return false;
        }
    return m_method->CommitChanges();
}

bool frmScoring::applyScoringChanges() {
    // Each changed part is stored in turn, so none is left behind by another; the first refusal
    // stops the rest, which keep their changed flags for the next try.
    if (!m_headerChanged && !m_pointsChanged && !m_topChanged)
        return true;
    if (m_headerChanged) {
        if (!saveScoringType())
            return false;
        m_headerChanged = false;
    }
    if (m_pointsChanged) {
        if (!saveScoringPoints())
            return false;
        m_pointsChanged = false;
    }
    if (m_topChanged) {
        if (!saveScoringTopPoints())
            return false;
        m_topChanged = false;
    }
    applyButton()->setEnabled(false);
    return true;
}

// ---- tabs ----

bool frmScoring::storeTabLeft(int left) {
    switch (left) {
    case kHeaderTab:
        // Checked even when nothing was edited, so that a new method cannot reach the grids unnamed.
        if (m_name->text().isEmpty()) {
            showValidation(QStringLiteral("Name is a required field"));
            m_name->setFocus();
            return false;
        }
        if (m_headerChanged) {
            if (!saveScoringType())
                return false;
            m_headerChanged = false;
            applyButton()->setEnabled(false);
        }
        return true;
    case kPointsTab:
        if (m_pointsChanged) {
            if (!saveScoringPoints())
                return false;
            applyButton()->setEnabled(false);
            m_pointsChanged = false;
        }
        return true;
    case kTopTab:
        if (m_topChanged) {
            if (!saveScoringTopPoints())
                return false;
            applyButton()->setEnabled(false);
            m_topChanged = false;
        }
        return true;
    }
    return true;
}

void frmScoring::tabChanged(int shown) {
    if (m_switchingBack)
        return;
    const int left = m_shownTab;
    m_shownTab = shown;
    if (left != shown && (!checkFocusedBox(this) || !storeTabLeft(left))) {
        m_switchingBack = true;
        m_tabs->setCurrentIndex(left);
        m_switchingBack = false;
        m_shownTab = left;
        shown = left;
        if (left == kHeaderTab && m_name->text().isEmpty())
            m_name->setFocus();
    }
    prepareTabShown(shown);
}

// The frames of the tabs not shown are disabled, which keeps the focus out of their cells. A grid
// is built from the data file the first time its tab is shown; building it is no edit.
void frmScoring::prepareTabShown(int shown) {
    m_frame1->setEnabled(shown == kPointsTab);
    if (shown == kPointsTab && !m_pointsLoaded) {
        const bool applyWas = applyButton()->isEnabled();
        loadPointsGrid();
        m_pointsLoaded = true;
        m_pointsChanged = false;
        applyButton()->setEnabled(applyWas);
    }
    m_frame2->setEnabled(shown == kTopTab);
    if (shown == kTopTab && !m_topLoaded) {
        const bool applyWas = applyButton()->isEnabled();
        loadTopGrid();
        m_topLoaded = true;
        m_topChanged = false;
        applyButton()->setEnabled(applyWas);
    }
}

// ---- points per place ----

void frmScoring::loadPointsGrid() {
    cScoringPointsCollection stored;
    stored.load(m_method->scoringTypeNmbr());
    QList<QStringList> rows;
    for (const cScoringPoints& p : stored)
        rows.append({QString::number(p.place()), QString::number(p.points()), QString::number(p.qualPoints())});
    if (rows.isEmpty())
        rows.append({QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0")});
    m_pointsGrid->setRows(rows);
}

bool frmScoring::saveScoringPoints() {
    QList<PointsRowText> texts;
    for (int r = 0; r < m_pointsGrid->rowCount(); ++r)
        texts.append({m_pointsGrid->text(r, 0), m_pointsGrid->text(r, 1), m_pointsGrid->text(r, 2)});
    cScoringPointsCollection points;
    if (const std::optional<GridProblem> problem = collectScoringPoints(texts, m_method->scoringTypeNmbr(), points)) {
        showValidation(problem->message);
        m_pointsGrid->focusCell(problem->row, problem->column);
        return false;
    }
    // A grid without a single place to store leaves the table as it is; Clear Scoring empties it.
    if (points.isEmpty())
        return true;
    return points.insertScoringPoints(m_method->scoringTypeNmbr());
}

// The stored table goes at once, whatever happens to the window afterwards.
void frmScoring::clearScoringClicked() {
    const QString name = m_method->scoringTypeName();
    if (askQuestion(QStringLiteral("Are you sure you want to delete Scoring per Place for ") + name +
                        QStringLiteral("?"),
                    name, MsgButtons::YesNoCancel) != AnswerYes)
        return;
    cScoringPointsCollection().deleteScoringPoints(m_method->scoringTypeNmbr());
    m_pointsChanged = false;
    m_pointsLoaded = false;
    storeTabLeft(kPointsTab);
    prepareTabShown(m_shownTab);
    m_pointsGrid->focusCell(0, 0);
}

// ---- top-finish rules ----

void frmScoring::loadTopGrid() {
    cScoringTopPointsCollection stored;
    stored.load(m_method->scoringTypeNmbr());
    QList<QStringList> rows;
    for (const cScoringTopPoints& t : stored)
        rows.append({QString::number(t.nmbr()), QStringLiteral("In top"), QString::number(t.top()), QStringLiteral("="),
                     QString::number(t.points())});
    if (rows.isEmpty())
        rows.append({QStringLiteral("0"), QStringLiteral("In top"), QStringLiteral("0"), QStringLiteral("="),
                     QStringLiteral("0")});
    m_topGrid->setRows(rows);
}

bool frmScoring::saveScoringTopPoints() {
    QList<TopRowText> texts;
    for (int r = 0; r < m_topGrid->rowCount(); ++r)
        texts.append({m_topGrid->text(r, 0), m_topGrid->text(r, 2), m_topGrid->text(r, 4)});
    cScoringTopPointsCollection rules;
    if (const std::optional<GridProblem> problem = collectScoringTopPoints(texts, m_method->scoringTypeNmbr(), rules)) {
        showValidation(problem->message);
        // Problem columns count the cells; the grid's columns count the labels between them too.
        m_topGrid->focusCell(problem->row, problem->column * 2);
        return false;
    }
    if (rules.isEmpty())
        return true;
    return rules.insertScoringTopPoints();
}

void frmScoring::clearTopScoringClicked() {
    const QString name = m_method->scoringTypeName();
    if (askQuestion(QStringLiteral("Are you sure you want to delete Top Scoring ") + name + QStringLiteral("?"), name,
                    MsgButtons::YesNoCancel) != AnswerYes)
        return;
    cScoringTopPointsCollection().deleteScoringTopPoints(m_method->scoringTypeNmbr());
    m_topChanged = false;
    m_topLoaded = false;
    storeTabLeft(kTopTab);
    prepareTabShown(m_shownTab);
    m_topGrid->focusCell(0, 0);
}
