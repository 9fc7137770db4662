#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

struct WrittenTables;

// The one place that tells the open windows the stored data changed. Every committed write through
// the program's connection is noted with the tables it wrote; the windows hear of it once, when the
// event loop next runs, however many statements a store, an import or a posting ran meanwhile. A
// window that keeps rows or a copy of a record asks whether the tables it shows changed since it
// read them (lastChangeOf against the serial it read at) and shows the stored data again if so.
class DataChanges : public QObject {
    Q_OBJECT
public:
    // Rows of these tables were committed; changed() follows from the event loop.
    void note(const WrittenTables& written);
    // Every table may have changed (the whole data file was replaced, say): tells the windows at once,
    // or once the hold is released.
    void tellNow();

    // Counts the notes: what a window read after serial() was read is at least as new as every
    // change noted so far.
    quint64 serial() const { return m_serial; }
    // The serial of the last change to any of the tables (lower-case names), 0 when none changed.
    quint64 lastChangeOf(const QStringList& tables) const;

    // While held, changed() waits; it follows from the event loop once the last hold is released.
    // A question keeps the windows as they were when it was asked, so that its answer acts on what
    // the question was about.
    void hold();
    void release();

signals:
    void changed();

private:
    void queue();
    void deliver();

    QHash<QString, quint64> m_lastChange;
    quint64 m_serial = 0;
    quint64 m_everythingAt = 0;
    int m_holds = 0;
    bool m_queued = false;
    bool m_waiting = false; // a change came in while held
};

DataChanges& dataChanges();

// Holds the changes (DataChanges::hold) for as long as it lives.
class DataChangesHold {
public:
    DataChangesHold() { dataChanges().hold(); }
    ~DataChangesHold() { dataChanges().release(); }
    DataChangesHold(const DataChangesHold&) = delete;
    DataChangesHold& operator=(const DataChangesHold&) = delete;
};
