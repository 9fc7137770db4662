#include "DataFileTest.h"

#include <QApplication>
#include <QtTest>

void DataFileTest::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
}

void DataFileTest::init() {
    m_data = std::make_unique<TestDataFile>();
    QVERIFY(m_data->ok());
    prepare();
}

void DataFileTest::cleanup() {
    m_data.reset();
}
