#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

class QIODevice;

// Text files reach the program from many editors: UTF-8 with or without a byte order mark, UTF-16
// with one, and 8-bit Windows text. A file with a UTF-16 mark is UTF-16 throughout; otherwise each
// line is UTF-8 when it is valid UTF-8 and Windows-1252 when not, so that one stray byte spoils only
// its own line.

// One line's bytes (without its line end) as text.
QString decodeTextLine(QByteArrayView bytes);
// A whole file's bytes as text, line ends kept as they are; a byte order mark is dropped.
QString decodeText(const QByteArray& bytes);

// Reads a text file line by line, holding only the line being read. Lines end at CR LF, LF or CR;
// the last line counts also without a line end, and a file that ends with a line end has no empty
// line after it.
class TextLineReader {
public:
    // A line longer than maxLineBytes (0: no limit) stops the reading there, so that a file
    // without line ends is never held whole.
    explicit TextLineReader(QIODevice* device, qsizetype maxLineBytes = 0);

    // The next line without its line end; false at the end of the file, when reading failed or
    // at a line that is too long.
    bool next(QString* line);
    // 1 for the first line, after next() returned it.
    qint64 lineNumber() const { return m_lineNumber; }
    // How many bytes of the file have been read so far.
    qint64 bytesRead() const { return m_bytesRead; }
    bool failed() const { return m_failed; }
    // The line numbered lineNumber() is longer than the limit; it was not read.
    bool lineTooLong() const { return m_tooLong; }

private:
    bool fill();
    bool nextUtf16(QString* line);

    bool tooLong(qsizetype lineBytes);

    QIODevice* m_device;
    qsizetype m_maxLineBytes;
    bool m_tooLong = false;
    QByteArray m_buffer;
    qsizetype m_start = 0;
    bool m_atEnd = false;
    bool m_failed = false;
    bool m_started = false;
    qint64 m_lineNumber = 0;
    qint64 m_bytesRead = 0;
    // Only for files with a UTF-16 mark.
    bool m_utf16 = false;
    QStringDecoder m_decoder;
    QString m_text;
    qsizetype m_textStart = 0;
};
