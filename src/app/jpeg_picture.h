#pragma once
// Decodes a JPEG file held in memory with libjpeg, without the toolkit's
// image plug-ins. Plain C++ so the decoder can be fuzzed on its own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace vornel::app {

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // rows top to bottom, three bytes a pixel
};

// Pictures larger than this on either side are refused rather than decoded.
inline constexpr int kMaxJpegSide = 4096;

// The picture, or a message saying why it could not be decoded. A file that
// ends early or holds corrupt data is a failure, not a grey-filled picture.
std::variant<RgbPicture, std::string> decodeJpeg(const std::uint8_t* data, std::size_t size);

}  // namespace vornel::app
