// Card faces, the card back and the large suit symbol cards, 71 x 96 each.

#include <QLinearGradient>
#include <QRadialGradient>
#include <array>
#include <vector>

#include "table/artwork_drawing.h"

namespace vornel::table::drawing {

namespace {

constexpr int kWidth = 71;
constexpr int kHeight = 96;
const QRectF kOutline(0.5, 0.5, kWidth - 1, kHeight - 1);
constexpr qreal kCornerRadius = 4.5;
const QPointF kCentre(kWidth / 2.0, kHeight / 2.0);

// Card stock: a white face with a soft grey edge.
void drawBlankCard(QPainter& painter) {
    painter.setPen(QPen(QColor(128, 128, 128), 1.0));
    painter.setBrush(QColor(254, 254, 251));
    painter.drawRoundedRect(kOutline, kCornerRadius, kCornerRadius);
}

QString rankLabel(int rank) {
    switch (rank) {
    case 11: return QStringLiteral("J");
    case 12: return QStringLiteral("Q");
    case 13: return QStringLiteral("K");
    case 14: return QStringLiteral("A");
    default: return QString::number(rank);
    }
}

// Rank over a small suit symbol, in the top-left corner; drawn a second time
// turned about the card's centre for the bottom-right corner.
void drawCornerIndex(QPainter& painter, int rank, int suit) {
    const QPainterPath label = centredText(rankLabel(rank), serifFont(13), QRectF(1.5, 3.5, 12, 13));
    const QPainterPath symbol = suitPath(suit, QRectF(3.5, 18.5, 8, 9));
    painter.setPen(Qt::NoPen);
    painter.setBrush(suitInk(suit));
    for (int turn = 0; turn < 2; ++turn) {
        painter.save();
        if (turn == 1) {
            painter.translate(kCentre);
            painter.rotate(180);
            painter.translate(-kCentre);
        }
        painter.drawPath(label);
        painter.drawPath(symbol);
        painter.restore();
    }
}

// Pip centres of the number cards in the classic layouts.
std::vector<QPointF> pipCentres(int rank) {
    constexpr qreal left = 24, middle = kWidth / 2.0, right = 47;
    constexpr qreal top = 15, bottom = 81, centre = kHeight / 2.0;
    constexpr qreal upper = (top + centre) / 2, lower = (centre + bottom) / 2;
    constexpr qreal third = (bottom - top) / 3;
    const std::array<qreal, 4> fourRows{top, top + third, bottom - third, bottom};
    std::vector<QPointF> pips;
    auto pair = [&](qreal y) {
        pips.emplace_back(left, y);
        pips.emplace_back(right, y);
    };
    switch (rank) {
    case 2: pips = {{middle, top}, {middle, bottom}}; break;
    case 3: pips = {{middle, top}, {middle, centre}, {middle, bottom}}; break;
    case 4: pair(top); pair(bottom); break;
    case 5: pair(top); pair(bottom); pips.emplace_back(middle, centre); break;
    case 6: pair(top); pair(centre); pair(bottom); break;
    case 7: pair(top); pair(centre); pair(bottom); pips.emplace_back(middle, upper); break;
    case 8:
        pair(top); pair(centre); pair(bottom);
        pips.emplace_back(middle, upper);
        pips.emplace_back(middle, lower);
        break;
    case 9:
        for (qreal y : fourRows) pair(y);
        pips.emplace_back(middle, centre);
        break;
    case 10:
        for (qreal y : fourRows) pair(y);
        pips.emplace_back(middle, (fourRows[0] + fourRows[1]) / 2);
        pips.emplace_back(middle, (fourRows[2] + fourRows[3]) / 2);
        break;
    default: break;
    }
    return pips;
}

void drawPips(QPainter& painter, int rank, int suit) {
    constexpr qreal pipWidth = 11, pipHeight = 12;
    painter.setPen(Qt::NoPen);
    painter.setBrush(suitInk(suit));
    for (const QPointF& at : pipCentres(rank)) {
        // Pips in the lower half stand on their heads, as on printed cards.
        const bool inverted = at.y() > kCentre.y() + 0.5;
        painter.drawPath(
            suitPath(suit, QRectF(at.x() - pipWidth / 2, at.y() - pipHeight / 2, pipWidth, pipHeight), inverted));
    }
}

void drawAce(QPainter& painter, int suit) {
    const bool spade = suit == 3;
    const QSizeF size = spade ? QSizeF(40, 44) : QSizeF(34, 37);
    const QRectF box(kCentre.x() - size.width() / 2, kCentre.y() - size.height() / 2, size.width(), size.height());
    const QPainterPath symbol = suitPath(suit, box);
    if (spade) {
        // The ace of spades carries an ornamental ring.
        painter.setPen(QPen(QColor(150, 150, 150), 0.8));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(kCentre, 27, 29);
        painter.setPen(QPen(kDarkGold, 1.0, Qt::DotLine));
        painter.drawEllipse(kCentre, 25, 27);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(suitInk(suit));
    painter.drawPath(symbol);
}

}  // namespace

QImage drawCardFace(int code) {
    QImage image = transparentImage(kWidth, kHeight);
    if (code < 1 || code > 52) return image;
    const int suit = (code - 1) / 13 + 1;
    const int rank = code - 13 * (suit - 1) + 1;  // 2..14, ace high
    QPainter painter(&image);
    prepare(painter);
    drawBlankCard(painter);
    if (rank <= 10) drawPips(painter, rank, suit);
    else if (rank <= 13) drawCourtPortrait(painter, QRectF(15.5, 8.5, 40, 79), rank, suit);
    else drawAce(painter, suit);
    drawCornerIndex(painter, rank, suit);
    return image;
}

QImage drawCardBack() {
    QImage image = transparentImage(kWidth, kHeight);
    QPainter painter(&image);
    prepare(painter);
    drawBlankCard(painter);

    const QRectF field(4, 4, kWidth - 8, kHeight - 8);
    QPainterPath fieldPath;
    fieldPath.addRoundedRect(field, 3, 3);
    QLinearGradient navy(field.topLeft(), field.bottomRight());
    navy.setColorAt(0, QColor(36, 56, 122));
    navy.setColorAt(1, QColor(20, 32, 84));
    painter.fillPath(fieldPath, navy);

    // A diagonal lattice with a small diamond at every crossing.
    painter.save();
    painter.setClipPath(fieldPath);
    painter.setPen(QPen(QColor(92, 120, 190), 1.0));
    constexpr qreal step = 8;
    for (qreal d = -kHeight; d < kWidth + kHeight; d += step) {
        painter.drawLine(QPointF(d, 0), QPointF(d + kHeight, kHeight));
        painter.drawLine(QPointF(d, 0), QPointF(d - kHeight, kHeight));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(170, 188, 232));
    // Lines x - y = k * step and x + y = k * step cross where x and y are
    // multiples of step / 2 with an even sum of halves.
    for (int i = 0; i * step / 2 <= kWidth; ++i)
        for (int j = 0; j * step / 2 <= kHeight; ++j)
            if ((i + j) % 2 == 0) {
                const QPointF at(i * step / 2, j * step / 2);
                painter.drawPath(suitPath(2, QRectF(at.x() - 1.6, at.y() - 2.2, 3.2, 4.4)));
            }
    painter.restore();

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(214, 222, 244), 1.0));
    painter.drawRoundedRect(field.adjusted(2.5, 2.5, -2.5, -2.5), 2, 2);

