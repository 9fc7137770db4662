#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about window of the Help menu.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Starts the system information program; without one, says it is unavailable.
    void StartSysInfo();
    // The system information program found on the search path, or an empty text.
    static QString sysInfoProgram();

    QLabel* AboutTitle() const { return m_title; }
    QLabel* Version() const { return m_version; }
    QLabel* Image1() const { return m_image; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_title;
    QLabel* m_version;
    QLabel* m_image;
};

// The program's version: major, minor and revision.
constexpr int kVersionMajor = 3;
constexpr int kVersionMinor = 0;
constexpr int kVersionRevision = 0;
