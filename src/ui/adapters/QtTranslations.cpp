#include "adapters/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// The program's menus are in English, so the keys they name are too ("Ctrl+L", not "Strg+L"):
// Qt spells a key from its texts of this context, which its translations would otherwise give.
class EnglishKeyNames : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char*, int) const override {
        return qstrcmp(context, "QShortcut") == 0 ? QString::fromUtf8(sourceText) : QString();
    }
};

} // namespace

QTranslator* installQtTranslations(const QLocale& locale) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    // qtbase_de_DE falls back to qtbase_de.
    if (!translator->load(QStringLiteral("qtbase_") + locale.name(),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    // Asked before Qt's translations; it goes with them.
    QCoreApplication::installTranslator(new EnglishKeyNames(translator));
    return translator;
}
