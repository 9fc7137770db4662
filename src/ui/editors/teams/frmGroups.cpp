#include "editors/teams/frmGroups.h"

#include "data/CommonCode.h"
#include "data/cCarCollection.h"
#include "editors/teams/frmGroup.h"
#include "kit/EditorKit.h"

#include <QTreeWidget>

frmGroups::frmGroups(QWidget* parent)
    : ReferenceList({QStringLiteral("Groups"),
                     QStringLiteral("Groups"),
                     QStringLiteral("lvwGroups"),
                     {QStringLiteral("Groups"), QStringLiteral("Group"), QStringLiteral("Number Cars/Drivers")},
                     {200, 140},
                     360},
                    parent) {}

frmGroups::~frmGroups() = default;

QStringList frmGroups::rowTexts(const cGroup& group) const {
    return {group.groupName(), group.maxNmbr() >= 0 ? QString::number(group.maxNmbr()) : QStringLiteral("No Limit")};
}

QString frmGroups::rowName(const cGroup& group) const {
    return group.groupName();
}

void frmGroups::edit(cGroup& group) {
    frmGroup editor(this);
    editor.showWith(group);
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
