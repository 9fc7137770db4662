#include "shell/ListWindow.h"

#include "data/DataChanges.h"
#include "kit/SortByValue.h"
#include "shell/EntityCommands.h"

#include <QApplication>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Twips (1/1440 inch) at 96 dots per inch.
int twipsToPixels(int twips) {
    return twips / 15;
}

// One picture per kind of list: a coloured disc with the kind's initial.
QIcon kindIcon(EntityKind kind) {
    struct Look {
        QChar letter;
        QColor colour;
    };
    static const Look looks[] = {{u'L', QColor(0x1f, 0x5f, 0xa8)},
                                 {u'T', QColor(0x2e, 0x8b, 0x57)},
                                 {u'C', QColor(0xc0, 0x39, 0x2b)},
                                 {u'R', QColor(0xd3, 0x84, 0x00)},
                                 {u'S', QColor(0x6c, 0x3f, 0x9e)}};
    const Look& look = looks[int(kind)];
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(look.colour);
        p.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
        QFont font = QApplication::font();
        font.setBold(true);
        font.setPixelSize(size * 5 / 8);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QString(look.letter));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// Sorts the rows in the order of every list (see sortsBefore); rows that sort alike stay in the
// order they were filled in, whatever order they were shown in before, so a list brought up to date
// shows its rows as a list filled anew does.
class ValueSortProxy : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        const QVariant leftValue = left.data(SortValueRole);
        const QVariant rightValue = right.data(SortValueRole);
        const QString leftText = left.data(Qt::DisplayRole).toString();
        const QString rightText = right.data(Qt::DisplayRole).toString();
        if (sortsBefore(leftValue, leftText, rightValue, rightText))
            return true;
        if (sortsBefore(rightValue, rightText, leftValue, leftText))
            return false;
        return left.row() < right.row();
    }
};

} // namespace

ListWindow::ListWindow(EntityKind kind, QWidget* parent) : QWidget(parent), m_kind(kind) {
    m_model = new ListRowsModel(kindIcon(kind), this);
    m_proxy = new ValueSortProxy(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setDynamicSortFilter(false);

    m_details = new QTreeView;
    m_details->setObjectName(QStringLiteral("lvwDisplay"));
    m_details->setRootIsDecorated(false);
    m_details->setUniformRowHeights(true);
    m_details->setAllColumnsShowFocus(true);
    m_details->setModel(m_proxy);
    m_details->header()->setSectionsClickable(true);
    m_details->header()->setSortIndicatorShown(true);
    m_details->header()->setStretchLastSection(false);
    connect(m_details->header(), &QHeaderView::sectionClicked, this, &ListWindow::headerClicked);

    m_icons = new QListView;
    m_icons->setObjectName(QStringLiteral("lvwDisplayIcons"));
    m_icons->setModel(m_proxy);
    m_icons->setResizeMode(QListView::Adjust);
    m_icons->setWrapping(true);
    // Both views show one selection, so a command acts on the same row whatever the view.
    QItemSelectionModel* unused = m_icons->selectionModel();
    m_icons->setSelectionModel(m_details->selectionModel());
    delete unused;

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(m_details), static_cast<QAbstractItemView*>(m_icons)}) {
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::clicked, this, [this] { rowChosen(); });
    }
    // However the user moves the highlight (keys, a typed number, a click, a drag), the row is chosen
    // here; the fills and refreshes move it for the program and stay quiet.
    connect(m_details->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_quiet)
            rowChosen();
    });

    m_stack = new QStackedWidget;
    m_stack->addWidget(m_details);
    m_stack->addWidget(m_icons);

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_stack, 1);

    connect(&dataChanges(), &DataChanges::changed, this, &ListWindow::storedDataChanged);
    // A window hidden behind another maximised one hands its focus on to the next field that can
    // take it (a panel box, say), and its sub-window would give the focus back to that box.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (old && isAncestorOf(old) && !old->isVisible())
            m_focusWhenHidden = old;
    });
}

ListWindow::~ListWindow() = default;

void ListWindow::setView() {
    setView(currentListViewMode());
}

void ListWindow::setView(int mode) {
    switch (mode) {
    case 1:
        m_icons->setViewMode(QListView::IconMode);
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setIconSize(QSize(32, 32));
        m_icons->setGridSize(QSize(96, 64));
        m_icons->setMovement(QListView::Static);
        break;
    case 2:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setFlow(QListView::TopToBottom);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize());
        break;
    case 4:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize(140, 20));
        break;
    default:
        mode = 3;
        break;
    }
    m_icons->setWrapping(true);
    m_viewMode = mode;
    m_stack->setCurrentWidget(currentView());
    // The highlight stays; the current cell comes into a column of the view now shown.
    const QModelIndex current = m_details->selectionModel()->currentIndex();
    if (current.isValid() && current.column() != keyColumn()) {
        const QScopedValueRollback<bool> quiet(m_quiet, true);
        m_details->selectionModel()->setCurrentIndex(current.siblingAtColumn(keyColumn()),
                                                     QItemSelectionModel::NoUpdate);
    }
}

