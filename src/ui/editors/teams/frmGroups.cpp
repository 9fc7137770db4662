#include "editors/teams/frmGroups.h"

#include "data/CommonCode.h"
#include "data/cCarCollection.h"
#include "data/cGroupCollection.h"
#include "kit/EditorKit.h"
#include "editors/teams/frmGroup.h"

#include <QTreeWidget>

frmGroups::frmGroups(QWidget* parent)
    : ReferenceListDialog({QStringLiteral("Groups"),
                           QStringLiteral("Groups"),
                           QStringLiteral("lvwGroups"),
                           {QStringLiteral("Groups"), QStringLiteral("Group"), QStringLiteral("Number Cars/Drivers")},
                           {200, 140},
                           360},
                          parent),
      m_rows(std::make_unique<cGroupCollection>()) {}

frmGroups::~frmGroups() = default;

void frmGroups::loadGroups(const QString& name) {
    auto groups = std::make_unique<cGroupCollection>();
    groups->load();
    if (groups->Count() == 0)
        return;
    clearRows();
    QTreeWidgetItem* chosen = nullptr;
    for (cGroup& group : *groups) {
        QTreeWidgetItem* item = appendRow(
            {group.groupName(), group.maxNmbr() >= 0 ? QString::number(group.maxNmbr()) : QStringLiteral("No Limit")},
            &group);
        if (!chosen && group.groupName() == name)
            chosen = item;
    }
    m_rows = std::move(groups);
    finishRows(chosen);
}

cGroup* frmGroups::selectedGroup() const {
    return static_cast<cGroup*>(selectedObject());
}

void frmGroups::addEntry() {
    cGroup group;
    {
        frmGroup editor(this);
        editor.showWith(group);
    }
    reloadAfterEditor(QString());
}

void frmGroups::updateEntry() {
    cGroup* group = selectedGroup();
    if (!group)
        return;
    {
        frmGroup editor(this);
        editor.showWith(*group);
    }
    reloadAfterEditor(group->groupName());
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
