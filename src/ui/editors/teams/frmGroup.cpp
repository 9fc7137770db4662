#include "editors/teams/frmGroup.h"

#include "data/Feedback.h"
#include "data/cGroup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

namespace {

// The maximum a text stands for: a whole number from 0 to 32767 (fractions rounded to the even
// neighbour, as 16-bit conversion rounds); nullopt for anything else. A negative maximum would mean
// "no limit" while the box still showed a number, so it is refused like any other bad entry.
std::optional<int> maximumFromText(const QString& text) {
    const std::optional<double> value = numberFromText(text);
    if (!value)
        return std::nullopt;
    const double rounded = std::nearbyint(*value);
    if (rounded < 0 || rounded > 32767)
        return std::nullopt;
    return int(rounded);
}

} // namespace

frmGroup::frmGroup(QWidget* parent) : EditorDialog(parent) {
    setAfterSaveQuestionYes(AfterSaveQuestionYes::CloseWhenSaved);
    setWindowTitle(QStringLiteral("Group"));
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    auto* grid = new QGridLayout(page);
    m_name = new QLineEdit(page);
    m_name->setObjectName(QStringLiteral("txtName"));
    m_name->setMinimumWidth(220);
    m_max = new QLineEdit(page);
    m_max->setObjectName(QStringLiteral("txtMaxNmbr"));
    m_max->setMaximumWidth(80);
    m_noLimit = new QCheckBox(QStringLiteral("No Limit"), page);
    m_noLimit->setObjectName(QStringLiteral("chkNoLimit"));
    grid->addWidget(new QLabel(QStringLiteral("Name:"), page), 0, 0);
    grid->addWidget(m_name, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Cars/drivers in group:"), page), 1, 0);
    grid->addWidget(m_max, 1, 1);
    grid->addWidget(m_noLimit, 1, 2);
    grid->setRowStretch(2, 1);
    tabs->addTab(page, QStringLiteral("Group"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttonRow());

    selectAllOnFocus(m_name);
    selectAllOnFocus(m_max);
    connect(m_name, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!isVisible() || !m_group)
            return;
        m_group->setGroupName(text);
        markChanged();
    });
    connect(m_max, &QLineEdit::textChanged, this, [this] { maxChanged(); });
    connect(m_noLimit, &QCheckBox::toggled, this, [this](bool checked) { noLimitChanged(checked); });
    installLeaveCheck(m_max, [this] { return maxLeft(); });
}

void frmGroup::showWith(cGroup& group) {
    m_group = &group;
    setChanged(false);
    m_name->setText(group.groupName());
    if (group.maxNmbr() < 0) {
        m_max->clear();
        if (m_noLimit->isChecked())
            noLimitChanged(true);
        else
            m_noLimit->setChecked(true);
    } else {
        m_max->setText(QString::number(group.maxNmbr()));
        m_noLimit->setChecked(false);
    }
    setWindowTitle(QStringLiteral("Group - ") + group.groupName());
    exec();
    m_group = nullptr;
}

QString frmGroup::saveQuestionTitle() const {
    return m_group ? m_group->groupName() : QString();
}

void frmGroup::maxChanged() {
    if (!m_group)
        return;
    if (const std::optional<int> value = maximumFromText(m_max->text())) {
        // A number typed while "No Limit" is ticked unticks it and stays as typed.
        if (m_noLimit->isChecked()) {
            m_maxTyped = true;
            m_noLimit->setChecked(false);
            m_maxTyped = false;
        }
        m_group->setMaxNmbr(*value);
    }
    markChanged();
}

void frmGroup::noLimitChanged(bool checked) {
    // With no limit the count box is out of the Tab walk, so Tab goes from the name to "No Limit";
    // a click into it still lets a number be typed, which unticks "No Limit".
    m_max->setFocusPolicy(checked ? Qt::ClickFocus : Qt::StrongFocus);
    if (!m_group)
        return;
    if (checked) {
        m_max->clear();
        m_group->setMaxNmbr(-1);
    } else if (!m_maxTyped) {
        m_max->setText(QStringLiteral("1"));
        m_group->setMaxNmbr(1);
    }
    markChanged();
}

bool frmGroup::maxLeft() {
    if (maximumFromText(m_max->text()))
        return true;
    if (m_max->text().trimmed().isEmpty()) {
        m_noLimit->setChecked(true);
        return true;
    }
    showValidation(QStringLiteral("Invalid Entry"));
    m_max->clear();
    return false;
}

bool frmGroup::saveGroup() {
    if (m_name->text().trimmed().isEmpty()) {
        showValidation(QStringLiteral("Name is a required field"));
        // The refused field takes the focus, so the next keys mend it and overwrite nothing else.
        focusWithoutLeaveChecks(m_name);
        return false;
    }
    return m_group && m_group->CommitChanges();
}
