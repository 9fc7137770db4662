#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <functional>
#include <initializer_list>
#include <stdexcept>

// The pieces every report page is made of, and the report files they are written to.
//
// Each builder returns one line of a page, exactly as the pages have always carried it. The
// builders insert cell and paragraph texts unchanged, since the generators put markup such as
// "<BR>" or "<B>" in them: a generator passes a value from the data through htmlText first.
// Attribute values (colours, image names) are escaped by the builders themselves, so a name typed
// with a quote cannot end the attribute early.

// A colour text of "0" means no colour: the builders leave the attribute out. The style block writes
// each link colour as a plain value (quoted values are ignored by browsers) and leaves out a rule
// whose colour is no colour name or "#" code.
QString styleTag(const QString& linkColor, const QString& visitedLinkColor, const QString& hoverLinkColor);
// A background colour other than "#" and six hex digits is left out like "0".
QString bodyTag(const QString& backColor, const QString& backgroundImage);
QString rowTag(const QString& backColor);
// Whether a row takes the odd-row style (counted from 0, so the second row is the first odd one).
inline bool isOdd(int n) {
    return (n & 1) != 0;
}
// Empty when there is no image.
QString imageParagraph(const QString& image, const QString& align);
// Note the order: border, padding, spacing in; border, cellspacing, cellpadding out.
QString tableTag(int border, int padding, int spacing);
// Raises a size below 1 to 1, in the caller's variable too.
QString fontParagraph(int& size, const QString& color, const QString& text, const QString& align);
QString headingCell(int size, const QString& color, const QString& text, const QString& align, int colspan,
                    const QString& extra);
// A link whose text shows in the given colour whatever the page's link colours are, for links that sit
// on the heading background. href is the plain address (it is escaped here), text is markup. No link,
// only the text, when there is no page to link to.
QString linkOn(const QString& href, const QString& text, const QString& color);
// colspan is inserted as given, so a caller may add further cell attributes after the number.
QString dataCell(int size, const QString& color, const QString& text, const QString& align, const QString& colspan);
// What a data cell's line holds before its text: dataCell's line is this, the text ("&nbsp;" for none)
// and kDataCellEnd. room is what the caller will add to the text.
QString dataCellStart(int size, const QString& color, const QString& align, const QString& colspan, qsizetype room = 0);
inline constexpr QStringView kDataCellEnd = u" </FONT></TD>";
inline constexpr QStringView kNoText = u"&nbsp;";

// A value from the data as page text: &, <, >, " and ' become character references; a tab or line
// break becomes a space and other control characters are left out.
QString htmlText(const QString& text);

// A stored e-mail address without the "mailto:" some addresses are stored with, for a page to put
// its own before it.
QString emailAddress(const QString& stored);

// ---- report files ----

// Writing to a file number on which no report file is open, or a write the disk refuses. It reaches
// the running report, which ends through its error path.
class ReportFileError : public std::runtime_error {
public:
    explicit ReportFileError(const QString& description) : std::runtime_error(description.toStdString()) {}
    QString description() const { return QString::fromStdString(what()); }
};

// The report folder refused a page: the folder could not be made, a file could not be created in it,
// or it would not take the lines or the finished page (a full disk). Every further page of the run
// would fail alike, so the run ends at the first one. shown is true when the box naming the folder
// has already been shown.
class ReportFolderError : public ReportFileError {
public:
    ReportFolderError(const QString& reason, bool shown) : ReportFileError(reason), m_shown(shown) {}
    bool shown() const { return m_shown; }

private:
    bool m_shown;
};

// The fixed file number of the report with the code (only its first two characters count, in either
// case); 0 when the catalogue has no such report.
int getReportFileHandle(const QString& code);
// Creates the report folder (one level) when missing and opens the file in it for writing. The lines
// go to a copy beside the file; the copy replaces an earlier file of that name only at closeReportFile.
// A failure shows reportFolderMessage and returns false.
bool openReportFile(int fileNumber, const QString& fileName);
// Writes the text and CR LF. Characters outside ASCII go out as numeric character references, so the
// page reads the same whatever encoding the browser assumes. Throws ReportFileError when nothing is
// open on the number, ReportFolderError when the disk refuses the lines.
void writeReportLine(const QString& text, int fileNumber);
// The same for a line given in parts, written one after the other.
void writeReportLine(std::initializer_list<QStringView> parts, int fileNumber);
// A text as the page carries it (see writeReportLine), for a part that many lines of a page begin or
// end with.
QByteArray reportPageBytes(QStringView text);
// A line of a text between two parts that reportPageBytes has made.
void writeReportLine(QByteArrayView before, QStringView text, QByteArrayView after, int fileNumber);
// Puts the finished page in place. Closing a number on which nothing is open does nothing; a page that
// cannot be put in place throws ReportFolderError.
void closeReportFile(int fileNumber);
// Drops what was written on the number: an earlier page of that name stays as it was.
void abandonReportFile(int fileNumber);
bool isReportFileOpen(int fileNumber);
// How many pages have taken their place in the report folder since the program started; a caller
// compares two readings.
quint64 reportPagesWritten();
// The lower-case code, each number zero-padded to four digits, ".html": "RD", 1, 3 -> rd00010003.html.
// A number of more digits widens every number of the name alike (rd1000100003.html), so two names
// never meet; a negative number keeps its sign (-1 -> "-001").
QString makeReportFileName(const QString& code, int firstNumber, int secondNumber = 0);
QString makeReportFileName(const QString& code, const QList<int>& numbers);
// "Error creating report file - " + the reason, and the report folder on a line of its own.
QString reportFolderMessage(const QString& reason);
// Removes what killed runs left in the folder: the copies a page is written to before it takes its
// name (page.html.XXXXXX), which a run that never finished leaves behind on file systems without
// unnamed files. Pages and any other file are kept.
void removeReportLeftovers(const QString& folder);
// The full path of a file in the report folder.
QString reportFilePath(const QString& fileName);
// Opens a page of the report folder in the browser.
void openReportInBrowser(const QString& fileName);

// Opens a document or web address in the program associated with it. documentType "HTML" words the
// failure messages for a missing browser. A failure is shown with showError.
void startDocument(const QString& path, int showCommand, const QString& documentType);
// The failure message for a result code of the document opener (32 and below are failures).
QString startDocumentMessage(int result, const QString& path, const QString& documentType);

// How documents are opened: the program installs one that hands them to the desktop; true when the
// desktop accepted the document. Without one, no document can be opened.
using DocumentOpener = std::function<bool(const QString& path)>;
void setDocumentOpener(DocumentOpener opener);
