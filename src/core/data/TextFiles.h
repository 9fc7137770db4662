#pragma once

#include <QString>

class QFile;

// Text files opened by number, as the import, the scripts and the report files read them. Each
// failure but a missing file shows its box (see Feedback.h) and is told through fileErrorFlag.

// "N" after a successful openFile, readFile or closeFile; "Y" after a failed one.
extern QString fileErrorFlag;
// A file number; -1 (silently) when the file does not exist, 0 after another failure (with a box).
int openFile(const QString& path);
// The rest of the file as text (see TextLines.h for how its bytes are read).
QString readFile(int fileNumber);
void closeFile(int fileNumber);
// The open file behind a file number, for reading it piece by piece; nullptr when none is open.
QFile* openedFile(int fileNumber);
// Shows the read error box for the file and sets fileErrorFlag to "Y".
void reportReadFailure(int fileNumber);

// A file opened by openFile for as long as this lives: closed on every way out of the scope.
class OpenedTextFile {
public:
    explicit OpenedTextFile(const QString& path);
    ~OpenedTextFile();
    OpenedTextFile(const OpenedTextFile&) = delete;
    OpenedTextFile& operator=(const OpenedTextFile&) = delete;
    // Whether the file opened (openFile has shown its box, or the file is not there, when not).
    bool isOpen() const { return m_open; }
    int number() const { return m_number; }
    QFile* file() const { return openedFile(m_number); }

private:
    int m_number;
    bool m_open;
};

// A free file number, as the file procedures and report files take them.
int getReportFileHandle();
