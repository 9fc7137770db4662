#include "editors/races/frmRaceTypes.h"

#include "data/CommonCode.h"
#include "data/cCarCollection.h"
#include "data/cLeague.h"
#include "data/cTeam.h"
#include "editors/races/frmRaceType.h"
#include "kit/EditorKit.h"
#include "posting/cRacesCollection.h"

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
    // Race type numbers are given out again, so a deleted type's teams and cars/drivers would
    // silently belong to the next new one.
    cTeamCollection teams;
    if (teams.load(nmbr) > 0) {
        showValidation(QStringLiteral("At least one Team is using this Race Type.\r\nYou must remove Race Type ") +
                       name + QStringLiteral(" from all Teams before Race Type can be deleted."));
        return;
    }
    cCarCollection cars;
    if (cars.load(nmbr) > 0) {
        showValidation(
            QStringLiteral("At least one Car/Driver is using this Race Type.\r\nYou must remove Race Type ") + name +
            QStringLiteral(" from all Cars/Drivers before Race Type can be deleted."));
        return;
    }
    if (askQuestion(QStringLiteral("Are you sure you want to delete Race Type ") + name, QStringLiteral("Quorvanti"),
                    MsgButtons::YesNoCancel) != AnswerYes)
        return;
    raceType->deleteRow();
    loadRaceTypes(QString());
}
