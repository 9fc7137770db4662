#include "kit/EditorGrid.h"

#include "kit/Twips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

constexpr int kShownRows = 7;
constexpr int kCellHeight = 285; // twips

bool isEnterKey(QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool isWindowSwitch(QEvent* event) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

std::function<bool(EditorGrid&, int, int)> EditorGrid::numberCheck(const NumberRule& rule) {
    return [rule](EditorGrid& grid, int row, int col) {
        auto* box = qobject_cast<QLineEdit*>(grid.cell(row, col));
        return !box || checkNumberText(box, rule);
    };
}

EditorGrid::EditorGrid(QList<Column> columns, QWidget* parent) : QWidget(parent), m_columns(std::move(columns)) {
    for (const Column& c : m_columns) {
        auto* header = new QLabel(c.header, this);
        header->setWordWrap(true);
        header->setVisible(!c.header.isEmpty());
        m_headers << header;
    }
    m_scroll = new QScrollBar(Qt::Vertical, this);
    m_scroll->setRange(0, 1);
    m_scroll->setPageStep(1);
    m_scroll->setEnabled(false);
    connect(m_scroll, &QScrollBar::valueChanged, this, [this] { relayout(); });

    for (const Column& c : m_columns)
        if (c.kind == Kind::List && !m_float) {
            m_float = new QComboBox(this);
            m_float->setEditable(false);
            m_float->hide();
            m_float->installEventFilter(this);
        }
    setGeometryTwips(360, 400, 60);
    createRow({});
}

int EditorGrid::px(int twips) const {
    return pixelsX(twips, this);
}
int EditorGrid::py(int twips) const {
    return pixelsY(twips, this);
}

namespace {

// The narrowest width in which the text, wrapped at its blanks, takes at most `lines` lines.
int wrappedWidth(const QFontMetrics& metrics, const QString& text, int lines) {
    if (text.isEmpty())
        return 0;
    int widest = 0;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word) + 1);
    const int whole = metrics.horizontalAdvance(text) + 1;
    for (int width = widest; width < whole; ++width)
        if (metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, text).height() <=
            lines * metrics.lineSpacing())
            return width;
    return whole;
}

} // namespace

void EditorGrid::setGeometryTwips(int firstRowTop, int rowStep, int headerTop) {
    m_firstTop = firstRowTop;
    m_rowStep = rowStep;
    m_headerTop = headerTop;
    // The design places the columns in twips; a header that needs more room than its column and the
    // gap after it (in the font the grid is shown in) widens its column and moves the ones after it.
    const QFontMetrics metrics = fontMetrics();
    // The lines the header's place holds (a second one where it has most of the room for it), the
    // label as high as they need, down to the first row at most.
    const int designHeight = py(std::max(firstRowTop - headerTop - 40, kCellHeight));
    const int headerLines = std::max(1, (designHeight + metrics.lineSpacing() / 2) / metrics.lineSpacing());
    const int headerHeight =
        std::max(designHeight, std::min(headerLines * metrics.lineSpacing(), py(firstRowTop) - py(headerTop)));
    int designRight = 0;
    for (const Column& col : m_columns)
        designRight = std::max(designRight, col.left + col.width);
    m_x.assign(size_t(columnCount()), 0);
    m_w.assign(size_t(columnCount()), 0);
    int moved = 0;
    m_right = 0;
    for (int c = 0; c < columnCount(); ++c) {
        const Column& col = m_columns[c];
        // A header may use the room up to the next column, the last one up to the scroll bar.
        int roomTwips = designRight + 120 - col.left;
        for (const Column& other : m_columns)
            if (other.left > col.left)
                roomTwips = std::min(roomTwips, other.left - col.left - 40);
        int width = px(col.width);
        int room = std::max(width, px(roomTwips));
        // A header that outgrows its room keeps a blank's width clear of the next one.
        const int needed = wrappedWidth(metrics, col.header, headerLines);
        const int grow = needed > room ? needed - room + metrics.horizontalAdvance(QLatin1Char(' ')) : 0;
        m_x[size_t(c)] = px(col.left) + moved;
        m_w[size_t(c)] = width + grow;
        room += grow;
        moved += grow;
        m_headers[c]->setGeometry(m_x[size_t(c)], py(headerTop), room, headerHeight);
        m_right = std::max(m_right, m_x[size_t(c)] + m_w[size_t(c)]);
    }
    const int rowsHeight = py(rowStep * (kShownRows - 1) + kCellHeight);
    m_scroll->setGeometry(m_right + px(120), py(firstRowTop), px(255), rowsHeight);
    if (m_hint) {
        // Beside the rows, as high as they are, so that it wraps as its words need.
        const int width = std::max(px(1600), wrappedWidth(metrics, m_hint->text(), 1000));
        m_hint->setGeometry(m_scroll->geometry().right() + 1 + px(105), py(firstRowTop), width, rowsHeight);
    }
    relayout();
    updateGeometry();
}

