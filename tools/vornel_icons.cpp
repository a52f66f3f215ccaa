// vornel-icons: draws the program's desktop icon from its own card artwork
// (the two Bowers of Spades, fanned) in the usual hicolor sizes, as
// OUTDIR/<N>x<N>/apps/vornel.png.
//
//   vornel-icons OUTDIR

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <cstdio>

#include "engine/cards.h"
#include "table/artwork.h"

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr int kMasterSize = 512;

// Two cards leaning apart on a transparent square, drawn large once.
QImage drawMaster(const vornel::table::Artwork& art) {
    QImage image(kMasterSize, kMasterSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    const int right = vornel::rightBowerFor(vornel::kSpades);
    const int left = vornel::leftBowerFor(vornel::kSpades);
    // A card is 71 x 96: scaled so the fan fills the square.
    const double scale = kMasterSize * 0.7 / vornel::table::Artwork::kCardHeight;
    const QRectF card(-vornel::table::Artwork::kCardWidth / 2.0, -vornel::table::Artwork::kCardHeight / 2.0,
                      vornel::table::Artwork::kCardWidth, vornel::table::Artwork::kCardHeight);
    for (const auto& [code, angle, shift] : {std::tuple{left, -14.0, -0.16}, std::tuple{right, 14.0, 0.16}}) {
        QTransform place;
        place.translate(kMasterSize * (0.5 + shift), kMasterSize * 0.53);
        place.rotate(angle);
        place.scale(scale, scale);
        painter.setTransform(place);
        painter.drawPixmap(card, art.card(code), QRectF(art.card(code).rect()));
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: vornel-icons OUTDIR\n", stderr);
        return 2;
    }
    const vornel::table::Artwork art;
    const QImage master = drawMaster(art);
    for (int size : kSizes) {
        const QString dir = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        const QString file = dir + "/vornel.png";
        const QImage icon = master.scaledToWidth(size, Qt::SmoothTransformation);  // the master is square
        if (!QDir().mkpath(dir) || !icon.save(file, "PNG")) {
            std::fprintf(stderr, "vornel-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
