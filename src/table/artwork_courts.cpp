// The jack, queen and king: a framed, double-headed portrait in the suit's
// colour and gold. Each half is laid out in a 40 x 40 box (head near the
// top, robe down to the middle line) and drawn twice, the second time turned.

#include <QLinearGradient>
#include <cmath>

#include "table/artwork_drawing.h"

namespace vornel::table::drawing {

namespace {

const QColor kSkin(248, 216, 180);
const QColor kFeatures(84, 52, 36);
const QColor kPanel(253, 247, 226);

QColor robeColour(int suit) { return isRedSuit(suit) ? QColor(192, 28, 44) : QColor(36, 56, 128); }

void drawRobe(QPainter& painter, int rank, int suit) {
    const QColor robe = robeColour(suit);
    QPainterPath body;
    body.moveTo(2, 41);
    body.lineTo(2, 33);
    body.cubicTo(2, 28, 6, 25.5, 12, 25);
    body.lineTo(28, 25);
    body.cubicTo(34, 25.5, 38, 28, 38, 33);
    body.lineTo(38, 41);
    body.closeSubpath();
    QLinearGradient shade(0, 25, 40, 41);
    shade.setColorAt(0, robe.lighter(130));
    shade.setColorAt(1, robe.darker(115));
    painter.setPen(QPen(robe.darker(160), 0.7));
    painter.setBrush(shade);
    painter.drawPath(body);

    // Sleeve seams that suggest arms.
    painter.setPen(QPen(robe.darker(150), 0.6));
    painter.drawLine(QPointF(9, 29), QPointF(11, 41));
    painter.drawLine(QPointF(31, 29), QPointF(29, 41));

    // Gold front band with buttons in the robe's colour.
    painter.setPen(QPen(kDarkGold, 0.5));
    painter.setBrush(kGold);
    painter.drawRect(QRectF(17.6, 28, 4.8, 13));
    painter.setPen(Qt::NoPen);
    painter.setBrush(robe.darker(130));
    for (qreal y : {31.0, 35.0, 39.0}) painter.drawEllipse(QPointF(20, y), 1.0, 1.0);

    if (rank == 13) {
        // Ermine cape over the king's shoulders.
        QPainterPath cape;
        cape.moveTo(3, 31);
        cape.cubicTo(4, 27, 8, 25.2, 13, 25);
        cape.lineTo(27, 25);
        cape.cubicTo(32, 25.2, 36, 27, 37, 31);
        cape.cubicTo(30, 29, 10, 29, 3, 31);
        cape.closeSubpath();
        painter.setPen(QPen(QColor(150, 150, 150), 0.5));
        painter.setBrush(Qt::white);
        painter.drawPath(cape);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kBlackInk);
        for (qreal x : {7.0, 11.5, 28.5, 33.0}) painter.drawEllipse(QPointF(x, 27.8), 0.6, 0.9);
    } else if (rank == 12) {
        // The queen's necklace.
        painter.setPen(Qt::NoPen);
        painter.setBrush(kGold);
        for (qreal x = 14.5; x <= 25.6; x += 1.6) {
            const qreal dx = x - 20;
            painter.drawEllipse(QPointF(x, 26.2 + 0.07 * dx * dx), 0.8, 0.8);
        }
    } else {
        // The jack's gold-striped sleeves.
        painter.setPen(QPen(kGold, 1.0));
        for (qreal y : {31.5, 35.0, 38.5}) {
            painter.drawLine(QPointF(2.6, y), QPointF(9.6, y - 0.5));
            painter.drawLine(QPointF(30.4, y - 0.5), QPointF(37.4, y));
        }
    }

