// The choice bubbles, the picture buttons, the logo and the background tile.

#include <QFontMetricsF>
#include <QLinearGradient>
#include <algorithm>
#include <cstdint>

#include "table/artwork_drawing.h"

namespace vornel::table::drawing {

namespace {

const QColor kBrownInk(62, 44, 18);

void drawSoftShadow(QPainter& painter, const QPainterPath& shape, QPointF offset) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 30));
    painter.drawPath(shape.translated(offset + QPointF(0, 0.6)));
    painter.setBrush(QColor(0, 0, 0, 44));
    painter.drawPath(shape.translated(offset));
}

// One line centred in `area`; a line too long for it is narrowed a little
// and, if it still does not fit, set smaller.
void drawSqueezedText(QPainter& painter, const QRectF& area, const QString& text, QFont font, const QColor& ink) {
    constexpr qreal narrowest = 0.84;
    qreal width = QFontMetricsF(font).horizontalAdvance(text);
    while (width * narrowest > area.width() && font.pixelSize() > 8) {
        font.setPixelSize(font.pixelSize() - 1);
        width = QFontMetricsF(font).horizontalAdvance(text);
    }
    const qreal squeeze = std::min(1.0, area.width() / width);
    painter.save();
    painter.translate(area.center());
    painter.scale(squeeze, 1.0);
    painter.setFont(font);
    painter.setPen(ink);
    const QRectF box(-width / 2 - 1, -area.height() / 2, width + 2, area.height());
    painter.drawText(box, Qt::AlignCenter, text);
    painter.restore();
}

// Cream paper with a rim: the look shared by the bubbles and the small buttons.
QLinearGradient creamFill(const QRectF& shape) {
    QLinearGradient fill(0, shape.top(), 0, shape.bottom());
    fill.setColorAt(0, QColor(255, 254, 246));
    fill.setColorAt(0.5, QColor(247, 238, 206));
    fill.setColorAt(1, QColor(222, 204, 156));
    return fill;
}

const QPen kCreamRim(QColor(122, 94, 48), 1.0);

