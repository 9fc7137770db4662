#include "shell/frmDisplayScoring.h"

#include "data/cScoringType.h"
#include "data/cScoringTypeCollection.h"

frmDisplayScoring::frmDisplayScoring(QWidget* parent) : ListWindow(EntityKind::Scoring, parent) {
    setWindowTitle(QStringLiteral("Scoring"));
    setObjectName(QStringLiteral("frmDisplayScoring"));
    setShownTables({QStringLiteral("scoring_type")});
    resize(400, 300);
}

frmDisplayScoring::~frmDisplayScoring() = default;

void frmDisplayScoring::display(const QString& scoringTypeName) {
    cScoringTypeCollection methods;
    methods.load();
    beginFill({{QStringLiteral("Scoring Method"), 4000}});
    m_rows.clear();
    int selected = -1;
    for (const cScoringType& method : methods) {
        const int row = addRow(method.scoringTypeNmbr(), {method.scoringTypeName()});
        m_rows.push_back(method.copy());
        if (method.scoringTypeName() == scoringTypeName)
            selected = row;
    }
    endFill(selected, scoringTypeName.isEmpty());
}

cScoringType* frmDisplayScoring::selectedScoring() const {
    const int row = selectedObject();
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].get() : nullptr;
}
