#include "editors/teams/frmGroups.h"

#include "data/Feedback.h"
#include "editors/teams/frmGroup.h"
#include "kit/EditorKit.h"
#include "rules/DeleteChecks.h"

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
    if (const QString refusal = shippedGroupRefusal(nmbr, name); !refusal.isEmpty()) {
        showPlainBox(refusal);
        return;
    }
    if (const QString refusal = groupInUseRefusal(nmbr, name); !refusal.isEmpty()) {
        showValidation(refusal);
        return;
    }
    if (askQuestion(QStringLiteral("Are you sure you want to delete Group ") + name, QStringLiteral("Quorvanti"),
                    MsgButtons::YesNoCancel) != AnswerYes)
        return;
    group->deleteRow();
    loadGroups(QString());
}
