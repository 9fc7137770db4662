#include "data/Feedback.h"

#include "data/Paths.h"

#include <QDir>
#include <QFileInfo>

int lastMessageAnswer = 0;

void setStatus() {
    ui().setStatusText(QStringLiteral("Status"));
}
void setStatus(const QString& text) {
    ui().setStatusText(text);
}
void setMousePointer(int code) {
    ui().setPointer(code);
}
int mousePointer() {
    return ui().pointer();
}

namespace {

int showBox(const QString& message, const QString& title, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok) {
    const int previous = ui().pointer();
    if (previous == PointerHourglass)
        ui().setPointer(PointerDefault);
    ui().beep();
    const int answer = ui().messageBox(message, title, icon, buttons);
    ui().setPointer(previous);
    return answer;
}

QString productTitle(const char* suffix) {
    return QString::fromLatin1(kProductName) + QLatin1String(suffix);
}

} // namespace

void showError(const QString& message) {
    lastMessageAnswer = showBox(message, productTitle(" Error"), MsgIcon::Critical);
}

void showInfo(const QString& message) {
    lastMessageAnswer = showBox(message, productTitle(" Message"), MsgIcon::Information);
}

void showStop(const QString& message) {
    lastMessageAnswer = showBox(message, productTitle(" Message"), MsgIcon::Critical);
}

void showQuorvantiBox(const QString& message) {
    showBox(message, productTitle(""), MsgIcon::Critical);
}

void showValidation(const QString& message) {
    showBox(message, productTitle(""), MsgIcon::Critical);
}

int askQuestion(const QString& message, const QString& title, MsgButtons buttons) {
    return showBox(message, title, MsgIcon::None, buttons);
}

void selectAllText() {
    ui().selectFocusedText();
}

void stepProgress() {
    ui().stepProgress();
}

QString getWindowsDir() {
    QString dir = QDir(programFolder()).filePath(QStringLiteral("Sounds"));
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

void playSound(const QString& name) {
    const int previous = ui().pointer();
    if (previous == PointerDefault)
        ui().setPointer(PointerHourglass);
    // A sound shipped with the program is played from its resources; a wave file in the
    // sounds folder of the program folder takes its place when present.
    QString path = getWindowsDir() + name + QStringLiteral(".wav");
    if (!QFileInfo::exists(path))
        path = QStringLiteral(":/sounds/") + name.toLower() + QStringLiteral(".wav");
    if (!ui().playWave(path))
        ui().beep();
    ui().setPointer(previous);
}
