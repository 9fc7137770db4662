#include "reports/framework/CommonReportCode.h"

#include "data/CommonCode.h"
#include "data/IDatabase.h"
#include "data/Paths.h"
#include "platform/SaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QUrl>
#include <cerrno>
#include <map>
#include <memory>
#include <sys/stat.h>

namespace {

const QString kNoColor = QStringLiteral("0");

// An attribute value between single quotes.
QString attr(const QString& value) {
    return htmlText(value);
}

QString fontOpen(int size, const QString& color) {
    QString s = QStringLiteral("<FONT size = '") + QString::number(size) + QLatin1Char('\'');
    if (color != kNoColor)
        s += QStringLiteral(" color = '") + attr(color) + QStringLiteral("'>");
    else
        s += QLatin1Char('>');
    return s;
}

// A page is written beside its final name and takes that name only when complete, so a run that
// fails part way leaves the previous page as it was.
std::map<int, std::unique_ptr<QSaveFile>>& reportFiles() {
    static std::map<int, std::unique_ptr<QSaveFile>> files;
    return files;
}

DocumentOpener& documentOpener() {
    static DocumentOpener opener;
    return opener;
}

// A colour as a style rule can take it: a colour name or "#" and hex digits. Anything else would end
// the rule or the style block, so its rule is left out.
bool isCssColor(const QString& color) {
    static const QRegularExpression valid(QStringLiteral("^#?[0-9A-Za-z]+$"));
    return valid.match(color).hasMatch();
}

// A colour as the bgcolor attributes take it: "#" and six hex digits. Browsers make some colour of
// almost any other text, and a stray quote or markup has no place in the tag, so it is left out.
bool isHexColor(const QString& color) {
    static const QRegularExpression valid(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    return valid.match(color).hasMatch();
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
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        case '"':
            out += QStringLiteral("&quot;");
            break;
        case '\'':
            out += QStringLiteral("&#39;");
            break;
        case '\t':
        case '\n':
        case '\r':
        case '\f':
        case '\v':
            out += QLatin1Char(' ');
            break;
        default:
            // Other control characters (a bell or an escape brought in by an import) are no text.
            if (c.category() != QChar::Other_Control)
                out += c;
        }
    }
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
    QString s = QStringLiteral("<BODY");
    if (isHexColor(backColor))
        s += QStringLiteral(" bgcolor = '") + attr(backColor) + QLatin1Char('\'');
    if (!backgroundImage.isEmpty())
        s += QStringLiteral(" background='") + attr(backgroundImage) + QLatin1Char('\'');
    return s + QLatin1Char('>');
}

QString rowTag(const QString& backColor) {
    if (!isHexColor(backColor))
        return QStringLiteral("<TR>");
    return QStringLiteral("<TR bgcolor = '") + attr(backColor) + QStringLiteral("'>");
}

QString imageParagraph(const QString& image, const QString& align) {
    if (image.isEmpty())
        return QString();
    return QStringLiteral("<P align = '") + attr(align) + QStringLiteral("'>") +
           QStringLiteral("<img border='0' src='") + attr(image) + QStringLiteral("'>") + QStringLiteral("</P>");
}

QString tableTag(int border, int padding, int spacing) {
    return QStringLiteral("<TABLE align=center  border = %1 cellspacing = %2 cellpadding = %3>")
        .arg(border)
        .arg(spacing)
        .arg(padding);
}

QString fontParagraph(int& size, const QString& color, const QString& text, const QString& align) {
    if (size < 1)
        size = 1;
    return QStringLiteral("<P align = '") + attr(align) + QStringLiteral("'>") + fontOpen(size, color) + text +
           QStringLiteral(" </FONT></P>");
}

QString headingCell(int size, const QString& color, const QString& text, const QString& align, int colspan,
                    const QString& extra) {
    return QStringLiteral("<TH ") + extra + QStringLiteral(" colspan=") + QString::number(colspan) +
           QStringLiteral(" align = '") + attr(align) + QStringLiteral("'>") + fontOpen(size, color) +
           (text.isEmpty() ? QStringLiteral("&nbsp;") : text) + QStringLiteral(" </FONT></TH>");
}

QString linkOn(const QString& href, const QString& text, const QString& color) {
    if (href.isEmpty())
        return text;
    // The colour is the link's own, so that its underline shows in it too.
    const QString style = color == kNoColor || !isCssColor(color)
                              ? QString()
                              : QStringLiteral(" style='color: ") + color + QStringLiteral("'");
    return QStringLiteral("<A HREF='") + attr(href) + QLatin1Char('\'') + style + QLatin1Char('>') + text +
           QStringLiteral("</A>");
}

