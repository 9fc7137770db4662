#include "shell/ShellIcons.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// Every picture is drawn on a 32 x 32 grid and scaled to the size asked for.
void drawTire(QPainter& p) {
    p.setBrush(QColor(30, 30, 30));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setBrush(QColor(170, 170, 175));
    p.drawEllipse(QRectF(10, 10, 12, 12));
    p.setBrush(QColor(80, 80, 85));
    p.drawEllipse(QRectF(14, 14, 4, 4));
}

void drawFolder(QPainter& p, const QColor& color) {
    p.setPen(QPen(color.darker(160), 1.2));
    p.setBrush(color.darker(115));
    p.drawRoundedRect(QRectF(3, 6, 12, 6), 1.5, 1.5);
    p.setBrush(color);
    p.drawRoundedRect(QRectF(3, 9, 26, 18), 2, 2);
}

void drawAdministration(QPainter& p) {
    drawFolder(p, QColor(240, 196, 64));
    p.setPen(QPen(QColor(90, 90, 90), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 22), QPointF(21, 13)); // a spanner across the folder
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(19, 10, 6, 6));
}

void drawLeagues(QPainter& p) {
    const QColor gold(230, 180, 40);
    p.setPen(QPen(gold.darker(150), 1.2));
    p.setBrush(gold);
    QPainterPath cup;
    cup.moveTo(8, 4);
    cup.lineTo(24, 4);
    cup.cubicTo(24, 16, 20, 19, 16, 19);
    cup.cubicTo(12, 19, 8, 16, 8, 4);
    p.drawPath(cup);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3, 6, 8, 8), 90 * 16, 180 * 16);
    p.drawArc(QRectF(21, 6, 8, 8), 270 * 16, 180 * 16);
    p.setBrush(gold);
    p.drawRect(QRectF(14, 19, 4, 5));
    p.drawRect(QRectF(9, 24, 14, 4));
}

void drawTeams(QPainter& p) {
    const QColor back(70, 110, 190), front(40, 150, 90);
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawEllipse(QRectF(17, 5, 9, 9));
    p.drawRoundedRect(QRectF(14, 15, 15, 13), 5, 5);
    p.setBrush(front);
    p.drawEllipse(QRectF(6, 8, 9, 9));
    p.drawRoundedRect(QRectF(3, 18, 15, 12), 5, 5);
}

void drawCar(QPainter& p) {
    const QColor body(205, 40, 40);
    p.setPen(QPen(body.darker(160), 1));
    p.setBrush(body);
    QPainterPath shape;
    shape.moveTo(2, 21);
    shape.lineTo(3, 16);
    shape.lineTo(10, 14);
    shape.lineTo(14, 9);
    shape.lineTo(22, 9);
    shape.lineTo(26, 14);
    shape.lineTo(30, 15);
    shape.lineTo(30, 21);
    shape.closeSubpath();
    p.drawPath(shape);
    p.setBrush(QColor(190, 220, 250));
    p.drawRect(QRectF(15, 11, 6, 3));
    p.setBrush(QColor(25, 25, 25));
    p.drawEllipse(QRectF(5, 18, 8, 8));
    p.drawEllipse(QRectF(20, 18, 8, 8));
}

void drawFlag(QPainter& p) {
    p.setPen(QPen(QColor(90, 60, 30), 2));
    p.drawLine(QPointF(5, 3), QPointF(5, 30));
    const int cell = 4;
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 6; ++col) {
            p.setBrush((row + col) % 2 ? Qt::white : Qt::black);
            p.drawRect(QRectF(6 + col * cell, 4 + row * cell, cell, cell));
        }
    p.setPen(QPen(Qt::black, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(6, 4, 6 * cell, 4 * cell));
}

void drawReport(QPainter& p) {
    p.setPen(QPen(QColor(110, 110, 120), 1.2));
    p.setBrush(Qt::white);
    QPainterPath page;
    page.moveTo(6, 2);
    page.lineTo(21, 2);
    page.lineTo(27, 8);
    page.lineTo(27, 30);
    page.lineTo(6, 30);
    page.closeSubpath();
    p.drawPath(page);
    p.setPen(QPen(QColor(60, 100, 180), 1.6));
    for (int y = 11; y <= 26; y += 5)
        p.drawLine(QPointF(10, y), QPointF(23, y));
}

void drawScoring(QPainter& p) {
    p.setPen(QPen(QColor(20, 20, 60), 1));
    p.setBrush(QColor(30, 40, 90));
    p.drawRoundedRect(QRectF(2, 6, 28, 20), 3, 3);
    QFont f;
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(250, 210, 60));
    p.drawText(QRectF(2, 6, 28, 20), Qt::AlignCenter, QStringLiteral("123"));
}

void drawApplication(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 70), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3, 5, 26, 22));
    p.setBrush(QColor(50, 90, 170));
    p.drawRect(QRectF(3, 5, 26, 5));
}

} // namespace

QPixmap shellPixmap(const QString& key, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    if (key == QLatin1String("imgTire"))
        drawTire(p);
    else if (key == QLatin1String("imgAdministration"))
        drawAdministration(p);
    else if (key == QLatin1String("imgLeagues"))
        drawLeagues(p);
    else if (key == QLatin1String("imgTeams"))
        drawTeams(p);
    else if (key == QLatin1String("imgCars"))
        drawCar(p);
    else if (key == QLatin1String("imgRaces"))
        drawFlag(p);
    else if (key == QLatin1String("imgReporting"))
        drawReport(p);
    else if (key == QLatin1String("imgScoring"))
        drawScoring(p);
    else if (key == QLatin1String("imgApplication"))
        drawApplication(p);
    return pm;
}

QIcon shellIcon(const QString& key) {
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(shellPixmap(key, size));
    return icon;
}

QPixmap splashPicture(const QSize& size) {
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(20, 40, 95));
    sky.setColorAt(1, QColor(60, 110, 190));
    p.fillRect(pm.rect(), sky);

    // A checkered band along the bottom.
    const int cell = qMax(8, size.height() / 24);
    const int rows = 3;
    const int top = size.height() - rows * cell;
    for (int row = 0; row < rows; ++row)
        for (int x = 0, col = 0; x < size.width(); x += cell, ++col)
            p.fillRect(QRect(x, top + row * cell, cell, cell), (row + col) % 2 ? Qt::white : Qt::black);

    const int carSize = size.height() / 3;
    p.drawPixmap(size.width() - carSize - cell, top - carSize + carSize / 6,
                 shellPixmap(QStringLiteral("imgCars"), carSize));

    QFont title;
    title.setPixelSize(qMax(18, size.height() / 6));
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(cell * 2, size.height() / 8, size.width(), size.height() / 4), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Quorvanti"));
    QFont sub;
    sub.setPixelSize(qMax(10, size.height() / 18));
    p.setFont(sub);
    p.setPen(QColor(250, 215, 90));
    p.drawText(QRect(cell * 2, size.height() * 3 / 8, size.width(), size.height() / 8),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Fantasy racing leagues"));
    p.setPen(QColor(220, 230, 255));
    p.drawText(QRect(cell * 2, size.height() / 2, size.width(), size.height() / 8), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Version 3.0"));
    return pm;
}
