#pragma once

#include "shell/ListWindow.h"

#include <memory>
#include <vector>

class cRaces;

// The races of every race type, one row each. The date column sorts by a hidden month/day/year
// column.
class frmDisplayRaces : public ListWindow {
    Q_OBJECT
public:
    explicit frmDisplayRaces(QWidget* parent = nullptr);
    ~frmDisplayRaces() override;

    // Rebuilds the list and selects the race of that name ("": the first row).
    void display(const QString& raceName);
    cRaces* selectedRace() const;

protected:
    int sortColumnForHeader(int section) const override;
    void reload() override { display(QString()); }

private:
    std::vector<std::unique_ptr<cRaces>> m_rows;
};
