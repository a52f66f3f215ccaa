#include "net/colour_value.h"

#include <array>
#include <cstdio>

namespace vornel::net {
namespace {

struct NamedColour {
    std::string_view name;
    ColourValue value;
};

// The sixteen basic colours, in the order the writer looks them up.
constexpr std::array<NamedColour, 16> kBasicColours{{
    {"clBlack", kBlack},     {"clMaroon", kMaroon}, {"clGreen", kGreen}, {"clOlive", kOlive},
    {"clNavy", kNavy},       {"clPurple", kPurple}, {"clTeal", kTeal},   {"clGray", kGray},
    {"clSilver", kSilver},   {"clRed", kRed},       {"clLime", kLime},   {"clYellow", kYellow},
    {"clBlue", kBlue},       {"clFuchsia", kFuchsia}, {"clAqua", kAqua}, {"clWhite", kWhite},
}};

// Names that are only read. The system colours follow the desktop theme on
// the platform they come from; here they stand for that theme's usual
// defaults so that a file or message naming one still shows something close.
constexpr std::array<NamedColour, 36> kReadOnlyColours{{
    {"clLtGray", kSilver},
    {"clDkGray", kGray},
    {"clMoneyGreen", colourFromRgb(192, 220, 192)},
    {"clSkyBlue", colourFromRgb(166, 202, 240)},
    {"clCream", colourFromRgb(255, 251, 240)},
    {"clMedGray", colourFromRgb(160, 160, 164)},
    {"clScrollBar", colourFromRgb(200, 200, 200)},
    {"clBackground", colourFromRgb(0, 0, 0)},
    {"clActiveCaption", colourFromRgb(153, 180, 209)},
    {"clInactiveCaption", colourFromRgb(191, 205, 219)},
    {"clMenu", colourFromRgb(240, 240, 240)},
    {"clWindow", colourFromRgb(255, 255, 255)},
    {"clWindowFrame", colourFromRgb(100, 100, 100)},
    {"clMenuText", colourFromRgb(0, 0, 0)},
    {"clWindowText", colourFromRgb(0, 0, 0)},
    {"clCaptionText", colourFromRgb(0, 0, 0)},
    {"clActiveBorder", colourFromRgb(180, 180, 180)},
    {"clInactiveBorder", colourFromRgb(244, 247, 252)},
    {"clAppWorkSpace", colourFromRgb(171, 171, 171)},
    {"clHighlight", colourFromRgb(0, 120, 215)},
    {"clHighlightText", colourFromRgb(255, 255, 255)},
    {"clBtnFace", colourFromRgb(240, 240, 240)},
    {"clBtnShadow", colourFromRgb(160, 160, 160)},
    {"clGrayText", colourFromRgb(109, 109, 109)},
    {"clBtnText", colourFromRgb(0, 0, 0)},
    {"clInactiveCaptionText", colourFromRgb(0, 0, 0)},
    {"clBtnHighlight", colourFromRgb(255, 255, 255)},
    {"cl3DDkShadow", colourFromRgb(105, 105, 105)},
    {"cl3DLight", colourFromRgb(227, 227, 227)},
    {"clInfoText", colourFromRgb(0, 0, 0)},
    {"clInfoBk", colourFromRgb(255, 255, 225)},
    {"clHotLight", colourFromRgb(0, 102, 204)},
    {"clGradientActiveCaption", colourFromRgb(185, 209, 234)},
    {"clGradientInactiveCaption", colourFromRgb(215, 228, 242)},
    {"clMenuHighlight", colourFromRgb(51, 153, 255)},
    {"clMenuBar", colourFromRgb(240, 240, 240)},
}};

constexpr char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = lowerAscii(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<ColourValue> parseHex(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : digits) {
        const int d = hexDigit(c);
        if (d < 0) return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    // The high byte marks system or palette colours elsewhere; a plain RGB
    // value never has it.
    if (value > 0x00FFFFFFu) return std::nullopt;
    return value;
}

}  // namespace

std::optional<ColourValue> parseColour(std::string_view text) {
    if (!text.empty() && text.front() == '$') return parseHex(text.substr(1));
    for (const auto& named : kBasicColours)
        if (equalsIgnoringCase(text, named.name)) return named.value;
    for (const auto& named : kReadOnlyColours)
        if (equalsIgnoringCase(text, named.name)) return named.value;
    return std::nullopt;
}

std::string formatColour(ColourValue colour) {
    for (const auto& named : kBasicColours)
        if (named.value == colour) return std::string(named.name);
    char buffer[10];
    std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<unsigned>(colour));
    return buffer;
}

ChatLine splitChatPayload(std::string_view payload) {
    const auto bar = payload.find('|');
    if (bar == std::string_view::npos) return {std::string(payload), kRed};
    return {std::string(payload.substr(0, bar)), parseColour(payload.substr(bar + 1)).value_or(kRed)};
}

std::string makeChatPayload(std::string_view text, ColourValue colour) {
    std::string payload(text);
    payload += '|';
    payload += formatColour(colour);
    return payload;
}

}  // namespace vornel::net
