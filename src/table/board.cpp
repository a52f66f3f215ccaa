#include "table/board.h"

#include <QChildEvent>
#include <QFont>
#include <QPainter>
#include <cmath>

#include "table/artwork.h"

namespace vornel::table {

namespace {

struct FamilyPlaces {
    const char* family;
    QSize size;
    std::array<QPoint, 4> places;  // bottom, left, top, right
};

const std::array<FamilyPlaces, 7> kPlaces{{
    {"label_playername", {124, 18}, {{{88, 382}, {33, 170}, {148, 24}, {343, 213}}}},
    {"image_cards", {71, 96}, {{{88, 401}, {33, 187}, {149, 41}, {343, 232}}}},
    {"image_played", {71, 96}, {{{172, 235}, {132, 208}, {179, 162}, {220, 201}}}},
    {"image_themaker", {25, 25}, {{{62, 389}, {8, 183}, {123, 37}, {317, 227}}}},
    {"image_winner", {121, 35}, {{{64, 416}, {8, 208}, {120, 64}, {312, 248}}}},
    {"image_eyes", {37, 17}, {{{88, 366}, {42, 155}, {149, 9}, {343, 192}}}},
    {"image_turn", {28, 34}, {{{59, 413}, {4, 208}, {120, 61}, {313, 250}}}},
}};

constexpr std::array<int, 10> kPhraseButtonLeft{0, 496, 523, 550, 577, 603, 630, 657, 684, 711};

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

constexpr const char* kLogicalGeometry = "vornelLogicalGeometry";
constexpr const char* kLogicalFont = "vornelLogicalFont";

}  // namespace

QFont boardFont(int pointSize, bool bold) {
    QFont font("Arial");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

Board::Board(const Artwork& artwork, QWidget* parent)
    : QWidget(parent), artwork_(artwork), motion_(std::make_unique<CardMotion>(*this)) {
    setObjectName("panel_board");
    setFixedSize(kWidth, kHeight);
    // The cloth covers the whole board, so the stage is not painted under it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    createSeatElements();
    createScoreBoard();
    createControls();
    createChat();
    // As many as a hand holds; a sixth, should one ever be asked for, is made then.
    for (int n = 0; n < 5; ++n) madeHandCards_.push_back(makeHandCard(QString(), {90, 400, 71, 96}));
    for (ImageElement* card : madeHandCards_) card->hide();
    spareHandCards_.assign(madeHandCards_.rbegin(), madeHandCards_.rend());  // the first made is taken first
}

QRect Board::placeGeometry(const QString& family, int place) {
    for (const auto& entry : kPlaces)
        if (family.compare(QLatin1String(entry.family), Qt::CaseInsensitive) == 0 && place >= 1 && place <= 4)
            return {entry.places[place - 1], entry.size};
    return {};
}

void Board::createSeatElements() {
    for (int seat = 1; seat <= 4; ++seat) {
        // Before login seat n stands at place n.
        const int place = seat;
        for (const auto& entry : kPlaces) {
            const QString name = QString::fromLatin1(entry.family) + QString::number(seat);
            const QRect geometry(entry.places[place - 1], entry.size);
            if (QLatin1String(entry.family) == QLatin1String("label_playername")) {
                auto* label = new TextElement(name, "<Waiting>", this, geometry);
                label->setFont(boardFont(9, true));
                setTextColour(label, teamColour(place));
                continue;
            }
            auto* image = new ImageElement(name, this, geometry);
            const QString family = QString::fromLatin1(entry.family);
            // Hidden until a game needs them: drawn when first shown.
            const Artwork& art = artwork_;
            if (family == "image_themaker") image->setPixmapWhenShown([&art] { return art.makerMarker(); });
            else if (family == "image_eyes") image->setPixmapWhenShown([&art] { return art.watchingMarker(); });
            else if (family == "image_turn") image->setPixmapWhenShown([&art] { return art.turnMarker(); });
            else if (family == "image_winner")
                image->setPixmapWhenShown([&art, team = seat % 2 == 1 ? 1 : 2] { return art.winnersBanner(team); });
            if (family != "image_cards" && family != "image_played") image->hide();
        }
    }
    // The cards played to a trick overlap; the hidden hands stay behind them.
    for (int seat = 1; seat <= 4; ++seat) seatImage(SeatFamily::Played, seat)->raise();
}

TextElement* Board::addText(const QString& name, const QString& caption, QRect geometry, const QColor& colour,
                            int pointSize, bool bold) {
    auto* label = new TextElement(name, caption, this, geometry);
    label->setFont(boardFont(pointSize, bold));
    setTextColour(label, colour);
    return label;
}

void Board::createScoreBoard() {
    addText("label_playtoscore", "Play to Score: 10", {300, 8, 180, 18}, Qt::black, 10, true);
    auto* tan = addText("label_tanteam", "Tan Team", {310, 31, 120, 18}, kTanColour, 11, true);
    auto* blue = addText("label_blueteam", "Blue Team", {313, 101, 120, 18}, kBlueColour, 11, true);
    for (auto* heading : {tan, blue}) {
        QFont font = heading->font();
        font.setUnderline(true);
        heading->setFont(font);
    }
    for (int team = 1; team <= 2; ++team) {
        const int y = team == 1 ? 68 : 138;
        const QColor colour = team == 1 ? kTanColour : kBlueColour;
        addText(QString("label_trickshead%1").arg(team), "Tricks", {306, y - 18, 50, 16}, colour, 8, true);
        addText(QString("label_scorehead%1").arg(team), "Score", {378, y - 18, 50, 16}, colour, 8, true);
        addText(QString("label_current%1").arg(team), "", {318, y, 40, 22}, colour, 13, true);
        addText(QString("label_score%1").arg(team), "0", {388, y, 40, 22}, colour, 13, true);
        auto* bonus = addText(QString("label_bonus%1").arg(team), "", {436, team == 1 ? 38 : 113, 56, 37}, colour, 1, true);
        QFont font = bonus->font();
        font.setPixelSize(30);
        bonus->setFont(font);
        auto* maker = new ImageElement(QString("image_maker%1").arg(team), this,
                                       {team == 1 ? 282 : 285, team == 1 ? 28 : 98, 25, 25});
        maker->hide();
        maker->setPixmapWhenShown([this] { return artwork_.makerTeamMarker(); });
    }
}

void Board::createControls() {
    addText("label_trumpcaption", "Trump", {17, 20, 71, 16}, Qt::black, 9, true)->setAlignment(Qt::AlignHCenter);
    new ImageElement("image_trump", this, {17, 38, 71, 96});

    auto* dealer = new ImageElement("button_dealer", this, {60, 366, 25, 25});
    dealer->hide();  // until a game has its dealer
    dealer->setPixmapWhenShown([this] { return artwork_.dealerMarker(); });

    auto* status = addText("label_status", "Good Luck!!", {24, 533, 393, 16}, Qt::black, 9, true);
    status->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    addText("label_discard", "Discard a Card", {152, 357, 120, 16}, Qt::black, 9, true)->hide();

    const std::array<QPoint, 5> bubbleAt{{{0, 0}, {149, 358}, {245, 358}, {149, 331}, {245, 331}}};
    for (int n = 1; n <= 4; ++n) {
        bubbles_[n] = new ImageElement(QString("bubble%1").arg(n), this, {bubbleAt[n], QSize(95, 25)});
        bubbles_[n]->setTag(-1);
        bubbles_[n]->setCursor(Qt::PointingHandCursor);
    }

    auto* winner = new ImageElement("image_winner", this, {59, 413, 27, 35});
    winner->hide();
    winner->setPixmapWhenShown([this] { return artwork_.trickWinnerMarker(); });

    auto* start = new ImageElement("button_start", this, {368, 347, 91, 28});
    start->setCursor(Qt::PointingHandCursor);
    start->hide();
    start->setPixmapWhenShown([this] { return artwork_.startButton(); });
    // The pictures on show are also taken when the board is first shown,
    // so that the window is made while they are drawn (drawStartPicturesAhead).
    auto* scoreCard = new ImageElement("button_scorecard", this, {400, 460, 91, 28});
    scoreCard->setPixmapWhenShown([this] { return artwork_.scoreCardButton(); });
    scoreCard->setCursor(Qt::PointingHandCursor);
    auto* lastTrick = new ImageElement("button_lasttrick", this, {400, 492, 91, 28});
    lastTrick->setPixmapWhenShown([this] { return artwork_.lastTrickButton(); });
    lastTrick->setCursor(Qt::PointingHandCursor);

    auto* logo = new ImageElement("Image6", this, {530, 12, 223, 61});
    logo->setPixmapWhenShown([this] { return artwork_.logo(); });
    logo->setCursor(Qt::PointingHandCursor);
}

void Board::createChat() {
    mainchat_ = new QTextEdit(this);
    mainchat_->setObjectName("mainchat");
    mainchat_->setGeometry(496, 104, 270, 401);
    mainchat_->setReadOnly(true);
    mainchat_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mainchat_->setFont(boardFont(8, false));
    QPalette chatPalette = mainchat_->palette();
    chatPalette.setColor(QPalette::Base, Qt::white);
    mainchat_->setPalette(chatPalette);

    mychat_ = new QLineEdit("<Enter Chat Here>", this);
    mychat_->setObjectName("mychat");
    mychat_->setGeometry(496, 506, 270, 22);

    for (int n = 1; n <= 10; ++n) {
        const int left = n <= 9 ? kPhraseButtonLeft[n] : 738;
        phraseButtons_[n] = new ImageElement(QString("b_phrase%1").arg(n), this, {left, 83, 25, 18});
        phraseButtons_[n]->setPixmapWhenShown(
            [this, n] { return n <= 9 ? artwork_.phraseButton(n) : artwork_.chatterButton(); });
        phraseButtons_[n]->setCursor(Qt::PointingHandCursor);
        phraseButtons_[n]->setTag(n);
    }
    phraseButtons_[10]->setToolTip("Chatter Sounds");
}


Board::~Board() {
    // The elements go while the board and its motion still stand: each
    // element holds on to its board, not asking its parent every time.
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

// --- scaling -------------------------------------------------------------

QRect Board::shownRect(const QRectF& logical) const {
    if (scale_ == 1.0 && logical.toRect() == logical) return logical.toRect();
    const QPoint topLeft(qRound(logical.x() * scale_), qRound(logical.y() * scale_));
    return {topLeft, shownSize(logical.size().toSize())};
}

QSize Board::shownSize(const QSize& logical) const {
    return {qRound(logical.width() * scale_), qRound(logical.height() * scale_)};
}

QRect Board::shownGeometry(const BoardLabel& element) const {
    if (const auto moving = motion_->placeNow(element)) return shownRect(*moving);
    return shownRect(QRectF(element.geometry()));
}

void Board::setScale(qreal factor) {
    factor = std::max(1.0, factor);
    const bool changed = factor != scale_;
    scale_ = factor;
    setFixedSize(shownSize(QSize(kWidth, kHeight)));
    if (!changed) return;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        placeChild(child);
        applyFont(child);
    }
    update();
}

bool Board::scalesChild(const QWidget* child) {
    // Pop-up menus and other windows parented to the board keep their own size.
    return !child->isWindow() && !child->property(kUnscaledProperty).toBool();
}

void Board::placeChild(QWidget* child) {
    if (!scalesChild(child)) return;
    if (auto* element = qobject_cast<BoardLabel*>(child)) {
        element->applyGeometry();
        return;
    }
    // Other widgets (the chat box, the entry line) are placed once, when
    // made, at their logical place; the first scaling remembers it.
    QVariant logical = child->property(kLogicalGeometry);
    if (!logical.isValid()) {
        logical = child->geometry();
        child->setProperty(kLogicalGeometry, logical);
    }
    child->setGeometry(shownRect(QRectF(logical.toRect())));
}

void Board::applyFont(QWidget* child) {
    if (!scalesChild(child)) return;
    QVariant logical = child->property(kLogicalFont);
    if (!logical.isValid()) {
        logical = child->font();
        child->setProperty(kLogicalFont, logical);
    }
    QFont font = logical.value<QFont>();
    if (font.pixelSize() > 0) font.setPixelSize(std::max(1, qRound(font.pixelSize() * scale_)));
    else font.setPointSizeF(font.pointSizeF() * scale_);
    scaling_ = true;
    child->setFont(font);
    scaling_ = false;
}

void Board::childEvent(QChildEvent* event) {
    if (event->added() && event->child()->isWidgetType()) {
        event->child()->installEventFilter(this);
        fileByName(event->child());
    } else if (event->removed()) {
        unfile(event->child());
    }
    QWidget::childEvent(event);
}

bool Board::eventFilter(QObject* watched, QEvent* event) {
    // A font set by anyone but the board is a logical font: remember it and
    // show it at the board's factor.
    if (event->type() == QEvent::FontChange && !scaling_ && watched->parent() == this) {
        auto* child = static_cast<QWidget*>(watched);
        if (!scalesChild(child)) return QWidget::eventFilter(watched, event);
        child->setProperty(kLogicalFont, child->font());
        if (scale_ != 1.0) applyFont(child);
    }
    return QWidget::eventFilter(watched, event);
}

void Board::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Tiled from the stage's corner, so the cloth runs on under the board.
    // The tile is opaque and covers everything: nothing is filled first.
    const QPixmap& tile = artwork_.backgroundTile();
    painter.drawTiledPixmap(rect(), tile, QPoint(x() % tile.width(), y() % tile.height()));
}

}  // namespace vornel::table
