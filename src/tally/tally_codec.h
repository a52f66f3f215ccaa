#pragma once
// The tally file's compressed container: the bytes "WRZL", the size of the
// text (32-bit little-endian) and LZRW1/KH blocks, one per 32768-byte chunk
// of the text. Each block is a 16-bit little-endian length and the block:
// a flag byte (0x80 stored, 0x40 compressed) and, when compressed, groups of
// a 16-bit control word (high byte first) and up to 16 items: literals,
// copies (distance 1..4095, length 3..18) and runs (16..4095 equal bytes).
//
// The decoder accepts only what a well-formed file holds: every length,
// distance and size is checked against the data before it is used.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace vornel::tally {

inline constexpr std::size_t kChunkSize = 32768;
inline constexpr std::string_view kMagic = "WRZL";

enum class CodecFailure {
    NoValidHeader,  // not "WRZL" at the start
    ShortInput,     // the header, a block length or a block shorter than announced
    SizeMismatch,   // a damaged block, or the text's size is not the announced one
};

// The text as it is stored in the file.
std::string compress(std::string_view text);
// The text a file holds, or why it cannot be read.
std::variant<std::string, CodecFailure> decompress(std::string_view file);

// One chunk (at most kChunkSize bytes) as one block, without its length.
std::string compressBlock(std::string_view chunk);
// Appends one block's bytes to `out`; false on a damaged block (an unknown
// flag, a cut item, a copy before the start of the block's output, or more
// than kChunkSize bytes).
bool decompressBlock(std::string_view block, std::string& out);

}  // namespace vornel::tally
