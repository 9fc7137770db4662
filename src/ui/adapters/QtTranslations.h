#pragma once

#include <QLocale>

class QTranslator;

// Qt's own texts (the file dialogs, the buttons of the message boxes) in the user's language, from
// the translations installed with Qt; the program's own texts stay as they are, and so do the names
// of the keys its menus show. Returns the translator installed, owned by the application, or
// nullptr when Qt has none for that language.
QTranslator* installQtTranslations(const QLocale& locale = QLocale());
