#pragma once

#include <QObject>

// The one place that tells the open windows the stored data changed. Every statement that writes
// rows through the program's connection notes it; the windows hear of it once, when the event
// loop next runs, however many statements a store, an import or a posting ran meanwhile. A window
// that keeps rows or a copy of a record shows the stored data again on changed().
class DataChanges : public QObject {
    Q_OBJECT
public:
    // Something was written; changed() follows from the event loop.
    void note();
    // Tells the windows at once (the whole data file was replaced, say).
    void tellNow();

signals:
    void changed();

private:
    bool m_pending = false;
};

DataChanges& dataChanges();
