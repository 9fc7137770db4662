#include "reports/framework/CommonReportCode.h"

#include "data/Feedback.h"
#include "data/IDatabase.h"
#include "data/Paths.h"
#include "data/TextFiles.h"
#include "platform/SaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <utility>

namespace {

const QString kNoColor = QStringLiteral("0");

// The cell and paragraph builders write each line into one string: the escaped values and numbers go
// straight into it, not through strings of their own.
bool needsEscape(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 0x20 && u < 0x7f)
        return u == '&' || u == '<' || u == '>' || u == '"' || u == '\'';
    return u < 0x20 || c.category() == QChar::Other_Control;
}

void appendHtmlText(QString& out, QStringView text) {
    const QChar* run = text.begin();
    for (const QChar* c = text.begin(); c != text.end(); ++c) {
        if (!needsEscape(*c))
            continue;
        out += QStringView(run, c);
        run = c + 1;
        switch (c->unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\'':
            out += QLatin1String("&#39;");
            break;
        case '\t':
        case '\n':
        case '\r':
        case '\f':
        case '\v':
            out += QLatin1Char(' ');
            break;
        default:
            break; // other control characters (a bell or an escape brought in by an import) are no text
        }
    }
    out += QStringView(run, text.end());
}

void appendNumber(QString& out, qint64 n) {
    char digits[24];
    int i = sizeof digits;
    const bool negative = n < 0;
    quint64 rest = negative ? 0 - quint64(n) : quint64(n);
    do {
        digits[--i] = char('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (negative)
        digits[--i] = '-';
    out += QLatin1String(digits + i, qsizetype(sizeof digits) - i);
}

void appendFontOpen(QString& out, int size, const QString& color) {
    out += QLatin1String("<FONT size = '");
    appendNumber(out, size);
    out += QLatin1Char('\'');
    if (color != kNoColor) {
        out += QLatin1String(" color = '");
        appendHtmlText(out, color);
        out += QLatin1String("'>");
    } else {
        out += QLatin1Char('>');
    }
}

// The room a line of the given parts takes, escapes aside.
qsizetype roomFor(std::initializer_list<qsizetype> parts) {
    qsizetype n = 64;
    for (qsizetype p : parts)
        n += p;
    return n;
}

// A page is written beside its final name and takes that name only when complete, so a run that
// fails part way leaves the previous page as it was. Its lines are put together in bytes of its own
// and handed to the file in large pieces, which the file writes through without copying them again.
struct ReportFile {
    std::unique_ptr<SaveFile> file;
    QByteArray pending; // its first `used` bytes are lines; the rest is room for more
    qsizetype used = 0;
};

constexpr qsizetype kHandOver = 128 * 1024;

std::map<int, ReportFile>& reportFiles() {
    static std::map<int, ReportFile> files;
    return files;
}

// Gives the file what the lines hold so far; the disk's refusal ends the page.
void handOver(ReportFile& open) {
    const qsizetype size = std::exchange(open.used, 0);
    if (size > 0 && open.file->write(open.pending.constData(), size) != size)
        throw ReportFolderError(open.file->errorString(), false);
}

quint64 pagesPutInPlace = 0;

DocumentOpener& documentOpener() {
    static DocumentOpener opener;
    return opener;
}

// The colour tests take a line end after the colour as the pattern tests they replace did.
QStringView withoutLastLineEnd(const QString& text) {
    return text.endsWith(QLatin1Char('\n')) ? QStringView(text).chopped(1) : QStringView(text);
}

bool isAsciiLetterOrDigit(QChar c) {
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

// A colour as a style rule can take it: a colour name or "#" and hex digits. Anything else would end
// the rule or the style block, so its rule is left out.
bool isCssColor(const QString& color) {
    QStringView v = withoutLastLineEnd(color);
    if (v.startsWith(QLatin1Char('#')))
        v = v.mid(1);
    return !v.isEmpty() && std::all_of(v.begin(), v.end(), isAsciiLetterOrDigit);
}

// A colour as the bgcolor attributes take it: "#" and six hex digits. Browsers make some colour of
// almost any other text, and a stray quote or markup has no place in the tag, so it is left out.
bool isHexColor(const QString& color) {
    const QStringView v = withoutLastLineEnd(color);
    return v.size() == 7 && v[0] == QLatin1Char('#') && std::all_of(v.begin() + 1, v.end(), [](QChar c) {
               const char16_t u = c.unicode();
               return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f');
           });
}

QString colorRule(const QString& selector, const QString& color) {
    if (color == kNoColor || !isCssColor(color))
        return QString();
    return selector + QStringLiteral(" {color: ") + color + QLatin1Char('}');
}

// The plain critical box of the report-file operations: no beep, the hourglass lifted while it shows.
void showReportBox(const QString& message) {
    const int previous = ui().pointer();
    if (previous == PointerHourglass)
        ui().setPointer(PointerDefault);
    ui().messageBox(message, QString::fromLatin1(kProductName), MsgIcon::Critical, MsgButtons::Ok);
    ui().setPointer(previous);
}

bool looksLikeAddress(const QString& path) {
    // A scheme of one letter is a drive, not an address.
    const QUrl url(path);
    return url.isValid() && url.scheme().size() > 1;
}

} // namespace

QString htmlText(const QString& text) {
    // Most values need no escape: they are given back as they are, without a copy.
    if (std::none_of(text.begin(), text.end(), needsEscape))
        return text;
    QString out;
    out.reserve(text.size());
    appendHtmlText(out, text);
    return out;
}

QString emailAddress(const QString& stored) {
    const QString scheme = QStringLiteral("mailto:");
    const QString address = stored.trimmed();
    return address.startsWith(scheme, Qt::CaseInsensitive) ? address.mid(scheme.size()).trimmed() : address;
}

QString styleTag(const QString& linkColor, const QString& visitedLinkColor, const QString& hoverLinkColor) {
    return QStringLiteral("<STYLE>") + colorRule(QStringLiteral("A"), linkColor) +
           colorRule(QStringLiteral("A:visited"), visitedLinkColor) +
           colorRule(QStringLiteral("A:hover"), hoverLinkColor) + QStringLiteral("</STYLE>");
}

QString bodyTag(const QString& backColor, const QString& backgroundImage) {
    QString s;
    s.reserve(roomFor({backColor.size(), backgroundImage.size()}));
    s += QLatin1String("<BODY");
    if (isHexColor(backColor)) {
        s += QLatin1String(" bgcolor = '");
        appendHtmlText(s, backColor);
        s += QLatin1Char('\'');
    }
    if (!backgroundImage.isEmpty()) {
        s += QLatin1String(" background='");
        appendHtmlText(s, backgroundImage);
        s += QLatin1Char('\'');
    }
    s += QLatin1Char('>');
    return s;
}

QString rowTag(const QString& backColor) {
    if (!isHexColor(backColor))
        return QStringLiteral("<TR>");
    QString s;
    s.reserve(roomFor({backColor.size()}));
    s += QLatin1String("<TR bgcolor = '");
    appendHtmlText(s, backColor);
    s += QLatin1String("'>");
    return s;
}

QString imageParagraph(const QString& image, const QString& align) {
    if (image.isEmpty())
        return QString();
    QString s;
    s.reserve(roomFor({image.size(), align.size()}));
    s += QLatin1String("<P align = '");
    appendHtmlText(s, align);
    s += QLatin1String("'><img border='0' src='");
    appendHtmlText(s, image);
    s += QLatin1String("'></P>");
    return s;
}

QString tableTag(int border, int padding, int spacing) {
    QString s;
    s.reserve(roomFor({}));
    s += QLatin1String("<TABLE align=center  border = ");
    appendNumber(s, border);
    s += QLatin1String(" cellspacing = ");
    appendNumber(s, spacing);
    s += QLatin1String(" cellpadding = ");
    appendNumber(s, padding);
    s += QLatin1Char('>');
    return s;
}

QString fontParagraph(int& size, const QString& color, const QString& text, const QString& align) {
    if (size < 1)
        size = 1;
    QString s;
    s.reserve(roomFor({align.size(), color.size(), text.size()}));
    s += QLatin1String("<P align = '");
    appendHtmlText(s, align);
    s += QLatin1String("'>");
    appendFontOpen(s, size, color);
    s += text;
    s += QLatin1String(" </FONT></P>");
    return s;
}

QString headingCell(int size, const QString& color, const QString& text, const QString& align, int colspan,
                    const QString& extra) {
    QString s;
    s.reserve(roomFor({extra.size(), align.size(), color.size(), text.size()}));
    s += QLatin1String("<TH ");
    s += extra;
    s += QLatin1String(" colspan=");
    appendNumber(s, colspan);
    s += QLatin1String(" align = '");
    appendHtmlText(s, align);
    s += QLatin1String("'>");
    appendFontOpen(s, size, color);
    s += text.isEmpty() ? kNoText : QStringView(text);
    s += QLatin1String(" </FONT></TH>");
    return s;
}

QString linkOn(const QString& href, const QString& text, const QString& color) {
    if (href.isEmpty())
        return text;
    QString s;
    s.reserve(roomFor({href.size(), text.size(), color.size()}));
    s += QLatin1String("<A HREF='");
    appendHtmlText(s, href);
    s += QLatin1Char('\'');
    // The colour is the link's own, so that its underline shows in it too.
    if (color != kNoColor && isCssColor(color)) {
        s += QLatin1String(" style='color: ");
        s += color;
        s += QLatin1Char('\'');
    }
    s += QLatin1Char('>');
    s += text;
    s += QLatin1String("</A>");
    return s;
}

QString dataCellStart(int size, const QString& color, const QString& align, const QString& colspan, qsizetype room) {
    QString s;
    s.reserve(roomFor({colspan.size(), align.size(), color.size(), room}));
    s += QLatin1String("<TD colspan=");
    s += colspan;
    s += QLatin1String("  align = '");
    appendHtmlText(s, align);
    s += QLatin1String("'>");
    appendFontOpen(s, size, color);
    return s;
}

QString dataCell(int size, const QString& color, const QString& text, const QString& align, const QString& colspan) {
    QString s = dataCellStart(size, color, align, colspan, text.size());
    s += text.isEmpty() ? kNoText : QStringView(text);
    s += kDataCellEnd;
    return s;
}

// ---- report files ----

int getReportFileHandle(const QString& code) {
    IDatabase db;
    if (!db.OpenResultSet(QStringLiteral(" SELECT file_handle FROM report WHERE report_id = ?"),
                          {code.left(2).toUpper()}) ||
        db.isEOF())
        return 0;
    db.MoveFirst();
    return db.fields.toInt(QStringLiteral("file_handle"));
}

QString reportFilePath(const QString& fileName) {
    return reportsDir() + QLatin1Char('/') + fileName;
}

QString reportFolderMessage(const QString& reason) {
    return QStringLiteral("Error creating report file - ") + reason + QStringLiteral("\n\n") +
           QDir::toNativeSeparators(reportsDir());
}

namespace {

// Makes the report folder when it is missing (one level); the system's description of the failure,
// or an empty text when the folder is there.
QString makeReportFolder(const QString& folder) {
    if (folder.trimmed().isEmpty())
        return QStringLiteral("Path not found");
    const QFileInfo info(folder);
    if (info.isDir())
        return QString();
    if (info.exists() || info.isSymLink())
        return qt_error_string(info.exists() ? ENOTDIR : ENOENT); // a file, or a link to nothing
    if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0)
        return qt_error_string(errno);
    return QString();
}

} // namespace

bool openReportFile(int fileNumber, const QString& fileName) {
    // A page left open by a run that never finished it is incomplete: it must not replace anything.
    abandonReportFile(fileNumber);
    const QString problem = makeReportFolder(reportsDir());
    if (!problem.isEmpty()) {
        showReportBox(reportFolderMessage(problem));
        return false;
    }
    if (fileName.isEmpty()) {
        showReportBox(QStringLiteral("Error creating report file - Bad file name or number"));
        return false;
    }
    auto file = std::make_unique<SaveFile>(reportFilePath(fileName));
    if (!file->open()) {
        showReportBox(reportFolderMessage(file->errorString()));
        return false;
    }
    ReportFile& open = reportFiles()[fileNumber];
    open.file = std::move(file);
    open.pending.resize(kHandOver + 4096);
    return true;
}

namespace {

// Puts the text into out as page bytes: ASCII as it is, every other character as a numeric character
// reference. out has room for ten bytes a character ("&#1114111;"). Gives the end of what was put.
char* putPageText(char* out, QStringView text) {
    const char16_t* c = text.utf16();
    const char16_t* const end = c + text.size();
    for (; c != end; ++c) {
        char32_t code = *c;
        if (code < 0x80) {
            *out++ = char(code);
            continue;
        }
        if (QChar::isHighSurrogate(code) && c + 1 != end && QChar::isLowSurrogate(c[1])) {
            code = QChar::surrogateToUcs4(char16_t(code), c[1]);
            ++c;
        } else if (QChar::isSurrogate(code)) {
            code = QChar::ReplacementCharacter; // half a pair is no character
        }
        char digits[8];
        int i = sizeof digits;
        do {
            digits[--i] = char('0' + code % 10);
            code /= 10;
        } while (code != 0);
        *out++ = '&';
        *out++ = '#';
        while (i < int(sizeof digits))
            *out++ = digits[i++];
        *out++ = ';';
    }
    return out;
}

ReportFile& fileOn(int fileNumber) {
    auto it = reportFiles().find(fileNumber);
    if (it == reportFiles().end())
        throw ReportFileError(QStringLiteral("Bad file name or number"));
    return it->second;
}

// Makes room for a line of at most the given bytes; gives where it goes.
char* roomForLine(ReportFile& open, qsizetype bytes) {
    if (open.used + bytes > open.pending.size())
        open.pending.resize(open.used + bytes);
    return open.pending.data() + open.used;
}

// Ends the line at out with CR LF; a page's lines go to the file in large pieces.
void endLine(ReportFile& open, char* out) {
    *out++ = '\r';
    *out++ = '\n';
    open.used = out - open.pending.constData();
    if (open.used >= kHandOver)
        handOver(open);
}

} // namespace

QByteArray reportPageBytes(QStringView text) {
    QByteArray bytes(text.size() * 10, Qt::Uninitialized);
    bytes.truncate(putPageText(bytes.data(), text) - bytes.constData());
    return bytes;
}

void writeReportLine(QByteArrayView before, QStringView text, QByteArrayView after, int fileNumber) {
    ReportFile& open = fileOn(fileNumber);
    char* out = roomForLine(open, before.size() + text.size() * 10 + after.size() + 2);
    out = std::copy(before.begin(), before.end(), out);
    out = putPageText(out, text);
    endLine(open, std::copy(after.begin(), after.end(), out));
}

void writeReportLine(std::initializer_list<QStringView> parts, int fileNumber) {
    ReportFile& open = fileOn(fileNumber);
    qsizetype characters = 0;
    for (QStringView part : parts)
        characters += part.size();
    char* out = roomForLine(open, characters * 10 + 2);
    for (QStringView part : parts)
        out = putPageText(out, part);
    endLine(open, out);
}

void writeReportLine(const QString& text, int fileNumber) {
    writeReportLine({QStringView(text)}, fileNumber);
}

void closeReportFile(int fileNumber) {
    auto it = reportFiles().find(fileNumber);
    if (it == reportFiles().end())
        return;
    ReportFile open = std::move(it->second);
    reportFiles().erase(it);
    handOver(open);
    QString error;
    // A page is not waited for on the disk: a run puts hundreds in place, each wait would cost more than
    // writing the page, and any run writes the pages anew. The replace is whole all the same: a reader
    // finds the earlier page or the finished one.
    if (!commitSaveFile(*open.file, &error, false))
        throw ReportFolderError(error, false);
    ++pagesPutInPlace;
}

void abandonReportFile(int fileNumber) {
    auto it = reportFiles().find(fileNumber);
    if (it == reportFiles().end())
        return;
    it->second.file->cancelWriting();
    reportFiles().erase(it); // the unfinished copy is removed, the page of that name is untouched
}

quint64 reportPagesWritten() {
    return pagesPutInPlace;
}

bool isReportFileOpen(int fileNumber) {
    return reportFiles().count(fileNumber) > 0;
}

void removeReportLeftovers(const QString& folder) {
    if (folder.trimmed().isEmpty())
        return;
    // The copy of a page takes the page's name and six letters or digits after a dot.
    static const QRegularExpression leftover(QStringLiteral("^[A-Za-z0-9_-]+\\.html\\.[A-Za-z0-9]{6}$"));
    QSet<QString> open;
    for (const auto& entry : reportFiles())
        open.insert(QFileInfo(entry.second.file->fileName()).absoluteFilePath());
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*.html.??????")}, QDir::Files | QDir::Hidden)) {
        if (!leftover.match(info.fileName()).hasMatch() || info.isSymLink())
            continue;
        // The copy of a page this run is writing is not a leftover.
        const QString page = info.absolutePath() + QLatin1Char('/') + info.completeBaseName();
        if (!open.contains(page))
            QFile::remove(info.absoluteFilePath());
    }
}

