#pragma once

#include "TestDataFile.h"

#include <QObject>
#include <memory>

// A window test whose every test function starts on a fresh data file of its own. The program does
// not end when a test closes its last window.
class DataFileTest : public QObject {
    Q_OBJECT

protected:
    RecordingUi& ui() { return m_data->ui(); }
    // What every test function finds in the data file besides the shipped rows; none by default.
    virtual void prepare() {}

    std::unique_ptr<TestDataFile> m_data;

private slots:
    void initTestCase();
    void init();
    void cleanup();
};
