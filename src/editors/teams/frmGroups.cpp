#include "editors/teams/frmGroups.h"

#include "data/CommonCode.h"
#include "data/cCarCollection.h"
#include "data/cGroupCollection.h"
#include "editors/EditorKit.h"
#include "editors/teams/frmGroup.h"

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

frmGroups::frmGroups(QWidget* parent) : QDialog(parent), m_groups(std::make_unique<cGroupCollection>()) {
    setWindowTitle(QStringLiteral("Groups"));
    setModal(true);
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    m_list = new QTreeWidget(page);
    m_list->setObjectName(QStringLiteral("lvwGroups"));
    m_list->setColumnCount(3);
    m_list->setHeaderLabels({QStringLiteral("Groups"), QStringLiteral("Group"), QStringLiteral("Number Cars/Drivers")});
    m_list->setRootIsDecorated(false);
    m_list->setColumnHidden(0, true); // the rows' own text, always empty
    m_list->setColumnWidth(1, 200);
    m_list->setColumnWidth(2, 140);
    m_list->header()->setSectionsClickable(true);
    m_list->setMinimumSize(360, 200);
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
    tabs->addTab(page, QStringLiteral("Groups"));

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_add, &QPushButton::clicked, this, [this] { addGroup(); });
    connect(m_update, &QPushButton::clicked, this, [this] { updateGroup(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { deleteGroup(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { updateGroup(); });
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_list->sortItems(column, Qt::AscendingOrder); });
}

frmGroups::~frmGroups() = default;

bool frmGroups::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        if (m_skipNextActivation)
            m_skipNextActivation = false;
        else
            loadGroups(QString());
    }
    return QDialog::event(event);
}

bool frmGroups::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteGroup();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmGroups::loadGroups(const QString& name) {
    auto groups = std::make_unique<cGroupCollection>();
    groups->load();
    if (groups->Count() == 0)
        return;
    m_list->clear();
    QTreeWidgetItem* chosen = nullptr;
    for (cGroup& group : *groups) {
        auto* item = new QTreeWidgetItem(
            m_list, {QString(), group.groupName(),
                     group.maxNmbr() >= 0 ? QString::number(group.maxNmbr()) : QStringLiteral("No Limit")});
        item->setData(0, kObjectRole, QVariant::fromValue(static_cast<void*>(&group)));
        if (!chosen && group.groupName() == name)
            chosen = item;
    }
    m_groups = std::move(groups);
    m_list->sortItems(1, Qt::AscendingOrder);
    m_list->setCurrentItem(chosen ? chosen : m_list->topLevelItem(0));
}

cGroup* frmGroups::selectedGroup() const {
    QTreeWidgetItem* item = m_list->currentItem();
    return item ? static_cast<cGroup*>(item->data(0, kObjectRole).value<void*>()) : nullptr;
}

void frmGroups::addGroup() {
    cGroup group;
    {
        frmGroup editor(this);
        editor.showWith(group);
    }
    loadGroups(QString());
    m_skipNextActivation = true;
}

void frmGroups::updateGroup() {
    cGroup* group = selectedGroup();
    if (!group)
        return;
    {
        frmGroup editor(this);
        editor.showWith(*group);
    }
    loadGroups(group->groupName());
    m_skipNextActivation = true;
}

void frmGroups::deleteGroup() {
    cGroup* group = selectedGroup();
    if (!group)
        return;
    const QString name = group->groupName();
    const int nmbr = group->groupNmbr();
    if (nmbr < 500) {
        showPlainBox(QStringLiteral("Can't delete system generated Group ") + name);
        return;
    }
    cCarCollection cars;
    cars.load();
    if (cars.groupNmbrExists(nmbr)) {
        showValidation(QStringLiteral("At least one Car/Driver is using this Group.\r\nYou must remove Group ") + name +
                       QStringLiteral(" from all Cars/Drivers before Group can be deleted."));
        return;
    }
    if (askQuestion(QStringLiteral("Are you sure you want to delete Group ") + name, QStringLiteral("Quorvanti"),
                    MsgButtons::YesNoCancel) != AnswerYes)
        return;
    group->deleteRow();
    loadGroups(QString());
}
