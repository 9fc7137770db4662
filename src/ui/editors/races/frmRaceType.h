#pragma once

#include "kit/EditorKit.h"

class QLineEdit;
class cRaceType;

// The editor of one race type's name, opened by the race-type list.
class frmRaceType : public EditorDialog {
    Q_OBJECT

public:
    explicit frmRaceType(QWidget* parent = nullptr);

    // Edits the object itself (no copy) and returns when the window has closed.
    void showWith(cRaceType& raceType);

    QLineEdit* nameBox() const { return m_name; }

protected:
    bool applyChanges() override { return saveRaceType(); }
    QString saveQuestionTitle() const override;

private:
    bool saveRaceType();

    cRaceType* m_raceType = nullptr;
    QLineEdit* m_name;
};
