// Feeds arbitrary bytes to the tally file's decoder. Whatever it accepts
// must compress back to a file that decodes to the same text, and whatever
// the tally reader makes of that text must write out and read back alike.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tally/tally_codec.h"
#include "tally/tally_table.h"

namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "tally invariant broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vornel::tally;
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const auto decoded = decompress(file);
    if (!std::holds_alternative<std::string>(decoded)) return 0;
    const std::string& text = std::get<std::string>(decoded);

    const auto again = decompress(compress(text));
    if (!std::holds_alternative<std::string>(again) || std::get<std::string>(again) != text)
        broken("an accepted text does not survive compressing again");

    if (const auto table = TallyTable::fromText(text)) {
        const std::string written = table->toText();
        const auto reread = TallyTable::fromText(written);
        if (!reread || reread->toText() != written) broken("a tally does not read back as written");
    }
    return 0;
}
