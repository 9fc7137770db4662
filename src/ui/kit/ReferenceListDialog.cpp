#include "kit/ReferenceListDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kObjectRole = Qt::UserRole;
}

ReferenceListDialog::ReferenceListDialog(const Layout& layout, QWidget* parent) : QDialog(parent) {
    setWindowTitle(layout.title);
    setModal(true);
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    m_list = new QTreeWidget(page);
    m_list->setObjectName(layout.listName);
    m_list->setColumnCount(int(layout.headers.size()));
    m_list->setHeaderLabels(layout.headers);
    m_list->setRootIsDecorated(false);
    m_list->setColumnHidden(0, true); // the rows' own text, always empty
    for (int i = 0; i < layout.widths.size(); ++i)
        m_list->setColumnWidth(i + 1, layout.widths.at(i));
    m_list->header()->setSectionsClickable(true);
    m_list->setMinimumSize(layout.minimumWidth, 200);
    m_list->installEventFilter(this);
    m_add = new QPushButton(QStringLiteral("&Add"), page);
    m_update = new QPushButton(QStringLiteral("&Update"), page);
    m_delete = new QPushButton(QStringLiteral("&Delete"), page);
    auto* side = new QVBoxLayout;
    side->addWidget(m_add);
    side->addWidget(m_update);
    side->addWidget(m_delete);
    side->addStretch(1);
    auto* pageLayout = new QHBoxLayout(page);
    pageLayout->addWidget(m_list, 1);
    pageLayout->addLayout(side);
    tabs->addTab(page, layout.tabCaption);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* main = new QVBoxLayout(this);
    main->addWidget(tabs);
    main->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_add, &QPushButton::clicked, this, [this] { addEntry(); });
    connect(m_update, &QPushButton::clicked, this, [this] { updateEntry(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { deleteEntry(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { updateEntry(); });
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_list->sortItems(column, Qt::AscendingOrder); });
    // The window opens in its list, not on the tabs above it.
    m_list->setFocus(Qt::OtherFocusReason);
}

void ReferenceListDialog::clearRows() {
    m_list->clear();
}

QTreeWidgetItem* ReferenceListDialog::appendRow(const QStringList& visibleTexts, void* object) {
    auto* item = new QTreeWidgetItem(m_list, QStringList{QString()} + visibleTexts);
    item->setData(0, kObjectRole, QVariant::fromValue(object));
    return item;
}

void ReferenceListDialog::finishRows(QTreeWidgetItem* chosen) {
    m_list->sortItems(1, Qt::AscendingOrder);
    m_list->setCurrentItem(chosen ? chosen : m_list->topLevelItem(0));
}

void* ReferenceListDialog::selectedObject() const {
    QTreeWidgetItem* item = m_list->currentItem();
    return item ? item->data(0, kObjectRole).value<void*>() : nullptr;
}

void ReferenceListDialog::reloadAfterEditor(const QString& name) {
    reload(name);
    m_skipNextActivation = true;
}

bool ReferenceListDialog::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        if (m_skipNextActivation)
            m_skipNextActivation = false;
        else
            reload(QString());
    }
    return QDialog::event(event);
}

bool ReferenceListDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteEntry();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
