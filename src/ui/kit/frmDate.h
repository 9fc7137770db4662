#pragma once

#include <QDialog>

class QCalendarWidget;

// The pop-up calendar of the editors' date fields. A click on a day accepts it, which ends its
// modal show; the caller then reads the clicked date from MonthView1. Escape closes it unaccepted.
class frmDate : public QDialog {
    Q_OBJECT

public:
    explicit frmDate(QWidget* parent = nullptr);
    QCalendarWidget* MonthView1() const { return m_calendar; }

    // The whole use by a date field: opens a new picker with its top-left corner at the global position,
    // on the field's date (today when the text is no date), and returns the day clicked in the
    // short date form, or fieldText as it was when the picker was closed without a click. The
    // caller then runs the field's own check.
    static QString pickFor(const QString& fieldText, const QPoint& globalTopLeft, QWidget* parent);

private:
    QCalendarWidget* m_calendar;
};
