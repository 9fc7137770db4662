#include "reports/framework/frmReportDetails.h"

#include "data/Feedback.h"
#include "kit/EditorKit.h"
#include "reports/framework/cAvailableReportColumns.h"
#include "reports/framework/cColor.h"
#include "reports/framework/cReportColumns.h"
#include "reports/framework/cReports.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>

namespace {

const QString kKeyPrefix = QStringLiteral("Column");

QListWidgetItem* columnItem(int columnNmbr, const QString& columnName) {
    auto* item = new QListWidgetItem(columnName);
    item->setData(Qt::UserRole, kKeyPrefix + QString::number(columnNmbr));
    return item;
}

// A column list of the Columns tab. Return and Space move its highlighted column to the other list,
// as the arrow beside it does (Return would otherwise press OK). The highlight always stands on the
// current item, so that what the keys move is what the list shows marked; and while the keys are in
// the list its frame is drawn in the highlight colour, since the style marks only the current item,
// too faintly to be seen on the highlight.
class ColumnList : public QListWidget {
public:
    ColumnList(QWidget* parent, std::function<void()> move) : QListWidget(parent), m_move(std::move(move)) {
        setSelectionMode(QAbstractItemView::SingleSelection);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain &&
            (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space)) {
            event->accept();
            m_move();
            return;
        }
        QListWidget::keyPressEvent(event);
    }
    // Ctrl+Space or a Ctrl+click would otherwise take the highlight off the current item.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent*) const override {
        return index.isValid() ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::NoUpdate;
    }
    void paintEvent(QPaintEvent* event) override {
        QListWidget::paintEvent(event);
        if (!hasFocus())
            return;
        QPainter painter(viewport());
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(viewport()->rect()).adjusted(1, 1, -1, -1));
    }

private:
    std::function<void()> m_move;
};

// Moves the selected item to the end of the other list. The item at the same row of the source list
// becomes the selected one, so that repeated clicks keep moving down the list.
bool moveSelected(QListWidget* from, QListWidget* to) {
    const QList<QListWidgetItem*> selected = from->selectedItems();
    if (selected.isEmpty())
        return false;
    const int row = from->row(selected.first());
    QListWidgetItem* item = from->takeItem(row);
    to->addItem(item);
    item->setSelected(false);
    from->clearSelection();
    if (from->count() > 0) {
        from->setCurrentRow(std::min(row, from->count() - 1));
    }
    return true;
}

} // namespace

frmReportDetails::frmReportDetails(QWidget* parent)
    : QDialog(parent), m_reportColors(std::make_unique<cColorCollection>()) {
    setWindowTitle(QStringLiteral("Report Details"));
    setModal(true);

    m_reports = new QComboBox(this);
    m_reports->setMinimumContentsLength(30);
    auto* reportLabel = new QLabel(QStringLiteral("Report:"), this);
    reportLabel->setBuddy(m_reports);
    auto* reportRow = new QHBoxLayout;
    reportRow->addWidget(reportLabel);
    reportRow->addWidget(m_reports, 1);
    reportRow->addStretch(1);

    m_tabs = new QTabWidget(this);
    m_tabs->addTab(buildColumnsTab(), QStringLiteral("Columns"));
    m_tabs->addTab(buildFormattingTab(), QStringLiteral("Formatting"));

    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_apply = new QPushButton(QStringLiteral("&Apply"), this);
    m_ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_apply);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(reportRow);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);

    // Tab goes from the report straight to its columns, so that Tab and Space after a choice of report
    // add a column, and on as the controls stand; the tab bar comes after the buttons, as in the editors.
    QList<QWidget*> chain{m_reports, m_available, m_add, m_remove, m_current};
    for (int i = 0; i < 4; ++i)
        chain << m_textColor[i] << m_textDefault[i] << m_backColor[i] << m_backDefault[i] << m_textSize[i];
    chain << m_borderSize << m_cellSpacing << m_cellPadding;
    for (int i = 0; i < 3; ++i)
        chain << m_linkColor[i] << m_linkDefault[i];
    chain << m_headerImage << m_backgroundImage << m_activeOnly << m_includeFooter << m_ok << m_cancel << m_apply
          << m_tabs;
    setTabChain(chain);

    cReportsCollection reports;
    reports.load();
    for (const auto& report : reports)
        m_reports->addItem(report.reportName(), report.reportNmbr());
    m_reports->setCurrentIndex(-1);
    m_tabs->setCurrentIndex(ColumnsTab);
    m_apply->setEnabled(false);

    connect(m_reports, &QComboBox::activated, this, &frmReportDetails::reportChosen);
    connect(m_tabs, &QTabWidget::currentChanged, this, &frmReportDetails::tabChanged);
    installTabSwitchKeys(m_tabs);
    connect(m_ok, &QPushButton::clicked, this, &frmReportDetails::okClicked);
    connect(m_cancel, &QPushButton::clicked, this, &frmReportDetails::cancelClicked);
    makeEscapeAndCloseBoxCancel(this, m_cancel);
    connect(m_apply, &QPushButton::clicked, this, &frmReportDetails::saveCurrentTab);
    m_reports->setObjectName(QStringLiteral("cmbReports"));
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_apply->setObjectName(QStringLiteral("cmdApply"));
    m_available->setObjectName(QStringLiteral("lvAvailable"));
    m_current->setObjectName(QStringLiteral("lvCurrent"));
    m_add->setObjectName(QStringLiteral("lblAdd"));
    m_remove->setObjectName(QStringLiteral("lblRemove"));
    m_reports->setFocus();
}

