#include "shell/frmDisplayRaces.h"

#include "data/SqlText.h"
#include "data/cCarTypeCollection.h"
#include "data/cRaceTypeCollection.h"
#include "posting/cRaces.h"
#include "posting/cRacesCollection.h"

namespace {
constexpr int kSortDateColumn = 0;
constexpr int kRaceDateColumn = 1;
} // namespace

frmDisplayRaces::frmDisplayRaces(QWidget* parent) : ListWindow(EntityKind::Race, parent) {
    setWindowTitle(QStringLiteral("Races"));
    setObjectName(QStringLiteral("frmDisplayRaces"));
    setShownTables({QStringLiteral("races"), QStringLiteral("race_type_dm"), QStringLiteral("car_type_dm")});
    resize(640, 400);
}

frmDisplayRaces::~frmDisplayRaces() = default;

int frmDisplayRaces::sortColumnForHeader(int section) const {
    return section == kRaceDateColumn ? kSortDateColumn : section;
}

void frmDisplayRaces::display(const QString& raceName) {
    cRacesCollection races;
    races.load();
    cCarTypeCollection carTypes;
    carTypes.load();
    cRaceTypeCollection raceTypes;
    raceTypes.load();

    beginFill({{QStringLiteral("Sort date"), 0},
               {QStringLiteral("Race Date"), 1500},
               {QStringLiteral("Race Name"), 2500},
               {QStringLiteral("Track Name"), 2000},
               {QStringLiteral("Race Type"), 2000},
               {QStringLiteral("Scoring By"), 1500}});
    m_rows.clear();
    int selected = -1;
    for (const cRaces& race : races) {
        const int row =
            addRow(race.raceNmbr(),
                   {shortDate(race.raceDate()), shortDate(race.raceDate()), race.raceName(), race.trackName(),
                    raceTypes.getRaceTypeName(race.raceTypeNmbr()), carTypes.getCarTypeName(race.carTypeNmbr())});
        setSortValue(row, kSortDateColumn, race.raceDate());
        m_rows.push_back(race.copy());
        if (race.raceName() == raceName)
            selected = row;
    }
    endFill(selected, raceName.isEmpty());
}

cRaces* frmDisplayRaces::selectedRace() const {
    const int row = selectedObject();
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].get() : nullptr;
}