QString dataCell(int size, const QString& color, const QString& text, const QString& align, const QString& colspan) {
    return QStringLiteral("<TD colspan=") + colspan + QStringLiteral("  align = '") + attr(align) +
           QStringLiteral("'>") + fontOpen(size, color) + (text.isEmpty() ? QStringLiteral("&nbsp;") : text) +
           QStringLiteral(" </FONT></TD>");
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
    auto file = std::make_unique<QSaveFile>(reportFilePath(fileName));
    if (!file->open(QIODevice::WriteOnly)) {
        showReportBox(reportFolderMessage(file->errorString()));
        return false;
    }
    reportFiles()[fileNumber] = std::move(file);
    return true;
}

void writeReportLine(const QString& text, int fileNumber) {
    auto it = reportFiles().find(fileNumber);
    if (it == reportFiles().end())
        throw ReportFileError(QStringLiteral("Bad file name or number"));
    QByteArray bytes;
    bytes.reserve(text.size() + 2);
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x80)
            bytes += char(c);
        else
            bytes += "&#" + QByteArray::number(uint(c)) + ';';
    }
    bytes += "\r\n";
    if (it->second->write(bytes) != bytes.size())
        throw ReportFolderError(it->second->errorString(), false);
}

void closeReportFile(int fileNumber) {
    auto it = reportFiles().find(fileNumber);
    if (it == reportFiles().end())
        return;
    const std::unique_ptr<QSaveFile> file = std::move(it->second);
    reportFiles().erase(it);
    QString error;
    if (!commitSaveFile(*file, &error))
        throw ReportFolderError(error, false);
}

void abandonReportFile(int fileNumber) {
    auto it = reportFiles().find(fileNumber);
    if (it == reportFiles().end())
        return;
    it->second->cancelWriting();
    reportFiles().erase(it); // the unfinished copy is removed, the page of that name is untouched
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
        open.insert(QFileInfo(entry.second->fileName()).absoluteFilePath());
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

QString startDocumentMessage(int result, const QString& path, const QString& documentType) {
    const QString p = path.trimmed();
    const QString lf = QStringLiteral("\n");
    QString m;
    switch (result) {
    case 0:
        m = QStringLiteral("The file could not be run due to insufficient system memory or a corrupt program file.");
        break;
    case 2:
        m = p + lf + lf + QStringLiteral("File Not Found.");
        break;
    case 3:
        m = QStringLiteral("Invalid path was encountered as follows:") + lf + lf + p;
        break;
    case 5:
        m = QStringLiteral("Sharing or protection error.");
        break;
    case 6:
        m = QStringLiteral("Separate data segments are required for each task.");
        break;
    case 8:
        m = QStringLiteral("Insufficient memory to run the program.");
        break;
    case 10:
        m = QStringLiteral("Incorrect Windows version.");
        break;
    case 11:
        m = QStringLiteral("Invalid Program File.");
        break;
    case 12:
        m = QStringLiteral("Program file requires a different operating System.");
        break;
    case 13:
        m = QStringLiteral("Program requires MS-DOS 4.0.");
        break;
    case 14:
        m = QStringLiteral("Unknown program file type.");
        break;
    case 15:
        m = QStringLiteral("Windows prgram does not support protected memory mode.");
        break;
    case 16:
        m = QStringLiteral("Invalid use of data segments when loading a second instance of a program.");
        break;
    case 19:
        m = QStringLiteral("Attempt to run a compressed program file.");
        break;
    case 20:
        m = QStringLiteral("Invalid dynamic link library.");
        break;
    case 21:
        m = QStringLiteral("Program requires Windows 32-bit extensions.");
        break;
    case 26:
        m = QStringLiteral("A sharing violation occurred.");
        break;
    case 27:
        m = QStringLiteral("Incomplete or invalid file association found for:") + lf + lf + p;
        break;
    case 28:
        m = QStringLiteral("DDE Time out.");
        break;
    case 29:
        m = QStringLiteral("DDE transaction failed.");
        break;
    case 30:
        m = QStringLiteral("DDE busy.");
        break;
    case 31:
        if (documentType == QLatin1String("HTML"))
            m = QStringLiteral("No application association was found for this HTML file:") + lf + lf + p + lf + lf +
                QStringLiteral("It appears that you do not have a web browser installed on your computer which is "
                               "necessary in order to display the report.");
        else
            m = QStringLiteral("No application association was found for this file:") + lf + lf + p + lf + lf +
                QStringLiteral("An application must be associated with this file type before it can be displayed.");
        break;
    case 32:
        m = QStringLiteral("DLL not found.");
        break;
    default:
        m = QStringLiteral("Unknown error.");
        break;
    }
    if (documentType == QLatin1String("HTML"))
        m += lf + lf + QStringLiteral("NOTE: This maybe caused by having no browser installed.");
    return m;
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
