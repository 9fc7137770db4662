#include "kit/frmDate.h"

#include "data/SqlText.h"
#include "kit/Twips.h"
#include "platform/Clock.h"

#include <QCalendarWidget>
#include <QVBoxLayout>

frmDate::frmDate(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_calendar(new QCalendarWidget(this)) {
    setObjectName(QStringLiteral("frmDate"));
    m_calendar->setObjectName(QStringLiteral("MonthView1"));
    setFixedSize(qMax(pixelsX(2715, this), m_calendar->sizeHint().width()),
                 qMax(pixelsY(2370, this), m_calendar->sizeHint().height()));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_calendar);
    // A click on a day, not a change of the shown month, ends the pick; Escape ends it with
    // nothing picked.
    connect(m_calendar, &QCalendarWidget::clicked, this, &QDialog::accept);
    connect(m_calendar, &QCalendarWidget::activated, this, &QDialog::accept);
}

QString frmDate::pickFor(const QString& fieldText, const QPoint& globalTopLeft, QWidget* parent) {
    frmDate picker(parent);
    picker.move(globalTopLeft);
    const QDate date = parseDate(fieldText);
    picker.MonthView1()->setSelectedDate(date.isValid() ? date : today());
    // Closed without a day picked (Escape): the field keeps what it held.
    if (picker.exec() != QDialog::Accepted)
        return fieldText;
    return shortDate(picker.MonthView1()->selectedDate());
}
