#include "ui/shell/tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace petrel {

namespace {

constexpr int kSize = 32;
const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kBlue(40, 100, 190);
const QColor kYellow(235, 190, 60);
const QColor kGreen(40, 150, 70);
const QColor kRed(200, 60, 50);

void Page(QPainter& p, const QRectF& r) {
    QPainterPath path;
    const qreal fold = r.width() * 0.3;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void Lines(QPainter& p, const QRectF& r, int count) {
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + (i + 1) * r.height() / (count + 1);
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
}

// A hand-held radio with its aerial.
void Radio(QPainter& p, const QRectF& r) {
    p.setBrush(kInk);
    p.drawRect(QRectF(r.left() + r.width() * 0.2, r.top(), r.width() * 0.12, r.height() * 0.35));
    p.drawRoundedRect(QRectF(r.left(), r.top() + r.height() * 0.3, r.width(), r.height() * 0.7), 3,
                      3);
    p.setBrush(QColor(170, 210, 170));
    p.drawRect(QRectF(r.left() + 2, r.top() + r.height() * 0.38, r.width() - 4, r.height() * 0.22));
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
    QPen pen(colour, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF wing1 = line;
    wing1.setLength(6);
    wing1.setAngle(line.angle() + 35);
    QLineF wing2 = line;
    wing2.setLength(6);
    wing2.setAngle(line.angle() - 35);
    p.drawLine(wing1);
    p.drawLine(wing2);
    p.setPen(QPen(kInk, 1.2));
}

void Letter(QPainter& p, const QRectF& r, const QString& text, const QColor& background) {
    p.setBrush(background);
    p.setPen(Qt::NoPen);
    p.drawEllipse(r);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(static_cast<int>(r.height() * 0.7));
    p.setFont(font);
    p.setPen(kPaper);
    p.drawText(r, Qt::AlignCenter, text);
    p.setPen(QPen(kInk, 1.2));
}

void Draw(QPainter& p, const QString& key) {
    if (key == "New") {
        Page(p, QRectF(5, 3, 18, 26));
        // A small star: something new.
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const qreal radius = i % 2 == 0 ? 7.0 : 3.0;
            const qreal angle = -M_PI / 2 + i * M_PI / 5;
            star << QPointF(23 + radius * std::cos(angle), 22 + radius * std::sin(angle));
        }
        p.setBrush(kYellow);
        p.setPen(QPen(QColor(180, 130, 20), 1));
        p.drawPolygon(star);
    } else if (key == "Open") {
        p.setBrush(kYellow);
        p.drawRect(QRectF(3, 9, 24, 18));
        p.drawRect(QRectF(3, 6, 10, 4));
        p.setBrush(QColor(250, 220, 120));
        QPolygonF flap({QPointF(7, 14), QPointF(30, 14), QPointF(27, 27), QPointF(3, 27)});
        p.drawPolygon(flap);
    } else if (key == "Save") {
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(9, 4, 14, 9));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(8, 18, 16, 10));
    } else if (key == "Print") {
        Page(p, QRectF(9, 3, 14, 12));
        p.setBrush(QColor(150, 150, 150));
        p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(8, 20, 16, 9));
        Lines(p, QRectF(10, 20, 12, 9), 2);
    } else if (key == "Cut") {
        p.setPen(QPen(kInk, 2));
        p.drawLine(QPointF(10, 3), QPointF(20, 21));
        p.drawLine(QPointF(22, 3), QPointF(12, 21));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kRed, 2.5));
        p.drawEllipse(QRectF(5, 20, 8, 8));
        p.drawEllipse(QRectF(19, 20, 8, 8));
    } else if (key == "Copy") {
        Page(p, QRectF(4, 3, 15, 20));
        Page(p, QRectF(13, 9, 15, 20));
        Lines(p, QRectF(16, 14, 9, 12), 3);
    } else if (key == "Paste") {
        p.setBrush(QColor(170, 120, 70));
        p.drawRoundedRect(QRectF(4, 5, 20, 24), 2, 2);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(10, 3, 8, 5));
        Page(p, QRectF(14, 11, 14, 18));
    } else if (key == "Upload") {
        Radio(p, QRectF(3, 3, 11, 26));
        Page(p, QRectF(19, 12, 11, 16));
        Arrow(p, QPointF(13, 8), QPointF(27, 8), kGreen);
    } else if (key == "Download") {
        Radio(p, QRectF(18, 3, 11, 26));
        Page(p, QRectF(3, 12, 11, 16));
        Arrow(p, QPointF(5, 8), QPointF(19, 8), kRed);
    } else if (key == "Radio") {
        Radio(p, QRectF(9, 2, 14, 28));
    } else if (key == "Key") {
        p.setBrush(kYellow);
        p.drawEllipse(QRectF(3, 9, 13, 13));
        p.setBrush(kPaper);
        p.drawEllipse(QRectF(7, 13, 5, 5));
        p.setBrush(kYellow);
        p.drawRect(QRectF(15, 14, 14, 4));
        p.drawRect(QRectF(22, 18, 3, 5));
        p.drawRect(QRectF(26, 18, 3, 4));
    } else if (key == "Help") {
        Letter(p, QRectF(3, 3, 26, 26), "?", kBlue);
    } else if (key == "About") {
        Letter(p, QRectF(3, 3, 26, 26), "i", kGreen);
    }
}

}  // namespace

QIcon ToolIcon(const QString& key) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.2));
    Draw(p, key);
    p.end();
    return QIcon(pixmap);
}

}  // namespace petrel
