#pragma once
// What the player types, made into the lobby's texts: single-byte
// characters of ISO 8859-1, the game's character set.

#include <QString>

#include <optional>
#include <string>

namespace vornel::lobby_window {

// The text as Latin-1 bytes; nullopt when a character lies outside it.
std::optional<std::string> latin1Bytes(const QString& typed);
QString fromLatin1(const std::string& bytes);

// Why the typed name cannot be used, or an empty text: the lobby's name
// rules, the game's character set, and no "-" in front (the game would
// take such a name for an option of its own).
QString typedNameProblem(const QString& typed);

}  // namespace vornel::lobby_window
