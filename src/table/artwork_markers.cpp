// Markers that sit on the table beside a seat or a score heading, and the
// WINNERS banners. All on transparent backgrounds.

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>

#include "table/artwork_drawing.h"

namespace vornel::table::drawing {

namespace {

constexpr qreal kPi = 3.14159265358979;

// A soft drop shadow: the shape, offset and faint, drawn under the real one.
void drawShadow(QPainter& painter, const QPainterPath& shape, QPointF offset = {1.0, 1.4}) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 34));
    painter.drawPath(shape.translated(offset + QPointF(0.4, 0.4)));
    painter.setBrush(QColor(0, 0, 0, 46));
    painter.drawPath(shape.translated(offset));
}

QPainterPath star(QPointF centre, qreal outer, qreal inner, int points = 5) {
    QPainterPath path;
    for (int i = 0; i < 2 * points; ++i) {
        const qreal radius = i % 2 == 0 ? outer : inner;
        const qreal angle = -kPi / 2 + i * kPi / points;
        const QPointF at(centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
        if (i == 0) path.moveTo(at);
        else path.lineTo(at);
    }
    path.closeSubpath();
    return path;
}

QLinearGradient goldSheen(qreal left, qreal right) {
    QLinearGradient gold(left, 0, right, 0);
    gold.setColorAt(0, QColor(178, 124, 26));
    gold.setColorAt(0.35, QColor(255, 226, 120));
    gold.setColorAt(0.6, QColor(236, 184, 60));
    gold.setColorAt(1, QColor(160, 108, 18));
    return gold;
}

}  // namespace

// The dealer chip keeps to the upper part of its picture: the dealer's
// picture stands beside the name so that its lower part shares rows with
// the maker's picture, whose coin keeps to its own lower part.
QImage drawDealerMarker() {
    QImage image = transparentImage(25, 25);
    QPainter painter(&image);
    prepare(painter);
    const QPointF centre(12.5, 8.6);
    const qreal radius = 7.9;
    const qreal k = radius / 11.4;  // the chip's proportions at this size
    QPainterPath disc;
    disc.addEllipse(centre, radius, radius);
    drawShadow(painter, disc, {0.5, 0.7});

    QRadialGradient red(centre - QPointF(3, 3) * k, 15 * k);
    red.setColorAt(0, QColor(232, 64, 70));
    red.setColorAt(1, QColor(150, 18, 30));
    painter.setPen(QPen(QColor(110, 10, 20), 0.7));
    painter.setBrush(red);
    painter.drawPath(disc);

    // The white edge spots of a casino chip.
    painter.setPen(QPen(QColor(252, 248, 240), 3.2 * k, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    const qreal ring = 9.6 * k;
    const QRectF ringBox(centre.x() - ring, centre.y() - ring, 2 * ring, 2 * ring);
    for (int spot = 0; spot < 6; ++spot) painter.drawArc(ringBox, (spot * 60 + 20) * 16, 22 * 16);

    const qreal inner = 7.4 * k;
    painter.setPen(QPen(QColor(150, 18, 30), 0.7));
    painter.setBrush(QColor(253, 250, 240));
    painter.drawEllipse(centre, inner, inner);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(150, 18, 30));
    painter.drawPath(centredText(QStringLiteral("D"), sansFont(8),
                                 QRectF(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner)));
    return image;
}

QImage drawMakerMarker(int diameter, QPointF centre) {
    QImage image = transparentImage(25, 25);
    QPainter painter(&image);
    prepare(painter);
    const qreal radius = diameter / 2.0 - 0.8;
    QPainterPath coin;
    coin.addEllipse(centre, radius, radius);
    drawShadow(painter, coin, {0.6, 0.9});

    QRadialGradient gold(centre - QPointF(radius * 0.35, radius * 0.4), radius * 1.5);
    gold.setColorAt(0, QColor(255, 238, 150));
    gold.setColorAt(0.55, QColor(232, 176, 48));
    gold.setColorAt(1, QColor(160, 104, 16));
    painter.setPen(QPen(QColor(122, 80, 10), 0.9));
    painter.setBrush(gold);
    painter.drawPath(coin);
    painter.setPen(QPen(QColor(255, 240, 180, 200), 0.7));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, radius * 0.78, radius * 0.78);

    const int letterSize = diameter >= 23 ? 13 : 10;
    const QRectF letterBox(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    const QPainterPath letter = centredText(QStringLiteral("M"), serifFont(letterSize), letterBox);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 246, 200, 180));
    painter.drawPath(letter.translated(0.5, 0.6));
    painter.setBrush(QColor(110, 64, 6));
    painter.drawPath(letter);
    return image;
}