QSize EditorGrid::sizeHint() const {
    const int width = m_hint ? m_hint->geometry().right() + 1 : m_right + px(480);
    return {width, py(m_firstTop + m_rowStep * (kShownRows - 1) + kCellHeight + 60)};
}

void EditorGrid::setHint(const QString& text, bool alwaysShown) {
    if (!m_hint)
        m_hint = new QLabel(this);
    m_hint->setText(text);
    m_hint->setWordWrap(true);
    m_hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_hintAlways = alwaysShown;
    m_hint->setVisible(alwaysShown);
    setGeometryTwips(m_firstTop, m_rowStep, m_headerTop);
}

int EditorGrid::firstFocusColumn() const {
    for (int c = 0; c < columnCount(); ++c)
        if (m_columns[c].kind != Kind::Label && m_columns[c].kind != Kind::Display)
            return c;
    return 0;
}

// ---- rows ----

void EditorGrid::createRow(const QStringList& texts) {
    const int r = rowCount();
    Row row;
    for (int c = 0; c < columnCount(); ++c) {
        const Column& col = m_columns[c];
        QWidget* w = nullptr;
        switch (col.kind) {
        case Kind::Text:
        case Kind::List:
        case Kind::Display: {
            auto* box = new QLineEdit(this);
            box->setAlignment(col.alignment | Qt::AlignVCenter);
            if (col.kind == Kind::Text)
                selectAllOnFocus(box);
            if (col.kind == Kind::List)
                box->setReadOnly(true);
            if (col.kind == Kind::Display)
                box->setEnabled(false);
            connect(box, &QLineEdit::textChanged, this, [this, r, c] {
                if (!m_silent)
                    emit cellChanged(r, c);
            });
            if (col.check)
                installLeaveCheck(box, [this, r, c] {
                    if (m_relaying || !m_columns[c].check)
                        return true;
                    return m_columns[c].check(*this, r, c);
                });
            w = box;
            break;
        }
        case Kind::Check: {
            auto* box = new QCheckBox(this);
            connect(box, &QCheckBox::toggled, this, [this, r, c] {
                if (!m_silent)
                    emit cellChanged(r, c);
            });
            w = box;
            break;
        }
        case Kind::RowList: {
            auto* combo = new QComboBox(this);
            combo->setEditable(false);
            fillRowList(combo);
            connect(combo, &QComboBox::currentIndexChanged, this, [this, r, c, combo](int index) {
                m_rows[size_t(r)].numbers[size_t(c)] = index >= 0 ? combo->itemData(index).toInt() : 0;
                if (!m_silent)
                    emit cellChanged(r, c);
            });
            w = combo;
            break;
        }
        case Kind::Label:
            w = new QLabel(col.defaultText, this);
            break;
        }
        w->installEventFilter(this);
        w->hide();
        row.cells.push_back(w);
        row.numbers.push_back(0);
    }
    m_rows.push_back(std::move(row));
    ++m_silent;
    for (int c = 0; c < columnCount(); ++c)
        setCellText(r, c, c < texts.size() ? texts[c] : m_columns[c].defaultText);
    --m_silent;
    updateTabOrder();
    updateScrollRange();
    relayout();
}

void EditorGrid::fillRowList(QComboBox* combo) const {
    const QSignalBlocker block(combo);
    combo->clear();
    for (const auto& item : m_items)
        combo->addItem(item.first, item.second);
    combo->setCurrentIndex(-1);
}

void EditorGrid::setRows(const QList<QStringList>& rows) {
    clearRows();
    if (!rows.isEmpty()) {
        ++m_silent;
        for (int c = 0; c < columnCount(); ++c)
            setCellText(0, c, c < rows[0].size() ? rows[0][c] : m_columns[c].defaultText);
        --m_silent;
    }
    for (int i = 1; i < rows.size(); ++i)
        createRow(rows[i]);
}

