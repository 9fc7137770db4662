#pragma once

#include "data/DataChanges.h"
#include "data/UiServices.h"

#include <QElapsedTimer>
#include <QPointer>

#include <optional>

#include <QDialog>
#include <QLabel>
#include <QProgressBar>

// The program's user-interface services over Qt widgets.
class QtUiServices final : public UiServices {
public:
    int messageBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    void setStatusText(const QString& text) override;
    void setPointer(int code) override;
    int pointer() const override { return m_pointer; }
    void beep() override;
    void stepProgress() override;
    void showProgress(int percent) override;
    bool playWave(const QString& path) override;
    void selectFocusedText() override;

    // The label of the status bar's first panel (lent by the main window when it loads).
    void setStatusTarget(QObject* label) override;
    // The progress bar a posting steps; it is stepped only while visible.
    void setProgressTarget(QObject* bar) override;
    // Every step is counted, but the bar is redrawn at most this often: a posting takes tens of
    // thousands of steps, and drawing each one took far longer than the posting itself.
    static constexpr int kRepaintIntervalMs = 30;
    // The main window's bar for long file operations (imports).
    void setFileProgressTarget(QObject* bar) override;

    // The window that says a site script runs, with its Stop button, shown once the script has run this
    // long: an ordinary script is through before it, and a user who waits longer wonders what happens.
    bool stopRequested(const QString& text, qint64 runningMs) override;
    void endStoppable() override;
    static constexpr int kStopWindowAfterMs = 1000;

private:
    QPointer<QLabel> m_statusLabel;
    QPointer<QProgressBar> m_progress;
    // The value the steps have reached, and the one last handed to the bar.
    int m_progressValue = 0;
    int m_progressShown = 0;
    QElapsedTimer m_sinceRepaint;
    QPointer<QProgressBar> m_fileProgress;
    int m_pointer = PointerDefault;
    QPointer<QDialog> m_stopWindow;
    QPointer<QLabel> m_stopText;
    bool m_stopPressed = false;
    int m_pointerBeforeStop = PointerDefault;
    // The windows keep showing what they showed while the posting's transaction is open under the
    // window: they read nothing from the connection while its statement runs.
    std::optional<DataChangesHold> m_stopHold;
};
