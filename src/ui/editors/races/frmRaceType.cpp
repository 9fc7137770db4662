#include "editors/races/frmRaceType.h"

#include "data/Feedback.h"
#include "data/cRaceType.h"
#include "data/cRaceTypeCollection.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

frmRaceType::frmRaceType(QWidget* parent) : EditorDialog(parent) {
    setAfterSaveQuestionYes(AfterSaveQuestionYes::CloseWhenSaved);
    setWindowTitle(QStringLiteral("Race Type"));
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    auto* form = new QFormLayout(page);
    m_name = new QLineEdit(page);
    m_name->setObjectName(QStringLiteral("txtName"));
    m_name->setMinimumWidth(260);
    auto* label = new QLabel(QStringLiteral("Name:"), page);
    label->setObjectName(QStringLiteral("lblRaceType"));
    form->addRow(label, m_name);
    tabs->addTab(page, QStringLiteral("Race Type"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttonRow());

    // Unlike the race-type list, the editor has no default button: Enter in the name stores nothing.
    setNoDefaultButton();
    selectAllOnFocus(m_name);
    connect(m_name, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!isVisible() || !m_raceType)
            return;
        m_raceType->setRaceTypeName(text);
        markChanged();
    });
}

void frmRaceType::showWith(cRaceType& raceType) {
    m_raceType = &raceType;
    setChanged(false);
    m_name->setText(raceType.raceTypeName());
    setWindowTitle(QStringLiteral("Race Type - ") + raceType.raceTypeName());
    exec();
    m_raceType = nullptr;
}

QString frmRaceType::saveQuestionTitle() const {
    return m_raceType ? m_raceType->raceTypeName() : QString();
}

bool frmRaceType::saveRaceType() {
    if (m_name->text().trimmed().isEmpty()) {
        showValidation(QStringLiteral("Name is a required field"));
        m_name->setFocus();
        m_name->selectAll();
        return false;
    }
    // Windows name the race types in their lists; two of one name could not be told apart there.
    // Names compare as the duplicate checks of cars and drivers do: trimmed, letter case ignored.
    cRaceTypeCollection raceTypes;
    raceTypes.load();
    const QString name = m_name->text().trimmed();
    const int own = m_raceType ? m_raceType->raceTypeNmbr() : 0;
    for (const cRaceType& other : raceTypes) {
        if (other.raceTypeNmbr() != own && other.raceTypeName().trimmed().compare(name, Qt::CaseInsensitive) == 0) {
            showValidation(QStringLiteral("Duplicate Race Type"));
            m_name->setFocus();
            m_name->selectAll();
            return false;
        }
    }
    return m_raceType && m_raceType->CommitChanges();
}
