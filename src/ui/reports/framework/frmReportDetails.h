#pragma once

#include <QDialog>
#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class cColorCollection;
class cReportAttributes;

// The report settings window: per report of the catalogue, the columns it shows and their order
// (tab "Columns") and its display attributes (tab "Formatting"). Everything shown is read from the
// report tables when a report or a tab is chosen and written back when the user saves; the window
// keeps nothing between openings.
//
// The dirty flag is the enabled state of cmdApply itself. Saves always go to the report at
// shownReportIndex (the one whose settings the tabs show), never to the report just picked in
// cmbReports, so edits still pending when the user picks another report land where they were made.
class frmReportDetails : public QDialog {
    Q_OBJECT

public:
    explicit frmReportDetails(QWidget* parent = nullptr);
    ~frmReportDetails() override;

    static constexpr int ColumnsTab = 0;
    static constexpr int FormattingTab = 1;

    // ---- the frame ----
    QComboBox* cmbReports() const { return m_reports; }
    QTabWidget* SSTab1() const { return m_tabs; }
    QPushButton* cmdOK() const { return m_ok; }
    QPushButton* cmdCancel() const { return m_cancel; }
    QPushButton* cmdApply() const { return m_apply; }
    int shownReportIndex() const { return m_shownReportIndex; }

    // ---- tab "Columns" ----
    // Each item's text is the column name; its key ("Column" and the column number) is kept under
    // Qt::UserRole and is the only place the list holds the number.
    QListWidget* lvAvailable() const { return m_available; }
    QListWidget* lvCurrent() const { return m_current; }
    QPushButton* lblAdd() const { return m_add; }
    QPushButton* lblRemove() const { return m_remove; }

    // ---- tab "Formatting" ----
    // Index 0 heading, 1 report (title and page), 2 odd rows, 3 even rows.
    QComboBox* cmbTextColor(int index) const { return m_textColor.at(index); }
    QCheckBox* ChkTextColor(int index) const { return m_textDefault.at(index); }
    QComboBox* cmbBackColor(int index) const { return m_backColor.at(index); }
    QCheckBox* chkBackColor(int index) const { return m_backDefault.at(index); }
    QSpinBox* txtTextSize(int index) const { return m_textSize.at(index); }
    QSpinBox* txtBorderSize() const { return m_borderSize; }
    QSpinBox* txtCellSpacing() const { return m_cellSpacing; }
    QSpinBox* txtCellPadding() const { return m_cellPadding; }
    QComboBox* cmbLinkColor() const { return m_linkColor[0]; }
    QComboBox* cmbVisitedLinkColor() const { return m_linkColor[1]; }
    QComboBox* cmbHoverLinkColor() const { return m_linkColor[2]; }
    QCheckBox* chkLinkColor() const { return m_linkDefault[0]; }
    QCheckBox* chkVisitedLinkColor() const { return m_linkDefault[1]; }
    QCheckBox* chkHoverLinkColor() const { return m_linkDefault[2]; }
    QLineEdit* txtHeaderImage() const { return m_headerImage; }
    QLineEdit* txtBackgroundImage() const { return m_backgroundImage; }
    QCheckBox* chkActiveDriversOnly() const { return m_activeOnly; }
    QCheckBox* chkIncludeFooter() const { return m_includeFooter; }

    // Fills the Formatting tab from the stored attributes of the report chosen in cmbReports;
    // a control whose attribute has no row shows the attribute's default. Disables cmdApply.
    void loadAttributeControls();
    // Replaces the stored attributes of the report at shownReportIndex by what the tab shows.
    bool saveAttributes();

    // Fills both column lists of the report chosen in cmbReports. Disables cmdApply.
    void loadColumnLists();
    // Stores the current columns, numbered 1, 2, 3 ... in list order, for the report at shownReportIndex.
    bool saveColumns();

    // Closed by any way, the window gives the activation back to the window below it.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildColumnsTab();
    QWidget* buildFormattingTab();

    void reportChosen(int index);
    void tabChanged(int index);
    void showTabQuietly(int index);
    int askSaveChanges();
    bool saveCurrentTab();
    void okClicked();
    void cancelClicked();
    void markDirty();

    void addColumn();
    void removeColumn();

    void fillColorCombos();
    void clearAttributeControls();
    void showColor(QComboBox* list, QCheckBox* defaultBox, const cReportAttributes& row);
    int chosenReportNmbr(int index) const;

    int m_shownReportIndex = 0;
    bool m_switchingTabs = false; // a tab shown again around the save question is no change of its own
    std::unique_ptr<cColorCollection> m_reportColors;

    QComboBox* m_reports = nullptr;
    QTabWidget* m_tabs = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_apply = nullptr;

    QListWidget* m_available = nullptr;
    QListWidget* m_current = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;

    std::array<QComboBox*, 4> m_textColor{};
    std::array<QCheckBox*, 4> m_textDefault{};
    std::array<QComboBox*, 4> m_backColor{};
    std::array<QCheckBox*, 4> m_backDefault{};
    std::array<QSpinBox*, 4> m_textSize{};
    QSpinBox* m_borderSize = nullptr;
    QSpinBox* m_cellSpacing = nullptr;
    QSpinBox* m_cellPadding = nullptr;
    std::array<QComboBox*, 3> m_linkColor{};
    std::array<QCheckBox*, 3> m_linkDefault{};
    QLineEdit* m_headerImage = nullptr;
    QLineEdit* m_backgroundImage = nullptr;
    QCheckBox* m_activeOnly = nullptr;
    QCheckBox* m_includeFooter = nullptr;
};