frmReportDetails::~frmReportDetails() = default;

QWidget* frmReportDetails::buildColumnsTab() {
    auto* page = new QWidget;
    auto* frame = new QGroupBox(page);

    m_available = new ColumnList(frame, [this] { addColumn(); });
    m_current = new ColumnList(frame, [this] { removeColumn(); });
    for (QListWidget* list : {m_available, m_current})
        list->setMinimumHeight(220);
    // Plain buttons, so that the style shows the focus on them; Return presses the one that has it.
    m_add = new QPushButton(QStringLiteral("--------->"), frame);
    m_remove = new QPushButton(QStringLiteral("<--------"), frame);

    auto* availableColumn = new QVBoxLayout;
    availableColumn->addWidget(new QLabel(QStringLiteral("Available Columns"), frame));
    availableColumn->addWidget(m_available);
    auto* currentColumn = new QVBoxLayout;
    currentColumn->addWidget(new QLabel(QStringLiteral("Current Columns"), frame));
    currentColumn->addWidget(m_current);
    auto* arrows = new QVBoxLayout;
    arrows->addStretch(1);
    arrows->addWidget(m_add);
    arrows->addWidget(m_remove);
    arrows->addStretch(1);

    auto* lists = new QHBoxLayout;
    lists->addLayout(availableColumn, 1);
    lists->addLayout(arrows);
    lists->addLayout(currentColumn, 1);

    auto* instruction = new QLabel(
        QStringLiteral("Add the columns to the report in the order you want them to appear on the report. If you want "
                       "to completely rearrange the report remove all columns and add them back in the order you want "
                       "them."),
        frame);
    instruction->setWordWrap(true);

    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addLayout(lists, 1);
    frameLayout->addWidget(instruction);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(frame);

    connect(m_add, &QPushButton::clicked, this, &frmReportDetails::addColumn);
    connect(m_available, &QListWidget::itemDoubleClicked, this, &frmReportDetails::addColumn);
    connect(m_remove, &QPushButton::clicked, this, &frmReportDetails::removeColumn);
    connect(m_current, &QListWidget::itemDoubleClicked, this, &frmReportDetails::removeColumn);
    return page;
}

// ---- the frame ----

int frmReportDetails::chosenReportNmbr(int index) const {
    return index < 0 ? -1 : m_reports->itemData(index).toInt();
}

void frmReportDetails::markDirty() {
    m_apply->setEnabled(true);
}

// Every choice counts, the report already shown included: it is how the user throws away edits.
// Edits the user asked to save are never thrown away: when the save is refused, the report they
// belong to stays chosen with them, so the user can correct them.
void frmReportDetails::reportChosen(int) {
    const bool formatting = m_tabs->currentIndex() == FormattingTab;
    if (askSaveChanges() == AnswerYes && !(formatting ? saveAttributes() : saveColumns())) {
        m_reports->setCurrentIndex(m_shownReportIndex);
        return;
    }
    if (formatting)
        loadAttributeControls();
    else
        loadColumnLists();
    m_shownReportIndex = m_reports->currentIndex();
}

