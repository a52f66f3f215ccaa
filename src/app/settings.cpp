#include "app/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <SimpleIni.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <system_error>

#include "net/protocol.h"

namespace vornel::app {
namespace {

const char* const kSection = kSettingsSection.data();

// Byte-for-byte values (no character conversion), key names in any letter
// case, and duplicate keys kept: the first one is the one read, as the
// profile functions of the file's home platform do.
struct Profile {
    CSimpleIniA ini{/*a_bIsUtf8=*/false, /*a_bMultiKey=*/true, /*a_bMultiLine=*/false};
    Profile() { ini.SetSpaces(false); }

    const char* value(const char* key) const { return ini.GetValue(kSection, key, nullptr); }
    // Replaces the key's value in place (all duplicates become one line at
    // the first one's place); a key new to the section goes at its end.
    void set(const char* key, const std::string& text) { ini.SetValue(kSection, key, text.c_str(), nullptr, true); }
};

enum class LoadOutcome { Loaded, Missing, Failed };

LoadOutcome load(const std::filesystem::path& path, Profile& profile) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) return LoadOutcome::Missing;
    if (error || std::filesystem::is_directory(status)) return LoadOutcome::Failed;
    std::ifstream in(path, std::ios::binary);
    if (!in) return LoadOutcome::Failed;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return LoadOutcome::Failed;
    return profile.ini.LoadData(bytes) < 0 ? LoadOutcome::Failed : LoadOutcome::Loaded;
}

// Loads what the file holds, lets `change` set its keys and writes the whole
// file back. A file that exists but cannot be read is not overwritten: that
// would lose the keys this program does not own.
std::optional<std::string> update(const std::filesystem::path& path, const std::function<void(Profile&)>& change) {
    Profile profile;
    if (load(path, profile) == LoadOutcome::Failed) return unableToWriteMessage(path);
    change(profile);
    std::string bytes;
    if (profile.ini.Save(bytes, profile.ini.IsUnicode()) < 0) return unableToWriteMessage(path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) return unableToWriteMessage(path);
    return std::nullopt;
}

int readInteger(const Profile& profile, const char* key, int fallback) {
    const char* text = profile.value(key);
    return text ? net::parseNumber(text).value_or(fallback) : fallback;
}

net::ColourValue readColour(const Profile& profile, const char* key) {
    const char* text = profile.value(key);
    return net::parseColour(text ? text : "clblack").value_or(net::kBlack);
}

bool isExactly(const Profile& profile, const char* key, std::string_view expected) {
    const char* text = profile.value(key);
    return text && expected == text;
}

// Whether a file can be made there: an installed program's directory
// usually refuses, and only trying tells on every system.
bool canCreateFilesIn(const std::filesystem::path& dir) {
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error)) return false;
    QTemporaryFile probe(QString::fromStdU16String((dir / "vornel-probe-XXXXXX").u16string()));
    return probe.open();  // removed again as the probe goes
}

std::string phraseKey(int index) { return "Phrase" + std::to_string(index + 1); }

const char* trueOrFalse(bool value) { return value ? "true" : "false"; }

}  // namespace

std::filesystem::path dataDirectory(const std::filesystem::path& executableDir) {
    const char* home = std::getenv("VORNEL_HOME");
    if (home && *home) return home;
    if (canCreateFilesIn(executableDir)) return executableDir;
    return userDataDirectory();
}

std::filesystem::path userDataDirectory() {
    // Programs without an application name (plain tools) still share the game's directory.
    const QString dir = QCoreApplication::applicationName().isEmpty()
                            ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/vornel"
                            : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // Made now, so the first write of the settings finds it.
    QDir().mkpath(dir);
    return std::filesystem::path(dir.toStdU16String());
}

std::filesystem::path settingsPath(const std::filesystem::path& executableDir) {
    return dataDirectory(executableDir) / kSettingsFileName;
}

std::string unableToWriteMessage(const std::filesystem::path& path) { return "Unable to write to " + path.string(); }

