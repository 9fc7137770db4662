#include "shell/frmDisplayLeagues.h"

#include "data/cCarTypeCollection.h"
#include "data/cLeague.h"
#include "data/cRaceTypeCollection.h"
#include "data/cScoringOptionCollection.h"
#include "data/cScoringTypeCollection.h"

frmDisplayLeagues::frmDisplayLeagues(QWidget* parent) : ListWindow(EntityKind::League, parent) {
    setWindowTitle(QStringLiteral("Leagues"));
    setObjectName(QStringLiteral("frmDisplayLeagues"));
    setShownTables({QStringLiteral("leagues"), QStringLiteral("scoring_type"), QStringLiteral("scoring_option_dm"),
                    QStringLiteral("race_type_dm"), QStringLiteral("car_type_dm")});
    resize(720, 400);
}

frmDisplayLeagues::~frmDisplayLeagues() = default;

void frmDisplayLeagues::display(int leagueNmbr) {
    cLeagueCollection leagues;
    leagues.load();
    // Looked up in lists read once per fill, not per row.
    cScoringTypeCollection methods;
    cScoringOptionCollection options;
    cRaceTypeCollection raceTypes;
    cCarTypeCollection carTypes;

    beginFill({{QStringLiteral("Name"), 3500},
               {QStringLiteral("Short Name"), 1100},
               {QStringLiteral("Scoring Method"), 2500},
               {QStringLiteral("Scoring Option"), 1500},
               {QStringLiteral("Salary Cap"), 1500},
               {QStringLiteral("Race Type"), 1500},
               {QStringLiteral("Scoring By"), 1500}});
    m_rows.clear();
    int selected = -1;
    for (const cLeague& league : leagues) {
        const int row =
            addRow(league.leagueNmbr(),
                   {league.leagueName(), league.leagueShortName(), methods.getScoringTypeName(league.scoringTypeNmbr()),
                    options.getScoringOptionName(league.scoringOptionNmbr()), moneyText(league.salaryCap()),
                    raceTypes.getRaceTypeName(league.raceTypeNmbr()), carTypes.getCarTypeName(league.carTypeNmbr())});
        setSortValue(row, 4, qlonglong(league.salaryCap().units()));
        m_rows.push_back(league.copy());
        if (league.leagueNmbr() == leagueNmbr)
            selected = row;
    }
    endFill(selected, leagueNmbr == -1);
}

cLeague* frmDisplayLeagues::selectedLeague() const {
    const int row = selectedObject();
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].get() : nullptr;
}
