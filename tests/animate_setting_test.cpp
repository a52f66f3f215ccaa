// The "Animate" key of the settings file: read as on unless it says 0,
// written after the other keys once animations were switched off.

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "app/settings.h"

namespace vornel::app {
namespace {

namespace fs = std::filesystem;

class AnimateSetting : public ::testing::Test {
protected:
    AnimateSetting() {
        std::string pattern = (fs::temp_directory_path() / "vornel-animate-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
    }
    ~AnimateSetting() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path file() const { return dir_ / "zelmolobby.ini"; }
    void put(const std::string& bytes) const { std::ofstream(file(), std::ios::binary) << bytes; }
    std::string contents() const {
        std::ifstream in(file(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    fs::path dir_;
};

TEST_F(AnimateSetting, ReadsOnUnlessItSaysZero) {
    struct Case {
        const char* text;
        bool animate;
    };
    const Case cases[] = {
        {"[Vornel]\n", true},          {"[Vornel]\nAnimate=1\n", true}, {"[Vornel]\nAnimate=0\n", false},
        {"[Vornel]\nanimate=0\n", false}, {"[Vornel]\nAnimate=\n", true},  {"[Vornel]\nAnimate=no\n", true},
        {"[Other]\nAnimate=0\n", true},
    };
    for (const auto& c : cases) {
        put(c.text);
        EXPECT_EQ(readSettings(file()).animate, c.animate) << c.text;
    }
    EXPECT_TRUE(readSettings(dir_ / "missing.ini").animate);
}

TEST_F(AnimateSetting, WrittenAfterTheOtherKeysOnceSwitchedOff) {
    TableSettings settings;
    ASSERT_EQ(writeSettings(file(), settings), std::nullopt);
    EXPECT_EQ(contents().find("Animate"), std::string::npos) << "on by default, nothing to keep";

    settings.animate = false;
    ASSERT_EQ(writeSettings(file(), settings), std::nullopt);
    const std::string off = contents();
    EXPECT_NE(off.find("ChatterSounds=true\nAnimate=0\n"), std::string::npos) << off;
    EXPECT_FALSE(readSettings(file()).animate);

    settings.animate = true;
    ASSERT_EQ(writeSettings(file(), settings), std::nullopt);
    EXPECT_NE(contents().find("ChatterSounds=true\nAnimate=1\n"), std::string::npos) << contents();
    EXPECT_EQ(readSettings(file()), settings);
}

}  // namespace
}  // namespace vornel::app
