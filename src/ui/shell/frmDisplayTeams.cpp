#include "shell/frmDisplayTeams.h"

#include "data/cCarTypeCollection.h"
#include "data/cRaceTypeCollection.h"
#include "data/cTeam.h"

frmDisplayTeams::frmDisplayTeams(QWidget* parent) : ListWindow(EntityKind::Team, parent) {
    setWindowTitle(QStringLiteral("Teams"));
    setObjectName(QStringLiteral("frmDisplayTeams"));
    setShownTables({QStringLiteral("teams"), QStringLiteral("race_type_dm"), QStringLiteral("car_type_dm")});
    resize(680, 400);
}

frmDisplayTeams::~frmDisplayTeams() = default;

void frmDisplayTeams::display(const QString& teamName) {
    cTeamCollection teams;
    teams.load();
    cRaceTypeCollection raceTypes;
    cCarTypeCollection carTypes;

    beginFill({{QStringLiteral("Name"), 3500},
               {QStringLiteral("Owner"), 3500},
               {QStringLiteral("Race Type"), 1500},
               {QStringLiteral("Scoring By"), 1500}});
    m_rows.clear();
    int selected = -1;
    for (const cTeam& team : teams) {
        const int row =
            addRow(team.teamNmbr(), {team.teamName(), team.teamOwner(), raceTypes.getRaceTypeName(team.raceTypeNmbr()),
                                     carTypes.getCarTypeName(team.carTypeNmbr())});
        m_rows.push_back(team.copy());
        if (team.teamName() == teamName)
            selected = row;
    }
    endFill(selected, teamName.isEmpty());
}

cTeam* frmDisplayTeams::selectedTeam() const {
    const int row = selectedObject();
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].get() : nullptr;
}
