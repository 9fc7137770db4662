#pragma once

#include "shell/ListWindow.h"

#include <memory>
#include <vector>

class cTeam;

// The teams, one row each.
class frmDisplayTeams : public ListWindow {
    Q_OBJECT
public:
    explicit frmDisplayTeams(QWidget* parent = nullptr);
    ~frmDisplayTeams() override;

    // Rebuilds the list and selects the team of that name ("": the first row).
    void display(const QString& teamName);
    cTeam* selectedTeam() const;

protected:
    void reload() override { display(QString()); }

private:
    std::vector<std::unique_ptr<cTeam>> m_rows;
};
