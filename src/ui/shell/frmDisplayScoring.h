#pragma once

#include "shell/ListWindow.h"

#include <memory>
#include <vector>

class cScoringType;

// The scoring methods, one row each.
class frmDisplayScoring : public ListWindow {
    Q_OBJECT
public:
    explicit frmDisplayScoring(QWidget* parent = nullptr);
    ~frmDisplayScoring() override;

    // Rebuilds the list and selects the scoring method of that name ("": the first row).
    void display(const QString& scoringTypeName);
    cScoringType* selectedScoring() const;

protected:
    void reload() override { display(QString()); }

private:
    std::vector<std::unique_ptr<cScoringType>> m_rows;
};
