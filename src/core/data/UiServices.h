#pragma once

#include <QString>
#include <functional>

class QObject;

// Icon styles and answers of the message boxes, with the numbers the windows have always used.
enum class MsgIcon { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum MsgAnswer { AnswerOk = 1, AnswerCancel = 2, AnswerYes = 6, AnswerNo = 7 };

// A question a rule or use case of the core puts to the user through its caller: the text, the
// title and the buttons; returns the button pressed (MsgAnswer). The windows pass askQuestion.
using AskUser = std::function<int(const QString& text, const QString& title, MsgButtons buttons)>;

// Mouse pointer codes: the default pointer and the hourglass.
constexpr int PointerDefault = 0;
constexpr int PointerHourglass = 11;

// Everything the core shows the user goes through this one interface. The program installs the
// Qt implementation; tests install one that records what would have been shown.
class UiServices {
public:
    virtual ~UiServices() = default;
    // A modal box; returns the button pressed (MsgAnswer).
    virtual int messageBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) = 0;
    virtual void setStatusText(const QString& text) = 0;
    virtual void setPointer(int code) = 0;
    virtual int pointer() const = 0;
    virtual void beep() = 0;
    // Advances the progress bar of a posting by one step, if a bar is switched on.
    virtual void stepProgress() = 0;
    // How far a long file operation has come, 0 to 100, shown in the main window's status bar and
    // painted at once (no events are processed); a negative value takes the bar away.
    virtual void showProgress(int percent) { Q_UNUSED(percent); }

    // Where the windows let the port show these: the status text (a label), a posting's steps (the
    // progress bar of the window that posts; the steps count on from the value it has when handed
    // over) and a file operation's progress (a progress bar). The core knows no widgets, so they are
    // handed over as objects; nullptr, or an object of another kind, shows nothing there.
    virtual void setStatusTarget(QObject* label) { Q_UNUSED(label); }
    virtual void setProgressTarget(QObject* bar) { Q_UNUSED(bar); }
    virtual void setFileProgressTarget(QObject* bar) { Q_UNUSED(bar); }
    // A site script running inside a posting, which only the user stops. Asked now and then while its
    // statements run, with what runs and how long the posting's script has run so far. The program shows
    // the text with a Stop button once that is about a second, in a window that keeps every other one
    // still (the posting's transaction is open), lets events through while it is shown, and answers true
    // once Stop or Escape was pressed; endStoppable takes the window away.
    virtual bool stopRequested(const QString& text, qint64 runningMs) {
        Q_UNUSED(text);
        Q_UNUSED(runningMs);
        return false;
    }
    virtual void endStoppable() {}
    // Plays a wave file to its end; false when it cannot be played.
    virtual bool playWave(const QString& path) = 0;
    // Selects the whole text of the edit field that has the focus.
    virtual void selectFocusedText() {}
};

// The installed implementation; a silent one that answers OK until the program or a test installs its own.
UiServices& ui();
// Installs an implementation (not owned); nullptr puts the silent one back.
void setUi(UiServices* services);