void EditorGrid::clearRows() {
    if (m_float && m_float->isVisible()) {
        m_floatRow = -1;
        m_float->hide();
    }
    while (rowCount() > 1) {
        for (QWidget* w : m_rows.back().cells)
            delete w;
        m_rows.pop_back();
    }
    ++m_silent;
    for (int c = 0; c < columnCount(); ++c) {
        setCellText(0, c, m_columns[c].defaultText);
        m_rows[0].numbers[size_t(c)] = 0;
    }
    --m_silent;
    {
        const QSignalBlocker block(m_scroll);
        m_scroll->setValue(0);
    }
    updateScrollRange();
    relayout();
}

int EditorGrid::appendRow(const QStringList& texts) {
    createRow(texts);
    return rowCount() - 1;
}

void EditorGrid::updateScrollRange() {
    // The maximum is the row count, as the bar has always been set; it is switched on past seven rows.
    m_scroll->setMaximum(rowCount());
    if (rowCount() > kShownRows)
        m_scroll->setEnabled(true);
    else
        m_scroll->setEnabled(false);
}

void EditorGrid::enterInRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    const int v = m_scroll->value();
    const int focusCol = m_enterColumn >= 0 ? m_enterColumn : firstFocusColumn();
    if (row < rowCount() - 1) {
        if (m_policy == ScrollPolicy::EveryEnter) {
            // While the bar is off nothing can bring a row scrolled out of the window back.
            if (!m_scroll->isEnabled())
                focusCell(row + 1, focusCol);
            else if (row >= v && v != m_scroll->maximum()) {
                scrollTo(v + 1);
                focusCell(row + 1, focusCol);
            }
        } else if (row >= v + kShownRows - 1) {
            if (v != m_scroll->maximum()) {
                scrollTo(v + 1);
                focusCell(row + 1, focusCol);
            }
        } else if (v > row) {
            scrollTo(row);
            focusCell(row, focusCol);
        } else {
            focusCell(row + 1, focusCol);
        }
        return;
    }
    QStringList texts;
    if (newRowTexts) {
        texts = newRowTexts(*this, row);
        if (texts.isEmpty())
            return;
    } else {
        for (const Column& c : m_columns)
            texts << c.defaultText;
    }
    if (row >= v + kShownRows - 1) {
        m_scroll->setMaximum(rowCount() + 1);
        m_scroll->setEnabled(true);
        scrollTo(v + 1);
    }
    createRow(texts);
    const int added = rowCount() - 1;
    for (int c = 0; c < columnCount(); ++c)
        if (m_columns[c].kind != Kind::Label)
            emit cellChanged(added, c);
    focusCell(added, focusCol);
}

// ---- cells ----

QWidget* EditorGrid::cell(int row, int col) const {
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return nullptr;
    return m_rows[size_t(row)].cells[size_t(col)];
}

QString EditorGrid::text(int row, int col) const {
    QWidget* w = cell(row, col);
    if (auto* box = qobject_cast<QLineEdit*>(w))
        return box->text();
    if (auto* check = qobject_cast<QCheckBox*>(w))
        return check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    return QString();
}

QStringList EditorGrid::rowTexts(int row) const {
    QStringList texts;
    for (int c = 0; c < columnCount(); ++c)
        texts << text(row, c);
    return texts;
}

void EditorGrid::setCellText(int row, int col, const QString& text) {
    QWidget* w = cell(row, col);
    if (auto* box = qobject_cast<QLineEdit*>(w)) {
        box->setText(text);
    } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
        check->setChecked(text.trimmed().toInt() != 0);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    }
}

void EditorGrid::setText(int row, int col, const QString& text) {
    ++m_silent;
    setCellText(row, col, text);
    --m_silent;
}

int EditorGrid::number(int row, int col) const {
    if (!cell(row, col))
        return 0;
    return m_rows[size_t(row)].numbers[size_t(col)];
}

void EditorGrid::setListCell(int row, int col, const QString& text, int number) {
    if (!cell(row, col))
        return;
    setText(row, col, text);
    m_rows[size_t(row)].numbers[size_t(col)] = number;
}

