#include "app/jpeg_picture.h"

#include <csetjmp>
#include <cstdio>
#include <limits>
// libjpeg's header needs FILE and size_t declared first.
#include <jpeglib.h>

namespace vornel::app {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to decodeJpeg with the message.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpBack(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->back, 1);
}

// A progressive file can ask for thousands of passes over the picture;
// no real picture needs more than a few dozen.
constexpr int kMaxScans = 100;

void limitScans(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number <= kMaxScans) return;
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    std::snprintf(errors->message, sizeof errors->message, "too many scans");
    std::longjmp(errors->back, 1);
}

// Warnings (an early end, corrupt data) are counted, not printed.
void countWarning(j_common_ptr info, int level) {
    if (level < 0) ++info->err->num_warnings;
}

}  // namespace

std::variant<RgbPicture, std::string> decodeJpeg(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size == 0) return std::string("empty file");
    if (size > std::numeric_limits<unsigned long>::max()) return std::string("file too large");
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jumpBack;
    errors.base.emit_message = countWarning;
    // Nothing with a destructor may live between setjmp and longjmp: the
    // picture is filled only through this pointer.
    auto* picture = new RgbPicture;
    if (setjmp(errors.back) != 0) {
        jpeg_destroy_decompress(&info);
        delete picture;
        return std::string(errors.message);
    }
    jpeg_create_decompress(&info);
    jpeg_progress_mgr progress{};
    progress.progress_monitor = limitScans;
    info.progress = &progress;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > kMaxJpegSide || info.image_height > kMaxJpegSide) {
        jpeg_destroy_decompress(&info);
        delete picture;
        return std::string("picture too large");
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    picture->width = static_cast<int>(info.output_width);
    picture->height = static_cast<int>(info.output_height);
    const std::size_t stride = std::size_t{info.output_width} * 3;
    picture->rgb.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture->rgb.data() + stride * info.output_scanline;
        if (jpeg_read_scanlines(&info, &row, 1) != 1) break;
    }
    const bool whole = info.output_scanline == info.output_height;
    if (whole) jpeg_finish_decompress(&info);
    const long warnings = errors.base.num_warnings;
    jpeg_destroy_decompress(&info);
    if (!whole || warnings > 0) {
        delete picture;
        return std::string("the file is truncated or corrupt");
    }
    RgbPicture result = std::move(*picture);
    delete picture;
    return result;
}

}  // namespace vornel::app
