#include "data/DataChanges.h"

#include <QCoreApplication>

void DataChanges::note() {
    // Without an event loop there is no window to tell.
    if (m_pending || !QCoreApplication::instance())
        return;
    m_pending = true;
    QMetaObject::invokeMethod(this, &DataChanges::tellNow, Qt::QueuedConnection);
}

void DataChanges::tellNow() {
    m_pending = false;
    emit changed();
}

DataChanges& dataChanges() {
    static DataChanges instance;
    return instance;
}
