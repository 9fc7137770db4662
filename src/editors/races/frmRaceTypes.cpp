#include "editors/races/frmRaceTypes.h"

#include "data/CommonCode.h"
#include "data/cLeague.h"
#include "data/cRaceTypeCollection.h"
#include "editors/EditorKit.h"
#include "editors/races/frmRaceType.h"
#include "posting/cRacesCollection.h"

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

frmRaceTypes::frmRaceTypes(QWidget* parent) : QDialog(parent), m_raceTypes(std::make_unique<cRaceTypeCollection>()) {
    setWindowTitle(QStringLiteral("Race Types"));
    setModal(true);
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    m_list = new QTreeWidget(page);
    m_list->setObjectName(QStringLiteral("lvwRaceTypes"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Race Type"), QStringLiteral("Race Type")});
    m_list->setRootIsDecorated(false);
    m_list->setColumnHidden(0, true); // the rows' own text, always empty
    m_list->setColumnWidth(1, 233); // 3500 twips
    m_list->header()->setSectionsClickable(true);
    m_list->setMinimumSize(260, 200);
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
    tabs->addTab(page, QStringLiteral("Race Types"));

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
    connect(m_add, &QPushButton::clicked, this, [this] { addRaceType(); });
    connect(m_update, &QPushButton::clicked, this, [this] { updateRaceType(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { deleteRaceType(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { updateRaceType(); });
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_list->sortItems(column, Qt::AscendingOrder); });
}

frmRaceTypes::~frmRaceTypes() = default;

bool frmRaceTypes::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        if (m_skipNextActivation)
            m_skipNextActivation = false;
        else
            loadRaceTypes(QString());
    }
    return QDialog::event(event);
}

bool frmRaceTypes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteRaceType();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmRaceTypes::loadRaceTypes(const QString& name) {
    auto raceTypes = std::make_unique<cRaceTypeCollection>();
    raceTypes->load();
    if (raceTypes->Count() == 0)
        return;
    m_list->clear();
    QTreeWidgetItem* chosen = nullptr;
    for (cRaceType& raceType : *raceTypes) {
        auto* item = new QTreeWidgetItem(m_list, {QString(), raceType.raceTypeName()});
        item->setData(0, kObjectRole, QVariant::fromValue(static_cast<void*>(&raceType)));
        if (!chosen && raceType.raceTypeName() == name)
            chosen = item;
    }
    m_raceTypes = std::move(raceTypes);
    m_list->sortItems(1, Qt::AscendingOrder);
    m_list->setCurrentItem(chosen ? chosen : m_list->topLevelItem(0));
}

cRaceType* frmRaceTypes::selectedRaceType() const {
    QTreeWidgetItem* item = m_list->currentItem();
    return item ? static_cast<cRaceType*>(item->data(0, kObjectRole).value<void*>()) : nullptr;
}

void frmRaceTypes::addRaceType() {
    cRaceType raceType;
    {
        frmRaceType editor(this);
        editor.showWith(raceType);
    }
    loadRaceTypes(QString());
    m_skipNextActivation = true;
}

void frmRaceTypes::updateRaceType() {
    cRaceType* raceType = selectedRaceType();
    if (!raceType)
        return;
    {
        frmRaceType editor(this);
        editor.showWith(*raceType);
    }
    loadRaceTypes(raceType->raceTypeName());
    m_skipNextActivation = true;
}

void frmRaceTypes::deleteRaceType() {
    cRaceType* raceType = selectedRaceType();
    if (!raceType)
        return;
    const QString name = raceType->raceTypeName();
    const int nmbr = raceType->raceTypeNmbr();
    if (nmbr < 500) {
        showPlainBox(QStringLiteral("Can't delete system generated Race Type ") + name);
        return;
    }
    cLeagueCollection leagues;
    leagues.load();
    if (leagues.raceTypeNmbrExists(nmbr)) {
        showValidation(QStringLiteral("At least one League is using this Race Type.\r\nYou must remove Race Type ") +
                       name + QStringLiteral(" from all Leagues before Race Type can be deleted."));
        return;
    }
    cRacesCollection races;
    races.load();
    if (races.raceTypeNmbrExists(nmbr)) {
        showValidation(QStringLiteral("At least one Race is using this Race Type.\r\nYou must remove Race Type ") +
                       name + QStringLiteral(" from all Races before Race Type can be deleted."));
        return;
    }
    if (askQuestion(QStringLiteral("Are you sure you want to delete Race Type ") + name, QStringLiteral("Quorvanti"),
                    MsgButtons::YesNoCancel) != AnswerYes)
        return;
    raceType->deleteRow();
    loadRaceTypes(QString());
}
