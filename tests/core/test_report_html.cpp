#include "SmallDisk.h"
#include "TestDataFile.h"
#include "data/Feedback.h"
#include "data/Paths.h"
#include "data/TextFiles.h"
#include "platform/Profile.h"
#include "platform/SaveFile.h"
#include "reports/framework/CommonReportCode.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(ReportHtml, FragmentsAsThePagesCarryThem) {
    EXPECT_EQ(rowTag("0"), "<TR>");
    EXPECT_EQ(rowTag("#000080"), "<TR bgcolor = '#000080'>");
    // A background colour is "#" and six hex digits or it is left out: browsers make a colour of any text.
    for (const char* odd : {"", "red", "#FFF", "#00008G", "#0000800", "'#000080'", "#000080' onclick='x"})
        EXPECT_EQ(rowTag(odd), "<TR>") << odd;
    EXPECT_EQ(bodyTag("#d3d3d3", ""), "<BODY bgcolor = '#d3d3d3'>");
    EXPECT_EQ(bodyTag("navy", ""), "<BODY>");
    EXPECT_EQ(styleTag("0", "0", "0"), "<STYLE></STYLE>");
    // Colour values unquoted, as browsers ignore quoted ones; a colour that would break the block is left out.
    EXPECT_EQ(styleTag("blue", "0", "red"), "<STYLE>A {color: blue}A:hover {color: red}</STYLE>");
    EXPECT_EQ(styleTag("#0000FF", "#800080", "#FF0000"),
              "<STYLE>A {color: #0000FF}A:visited {color: #800080}A:hover {color: #FF0000}</STYLE>");
    EXPECT_EQ(styleTag("", "red}</STYLE><script>", "'#FF0000'"), "<STYLE></STYLE>");
    EXPECT_EQ(bodyTag("0", ""), "<BODY>");
    EXPECT_EQ(bodyTag("", "bg.gif"), "<BODY background='bg.gif'>");
    EXPECT_EQ(imageParagraph("", "center"), "");
    EXPECT_EQ(imageParagraph("logo.gif", "center"), "<P align = 'center'><img border='0' src='logo.gif'></P>");
    EXPECT_EQ(tableTag(0, 2, 3), "<TABLE align=center  border = 0 cellspacing = 3 cellpadding = 2>");
    EXPECT_EQ(headingCell(0, "0", "", "center", 1, ""),
              "<TH  colspan=1 align = 'center'><FONT size = '0'>&nbsp; </FONT></TH>");
    EXPECT_EQ(headingCell(2, "#FFFFFF", "<BR>Car#", "left", 4, "nowrap"),
              "<TH nowrap colspan=4 align = 'left'><FONT size = '2' color = '#FFFFFF'><BR>Car# </FONT></TH>");
    EXPECT_EQ(dataCell(0, "", "", "right", "1"),
              "<TD colspan=1  align = 'right'><FONT size = '0' color = ''>&nbsp; </FONT></TD>");
    // A text of blanks is not empty, and markup in a cell text is kept.
    EXPECT_EQ(dataCell(3, "0", " ", "left", "2 nowrap"),
              "<TD colspan=2 nowrap  align = 'left'><FONT size = '3'>  </FONT></TD>");
    EXPECT_EQ(dataCell(3, "0", "<B>12</B>", "right", "1"),
              "<TD colspan=1  align = 'right'><FONT size = '3'><B>12</B> </FONT></TD>");
    // A link on the heading background shows in the heading colour; no page, no link.
    EXPECT_EQ(linkOn("rd00010002.html", "3/8/2024 ", "#FFFFFF"),
              "<A HREF='rd00010002.html' style='color: #FFFFFF'>3/8/2024 </A>");
    EXPECT_EQ(linkOn("x.html", "x", "#FFF' onclick='y"), "<A HREF='x.html'>x</A>");
    EXPECT_EQ(linkOn("mailto:a'b@x", "a&#39;b@x", "0"), "<A HREF='mailto:a&#39;b@x'>a&#39;b@x</A>");
    EXPECT_EQ(linkOn("", "3/15/2024 ", "#FFFFFF"), "3/15/2024 ");
}

TEST(ReportHtml, FontParagraphRaisesSmallSizesInTheCallersVariable) {
    for (int start : {0, -3}) {
        int size = start;
        EXPECT_EQ(fontParagraph(size, "0", "Title", "center"),
                  "<P align = 'center'><FONT size = '1'>Title </FONT></P>");
        EXPECT_EQ(size, 1);
    }
    int size = 7;
    EXPECT_EQ(fontParagraph(size, "red", "", "Center"),
              "<P align = 'Center'><FONT size = '7' color = 'red'> </FONT></P>");
    EXPECT_EQ(size, 7);
}

