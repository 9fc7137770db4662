#pragma once

#include "kit/ReferenceListDialog.h"

#include <memory>

class cRaceType;
class cRaceTypeCollection;

// The list of race types with Add, Update and Delete; opened from the System menu.
class frmRaceTypes : public ReferenceListDialog {
    Q_OBJECT

public:
    explicit frmRaceTypes(QWidget* parent = nullptr);
    ~frmRaceTypes() override;

    // Reloads the rows and makes the row named name (exactly) the chosen one; without a match the
    // first row. A data file without rows leaves the list as it was.
    void loadRaceTypes(const QString& name);
    // Deletes the chosen entry after its refusals and the question.
    void deleteRaceType();
    // The entry of the chosen row; nullptr with none.
    cRaceType* selectedRaceType() const;

protected:
    void reload(const QString& name) override { loadRaceTypes(name); }
    void addEntry() override;
    void updateEntry() override;
    void deleteEntry() override { deleteRaceType(); }

private:
    std::unique_ptr<cRaceTypeCollection> m_rows;
};
