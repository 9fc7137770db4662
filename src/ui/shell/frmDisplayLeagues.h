#pragma once

#include "shell/ListWindow.h"

#include <memory>
#include <vector>

class cLeague;

// The leagues, one row each.
class frmDisplayLeagues : public ListWindow {
    Q_OBJECT
public:
    explicit frmDisplayLeagues(QWidget* parent = nullptr);
    ~frmDisplayLeagues() override;

    // Rebuilds the list and selects the league of that number (-1: the first row).
    void display(int leagueNmbr);
    cLeague* selectedLeague() const;

protected:
    void reload() override { display(-1); }

private:
    std::vector<std::unique_ptr<cLeague>> m_rows;
};
