#include "editors/races/frmRaceTypes.h"

#include "data/Feedback.h"
#include "editors/races/frmRaceType.h"
#include "kit/EditorKit.h"
#include "rules/DeleteChecks.h"

#include <QTreeWidget>

frmRaceTypes::frmRaceTypes(QWidget* parent)
    : ReferenceList({QStringLiteral("Race Types"),
                     QStringLiteral("Race Types"),
                     QStringLiteral("lvwRaceTypes"),
                     {QStringLiteral("Race Type"), QStringLiteral("Race Type")},
                     {233},
                     260},
                    parent) {}

frmRaceTypes::~frmRaceTypes() = default;

QStringList frmRaceTypes::rowTexts(const cRaceType& raceType) const {
    return {raceType.raceTypeName()};
}

QString frmRaceTypes::rowName(const cRaceType& raceType) const {
    return raceType.raceTypeName();
}

void frmRaceTypes::edit(cRaceType& raceType) {
    frmRaceType editor(this);
    editor.showWith(raceType);
}

void frmRaceTypes::deleteRaceType() {
    cRaceType* raceType = selectedRaceType();
    if (!raceType)
        return;
    const QString name = raceType->raceTypeName();
    const int nmbr = raceType->raceTypeNmbr();
    if (const QString refusal = shippedRaceTypeRefusal(nmbr, name); !refusal.isEmpty()) {
        showPlainBox(refusal);
        return;
    }
    if (const QString refusal = raceTypeInUseRefusal(nmbr, name); !refusal.isEmpty()) {
        showValidation(refusal);
        return;
    }
    if (askQuestion(QStringLiteral("Are you sure you want to delete Race Type ") + name, QStringLiteral("Quorvanti"),
                    MsgButtons::YesNoCancel) != AnswerYes)
        return;
    raceType->deleteRow();
    loadRaceTypes(QString());
}
