#include "table/artwork.h"

#include <QFontMetricsF>
#include <QImageReader>
#include <QTransform>
#include <algorithm>

#include "table/artwork_drawing.h"

namespace vornel::table {

namespace drawing {

namespace {
constexpr int kCardHeightUnits = 96;
}  // namespace

bool isRedSuit(int suit) { return suit == 2 || suit == 4; }

QColor suitInk(int suit) { return isRedSuit(suit) ? kRedInk : kBlackInk; }

namespace {

// Each symbol is laid out in a 100 x 100 square and then mapped onto its box.
QPainterPath unitClub() {
    QPainterPath leaves;
    leaves.addEllipse(QPointF(50, 24), 23, 23);
    QPainterPath left, right, middle;
    left.addEllipse(QPointF(25, 58), 23, 23);
    right.addEllipse(QPointF(75, 58), 23, 23);
    middle.addEllipse(QPointF(50, 50), 15, 15);  // closes the gap between the leaves
    QPainterPath stem;
    stem.moveTo(45.5, 50);
    stem.lineTo(54.5, 50);
    stem.cubicTo(54.5, 80, 60, 92, 72, 100);
    stem.lineTo(28, 100);
    stem.cubicTo(40, 92, 45.5, 80, 45.5, 50);
    stem.closeSubpath();
    return leaves.united(left).united(right).united(middle).united(stem);
}

QPainterPath unitDiamond() {
    QPainterPath diamond;
    diamond.moveTo(50, 0);
    diamond.quadTo(68, 27, 90, 50);
    diamond.quadTo(68, 73, 50, 100);
    diamond.quadTo(32, 73, 10, 50);
    diamond.quadTo(32, 27, 50, 0);
    diamond.closeSubpath();
    return diamond;
}

QPainterPath unitSpade() {
    QPainterPath spade;
    spade.moveTo(50, 0);
    spade.cubicTo(60, 16, 100, 34, 100, 60);
    spade.cubicTo(100, 76, 89, 85, 76, 85);
    spade.cubicTo(66, 85, 58, 80, 54, 72);
    spade.cubicTo(55, 86, 60, 94, 72, 100);
    spade.lineTo(28, 100);
    spade.cubicTo(40, 94, 45, 86, 46, 72);
    spade.cubicTo(42, 80, 34, 85, 24, 85);
    spade.cubicTo(11, 85, 0, 76, 0, 60);
    spade.cubicTo(0, 34, 40, 16, 50, 0);
    spade.closeSubpath();
    return spade;
}

QPainterPath unitHeart() {
    QPainterPath heart;
    heart.moveTo(50, 100);
    heart.cubicTo(40, 86, 0, 62, 0, 29);
    heart.cubicTo(0, 11, 12, 0, 27, 0);
    heart.cubicTo(38, 0, 46, 7, 50, 18);
    heart.cubicTo(54, 7, 62, 0, 73, 0);
    heart.cubicTo(88, 0, 100, 11, 100, 29);
    heart.cubicTo(100, 62, 60, 86, 50, 100);
    heart.closeSubpath();
    return heart;
}

const QPainterPath& unitSuit(int suit) {
    static const QPainterPath kShapes[] = {QPainterPath(), unitClub(), unitDiamond(), unitSpade(), unitHeart()};
    return kShapes[suit >= 1 && suit <= 4 ? suit : 0];
}

}  // namespace

QPainterPath suitPath(int suit, const QRectF& box, bool inverted) {
    QTransform transform;
    transform.translate(box.center().x(), box.center().y());
    if (inverted) transform.rotate(180);
    transform.scale(box.width() / 100.0, box.height() / 100.0);
    transform.translate(-50, -50);
    return transform.map(unitSuit(suit));
}

namespace {
// Per thread: the start pictures are drawn on a thread of their own.
thread_local qreal currentRatio = 1.0;
}  // namespace

DrawingRatio::DrawingRatio(qreal ratio) : previous_(currentRatio) { currentRatio = ratio; }

DrawingRatio::~DrawingRatio() { currentRatio = previous_; }

QImage transparentImage(int width, int height) {
    QImage image(std::max(1, qRound(width * currentRatio)), std::max(1, qRound(height * currentRatio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(currentRatio);
    image.fill(Qt::transparent);
    return image;
}

QImage drawFan(int count) {
    QImage image = transparentImage(66 + 5 * count, kCardHeightUnits);
    const QImage back = drawCardBack();
    QPainter painter(&image);
    for (int i = 0; i < count; ++i) painter.drawImage(QPointF(5 * i, 0), back);
    return image;
}

void prepare(QPainter& painter) {
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

namespace {

QFont pixelFont(const char* family, QFont::StyleHint hint, int pixelSize, bool bold) {
    QFont font(QString::fromLatin1(family));
    font.setStyleHint(hint, QFont::PreferAntialias);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

}  // namespace

QFont sansFont(int pixelSize, bool bold) { return pixelFont("DejaVu Sans", QFont::SansSerif, pixelSize, bold); }

QFont serifFont(int pixelSize, bool bold) { return pixelFont("DejaVu Serif", QFont::Serif, pixelSize, bold); }

QPainterPath fittedText(const QString& text, const QFont& font, const QRectF& box, qreal narrowest) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF ink = path.boundingRect();
    if (ink.isEmpty()) return path;
    // As tall as the box allows, as long as the letters keep `narrowest` of their width.
    const qreal scaleY = std::min(box.height() / ink.height(), box.width() / (ink.width() * narrowest));
    const qreal scaleX = std::min(scaleY, box.width() / ink.width());
    QTransform transform;
    transform.translate(box.center().x(), box.center().y());
    transform.scale(scaleX, scaleY);
    transform.translate(-ink.center().x(), -ink.center().y());
    return transform.map(path);
}

QPainterPath centredText(const QString& text, const QFont& font, const QRectF& box) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF ink = path.boundingRect();
    if (ink.isEmpty()) return path;
    // Centre on the capital height so lines with and without descenders sit alike.
    const qreal capHeight = QFontMetricsF(font).capHeight();
    const qreal squeeze = std::min(1.0, box.width() / ink.width());
    QTransform transform;
    transform.translate(box.center().x(), box.center().y() + capHeight / 2);
    transform.scale(squeeze, 1.0);
    transform.translate(-ink.center().x(), 0);
    return transform.map(path);
}

}  // namespace drawing

Artwork::Artwork() : shown_(48 * 1024) {
    using namespace drawing;
    recipes_.resize(kPictureCount);
    recipes_[kCards] = [] { return drawCardBack(); };
    for (int code = 1; code <= 52; ++code) recipes_[kCards + code] = [code] { return drawCardFace(code); };
    for (int suit = 1; suit <= 4; ++suit) recipes_[kCards + 52 + suit] = [suit] { return drawSuitCard(suit); };
    for (int index = 0; index < kBubbleCount; ++index) recipes_[kBubbles + index] = [index] { return drawBubble(index); };
    for (int n = 1; n <= kPhraseButtonCount; ++n) recipes_[kPhrases + n - 1] = [n] { return drawPhraseButton(n); };
    for (int count = 1; count <= 5; ++count) recipes_[kFans + count - 1] = [count] { return drawFan(count); };
    recipes_[kWinners] = [] { return drawWinnersBanner(kTanColour); };
    recipes_[kWinners + 1] = [] { return drawWinnersBanner(kBlueColour); };
    recipes_[kDealer] = [] { return drawDealerMarker(); };
    // The seat's coin keeps to the lower part of its picture, clear of the
    // dealer chip above it and the turn arrow below.
    recipes_[kMaker] = [] { return drawMakerMarker(19, {11.5, 13.5}); };
    recipes_[kMakerTeam] = [] { return drawMakerMarker(19, {12.2, 12.2}); };
    recipes_[kWatching] = [] { return drawWatchingMarker(); };
    recipes_[kTurn] = [] { return drawTurnMarker(); };
    recipes_[kTrickWinner] = [] { return drawTrickWinnerMarker(); };
    recipes_[kStart] = [] { return drawStartButton(); };
    recipes_[kScoreCard] = [] { return drawScoreCardButton(); };
    recipes_[kLastTrick] = [] { return drawLastTrickButton(); };
    recipes_[kLogo] = [] { return drawLogo(); };
    recipes_[kChatter] = [] { return drawChatterButton(); };
    recipes_[kTile] = [] { return drawBackgroundTile(); };
    pictures_.resize(kPictureCount);
    ahead_.resize(kPictureCount);
}

Artwork::~Artwork() {
    if (aheadThread_.joinable()) aheadThread_.join();
}

void Artwork::drawStartPicturesAhead(std::shared_future<void> fontConfiguration,
                                     std::function<void()> meanwhile) const {
    if (aheadThread_.joinable()) {
        if (meanwhile) meanwhile();
        return;
    }
    fontConfiguration_ = std::move(fontConfiguration);
    // In the order they are asked for: the tile (no lettering) by the first
    // side window, the rest when the table is shown.
    std::vector<std::size_t> start{kTile, kScoreCard, kLastTrick, kLogo};
    for (std::size_t n = 0; n < kPhraseButtonCount; ++n) start.push_back(kPhrases + n);
    start.insert(start.end(), {kChatter, kStart});
    std::vector<std::pair<Recipe, std::promise<QImage>>> work;
    for (const std::size_t index : start) {
        if (!pictures_[index].isNull() || ahead_[index].valid()) continue;
        std::promise<QImage> drawing;
        ahead_[index] = drawing.get_future();
        work.emplace_back(recipes_[index], std::move(drawing));
    }
    // Only images and fonts are touched there; pixmaps are made on the
    // user-interface thread. The thread ends with its work, and the fonts
    // it loaded go with it.
    aheadThread_ = std::thread([work = std::move(work), fonts = fontConfiguration_,
                                meanwhile = std::move(meanwhile)]() mutable {
        // The window's menu bar reads its first icon through the image
        // readers, which load every image-format plugin: loaded here, while
        // this thread waits for the fonts, that work is off the window's.
        QImageReader::supportedImageFormats();
        if (meanwhile) meanwhile();
        if (fonts.valid()) fonts.wait();
        for (auto& [recipe, drawing] : work) drawing.set_value(recipe());
    });
}

std::shared_ptr<const Artwork> Artwork::shared() {
    static std::weak_ptr<const Artwork> current;
    std::shared_ptr<const Artwork> artwork = current.lock();
    if (!artwork) {
        artwork = std::make_shared<const Artwork>();
        current = artwork;
    }
    return artwork;
}

const QPixmap& Artwork::drawn(std::size_t index) const {
    QPixmap& picture = pictures_[index];
    if (!picture.isNull()) return picture;
    // A face is about to be drawn: a good time to give back the others no
    // one shows, before this one takes more memory.
    if (index >= kFirstFace && index <= kLastFace) letGoOfUnshownFaces();
    if (ahead_[index].valid()) {
        // Copied, so that nothing is left in the drawing thread's memory,
        // which it gives back when it ends.
        picture = QPixmap::fromImage(ahead_[index].get().copy());
    } else {
        // At its own size, whatever drawing for another size is under way.
        drawing::DrawingRatio ratio(1.0);
        picture = QPixmap::fromImage(recipes_[index]());
    }
    // The tile is repeated, never shown on its own: a larger board scales it.
    if (index != kTile) recipeOf_[picture.cacheKey()] = index;
    return picture;
}

void Artwork::letGoOfUnshownFaces() const {
    for (std::size_t index = kFirstFace; index <= kLastFace; ++index) {
        QPixmap& face = pictures_[index];
        if (face.isNull() || !face.isDetached()) continue;
        recipeOf_.erase(face.cacheKey());
        face = QPixmap();
    }
}

const QPixmap& Artwork::pick(std::size_t first, std::size_t count, int index) const {
    static const QPixmap kNone;
    return index >= 0 && index < static_cast<int>(count) ? drawn(first + static_cast<std::size_t>(index)) : kNone;
}

int Artwork::drawnCount() const {
    return static_cast<int>(std::count_if(pictures_.begin(), pictures_.end(), [](const QPixmap& p) { return !p.isNull(); }));
}

QPixmap Artwork::shownAt(const QPixmap& picture, const QSize& shownSize, qreal devicePixelRatio) const {
    if (picture.isNull() || shownSize.isEmpty()) return {};
    const QSize pixels(qRound(shownSize.width() * devicePixelRatio), qRound(shownSize.height() * devicePixelRatio));
    const auto recipe = recipeOf_.find(picture.cacheKey());
    if (recipe == recipeOf_.end()) {
        QPixmap scaled = picture.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(devicePixelRatio);
        return scaled;
    }
    const quint64 key = (static_cast<quint64>(recipe->second) << 40) | (static_cast<quint64>(pixels.width()) << 20) |
                        static_cast<quint64>(pixels.height());
    if (const QPixmap* cached = shown_.object(key)) return *cached;
    // Units to pixels, taken along the width; a picture's height in pixels
    // then differs from the shown height by a rounding at most.
    const qreal units = picture.deviceIndependentSize().width();
    QImage image;
    {
        drawing::DrawingRatio ratio(pixels.width() / units);
        image = recipes_[recipe->second]();
    }
    auto* drawn = new QPixmap(QPixmap::fromImage(image));
    drawn->setDevicePixelRatio(devicePixelRatio);
    const QPixmap result = *drawn;
    shown_.insert(key, drawn, std::max<qsizetype>(1, static_cast<qsizetype>(image.sizeInBytes() / 1024)));
    return result;
}

const QPixmap& Artwork::card(int index) const { return pick(kCards, kCardCount, index); }

const QPixmap& Artwork::bubble(int index) const { return pick(kBubbles, kBubbleCount, index); }

const QPixmap& Artwork::winnersBanner(int team) const { return pick(kWinners, 2, team - 1); }

const QPixmap& Artwork::phraseButton(int n) const { return pick(kPhrases, kPhraseButtonCount, n - 1); }

const QPixmap& Artwork::fan(int count) const { return pick(kFans, 5, count - 1); }

}  // namespace vornel::table