TableSettings readSettings(const std::filesystem::path& path) {
    Profile profile;
    TableSettings settings;
    if (load(path, profile) != LoadOutcome::Loaded) return settings;

    const int textSize = readInteger(profile, "Textsize", settings.textSize);
    if (std::find(kTextSizes.begin(), kTextSizes.end(), textSize) != kTextSizes.end()) settings.textSize = textSize;
    settings.textColour = readColour(profile, "Textcolor");
    settings.actionColour = readColour(profile, "Actioncolor");
    for (int i = 0; i < kPhraseCount; ++i) {
        const char* text = profile.value(phraseKey(i).c_str());
        if (text && *text) settings.phrases[static_cast<std::size_t>(i)] = text;
    }
    if (isExactly(profile, "Botspeed", "750"))
        settings.botSpeed = kBotSpeedSlow;
    else if (isExactly(profile, "Botspeed", "200"))
        settings.botSpeed = kBotSpeedFast;
    else
        settings.botSpeed = kBotSpeedNormal;
    settings.scoreCardOnTop = isExactly(profile, "Scontop", "true");
    settings.lastTrickOnTop = isExactly(profile, "Ltontop", "true");
    settings.playSounds = !isExactly(profile, "Playsounds", "false");
    settings.bounds.top = readInteger(profile, "Top", kDefaultBounds.top);
    settings.bounds.left = readInteger(profile, "Left", kDefaultBounds.left);
    settings.bounds.width = readInteger(profile, "Width", kDefaultBounds.width);
    settings.bounds.height = readInteger(profile, "Height", kDefaultBounds.height);
    settings.turnSound = isExactly(profile, "Turnsound", "1") ? 1 : 0;
    settings.chatterSounds = !isExactly(profile, "ChatterSounds", "false");
    settings.botSkill = isExactly(profile, "Botskill", "1") ? 1 : 0;
    settings.animate = !isExactly(profile, "Animate", "0");
    return settings;
}

std::optional<std::string> writeSettings(const std::filesystem::path& path, const TableSettings& settings) {
    return update(path, [&](Profile& profile) {
        profile.set("Textsize", std::to_string(settings.textSize));
        profile.set("Textcolor", net::formatColour(settings.textColour));
        profile.set("Actioncolor", net::formatColour(settings.actionColour));
        profile.set("Scontop", trueOrFalse(settings.scoreCardOnTop));
        profile.set("Ltontop", trueOrFalse(settings.lastTrickOnTop));
        profile.set("Botspeed", std::to_string(settings.botSpeed));
        profile.set("Playsounds", trueOrFalse(settings.playSounds));
        profile.set("Top", std::to_string(settings.bounds.top));
        profile.set("Left", std::to_string(settings.bounds.left));
        profile.set("Width", std::to_string(settings.bounds.width));
        profile.set("Height", std::to_string(settings.bounds.height));
        profile.set("Turnsound", std::to_string(settings.turnSound));
        profile.set("ChatterSounds", trueOrFalse(settings.chatterSounds));
        // Standard players need no key; once written, the key follows the choice.
        if (settings.botSkill == 1 || profile.value("Botskill") != nullptr)
            profile.set("Botskill", settings.botSkill == 1 ? "1" : "0");
        // Absent means on: a file that never had animations switched off
        // keeps the thirteen keys alone.
        if (!settings.animate || profile.value("Animate") != nullptr) profile.set("Animate", settings.animate ? "1" : "0");
    });
}

std::optional<std::string> writePhrases(const std::filesystem::path& path,
                                        const std::array<std::string, kPhraseCount>& phrases) {
    return update(path, [&](Profile& profile) {
        for (int i = 0; i < kPhraseCount; ++i) {
            std::string text = phrases[static_cast<std::size_t>(i)];
            for (char& c : text)
                if (c == '\r' || c == '\n') c = ' ';
            profile.set(phraseKey(i).c_str(), text);
        }
    });
}

}  // namespace vornel::app
