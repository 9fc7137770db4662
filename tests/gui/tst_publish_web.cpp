#include "../core/LocalFtpServer.h"
#include "DataFileTest.h"
#include "ModalHelpers.h"
#include "data/Feedback.h"
#include "data/Paths.h"
#include "exchange/frmPublishWeb.h"
#include "reports/framework/frmBrowser.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

class tst_PublishWeb : public DataFileTest {
    Q_OBJECT

    // Writes the pages into a report folder of the data file's and returns the folder.
    QString writePages(const QStringList& names, const QByteArray& content) {
        const QString pages = QDir(m_data->folder()).filePath("pages");
        QDir().mkpath(pages);
        for (const QString& name : names) {
            QFile f(QDir(pages).filePath(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
                return QString();
        }
        return pages;
    }

    // Shows the window, active, with the server's location, its test account and the report folder.
    static bool showFor(frmPublishWeb& w, const LocalFtpServer& server, const QString& pages) {
        w.txtWeb->setText(server.address());
        w.txtUserName->setText("tester");
        w.txtPassWord->setText("s3cret");
        w.txtReportFolder->setText(pages);
        w.show();
        QApplication::setActiveWindow(&w);
        return QTest::qWaitForWindowActive(&w, kWindowWait);
    }

private slots:
    void opensWithTheStoredSettingsAndHidesThePassword() {
        TestDataFile::exec("UPDATE publish SET location = 'web.example/q', username = 'me', password = 'pw'");
        frmPublishWeb w;
        QCOMPARE(w.windowTitle(), QString("Publish to Web"));
        QCOMPARE(w.txtWeb->text(), QString("web.example/q"));
        QCOMPARE(w.txtUserName->text(), QString("me"));
        QCOMPARE(w.txtPassWord->text(), QString("pw"));
        QCOMPARE(w.txtPassWord->echoMode(), QLineEdit::Password);
        QCOMPARE(w.txtReportFolder->text(), reportsDir());
        QCOMPARE(w.lblStatus->text(), QString("Status"));

        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w, kWindowWait));
        const QString dir = qEnvironmentVariable("QV_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            QVERIFY(w.grab().save(dir + QStringLiteral("/frmPublishWeb.png")));
    }

    // Nothing listens on port 1 of this machine: the connection is refused.
    void settingsAreStoredEvenWhenTheConnectionFails() {
        QString pages = QDir(m_data->folder()).filePath("pages");
        QDir().mkpath(pages);
        QFile page(QDir(pages).filePath("rd0001.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        {
            frmPublishWeb w;
            w.txtWeb->setText("127.0.0.1:1/o'site");
            w.txtUserName->setText("owner");
            w.txtPassWord->setText("sec'ret");
            w.txtReportFolder->setText(pages);
            QTest::mouseClick(w.cmdPublish, Qt::LeftButton);
            QCOMPARE(m_data->ui().boxes.size(), 1);
            QVERIFY(m_data->ui().boxes[0].text.startsWith("InternetConnect Err: "));
            QVERIFY(!m_data->ui().boxes[0].text.contains("sec'ret"));
            QCOMPARE(w.lblStatus->text(), QString("Status"));
            QCOMPARE(mousePointer(), int(PointerDefault));
        }
        frmPublishWeb again;
        QCOMPARE(again.txtWeb->text(), QString("127.0.0.1:1/o'site"));
        QCOMPARE(again.txtUserName->text(), QString("owner"));
        QCOMPARE(again.txtPassWord->text(), QString("sec'ret"));
    }

    // Pages go one by one with the event loop running between them; a second Publish, Close or Esc
    // meanwhile must wait for the first publish to end.
    void publishCannotBeStartedOrClosedWhileItRuns() {
        if (!LocalFtpServer::available())
            QSKIP("no python3 with pyftpdlib");
        QTemporaryDir root;
        LocalFtpServer server;
        QVERIFY(server.start(root.path(), true, "tester", "s3cret"));
        const QString pages = writePages({"rd0001.html", "rd0002.html", "rd0003.html", "rd0004.html", "rd0005.html"},
                                         "<html>page</html>");
        QVERIFY(!pages.isEmpty());
        frmPublishWeb w;
        QVERIFY(showFor(w, server, pages));

        bool tried = false;
        bool buttonsWereOff = false;
        QTimer impatient;
        impatient.setInterval(0);
        connect(&impatient, &QTimer::timeout, &w, [&] {
            if (tried || !w.lblStatus->text().startsWith("Transfering "))
                return;
            tried = true;
            buttonsWereOff = !w.cmdPublish->isEnabled() && !w.cmdCancel->isEnabled();
            QTest::mouseClick(w.cmdPublish, Qt::LeftButton);
            QTest::mouseClick(w.cmdCancel, Qt::LeftButton);
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, Qt::Key_Escape);
        });
        impatient.start();
        QTest::mouseClick(w.cmdPublish, Qt::LeftButton);
        impatient.stop();

        QVERIFY(tried);
        QVERIFY(buttonsWereOff);
        QVERIFY(w.isVisible());
        QVERIFY(m_data->ui().boxes.isEmpty());
        QCOMPARE(QDir(root.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"rd0001.html", "rd0002.html", "rd0003.html", "rd0004.html", "rd0005.html"}));
        QCOMPARE(w.lblStatus->text(), QString("5 files sent."));
        QVERIFY(w.cmdPublish->isEnabled());
        QVERIFY(w.cmdCancel->isEnabled());
        QTest::mouseClick(w.cmdCancel, Qt::LeftButton);
        QVERIFY(!w.isVisible());
    }

