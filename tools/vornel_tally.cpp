// vornel-tally: reads and writes the tally file with the program's own codec.
//
//   vornel-tally show FILE.tld              the tally as a table
//   vornel-tally decompress FILE.tld OUT.txt the tally text inside the file
//   vornel-tally compress IN.txt OUT.tld     a tally text packed as the program does
//
// A file that cannot be read gives its message on stderr and exit status 1;
// no output file is left behind.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/tally_codec.h"
#include "engine/tally_file.h"
#include "engine/tally_table.h"

namespace {

using vornel::tally::TallyTable;

int fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

int usage() {
    std::fprintf(stderr,
                 "usage: vornel-tally show FILE.tld\n"
                 "       vornel-tally decompress FILE.tld OUT.txt\n"
                 "       vornel-tally compress IN.txt OUT.tld\n");
    return 2;
}

void printTable(const TallyTable& t) {
    std::printf("Your Total Tally\n");
    const char* own[] = {"Total Games:", "Your Wins", "Marches:", "Vornels:"};
    for (int k = 1; k <= 4; ++k) std::printf("  %-14s %s\n", own[k - 1], t.cell(k, 0).c_str());
    std::printf("\n%-20s %-17s %-17s %-17s %-17s\n", "Player", "Number of Games", "Player Wins", "Your Wins",
                "Wins as Partners");
    std::printf("%-20s", "");
    for (int k = 0; k < 4; ++k) std::printf(" %-8s %-8s", "Total", "Session");
    std::printf("\n");
    for (int row = 1; row < t.rowCount(); ++row) {
        std::printf("%-20s", t.cell(0, row).c_str());
        for (int k = 1; k <= 4; ++k) std::printf(" %-8s %-8s", t.cell(k, row).c_str(), t.cell(k + 4, row).c_str());
        std::printf("\n");
    }
    if (t.rowCount() == 1) std::printf("(nobody followed)\n");
}

int show(const std::filesystem::path& file) {
    const auto text = vornel::tally::readCompressedFile(file);
    if (!text.bytes) return fail(text.failure);
    const auto table = TallyTable::fromText(*text.bytes);
    if (!table) return fail(vornel::tally::notATallyMessage(file));
    printTable(*table);
    return 0;
}

int decompress(const std::filesystem::path& in, const std::filesystem::path& out) {
    const auto text = vornel::tally::readCompressedFile(in);
    if (!text.bytes) return fail(text.failure);
    if (const auto failure = vornel::tally::writeFileAtomically(out, *text.bytes)) return fail(*failure);
    return 0;
}

int compress(const std::filesystem::path& in, const std::filesystem::path& out) {
    const auto text = vornel::tally::readWholeFile(in);
    if (!text.bytes) return fail(text.failure);
    // The program would refuse anything else at start-up.
    if (!TallyTable::fromText(*text.bytes)) return fail(vornel::tally::notATallyMessage(in));
    if (text.bytes->size() > 0xFFFFFFFFu) return fail(vornel::tally::memoryMessage());
    if (const auto failure = vornel::tally::writeFileAtomically(out, vornel::tally::compress(*text.bytes)))
        return fail(*failure);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string_view command = argv[1];
    if (command == "show" && argc == 3) return show(argv[2]);
    if (command == "decompress" && argc == 4) return decompress(argv[2], argv[3]);
    if (command == "compress" && argc == 4) return compress(argv[2], argv[3]);
    return usage();
}
