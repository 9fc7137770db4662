#pragma once

// What the race window's tabs share: the grids' columns, the box title and the combo helpers.

#include <QComboBox>
#include <QString>

namespace racewindow {

enum ResultColumn { ColPlace, ColCar, ColLapsLed, ColQualified, ColAdjustment, ColFastQual };
enum PairingColumn { ColTeam1, ColVs, ColTeam2 };

inline const QString kTitle = QStringLiteral("Quorvanti");
inline const QString kCrLf = QStringLiteral("\r\n");

// Selects the combo item with that number; none when no item has it.
inline void selectNumber(QComboBox* box, int number) {
    box->setCurrentIndex(box->findData(number));
}

inline int itemNumber(const QComboBox* box, int index) {
    return index >= 0 ? box->itemData(index).toInt() : 0;
}

} // namespace racewindow
