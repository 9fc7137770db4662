#pragma once

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class cCar;

// The modal editor of one car, driver or Top Bonus entry. Edits go into the given object at
// once; the row is stored through its CommitChanges.
class frmCar : public QDialog {
    Q_OBJECT
public:
    explicit frmCar(QWidget* parent = nullptr);
    ~frmCar() override;

    // Fills the window from the car and shows it modally; returns when it has closed.
    void showWith(cCar& car);
    // The same fill without the modal loop (the tests drive the window themselves).
    void fillWith(cCar& car);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Esc is the Cancel button, with its save question.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void markChanged();
    void showCarType();
    void setCarCaption();
    void setDriverCaption();
    void setBonusCaption();
    // The caption the number and driver edits ask for.
    void setTextCaption();
    bool checkDuplicateCar();
    bool checkDuplicateDriver();
    bool saveCar();
    bool applyCarChanges();
    // Refuses with a validation box, then puts the focus into the field with its text selected.
    bool refuse(const QString& message, QWidget* field);
    // False (with the focus kept) when a box's text may not be left.
    bool leaveCheck(QLineEdit* box);
    void salaryLeft();
    int selectedRaceType() const;

    void cmbRaceType_Click(int index);
    void cmbGroup_Click(int index);
    void cmdOK_Click();
    void cmdCancel_Click();
    void lblCarNmbr_Click();

    cCar* m_car = nullptr;
    bool carChanged = false;
    // Change and click handlers act only while the filled window is on screen.
    bool m_live = false;
    bool live() const { return m_live && isVisible(); }
    // Set while a refused box takes the focus back, so leaving it again is not checked twice.
    bool m_refocusing = false;

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
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;
};
