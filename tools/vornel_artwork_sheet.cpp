// Renders every picture of the table window onto one contact sheet (PNG),
// enlarged, on the table's own background, for looking them over.
//
//   vornel-artwork-sheet [output.png] [scale]     (defaults: artwork_sheet.png, 2)

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <vector>

#include "table/artwork.h"

namespace {

using vornel::table::Artwork;

class Sheet {
public:
    explicit Sheet(const Artwork& art) : art_(art), image_(1030, 1040, QImage::Format_ARGB32_Premultiplied) {
        QPainter painter(&image_);
        painter.fillRect(image_.rect(), QBrush(art.backgroundTile()));
    }

    void heading(const QString& text) {
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::TextAntialiasing);
        QFont font("DejaVu Sans");
        font.setPixelSize(12);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(QColor(101, 83, 50));
        painter.drawText(QPoint(kMargin, y_ + 12), text);
        y_ += 18;
    }

    // One row of pictures, left to right, `gap` pixels apart.
    void row(const std::vector<QPixmap>& pictures, int gap = 6) {
        QPainter painter(&image_);
        int x = kMargin, height = 0;
        for (const QPixmap& picture : pictures) {
            painter.drawPixmap(x, y_, picture);
            x += picture.width() + gap;
            height = std::max(height, picture.height());
        }
        y_ += height + 10;
    }

    void tiles(int across, int down) {
        QPainter painter(&image_);
        const QPixmap& tile = art_.backgroundTile();
        const QRect area(kMargin, y_, tile.width() * across, tile.height() * down);
        painter.drawTiledPixmap(area, tile);
        painter.setPen(QColor(101, 83, 50));
        painter.drawRect(area.adjusted(-1, -1, 0, 0));
        y_ += area.height() + 10;
    }

    QImage finished(int scale) const {
        const QImage used = image_.copy(0, 0, image_.width(), std::min(image_.height(), y_ + kMargin));
        return used.scaled(used.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }

private:
    static constexpr int kMargin = 12;
    const Artwork& art_;
    QImage image_;
    int y_ = kMargin;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("artwork_sheet.png");
    const int scale = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2;

    const Artwork art;
    Sheet sheet(art);
    sheet.heading("Card back and suit symbols");
    sheet.row({art.card(0), art.card(53), art.card(54), art.card(55), art.card(56)});
    const char* const suitNames[] = {"Clubs", "Diamonds", "Spades", "Hearts"};
    for (int suit = 1; suit <= 4; ++suit) {
        sheet.heading(QString("%1, two to ace (nine to ace in play)").arg(suitNames[suit - 1]));
        std::vector<QPixmap> faces;
        for (int rank = 1; rank <= 13; ++rank) faces.push_back(art.card(13 * (suit - 1) + rank));
        sheet.row(faces);
    }
    sheet.heading("Bubbles 1-8");
    std::vector<QPixmap> bubbles;
    for (int i = 1; i <= 8; ++i) bubbles.push_back(art.bubble(i));
    sheet.row(bubbles, 4);
    sheet.heading("Dealer, maker, team maker, watching, turn, trick winner");
    sheet.row({art.dealerMarker(), art.makerMarker(), art.makerTeamMarker(), art.watchingMarker(), art.turnMarker(),
               art.trickWinnerMarker()},
              14);
    sheet.heading("WINNERS banners, buttons");
    sheet.row({art.winnersBanner(1), art.winnersBanner(2), art.startButton(), art.scoreCardButton(),
               art.lastTrickButton()},
              12);
    sheet.heading("Phrase buttons, chatter button, logo");
    std::vector<QPixmap> small;
    for (int n = 1; n <= 9; ++n) small.push_back(art.phraseButton(n));
    small.push_back(art.chatterButton());
    small.push_back(art.logo());
    sheet.row(small, 3);
    sheet.heading("Background tile, 4 x 2");
    sheet.tiles(4, 2);

    if (!sheet.finished(scale).save(output)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s\n", qPrintable(output));
    return 0;
}
