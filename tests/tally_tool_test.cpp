// vornel-tally run as a user runs it: show, decompress and compress, and a
// damaged file refused with its message and no output left behind.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tally/tally_codec.h"
#include "tally/tally_table.h"

namespace vornel::tally {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

class TallyTool : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vornel-tally-tool-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    ToolRun run(const std::string& arguments) const {
        const std::string command = std::string("\"") + VORNEL_TALLY_TOOL + "\" " + arguments + " >\"" +
                                    (dir / "stdout").string() + "\" 2>\"" + (dir / "stderr").string() + "\"";
        const int status = std::system(command.c_str());
#ifdef _WIN32
        const int exitStatus = status;
#else
        const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
        return {exitStatus, read(dir / "stdout"), read(dir / "stderr")};
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string put(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    }
    std::string at(const std::string& name) const { return (dir / name).string(); }
    fs::path dir;
};

TEST_F(TallyTool, ShowsConvertsBothWaysAsTheProgramDoes) {
    TallyTable t;
    t.follow("Ann");
    t.follow("Bo");
    t.addgame("addtomine", "Ann", {"Ann", "Bo"});
    const std::string text = t.toText();

    const ToolRun packed = run("compress " + put("in.txt", text) + " " + at("out.tld"));
    ASSERT_EQ(packed.status, 0) << packed.err;
    EXPECT_EQ(read(dir / "out.tld"), compress(text)) << "the program's own bytes";

    const ToolRun unpacked = run("decompress " + at("out.tld") + " " + at("back.txt"));
    ASSERT_EQ(unpacked.status, 0) << unpacked.err;
    EXPECT_EQ(read(dir / "back.txt"), text);

    const ToolRun shown = run("show " + at("out.tld"));
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("\n  Total Games:   1\n"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("Wins as Partners"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("\nAnn                  1        1        0        0        0        0        1        1\n"),
              std::string::npos)
        << shown.out;
    EXPECT_NE(shown.out.find("\nBo                   1        1        0        0        1        1        0        0\n"), std::string::npos)
        << shown.out;
}

TEST_F(TallyTool, BadFilesGiveTheirMessageAndNoOutput) {
    const std::string bad = put("bad.tld", std::string("WRZL\x09\0\0\0\x03\0\x80" "ab", 13));
    const std::vector<std::pair<std::string, std::string>> cases{
        {"decompress " + bad + " " + at("out"), "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !\n"},
        {"show " + bad, "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !\n"},
        {"decompress " + put("plain.tld", "9\r\n1\r\n") + " " + at("out"),
         at("plain.tld") + " : Lzrw1 decompression : this file has no valid header !\n"},
        {"decompress " + at("missing.tld") + " " + at("out"),
         "Lzrw1 (de)compression : Failed to open input file : " + at("missing.tld") + "\n"},
        {"compress " + put("junk.txt", "hello\r\n") + " " + at("out"), at("junk.txt") + " : this file holds no readable tally !\n"},
    };
    for (const auto& [arguments, message] : cases) {
        const ToolRun r = run(arguments);
        EXPECT_EQ(r.status, 1) << arguments;
        EXPECT_EQ(r.err, message) << arguments;
        EXPECT_FALSE(fs::exists(dir / "out")) << arguments;
        EXPECT_FALSE(fs::exists(dir / "out.tmp")) << arguments;
    }
    EXPECT_EQ(run("unpack " + bad).status, 2);
}

}  // namespace
}  // namespace vornel::tally
