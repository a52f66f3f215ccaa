// The tally file's container: round trips, the exact bytes of hand-made
// blocks, and every kind of damaged file refused with its message.

#include <gtest/gtest.h>

#include <random>

#include "tally/tally_codec.h"
#include "tally/tally_file.h"

namespace vornel::tally {
namespace {

std::string bytesOf(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

std::string header(std::uint32_t size) {
    return std::string(kMagic) + bytesOf({static_cast<int>(size & 0xFF), static_cast<int>((size >> 8) & 0xFF),
                                          static_cast<int>((size >> 16) & 0xFF), static_cast<int>(size >> 24)});
}

std::string withLength(const std::string& block) {
    return bytesOf({static_cast<int>(block.size() & 0xFF), static_cast<int>(block.size() >> 8)}) + block;
}

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string out(n, '\0');
    for (char& c : out) c = static_cast<char>(random() & 0xFF);
    return out;
}

std::string tallyLikeText(std::size_t n) {
    std::string text = "9\r\n";
    for (int i = 0; text.size() < n; ++i) text += (i % 7 == 0 ? "Player" + std::to_string(i) : std::to_string(i % 13)) + "\r\n";
    text.resize(n);
    return text;
}

// The lengths of the blocks in a file, in order.
std::vector<std::size_t> blockLengths(const std::string& file) {
    std::vector<std::size_t> lengths;
    for (std::size_t at = 8; at + 2 <= file.size();) {
        const std::size_t length = static_cast<unsigned char>(file[at]) | static_cast<unsigned char>(file[at + 1]) << 8;
        lengths.push_back(length);
        at += 2 + length;
    }
    return lengths;
}

struct RoundTrip {
    const char* name;
    std::string text;
    std::size_t blocks;
};

TEST(TallyCodec, RoundTripsKeepEveryByte) {
    const std::vector<RoundTrip> cases{
        {"empty", "", 1},
        {"small", "9\r\n1\r\n0\r\n", 1},
        {"one full chunk", tallyLikeText(kChunkSize), 2},
        {"several chunks", tallyLikeText(3 * kChunkSize + 1234), 4},
        {"two full chunks", tallyLikeText(2 * kChunkSize), 3},
        {"incompressible", randomBytes(kChunkSize + 100, 7), 2},
        {"long runs", std::string(5000, 'x') + std::string(17, 'y') + std::string(15, 'z') + std::string(40000, '\0'), 2},
    };
    for (const auto& c : cases) {
        const std::string file = compress(c.text);
        EXPECT_EQ(file.substr(0, 4), "WRZL") << c.name;
        EXPECT_EQ(blockLengths(file).size(), c.blocks) << c.name;
        const auto back = decompress(file);
        ASSERT_TRUE(std::holds_alternative<std::string>(back)) << c.name;
        EXPECT_EQ(std::get<std::string>(back), c.text) << c.name;
    }
}

TEST(TallyCodec, FullChunkEndsWithAStoredEmptyBlockAndRandomDataIsStored) {
    const std::string file = compress(randomBytes(kChunkSize, 3));
    EXPECT_EQ(blockLengths(file), (std::vector<std::size_t>{kChunkSize + 1, 1}));
    EXPECT_EQ(static_cast<unsigned char>(file[10]), 0x80) << "incompressible chunk stored";
    EXPECT_EQ(file.substr(file.size() - 3), bytesOf({1, 0, 0x80})) << "empty chunk: flag 0x80, length 1";
    EXPECT_EQ(compress(""), header(0) + bytesOf({1, 0, 0x80}));
}

struct KnownBlock {
    const char* name;
    std::string text;
    std::string block;  // as the compressor writes it
};

TEST(TallyCodec, HandMadeBlocksAreWrittenAndReadExactly) {
    const std::vector<KnownBlock> cases{
        // Two literals, then a copy overlapping its own output: distance 2, length 6.
        {"overlapping copy", "abababab", bytesOf({0x40, 0x20, 0x00, 'a', 'b', 0x00, 0x23})},
        // A run of 20: 0x00, count - 16 high byte first, the value.
        {"run", std::string(20, 'a'), bytesOf({0x40, 0x80, 0x00, 0x00, 0x00, 0x04, 'a'})},
        // A copy of 18 from 8 back overlaps itself.
        {"long overlapping copy", "abcdefghabcdefghabcdefghab", bytesOf({0x40, 0x00, 0x80}) + "abcdefgh" + bytesOf({0x00, 0x8F})},
        // Too short to gain anything: stored.
        {"stored", "hi", bytesOf({0x80, 'h', 'i'})},
        // Seventeen items need a second control word; 16 literals then a run of 4095.
        {"second group", "abcdefghijklmnop" + std::string(4095, '#'),
         bytesOf({0x40, 0x00, 0x00}) + "abcdefghijklmnop" + bytesOf({0x80, 0x00, 0x00, 0x0F, 0xEF, '#'})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compressBlock(c.text), c.block) << c.name;
        const auto text = decompress(header(static_cast<std::uint32_t>(c.text.size())) + withLength(c.block));
        ASSERT_TRUE(std::holds_alternative<std::string>(text)) << c.name;
        EXPECT_EQ(std::get<std::string>(text), c.text) << c.name;
    }
}

TEST(TallyCodec, CopiesAreFoundThroughTheHashAndCapped) {
    // "abcabc..." (30 bytes): three literals, a copy of 18 from 3 back, then
    // the rest (9) from the position the hash kept, 18 back.
    std::string text;
    for (int i = 0; i < 10; ++i) text += "abc";
    const std::string block = compressBlock(text);
    EXPECT_EQ(block, bytesOf({0x40, 0x18, 0x00, 'a', 'b', 'c', 0x00, 0x3F, 0x01, 0x26}));
}

// Eight runs of 4111 bytes: more than one chunk from one block.
std::string eightLongRuns() {
    std::string block = bytesOf({0x40, 0xFF, 0x00});
    for (int i = 0; i < 8; ++i) block += bytesOf({0x00, 0x0F, 0xFF, 'x'});
    return block;
}

struct Damaged {
    const char* name;
    std::string file;
    CodecFailure failure;
};

TEST(TallyCodec, DamagedFilesAreRefused) {
    const std::string good = compress("9\r\n1\r\n0\r\n");
    const std::vector<Damaged> cases{
        {"nothing", "", CodecFailure::NoValidHeader},
        {"other identifier", "!HZL" + good.substr(4), CodecFailure::NoValidHeader},
        {"lower case", "wrzl" + good.substr(4), CodecFailure::NoValidHeader},
        {"header cut", "WRZL\x05", CodecFailure::ShortInput},
        {"no block", header(3), CodecFailure::ShortInput},
        {"block length cut", header(3) + "\x05", CodecFailure::ShortInput},
        {"block shorter than announced", header(3) + withLength(bytesOf({0x80, 'a', 'b', 'c'})).substr(0, 4),
         CodecFailure::ShortInput},
        {"sizes differ", header(4) + withLength(bytesOf({0x80, 'a', 'b', 'c'})), CodecFailure::SizeMismatch},
        {"more than announced", header(2) + withLength(bytesOf({0x80, 'a', 'b', 'c'})), CodecFailure::SizeMismatch},
        {"unknown flag", header(3) + withLength(bytesOf({0x41, 'a', 'b', 'c'})), CodecFailure::SizeMismatch},
        {"copy before the start", header(6) + withLength(bytesOf({0x40, 0x80, 0x00, 0x00, 0x13})),
         CodecFailure::SizeMismatch},
        {"copy past the written bytes", header(8) + withLength(bytesOf({0x40, 0x40, 0x00, 'a', 0x00, 0x23})),
         CodecFailure::SizeMismatch},
        {"copy item cut", header(4) + withLength(bytesOf({0x40, 0x40, 0x00, 'a', 0x00})), CodecFailure::SizeMismatch},
        {"run item cut", header(20) + withLength(bytesOf({0x40, 0x80, 0x00, 0x00, 0x00, 0x04})),
         CodecFailure::SizeMismatch},
        {"control word cut", header(1) + withLength(bytesOf({0x40, 0x00})), CodecFailure::SizeMismatch},
        {"block beyond a chunk", header(40000) + withLength(eightLongRuns()), CodecFailure::SizeMismatch},
        {"bytes after the last block", good + "x", CodecFailure::SizeMismatch},
    };
    for (const auto& c : cases) {
        const auto result = decompress(c.file);
        ASSERT_TRUE(std::holds_alternative<CodecFailure>(result)) << c.name;
        EXPECT_EQ(std::get<CodecFailure>(result), c.failure) << c.name;
    }
}

TEST(TallyCodec, FailuresCarryTheCompressorsMessages) {
    const std::filesystem::path file = "/tmp/x/Vorneltally.tld";
    EXPECT_EQ(failureMessage(CodecFailure::NoValidHeader, file),
              "/tmp/x/Vorneltally.tld : Lzrw1 decompression : this file has no valid header !");
    EXPECT_EQ(failureMessage(CodecFailure::ShortInput, file), "Lzrw1 : Error reading from input file : /tmp/x/Vorneltally.tld");
    EXPECT_EQ(failureMessage(CodecFailure::SizeMismatch, file),
              "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
}

}  // namespace
}  // namespace vornel::tally
