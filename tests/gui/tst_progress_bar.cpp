// The posting progress bar as the program's UI services step it: every step counts, but the bar
// is drawn only now and then, and a hidden bar is not stepped at all.

#include "ModalHelpers.h"
#include "adapters/QtUiServices.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QtTest>

namespace {

// Counts how often it is drawn.
class CountingBar : public QProgressBar {
public:
    using QProgressBar::QProgressBar;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* e) override {
        ++paints;
        QProgressBar::paintEvent(e);
    }
};

} // namespace

class tst_ProgressBar : public QObject {
    Q_OBJECT

private:
    QtUiServices m_ui;
    std::unique_ptr<QWidget> m_window;
    CountingBar* m_bar = nullptr;

    // Lets the throttle's interval pass, so that the next step is drawn.
    static void waitPastInterval() { QThread::msleep(QtUiServices::kRepaintIntervalMs + 5); }

private slots:
    void init() {
        m_window = std::make_unique<QWidget>();
        m_window->resize(300, 60);
        m_bar = new CountingBar(m_window.get());
        m_bar->setGeometry(10, 10, 280, 20);
        m_bar->setRange(0, 100);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get(), kWindowWait));
        m_bar->setValue(0);
        m_ui.setProgressTarget(m_bar);
        QApplication::processEvents();
        m_bar->paints = 0;
    }
    void cleanup() {
        m_ui.setProgressTarget(nullptr);
        m_window.reset();
    }

    void manyStepsAreDrawnSeldomButAllCounted() {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 20000; ++i)
            m_ui.stepProgress();
        const qint64 elapsed = timer.elapsed();
        // At most one drawing per interval, plus the first step's.
        QVERIFY2(m_bar->paints <= 1 + elapsed / QtUiServices::kRepaintIntervalMs,
                 qPrintable(QStringLiteral("%1 paints in %2 ms").arg(m_bar->paints).arg(elapsed)));
        waitPastInterval();
        m_ui.stepProgress();
        // 20,001 steps on a bar of 0..100 that starts again at 1 after its maximum.
        QCOMPARE(m_bar->value(), (20001 - 1) % 100 + 1);
    }

    void aPostingThatSetsTheBarBackCountsFromThere() {
        for (int i = 0; i < 40; ++i)
            m_ui.stepProgress();
        waitPastInterval();
        m_ui.stepProgress();
        QCOMPARE(m_bar->value(), 41);
        // The race window starts each posting at 0 and hands the bar over again.
        m_bar->setValue(0);
        m_ui.setProgressTarget(m_bar);
        m_ui.stepProgress();
        QCOMPARE(m_bar->value(), 1);
        // Set back by someone without handing it over: counted on from its new value.
        waitPastInterval();
        m_bar->setValue(90);
        m_ui.stepProgress();
        QCOMPARE(m_bar->value(), 91);
    }

    void aHiddenBarIsNotStepped() {
        m_bar->hide();
        for (int i = 0; i < 10; ++i)
            m_ui.stepProgress();
        m_bar->show();
        waitPastInterval();
        m_ui.stepProgress();
        QCOMPARE(m_bar->value(), 1);
    }

    // A site script's window: none for the script's first second, then one until Stop is clicked, with
    // the arrow pointer over it and the posting's hourglass back once it is gone.
    void aScriptsWindowComesAfterASecondAndStopEndsIt() {
        m_ui.setPointer(PointerHourglass);
        QVERIFY(!m_ui.stopRequested(QStringLiteral("Running"), QtUiServices::kStopWindowAfterMs - 1));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!m_ui.stopRequested(QStringLiteral("Running"), QtUiServices::kStopWindowAfterMs));
        QWidget* window = QApplication::activeModalWidget();
        QVERIFY(window && m_ui.pointer() == PointerDefault);
        QTest::mouseClick(window->findChild<QPushButton*>(), Qt::LeftButton);
        QVERIFY(m_ui.stopRequested(QStringLiteral("Running"), 1500));
        m_ui.endStoppable();
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(m_ui.pointer(), int(PointerHourglass));
        m_ui.setPointer(PointerDefault);
    }
};

QTEST_MAIN(tst_ProgressBar)
#include "tst_progress_bar.moc"