    // White collar.
    QPainterPath collar;
    collar.moveTo(15, 24.6);
    collar.lineTo(20, 30.5);
    collar.lineTo(25, 24.6);
    collar.closeSubpath();
    painter.setPen(QPen(kDarkGold, 0.5));
    painter.setBrush(Qt::white);
    painter.drawPath(collar);
}

void drawHead(QPainter& painter, int rank) {
    const QPointF face(20, 15.5);
    // Hair behind the face: long for the queen, short for the jack.
    painter.setPen(Qt::NoPen);
    if (rank == 12) {
        painter.setBrush(QColor(196, 134, 44));
        QPainterPath hair;
        hair.addRoundedRect(QRectF(12.4, 8, 15.2, 18), 5.5, 5.5);
        painter.drawPath(hair);
    } else if (rank == 11) {
        painter.setBrush(QColor(120, 74, 34));
        painter.drawEllipse(QRectF(13.4, 8.4, 13.2, 12.6));
    }

    painter.setPen(QPen(kFeatures, 0.5));
    painter.setBrush(kSkin);
    painter.drawRect(QRectF(18.3, 20.5, 3.4, 5));  // neck
    painter.drawEllipse(face, 5.4, 6.4);

    if (rank == 13) {
        // Beard and moustache.
        QPainterPath beard;
        beard.moveTo(14.8, 16);
        beard.cubicTo(15, 22, 17.6, 25.2, 20, 25.2);
        beard.cubicTo(22.4, 25.2, 25, 22, 25.2, 16);
        beard.cubicTo(23.5, 19.4, 16.5, 19.4, 14.8, 16);
        beard.closeSubpath();
        painter.setPen(QPen(QColor(140, 130, 120), 0.4));
        painter.setBrush(QColor(236, 232, 222));
        painter.drawPath(beard);
    }

    painter.setPen(Qt::NoPen);
    painter.setBrush(kFeatures);
    painter.drawEllipse(QPointF(18, 14.6), 0.75, 0.75);
    painter.drawEllipse(QPointF(22, 14.6), 0.75, 0.75);
    painter.setPen(QPen(kFeatures, 0.5));
    painter.drawLine(QPointF(16.8, 12.8), QPointF(18.9, 12.6));  // brows
    painter.drawLine(QPointF(21.1, 12.6), QPointF(23.2, 12.8));
    painter.setPen(QPen(QColor(190, 66, 66), 0.8));
    painter.drawLine(QPointF(18.9, 18.6), QPointF(21.1, 18.6));
    if (rank != 13) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(240, 150, 140, 120));
        painter.drawEllipse(QPointF(16.8, 17.2), 1.2, 0.9);
        painter.drawEllipse(QPointF(23.2, 17.2), 1.2, 0.9);
    }
}