void EditorGrid::setListItems(const QList<QPair<QString, int>>& items) {
    m_items = items;
    if (m_float) {
        const QSignalBlocker block(m_float);
        m_float->clear();
        for (const auto& item : m_items)
            m_float->addItem(item.first, item.second);
    }
    ++m_silent;
    for (int c = 0; c < columnCount(); ++c)
        if (m_columns[c].kind == Kind::RowList)
            for (int r = 0; r < rowCount(); ++r) {
                fillRowList(static_cast<QComboBox*>(cell(r, c)));
                m_rows[size_t(r)].numbers[size_t(c)] = 0;
            }
    --m_silent;
}

bool EditorGrid::locate(QObject* widget, int* row, int* col) const {
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (m_rows[size_t(r)].cells[size_t(c)] == widget) {
                *row = r;
                *col = c;
                return true;
            }
    return false;
}

// ---- scrolling ----

int EditorGrid::firstShownRow() const {
    return m_scroll->value();
}

bool EditorGrid::isRowShown(int row) const {
    QWidget* w = cell(row, 0);
    return w && !w->isHidden();
}

void EditorGrid::scrollTo(int value) {
    if (value == m_scroll->value())
        relayout();
    else
        m_scroll->setValue(value); // lays the rows out through valueChanged
}

void EditorGrid::wheelEvent(QWheelEvent* event) {
    scrollByWheel(event);
}

void EditorGrid::scrollByWheel(QWheelEvent* event) {
    // The bar moves as under the wheel itself, and only while it is switched on.
    if (m_scroll->isEnabled())
        QCoreApplication::sendEvent(m_scroll, event);
}

void EditorGrid::relayout() {
    ++m_relaying;
    if (m_float && m_float->isVisible())
        m_float->hide(); // its loss of the focus copies the choice back
    const int first = m_scroll->value();
    const int last = std::min(rowCount() - 1, first + kShownRows - 1);
    for (int r = 0; r < rowCount(); ++r)
        if (r < first || r > last)
            for (QWidget* w : m_rows[size_t(r)].cells)
                w->hide();
    for (int r = first; r <= last; ++r) {
        const int top = m_firstTop + (r - first) * m_rowStep;
        for (int c = 0; c < columnCount(); ++c) {
            QWidget* w = m_rows[size_t(r)].cells[size_t(c)];
            w->setGeometry(m_x[size_t(c)], py(top), m_w[size_t(c)], py(kCellHeight));
            w->show();
        }
    }
    --m_relaying;
}

void EditorGrid::updateTabOrder() {
    QWidget* previous = nullptr;
    for (const Row& row : m_rows)
        for (QWidget* w : row.cells) {
            if (qobject_cast<QLabel*>(w) || !w->isEnabled())
                continue;
            if (previous)
                QWidget::setTabOrder(previous, w);
            previous = w;
        }
}

void EditorGrid::focusCell(int row, int col) {
    QWidget* w = cell(row, col);
    if (!w)
        return;
    if (!isRowShown(row))
        scrollTo(std::max(0, std::min(row, rowCount() - 1)));
    if (m_columns[col].kind == Kind::List && w->focusPolicy() == Qt::NoFocus)
        w->setFocusPolicy(Qt::StrongFocus);
    w->setFocus(Qt::OtherFocusReason);
}

// ---- the floating list ----

void EditorGrid::floatOver(int row, int col) {
    QWidget* w = cell(row, col);
    if (!m_float || !w || !w->isVisible() || !w->hasFocus())
        return;
    if (listAllowed && !listAllowed(row, col))
        return;
    m_floatRow = row;
    m_floatCol = col;
    m_float->setGeometry(w->x(), w->y(), w->width(), m_float->sizeHint().height());
    const QString t = text(row, col).trimmed();
    int index = -1;
    for (int i = 0; i < m_float->count() && index < 0; ++i)
        if (t.isEmpty() ? m_float->itemText(i).trimmed().isEmpty() : m_float->itemText(i) == t)
            index = i;
    {
        const QSignalBlocker block(m_float);
        m_float->setCurrentIndex(index);
    }
    // The list takes the cell's place in the tab order; the covered cell is no tab stop meanwhile,
    // or tabbing out of the list would land on the cell and bring the list straight back.
    QWidget::setTabOrder(w, m_float);
    w->setFocusPolicy(Qt::NoFocus);
    m_float->show();
    m_float->raise();
    m_float->setFocus(Qt::OtherFocusReason);
    if (m_hint)
        m_hint->show();
}

