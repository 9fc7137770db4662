#pragma once

#include <QDialog>
#include <memory>

class QPushButton;
class QTreeWidget;
class cRaceType;
class cRaceTypeCollection;

// The list of race types with Add, Update and Delete; opened from the System menu.
class frmRaceTypes : public QDialog {
    Q_OBJECT

public:
    explicit frmRaceTypes(QWidget* parent = nullptr);
    ~frmRaceTypes() override;

    QTreeWidget* list() const { return m_list; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* updateButton() const { return m_update; }
    QPushButton* deleteButton() const { return m_delete; }

    // Reloads the rows and makes the row named name (exactly) the chosen one; without a match the
    // first row. A data file without race types leaves the rows as they were.
    void loadRaceTypes(const QString& name);
    // Deletes the chosen race type after its refusals and the question.
    void deleteRaceType();
    // The race type of the chosen row; nullptr with none.
    cRaceType* selectedRaceType() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addRaceType();
    void updateRaceType();

    QTreeWidget* m_list;
    QPushButton* m_add;
    QPushButton* m_update;
    QPushButton* m_delete;
    std::unique_ptr<cRaceTypeCollection> m_raceTypes;
    // Set by the reload after Add or Update, so that the activation which follows the editor's
    // closing does not reload again and lose the row just chosen.
    bool m_skipNextActivation = false;
};
