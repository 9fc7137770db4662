#pragma once

#include "data/SqlText.h"
#include "data/cCarTypeCollection.h"
#include "data/cGroupCollection.h"
#include "data/cRaceTypeCollection.h"
#include "shell/ListWindow.h"

#include <memory>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class cCar;
enum class CarField;

// Every car, driver and bonus entry of the data file in one list, with an editing panel above it
// that adds, changes and deletes entries in place.
class frmDisplayCars : public ListWindow {
    Q_OBJECT
public:
    explicit frmDisplayCars(QWidget* parent = nullptr);
    ~frmDisplayCars() override;

    // Rebuilds the list from the data file and selects the row of that car (-1, or a number no row
    // has: the row of the stored entry the panel holds, else for -1 the first row).
    // The panel keeps its entry and every edit in it; its other fields show the entry as stored.
    // Another car highlighted than the stored entry the panel holds moves the panel to it, asking
    // first about its edits.
    void display(int carNmbr);
    // The object of the selected row; nullptr when no row is selected.
    cCar* selectedCar() const;
    // The entry the panel edits.
    const cCar& panelCar() const { return *m_car; }
    // The panel has edits not yet stored.
    bool hasEdits() const;

protected:
    void rowChosen() override;
    void reload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildPanel();
    void markChanged();
    // Asks to save pending edits. False when the caller must stop: the user cancelled, or the
    // save was refused, and the panel keeps the edited entry.
    bool savePrompt();
    void fillPanel();
    // Brings a stored entry's panel up to the row as stored: a field still showing what the panel
    // was filled with takes the stored value, a field the user has edited keeps the edit. False
    // when the entry is no longer stored.
    bool syncPanel();
    // The race type and group lists read again, each keeping its choice by number.
    void reloadChoices();
    // Highlights the row of that car, scrolled into view; none and false when no row has it.
    bool highlight(int carNmbr);
    void clearPanel();
    // The panel on a new, unstored entry with nothing to save.
    void newEntry();
    void setLocked(QWidget* field, bool locked);
    void focusField(QWidget* field);
    bool saveCar();
    // The field that holds what a refusal of the car rules concerns.
    QWidget* field(CarField field) const;

    void cmdAdd_Click();
    void cmdUpdate_Click();
    void cmdDelete_Click();
    void cmdCancel_Click();

    std::vector<std::shared_ptr<cCar>> m_rows;
    // The entry the panel edits: its own copy, read from the data file, never a row's object.
    std::shared_ptr<cCar> m_car;
    // The values the panel's fields were last filled with.
    std::shared_ptr<cCar> m_shown;
    // Fields are being filled: no edit.
    bool m_filling = false;
    // A move was answered Cancel: the highlight stays on the panel's entry until the user's next key
    // or click in the list.
    bool m_keepHighlight = false;
    cRaceTypeCollection m_raceTypes;
    cGroupCollection m_groups;
    cCarTypeCollection m_carTypes;

    QLineEdit* txtCarNumber = nullptr;
    QLineEdit* txtDriver = nullptr;
    QLineEdit* txtSponsor = nullptr;
    QLineEdit* txtOwner = nullptr;
    QLineEdit* txtMake = nullptr;
    QLineEdit* txtSalary = nullptr;
    QComboBox* cmbCarType = nullptr;
    QComboBox* cmbRaceType = nullptr;
    QComboBox* cmbGroup = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdCancel = nullptr;
};
