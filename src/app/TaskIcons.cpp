#include "app/TaskIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor ink(0x1F, 0x2F, 0x46);
const QColor steel(0x3A, 0x67, 0x94);
const QColor paper(0xFF, 0xFF, 0xFF);
const QColor brass(0xE0, 0xA8, 0x30);
const QColor leaf(0x3C, 0x8D, 0x4F);
const QColor brick(0xC0, 0x48, 0x3A);

// Everything is drawn on a 32 x 32 grid and scaled to the pixmap's size.
void drawDatabase(QPainter& p)
{
    p.setBrush(steel);
    for (int i = 2; i >= 0; --i) {
        const int top = 6 + i * 7;
        p.drawRect(QRectF(6, top, 20, 7));
        p.drawEllipse(QRectF(6, top + 3.5, 20, 7));
    }
    p.setBrush(QColor(0x6F, 0x98, 0xC2));
    p.drawEllipse(QRectF(6, 2.5, 20, 7));
}

void drawTag(QPainter& p)
{
    QPainterPath tag;
    tag.moveTo(4, 12);
    tag.lineTo(12, 4);
    tag.lineTo(28, 4);
    tag.lineTo(28, 20);
    tag.lineTo(20, 28);
    tag.lineTo(4, 28);
    tag.closeSubpath();
    p.setBrush(brass);
    p.drawPath(tag);
    p.setBrush(paper);
    p.drawEllipse(QRectF(19, 8, 5, 5));
    p.drawLine(QPointF(8, 18), QPointF(18, 18));
    p.drawLine(QPointF(8, 23), QPointF(15, 23));
}

void drawCentre(QPainter& p)
{
    p.setBrush(paper);
    p.drawRect(QRectF(5, 12, 22, 16));
    QPainterPath roof;
    roof.moveTo(3, 13);
    roof.lineTo(16, 3);
    roof.lineTo(29, 13);
    roof.closeSubpath();
    p.setBrush(brick);
    p.drawPath(roof);
    p.setBrush(steel);
    p.drawRect(QRectF(13, 19, 6, 9));
    p.drawRect(QRectF(7.5, 15, 4, 4));
    p.drawRect(QRectF(20.5, 15, 4, 4));
}

void drawBox(QPainter& p, bool incoming)
{
    p.setBrush(brass);
    p.drawRect(QRectF(5, 16, 22, 13));
    p.drawLine(QPointF(5, 21), QPointF(27, 21));
    QPainterPath arrow;
    if (incoming) {
        arrow.moveTo(12, 2);
        arrow.lineTo(20, 2);
        arrow.lineTo(20, 8);
        arrow.lineTo(25, 8);
        arrow.lineTo(16, 16);
        arrow.lineTo(7, 8);
        arrow.lineTo(12, 8);
    } else {
        arrow.moveTo(12, 16);
        arrow.lineTo(20, 16);
        arrow.lineTo(20, 10);
        arrow.lineTo(25, 10);
        arrow.lineTo(16, 2);
        arrow.lineTo(7, 10);
        arrow.lineTo(12, 10);
    }
    arrow.closeSubpath();
    p.setBrush(incoming ? leaf : brick);
    p.drawPath(arrow);
}

void drawSheet(QPainter& p)
{
    p.setBrush(paper);
    p.drawRect(QRectF(6, 4, 20, 25));
    p.setBrush(steel);
    p.drawRect(QRectF(11, 2, 10, 4));
    for (int i = 0; i < 4; ++i) {
        const qreal y = 11 + i * 4.5;
        p.setBrush(leaf);
        p.drawRect(QRectF(9, y - 1.5, 3, 3));
        p.drawLine(QPointF(14, y), QPointF(23, y));
    }
}

QPixmap draw(int button, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(ink, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (button) {
    case 1: drawDatabase(p); break;
    case 2: drawTag(p); break;
    case 3: drawCentre(p); break;
    case 4: drawBox(p, true); break;
    case 5: drawBox(p, false); break;
    default: drawSheet(p); break;
    }
    return pixmap;
}

}  // namespace

QIcon TaskButtonIcon(int button)
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(draw(button, size));
    return icon;
}