    // A medallion with the game's initial.
    const QRectF medallion(kCentre.x() - 13, kCentre.y() - 16, 26, 32);
    QRadialGradient glow(medallion.center(), 16);
    glow.setColorAt(0, QColor(44, 70, 150));
    glow.setColorAt(1, QColor(22, 34, 88));
    painter.setBrush(glow);
    painter.setPen(QPen(kGold, 1.6));
    painter.drawEllipse(medallion);
    painter.setPen(QPen(QColor(255, 236, 170), 0.7));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(medallion.adjusted(2.5, 2.5, -2.5, -2.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kGold);
    painter.drawPath(centredText(QStringLiteral("V"), serifFont(18), medallion));
    return image;
}

QImage drawSuitCard(int suit) {
    QImage image = transparentImage(kWidth, kHeight);
    QPainter painter(&image);
    prepare(painter);
    drawBlankCard(painter);

    QColor tint = suitInk(suit);
    tint.setAlpha(60);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(tint, 1.0));
    painter.drawRoundedRect(kOutline.adjusted(3.5, 3.5, -3.5, -3.5), 3, 3);
    tint.setAlpha(120);
    painter.setPen(QPen(tint, 1.4));
    painter.drawRoundedRect(kOutline.adjusted(6, 6, -6, -6), 2, 2);

    const QRectF box(kCentre.x() - 24, kCentre.y() - 26, 48, 52);
    const QPainterPath symbol = suitPath(suit, box);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawPath(symbol.translated(1.5, 2));
    QLinearGradient shade(box.topLeft(), box.bottomRight());
    shade.setColorAt(0, suitInk(suit).lighter(isRedSuit(suit) ? 125 : 260));
    shade.setColorAt(1, suitInk(suit));
    painter.setBrush(shade);
    painter.drawPath(symbol);
    return image;
}

}  // namespace vornel::table::drawing
