#pragma once
// The player's options as the table's menus hold them; the program reads
// them from and writes them to its settings file.

#include <QString>
#include <array>
#include <cstdint>

namespace vornel::table {

struct TableOptions {
    int textSize = 8;
    std::uint32_t textColour = 0;    // 0x00BBGGRR
    std::uint32_t actionColour = 0;  // 0x00BBGGRR
    bool scoreCardOnTop = false;
    bool lastTrickOnTop = false;
    int botSpeed = 500;  // 750, 500 or 200
    bool playSounds = true;
    int turnSound = 0;  // 0 "Classic", 1 "New"
    bool chatterSounds = false;
    bool animate = true;  // cards move to their places
    // Phrase button texts 1..9 (index 0 unused); empty keeps the built-in text.
    std::array<QString, 10> phrases;
    int botSkill = 0;  // the host's computer players: 0 "Standard", 1 "Expert"
};

}  // namespace vornel::table
