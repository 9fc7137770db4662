#include "shell/frmAbout.h"

#include "data/Feedback.h"
#include "kit/Twips.h"
#include "shell/Help.h"
#include "shell/ShellIcons.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_title(new QLabel(this)), m_version(new QLabel(this)), m_image(new QLabel(this)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Quorvanti"));
    setFixedSize(pixelsX(5865, this), pixelsY(2700, this));

    m_title->setObjectName(QStringLiteral("AboutTitle"));
    m_version->setObjectName(QStringLiteral("Version"));
    m_image->setObjectName(QStringLiteral("Image1"));
    m_title->setText(QStringLiteral("Quorvanti"));
    QFont big = m_title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    m_title->setFont(big);
    m_version->setText(QStringLiteral("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));
    m_image->setPixmap(shellPixmap(QStringLiteral("imgTire"), 48));
    m_image->setCursor(Qt::PointingHandCursor);
    m_image->setToolTip(QStringLiteral("Quorvanti on the Web"));
    m_image->installEventFilter(this);

    auto* sysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    sysInfo->setObjectName(QStringLiteral("BUT_SysInfo"));
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("BUT_Ok"));
    ok->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_image, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(m_title, 0, 1);
    layout->addWidget(m_version, 1, 1, Qt::AlignTop);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 2, 2, 1);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(sysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_image && event->type() == QEvent::MouseButtonRelease) {
        openWebPage(QStringLiteral("HOME"));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QString frmAbout::sysInfoProgram() {
    // The desktops' own system information programs, the most detailed first.
    for (const char* name : {"hardinfo", "kinfocenter", "gnome-system-monitor", "xfce4-taskmanager"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

void frmAbout::StartSysInfo() {
    const QString program = sysInfoProgram().trimmed();
    if (program.isEmpty() || !QProcess::startDetached(program, {}))
        showInfo(QStringLiteral("System Information Is Unavailable At This Time"));
}