void drawHeadwear(QPainter& painter, int rank, int suit) {
    const QColor robe = robeColour(suit);
    if (rank == 13) {
        QPainterPath crown;
        crown.moveTo(13.8, 10.6);
        crown.lineTo(13.2, 2.6);
        crown.lineTo(16.6, 6.2);
        crown.lineTo(20, 1.0);
        crown.lineTo(23.4, 6.2);
        crown.lineTo(26.8, 2.6);
        crown.lineTo(26.2, 10.6);
        crown.closeSubpath();
        painter.setPen(QPen(kDarkGold, 0.6));
        painter.setBrush(kGold);
        painter.drawPath(crown);
        painter.setPen(Qt::NoPen);
        painter.setBrush(robe);
        painter.drawEllipse(QPointF(20, 8.8), 1.3, 1.3);
        painter.drawEllipse(QPointF(16, 9), 0.8, 0.8);
        painter.drawEllipse(QPointF(24, 9), 0.8, 0.8);
        painter.setBrush(Qt::white);
        for (QPointF tip : {QPointF(13.2, 2.6), QPointF(20, 1.0), QPointF(26.8, 2.6)}) painter.drawEllipse(tip, 0.9, 0.9);
    } else if (rank == 12) {
        painter.setPen(QPen(kDarkGold, 0.5));
        painter.setBrush(kGold);
        for (QPointF ball : {QPointF(15.6, 6.6), QPointF(20, 4.6), QPointF(24.4, 6.6)}) painter.drawEllipse(ball, 1.6, 1.6);
        painter.drawRoundedRect(QRectF(14.2, 7.4, 11.6, 2.6), 1.2, 1.2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(robe);
        painter.drawEllipse(QPointF(20, 4.6), 0.8, 0.8);
    } else {
        // A beret in the robe's colour with a gold band and a feather.
        painter.setPen(QPen(kDarkGold, 1.2, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        QPainterPath feather;
        feather.moveTo(24, 7);
        feather.cubicTo(27.5, 5, 29.5, 2.5, 32, 0.6);
        painter.drawPath(feather);
        painter.setPen(QPen(robe.darker(150), 0.6));
        painter.setBrush(robe);
        painter.drawEllipse(QRectF(11.6, 3.2, 17, 7.4));
        painter.setPen(Qt::NoPen);
        painter.setBrush(kGold);
        painter.drawRect(QRectF(13.8, 8.6, 12.4, 1.8));
    }
}

// What each court holds: sceptre, flower, halberd.
void drawEmblem(QPainter& painter, int rank, int suit) {
    const QColor robe = robeColour(suit);
    if (rank == 13) {
        painter.setPen(QPen(kDarkGold, 1.4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(33.5, 9), QPointF(34.2, 30));
        painter.setPen(QPen(kDarkGold, 0.5));
        painter.setBrush(kGold);
        painter.drawEllipse(QPointF(33.4, 7.4), 2.2, 2.2);
        painter.setBrush(robe);
        painter.drawEllipse(QPointF(33.4, 7.4), 0.8, 0.8);
    } else if (rank == 12) {
        painter.setPen(QPen(QColor(60, 130, 60), 1.0));
        painter.drawLine(QPointF(6.2, 30), QPointF(6.6, 19));
        painter.setPen(Qt::NoPen);
        painter.setBrush(robe);
        for (int petal = 0; petal < 5; ++petal) {
            const qreal angle = petal * 72.0 * 3.14159265 / 180.0;
            painter.drawEllipse(QPointF(6.6 + 2.2 * std::sin(angle), 16.8 - 2.2 * std::cos(angle)), 1.4, 1.4);
        }
        painter.setBrush(kGold);
        painter.drawEllipse(QPointF(6.6, 16.8), 1.2, 1.2);
    } else {
        painter.setPen(QPen(QColor(110, 72, 36), 1.2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(34, 7), QPointF(34, 40));
        QPainterPath blade;
        blade.moveTo(34, 1.2);
        blade.lineTo(35.8, 6.4);
        blade.lineTo(34, 8);
        blade.lineTo(32.2, 6.4);
        blade.closeSubpath();
        QPainterPath axe;
        axe.moveTo(34, 8.4);
        axe.cubicTo(36.5, 8.4, 38, 9.5, 38.4, 12.4);
        axe.lineTo(34, 11.4);
        axe.closeSubpath();
        painter.setPen(QPen(QColor(90, 90, 100), 0.5));
        painter.setBrush(QColor(204, 208, 218));
        painter.drawPath(blade.united(axe));
    }
}

void drawHalf(QPainter& painter, int rank, int suit) {
    drawRobe(painter, rank, suit);
    drawEmblem(painter, rank, suit);
    drawHead(painter, rank);
    drawHeadwear(painter, rank, suit);
    painter.setPen(Qt::NoPen);
    painter.setBrush(suitInk(suit));
    painter.drawPath(suitPath(suit, QRectF(2.2, 2.2, 6.4, 7.2)));
}

}  // namespace

void drawCourtPortrait(QPainter& painter, const QRectF& panel, int rank, int suit) {
    const QColor robe = robeColour(suit);
    painter.save();
    painter.setPen(QPen(robe.darker(130), 1.0));
    painter.setBrush(kPanel);
    painter.drawRect(panel);

    const qreal half = panel.height() / 2;
    for (int turn = 0; turn < 2; ++turn) {
        painter.save();
        if (turn == 1) {
            painter.translate(panel.center());
            painter.rotate(180);
            painter.translate(-panel.center());
        }
        const QRectF area(panel.left(), panel.top(), panel.width(), half);
        painter.setClipRect(area.adjusted(0.5, 0.5, -0.5, 0));
        painter.translate(area.topLeft());
        painter.scale(area.width() / 40.0, half / 40.0);
        drawHalf(painter, rank, suit);
        painter.restore();
    }

    painter.setPen(QPen(kDarkGold, 0.8));
    painter.drawLine(QPointF(panel.left(), panel.center().y()), QPointF(panel.right(), panel.center().y()));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kGold, 0.8));
    painter.drawRect(panel.adjusted(1.5, 1.5, -1.5, -1.5));
    painter.setPen(QPen(robe.darker(130), 1.0));
    painter.drawRect(panel);
    painter.restore();
}

}  // namespace vornel::table::drawing
