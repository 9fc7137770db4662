#pragma once

#include "data/cRaceTypeCollection.h"
#include "kit/ReferenceListDialog.h"

// The list of race types with Add, Update and Delete; opened from the System menu.
class frmRaceTypes : public ReferenceList<cRaceTypeCollection, cRaceType> {
    Q_OBJECT

public:
    explicit frmRaceTypes(QWidget* parent = nullptr);
    ~frmRaceTypes() override;

    void loadRaceTypes(const QString& name) { loadRows(name); }
    // Deletes the chosen entry after its refusals and the question.
    void deleteRaceType();
    cRaceType* selectedRaceType() const { return selectedRow(); }

protected:
    QStringList rowTexts(const cRaceType& raceType) const override;
    QString rowName(const cRaceType& raceType) const override;
    void edit(cRaceType& raceType) override;
    void deleteEntry() override { deleteRaceType(); }
};
