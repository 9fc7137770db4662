#pragma once

#include "kit/EditorKit.h"

class QCheckBox;
class QLineEdit;
class cGroup;

// The editor of one car/driver group: its name and the most of its cars/drivers a team may hold.
class frmGroup : public EditorDialog {
    Q_OBJECT

public:
    explicit frmGroup(QWidget* parent = nullptr);

    // Edits the object itself (no copy) and returns when the window has closed.
    void showWith(cGroup& group);

    QLineEdit* nameBox() const { return m_name; }
    QLineEdit* maxBox() const { return m_max; }
    QCheckBox* noLimitBox() const { return m_noLimit; }

protected:
    bool applyChanges() override { return saveGroup(); }
    QString saveQuestionTitle() const override;

private:
    bool saveGroup();
    void maxChanged();
    void noLimitChanged(bool checked);
    bool maxLeft();

    cGroup* m_group = nullptr;
    bool m_maxTyped = false; // "No Limit" is being unticked by a number typed into the box
    QLineEdit* m_name;
    QLineEdit* m_max;
    QCheckBox* m_noLimit;
};
