// Tab "Formatting" of frmReportDetails: the display attributes of the report shown.

#include "reports/framework/frmReportDetails.h"

#include "data/Feedback.h"
#include "data/cConnection.h"
#include "kit/EditorKit.h"
#include "reports/framework/cColor.h"
#include "reports/framework/cReportAttributes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The attributes of the four frame arrays, which run heading, report (title and page), odd rows,
// even rows.
constexpr std::array<int, 4> kTextColorAttr{AttrHeadingTextColor, AttrTitleTextColor, AttrOddRowTextColor,
                                            AttrEvenRowTextColor};
constexpr std::array<int, 4> kBackColorAttr{AttrHeadingBackColor, AttrBackColor, AttrOddRowBackColor,
                                            AttrEvenRowBackColor};
constexpr std::array<int, 4> kTextSizeAttr{AttrHeadingTextSize, AttrTitleTextSize, AttrOddRowTextSize,
                                           AttrEvenRowTextSize};
constexpr std::array<int, 3> kLinkColorAttr{AttrLinkColor, AttrVisitedLinkColor, AttrHoverLinkColor};

// A number box of the tab. The stored field holds 16 bits, so the box never takes more; a box left
// empty (or holding only a sign) shows its fallback instead of quietly going back to the last value,
// the same number a save would store for it.
class AttributeSpinBox : public QSpinBox {
public:
    AttributeSpinBox(int fallback, QWidget* parent) : QSpinBox(parent), m_fallback(fallback) {
        setRange(-32768, 32767);
        setAccelerated(true);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        clear();
    }
    // The number the box stands for at a save. A box whose text is no number is first set to its
    // fallback, so that the user sees what was stored.
    int storedValue() {
        QString t = text();
        int pos = 0;
        if (cleanText().trimmed().isEmpty() || validate(t, pos) != QValidator::Acceptable)
            setValue(m_fallback);
        return value();
    }

protected:
    void fixup(QString& input) const override {
        QSpinBox::fixup(input);
        const QString t = input.trimmed();
        if (t.isEmpty() || t == QLatin1String("-") || t == QLatin1String("+"))
            input = QString::number(m_fallback);
    }

private:
    int m_fallback;
};

int boxValue(QSpinBox* box) {
    return static_cast<AttributeSpinBox*>(box)->storedValue();
}

int colorOf(const QComboBox* list) {
    return list->currentIndex() < 0 ? 0 : list->currentData().toInt();
}

} // namespace

