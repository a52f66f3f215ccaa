// Feeds arbitrary bytes to the program's JPEG decoder: it must return a
// picture of the size it claims or a message, never crash or leak.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <variant>

#include "app/jpeg_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto decoded = vornel::app::decodeJpeg(data, size);
    if (const auto* picture = std::get_if<vornel::app::RgbPicture>(&decoded)) {
        const std::size_t expected = static_cast<std::size_t>(picture->width) * picture->height * 3;
        if (picture->width <= 0 || picture->height <= 0 || picture->rgb.size() != expected) {
            std::fprintf(stderr, "decoded picture of %dx%d holds %zu bytes\n", picture->width, picture->height,
                         picture->rgb.size());
            std::abort();
        }
    }
    return 0;
}