QString makeReportFileName(const QString& code, const QList<int>& numbers) {
    // Every number takes the width of the widest, at least four digits (a minus sign counts as one),
    // so the numbers of a name can be told apart however large they grow.
    qsizetype width = 4;
    for (int n : numbers)
        width = std::max(width, QString::number(n).size());
    QString name = code;
    for (int n : numbers)
        name += n < 0 ? QLatin1Char('-') + QString::number(-qint64(n)).rightJustified(width - 1, QLatin1Char('0'))
                      : QString::number(n).rightJustified(width, QLatin1Char('0'));
    return (name + QStringLiteral(".html")).toLower();
}

QString makeReportFileName(const QString& code, int firstNumber, int secondNumber) {
    return makeReportFileName(code, QList<int>{firstNumber, secondNumber});
}

void openReportInBrowser(const QString& fileName) {
    startDocument(reportFilePath(fileName), 1, QStringLiteral("HTML"));
}

namespace {

// The document opener's result codes whose message names no path.
struct OpenerFailure {
    int result;
    const char* message;
};
constexpr OpenerFailure kOpenerFailures[] = {
    {0, "The file could not be run due to insufficient system memory or a corrupt program file."},
    {5, "Sharing or protection error."},
    {6, "Separate data segments are required for each task."},
    {8, "Insufficient memory to run the program."},
    {10, "Incorrect Windows version."},
    {11, "Invalid Program File."},
    {12, "Program file requires a different operating System."},
    {13, "Program requires MS-DOS 4.0."},
    {14, "Unknown program file type."},
    {15, "Windows prgram does not support protected memory mode."},
    {16, "Invalid use of data segments when loading a second instance of a program."},
    {19, "Attempt to run a compressed program file."},
    {20, "Invalid dynamic link library."},
    {21, "Program requires Windows 32-bit extensions."},
    {26, "A sharing violation occurred."},
    {28, "DDE Time out."},
    {29, "DDE transaction failed."},
    {30, "DDE busy."},
    {32, "DLL not found."},
};

QString openerFailureText(int result, const QString& path, bool html) {
    const QString twoLines = QStringLiteral("\n\n");
    switch (result) {
    case 2:
        return path + twoLines + QStringLiteral("File Not Found.");
    case 3:
        return QStringLiteral("Invalid path was encountered as follows:") + twoLines + path;
    case 27:
        return QStringLiteral("Incomplete or invalid file association found for:") + twoLines + path;
    case 31:
        if (html)
            return QStringLiteral("No application association was found for this HTML file:") + twoLines + path +
                   twoLines +
                   QStringLiteral("It appears that you do not have a web browser installed on your computer which "
                                  "is necessary in order to display the report.");
        return QStringLiteral("No application association was found for this file:") + twoLines + path + twoLines +
               QStringLiteral("An application must be associated with this file type before it can be displayed.");
    default:
        break;
    }
    for (const OpenerFailure& failure : kOpenerFailures)
        if (failure.result == result)
            return QString::fromLatin1(failure.message);
    return QStringLiteral("Unknown error.");
}

} // namespace

QString startDocumentMessage(int result, const QString& path, const QString& documentType) {
    const bool html = documentType == QLatin1String("HTML");
    QString message = openerFailureText(result, path.trimmed(), html);
    if (html)
        message += QStringLiteral("\n\nNOTE: This maybe caused by having no browser installed.");
    return message;
}

void startDocument(const QString& path, int showCommand, const QString& documentType) {
    Q_UNUSED(showCommand); // the desktop decides how the document's window is shown
    int result = 33;
    if (!looksLikeAddress(path.trimmed())) {
        const QFileInfo info(path.trimmed());
        if (!info.dir().exists())
            result = 3;
        else if (!info.exists())
            result = 2;
    }
    if (result > 32 && !(documentOpener() && documentOpener()(path.trimmed())))
        result = 31;
    if (result > 32)
        return;
    showError(startDocumentMessage(result, path, documentType));
}

void setDocumentOpener(DocumentOpener opener) {
    documentOpener() = std::move(opener);
}
