#pragma once

#include "kit/ReferenceListDialog.h"

#include <memory>

class cGroup;
class cGroupCollection;

// The list of car/driver groups with Add, Update and Delete; opened from the System menu.
class frmGroups : public ReferenceListDialog {
    Q_OBJECT

public:
    explicit frmGroups(QWidget* parent = nullptr);
    ~frmGroups() override;

    // Reloads the rows and makes the row named name (exactly) the chosen one; without a match the
    // first row. A data file without rows leaves the list as it was.
    void loadGroups(const QString& name);
    // Deletes the chosen entry after its refusals and the question.
    void deleteGroup();
    // The entry of the chosen row; nullptr with none.
    cGroup* selectedGroup() const;

protected:
    void reload(const QString& name) override { loadGroups(name); }
    void addEntry() override;
    void updateEntry() override;
    void deleteEntry() override { deleteGroup(); }

private:
    std::unique_ptr<cGroupCollection> m_rows;
};
