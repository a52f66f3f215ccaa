#pragma once
// Drawing routines behind Artwork, shared by its source files. Each routine
// returns a finished picture; the helpers at the top are the common stock
// (suit shapes, inks, fonts, lettering).

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace vornel::table::drawing {

// --- common stock (artwork.cpp) ---

inline const QColor kRedInk(200, 20, 38);
inline const QColor kBlackInk(24, 24, 30);
inline const QColor kTableColour(244, 245, 214);
inline const QColor kTanColour(101, 83, 50);
inline const QColor kBlueColour(86, 107, 143);
inline const QColor kGold(222, 172, 48);
inline const QColor kDarkGold(150, 104, 20);

bool isRedSuit(int suit);           // Diamonds and Hearts
QColor suitInk(int suit);           // red or black
// The outline of a suit symbol (1 Clubs, 2 Diamonds, 3 Spades, 4 Hearts)
// filling `box`; upside down when `inverted`.
QPainterPath suitPath(int suit, const QRectF& box, bool inverted = false);

// A transparent picture of width x height drawing units, made with the
// current drawing ratio's pixels per unit.
QImage transparentImage(int width, int height);
// While one lives, pictures are made with `ratio` pixels per drawing unit
// (their routines draw in units, unchanged). The user-interface thread
// alone draws pictures.
class DrawingRatio {
public:
    explicit DrawingRatio(qreal ratio);
    ~DrawingRatio();
    DrawingRatio(const DrawingRatio&) = delete;
    DrawingRatio& operator=(const DrawingRatio&) = delete;

private:
    qreal previous_;
};
// A painter with anti-aliasing on for shapes and text.
void prepare(QPainter& painter);

QFont sansFont(int pixelSize, bool bold = true);
QFont serifFont(int pixelSize, bool bold = true);
// Lettering as a shape filling `box` and centred in it; the letters may be
// narrowed to `narrowest` of their width to fill more of the height.
QPainterPath fittedText(const QString& text, const QFont& font, const QRectF& box, qreal narrowest = 1.0);
// Lettering as a shape at its natural size, centred in `box`, squeezed
// horizontally when it would be wider than the box.
QPainterPath centredText(const QString& text, const QFont& font, const QRectF& box);

// --- cards (artwork_cards.cpp, artwork_courts.cpp) ---

QImage drawCardFace(int code);
QImage drawCardBack();
QImage drawSuitCard(int suit);
// A double-headed court portrait (rank 11 jack, 12 queen, 13 king) in `panel`.
void drawCourtPortrait(QPainter& painter, const QRectF& panel, int rank, int suit);

// --- pieces on the board (artwork_markers.cpp) ---

QImage drawDealerMarker();
// A gold "M" coin of `diameter` pixels centred at `centre` on a 25 x 25 picture.
QImage drawMakerMarker(int diameter, QPointF centre);
QImage drawWatchingMarker();
QImage drawTurnMarker();
QImage drawTrickWinnerMarker();
QImage drawWinnersBanner(const QColor& lettering);
QImage drawFan(int count);

// --- buttons, bubbles, logo and background (artwork_buttons.cpp) ---

QImage drawBubble(int index);
QImage drawStartButton();
QImage drawScoreCardButton();
QImage drawLastTrickButton();
QImage drawPhraseButton(int n);
QImage drawChatterButton();
QImage drawLogo();
QImage drawBackgroundTile();

}  // namespace vornel::table::drawing
