#include "data/DataChanges.h"

#include "platform/SqlDatabase.h"

#include <QCoreApplication>
#include <algorithm>

void DataChanges::note(const WrittenTables& written) {
    if (written.isEmpty())
        return;
    ++m_serial;
    if (written.unknown)
        m_everythingAt = m_serial;
    for (const QString& table : written.names)
        m_lastChange.insert(table.toLower(), m_serial);
    queue();
}

void DataChanges::tellNow() {
    m_everythingAt = ++m_serial;
    if (m_holds > 0) {
        m_waiting = true;
        return;
    }
    deliver();
}

quint64 DataChanges::lastChangeOf(const QStringList& tables) const {
    quint64 last = m_everythingAt;
    for (const QString& table : tables)
        last = std::max(last, m_lastChange.value(table, 0));
    return last;
}

void DataChanges::hold() {
    ++m_holds;
}

void DataChanges::release() {
    if (m_holds == 0 || --m_holds > 0)
        return;
    // Told from the event loop, never here: whoever released the hold goes on first with the
    // windows as they were.
    if (m_waiting) {
        m_waiting = false;
        queue();
    }
}

void DataChanges::queue() {
    // Without an event loop there is no window to tell.
    if (m_queued || !QCoreApplication::instance())
        return;
    m_queued = true;
    QMetaObject::invokeMethod(this, &DataChanges::deliver, Qt::QueuedConnection);
}

void DataChanges::deliver() {
    m_queued = false;
    if (m_holds > 0) {
        m_waiting = true;
        return;
    }
    emit changed();
}

DataChanges& dataChanges() {
    static DataChanges instance;
    return instance;
}