    // The server answers each page's upload as complete and keeps a quarter of it, or answers each rename as
    // done and makes none, the old page being of the new one's size: the publish says so, leaves the live
    // pages as they were and does not count anything as sent.
    void aPageTheServerDoesNotHoldIsSaidAndNotCountedAsSent_data() {
        QTest::addColumn<int>("quirk");
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<QString>("box");
        QTest::newRow("keeps a quarter") << int(LocalFtpServer::Quirk::KeepsPartOfUploads)
                                         << QByteArray("<html>live</html>")
                                         << QString("The server stored 5 of the 23 bytes of rd0001.html: the page on "
                                                    "the server was left as it was. Publish again later.");
        QTest::newRow("renames nothing") << int(LocalFtpServer::Quirk::FakeRenames)
                                         << QByteArray("<html>an old one</html>")
                                         << QString("The server said it renamed rd0001.html.part to rd0001.html, but "
                                                    "it does not show rd0001.html as the page that was sent. Publish "
                                                    "again later.");
    }
    void aPageTheServerDoesNotHoldIsSaidAndNotCountedAsSent() {
        QFETCH(int, quirk);
        QFETCH(QByteArray, old);
        QFETCH(QString, box);
        if (!LocalFtpServer::available())
            QSKIP("no python3 with pyftpdlib");
        QTemporaryDir root;
        LocalFtpServer server;
        QVERIFY(server.start(root.path(), true, "tester", "s3cret", 0, LocalFtpServer::Quirk(quirk)));
        QFile live(QDir(root.path()).filePath("rd0001.html"));
        QVERIFY(live.open(QIODevice::WriteOnly));
        live.write(old);
        live.close();
        const QString pages = writePages({"rd0001.html", "rd0002.html"}, "<html>a new page</html>");
        QVERIFY(!pages.isEmpty());
        frmPublishWeb w;
        QVERIFY(showFor(w, server, pages));
        QTest::mouseClick(w.cmdPublish, Qt::LeftButton);

        QCOMPARE(m_data->ui().boxes.size(), 1);
        QCOMPARE(m_data->ui().boxes[0].text, box);
        QCOMPARE(w.lblStatus->text(), QString("Status"));
        QCOMPARE(QDir(root.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"rd0001.html"});
        QVERIFY(live.open(QIODevice::ReadOnly));
        QCOMPARE(live.readAll(), old);
        QVERIFY(w.cmdPublish->isEnabled());
        QCOMPARE(mousePointer(), int(PointerDefault));
    }

    void browseShowsTheChosenReportFolder() {
        const QString chosen = QDir(m_data->folder()).filePath("Published");
        QVERIFY(QDir().mkpath(chosen));
        frmPublishWeb w;
        whileModal<frmBrowser>([&](frmBrowser* picker) {
            picker->PathName()->setText(chosen);
            picker->BUT_Ok()->click();
        });
        w.cmdBrowse->click();
        QCOMPARE(w.txtReportFolder->text(), chosen);
        setReportsDir(QDir(m_data->folder()).filePath("Reports"));
    }
};

QTEST_MAIN(tst_PublishWeb)
#include "tst_publish_web.moc"