QWidget* frmReportDetails::buildFormattingTab() {
    auto* page = new QWidget;
    const QString frameCaptions[4] = {QStringLiteral("Heading Formating"), QStringLiteral("Report Formating"),
                                      QStringLiteral("Data Formating (Odd Rows)"),
                                      QStringLiteral("Data Formating (Even Rows)")};
    const QString textColorLabels[4] = {QStringLiteral("Text Color:"), QStringLiteral("Title Color:"),
                                        QStringLiteral("Text Color:"), QStringLiteral("Text Color:")};

    // One colour list with its Default box beside it.
    auto colorRow = [this](QWidget* parent, QComboBox** list, QCheckBox** defaultBox) {
        *list = new QComboBox(parent);
        (*list)->setMinimumContentsLength(12);
        (*list)->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        *defaultBox = new QCheckBox(QStringLiteral("Default"), parent);
        QComboBox* l = *list;
        QCheckBox* d = *defaultBox;
        connect(d, &QCheckBox::clicked, this, [this, l, d] {
            if (d->isChecked())
                l->setCurrentIndex(-1);
            markDirty();
        });
        connect(l, &QComboBox::activated, this, [this, l, d] {
            if (l->currentIndex() >= 0)
                d->setChecked(false);
            markDirty();
        });
        auto* row = new QHBoxLayout;
        row->addWidget(l, 1);
        row->addWidget(d);
        return row;
    };
    auto numberBox = [this](QWidget* parent, int fallback) {
        auto* box = new AttributeSpinBox(fallback, parent);
        selectAllOnFocus(box->findChild<QLineEdit*>());
        connect(box, &QSpinBox::textChanged, this, &frmReportDetails::markDirty);
        return box;
    };

    auto* frames = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        auto* frame = new QGroupBox(frameCaptions[i], page);
        auto* form = new QFormLayout(frame);
        form->addRow(textColorLabels[i], colorRow(frame, &m_textColor[i], &m_textDefault[i]));
        form->addRow(QStringLiteral("Back Color:"), colorRow(frame, &m_backColor[i], &m_backDefault[i]));
        m_textSize[i] = numberBox(frame, 1);
        form->addRow(QStringLiteral("Text Size:"), m_textSize[i]);
        frames->addWidget(frame, i / 2, i % 2);
    }

    auto* style = new QGroupBox(QStringLiteral("Style Formating"), page);
    auto* styleForm = new QFormLayout(style);
    m_borderSize = numberBox(style, 0);
    m_cellSpacing = numberBox(style, 0);
    m_cellPadding = numberBox(style, 0);
    styleForm->addRow(QStringLiteral("Border Size:"), m_borderSize);
    styleForm->addRow(QStringLiteral("Cell Spacing:"), m_cellSpacing);
    styleForm->addRow(QStringLiteral("Cell Padding"), m_cellPadding);
    frames->addWidget(style, 2, 0);

    auto* links = new QGroupBox(QStringLiteral("Links"), page);
    auto* linkForm = new QFormLayout(links);
    const QString linkLabels[3] = {QStringLiteral("Color:"), QStringLiteral("Visited Color:"),
                                   QStringLiteral("Hover Color:")};
    for (int i = 0; i < 3; ++i)
        linkForm->addRow(linkLabels[i], colorRow(links, &m_linkColor[i], &m_linkDefault[i]));
    frames->addWidget(links, 2, 1);

    m_headerImage = new QLineEdit(page);
    m_backgroundImage = new QLineEdit(page);
    auto* images = new QFormLayout;
    images->addRow(QStringLiteral("Header Image:"), m_headerImage);
    images->addRow(QStringLiteral("Background Image:"), m_backgroundImage);
    for (QLineEdit* box : {m_headerImage, m_backgroundImage}) {
        selectAllOnFocus(box);
        connect(box, &QLineEdit::textChanged, this, &frmReportDetails::markDirty);
    }

    m_activeOnly = new QCheckBox(QStringLiteral("Include active cars/drivers Only?"), page);
    m_includeFooter = new QCheckBox(QStringLiteral("Include Footer?"), page);
    for (QCheckBox* box : {m_activeOnly, m_includeFooter})
        connect(box, &QCheckBox::clicked, this, &frmReportDetails::markDirty);
    auto* switches = new QHBoxLayout;
    switches->addWidget(m_activeOnly);
    switches->addWidget(m_includeFooter);
    switches->addStretch(1);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(frames);
    layout->addLayout(images);
    layout->addLayout(switches);
    layout->addStretch(1);

    return page;
}

// All eleven lists hold the same colours in the same order; the default colour (0) is offered
// through the Default boxes only.
void frmReportDetails::fillColorCombos() {
    std::vector<QComboBox*> lists(m_textColor.begin(), m_textColor.end());
    lists.insert(lists.end(), m_backColor.begin(), m_backColor.end());
    lists.insert(lists.end(), m_linkColor.begin(), m_linkColor.end());
    for (const auto& color : *m_reportColors) {
        if (color.ColorNmbr() <= 0)
            continue;
        for (QComboBox* list : lists)
            list->addItem(color.ColorName(), color.ColorNmbr());
    }
    for (QComboBox* list : lists)
        list->setCurrentIndex(-1);
}

// A colour of 0 ticks Default and leaves the list without a choice; a colour the list does not hold
// (gone from the colour table) leaves both as they were, which after the reset is the default.
void frmReportDetails::showColor(QComboBox* list, QCheckBox* defaultBox, const cReportAttributes& row) {
    if (row.isDefault()) {
        defaultBox->setChecked(true);
        list->setCurrentIndex(-1);
        return;
    }
    const int found = list->findData(row.value());
    if (found < 0)
        return;
    list->setCurrentIndex(found);
    defaultBox->setChecked(false);
}

void frmReportDetails::clearAttributeControls() {
    for (int i = 0; i < 4; ++i) {
        m_textColor[i]->setCurrentIndex(-1);
        m_textDefault[i]->setChecked(true);
        m_backColor[i]->setCurrentIndex(-1);
        m_backDefault[i]->setChecked(true);
        m_textSize[i]->clear(); // an empty size box stands for the default, as in a new window
    }
    for (int i = 0; i < 3; ++i) {
        m_linkColor[i]->setCurrentIndex(-1);
        m_linkDefault[i]->setChecked(true);
    }
    for (QSpinBox* box : {m_borderSize, m_cellSpacing, m_cellPadding})
        box->clear();
    m_headerImage->clear();
    m_backgroundImage->clear();
    m_activeOnly->setChecked(false);
    m_includeFooter->setChecked(false);
}

