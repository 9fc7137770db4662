#pragma once

#include "kit/EditorKit.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class cCar;
struct CarEntry;
enum class CarField;

// The modal editor of one car, driver or Top Bonus entry. Edits go into the given object at
// once; the row is stored through its CommitChanges.
class frmCar : public EditorDialog {
    Q_OBJECT
public:
    explicit frmCar(QWidget* parent = nullptr);
    ~frmCar() override;

    // Fills the window from the car and shows it modally; returns when it has closed.
    void showWith(cCar& car);
    // The same fill without the modal loop (the tests drive the window themselves).
    void fillWith(cCar& car);

protected:
    // Apply: saveCar, then the changed flag is cleared and Apply disabled.
    bool applyChanges() override { return saveCar(); }
    QString saveQuestionTitle() const override;
    // Yes to the save question saves and leaves the window open, whatever the outcome.
    void reject() override;

private:
    void showCarType();
    void setCarCaption();
    void setDriverCaption();
    void setBonusCaption();
    // The caption the number and driver edits ask for.
    void setTextCaption();
    // The entry as the fields stand, for the car rules.
    CarEntry entry() const;
    // Shows a refusal of the car rules; true when there is none.
    static bool passes(const QString& refusal);
    // The box that holds what a refusal concerns.
    QWidget* field(CarField field) const;
    bool saveCar();
    // Refuses with a validation box, then puts the focus into the field with its text selected.
    bool refuse(const QString& message, QWidget* field);
    bool salaryLeft();
    int selectedRaceType() const;

    void cmbRaceType_Click(int index);
    void cmbGroup_Click(int index);

    cCar* m_car = nullptr;
    // Change and click handlers act only while the filled window is on screen.
    bool m_live = false;
    bool live() const { return m_live && isVisible(); }

    QTabWidget* SSTab1 = nullptr;
    QLabel* lblCarNmbr = nullptr;
    QLineEdit* txtCarNumber = nullptr;
    QLineEdit* txtDriver = nullptr;
    QLineEdit* txtSponsor = nullptr;
    QLineEdit* txtOwner = nullptr;
    QLineEdit* txtMake = nullptr;
    QLineEdit* txtSalary = nullptr;
    QComboBox* cmbRaceType = nullptr;
    QComboBox* cmbGroup = nullptr;
    QGroupBox* Frame1 = nullptr;
    QButtonGroup* m_types = nullptr;
    QRadioButton* optBonus = nullptr;
    QRadioButton* OptDriver = nullptr;
    QRadioButton* OptCar = nullptr;
};