QImage drawPanelButton(const QString& text, const QColor& base) {
    QImage image = transparentImage(91, 28);
    QPainter painter(&image);
    prepare(painter);
    const QRectF shape(1, 1, 88, 24.5);
    QPainterPath body;
    body.addRoundedRect(shape, 6, 6);
    drawSoftShadow(painter, body, {1.0, 1.4});

    QLinearGradient fill(0, shape.top(), 0, shape.bottom());
    fill.setColorAt(0, base.lighter(150));
    fill.setColorAt(0.48, base.lighter(112));
    fill.setColorAt(0.52, base);
    fill.setColorAt(1, base.darker(125));
    painter.setPen(QPen(base.darker(185), 1.0));
    painter.setBrush(fill);
    painter.drawPath(body);
    painter.setPen(QPen(QColor(255, 255, 255, 110), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(shape.adjusted(1.2, 1.2, -1.2, -1.2), 5, 5);

    const QRectF inner = shape.adjusted(7, 0, -7, 0);
    drawSqueezedText(painter, inner.translated(0.8, 0.9), text, sansFont(13), base.darker(240));
    drawSqueezedText(painter, inner, text, sansFont(13), QColor(255, 253, 240));
    return image;
}

QImage drawSmallButton() {
    QImage image = transparentImage(25, 18);
    QPainter painter(&image);
    prepare(painter);
    const QRectF shape(0.5, 0.5, 24, 17);
    painter.setPen(kCreamRim);
    painter.setBrush(creamFill(shape));
    painter.drawRoundedRect(shape, 3.5, 3.5);
    return image;
}

std::uint32_t pixelHash(int x, int y) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

// -1..1, the same for the same arguments on every machine.
qreal noise(int x, int y) { return (pixelHash(x, y) % 2001) / 1000.0 - 1.0; }

const char* const kBubbleTexts[] = {"", "Order it Up", "Pass", "CLUBS", "DIAMONDS", "SPADES", "HEARTS", "Alone",
                                    "With Partner"};
const QRectF kBubbleShape(1, 1, 92, 21.5);
// The room for the line inside the rounded ends, and the suit symbol before a suit's name.
const QRectF kBubbleLine = kBubbleShape.adjusted(8, 0, -8, 0);
constexpr qreal kSymbolWidth = 10, kSymbolGap = 3;

qreal bubbleLineRoom(int index) {
    const bool suit = index >= 3 && index <= 6;
    return kBubbleLine.width() - (suit ? kSymbolWidth + kSymbolGap : 0);
}

// Every bubble is lettered alike: one font size and one narrowing of the
// letters, the largest size at which the longest line fits when narrowed
// to no less than 90 %. Measured in drawing units, so the choice is the
// same at every size the bubbles are drawn for.
struct BubbleLettering {
    QFont font;
    qreal narrowing = 1.0;
};

BubbleLettering bubbleLettering() {
    BubbleLettering lettering;
    for (int pixels = 12; pixels >= 8; --pixels) {
        lettering.font = sansFont(pixels);
        const QFontMetricsF metrics(lettering.font);
        lettering.narrowing = 1.0;
        for (int index = 1; index <= 8; ++index) {
            const qreal width = metrics.horizontalAdvance(QString::fromLatin1(kBubbleTexts[index]));
            lettering.narrowing = std::min(lettering.narrowing, bubbleLineRoom(index) / width);
        }
        if (lettering.narrowing >= 0.9) break;
    }
    return lettering;
}

// One line centred in `area`, its letters narrowed as the lettering says.
void drawNarrowedText(QPainter& painter, const QRectF& area, const QString& text, const BubbleLettering& lettering,
                      const QColor& ink) {
    const qreal width = QFontMetricsF(lettering.font).horizontalAdvance(text);
    painter.save();
    painter.translate(area.center());
    painter.scale(lettering.narrowing, 1.0);
    painter.setFont(lettering.font);
    painter.setPen(ink);
    painter.drawText(QRectF(-width / 2 - 1, -area.height() / 2, width + 2, area.height()), Qt::AlignCenter, text);
    painter.restore();
}

}  // namespace

QImage drawBubble(int index) {
    QImage image = transparentImage(95, 25);
    if (index < 1 || index > 8) return image;
    QPainter painter(&image);
    prepare(painter);
    const QRectF& shape = kBubbleShape;
    QPainterPath body;
    body.addRoundedRect(shape, shape.height() / 2, shape.height() / 2);
    drawSoftShadow(painter, body, {0.8, 1.5});
    painter.setPen(kCreamRim);
    painter.setBrush(creamFill(shape));
    painter.drawPath(body);
    painter.setPen(QPen(QColor(255, 255, 255, 150), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(shape.adjusted(1.5, 1.2, -1.5, -1.2), 9.5, 9.5);

    const QString text = QString::fromLatin1(kBubbleTexts[index]);
    const BubbleLettering lettering = bubbleLettering();
    if (index < 3 || index > 6) {
        drawNarrowedText(painter, kBubbleLine, text, lettering, kBrownInk);
        return image;
    }
    // A suit: its symbol, then its name, centred together, in the suit's ink.
    const int suit = index - 2;
    const qreal textWidth = QFontMetricsF(lettering.font).horizontalAdvance(text) * lettering.narrowing;
    const qreal left = shape.center().x() - (kSymbolWidth + kSymbolGap + textWidth) / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(suitInk(suit));
    painter.drawPath(suitPath(suit, QRectF(left, shape.center().y() - 5.5, kSymbolWidth, 11)));
    drawNarrowedText(painter, QRectF(left + kSymbolWidth + kSymbolGap, shape.top(), textWidth, shape.height()), text,
                     lettering, suitInk(suit));
    return image;
}

QImage drawStartButton() { return drawPanelButton(QStringLiteral("Start Game"), QColor(52, 140, 58)); }

QImage drawScoreCardButton() { return drawPanelButton(QStringLiteral("Score Card"), QColor(150, 112, 58)); }

QImage drawLastTrickButton() { return drawPanelButton(QStringLiteral("Last Trick"), kBlueColour); }

QImage drawPhraseButton(int n) {
    QImage image = drawSmallButton();
    QPainter painter(&image);
    prepare(painter);
    painter.setFont(sansFont(10));
    painter.setPen(kBrownInk);
    painter.drawText(QRectF(0, 0, 25, 18), Qt::AlignCenter, QStringLiteral("P%1").arg(n));
    return image;
}

QImage drawChatterButton() {
    QImage image = drawSmallButton();
    QPainter painter(&image);
    prepare(painter);
    // Two beamed quavers.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBrownInk);
    for (QPointF head : {QPointF(8.6, 13.2), QPointF(16.4, 12.0)}) {
        painter.save();
        painter.translate(head);
        painter.rotate(-22);
        painter.drawEllipse(QPointF(0, 0), 2.5, 1.8);
        painter.restore();
    }
    painter.setPen(QPen(kBrownInk, 1.0));
    painter.drawLine(QPointF(10.7, 12.6), QPointF(10.7, 4.2));
    painter.drawLine(QPointF(18.5, 11.4), QPointF(18.5, 3.0));
    QPainterPath beam;
    beam.moveTo(10.2, 3.9);
    beam.lineTo(19.0, 2.6);
    beam.lineTo(19.0, 5.0);
    beam.lineTo(10.2, 6.3);
    beam.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.drawPath(beam);
    return image;
}

QImage drawLogo() {
    QImage image = transparentImage(223, 61);
    QPainter painter(&image);
    prepare(painter);

    // A fan of three cards at the left, each showing its suit in the corner
    // and the front one a large symbol.
    const QPointF pivot(31, 62);
    const int suits[] = {4, 1, 3};
    const qreal angles[] = {-24, -4, 16};
    for (int i = 0; i < 3; ++i) {
        painter.save();
        painter.translate(pivot);
        painter.rotate(angles[i]);
        const QRectF card(-13, -54, 27, 37);
        QPainterPath outline;
        outline.addRoundedRect(card, 2.5, 2.5);
        drawSoftShadow(painter, outline, {1.0, 1.0});
        painter.setPen(QPen(QColor(110, 110, 110), 0.8));
        painter.setBrush(QColor(254, 254, 250));
        painter.drawPath(outline);
        painter.setPen(Qt::NoPen);
        painter.setBrush(suitInk(suits[i]));
        painter.drawPath(centredText(QStringLiteral("A"), serifFont(8), QRectF(card.left() + 1.5, card.top() + 1.5, 6, 7)));
        painter.drawPath(suitPath(suits[i], QRectF(card.left() + 2, card.top() + 9.5, 5, 5.5)));
        if (i == 2) painter.drawPath(suitPath(suits[i], QRectF(card.center().x() - 7, card.center().y() - 7, 14, 15)));
        painter.restore();
    }

    QFont font = serifFont(46);
    QPainterPath word;
    word.addText(0, 0, font, QStringLiteral("Vornel"));
    word = QTransform().shear(-0.16, 0).map(word);
    const QRectF ink = word.boundingRect();
    const QRectF box(64, 3, 154, 46);
    const qreal scale = std::min(box.width() / ink.width(), box.height() / ink.height());
    QTransform place;
    place.translate(box.center().x(), box.center().y());
    place.scale(scale, scale);
    place.translate(-ink.center().x(), -ink.center().y());
    word = place.map(word);
    const QRectF placed = word.boundingRect();

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawPath(word.translated(2, 2.2));
    painter.setPen(QPen(QColor(255, 250, 230), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(word);
    QLinearGradient gold(0, placed.top(), 0, placed.bottom());
    gold.setColorAt(0, QColor(248, 214, 120));
    gold.setColorAt(0.45, QColor(196, 138, 44));
    gold.setColorAt(1, QColor(104, 66, 20));
    painter.setPen(QPen(QColor(66, 40, 12), 1.1));
    painter.setBrush(gold);
    painter.drawPath(word);

    // A blue flourish under the name.
    QPainterPath swoosh;
    swoosh.moveTo(70, 56);
    swoosh.cubicTo(110, 50, 170, 60, 214, 52);
    painter.setPen(QPen(kBlueColour, 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(swoosh);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kRedInk);
    painter.drawPath(suitPath(2, QRectF(211, 48, 7, 8)));
    return image;
}

QImage drawBackgroundTile() {
    constexpr int size = 64;
    QImage image(size, size, QImage::Format_RGB32);
    // Fine grain plus faint threads along rows and columns, like linen. Every
    // term repeats with the tile, so the tiles meet without a seam.
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const qreal grain = 1.6 * noise(x, y);
            const qreal threads = 1.4 * noise(x, 1000) + 1.4 * noise(2000, y);
            const qreal twill = ((x + 2 * y) % 16 == 0) ? -1.2 : 0.0;
            const qreal shift = grain + threads + twill;
            auto channel = [&](int base) { return std::clamp(static_cast<int>(base + shift + 0.5), 0, 255); };
            image.setPixel(x, y, qRgb(channel(kTableColour.red()), channel(kTableColour.green()),
                                      channel(kTableColour.blue())));
        }
    return image;
}

}  // namespace vornel::table::drawing
