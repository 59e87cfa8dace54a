#include "CommandIcons.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace Gui {

namespace {

// Every picture is drawn on a 16 × 16 grid and scaled, so it stays sharp at each size.
using Drawing = std::function<void(QPainter&)>;

const QColor kInk(52, 64, 84);
const QColor kPaper(255, 255, 255);
const QColor kBlue(41, 121, 200);
const QColor kGreen(46, 139, 87);
const QColor kAmber(230, 160, 40);
const QColor kRed(200, 60, 50);

QPen Ink(double width = 1.0) { return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

void Page(QPainter& p, QRectF r) {
    QPainterPath path;
    const double fold = 3.5;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(Ink());
    p.setBrush(kPaper);
    p.drawPath(path);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(Qt::NoBrush);
    p.drawPath(corner);
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color) {
    p.setPen(QPen(color, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double len = std::hypot(d.x(), d.y());
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    const QPointF back = to - u * 3.0;
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(back + n * 2.6);
    head.moveTo(to);
    head.lineTo(back - n * 2.6);
    p.drawPath(head);
}

void Tray(QPainter& p) {
    p.setPen(Ink(1.2));
    p.setBrush(Qt::NoBrush);
    QPainterPath tray;
    tray.moveTo(2, 10);
    tray.lineTo(2, 14);
    tray.lineTo(14, 14);
    tray.lineTo(14, 10);
    p.drawPath(tray);
}

void Circle(QPainter& p, const QColor& fill, const QString& glyph) {
    p.setPen(QPen(fill.darker(130), 1.0));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(1.5, 1.5, 13, 13.5), Qt::AlignCenter, glyph);
}

Drawing DrawingFor(CommandId id) {
    switch (id) {
        case CommandId::FileNew:
            return [](QPainter& p) {
                Page(p, QRectF(3, 1.5, 10, 13));
                p.setPen(QPen(kGreen, 1.8, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(8, 6.5), QPointF(8, 11.5));
                p.drawLine(QPointF(5.5, 9), QPointF(10.5, 9));
            };
        case CommandId::FileOpen:
            return [](QPainter& p) {
                p.setPen(Ink());
                p.setBrush(kAmber.darker(110));
                QPainterPath back;
                back.moveTo(1.5, 13.5);
                back.lineTo(1.5, 3);
                back.lineTo(5.5, 3);
                back.lineTo(7, 4.5);
                back.lineTo(12.5, 4.5);
                back.lineTo(12.5, 13.5);
                back.closeSubpath();
                p.drawPath(back);
                p.setBrush(kAmber);
                QPainterPath front;
                front.moveTo(1.5, 13.5);
                front.lineTo(4, 7);
                front.lineTo(15, 7);
                front.lineTo(12.5, 13.5);
                front.closeSubpath();
                p.drawPath(front);
            };
        case CommandId::FileSave:
            return [](QPainter& p) {
                p.setPen(Ink());
                p.setBrush(kBlue);
                QPainterPath body;
                body.moveTo(2, 2);
                body.lineTo(12, 2);
                body.lineTo(14, 4);
                body.lineTo(14, 14);
                body.lineTo(2, 14);
                body.closeSubpath();
                p.drawPath(body);
                p.setBrush(kPaper);
                p.drawRect(QRectF(4.5, 2, 7, 4.5));
                p.setBrush(kBlue.lighter(160));
                p.drawRect(QRectF(4, 9, 8, 5));
                p.setPen(Qt::NoPen);
                p.setBrush(kInk);
                p.drawRect(QRectF(9, 2.8, 1.6, 2.8));
            };
        case CommandId::Import:
            return [](QPainter& p) {
                Tray(p);
                Arrow(p, QPointF(8, 1.5), QPointF(8, 10.5), kGreen);
            };
        case CommandId::Export:
            return [](QPainter& p) {
                Tray(p);
                Arrow(p, QPointF(8, 11), QPointF(8, 2), kBlue);
            };
        case CommandId::GoToDate:
            return [](QPainter& p) {
                p.setPen(Ink());
                p.setBrush(kPaper);
                p.drawRoundedRect(QRectF(1.5, 2.5, 13, 12), 1.5, 1.5);
                p.setBrush(kRed);
                p.drawRect(QRectF(1.5, 2.5, 13, 3.5));
                p.setPen(Ink(1.4));
                p.drawLine(QPointF(5, 1), QPointF(5, 4));
                p.drawLine(QPointF(11, 1), QPointF(11, 4));
                p.setPen(Qt::NoPen);
                p.setBrush(kInk);
                for (int row = 0; row < 2; ++row)
                    for (int col = 0; col < 3; ++col)
                        p.drawRect(QRectF(3.5 + col * 3.3, 7.8 + row * 3, 1.8, 1.8));
                p.setBrush(kBlue);
                p.drawRect(QRectF(3.5 + 2 * 3.3, 10.8, 1.8, 1.8));
            };
        case CommandId::EditCopy:
            return [](QPainter& p) {
                Page(p, QRectF(1.5, 1.5, 8.5, 10));
                Page(p, QRectF(6, 4.5, 8.5, 10));
                p.setPen(QPen(kInk.lighter(170), 0.9));
                for (double y : {8.5, 10.5, 12.5}) p.drawLine(QPointF(7.8, y), QPointF(12.5, y));
            };
        case CommandId::EditPaste:
            return [](QPainter& p) {
                p.setPen(Ink());
                p.setBrush(kAmber);
                p.drawRoundedRect(QRectF(2, 2.5, 10, 12), 1.2, 1.2);
                p.setBrush(kInk.lighter(150));
                p.drawRoundedRect(QRectF(4.5, 1, 5, 3), 0.8, 0.8);
                Page(p, QRectF(7, 6, 7.5, 9));
            };
        case CommandId::EditDelete:
            return [](QPainter& p) {
                p.setPen(QPen(kRed, 2.4, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
                p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
            };
        case CommandId::AboutApplication:
        case CommandId::AppAbout:
            return [](QPainter& p) { Circle(p, kGreen, QStringLiteral("i")); };
        case CommandId::HelpFinder:
            return [](QPainter& p) { Circle(p, kBlue, QStringLiteral("?")); };
        default: return {};
    }
}

QPixmap Render(const Drawing& draw, int size, bool disabled) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 16.0, size / 16.0);
    draw(p);
    p.end();
    if (!disabled) return pm;
    // Disabled: the same shape, washed out to grey.
    QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int grey = 150 + qGray(line[x]) / 3;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 3 / 4);
        }
    }
    return QPixmap::fromImage(img);
}

}  // namespace

QIcon CommandIcon(CommandId id) {
    const Drawing draw = DrawingFor(id);
    if (!draw) return {};
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        icon.addPixmap(Render(draw, size, false), QIcon::Normal);
        icon.addPixmap(Render(draw, size, true), QIcon::Disabled);
    }
    return icon;
}

QIcon ApplicationIcon() {
    const Drawing draw = [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(22, 78, 72));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3.5, 3.5);
        p.setBrush(QColor(246, 246, 240));
        p.drawEllipse(QPointF(8, 8), 5.6, 5.6);
        QPainterPath leaf;
        leaf.moveTo(4.6, 11.2);
        leaf.cubicTo(5.2, 7.0, 8.4, 4.6, 11.6, 4.6);
        leaf.cubicTo(11.4, 8.2, 8.8, 11.0, 4.6, 11.2);
        p.setBrush(QColor(76, 153, 70));
        p.drawPath(leaf);
        p.setPen(QPen(QColor(40, 100, 50), 0.6));
        p.drawLine(QPointF(5.2, 10.6), QPointF(10.2, 6.0));
    };
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(Render(draw, size, false));
    return icon;
}

}  // namespace Gui
