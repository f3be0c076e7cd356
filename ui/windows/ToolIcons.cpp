#include "ui/windows/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>
#include <map>

namespace corvalt::ui {
namespace {

constexpr int kSide = 32; // drawn at 32 × 32, scaled by the icon

const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kAccent(40, 100, 170);

void Page(QPainter& p, const QRectF& r) {
    QPainterPath path;
    const double fold = r.width() * 0.3;
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

void Magnifier(QPainter& p, bool plus) {
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(13, 13), 8.5, 8.5);
    p.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19.5, 19.5), QPointF(27, 27));
    p.setPen(QPen(kAccent, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 13), QPointF(17, 13));
    if (plus) p.drawLine(QPointF(13, 9), QPointF(13, 17));
}

void Arrow(QPainter& p, bool right) {
    QPolygonF triangle;
    if (right)
        triangle << QPointF(11, 6) << QPointF(25, 16) << QPointF(11, 26);
    else
        triangle << QPointF(21, 6) << QPointF(7, 16) << QPointF(21, 26);
    p.setBrush(kAccent);
    p.drawPolygon(triangle);
}

// A lattice tower with its cross arm and three insulator strings.
void Tower(QPainter& p) {
    p.setPen(QPen(kAccent, 2));
    p.drawLine(QPointF(10, 30), QPointF(15, 4));
    p.drawLine(QPointF(22, 30), QPointF(17, 4));
    p.drawLine(QPointF(15, 4), QPointF(17, 4));
    p.setPen(QPen(kAccent, 1.2));
    for (double y : {26.0, 19.0, 12.0})
        p.drawLine(QPointF(10.5 + (30 - y) / 5.2, y), QPointF(21.5 - (30 - y) / 5.2, y - 5));
    p.setPen(QPen(kInk, 2));
    p.drawLine(QPointF(3, 10), QPointF(29, 10));
    p.setPen(QPen(kInk, 1.5));
    for (double x : {5.0, 16.0, 27.0})
        p.drawLine(QPointF(x, 10), QPointF(x, 15));
}

using TPainter = std::function<void(QPainter&)>;

const std::map<QString, TPainter>& Painters() {
    static const std::map<QString, TPainter> painters = {
        {QStringLiteral("sbNew"), [](QPainter& p) { Page(p, QRectF(7, 3, 18, 26)); }},
        {QStringLiteral("sbOpen"),
         [](QPainter& p) {
             p.setBrush(QColor(230, 190, 90));
             p.drawRect(QRectF(3, 9, 24, 17));
             p.drawRect(QRectF(3, 6, 10, 4));
             p.setBrush(QColor(250, 215, 120));
             QPolygonF front;
             front << QPointF(7, 14) << QPointF(30, 14) << QPointF(27, 26) << QPointF(3, 26);
             p.drawPolygon(front);
         }},
        {QStringLiteral("sbSave"),
         [](QPainter& p) {
             p.setBrush(kAccent);
             p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
             p.setBrush(kPaper);
             p.drawRect(QRectF(9, 4, 14, 9));
             p.drawRect(QRectF(8, 18, 16, 10));
         }},
        {QStringLiteral("sbPrint"),
         [](QPainter& p) {
             p.setBrush(kPaper);
             p.drawRect(QRectF(9, 3, 14, 10));
             p.setBrush(QColor(150, 150, 150));
             p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
             p.setBrush(kPaper);
             p.drawRect(QRectF(9, 19, 14, 10));
             p.drawLine(QPointF(12, 23), QPointF(20, 23));
             p.drawLine(QPointF(12, 26), QPointF(20, 26));
         }},
        {QStringLiteral("sbZoomIn"), [](QPainter& p) { Magnifier(p, true); }},
        {QStringLiteral("sbZoomOut"), [](QPainter& p) { Magnifier(p, false); }},
        {QStringLiteral("sbFullPage"),
         [](QPainter& p) {
             Page(p, QRectF(9, 4, 15, 22));
             p.setPen(QPen(kAccent, 2));
             p.setBrush(Qt::NoBrush);
             p.drawRect(QRectF(5, 2, 23, 28));
         }},
        {QStringLiteral("sbPageWidth"),
         [](QPainter& p) {
             Page(p, QRectF(5, 3, 22, 26));
             p.setPen(QPen(kAccent, 2));
             p.drawLine(QPointF(8, 17), QPointF(24, 17));
             p.setBrush(kAccent);
             p.drawPolygon(QPolygonF{QPointF(6, 17), QPointF(11, 13), QPointF(11, 21)});
             p.drawPolygon(QPolygonF{QPointF(26, 17), QPointF(21, 13), QPointF(21, 21)});
         }},
        {QStringLiteral("app"), Tower},
        {QStringLiteral("sbPrevPage"), [](QPainter& p) { Arrow(p, false); }},
        {QStringLiteral("sbNextPage"), [](QPainter& p) { Arrow(p, true); }},
    };
    return painters;
}

} // namespace

QImage ToolImage(const QString& name, int side) {
    const auto found = Painters().find(name);
    if (found == Painters().end() || side <= 0) return {};
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(static_cast<double>(side) / kSide, static_cast<double>(side) / kSide);
    painter.setPen(QPen(kInk, 1.2));
    found->second(painter);
    painter.end();
    return image;
}

QIcon ToolIcon(const QString& name) {
    const QImage image = ToolImage(name, kSide);
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

} // namespace corvalt::ui
