// The tally's counting, its text layout and its file on disk.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tally/tally_file.h"
#include "tally/tally_table.h"

namespace vornel::tally {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> column(const TallyTable& t, int row, int from, int to) {
    std::vector<std::string> cells;
    for (int c = from; c <= to; ++c) cells.push_back(t.cell(c, row));
    return cells;
}

using Cells = std::vector<std::string>;

TEST(TallyCounting, EmptyAndUnreadableCellsCountAsZero) {
    auto t = TallyTable::fromText("9\r\n2\r\n0\r\nAnn\r\n0\r\n\r\n0\r\nx\r\n0\r\n\r\n0\r\n\r\n"
                                  "0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->addit(2, 1), 1);
    t->addgame("addtomine", "Ann", {"Ann"});
    EXPECT_EQ(column(*t, 1, 1, 8), (Cells{"1", "1", "0", "1", "1", "0", "0", "1"}));
}

TEST(TallyCounting, RemovingRowsMovesTheRestUpAndResetEmptiesAll) {
    TallyTable t;
    for (const char* name : {"A", "B", "C"}) t.follow(name);
    t.addit(1, 3);
    t.moverow(2);
    ASSERT_EQ(t.rowCount(), 3);
    EXPECT_EQ(t.cell(0, 2), "C");
    EXPECT_EQ(t.cell(1, 2), "1");
    t.moverow(2);
    t.moverow(1);
    EXPECT_EQ(t.rowCount(), 1);
    t.moverow(0);
    EXPECT_EQ(t.rowCount(), 1) << "own totals stay";
    t.follow("D");
    t.addit(3, 0);
    t.reset();
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_EQ(column(t, 0, 0, 8), Cells(9, "0"));
}

TEST(TallyText, FirstRunAndFollowedPlayersLaidOutColumnByColumn) {
    TallyTable t;
    std::string expected = "9\r\n1\r\n";
    for (int i = 0; i < 9; ++i) expected += "0\r\n";
    EXPECT_EQ(t.toText(), expected);

    t.follow("Ann");
    t.follow("Bob");
    t.addit(1, 2);
    const std::string text = t.toText();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 29);
    EXPECT_TRUE(text.starts_with("9\r\n3\r\n0\r\nAnn\r\nBob\r\n0\r\n0\r\n1\r\n"));
    const auto back = TallyTable::fromText(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->toText(), text);

    t.follow("Two\r\nLines");  // a name the host let through keeps the layout whole
    const auto broken = TallyTable::fromText(t.toText());
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->cell(0, 3), "Two  Lines");
    EXPECT_EQ(broken->cell(1, 3), "0");
}

TEST(TallyText, DamagedTextsAreRefused) {
    const std::vector<std::pair<const char*, std::string>> cases{
        {"empty", ""},
        {"other width", "8\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"},
        {"no rows", "9\r\n0\r\n"},
        {"row count not a number", "9\r\nx\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"},
        {"cells missing", "9\r\n1\r\n0\r\n0\r\n0\r\n"},
        {"huge row count", "9\r\n4000000000\r\n0\r\n"},
    };
    for (const auto& [name, text] : cases) EXPECT_FALSE(TallyTable::fromText(text)) << name;
}

class TallyFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vornel-tally-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = dir / kTallyFileName;
    }
    void TearDown() override { fs::remove_all(dir); }
    static std::string contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void put(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    fs::path dir, file;
};

TEST_F(TallyFile, AnInterruptedSaveKeepsTheOldFile) {
    put(file, compress("old"));
    fs::create_directory(dir / "Vorneltally.tld.tmp");  // the new file cannot be created
    EXPECT_EQ(writeFileAtomically(file, "new"), openOutputMessage(file));
    EXPECT_EQ(contents(file), compress("old"));
    fs::remove(dir / "Vorneltally.tld.tmp");

    // A directory in the file's place: the new file is written, cannot be
    // moved there, and is removed.
    const fs::path blocked = dir / "blocked";
    fs::create_directories(blocked / "inside");
    EXPECT_EQ(writeFileAtomically(blocked, "new"), writeErrorMessage(blocked));
    EXPECT_FALSE(fs::exists(dir / "blocked.tmp"));

    EXPECT_FALSE(writeFileAtomically(file, "new"));
    EXPECT_EQ(contents(file), "new");
    EXPECT_FALSE(fs::exists(dir / "Vorneltally.tld.tmp"));
}

TEST_F(TallyFile, UnreadableFilesReportWhyAndAreKeptAside) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"NOPE", file.string() + " : Lzrw1 decompression : this file has no valid header !"},
        {compress("9\r\n1\r\n").substr(0, 10), "Lzrw1 : Error reading from input file : " + file.string()},
        {compress("9\r\n2\r\n0\r\n"), notATallyMessage(file)},
    };
    for (const auto& [bytes, message] : cases) {
        put(file, bytes);
        const LoadedTally loaded = loadTallyFile(file);
        EXPECT_EQ(loaded.failure, message);
        EXPECT_EQ(loaded.table.rowCount(), 1);
        put(damagedFilePath(file), "older");
        ASSERT_TRUE(keepDamagedFile(file));
        EXPECT_FALSE(fs::exists(file));
        EXPECT_EQ(contents(damagedFilePath(file)), bytes);
    }
    EXPECT_TRUE(keepDamagedFile(file)) << "nothing to keep";
    fs::create_directory(file);
    EXPECT_EQ(readCompressedFile(file).failure, openInputMessage(file));
}

}  // namespace
}  // namespace vornel::tally
