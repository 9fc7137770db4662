#include "shell/frmSplash.h"

#include "kit/Twips.h"
#include "shell/ShellIcons.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

frmSplash::frmSplash(QWidget* parent, int milliseconds) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setModal(true);
    const QSize client(pixelsX(7005, this), pixelsY(4890, this));
    setFixedSize(client);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(splashPicture(client));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);

    m_timer.setSingleShot(true);
    m_timer.setInterval(milliseconds);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_timer.stop();
        accept();
    });
}

int frmSplash::exec() {
    setResult(0);
    // Centred on the screen of the window it belongs to; left alone it would open in the screen's corner.
    QScreen* screen = parentWidget() ? parentWidget()->window()->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
    show();
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    m_timer.start();
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    return result();
}
