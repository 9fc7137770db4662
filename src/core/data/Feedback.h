#pragma once

#include "data/UiServices.h"

#include <QString>

// What the program tells the user through the UI port: the status text, the mouse pointer, the
// message boxes and questions, sounds and the posting's progress.

// Panel 1 of the status bar: "Status" without an argument; any text (the empty one too) as given.
void setStatus();
void setStatus(const QString& text);
void setMousePointer(int code);
int mousePointer();

// The three message boxes (OK only). Each beeps, shows the default pointer over the box while the
// hourglass was on, and puts the previous pointer back afterwards.
void showError(const QString& message); // critical, "Quorvanti Error"
void showInfo(const QString& message);  // information, "Quorvanti Message"
void showStop(const QString& message);  // critical, "Quorvanti Message"
// The database layer's box: critical, titled "Quorvanti", OK only.
void showQuorvantiBox(const QString& message);
// A validation message of a window: critical, titled "Quorvanti", OK only.
void showValidation(const QString& message);
// A question without an icon; returns the MsgAnswer pressed.
int askQuestion(const QString& message, const QString& title, MsgButtons buttons = MsgButtons::YesNoCancel);
// The button code of the last showError, showInfo or showStop box.
extern int lastMessageAnswer;

void selectAllText();
void stepProgress();
void playSound(const QString& name);
// The folder the wave files are played from, ending in "/".
QString getWindowsDir();
