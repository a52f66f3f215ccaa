// Building messages, splitting and reading fields, and cutting bytes into
// messages at the terminator.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "net/dispatcher.h"
#include "net/receive_queue.h"
#include "net/protocol.h"

namespace vornel::net {
namespace {

using namespace std::string_literals;

// --- building ----------------------------------------------------------

struct BuildCase {
    std::string_view command;
    std::vector<Field> fields;
    std::string_view expected;
};

// Every command of both directions with fields as the catalogue orders them.
const std::vector<BuildCase> kCatalogue = {
    // table to host
    {"CMD_logininfo", {Field::num(3), Field::txt("1.0.5"), Field::txt("Ann")}, "CMD_logininfo+3+1.0.5+Ann"},
    {"CMD_startgame", {Field::txt("Ann"), Field::num(10)}, "CMD_startgame+Ann+10+"},
    {"CMD_justwatch", {Field::num(2), Field::txt("1")}, "CMD_justwatch+2+1"},
    {"CMD_selectedbubble", {Field::num(2), Field::num(22)}, "CMD_selectedbubble+2+22+"},
    {"CMD_playcard", {Field::num(4), Field::num(5)}, "CMD_playcard+4+5+"},
    {"CMD_chat", {Field::num(1), Field::txt("hi|clBlack")}, "CMD_chat+1+hi|clBlack"},
    {"CMD_action", {Field::num(1), Field::txt("waves|clBlack")}, "CMD_action+1+waves|clBlack"},
    {"CMD_playasound", {Field::num(2), Field::txt("wave7")}, "CMD_playasound+2+wave7+"},
    {"CMD_kickhim", {Field::num(1), Field::num(6)}, "CMD_kickhim+1+6+"},
    {"CMD_botspeed", {Field::num(1), Field::num(750)}, "CMD_botspeed+1+750+"},
    // host to tables: connections, people and chat
    {"CMD_sendlogininfo", {Field::num(9)}, "CMD_sendlogininfo+9"},
    {"CMD_full", {}, "CMD_full+"},
    {"CMD_newplayerinfo", {Field::num(5), Field::txt("Bob")}, "CMD_newplayerinfo+5+Bob"},
    {"CMD_existingplayers", {Field::num(1), Field::txt("Ann")}, "CMD_existingplayers+1+Ann"},
    {"CMD_havewrongversion", {Field::txt("Bob")}, "CMD_havewrongversion+Bob"},
    {"CMD_wrongversion", {}, "CMD_wrongversion+"},
    {"CMD_playerdisconnected", {Field::num(3), Field::txt("Cy")}, "CMD_playerdisconnected+3+Cy"},
    {"CMD_justwatching", {Field::num(3), Field::num(2)}, "CMD_justwatching+3+2"},
    // host to tables: the game
    {"CMD_dealer", {Field::num(1)}, "CMD_dealer+1+"},
    {"CMD_placecard",
     {Field::num(2), Field::num(1), Field::num(8), Field::num(2), Field::num(0), Field::num(3), Field::num(52),
      Field::num(4), Field::num(0), Field::num(5), Field::num(36)},
     "CMD_placecard+2+1+8+2+0+3+52+4+0+5+36"},
    {"CMD_settrump", {Field::num(49)}, "CMD_settrump+49+"},
    {"CMD_bidder", {Field::num(3)}, "CMD_bidder+3+"},
    {"CMD_hepassed", {Field::num(3)}, "CMD_hepassed+3+"},
    {"CMD_heaccepted", {Field::num(4)}, "CMD_heaccepted+4+"},
    {"CMD_trumpchoosen", {Field::num(4), Field::num(2)}, "CMD_trumpchoosen+4+2+"},
    {"CMD_chooser", {Field::num(2), Field::num(4)}, "CMD_chooser+2+4+"},
    {"CMD_aloner", {Field::num(4)}, "CMD_aloner+4+"},
    {"CMD_goingalone", {Field::num(4), Field::num(7)}, "CMD_goingalone+4+7+"},
    {"CMD_discarder", {Field::num(1)}, "CMD_discarder+1+"},
    {"CMD_switch", {Field::num(1), Field::num(3), Field::num(23)}, "CMD_switch+1+3+23+"},
    {"CMD_clearcards", {}, "CMD_clearcards+"},
    {"CMD_nextplayer", {Field::num(2)}, "CMD_nextplayer+2+"},
    {"CMD_playedcard", {Field::num(2), Field::num(4), Field::num(13)}, "CMD_playedcard+2+4+13+"},
    {"CMD_notvalid", {Field::num(2), Field::num(2), Field::num(4)}, "CMD_notvalid+2+2+4+"},
    {"CMD_trickwinner", {Field::num(3), Field::num(2), Field::num(1)}, "CMD_trickwinner+3+2+1+"},
    {"CMD_score",
     {Field::num(1), Field::num(4), Field::num(2), Field::num(6), Field::num(0)},
     "CMD_score+1+4+2+6+0+"},
    {"CMD_thewinner", {Field::num(2)}, "CMD_thewinner+2+"},
    // host to a newcomer in a running game
    {"CMD_loadcards",
     {Field::num(2), Field::num(0), Field::num(4), Field::num(3), Field::num(0), Field::num(13), Field::num(0),
      Field::num(0)},
     "CMD_loadcards+2+0+4+3+0+13+0+0+"},
    {"CMD_loadstats",
     {Field::num(10), Field::num(3), Field::num(1), Field::num(7), Field::num(2)},
     "CMD_loadstats+10+3+1+7+2+"},
    {"CMD_loadtheircards",
     {Field::num(1), Field::num(5), Field::num(2), Field::num(4), Field::num(4), Field::num(5)},
     "CMD_loadtheircards+1+5+2+4+4+5"},
};

TEST(BuildMessage, EveryCatalogueCommandClosesAsTheCatalogueSays) {
    for (const auto& c : kCatalogue) {
        EXPECT_EQ(buildMessage(c.command, c.fields), c.expected) << c.command;
        EXPECT_EQ(hasClosingPlus(c.command), c.expected.back() == '+') << c.command;
    }
}

TEST(BuildMessage, UnknownAndMiscasedCommandsHaveNoClosingPlus) {
    EXPECT_FALSE(hasClosingPlus("CMD_nosuchthing"));
    EXPECT_FALSE(hasClosingPlus("cmd_bidder"));
    EXPECT_FALSE(hasClosingPlus(""));
}

TEST(BuildMessage, NumbersArePlainDecimal) {
    const std::vector<std::pair<int, std::string_view>> cases = {
        {0, "CMD_bidder+0+"},
        {7, "CMD_bidder+7+"},
        {52, "CMD_bidder+52+"},
        {2147483647, "CMD_bidder+2147483647+"},
        {-2147483647 - 1, "CMD_bidder+-2147483648+"},
    };
    for (const auto& [number, expected] : cases) {
        const Field field = Field::num(number);
        EXPECT_EQ(buildMessage("CMD_bidder", {&field, 1}), expected);
    }
}

TEST(BuildMessage, TextWithPlusIsWrittenWholeAsTheLastField) {
    const std::vector<Field> fields{Field::txt("Ann+Bob chats: 1+1=2|$000000FF")};
    EXPECT_EQ(buildMessage("CMD_chat", fields), "CMD_chat+Ann+Bob chats: 1+1=2|$000000FF");
}

TEST(AppendFrame, AppendsTheMessageAndTerminatorAfterWhatIsThere) {
    std::string out = "CMD_clearcards+\xFF"s;
    const std::vector<Field> fields{Field::num(3)};
    appendFrame(out, "CMD_bidder", fields);
    appendFrame(out, "CMD_full", {});
    EXPECT_EQ(out, "CMD_clearcards+\xFF" "CMD_bidder+3+\xFF" "CMD_full+\xFF"s);
}

// --- splitting and reading ---------------------------------------------

TEST(SplitCommand, CommandBeforeTheFirstPlusAndTheRestAfterIt) {
    struct Case {
        std::string_view message, command, rest;
    };
    const std::vector<Case> cases = {
        {"CMD_bidder+3+", "CMD_bidder", "3+"},
        {"CMD_chat+1+a+b", "CMD_chat", "1+a+b"},
        {"CMD_full+", "CMD_full", ""},
        {"CMD_full", "", ""},
        {"", "", ""},
        {"+CMD_bidder+3+", "", "CMD_bidder+3+"},
    };
    for (const auto& c : cases) {
        const SplitMessage split = splitCommand(c.message);
        EXPECT_EQ(split.command, c.command) << c.message;
        EXPECT_EQ(split.rest, c.rest) << c.message;
    }
}

TEST(FieldReader, TakesFieldsLeftToRightAndLeavesTheLastTextWhole) {
    FieldReader reader("1+1.0.5+Ann+the+Great");
    EXPECT_EQ(reader.number(), 1);
    EXPECT_EQ(reader.field(), "1.0.5");
    EXPECT_EQ(reader.remainder(), "Ann+the+Great");
    EXPECT_FALSE(reader.atEnd());
}

TEST(FieldReader, AFieldWithoutPlusIsAllThatIsLeft) {
    FieldReader reader("2+1");
    EXPECT_EQ(reader.field(), "2");
    EXPECT_EQ(reader.field(), "1");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.field(), "");
    EXPECT_EQ(reader.number(), std::nullopt);
}

TEST(FieldReader, ClosingPlusLeavesNothingBehind) {
    FieldReader reader("4+5+");
    EXPECT_EQ(reader.number(), 4);
    EXPECT_EQ(reader.number(), 5);
    EXPECT_TRUE(reader.atEnd());
}

TEST(FieldReader, AnUnreadableNumberIsStillConsumed) {
    FieldReader reader("x+7+");
    EXPECT_EQ(reader.number(), std::nullopt);
    EXPECT_EQ(reader.number(), 7);
}

TEST(ParseNumber, ReadsOnlyWholeDecimalIntegers) {
    const std::vector<std::pair<std::string_view, std::optional<int>>> cases = {
        {"7", 7},
        {"0", 0},
        {"007", 7},
        {"-3", -3},
        {"-0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"", std::nullopt},
        {" 7", std::nullopt},
        {"7 ", std::nullopt},
        {"7a", std::nullopt},
        {"a7", std::nullopt},
        {"+7", std::nullopt},
        {"-", std::nullopt},
        {"--3", std::nullopt},
        {"7.0", std::nullopt},
        {"0x1F", std::nullopt},
        {"1e3", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999", std::nullopt},
        {"\xFF", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(parseNumber(text), expected) << '"' << text << '"';
}

// --- dispatch ----------------------------------------------------------

TEST(Dispatcher, RunsTheHandlerOfTheExactCommandWithTheRest) {
    std::vector<std::string> calls;
    Dispatcher<int> dispatcher;
    dispatcher.on("CMD_chat", [&](std::string_view rest, int from) { calls.push_back("chat " + std::string(rest) + " " + std::to_string(from)); })
        .on("CMD_chatter", [&](std::string_view rest, int) { calls.push_back("chatter " + std::string(rest)); });
    EXPECT_TRUE(dispatcher.dispatch("CMD_chat+1+hi", 3));
    EXPECT_TRUE(dispatcher.dispatch("CMD_chatter+x", 3));
    EXPECT_FALSE(dispatcher.dispatch("CMD_cha+1", 3));
    EXPECT_FALSE(dispatcher.dispatch("cmd_chat+1", 3));
    EXPECT_FALSE(dispatcher.dispatch("CMD_chat", 3));
    EXPECT_FALSE(dispatcher.dispatch("", 3));
    EXPECT_EQ(calls, (std::vector<std::string>{"chat 1+hi 3", "chatter x"}));
}

TEST(Dispatcher, TheFirstOfTwoEntriesForANameServes) {
    std::vector<std::string> calls;
    Dispatcher<int> dispatcher;
    dispatcher.on("CMD_chat", [&](std::string_view, int) { calls.push_back("first"); })
        .on("CMD_other", [&](std::string_view, int) { calls.push_back("other"); })
        .on("CMD_chat", [&](std::string_view, int) { calls.push_back("second"); });
    EXPECT_EQ(dispatcher.size(), 3u);
    EXPECT_TRUE(dispatcher.dispatch("CMD_chat+x", 1));
    EXPECT_TRUE(dispatcher.dispatch("CMD_other+y", 1));
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "other"}));
}

// --- the receive queue -------------------------------------------------

TEST(ReceiveQueue, CountsWhatWaitsFromEachConnection) {
    struct Step {
        char op;  // 'p' push, 'o' pop, 'd' drop
        int connection;
        std::size_t waitingFrom1, waitingFrom2, size;
    };
    const Step steps[] = {
        {'p', 1, 1, 0, 1}, {'p', 2, 1, 1, 2}, {'o', 0, 0, 1, 1}, {'o', 0, 0, 0, 0},
        // Worked off to nought, then more arrive.
        {'p', 1, 1, 0, 1}, {'p', 1, 2, 0, 2}, {'o', 0, 1, 0, 1}, {'p', 2, 1, 1, 2},
        {'d', 1, 0, 1, 1}, {'o', 0, 0, 0, 0}, {'d', 2, 0, 0, 0}, {'p', 2, 0, 1, 1},
    };
    ReceiveQueue queue;
    int pushed = 0;
    std::vector<std::string> popped;
    for (const Step& step : steps) {
        if (step.op == 'p') queue.push(step.connection, "message " + std::to_string(++pushed));
        if (step.op == 'o') popped.push_back(queue.pop()->text);
        if (step.op == 'd') queue.dropFrom(step.connection);
        EXPECT_EQ(queue.waitingFrom(1), step.waitingFrom1) << "after step with " << step.op << step.connection;
        EXPECT_EQ(queue.waitingFrom(2), step.waitingFrom2) << "after step with " << step.op << step.connection;
        EXPECT_EQ(queue.size(), step.size);
    }
    EXPECT_EQ(popped, (std::vector<std::string>{"message 1", "message 2", "message 3", "message 5"}));
    EXPECT_EQ(queue.pop()->text, "message 6");
    EXPECT_FALSE(queue.pop().has_value());
}

// --- the framer --------------------------------------------------------

std::vector<std::string> feedAll(Framer& framer, const std::vector<std::string>& reads, bool* fits = nullptr) {
    std::vector<std::string> messages;
    for (const auto& bytes : reads) {
        const bool ok = framer.feed(bytes, [&](std::string_view m) { messages.emplace_back(m); });
        if (fits) *fits = ok;
    }
    return messages;
}

TEST(Framer, CutsReadsIntoMessagesAtTheTerminator) {
    struct Case {
        const char* what;
        std::vector<std::string> reads;
        std::vector<std::string> messages;
        std::size_t pending;
    };
    const std::vector<Case> cases = {
        {"two messages in one read", {"CMD_bidder+3+\xFF" "CMD_hepassed+3+\xFF"s}, {"CMD_bidder+3+", "CMD_hepassed+3+"}, 0},
        {"two terminators give an empty message", {"CMD_logininfo+1+1.0.5+Ann\xFF\xFF"s}, {"CMD_logininfo+1+1.0.5+Ann", ""}, 0},
        {"only terminators", {"\xFF\xFF\xFF"s}, {"", "", ""}, 0},
        {"split across reads", {"CMD_play", "card+2+", "3+\xFF" "CMD_c"s}, {"CMD_playcard+2+3+"}, 5},
        {"tail kept without terminator", {"CMD_chat+1+hello"}, {}, 16},
        {"nothing read", {""}, {}, 0},
        {"binary garbage around 0xFF",
         {"\x01\x00\xFE"s "\xFF" "\x80\x7F"s "\xFF" "\xFE"s},
         {"\x01\x00\xFE"s, "\x80\x7F"s},
         1},
    };
    for (const auto& c : cases) {
        Framer framer;
        EXPECT_EQ(feedAll(framer, c.reads), c.messages) << c.what;
        EXPECT_EQ(framer.pending(), c.pending) << c.what;
    }
}

// The framer keeps its room from one message to the next; a handler that
// feeds it again meanwhile must still find its bytes kept.
TEST(Framer, AHandlerThatFeedsTheFramerAgainStillGetsWholeMessages) {
    Framer framer;
    std::vector<std::string> messages;
    bool fedAgain = false;
    std::function<void(std::string_view)> onMessage = [&](std::string_view message) {
        messages.emplace_back(message);
        if (fedAgain) return;
        fedAgain = true;
        EXPECT_TRUE(framer.feed("de", onMessage));
    };
    EXPECT_TRUE(framer.feed("ab", onMessage));
    EXPECT_TRUE(framer.feed("c\xFF", onMessage));
    EXPECT_EQ(framer.pending(), 2u);
    EXPECT_TRUE(framer.feed("f\xFFgh\xFF", onMessage));
    EXPECT_TRUE(framer.feed("i", onMessage));
    EXPECT_TRUE(framer.feed("j\xFF", onMessage));
    EXPECT_EQ(messages, (std::vector<std::string>{"abc", "def", "gh", "ij"}));
    EXPECT_EQ(framer.pending(), 0u);
}

TEST(Framer, AMessageArrivingOneByteAtATimeIsQueuedWhole) {
    const std::string stream = "CMD_chat+2+a+b|clRed\xFF" "CMD_playcard+2+4+\xFF"s;
    std::vector<std::string> reads;
    for (char byte : stream) reads.emplace_back(1, byte);
    Framer framer;
    EXPECT_EQ(feedAll(framer, reads), (std::vector<std::string>{"CMD_chat+2+a+b|clRed", "CMD_playcard+2+4+"}));
    EXPECT_EQ(framer.pending(), 0u);
}

TEST(Framer, AnUnfinishedMessageMayGrowTo65536BytesAndNoFurther) {
    Framer framer;
    bool fits = false;
    feedAll(framer, {std::string(65535, 'a'), "b"}, &fits);
    EXPECT_TRUE(fits);
    EXPECT_EQ(framer.pending(), 65536u);
    // Completing it at the limit still gives the message.
    auto messages = feedAll(framer, {"\xFF"s}, &fits);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].size(), 65536u);

    feedAll(framer, {std::string(65536, 'a')}, &fits);
    EXPECT_TRUE(fits);
    messages = feedAll(framer, {"c"}, &fits);
    EXPECT_FALSE(fits);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(framer.pending(), 0u);
}

TEST(Framer, CompleteMessagesBeforeAnOversizedTailAreStillDelivered) {
    Framer framer;
    bool fits = true;
    const auto messages = feedAll(framer, {"CMD_full+\xFF"s + std::string(65537, 'x')}, &fits);
    EXPECT_FALSE(fits);
    EXPECT_EQ(messages, (std::vector<std::string>{"CMD_full+"}));
}

}  // namespace
}  // namespace vornel::net
