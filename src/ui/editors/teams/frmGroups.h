#pragma once

#include "data/cGroupCollection.h"
#include "kit/ReferenceListDialog.h"

// The list of car/driver groups with Add, Update and Delete; opened from the System menu.
class frmGroups : public ReferenceList<cGroupCollection, cGroup> {
    Q_OBJECT

public:
    explicit frmGroups(QWidget* parent = nullptr);
    ~frmGroups() override;

    void loadGroups(const QString& name) { loadRows(name); }
    // Deletes the chosen entry after its refusals and the question.
    void deleteGroup();
    cGroup* selectedGroup() const { return selectedRow(); }

protected:
    QStringList rowTexts(const cGroup& group) const override;
    QString rowName(const cGroup& group) const override;
    void edit(cGroup& group) override;
    void deleteEntry() override { deleteGroup(); }
};