TEST(ReportHtml, TextFromDataAndTypedNamesCannotBreakTheMarkup) {
    EXPECT_EQ(htmlText("Smith & <Sons> \"Racing\" O'Neil"), "Smith &amp; &lt;Sons&gt; &quot;Racing&quot; O&#39;Neil");
    EXPECT_EQ(htmlText("Plain 24"), "Plain 24");
    // Control characters an import may bring in are not written: line breaks and tabs become
    // blanks, a bell, an escape or a C1 control is left out.
    EXPECT_EQ(htmlText(QString::fromUtf8("Bob\r\nSmith\tJr\a \x1b[31mRed\x7f\u0085")), "Bob  Smith Jr [31mRed");
    EXPECT_EQ(htmlText(QString::fromUtf8("Jos\u00e9")), QString::fromUtf8("Jos\u00e9"));
    // An address stored with its scheme gets it once.
    EXPECT_EQ(emailAddress("mailto:x@y"), "x@y");
    EXPECT_EQ(emailAddress(" MailTo: x@y "), "x@y");
    EXPECT_EQ(emailAddress("x@y"), "x@y");
    EXPECT_EQ(emailAddress(""), "");
    // An image name typed with a quote stays inside its attribute.
    EXPECT_EQ(imageParagraph("O'Brien's.gif", "center"),
              "<P align = 'center'><img border='0' src='O&#39;Brien&#39;s.gif'></P>");
    EXPECT_EQ(bodyTag("0", "a'><script>x</script>"), "<BODY background='a&#39;&gt;&lt;script&gt;x&lt;/script&gt;'>");
}

TEST(ReportFiles, FileNames) {
    RecordingUi ui;
    EXPECT_EQ(makeReportFileName("RD", 1, 3), "rd00010003.html");
    EXPECT_EQ(makeReportFileName("TC", 12), "tc00120000.html");
    EXPECT_EQ(makeReportFileName("RD", 0), "rd00000000.html");
    EXPECT_EQ(makeReportFileName("LS", 9999, 9999), "ls99999999.html");
    EXPECT_EQ(makeReportFileName("TC", {501, 502, 3}), "tc050105020003.html");
    // Larger numbers widen every number of the name alike, so that no two names meet.
    EXPECT_EQ(makeReportFileName("rd", 10001, 1), "rd1000100001.html");
    EXPECT_NE(makeReportFileName("rd", 10001, 1), makeReportFileName("rd", 1, 1));
    EXPECT_NE(makeReportFileName("rd", 10001, 1), makeReportFileName("rd", 1000, 10001));
    EXPECT_EQ(makeReportFileName("RR", 22767), "rr2276700000.html");
    EXPECT_EQ(makeReportFileName("RD", 40000, 1), "rd4000000001.html");
    EXPECT_EQ(makeReportFileName("RD", 2147483647, 0), "rd21474836470000000000.html");
    // The package's "every team" number keeps its sign.
    EXPECT_EQ(makeReportFileName("TD", 1, -1), "td0001-001.html");
    EXPECT_NE(makeReportFileName("TD", 1, -1), makeReportFileName("TD", 1, 1));
    EXPECT_TRUE(ui.boxes.isEmpty());
}

