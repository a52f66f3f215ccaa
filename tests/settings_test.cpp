// Reading and writing the settings file, and the close step's effect on it.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/settings.h"

namespace vornel::app {
namespace {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "vornel-settings-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Sets or clears an environment variable for one test and puts it back.
class EnvOverride {
public:
    EnvOverride(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvOverride() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class SettingsFile : public ::testing::Test {
protected:
    fs::path file() const { return dir_.path() / "zelmolobby.ini"; }
    void put(const std::string& bytes) const {
        std::ofstream out(file(), std::ios::binary);
        out << bytes;
    }
    std::string contents() const {
        std::ifstream in(file(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The "key=value" lines under [section], in file order.
    std::vector<std::string> linesOf(std::string_view section) const {
        std::istringstream in(contents());
        std::vector<std::string> lines;
        bool inside = false;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.front() == '[')
                inside = line == "[" + std::string(section) + "]";
            else if (inside && line.find('=') != std::string::npos)
                lines.push_back(line);
        }
        return lines;
    }

    TempDir dir_;
};

TEST_F(SettingsFile, MissingFileReadsAsDefaults) {
    const TableSettings s = readSettings(file());
    EXPECT_EQ(s.textSize, 8);
    EXPECT_EQ(s.textColour, net::kBlack);
    EXPECT_EQ(s.actionColour, net::kBlack);
    EXPECT_FALSE(s.scoreCardOnTop);
    EXPECT_FALSE(s.lastTrickOnTop);
    EXPECT_EQ(s.botSpeed, 500);
    EXPECT_TRUE(s.playSounds);
    EXPECT_EQ(s.bounds, (WindowBounds{3, 3, 780, 600}));
    EXPECT_EQ(s.turnSound, 0);
    EXPECT_TRUE(s.chatterSounds);
    for (const auto& phrase : s.phrases) EXPECT_EQ(phrase, "");
    EXPECT_FALSE(fs::exists(file())) << "reading must not create the file";
}

TEST_F(SettingsFile, KeysOutsideTheSectionAreNotRead) {
    put("[Other]\nBotspeed=200\nScontop=true\nWidth=1000\n[Vornel]\nPlaysounds=maybe\n");
    EXPECT_EQ(readSettings(file()), TableSettings{});
}

struct ReadCase {
    std::string_view line;  // one line under [Vornel]
    std::function<int(const TableSettings&)> field;
    int expected;
};

int botSpeed(const TableSettings& s) { return s.botSpeed; }
int scoreCardOnTop(const TableSettings& s) { return s.scoreCardOnTop; }
int lastTrickOnTop(const TableSettings& s) { return s.lastTrickOnTop; }
int playSounds(const TableSettings& s) { return s.playSounds; }
int chatterSounds(const TableSettings& s) { return s.chatterSounds; }
int turnSound(const TableSettings& s) { return s.turnSound; }
int textSize(const TableSettings& s) { return s.textSize; }
int textColour(const TableSettings& s) { return static_cast<int>(s.textColour); }
int actionColour(const TableSettings& s) { return static_cast<int>(s.actionColour); }
int top(const TableSettings& s) { return s.bounds.top; }
int left(const TableSettings& s) { return s.bounds.left; }
int width(const TableSettings& s) { return s.bounds.width; }
int height(const TableSettings& s) { return s.bounds.height; }

TEST_F(SettingsFile, ReadingRules) {
    const std::vector<ReadCase> cases = {
        {"Botspeed=750", botSpeed, 750},
        {"Botspeed=200", botSpeed, 200},
        {"Botspeed=500", botSpeed, 500},
        {"Botspeed=fast", botSpeed, 500},
        {"Botspeed=", botSpeed, 500},
        {"Botspeed=0750", botSpeed, 500},
        {"Botspeed=1000", botSpeed, 500},
        {"botspeed=200", botSpeed, 200},  // key names are found in any letter case
        {"Scontop=true", scoreCardOnTop, 1},
        {"Scontop=True", scoreCardOnTop, 0},
        {"Scontop=TRUE", scoreCardOnTop, 0},
        {"Scontop=1", scoreCardOnTop, 0},
        {"Ltontop=true", lastTrickOnTop, 1},
        {"Ltontop=tRUE", lastTrickOnTop, 0},
        {"Playsounds=false", playSounds, 0},
        {"Playsounds=False", playSounds, 1},
        {"Playsounds=", playSounds, 1},
        {"Playsounds=0", playSounds, 1},
        {"ChatterSounds=false", chatterSounds, 0},
        {"ChatterSounds=FALSE", chatterSounds, 1},
        {"ChatterSounds=true", chatterSounds, 1},
        {"Turnsound=1", turnSound, 1},
        {"Turnsound=0", turnSound, 0},
        {"Turnsound=2", turnSound, 0},
        {"Turnsound=01", turnSound, 0},
        // Only the "Text Size" menu's sizes are kept; any other is the default.
        {"Textsize=10", textSize, 10},
        {"Textsize=12", textSize, 12},
        {"Textsize=14", textSize, 14},
        {"Textsize=9", textSize, 8},
        {"Textsize=999", textSize, 8},
        {"Textsize=-12", textSize, 8},
        {"Textsize=0", textSize, 8},
        {"Textsize=big", textSize, 8},
        {"Textsize=9.5", textSize, 8},
        {"Textsize=", textSize, 8},
        {"Textcolor=clRed", textColour, 0x0000FF},
        {"Textcolor=clred", textColour, 0x0000FF},
        {"Textcolor=CLNAVY", textColour, 0x800000},
        {"Textcolor=$00FF8000", textColour, 0xFF8000},
        {"Textcolor=$ff", textColour, 0x0000FF},
        {"Textcolor=purple", textColour, 0},
        {"Textcolor=$FF000000", textColour, 0},
        {"Textcolor=", textColour, 0},
        {"Actioncolor=clTeal", actionColour, 0x808000},
        {"Actioncolor=$00123456", actionColour, 0x123456},
        {"Actioncolor=#123456", actionColour, 0},
        {"Top=-20", top, -20},
        {"Top=x", top, 3},
        {"Left=250", left, 250},
        {"Left=", left, 3},
        {"Width=1024", width, 1024},
        {"Width=1e3", width, 780},
        {"Height=700", height, 700},
        {"Height=99999999999", height, 600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        put("[Vornel]\n" + std::string(c.line) + "\n");
        EXPECT_EQ(c.field(readSettings(file())), c.expected);
    }
}

TEST_F(SettingsFile, OnlyNonEmptyPhrasesAreRead) {
    put("[Vornel]\nPhrase1=Nice hand\nPhrase3=\nPhrase9=/me waves\nPhrase10=not a button\nPhrase0=nor this\n");
    const TableSettings s = readSettings(file());
    const std::array<std::string, 9> expected{"Nice hand", "", "", "", "", "", "", "", "/me waves"};
    EXPECT_EQ(s.phrases, expected);
}

TEST_F(SettingsFile, WindowsLineEndingsAndTheFirstOfTwoEqualKeys) {
    put("[Vornel]\r\nBotspeed=750\r\nScontop=true\r\nTurnsound=1\r\nTurnsound=0\r\n");
    const TableSettings s = readSettings(file());
    EXPECT_EQ(s.botSpeed, 750);
    EXPECT_TRUE(s.scoreCardOnTop);
    EXPECT_EQ(s.turnSound, 1);
}

TableSettings changedSettings() {
    TableSettings s;
    s.textSize = 10;
    s.textColour = net::kNavy;
    s.actionColour = 0x123456;
    s.scoreCardOnTop = true;
    s.lastTrickOnTop = false;
    s.botSpeed = 200;
    s.playSounds = false;
    s.bounds = {50, 40, 900, 700};
    s.turnSound = 1;
    s.chatterSounds = false;
    return s;
}

TEST_F(SettingsFile, NewFileHoldsTheKeysInOrder) {
    EXPECT_EQ(writeSettings(file(), changedSettings()), std::nullopt);
    EXPECT_EQ(contents(),
              "[Vornel]\n"
              "Textsize=10\n"
              "Textcolor=clNavy\n"
              "Actioncolor=$00123456\n"
              "Scontop=true\n"
              "Ltontop=false\n"
              "Botspeed=200\n"
              "Playsounds=false\n"
              "Top=40\n"
              "Left=50\n"
              "Width=900\n"
              "Height=700\n"
              "Turnsound=1\n"
              "ChatterSounds=false\n");
}

TEST_F(SettingsFile, WrittenSettingsReadBack) {
    for (const TableSettings& s : {TableSettings{}, changedSettings()}) {
        ASSERT_EQ(writeSettings(file(), s), std::nullopt);
        EXPECT_EQ(readSettings(file()), s);
    }
}

TEST_F(SettingsFile, WritingLeavesEveryOtherKeyAsItWas) {
    put("[Lobby]\nName=Zed\n"
        "[Vornel]\nPhrase2=Hello all\nbotspeed=750\nCustom=keep me\n"
        "[Later]\nTextsize=99\n");
    ASSERT_EQ(writeSettings(file(), changedSettings()), std::nullopt);

    EXPECT_EQ(linesOf("Lobby"), std::vector<std::string>{"Name=Zed"});
    EXPECT_EQ(linesOf("Later"), std::vector<std::string>{"Textsize=99"});
    // The existing key keeps its place (in the usual spelling); new keys follow in order.
    const std::vector<std::string> expected = {
        "Phrase2=Hello all", "Botspeed=200", "Custom=keep me", "Textsize=10", "Textcolor=clNavy",
        "Actioncolor=$00123456", "Scontop=true", "Ltontop=false", "Playsounds=false", "Top=40",
        "Left=50", "Width=900", "Height=700", "Turnsound=1", "ChatterSounds=false",
    };
    EXPECT_EQ(linesOf("Vornel"), expected);
    EXPECT_EQ(readSettings(file()).phrases[1], "Hello all");
}

TEST_F(SettingsFile, BytesThatAreNotUtf8SurviveReadAndWrite) {
    const std::string lobbyName = "Name=Z\xE9l\xF6\x81";
    const std::string phrase = "Caf\xE9 au lait \xFE!";
    put("[Lobby]\n" + lobbyName + "\n[Vornel]\nPhrase4=" + phrase + "\nBotspeed=200\n");

    const TableSettings read = readSettings(file());
    EXPECT_EQ(read.botSpeed, 200);
    EXPECT_EQ(read.phrases[3], phrase);

    ASSERT_EQ(writeSettings(file(), changedSettings()), std::nullopt);
    EXPECT_EQ(linesOf("Lobby"), std::vector<std::string>{lobbyName});
    EXPECT_EQ(readSettings(file()).phrases[3], phrase);

    std::array<std::string, 9> phrases{};
    phrases[0] = "\xC0\xC1 invalid lead bytes";
    ASSERT_EQ(writePhrases(file(), phrases), std::nullopt);
    EXPECT_EQ(readSettings(file()).phrases[0], phrases[0]);
    EXPECT_EQ(linesOf("Lobby"), std::vector<std::string>{lobbyName});
}

TEST_F(SettingsFile, PhraseEditorWritesAllNineAndNothingElse) {
    put("[Vornel]\nBotspeed=750\nPhrase3=Old\n");
    std::array<std::string, 9> phrases{"One", "Two", "", "Four", "", "", "Seven", "", "Two\nlines"};
    ASSERT_EQ(writePhrases(file(), phrases), std::nullopt);

    const std::vector<std::string> expected = {
        "Botspeed=750", "Phrase3=",  "Phrase1=One", "Phrase2=Two", "Phrase4=Four", "Phrase5=",
        "Phrase6=",     "Phrase7=Seven", "Phrase8=", "Phrase9=Two lines",
    };
    EXPECT_EQ(linesOf("Vornel"), expected);
    const TableSettings s = readSettings(file());
    EXPECT_EQ(s.botSpeed, 750);
    EXPECT_EQ(s.phrases[2], "") << "an emptied phrase goes back to the built-in text";
    EXPECT_EQ(s.phrases[8], "Two lines");
}

TEST_F(SettingsFile, FailureIsReportedWithThePath) {
    const fs::path inMissingDir = dir_.path() / "no-such-dir" / "zelmolobby.ini";
    EXPECT_EQ(writeSettings(inMissingDir, TableSettings{}), "Unable to write to " + inMissingDir.string());
    EXPECT_EQ(writePhrases(inMissingDir, {}), "Unable to write to " + inMissingDir.string());
    EXPECT_FALSE(fs::exists(inMissingDir.parent_path()));

    fs::create_directory(file());  // a directory where the file should be
    EXPECT_EQ(writeSettings(file(), TableSettings{}), "Unable to write to " + file().string());
    EXPECT_EQ(readSettings(file()), TableSettings{});
}

// Two runs of the close step against the real file: a window wider than the
// work area is stored 15 pixels narrower once; unmoved next time, nothing is
// written, so it does not shrink again.
TEST_F(SettingsFile, CloseStepShrinksOnceAndWritesNothingWhenUnmoved) {
    const AreaSize workArea{1280, 1000};
    put("[Vornel]\nBotspeed=200\nTop=10\nLeft=10\nWidth=1300\nHeight=700\n");

    // First run: read at login, window moved, closed.
    TableSettings first = readSettings(file());
    WindowBounds window = first.bounds;
    window.left = 20;
    const auto store = boundsToStoreAtClose(window, first.bounds, true, workArea);
    ASSERT_TRUE(store.has_value());
    first.bounds = *store;
    ASSERT_EQ(writeSettings(file(), first), std::nullopt);
    EXPECT_EQ(readSettings(file()).bounds, (WindowBounds{20, 10, 1285, 700}));

    // Second run: opens at the stored bounds and closes untouched.
    const std::string before = contents();
    const TableSettings second = readSettings(file());
    EXPECT_EQ(boundsToStoreAtClose(second.bounds, second.bounds, true, workArea), std::nullopt);
    EXPECT_EQ(contents(), before);

    // A run closed before login never read the file: nothing to store.
    EXPECT_EQ(boundsToStoreAtClose(kDefaultBounds, WindowBounds{0, 0, 0, 0}, false, workArea), std::nullopt);
}

TEST(SettingsPath, ProgramDirectoryOrVornelHome) {
    TempDir writableProgramDir;
    const fs::path programDir = writableProgramDir.path();
    {
        EnvOverride env("VORNEL_HOME", nullptr);
        EXPECT_EQ(settingsPath(programDir), programDir / "zelmolobby.ini");
        EXPECT_EQ(dataDirectory(programDir), programDir);
    }
    {
        EnvOverride env("VORNEL_HOME", "");
        EXPECT_EQ(settingsPath(programDir), programDir / "zelmolobby.ini");
    }
    {
        EnvOverride env("VORNEL_HOME", "/home/ann/vornel");
        EXPECT_EQ(settingsPath(programDir), fs::path("/home/ann/vornel/zelmolobby.ini"));
        EXPECT_EQ(dataDirectory(programDir), fs::path("/home/ann/vornel"));
    }
}

TEST(SettingsPath, ReadAndWriteThroughVornelHome) {
    TempDir home;
    EnvOverride env("VORNEL_HOME", home.path().c_str());
    const fs::path path = settingsPath("/nonexistent/program/dir");
    TableSettings s;
    s.botSpeed = 750;
    ASSERT_EQ(writeSettings(path, s), std::nullopt);
    EXPECT_TRUE(fs::exists(home.path() / "zelmolobby.ini"));
    EXPECT_EQ(readSettings(path).botSpeed, 750);
}

// An installed program cannot write beside itself: the settings and the
// tally go to the user's data directory instead, made when missing, and
// $VORNEL_HOME still comes first. A directory under a plain file stands in
// for the unwritable one (the tests may run as a user who can write anywhere).
TEST(SettingsPath, UnwritableProgramDirectoryFallsBackToUserData) {
    TempDir dataHome;
    EnvOverride xdg("XDG_DATA_HOME", dataHome.path().c_str());
    EnvOverride home("VORNEL_HOME", nullptr);
    const fs::path plainFile = dataHome.path() / "plain-file";
    std::ofstream(plainFile) << "x";
    for (const fs::path& programDir : {plainFile / "bin", dataHome.path() / "missing" / "bin"}) {
        SCOPED_TRACE(programDir.string());
        const fs::path dir = dataDirectory(programDir);
        EXPECT_NE(dir, programDir);
        EXPECT_EQ(dir, userDataDirectory());
        EXPECT_EQ(dir.parent_path(), dataHome.path());
        EXPECT_TRUE(fs::is_directory(dir));
        EXPECT_EQ(settingsPath(programDir), dir / "zelmolobby.ini");
        TableSettings s;
        s.botSpeed = 200;
        ASSERT_EQ(writeSettings(settingsPath(programDir), s), std::nullopt);
        EXPECT_EQ(readSettings(settingsPath(programDir)).botSpeed, 200);
    }
    // The writable program directory keeps its files, and no probe is left behind.
    TempDir programDir;
    EXPECT_EQ(dataDirectory(programDir.path()), programDir.path());
    EXPECT_TRUE(fs::is_empty(programDir.path()));
    EnvOverride vornelHome("VORNEL_HOME", "/home/ann/vornel");
    EXPECT_EQ(dataDirectory(plainFile / "bin"), fs::path("/home/ann/vornel"));
}

// The host's kind of computer players: absent means standard, and the key
// is written after the thirteen once expert players were chosen.
TEST_F(SettingsFile, ComputerPlayersKeyReadAndWritten) {
    const std::vector<std::pair<std::string, int>> reads = {
        {"", 0}, {"Botskill=1\n", 1}, {"botskill=1\n", 1}, {"Botskill=0\n", 0},
        {"Botskill=2\n", 0}, {"Botskill=01\n", 0}, {"Botskill=expert\n", 0},
    };
    for (const auto& [line, skill] : reads) {
        put("[Vornel]\nBotspeed=200\n" + line);
        EXPECT_EQ(readSettings(file()).botSkill, skill) << line;
    }

    fs::remove(file());
    TableSettings standard;
    ASSERT_EQ(writeSettings(file(), standard), std::nullopt);
    EXPECT_EQ(contents().find("Botskill"), std::string::npos) << "standard players add no key";

    TableSettings expert;
    expert.botSkill = 1;
    ASSERT_EQ(writeSettings(file(), expert), std::nullopt);
    std::vector<std::string> lines = linesOf("Vornel");
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[12], "ChatterSounds=true");
    EXPECT_EQ(lines[13], "Botskill=1");
    EXPECT_EQ(readSettings(file()), expert);

    ASSERT_EQ(writeSettings(file(), standard), std::nullopt);
    lines = linesOf("Vornel");
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[13], "Botskill=0") << "once written, the key follows the choice";
    EXPECT_EQ(readSettings(file()).botSkill, 0);
}

}  // namespace
}  // namespace vornel::app
