#pragma once
// Colour values as chat messages and the settings file carry them: a colour
// name ("clBlack", read in any letter case) or "$" and hexadecimal digits of
// 0x00BBGGRR (blue in the high byte, red in the low byte).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vornel::net {

using ColourValue = std::uint32_t;  // 0x00BBGGRR

inline constexpr ColourValue kBlack = 0x000000;
inline constexpr ColourValue kMaroon = 0x000080;
inline constexpr ColourValue kGreen = 0x008000;
inline constexpr ColourValue kOlive = 0x008080;
inline constexpr ColourValue kNavy = 0x800000;
inline constexpr ColourValue kPurple = 0x800080;
inline constexpr ColourValue kTeal = 0x808000;
inline constexpr ColourValue kGray = 0x808080;
inline constexpr ColourValue kSilver = 0xC0C0C0;
inline constexpr ColourValue kRed = 0x0000FF;
inline constexpr ColourValue kLime = 0x00FF00;
inline constexpr ColourValue kYellow = 0x00FFFF;
inline constexpr ColourValue kBlue = 0xFF0000;
inline constexpr ColourValue kFuchsia = 0xFF00FF;
inline constexpr ColourValue kAqua = 0xFFFF00;
inline constexpr ColourValue kWhite = 0xFFFFFF;

constexpr int redOf(ColourValue c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(ColourValue c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(ColourValue c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr ColourValue colourFromRgb(int red, int green, int blue) {
    return static_cast<ColourValue>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// A colour name in any letter case (the sixteen basic colours, a few aliases
// and the common system colours, which read as fixed RGB values), or "$"
// followed by one to eight hexadecimal digits. A number whose high byte is not
// zero is not a colour value. Nothing else reads, not even surrounding blanks.
std::optional<ColourValue> parseColour(std::string_view text);

// The basic colour's name when the value is one of the sixteen, otherwise "$"
// and eight upper-case hexadecimal digits. parseColour reads it back.
std::string formatColour(ColourValue colour);

// A chat payload is the shown text, "|" and the sender's colour value. The
// text ends at the first "|"; a payload without "|", or whose rest does not
// read as a colour value, shows in red.
struct ChatLine {
    std::string text;
    ColourValue colour = kRed;
};
ChatLine splitChatPayload(std::string_view payload);
std::string makeChatPayload(std::string_view text, ColourValue colour);

}  // namespace vornel::net