QAbstractItemView* ListWindow::currentView() const {
    return m_viewMode == 3 ? static_cast<QAbstractItemView*>(m_details) : m_icons;
}

void ListWindow::takeKeys() {
    currentView()->setFocus(Qt::OtherFocusReason);
}

int ListWindow::keyColumn() const {
    if (m_viewMode != 3)
        return m_icons->modelColumn();
    const QHeaderView* header = m_details->header();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical))
            return logical;
    }
    return 0;
}

void ListWindow::highlightRow(int displayRow) {
    const QScopedValueRollback<bool> quiet(m_quiet, true);
    const QModelIndex index = m_proxy->index(displayRow, keyColumn());
    if (!index.isValid()) {
        m_details->selectionModel()->clear();
        return;
    }
    m_details->selectionModel()->setCurrentIndex(index,
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListWindow::headerClicked(int section) {
    m_sortColumn = sortColumnForHeader(section);
    applySort();
}

void ListWindow::applySort() {
    m_proxy->sort(m_sortColumn, Qt::AscendingOrder);
    // The header shows the column clicked, also when it sorts by a hidden one.
    m_details->header()->setSortIndicator(m_sortColumn, Qt::AscendingOrder);
}

int ListWindow::rowCount() const {
    return m_proxy->rowCount();
}

QString ListWindow::displayedText(int row, int column) const {
    return m_proxy->index(row, column).data(Qt::DisplayRole).toString();
}

int ListWindow::selectedDisplayRow() const {
    const QModelIndexList rows = m_details->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

bool ListWindow::isStale() const {
    return m_filled && dataChanges().lastChangeOf(m_tables) > m_readAt;
}

void ListWindow::storedDataChanged() {
    // A window not shown catches up when it is shown again.
    if (isVisible() && isStale())
        refresh();
}

void ListWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (sub && !m_activationWatched) {
        m_activationWatched = true;
        connect(sub, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
            if (before.testFlag(Qt::WindowActive) || !now.testFlag(Qt::WindowActive))
                return;
            QPointer<QWidget> field = std::exchange(m_focusWhenHidden, nullptr);
            if (field && field->isVisible() && field->isEnabled())
                field->setFocus(Qt::OtherFocusReason);
        });
    }
    if (!m_refreshing && isStale())
        refresh();
}

void ListWindow::refresh() {
    if (m_refreshing)
        return;
    const QScopedValueRollback<bool> quiet(m_quiet, true);
    const int selected = selectedObject();
    int number = selected >= 0 ? m_model->number(selected) : 0;
    QScrollBar* bar = currentView()->verticalScrollBar();
    const int top = bar->value();
    m_refreshing = true;
    reload();
    m_refreshing = false;
    const int newEntity = m_newEntity ? m_newEntity() : 0;
    if (newEntity >= 1)
        number = newEntity;
    int found = -1;
    if (selected >= 0 || newEntity >= 1)
        for (int row = 0; row < m_model->rowCount() && found < 0; ++row)
            if (m_model->number(row) == number)
                found = row;
    // A row that is gone leaves nothing selected, not the row the view moved to in its place.
    selectObject(found);
    bar->setValue(top);
    if (newEntity >= 1 && found >= 0)
        currentView()->scrollTo(currentView()->currentIndex());
}

void ListWindow::beginFill(const QList<Column>& columns) {
    // Whatever is read from here on is at least as new as every change noted so far.
    m_readAt = dataChanges().serial();
    m_details->setUpdatesEnabled(false);
    m_icons->setUpdatesEnabled(false);
    m_fill.clear();
    QStringList headers;
    for (const Column& c : columns)
        headers << c.header;
    if (headers != m_model->headers()) {
        // Other columns: none of the rows shown can be kept.
        m_proxy->sort(-1);
        m_model->setHeaders(headers);
        m_resort = true;
    }
    // The design widths were set for a narrower font; they grow with the font's character width,
    // and the first column also makes room for the row's picture.
    const double scale = std::max(1.0, fontMetrics().averageCharWidth() / 5.0);
    for (int i = 0; i < columns.size(); ++i) {
        int width = int(twipsToPixels(columns[i].widthTwips) * scale);
        if (i == 0 && width > 0)
            width += m_details->iconSize().isValid() ? m_details->iconSize().width() + 6 : 22;
        m_details->setColumnHidden(i, width == 0);
        if (width > 0)
            m_details->setColumnWidth(i, width);
    }
}

int ListWindow::addRow(int number, const QStringList& texts) {
    m_fill.push_back({number, texts, {}});
    return int(m_fill.size()) - 1;
}

void ListWindow::setSortValue(int objectIndex, int column, const QVariant& value) {
    if (objectIndex >= 0 && objectIndex < int(m_fill.size()))
        m_fill[size_t(objectIndex)].sortValues.append({column, value});
}

bool ListWindow::mergeFill() {
    const int filled = int(m_fill.size());
    QHash<int, int> fillIndex;
    fillIndex.reserve(filled);
    for (int i = 0; i < filled; ++i)
        fillIndex.insert(m_fill[size_t(i)].number, i);

    // A shown row stays, in its place, while its entity comes later in the fill than the entity of
    // the row kept before it: then the kept rows are in the fill's order, and the new ones go in
    // between them.
    const int shown = m_model->rowCount();
    std::vector<int> keptAs;
    keptAs.reserve(size_t(shown));
    std::vector<bool> remove(size_t(shown), false);
    int lastKept = -1;
    for (int row = 0; row < shown; ++row) {
        const int at = fillIndex.value(m_model->number(row), -1);
        if (at > lastKept) {
            keptAs.push_back(at);
            lastKept = at;
        } else {
            remove[size_t(row)] = true;
        }
    }
    for (int row = shown - 1; row >= 0;) {
        if (!remove[size_t(row)]) {
            --row;
            continue;
        }
        int first = row;
        while (first > 0 && remove[size_t(first - 1)])
            --first;
        m_model->removeRowRange(first, row - first + 1);
        row = first - 1;
    }

    bool orderMoved = false;
    size_t kept = 0;
    for (int i = 0; i < filled;) {
        if (kept < keptAs.size() && keptAs[kept] == i) {
            ++kept;
            orderMoved = m_model->updateRow(i, std::move(m_fill[size_t(i)]), m_sortColumn) || orderMoved;
            ++i;
            continue;
        }
        // The new rows up to the next kept one go in together.
        const int end = kept < keptAs.size() ? keptAs[kept] : filled;
        m_model->insertRowRange(i, m_fill.begin() + i, m_fill.begin() + end);
        orderMoved = true;
        i = end;
    }
    m_fill.clear();
    return orderMoved;
}

void ListWindow::endFill(int selected, bool selectFirst) {
    const QScopedValueRollback<bool> quiet(m_quiet, true);
    if (mergeFill() || m_resort)
        applySort();
    m_resort = false;
    m_filled = true;
    m_details->setUpdatesEnabled(true);
    m_icons->setUpdatesEnabled(true);
    if (m_refreshing)
        return;
    m_details->selectionModel()->clear();
    if (selected >= 0)
        selectObject(selected);
    setView();
    if (!isVisible()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->show();
        show();
    }
    if (selectFirst && rowCount() > 0)
        highlightRow(0);
    const QModelIndex current = m_details->selectionModel()->currentIndex();
    if (rowCount() > 0 && current.isValid())
        currentView()->scrollTo(current);
    bringForward();
}

int ListWindow::selectedObject() const {
    const QModelIndexList rows = m_details->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return -1;
    return m_proxy->mapToSource(rows.first()).row();
}

void ListWindow::selectObject(int objectIndex) {
    if (objectIndex < 0) {
        highlightRow(-1);
        return;
    }
    const QModelIndex index = m_proxy->mapFromSource(m_model->index(objectIndex, 0));
    if (index.isValid())
        highlightRow(index.row());
}

void ListWindow::bringForward() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        if (QMdiArea* area = sub->mdiArea())
            area->setActiveSubWindow(sub);
        sub->raise();
    } else if (isWindow()) {
        activateWindow();
    } else {
        raise();
    }
}

bool ListWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            runUpdateCommand(m_kind);
            return true;
        case Qt::Key_Insert:
            runNewCommand(m_kind);
            return true;
        case Qt::Key_Delete:
            runDeleteCommand(m_kind);
            return true;
        default:
            break;
        }
        break;
    }
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && !key->isAutoRepeat())
            rowChosen();
        break;
    }
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            runUpdateCommand(m_kind);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            popupEntityMenu(m_kind, mouse->globalPosition().toPoint());
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
