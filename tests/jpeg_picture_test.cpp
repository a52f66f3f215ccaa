// The program's own JPEG decoder: the advert as compiled into the program,
// and files that end early, are not pictures at all or claim a huge size.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <variant>

#include "app/jpeg_picture.h"

// The advert resource, from the static library the program is built from.
static QByteArray shippedAdvert() {
    Q_INIT_RESOURCE(lobby_advert);
    QFile file(":/assets/lobby_advert.jpg");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

namespace vornel::app {
namespace {

std::variant<RgbPicture, std::string> decode(const QByteArray& bytes) {
    return decodeJpeg(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
}

struct Rgb {
    int r, g, b;
};
Rgb pixel(const RgbPicture& picture, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * picture.width + x) * 3;
    return {picture.rgb[at], picture.rgb[at + 1], picture.rgb[at + 2]};
}

TEST(JpegPicture, TheShippedAdvertDecodesToItsSizeAndColours) {
    const QByteArray bytes = shippedAdvert();
    ASSERT_FALSE(bytes.isEmpty()) << "the advert is compiled in";
    const auto decoded = decode(bytes);
    ASSERT_TRUE(std::holds_alternative<RgbPicture>(decoded)) << std::get<std::string>(decoded);
    const RgbPicture& picture = std::get<RgbPicture>(decoded);
    EXPECT_EQ(picture.width, 400);
    EXPECT_EQ(picture.height, 339);
    ASSERT_EQ(picture.rgb.size(), 400u * 339u * 3u);
    // Green felt beside the cards, the red button at the bottom: red and
    // blue in their places, not swapped or grey.
    const Rgb felt = pixel(picture, 40, 170);
    EXPECT_GT(felt.g, felt.r + 40);
    EXPECT_GT(felt.g, felt.b + 20);
    const Rgb button = pixel(picture, 110, 301);
    EXPECT_GT(button.r, 150);
    EXPECT_LT(button.g, 90);
    EXPECT_LT(button.b, 90);
}

// The advert with the frame header's height and width set to 5000.
QByteArray claimsToBeHuge(const QByteArray& advert) {
    QByteArray bytes = advert;
    const qsizetype frame = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    if (frame < 0) return {};
    for (qsizetype at : {frame + 5, frame + 7}) {
        bytes[at] = static_cast<char>(5000 >> 8);
        bytes[at + 1] = static_cast<char>(5000 & 0xFF);
    }
    return bytes;
}

struct BadFile {
    const char* name;
    QByteArray (*make)(const QByteArray& advert);
};

inline void PrintTo(const BadFile& c, std::ostream* os) { *os << c.name; }

class BrokenJpeg : public ::testing::TestWithParam<BadFile> {};

TEST_P(BrokenJpeg, IsAClearFailure) {
    const QByteArray bytes = GetParam().make(shippedAdvert());
    const auto decoded = decode(bytes);
    ASSERT_TRUE(std::holds_alternative<std::string>(decoded)) << "decoded " << bytes.size() << " bytes";
    EXPECT_FALSE(std::get<std::string>(decoded).empty());
}

TEST(JpegPicture, AHugePictureIsRefusedBeforeItIsDecoded) {
    const auto decoded = decode(claimsToBeHuge(shippedAdvert()));
    ASSERT_TRUE(std::holds_alternative<std::string>(decoded));
    EXPECT_EQ(std::get<std::string>(decoded), "picture too large");
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenJpeg,
    ::testing::Values(
        BadFile{"Empty", [](const QByteArray&) { return QByteArray(); }},
        BadFile{"CutInTheHeader", [](const QByteArray& a) { return a.left(120); }},
        BadFile{"CutInHalf", [](const QByteArray& a) { return a.left(a.size() / 2); }},
        BadFile{"LastBytesMissing", [](const QByteArray& a) { return a.left(a.size() - 40); }},
        BadFile{"Text", [](const QByteArray&) { return QByteArray("Download The Zelmo7 Lobby Now"); }},
        BadFile{"StartMarkerThenNoise",
                [](const QByteArray&) {
                    QByteArray noise("\xFF\xD8", 2);
                    for (int i = 0; i < 4000; ++i) noise += static_cast<char>((i * 7919 + 13) % 251);
                    return noise;
                }},
        BadFile{"ClaimsToBeHuge", claimsToBeHuge}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vornel::app