void EditorGrid::copyBack() {
    const int row = m_floatRow;
    const int col = m_floatCol;
    if (row < 0 || row >= rowCount())
        return;
    m_floatRow = -1;
    QWidget* w = cell(row, col);
    const int index = m_float->currentIndex();
    m_rows[size_t(row)].numbers[size_t(col)] = index >= 0 ? m_float->itemData(index).toInt() : 0;
    static_cast<QLineEdit*>(w)->setText(m_float->currentText()); // counts as an edit
    w->setFocusPolicy(Qt::StrongFocus);
    m_float->hide();
    if (m_hint && !m_hintAlways)
        m_hint->hide();
    if (!m_silent)
        emit listChosen(row, col);
}

bool EditorGrid::tabIntoHiddenRow(int row, int col, const QKeyEvent* key) {
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const bool forward = key->key() == Qt::Key_Tab && modifiers == Qt::NoModifier;
    const bool backward = key->key() == Qt::Key_Backtab && (modifiers & ~Qt::ShiftModifier) == Qt::NoModifier;
    if (!forward && !backward)
        return false;
    int r = row;
    int c = col;
    do {
        c += forward ? 1 : -1;
        if (c == columnCount()) {
            c = 0;
            ++r;
        } else if (c < 0) {
            c = columnCount() - 1;
            --r;
        }
    } while (r >= 0 && r < rowCount() && (m_columns[c].kind == Kind::Label || !cell(r, c)->isEnabled()));
    if (r < 0 || r >= rowCount() || isRowShown(r))
        return false;
    scrollTo(forward ? r - kShownRows + 1 : r);
    cell(r, c)->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool EditorGrid::searchKey(QKeyEvent* key) {
    if (m_float->view()->isVisible() || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const bool continues =
        m_lastSearchKey.isValid() && m_lastSearchKey.elapsed() < QApplication::keyboardInputInterval();
    if (key->key() != Qt::Key_Space) {
        if (!key->text().isEmpty() && key->text().at(0).isPrint())
            m_lastSearchKey.start();
        return false; // the list searches its items for the typed text itself
    }
    // A blank within a typed name ("Red Driver") goes on searching instead of opening the list; a
    // blank typed after the search has lapsed would choose the blank entry and lose the car, so it
    // does nothing.
    if (continues) {
        m_lastSearchKey.start();
        QAbstractItemView* view = m_float->view();
        const int before = m_float->currentIndex();
        view->setCurrentIndex(m_float->model()->index(before, m_float->modelColumn()));
        view->keyboardSearch(QStringLiteral(" "));
        const int found = view->currentIndex().row();
        if (found != before && found >= 0)
            m_float->setCurrentIndex(found);
    }
    return true;
}

bool EditorGrid::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over a cell or the floating list scrolls the rows; it never changes a cell's choice.
    int row = -1;
    int col = -1;
    if (event->type() == QEvent::Wheel && (watched == m_float || locate(watched, &row, &col))) {
        scrollByWheel(static_cast<QWheelEvent*>(event));
        return true;
    }
    if (watched == m_float) {
        if (isEnterKey(event)) {
            if (m_floatRow >= 0)
                enterInRow(m_floatRow);
            return true;
        }
        if (event->type() == QEvent::KeyPress && m_floatRow >= 0 &&
            tabIntoHiddenRow(m_floatRow, m_floatCol, static_cast<QKeyEvent*>(event)))
            return true;
        if (event->type() == QEvent::KeyPress && searchKey(static_cast<QKeyEvent*>(event)))
            return true;
        if (event->type() == QEvent::FocusOut && !isWindowSwitch(event))
            copyBack();
        return false;
    }
    if (!locate(watched, &row, &col))
        return false;
    if (isEnterKey(event)) {
        enterInRow(row);
        return true;
    }
    if (event->type() == QEvent::KeyPress && tabIntoHiddenRow(row, col, static_cast<QKeyEvent*>(event)))
        return true;
    if (event->type() == QEvent::FocusIn) {
        if (m_hint)
            m_hint->show();
        if (m_columns[col].kind == Kind::List && !isWindowSwitch(event)) {
            // Laid over after the focus change under way has finished.
            QPointer<EditorGrid> self = this;
            QMetaObject::invokeMethod(
                this,
                [self, row, col] {
                    if (self)
                        self->floatOver(row, col);
                },
                Qt::QueuedConnection);
        }
    } else if (event->type() == QEvent::FocusOut && m_hint && !m_hintAlways && !isWindowSwitch(event)) {
        m_hint->hide();
    }
    return false;
}
