#include "EditTypeIcons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace {

// The picture is split into a symbol area on top and a caption strip below it.
struct Canvas {
    QPixmap pixmap;
    QRectF symbol;
    QRectF caption;
};

Canvas MakeCanvas(QSize size, qreal dpr) {
    Canvas canvas;
    canvas.pixmap = QPixmap(size * dpr);
    canvas.pixmap.setDevicePixelRatio(dpr);
    canvas.pixmap.fill(Qt::transparent);
    const qreal w = size.width();
    const qreal h = size.height();
    const qreal captionHeight = h * 0.3;
    const qreal side = qMin(w, h - captionHeight) * 0.86;
    canvas.symbol = QRectF((w - side) / 2, (h - captionHeight - side) / 2, side, side);
    canvas.caption = QRectF(0, h - captionHeight, w, captionHeight);
    return canvas;
}

void DrawCaption(QPainter& painter, const QRectF& area, const QString& text) {
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(qMax(6, static_cast<int>(area.height() * 0.8)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(area, Qt::AlignCenter, text);
}

// A filled arrow head at tip, pointing along angle (radians, screen coordinates).
void ArrowHead(QPainter& painter, QPointF tip, qreal angle, qreal length) {
    const qreal spread = qDegreesToRadians(28.0);
    QPolygonF head;
    head << tip << tip - QPointF(length * qCos(angle - spread), length * qSin(angle - spread))
         << tip - QPointF(length * qCos(angle + spread), length * qSin(angle + spread));
    painter.setBrush(Qt::black);
    painter.drawPolygon(head);
}

QPen SymbolPen(const QRectF& symbol) {
    QPen pen(Qt::black, qMax(1.5, symbol.width() * 0.08));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

} // namespace

namespace EditTypeIcons {

QPixmap Move(QSize size, qreal devicePixelRatio) {
    Canvas canvas = MakeCanvas(size, devicePixelRatio);
    QPainter painter(&canvas.pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF& s = canvas.symbol;
    const QPointF c = s.center();
    const qreal head = s.width() * 0.24;
    painter.setPen(SymbolPen(s));
    painter.drawLine(QPointF(s.left() + head * 0.6, c.y()), QPointF(s.right() - head * 0.6, c.y()));
    painter.drawLine(QPointF(c.x(), s.top() + head * 0.6), QPointF(c.x(), s.bottom() - head * 0.6));
    painter.setPen(Qt::NoPen);
    ArrowHead(painter, QPointF(s.right(), c.y()), 0, head);
    ArrowHead(painter, QPointF(s.left(), c.y()), M_PI, head);
    ArrowHead(painter, QPointF(c.x(), s.bottom()), M_PI / 2, head);
    ArrowHead(painter, QPointF(c.x(), s.top()), -M_PI / 2, head);
    DrawCaption(painter, canvas.caption, QStringLiteral("移動"));
    return canvas.pixmap;
}

QPixmap Rotate(QSize size, qreal devicePixelRatio) {
    Canvas canvas = MakeCanvas(size, devicePixelRatio);
    QPainter painter(&canvas.pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF& s = canvas.symbol;
    const QPen pen = SymbolPen(s);
    const qreal inset = s.width() * 0.16;
    const QRectF ring = s.adjusted(inset, inset, -inset, -inset);
    const qreal radius = ring.width() / 2;
    const qreal head = s.width() * 0.26;
    // Two arcs, each ending in an arrow head that carries on round the circle.
    for (int half = 0; half < 2; ++half) {
        const qreal startDegrees = 20 + half * 180;
        const qreal spanDegrees = 130;
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(ring, static_cast<int>(startDegrees * 16), static_cast<int>(spanDegrees * 16));
        // Qt's arc angles run counter-clockwise with y up; the tip is at the arc's end.
        const qreal endRadians = qDegreesToRadians(startDegrees + spanDegrees + 12);
        const QPointF tip(ring.center().x() + radius * qCos(endRadians),
                          ring.center().y() - radius * qSin(endRadians));
        const qreal tangent = -endRadians - M_PI / 2;
        painter.setPen(Qt::NoPen);
        ArrowHead(painter, tip, tangent, head);
    }
    DrawCaption(painter, canvas.caption, QStringLiteral("回転"));
    return canvas.pixmap;
}

QPixmap Scale(QSize size, qreal devicePixelRatio) {
    Canvas canvas = MakeCanvas(size, devicePixelRatio);
    QPainter painter(&canvas.pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF& s = canvas.symbol;
    const qreal handle = s.width() * 0.22;
    const QRectF square = s.adjusted(handle / 2, handle / 2, -handle / 2, -handle / 2);
    QPen pen = SymbolPen(s);
    pen.setWidthF(pen.widthF() * 0.7);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(square);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const QPointF& corner :
         {square.topLeft(), square.topRight(), square.bottomLeft(), square.bottomRight()})
        painter.drawRect(QRectF(corner - QPointF(handle / 2, handle / 2), QSizeF(handle, handle)));
    DrawCaption(painter, canvas.caption, QStringLiteral("拡大"));
    return canvas.pixmap;
}

QIcon WindowIcon() {
    QIcon icon;
    for (int side : {16, 32, 64}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal u = side / 16.0;
        // Top, left and right faces of a cube seen from above, in the axis colours.
        const QPointF top(8 * u, 1 * u), left(1.5 * u, 4.5 * u), right(14.5 * u, 4.5 * u),
            centre(8 * u, 8 * u);
        const QPointF bottom(8 * u, 15 * u), leftBottom(1.5 * u, 11.5 * u), rightBottom(14.5 * u, 11.5 * u);
        painter.setPen(QPen(Qt::black, u * 0.6));
        painter.setBrush(QColor(80, 200, 80));
        painter.drawPolygon(QPolygonF({top, right, centre, left}));
        painter.setBrush(QColor(220, 70, 70));
        painter.drawPolygon(QPolygonF({left, centre, bottom, leftBottom}));
        painter.setBrush(QColor(70, 110, 230));
        painter.drawPolygon(QPolygonF({centre, right, rightBottom, bottom}));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace EditTypeIcons