void frmReportDetails::loadAttributeControls() {
    const int index = m_reports->currentIndex();
    if (index >= 0) {
        if (m_reportColors->Count() == 0) {
            m_reportColors->loadNoDefault();
            fillColorCombos();
        }
        cReportAttributesCollection rows;
        rows.load(chosenReportNmbr(index));
        // Every control starts from its attribute's default, so that nothing of the report shown
        // before is kept, and saved, for this one.
        clearAttributeControls();
        for (const auto& row : rows) {
            const int attr = row.attributeNmbr();
            for (int i = 0; i < 4; ++i) {
                if (attr == kTextColorAttr[i])
                    showColor(m_textColor[i], m_textDefault[i], row);
                else if (attr == kBackColorAttr[i])
                    showColor(m_backColor[i], m_backDefault[i], row);
                else if (attr == kTextSizeAttr[i])
                    m_textSize[i]->setValue(row.value());
            }
            for (int i = 0; i < 3; ++i)
                if (attr == kLinkColorAttr[i])
                    showColor(m_linkColor[i], m_linkDefault[i], row);
            switch (attr) {
            case AttrBorderSize:
                m_borderSize->setValue(row.value());
                break;
            case AttrCellSpacing:
                m_cellSpacing->setValue(row.value());
                break;
            case AttrCellPadding:
                m_cellPadding->setValue(row.value());
                break;
            case AttrHeaderImage:
                m_headerImage->setText(row.text());
                break;
            case AttrBackgroundImage:
                m_backgroundImage->setText(row.text());
                break;
            case AttrIncludeActiveOnly:
                m_activeOnly->setChecked(row.value() == 1);
                break;
            case AttrIncludeFooter:
                m_includeFooter->setChecked(row.value() == 1);
                break;
            default:
                break;
            }
        }
    }
    m_apply->setEnabled(false);
    m_shownReportIndex = index;
}

// The old rows and the new ones are replaced in one transaction: a failure part way keeps the
// report's previous attributes whole instead of leaving only the first few of the new ones.
bool frmReportDetails::saveAttributes() {
    if (m_shownReportIndex < 0) {
        showPlainBox(QStringLiteral("No report selected"));
        return false;
    }
    const int reportNmbr = chosenReportNmbr(m_shownReportIndex);

    // The pages take a text size of 1 to 7 and no negative border, spacing or padding; a number
    // outside that is refused before anything is stored, and its box is shown for correcting.
    auto inRange = [](QSpinBox* box, int lowest, int highest, const QString& name) {
        const int value = boxValue(box);
        if (value >= lowest && value <= highest)
            return true;
        showValidation(name + QStringLiteral(" must be a number from ") + QString::number(lowest) +
                       QStringLiteral(" to ") + QString::number(highest) + QLatin1Char('.'));
        box->setFocus();
        box->selectAll();
        return false;
    };
    for (QSpinBox* size : m_textSize)
        if (!inRange(size, 1, 7, QStringLiteral("Text Size")))
            return false;
    if (!inRange(m_borderSize, 0, 32767, QStringLiteral("Border Size")) ||
        !inRange(m_cellSpacing, 0, 32767, QStringLiteral("Cell Spacing")) ||
        !inRange(m_cellPadding, 0, 32767, QStringLiteral("Cell Padding")))
        return false;

    Transaction tx;
    cReportAttributesCollection old;
    // Without the delete the inserts below would be skipped as duplicates and the old values stay.
    if (!old.Delete(reportNmbr))
        return false;

    cReportAttributes row;
    row.setReportNmbr(reportNmbr);
    auto store = [&row](int attr, int value, const QString& text = QString()) {
        row.setAttributeNmbr(attr);
        row.setValue(value);
        row.setText(text);
        return row.insertRow();
    };
    for (int i = 0; i < 4; ++i)
        if (!store(kTextColorAttr[i], colorOf(m_textColor[i])))
            return false;
    for (int i = 0; i < 4; ++i)
        if (!store(kBackColorAttr[i], colorOf(m_backColor[i])))
            return false;
    for (int i = 0; i < 4; ++i)
        if (!store(kTextSizeAttr[i], boxValue(m_textSize[i])))
            return false;
    if (!store(AttrBorderSize, boxValue(m_borderSize)) || !store(AttrCellSpacing, boxValue(m_cellSpacing)) ||
        !store(AttrCellPadding, boxValue(m_cellPadding)))
        return false;
    for (int i = 0; i < 3; ++i)
        if (!store(kLinkColorAttr[i], colorOf(m_linkColor[i])))
            return false;
    if (!store(AttrHeaderImage, 0, m_headerImage->text()) ||
        !store(AttrBackgroundImage, 0, m_backgroundImage->text()) ||
        !store(AttrIncludeActiveOnly, m_activeOnly->isChecked() ? 1 : 0) ||
        !store(AttrIncludeFooter, m_includeFooter->isChecked() ? 1 : 0))
        return false;
    return tx.commit();
}
