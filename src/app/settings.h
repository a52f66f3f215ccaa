#pragma once
// The settings file "zelmolobby.ini": the table's options and window
// placement, kept in the section "Vornel" between runs.
//
// Values are compared exactly and case-sensitively ("True" is not "true");
// key names, as in any profile file, are found in any letter case. The file
// is 8-bit text and values are kept as bytes.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/window_bounds.h"
#include "net/colour_value.h"

namespace vornel::app {

inline constexpr std::string_view kSettingsFileName = "zelmolobby.ini";
inline constexpr std::string_view kSettingsSection = "Vornel";
inline constexpr int kPhraseCount = 9;

// The chat sizes the "Text Size" menu offers; any other size reads as 8.
inline constexpr std::array<int, 4> kTextSizes{8, 10, 12, 14};

inline constexpr int kBotSpeedSlow = 750;
inline constexpr int kBotSpeedNormal = 500;
inline constexpr int kBotSpeedFast = 200;

struct TableSettings {
    int textSize = kTextSizes[0];                    // "Textsize"
    net::ColourValue textColour = net::kBlack;       // "Textcolor"
    net::ColourValue actionColour = net::kBlack;     // "Actioncolor"
    bool scoreCardOnTop = false;                     // "Scontop"
    bool lastTrickOnTop = false;                     // "Ltontop"
    int botSpeed = kBotSpeedNormal;                  // "Botspeed": 750, 500 or 200
    bool playSounds = true;                          // "Playsounds"
    WindowBounds bounds;                             // "Top", "Left", "Width", "Height"
    int turnSound = 0;                               // "Turnsound": 0 classic, 1 new
    bool chatterSounds = true;                       // "ChatterSounds"
    bool animate = true;                             // "Animate": 0 or 1, absent is on
    // "Phrase1".."Phrase9"; empty keeps the button's built-in phrase.
    std::array<std::string, kPhraseCount> phrases;
    int botSkill = 0;                                // "Botskill": 0 standard, 1 expert computer players
    friend bool operator==(const TableSettings&, const TableSettings&) = default;
};

// The directory holding the settings and tally files: $VORNEL_HOME when set
// and not empty, otherwise the directory of the program's executable, or,
// when no file can be made there (an installed program), the user's data
// directory for the program.
std::filesystem::path dataDirectory(const std::filesystem::path& executableDir);
// The user's data directory for the program (created when missing).
std::filesystem::path userDataDirectory();
std::filesystem::path settingsPath(const std::filesystem::path& executableDir);

// Reads every option; a missing or unreadable file, a missing key or a value
// that does not read gives that option's default (a colour gives black).
TableSettings readSettings(const std::filesystem::path& path);

// Writes the options and the window bounds, thirteen keys, leaving every
// other key of the file (the phrases among them) as it was. Keys new to the
// file are added in the order "Textsize", "Textcolor", "Actioncolor",
// "Scontop", "Ltontop", "Botspeed", "Playsounds", "Top", "Left", "Width",
// "Height", "Turnsound", "ChatterSounds"; then "Botskill" once expert
// players were chosen (a file without it means standard players) and
// "Animate" once animations were switched off. The phrases in `settings`
// are not written. Returns the message to show when the file cannot be
// written ("Unable to write to " and the path); nothing on success.
std::optional<std::string> writeSettings(const std::filesystem::path& path, const TableSettings& settings);

// The phrase editor's "Done": the nine texts under "Phrase1".."Phrase9",
// empty ones included; every other key is left as it was. Line breaks
// cannot live in a profile value and become blanks.
std::optional<std::string> writePhrases(const std::filesystem::path& path,
                                        const std::array<std::string, kPhraseCount>& phrases);

// "Unable to write to %s" with the path in place of %s.
std::string unableToWriteMessage(const std::filesystem::path& path);

}  // namespace vornel::app
