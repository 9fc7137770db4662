// Compiled into every test program: each starts in the locale its expected texts were written for
// (dates month first, amounts in dollars), whatever the machine's own. A test that needs another
// locale sets it for its own span (see ScopedLocale).
#include <QLocale>
#include <QtGlobal>

namespace {
void useTestLocale() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}
} // namespace

Q_CONSTRUCTOR_FUNCTION(useTestLocale)
