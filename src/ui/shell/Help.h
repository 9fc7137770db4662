#pragma once

#include <QString>
#include <QWidget>

class QScreen;
class QTextBrowser;

// The help topic shown by showHelp("Sensative"): 1 contents, 900 technical support, 500 league, 400 team,
// 300 car/driver, 700 race, 200 scoring method.
extern int helpContextId;

// The help file: "Quorvanti.HLP" in the program folder.
QString helpFilePath();
// Puts the help file shipped with the program into the program folder when it is missing or outdated.
void installHelpFile();

// Drives the help viewer. Commands (compared exactly): "Quit", "Index", "Sensative", "Partialkey",
// "Context", "HelponHelp"; anything else does nothing. With no help file every command but "Quit"
// says so in a message.
void showHelp(const QString& command);

// The maker's web site: "HOME", "SUPPORT" or "UPDATES" (blanks around the name are ignored).
QString webPageAddress(const QString& page);
void openWebPage(const QString& page);
// Opens an address in the program the desktop associates with it.
void openUrl(const QString& address);

// The program's help viewer: one window showing the help file at a topic.
class frmHelp : public QWidget {
    Q_OBJECT

public:
    // The open viewer, or nullptr.
    static frmHelp* current();
    // Opens the viewer (creating it when needed) at the topic's anchor.
    static void showTopic(const QString& file, const QString& anchor);
    static void quit();
    // Places the viewer, framed as given, beside the owner's frame on the owner's screen.
    void placeBeside(const QRect& owner, QScreen* screen, const QMargins& frame);

    QTextBrowser* browser() const { return m_browser; }
    QString topic() const { return m_topic; }

private:
    explicit frmHelp(QWidget* parent = nullptr);
    void load(const QString& file, const QString& anchor);

    QTextBrowser* m_browser;
    QString m_file;
    QString m_topic;
};
