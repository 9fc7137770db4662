#pragma once

#include <QDialog>

class QCalendarWidget;

// The pop-up calendar of the editors' date fields. A click on a day hides it, which ends its modal
// show; the caller then reads the clicked date from MonthView1.
class frmDate : public QDialog {
    Q_OBJECT

public:
    explicit frmDate(QWidget* parent = nullptr);
    QCalendarWidget* MonthView1() const { return m_calendar; }

    // The whole use by a date field: opens a new picker with its top-left corner at the global position,
    // on the field's date (today when the text is no date), and returns the date then held by the
    // calendar in the short date form. The caller then runs the field's own check.
    static QString pickFor(const QString& fieldText, const QPoint& globalTopLeft, QWidget* parent);

private:
    QCalendarWidget* m_calendar;
};