QImage drawWatchingMarker() {
    QImage image = transparentImage(37, 17);
    QPainter painter(&image);
    prepare(painter);
    // The eyes sit high in their picture: at some seats the name below
    // starts 15 rows under the picture's top.
    for (qreal x : {9.5, 27.5}) {
        const QPointF centre(x, 7.6);
        QPainterPath eye;
        eye.moveTo(centre.x() - 8, centre.y());
        eye.cubicTo(centre.x() - 4.5, centre.y() - 7.6, centre.x() + 4.5, centre.y() - 7.6, centre.x() + 8, centre.y());
        eye.cubicTo(centre.x() + 4.5, centre.y() + 6.6, centre.x() - 4.5, centre.y() + 6.6, centre.x() - 8, centre.y());
        eye.closeSubpath();
        drawShadow(painter, eye, {0.5, 0.8});
        QRadialGradient white(centre, 8);
        white.setColorAt(0, Qt::white);
        white.setColorAt(1, QColor(220, 220, 226));
        painter.setPen(QPen(QColor(60, 40, 30), 1.0));
        painter.setBrush(white);
        painter.drawPath(eye);

        painter.save();
        painter.setClipPath(eye);
        QRadialGradient iris(centre, 4);
        iris.setColorAt(0, QColor(120, 176, 230));
        iris.setColorAt(1, QColor(36, 84, 150));
        painter.setPen(QPen(QColor(24, 50, 90), 0.6));
        painter.setBrush(iris);
        painter.drawEllipse(centre, 4, 4);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(12, 12, 16));
        painter.drawEllipse(centre, 1.8, 1.8);
        painter.setBrush(Qt::white);
        painter.drawEllipse(centre + QPointF(-1.3, -1.4), 0.9, 0.9);
        painter.restore();

        // A heavier upper lid.
        QPainterPath lid;
        lid.moveTo(centre.x() - 8, centre.y());
        lid.cubicTo(centre.x() - 4.5, centre.y() - 7.6, centre.x() + 4.5, centre.y() - 7.6, centre.x() + 8, centre.y());
        painter.setPen(QPen(QColor(50, 32, 24), 1.6, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(lid);
    }
    return image;
}

QImage drawTurnMarker() {
    QImage image = transparentImage(28, 34);
    QPainter painter(&image);
    prepare(painter);
    QPainterPath arrow;
    // Kept clear of the top rows, which the maker's coin above may reach.
    arrow.moveTo(9, 4);
    arrow.lineTo(18, 4);
    arrow.lineTo(18, 16);
    arrow.lineTo(25, 16);
    arrow.lineTo(13.5, 31);
    arrow.lineTo(2, 16);
    arrow.lineTo(9, 16);
    arrow.closeSubpath();
    drawShadow(painter, arrow);

    QLinearGradient fill(2, 0, 25, 0);
    fill.setColorAt(0, QColor(255, 222, 96));
    fill.setColorAt(0.5, QColor(250, 176, 40));
    fill.setColorAt(1, QColor(214, 110, 16));
    painter.setPen(QPen(QColor(120, 56, 8), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPath(arrow);

    painter.setPen(QPen(QColor(255, 248, 210, 210), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath gleam;
    gleam.moveTo(10.6, 15);
    gleam.lineTo(10.6, 5.8);
    gleam.moveTo(5.2, 17.6);
    gleam.lineTo(12.6, 27.4);
    painter.drawPath(gleam);
    return image;
}

QImage drawTrickWinnerMarker() {
    QImage image = transparentImage(27, 35);
    QPainter painter(&image);
    prepare(painter);

    QPainterPath cup;
    cup.moveTo(6, 4);
    cup.lineTo(21, 4);
    cup.cubicTo(21, 13, 18.5, 18, 13.5, 19.5);
    cup.cubicTo(8.5, 18, 6, 13, 6, 4);
    cup.closeSubpath();
    QPainterPath handles;
    handles.moveTo(6.4, 6);
    handles.cubicTo(0.6, 5.5, 0.8, 13.5, 8, 14.6);
    handles.moveTo(20.6, 6);
    handles.cubicTo(26.4, 5.5, 26.2, 13.5, 19, 14.6);
    QPainterPath stand;
    stand.addRect(QRectF(12.1, 19, 2.8, 4.5));
    stand.addEllipse(QRectF(10.4, 22.2, 6.2, 2.6));
    stand.moveTo(8.5, 25);
    stand.lineTo(18.5, 25);
    stand.lineTo(20, 28.5);
    stand.lineTo(7, 28.5);
    stand.closeSubpath();
    QPainterPath plinth;
    plinth.addRoundedRect(QRectF(4.5, 28.5, 18, 5.2), 1, 1);

    QPainterPath whole = cup.united(stand).united(plinth);
    drawShadow(painter, whole);
    QPainterPathStroker stroker;
    stroker.setWidth(1.8);
    drawShadow(painter, stroker.createStroke(handles));

    const QPen outline(QColor(120, 78, 8), 0.7);
    painter.setPen(QPen(QColor(120, 78, 8), 2.6, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(handles);
    painter.setPen(QPen(QColor(242, 194, 72), 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(handles);

    painter.setPen(outline);
    painter.setBrush(goldSheen(6, 21));
    painter.drawPath(cup);
    painter.drawPath(stand);
    painter.setBrush(QColor(255, 236, 150));
    painter.drawEllipse(QRectF(6, 2.6, 15, 2.8));

    QLinearGradient wood(0, 28.5, 0, 33.7);
    wood.setColorAt(0, QColor(140, 86, 42));
    wood.setColorAt(1, QColor(84, 48, 20));
    painter.setPen(QPen(QColor(60, 32, 12), 0.7));
    painter.setBrush(wood);
    painter.drawPath(plinth);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(236, 190, 76));
    painter.drawRect(QRectF(10, 30, 7, 2.2));

    painter.setBrush(QColor(255, 252, 228));
    painter.drawPath(star(QPointF(13.5, 10.4), 3.6, 1.5));
    return image;
}

QImage drawWinnersBanner(const QColor& lettering) {
    QImage image = transparentImage(121, 35);
    QPainter painter(&image);
    prepare(painter);
    // Clear of the picture's edges: a seat's maker coin may stand just above
    // it, and the trick's cards just beside it.
    const QRectF box(18, 5, 85, 25);
    const QPainterPath word = fittedText(QStringLiteral("WINNERS"), serifFont(40), box, 0.8);
    const QRectF ink = word.boundingRect();

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawPath(word.translated(1.4, 1.8));
    // A light halo keeps the lettering readable on any part of the table.
    painter.setPen(QPen(QColor(255, 252, 236), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(word);

    QLinearGradient fill(0, ink.top(), 0, ink.bottom());
    fill.setColorAt(0, lettering.lighter(175));
    fill.setColorAt(0.45, lettering.lighter(115));
    fill.setColorAt(1, lettering.darker(135));
    painter.setPen(QPen(lettering.darker(190), 0.8));
    painter.setBrush(fill);
    painter.drawPath(word);

    for (qreal x : {11.0, 110.0}) {
        const QPainterPath ornament = star(QPointF(x, ink.center().y()), 5.4, 2.3);
        painter.setPen(QPen(QColor(120, 78, 8), 0.7));
        painter.setBrush(goldSheen(x - 5.4, x + 5.4));
        painter.drawPath(ornament);
    }
    return image;
}

}  // namespace vornel::table::drawing