// The tab now shown is always loaded afresh, so that it never shows settings older than the store.
// With edits pending, the tab they were made on comes back before anything is painted, and the
// question is asked over it: the other tab is not loaded yet and would show empty boxes. Cancel, and
// a refused save, keep the user there with the edits; Yes and No go on to the tab chosen.
void frmReportDetails::tabChanged(int index) {
    if (m_switchingTabs)
        return;
    const bool toFormatting = index == FormattingTab;
    if (m_apply->isEnabled()) {
        const int left = toFormatting ? ColumnsTab : FormattingTab;
        showTabQuietly(left);
        const int answer = askSaveChanges();
        if (answer == AnswerCancel || (answer == AnswerYes && !saveCurrentTab()))
            return;
        showTabQuietly(index);
    }
    if (toFormatting)
        loadAttributeControls();
    else
        loadColumnLists();
}

void frmReportDetails::showTabQuietly(int index) {
    m_switchingTabs = true;
    m_tabs->setCurrentIndex(index);
    m_switchingTabs = false;
}

// 0 when nothing is unsaved. The title is the report shown in the list now, which after a change of
// report is the new one although the edits belong to the one before.
int frmReportDetails::askSaveChanges() {
    if (!m_apply->isEnabled())
        return 0;
    return askQuestion(QStringLiteral("Do you want to save changes"), m_reports->currentText(),
                       MsgButtons::YesNoCancel);
}

bool frmReportDetails::saveCurrentTab() {
    const bool ok = m_tabs->currentIndex() == FormattingTab ? saveAttributes() : saveColumns();
    if (ok)
        m_apply->setEnabled(false);
    return ok;
}

void frmReportDetails::okClicked() {
    if (m_apply->isEnabled() && !saveCurrentTab())
        return;
    accept();
}

// Yes saves and stays open: the user sees the outcome, and the next Cancel closes.
void frmReportDetails::cancelClicked() {
    switch (askSaveChanges()) {
    case AnswerCancel:
        return;
    case AnswerYes:
        saveCurrentTab();
        return;
    default:
        reject();
    }
}

void frmReportDetails::done(int result) {
    QDialog::done(result);
    activateWindowBelow(this);
}

// The focus is shown from the start, not only once Tab has been pressed: the window is worked from
// the keys as much as with the mouse. Showing the window clears the flag, so it is set here.
void frmReportDetails::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    setAttribute(Qt::WA_KeyboardFocusChange);
}

// ---- tab "Columns" ----

void frmReportDetails::loadColumnLists() {
    const int index = m_reports->currentIndex();
    if (index >= 0) {
        const int reportNmbr = chosenReportNmbr(index);
        m_available->clear();
        cAvailableReportColumnsCollection available;
        available.loadNotUsed(reportNmbr);
        for (const auto& column : available)
            m_available->addItem(columnItem(column.columnNmbr(), column.columnName()));
        m_current->clear();
        cReportColumnsCollection current;
        current.load(reportNmbr);
        for (const auto& column : current)
            m_current->addItem(columnItem(column.columnNmbr(), column.columnName()));
        for (QListWidget* list : {m_available, m_current})
            if (list->count() > 0)
                list->setCurrentRow(0);
    }
    m_apply->setEnabled(false);
    m_shownReportIndex = index;
}

void frmReportDetails::addColumn() {
    if (moveSelected(m_available, m_current))
        markDirty();
}

void frmReportDetails::removeColumn() {
    if (moveSelected(m_current, m_available))
        markDirty();
}

bool frmReportDetails::saveColumns() {
    if (m_shownReportIndex < 0) {
        showPlainBox(QStringLiteral("No report selected"));
        return false;
    }
    const int reportNmbr = chosenReportNmbr(m_shownReportIndex);
    // Storing an empty list would change nothing yet look saved, and a report without columns cannot
    // be written; the stored columns are kept until at least one is chosen.
    if (m_current->count() == 0) {
        showValidation(QStringLiteral("Add at least one column to the report."));
        return false;
    }
    cReportColumnsCollection columns;
    for (int i = 0; i < m_current->count(); ++i) {
        const int columnNmbr = m_current->item(i)->data(Qt::UserRole).toString().remove(kKeyPrefix).toInt();
        columns.Add(reportNmbr, columnNmbr, i + 1, QString());
    }
    return columns.insertReportColumns();
}
