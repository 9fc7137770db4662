#include "shell/frmWelcome.h"

#include "data/Feedback.h"
#include "kit/Twips.h"
#include "shell/ShellIcons.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmWelcome::frmWelcome(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_greeting1(new QLabel(this)), m_greeting2(new QLabel(this)),
      m_continue(new QPushButton(QStringLiteral("&Continue..."), this)) {
    setObjectName(QStringLiteral("frmWelcome"));
    setWindowTitle(QStringLiteral("Welcome"));
    setModal(true);
    setFixedSize(pixelsX(7425, this), pixelsY(3225, this));

    m_greeting1->setObjectName(QStringLiteral("Greeting1"));
    m_greeting2->setObjectName(QStringLiteral("Greeting2"));
    m_continue->setObjectName(QStringLiteral("BUT_Continue"));
    m_greeting1->setText(QStringLiteral("Welcome to Quorvanti 3.0!"));
    m_greeting2->setText(QStringLiteral("You now have the tools to quickly and easily manage fantasy race leagues."));
    QFont big = m_greeting1->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    m_greeting1->setFont(big);
    m_greeting2->setWordWrap(true);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(shellPixmap(QStringLiteral("imgCars"), 64));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* texts = new QVBoxLayout;
    texts->addWidget(m_greeting1);
    texts->addWidget(m_greeting2);
    texts->addStretch();
    auto* inner = new QHBoxLayout(frame);
    inner->addWidget(image, 0, Qt::AlignTop);
    inner->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_continue);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);

    connect(m_continue, &QPushButton::clicked, this, [this] {
        setMousePointer(PointerHourglass);
        accept();
    });

    // The sound starts once the window is up; the window does not react while it plays.
    m_tada.setSingleShot(true);
    m_tada.setInterval(1);
    connect(&m_tada, &QTimer::timeout, this, [] {
        playSound(QStringLiteral("TADA"));
        setMousePointer(PointerDefault);
    });
    m_tada.start();
}

void frmWelcome::done(int result) {
    // Start-up resets the pointer once the last of its windows has gone.
    setMousePointer(PointerHourglass);
    QDialog::done(result);
}
