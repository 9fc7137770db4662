#pragma once

#include <QDialog>
#include <memory>

class QPushButton;
class QTreeWidget;
class cGroup;
class cGroupCollection;

// The list of car/driver groups with Add, Update and Delete; opened from the System menu.
class frmGroups : public QDialog {
    Q_OBJECT

public:
    explicit frmGroups(QWidget* parent = nullptr);
    ~frmGroups() override;

    QTreeWidget* list() const { return m_list; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* updateButton() const { return m_update; }
    QPushButton* deleteButton() const { return m_delete; }

    // Reloads the rows and makes the row named name (exactly) the chosen one; without a match the
    // first row. A data file without groups leaves the rows as they were.
    void loadGroups(const QString& name);
    // Deletes the chosen group after its refusals and the question.
    void deleteGroup();
    // The group of the chosen row; nullptr with none.
    cGroup* selectedGroup() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addGroup();
    void updateGroup();

    QTreeWidget* m_list;
    QPushButton* m_add;
    QPushButton* m_update;
    QPushButton* m_delete;
    std::unique_ptr<cGroupCollection> m_groups;
    // Set by the reload after Add or Update, so that the activation which follows the editor's
    // closing does not reload again and lose the row just chosen.
    bool m_skipNextActivation = false;
};
