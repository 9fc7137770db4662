#pragma once

#include "kit/EditorKit.h"

class EditorGrid;
class QFrame;
class QLineEdit;
class QPushButton;
class QTabWidget;
class cScoringType;

// The editor of one scoring method: name and bonuses, points per place, top-finish rules. Each
// tab's part is stored when the tab is left; the name and bonuses first, since the grids are
// stored under the number that storing gives a new method.
class frmScoring : public EditorDialog {
    Q_OBJECT

public:
    explicit frmScoring(QWidget* parent = nullptr);
    ~frmScoring() override;

    // Fills the window from the method and shows it modally; what was stored by the time it closes
    // stays stored.
    void showWith(cScoringType& method);
    // The filling part of showWith, for a caller (a test) that shows the window itself.
    void fillFrom(cScoringType& method);

    QTabWidget* SSTab1() const { return m_tabs; }
    QLineEdit* txtScoringTypeName() const { return m_name; }
    QLineEdit* txtLapsLedBonus() const { return m_lapsLed; }
    QLineEdit* txtMostLapsLedBonus() const { return m_mostLapsLed; }
    QLineEdit* txtFastQualBonus() const { return m_fastQual; }
    QPushButton* cmdOK() const { return okButton(); }
    QPushButton* cmdCancel() const { return cancelButton(); }
    QPushButton* cmdApply() const { return applyButton(); }
    QFrame* Frame1() const { return m_frame1; }
    QFrame* Frame2() const { return m_frame2; }
    // Columns: place, finishing points, starting points.
    EditorGrid* pointsGrid() const { return m_pointsGrid; }
    // Columns: number of cars, "In top", place, "=", points.
    EditorGrid* topGrid() const { return m_topGrid; }
    QPushButton* cmdClearScoring() const { return m_clearPoints; }
    QPushButton* cmdClearTopScoring() const { return m_clearTop; }

    bool headerChanged() const { return m_headerChanged; }
    bool pointsChanged() const { return m_pointsChanged; }
    bool topChanged() const { return m_topChanged; }

protected:
    bool applyChanges() override { return applyScoringChanges(); }
    QString saveQuestionTitle() const override;
    bool hasUnsavedChanges() const override { return m_headerChanged || m_pointsChanged || m_topChanged; }

private:
    void buildHeaderTab(QWidget* page);
    void buildPointsTab(QWidget* page);
    void buildTopTab(QWidget* page);

    void nameEdited(const QString& text);
    bool checkBonus(QLineEdit* box);
    void setBonus(QLineEdit* box, int value);
    void tabChanged(int shown);
    bool storeTabLeft(int left);
    void prepareTabShown(int shown);
    void markPart(bool* flag);

    bool saveScoringType();
    bool applyScoringChanges();

    void loadPointsGrid();
    bool saveScoringPoints();
    void clearScoringClicked();
    void loadTopGrid();
    bool saveScoringTopPoints();
    void clearTopScoringClicked();

    cScoringType* m_method = nullptr;
    bool m_headerChanged = false;
    bool m_pointsChanged = false;
    bool m_topChanged = false;
    bool m_pointsLoaded = false;
    bool m_topLoaded = false;
    int m_shownTab = 0;
    bool m_switchingBack = false;

    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_lapsLed = nullptr;
    QLineEdit* m_mostLapsLed = nullptr;
    QLineEdit* m_fastQual = nullptr;
    QFrame* m_frame1 = nullptr;
    QFrame* m_frame2 = nullptr;
    EditorGrid* m_pointsGrid = nullptr;
    EditorGrid* m_topGrid = nullptr;
    QPushButton* m_clearPoints = nullptr;
    QPushButton* m_clearTop = nullptr;
};
