#include "app/last_trick_window.h"

#include <QEvent>
#include <QPainter>

#include "table/artwork.h"
#include "table/board.h"
#include "table/table_window.h"

namespace vornel::app {

namespace {

constexpr int kFrameLeft[5] = {0, 10, 90, 170, 250};
constexpr int kNameLeft[5] = {0, 1, 81, 161, 241};
const QRect kTrumpFrame{342, 19, 52, 72};

QLabel* label(const char* name, const QString& caption, QRect geometry, QWidget* parent,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* l = new QLabel(caption, parent);
    if (name != nullptr) l->setObjectName(name);
    l->setGeometry(geometry);
    l->setAlignment(alignment);
    return l;
}

void setBold(QLabel* l) {
    QFont font = l->font();
    font.setBold(true);
    l->setFont(font);
}

}  // namespace

LastTrickWindow::LastTrickWindow(table::TableWindow& table)
    : SideWindow("Tlasttrick", "Last Trick", {434, 120}, table.artwork().backgroundTile(), &table),
      artwork_(table.artwork()),
      board_(table.board()) {
    setStayOnTop(true);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    for (int seat = 1; seat <= 4; ++seat) {
        played_[seat] = label(nullptr, QString(), {{kFrameLeft[seat], 2}, kFrameSize}, this, Qt::AlignLeft | Qt::AlignTop);
        played_[seat]->setObjectName(QString("played%1").arg(seat));
        players_[seat] = label(nullptr, "<Waiting>", {kNameLeft[seat], 81, 73, 16}, this, Qt::AlignCenter);
        players_[seat]->setObjectName(QString("player%1").arg(seat));
        setBold(players_[seat]);
        QPalette palette = players_[seat]->palette();
        palette.setColor(QPalette::WindowText, table::Board::teamColour(seat));
        players_[seat]->setPalette(palette);
    }
    label(nullptr, "Lead Off:", {318, 4, 52, 14}, this);  // 318..370, then the suit
    ledSuit_ = label("label_ledoff", "None", {370, 4, 62, 14}, this);
    setBold(ledSuit_);
    trump_ = label("trumpcard", QString(), kTrumpFrame, this, Qt::AlignLeft | Qt::AlignTop);
    label(nullptr, "Trump", {332, 93, 73, 14}, this, Qt::AlignCenter);
    winner_ = label("label_winner", "Winner", {0, 106, 434, 14}, this, Qt::AlignCenter);
    setBold(winner_);
}

void LastTrickWindow::draw(QLabel* frame, int image) {
    frame->clear();
    const QPixmap& picture = artwork_.card(image);
    // The frame keeps its size: only the card's top-left corner shows.
    if (!picture.isNull()) frame->setPixmap(picture.copy(QRect({0, 0}, kFrameSize)));
}

void LastTrickWindow::showLastTrick(const table::LastTrick& trick) {
    winner_->setText(trick.winnerText);
    for (int seat = 1; seat <= 4; ++seat) {
        played_[seat]->clear();
        if (trick.cards[seat] != 0) draw(played_[seat], trick.cards[seat]);
    }
    ledSuit_->setText(trick.ledSuitText);
    draw(trump_, trick.trumpImage);
}

void LastTrickWindow::clearTrumpCard() { trump_->clear(); }

void LastTrickWindow::refreshNames() {
    for (int seat = 1; seat <= 4; ++seat)
        if (const table::TextElement* name = board_.nameLabel(seat)) players_[seat]->setText(name->text());
}

void LastTrickWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) refreshNames();
    SideWindow::changeEvent(event);
}

void LastTrickWindow::paintEvent(QPaintEvent* event) {
    SideWindow::paintEvent(event);
    // A thin outline shows where a card goes while the frame is empty.
    QPainter painter(this);
    painter.setPen(QColor(160, 160, 140));
    for (int seat = 1; seat <= 4; ++seat) painter.drawRect(played_[seat]->geometry().adjusted(-1, -1, 0, 0));
    painter.drawRect(kTrumpFrame.adjusted(-1, -1, 0, 0));
}

}  // namespace vornel::app