TEST(ReportFiles, FileNumbersComeFromTheCatalogue) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const int rd = TestDataFile::scalar("SELECT file_handle FROM report WHERE report_id = 'RD'").toInt();
    EXPECT_GT(rd, 0);
    EXPECT_EQ(getReportFileHandle("rd"), rd);
    EXPECT_EQ(getReportFileHandle("RDX"), rd);
    EXPECT_EQ(getReportFileHandle("ZZ"), 0);
    EXPECT_EQ(getReportFileHandle("'"), 0);
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(ReportFiles, WritesCrLfLinesIntoANewReportFolder) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    QDir(reportsDir()).removeRecursively();
    ASSERT_TRUE(openReportFile(101, "rd00010003.html"));
    ASSERT_TRUE(openReportFile(102, "tr00010003.html")); // a nested page, open at the same time
    writeReportLine("<html>", 101);
    writeReportLine("Café Zoë 5€", 102);
    closeReportFile(102);
    writeReportLine("</html>", 101);
    closeReportFile(101);
    closeReportFile(101); // not open: nothing happens
    EXPECT_THROW(writeReportLine("late", 101), ReportFileError);

    QFile page(reportFilePath("rd00010003.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_EQ(page.readAll(), QByteArray("<html>\r\n</html>\r\n"));
    QFile nested(QDir(reportsDir()).filePath("tr00010003.html"));
    ASSERT_TRUE(nested.open(QIODevice::ReadOnly));
    EXPECT_EQ(nested.readAll(), QByteArray("Caf&#233; Zo&#235; 5&#8364;\r\n"));

    // A second run replaces the page.
    ASSERT_TRUE(openReportFile(101, "rd00010003.html"));
    writeReportLine("again", 101);
    closeReportFile(101);
    page.close();
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_EQ(page.readAll(), QByteArray("again\r\n"));
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(ReportFiles, PagesOfAnyLengthArePutInPlaceOnceWithoutWaitingForTheDisk) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const quint64 pages = reportPagesWritten(), syncs = savedFileSyncs();
    // Characters beyond the first 65,536 are one reference each; half of such a pair is no character.
    QString text = QString::fromUtf8("Flag \U0001F3C1 at ");
    text += QChar(0xD83C);
    text += QLatin1String(" end ");
    text += QChar(0xDC00);
    const QString longLine(200000, QLatin1Char('x')); // longer than any buffer of the file
    ASSERT_TRUE(openReportFile(101, "rd00010003.html"));
    writeReportLine(text, 101);
    writeReportLine({u"<TD>", QStringView(longLine).left(5), u"&nbsp;", u"Zo\u00eb"}, 101);
    writeReportLine(longLine, 101);
    closeReportFile(101);
    // A page dropped unfinished is not put in place.
    ASSERT_TRUE(openReportFile(101, "rd00010004.html"));
    writeReportLine("half", 101);
    abandonReportFile(101);

    QFile page(reportFilePath("rd00010003.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_EQ(page.readAll(),
              "Flag &#127937; at &#65533; end &#65533;\r\n<TD>xxxxx&nbsp;Zo&#235;\r\n" + longLine.toLatin1() + "\r\n");
    EXPECT_FALSE(QFile::exists(reportFilePath("rd00010004.html")));
    EXPECT_EQ(reportPagesWritten() - pages, 1u);
    EXPECT_EQ(savedFileSyncs() - syncs, 0u);
    EXPECT_EQ(QDir(reportsDir()).entryList(QDir::Files | QDir::Hidden), QStringList{"rd00010003.html"});
}

TEST(ReportFiles, TheCheckedSaveReplacesAFileWholeAndWaitsForTheDiskOnce) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const QDir folder(data.folder());
    const QString path = folder.filePath("QV.INI");
    const auto bytesOf = [](const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    QString error;
    quint64 syncs = savedFileSyncs();
    ASSERT_TRUE(saveWholeFile(path, "[Quorvanti]\n", &error)) << qPrintable(error);
    EXPECT_EQ(bytesOf(path), "[Quorvanti]\n");
    EXPECT_EQ(savedFileSyncs() - syncs, 1u);

    // A replacement keeps the file's permissions and writes through a link to the file.
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QString link = folder.filePath("link.ini");
    ASSERT_TRUE(QFile::link(path, link));
    syncs = savedFileSyncs();
    const QByteArray big(300000, 'b'); // more than the write buffer holds
    ASSERT_TRUE(saveWholeFile(link, big, &error)) << qPrintable(error);
    EXPECT_EQ(bytesOf(path), big);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    const QFile::Permissions ownerGroupOther(0x7077);
    EXPECT_EQ(QFile::permissions(path) & ownerGroupOther, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    EXPECT_EQ(savedFileSyncs() - syncs, 1u);

    // Written in pieces and dropped, or never finished: the file stays as it was.
    {
        SaveFile file(path);
        ASSERT_TRUE(file.open());
        EXPECT_EQ(file.write("new", 3), 3);
        file.cancelWriting();
        EXPECT_FALSE(commitSaveFile(file, &error));
        EXPECT_FALSE(error.isEmpty());
        SaveFile unfinished(path);
        ASSERT_TRUE(unfinished.open());
        unfinished.write(QByteArray(100000, 'u'));
    }
    EXPECT_EQ(bytesOf(path), big);

    // A name taken by a folder cannot be written: nothing is made beside it.
    const QString taken = folder.filePath("Taken");
    ASSERT_TRUE(QDir().mkpath(taken));
    QFileDevice::FileError kind = QFileDevice::NoError;
    syncs = savedFileSyncs();
    EXPECT_FALSE(saveWholeFile(taken, "x", &error, &kind));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(kind, QFileDevice::OpenError);
    EXPECT_EQ(savedFileSyncs(), syncs);
    // No copy is left beside any of the files.
    EXPECT_TRUE(folder.entryList({"QV.INI.*", "link.ini.*", "Taken.*"}, QDir::AllEntries | QDir::Hidden).isEmpty());
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(ReportFiles, AFolderThatCannotBeMadeIsReportedAndNothingIsOpen) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    setMousePointer(PointerHourglass);
    setReportsDir(QDir(data.folder()).filePath("missing/Reports")); // only one level is created
    EXPECT_FALSE(openReportFile(103, "ls00010003.html"));
    EXPECT_FALSE(isReportFileOpen(103));
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("Error creating report file - "));
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
    EXPECT_EQ(data.ui().pointerDuringBoxes[0], PointerDefault);
    EXPECT_EQ(mousePointer(), PointerHourglass);
    setMousePointer(PointerDefault);
    EXPECT_THROW(writeReportLine("x", 103), ReportFileError);

    setReportsDir(QDir(data.folder()).filePath("Mine"));
    EXPECT_TRUE(openReportFile(103, "ls00010003.html"));
    closeReportFile(103);
    EXPECT_TRUE(QFile::exists(QDir(data.folder()).filePath("Mine/ls00010003.html")));
}

TEST(ReportFiles, AFolderThatCannotTakePagesIsNamedWithTheReason) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    auto expectOneBox = [&](const QString& folder, const QString& reason) {
        ASSERT_EQ(data.ui().boxes.size(), 1) << qPrintable(folder);
        EXPECT_EQ(data.ui().boxes[0].text,
                  "Error creating report file - " + reason + "\n\n" + QDir::toNativeSeparators(folder));
        EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti");
        EXPECT_EQ(data.ui().boxes[0].icon, MsgIcon::Critical);
        data.ui().clear();
    };

    // A path that is a file is no folder, and is said to be none.
    const QString file = QDir(data.folder()).filePath("Reports.txt");
    QFile taken(file);
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    setReportsDir(file);
    EXPECT_FALSE(openReportFile(104, "rd00010003.html"));
    EXPECT_FALSE(isReportFileOpen(104));
    expectOneBox(file, "Not a directory");
    EXPECT_EQ(QFileInfo(file).size(), 0);

    const QString missing = QDir(data.folder()).filePath("missing/Reports");
    setReportsDir(missing);
    EXPECT_FALSE(openReportFile(104, "rd00010003.html"));
    expectOneBox(missing, "No such file or directory");

    // The folder is there, but the page's name is taken by a folder.
    const QString mine = QDir(data.folder()).filePath("Mine");
    ASSERT_TRUE(QDir().mkpath(mine + "/rd00010003.html"));
    setReportsDir(mine);
    EXPECT_FALSE(openReportFile(104, "rd00010003.html"));
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_TRUE(data.ui().boxes[0].text.startsWith("Error creating report file - "));
    EXPECT_TRUE(data.ui().boxes[0].text.endsWith("\n\n" + QDir::toNativeSeparators(mine)));
    data.ui().clear();

    // A folder without write permission (an administrator writes there all the same).
    const QString readOnly = QDir(data.folder()).filePath("ReadOnly");
    ASSERT_TRUE(QDir().mkpath(readOnly));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    QFile probe(readOnly + "/probe");
    const bool writable = probe.open(QIODevice::WriteOnly);
    probe.remove();
    setReportsDir(readOnly);
    if (!writable) {
        EXPECT_FALSE(openReportFile(104, "rd00010003.html"));
        expectOneBox(readOnly, "Permission denied");
        EXPECT_TRUE(QDir(readOnly).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(ReportFiles, LeftoversOfKilledRunsAreRemovedAndNothingElse) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    const QDir folder(reportsDir());
    ASSERT_TRUE(folder.mkpath("."));
    const QStringList leftovers = {"rd00010003.html.AbCdEf", "blank.html.qWeRtY", "5nav.html.a1B2c3",
                                   "td0001-001.html.zzzzzz"};
    const QStringList kept = {"rd00010003.html", "notes.html.bak",         "td00010003.html.AbCdEfG",
                              "readme.txt",      "rd00010003.html.AbC-Ef", "rd00010004.html.Open01"};
    for (const QString& name : leftovers + kept) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    // A page being written keeps its copy, whatever its name.
    ASSERT_TRUE(openReportFile(105, "rd00010004.html"));
    removeReportLeftovers(reportsDir());
    abandonReportFile(105);
    QStringList expected = kept;
    expected.sort();
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    // No folder, nothing to do.
    removeReportLeftovers(QDir(data.folder()).filePath("none"));
    removeReportLeftovers("");
    EXPECT_TRUE(data.ui().boxes.isEmpty());
}

TEST(ReportFiles, AFullDiskLeavesEveryFileAsItWasAndSaysSo) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    SmallDisk disk(64);
    if (!disk.ok())
        GTEST_SKIP() << qPrintable(disk.why());
    const auto bytesOf = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    const auto put = [](const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    setReportsDir(disk.path());
    const QString ini = QDir(disk.path()).filePath("QV.INI");
    put(reportFilePath("rd00010003.html"), "<html>the page before</html>\r\n");
    put(ini, "[Other Program]\nkey=kept\n[Quorvanti]\nFirst Time=N\n");
    disk.fill();

    // A page small enough to wait in the write buffer until the end: only the last flush finds no room.
    ASSERT_TRUE(openReportFile(101, "rd00010003.html"));
    for (int i = 0; i < 40; ++i)
        writeReportLine(QStringLiteral("<tr><td>row %1</td></tr>").arg(i), 101);
    EXPECT_THROW(closeReportFile(101), ReportFileError);
    EXPECT_EQ(bytesOf(reportFilePath("rd00010003.html")), "<html>the page before</html>\r\n");

    QString error;
    int number = 0;
    EXPECT_FALSE(writeProfileString(ini, "Quorvanti", "MDI State", "0", &error, &number));
    EXPECT_EQ(number, 61);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(bytesOf(ini), "[Other Program]\nkey=kept\n[Quorvanti]\nFirst Time=N\n");

    EXPECT_FALSE(saveWholeFile(QDir(disk.path()).filePath("big.bin"), QByteArray(100000, 'b'), &error));
    EXPECT_FALSE(saveWholeFile(QDir(disk.path()).filePath("small.bin"), "s", &error));
    // Nothing is left behind beside the files.
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{".filler", ".filler2", "QV.INI", "rd00010003.html"}));
    EXPECT_TRUE(data.ui().boxes.isEmpty());

    // With room again the same writes succeed.
    QFile::remove(QDir(disk.path()).filePath(".filler"));
    EXPECT_TRUE(writeProfileString(ini, "Quorvanti", "MDI State", "0", &error, &number)) << qPrintable(error);
    EXPECT_TRUE(saveWholeFile(QDir(disk.path()).filePath("small.bin"), "s", &error)) << qPrintable(error);
    EXPECT_EQ(bytesOf(QDir(disk.path()).filePath("small.bin")), "s");
    setReportsDir(QDir(data.folder()).filePath("Reports"));
}

TEST(ReportFiles, OpeningDocuments) {
    TestDataFile data;
    ASSERT_TRUE(data.ok());
    QStringList opened;
    bool accept = true;
    setDocumentOpener([&](const QString& path) {
        opened << path;
        return accept;
    });
    ASSERT_TRUE(openReportFile(101, "rr00120000.html"));
    closeReportFile(101);
    openReportInBrowser("rr00120000.html");
    EXPECT_EQ(opened, QStringList{reportFilePath("rr00120000.html")});
    EXPECT_TRUE(data.ui().boxes.isEmpty());

    // A page that is not there is never handed on.
    openReportInBrowser("rr00130000.html");
    EXPECT_EQ(opened.size(), 1);
    ASSERT_EQ(data.ui().boxes.size(), 1);
    EXPECT_EQ(data.ui().boxes[0].text,
              reportFilePath("rr00130000.html") +
                  "\n\nFile Not Found.\n\nNOTE: This maybe caused by having no browser installed.");
    EXPECT_EQ(data.ui().boxes[0].title, "Quorvanti Error");

    // No program for the page.
    accept = false;
    openReportInBrowser("rr00120000.html");
    EXPECT_TRUE(data.ui().lastBoxText().startsWith("No application association was found for this HTML file:"));
    EXPECT_TRUE(data.ui().lastBoxText().endsWith("NOTE: This maybe caused by having no browser installed."));
    // Addresses go straight to the desktop; other document types get no browser note.
    startDocument("  http://example.invalid/x  ", 1, "SYSINFO");
    EXPECT_EQ(opened.last(), "http://example.invalid/x");
    EXPECT_EQ(data.ui().lastBoxText(),
              "No application association was found for this file:\n\nhttp://example.invalid/x\n\n"
              "An application must be associated with this file type before it can be displayed.");
    EXPECT_EQ(startDocumentMessage(-4, "x", "SYSINFO"), "Unknown error.");
    setDocumentOpener({});
}
