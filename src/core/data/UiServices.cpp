#include "data/UiServices.h"

#include <cstdio>

namespace {

// Writes boxes to standard error; used only when nothing else was installed.
class SilentUi final : public UiServices {
public:
    int messageBox(const QString& text, const QString& title, MsgIcon, MsgButtons buttons) override {
        std::fprintf(stderr, "[%s] %s\n", qPrintable(title), qPrintable(text));
        return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? AnswerOk : AnswerYes;
    }
    void setStatusText(const QString&) override {}
    void setPointer(int code) override { m_pointer = code; }
    int pointer() const override { return m_pointer; }
    void beep() override {}
    void stepProgress() override {}
    bool playWave(const QString&) override { return false; }

private:
    int m_pointer = PointerDefault;
};

SilentUi g_silent;
UiServices* g_ui = &g_silent;

} // namespace

UiServices& ui() {
    return *g_ui;
}

void setUi(UiServices* services) {
    g_ui = services ? services : &g_silent;
}
