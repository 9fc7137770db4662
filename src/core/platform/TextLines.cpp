#include "platform/TextLines.h"

#include <QIODevice>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F. The five bytes it leaves undefined keep
// their Latin-1 meaning, as Windows itself reads them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString fromCp1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

constexpr qsizetype kChunk = 256 * 1024;

} // namespace

QString decodeTextLine(QByteArrayView bytes) {
    return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : fromCp1252(bytes);
}

QString decodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return utf16(QByteArrayView(bytes).sliced(2));
    }
    QByteArrayView rest(bytes);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    if (rest.isValidUtf8())
        return QString::fromUtf8(rest);
    QString text;
    text.reserve(rest.size());
    while (!rest.isEmpty()) {
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != '\n' && rest[end] != '\r')
            ++end;
        text += decodeTextLine(rest.first(end));
        const qsizetype lineEnd = (end + 1 < rest.size() && rest[end] == '\r' && rest[end + 1] == '\n') ? 2 : 1;
        if (end < rest.size())
            text += QLatin1String(rest.sliced(end, lineEnd).data(), lineEnd);
        rest = rest.sliced(std::min(rest.size(), end + lineEnd));
    }
    return text;
}

TextLineReader::TextLineReader(QIODevice* device, qsizetype maxLineBytes)
    : m_device(device), m_maxLineBytes(maxLineBytes) {}

bool TextLineReader::tooLong(qsizetype lineBytes) {
    if (m_maxLineBytes <= 0 || lineBytes <= m_maxLineBytes)
        return false;
    m_tooLong = true;
    ++m_lineNumber;
    return true;
}

bool TextLineReader::fill() {
    if (m_atEnd || m_failed || m_tooLong)
        return false;
    if (m_start > 0) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    const qsizetype size = m_buffer.size();
    m_buffer.resize(size + kChunk);
    const qint64 n = m_device->read(m_buffer.data() + size, kChunk);
    m_buffer.resize(size + std::max<qint64>(n, 0));
    if (n < 0) {
        m_failed = true;
        return false;
    }
    if (n == 0) {
        m_atEnd = true;
        return false;
    }
    m_bytesRead += n;
    return true;
}

bool TextLineReader::next(QString* line) {
    if (m_tooLong)
        return false;
    if (!m_started) {
        m_started = true;
        while (m_buffer.size() < 3 && fill()) {
        }
        if (m_buffer.startsWith("\xFF\xFE") || m_buffer.startsWith("\xFE\xFF")) {
            m_utf16 = true;
            m_decoder =
                QStringDecoder(m_buffer.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
            m_start = 2;
        } else if (m_buffer.startsWith("\xEF\xBB\xBF")) {
            m_start = 3;
        }
    }
    if (m_utf16)
        return nextUtf16(line);

    qsizetype scanned = m_start;
    for (;;) {
        const char* data = m_buffer.constData();
        qsizetype i = scanned;
        const qsizetype size = m_buffer.size();
        while (i < size && data[i] != '\n' && data[i] != '\r')
            ++i;
        // A CR at the end of what has been read may be the first half of a CR LF.
        if (i < size && !(data[i] == '\r' && i + 1 == size && !m_atEnd)) {
            if (tooLong(i - m_start))
                return false;
            const qsizetype lineEnd = (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
            *line = decodeTextLine(QByteArrayView(data + m_start, i - m_start));
            m_start = i + lineEnd;
            ++m_lineNumber;
            return true;
        }
        const qsizetype offset = i - m_start;
        if (tooLong(offset))
            return false;
        if (!fill()) {
            if (m_failed)
                return false;
            if (m_start < m_buffer.size()) { // the last line, without its line end
                const char* rest = m_buffer.constData() + m_start;
                qsizetype n = m_buffer.size() - m_start;
                if (rest[n - 1] == '\r')
                    --n;
                if (tooLong(n))
                    return false;
                *line = decodeTextLine(QByteArrayView(rest, n));
                m_start = m_buffer.size();
                ++m_lineNumber;
                return true;
            }
            return false;
        }
        scanned = m_start + offset; // fill() may have moved the unread bytes to the front
    }
}

bool TextLineReader::nextUtf16(QString* line) {
    qsizetype scanned = m_textStart;
    for (;;) {
        qsizetype i = scanned;
        const qsizetype size = m_text.size();
        const QChar* data = m_text.constData();
        while (i < size && data[i] != QLatin1Char('\n') && data[i] != QLatin1Char('\r'))
            ++i;
        if (i < size && !(data[i] == QLatin1Char('\r') && i + 1 == size && !m_atEnd)) {
            if (tooLong((i - m_textStart) * 2))
                return false;
            const qsizetype lineEnd =
                (data[i] == QLatin1Char('\r') && i + 1 < size && data[i + 1] == QLatin1Char('\n')) ? 2 : 1;
            *line = m_text.mid(m_textStart, i - m_textStart);
            m_textStart = i + lineEnd;
            ++m_lineNumber;
            return true;
        }
        const qsizetype offset = i - m_textStart;
        if (tooLong(offset * 2))
            return false;
        m_text.remove(0, m_textStart);
        m_textStart = 0;
        scanned = offset;
        if (m_start < m_buffer.size()) {
            m_text += m_decoder(QByteArrayView(m_buffer).sliced(m_start));
            m_start = m_buffer.size();
            continue;
        }
        if (!fill()) {
            if (m_failed)
                return false;
            m_text += m_decoder(QByteArrayView()); // an odd last byte
            if (m_textStart < m_text.size()) {
                QString rest = m_text.mid(m_textStart);
                if (rest.endsWith(QLatin1Char('\r')))
                    rest.chop(1);
                if (tooLong(rest.size() * 2))
                    return false;
                *line = rest;
                m_text.clear();
                m_textStart = 0;
                ++m_lineNumber;
                return true;
            }
            return false;
        }
    }
}
