#pragma once
// The tally file on disk: reading it with every check of the container, and
// writing it so that a failed or interrupted save never loses the old file.
// Failures are reported with the compressor's own messages.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "tally/tally_codec.h"
#include "tally/tally_table.h"

namespace vornel::tally {

inline constexpr std::string_view kTallyFileName = "Vorneltally.tld";
// Where an unreadable tally file is kept, beside it.
inline constexpr std::string_view kDamagedSuffix = ".bad";

std::string failureMessage(CodecFailure failure, const std::filesystem::path& file);
std::string openInputMessage(const std::filesystem::path& file);
std::string openOutputMessage(const std::filesystem::path& file);
std::string writeErrorMessage(const std::filesystem::path& file);
std::string memoryMessage();

// A file's whole content, or the message why it cannot be read.
struct ReadResult {
    std::optional<std::string> bytes;
    std::string failure;
};
ReadResult readWholeFile(const std::filesystem::path& file);
// The text a compressed file holds.
ReadResult readCompressedFile(const std::filesystem::path& file);

// Writes the bytes under a temporary name beside `file` and renames that
// over `file` once it is complete; on failure `file` is left as it was and
// the temporary file is removed. Returns the message on failure.
std::optional<std::string> writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// The tally read at start-up: empty when there is no file; when the file
// cannot be read, empty too, with the message to show.
struct LoadedTally {
    TallyTable table;
    std::optional<std::string> failure;
};
LoadedTally loadTallyFile(const std::filesystem::path& file);
// The message for a file whose text is not a tally.
std::string notATallyMessage(const std::filesystem::path& file);

// Renames an unreadable file to its name with ".bad" added, replacing an
// older one; true when there is nothing to keep, false when that fails.
bool keepDamagedFile(const std::filesystem::path& file);
std::filesystem::path damagedFilePath(const std::filesystem::path& file);

}  // namespace vornel::tally
