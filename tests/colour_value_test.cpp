// Reading and writing colour values, and cutting chat payloads into text
// and colour.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "net/colour_value.h"

namespace vornel::net {
namespace {

struct NamedCase {
    std::string_view name;
    ColourValue value;
};

// The basic colours with their usual values (0x00BBGGRR).
const std::vector<NamedCase> kBasic = {
    {"clBlack", 0x000000},  {"clMaroon", 0x000080}, {"clGreen", 0x008000},   {"clOlive", 0x008080},
    {"clNavy", 0x800000},   {"clPurple", 0x800080}, {"clTeal", 0x808000},    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},    {"clLime", 0x00FF00},    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},   {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},   {"clWhite", 0xFFFFFF},
};

TEST(ColourValue, BasicNamesReadAndAreWrittenBack) {
    for (const auto& c : kBasic) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parseColour(c.name), c.value);
        EXPECT_EQ(formatColour(c.value), c.name);
    }
}

struct ParseCase {
    std::string_view text;
    std::optional<ColourValue> expected;
};

TEST(ColourValue, Parsing) {
    const std::vector<ParseCase> cases = {
        {"clblack", kBlack},            // any letter case
        {"CLRED", kRed},
        {"ClFuChSiA", kFuchsia},
        {"clWindow", kWhite},           // system colours read as fixed values
        {"clwindowtext", kBlack},
        {"clBtnText", kBlack},
        {"clBtnFace", 0xF0F0F0},
        {"clHighlight", colourFromRgb(0, 120, 215)},
        {"clLtGray", kSilver},
        {"$00FF0000", kBlue},           // numbers are 0x00BBGGRR
        {"$000000FF", kRed},
        {"$00abcdef", 0xABCDEF},        // lower-case digits
        {"$ff", kRed},                  // fewer than eight digits
        {"$0", kBlack},
        {"$000000000", std::nullopt},   // nine digits
        {"$FF000000", std::nullopt},    // high byte set: not an RGB value
        {"$01000000", std::nullopt},
        {"$", std::nullopt},
        {"$00GG0000", std::nullopt},
        {"$-1", std::nullopt},
        {"255", std::nullopt},          // decimal is not a colour value
        {"0x0000FF", std::nullopt},
        {"black", std::nullopt},
        {"clBlackish", std::nullopt},
        {"clBlack ", std::nullopt},
        {" clBlack", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseColour(c.text), c.expected);
    }
}

TEST(ColourValue, UnnamedValuesAreWrittenAsEightUpperCaseDigits) {
    const std::vector<std::pair<ColourValue, std::string_view>> cases = {
        {0x123456, "$00123456"},
        {0xABCDEF, "$00ABCDEF"},
        {0x000001, "$00000001"},
        {0xF0F0F0, "$00F0F0F0"},  // clBtnFace's value has no basic name
        {0xFFFFFE, "$00FFFFFE"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatColour(value), text);
        EXPECT_EQ(parseColour(text), value) << text;
    }
}

TEST(ColourValue, ChannelsFollowTheByteOrder) {
    const ColourValue c = colourFromRgb(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x563412u);
    EXPECT_EQ(redOf(c), 0x12);
    EXPECT_EQ(greenOf(c), 0x34);
    EXPECT_EQ(blueOf(c), 0x56);
}

struct PayloadCase {
    std::string_view payload;
    std::string_view text;
    ColourValue colour;
};

TEST(ChatPayload, Splitting) {
    const std::vector<PayloadCase> cases = {
        {"Ann chats: hi|clBlue", "Ann chats: hi", kBlue},
        {"Ann says: Way To Go!|$00123456", "Ann says: Way To Go!", 0x123456},
        {"Ann waves|clnavy", "Ann waves", kNavy},
        {"Ann chats: a+b|clBlack", "Ann chats: a+b", kBlack},
        {"no colour at all", "no colour at all", kRed},
        {"Ann chats: a|b|clBlue", "Ann chats: a", kRed},  // cut at the first "|", rest unreadable
        {"Ann chats: hi|", "Ann chats: hi", kRed},
        {"Ann chats: hi|blue", "Ann chats: hi", kRed},
        {"|clLime", "", kLime},
        {"", "", kRed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.payload);
        const ChatLine line = splitChatPayload(c.payload);
        EXPECT_EQ(line.text, c.text);
        EXPECT_EQ(line.colour, c.colour);
    }
}

TEST(ChatPayload, BuiltPayloadsSplitBack) {
    EXPECT_EQ(makeChatPayload("hello", kBlue), "hello|clBlue");
    EXPECT_EQ(makeChatPayload("hello", 0x0080FF), "hello|$000080FF");
    for (const ColourValue colour : {kBlack, kTeal, ColourValue{0x0080FF}, ColourValue{0xFEFEFE}}) {
        const ChatLine line = splitChatPayload(makeChatPayload("x y", colour));
        EXPECT_EQ(line.text, "x y");
        EXPECT_EQ(line.colour, colour);
    }
}

}  // namespace
}  // namespace vornel::net
