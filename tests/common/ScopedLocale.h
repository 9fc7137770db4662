#pragma once

#include <QLocale>

// Makes a locale the default for the life of the object, then puts the one before it back.
class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(m_before); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    static QLocale british() { return QLocale(QLocale::English, QLocale::UnitedKingdom); }
    static QLocale american() { return QLocale(QLocale::English, QLocale::UnitedStates); }

private:
    QLocale m_before;
};
