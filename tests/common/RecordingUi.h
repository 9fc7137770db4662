#pragma once

#include "data/UiServices.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// Records what the core would have shown, and answers questions from a queue (Yes when it is empty).
class RecordingUi final : public UiServices {
public:
    struct Box {
        QString text;
        QString title;
        MsgIcon icon;
        MsgButtons buttons;
    };

    RecordingUi() { setUi(this); }
    ~RecordingUi() override { setUi(nullptr); }

    int messageBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override {
        boxes.append({text, title, icon, buttons});
        pointerDuringBoxes.append(m_pointer);
        if (!answers.isEmpty())
            return answers.takeFirst();
        return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? AnswerOk : AnswerYes;
    }
    void setStatusText(const QString& text) override { statusTexts.append(text); }
    void setPointer(int code) override { m_pointer = code; }
    int pointer() const override { return m_pointer; }
    void beep() override { ++beeps; }
    void stepProgress() override {
        if (++progressSteps == onStep.first && onStep.second)
            onStep.second();
    }
    void showProgress(int percent) override { progress.append(percent); }
    void setStatusTarget(QObject* label) override { statusTarget = label; }
    void setProgressTarget(QObject* bar) override { progressTarget = bar; }
    void setFileProgressTarget(QObject* bar) override { fileProgressTarget = bar; }
    // Says stop from the stopAtAsk-th question on (never while it is 0), as a user pressing Stop would.
    bool stopRequested(const QString& text, qint64) override {
        stopText = text;
        return ++stopAsks >= stopAtAsk && stopAtAsk > 0;
    }
    void endStoppable() override { ++stoppablesEnded; }
    bool playWave(const QString& path) override {
        playedWaves.append(path);
        return wavesPlay;
    }

    void clear() {
        boxes.clear();
        statusTexts.clear();
        pointerDuringBoxes.clear();
        beeps = 0;
        progressSteps = 0;
        progress.clear();
        stopAsks = stoppablesEnded = 0;
        stopText.clear();
    }
    QString lastBoxText() const { return boxes.isEmpty() ? QString() : boxes.last().text; }

    QList<Box> boxes;
    QList<int> pointerDuringBoxes;
    QList<int> answers;
    QStringList statusTexts;
    QStringList playedWaves;
    int beeps = 0;
    int progressSteps = 0;
    QList<int> progress; // what showProgress was given, in order
    // Where the windows last told the port to show the status text and the progress.
    QObject* statusTarget = nullptr;
    QObject* progressTarget = nullptr;
    QObject* fileProgressTarget = nullptr;
    bool wavesPlay = false;
    int stopAtAsk = 0;
    std::pair<int, std::function<void()>> onStep; // runs at that step of the progress bar
    int stopAsks = 0;
    int stoppablesEnded = 0;
    QString stopText; // what the last question was about

private:
    int m_pointer = PointerDefault;
};
