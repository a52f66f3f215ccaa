// vornel-tally: reads and writes the tally file with the program's own codec.
//
//   vornel-tally show FILE.tld              the tally as a table
//   vornel-tally decompress FILE.tld OUT.txt the tally text inside the file
//   vornel-tally compress IN.txt OUT.tld     a tally text packed as the program does
//
// A file that cannot be read gives its message on stderr and exit status 1;
// no output file is left behind.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tally/tally_codec.h"
#include "tally/tally_file.h"
#include "tally/tally_table.h"
#include "vornel_version.h"

namespace {

using vornel::tally::TallyTable;

int fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

constexpr char kUsage[] =
    "Usage: vornel-tally show FILE.tld\n"
    "  or:  vornel-tally decompress FILE.tld OUT.txt\n"
    "  or:  vornel-tally compress IN.txt OUT.tld\n";

constexpr char kHelp[] =
    "\nReads and writes Vornel's tally file with the game's own codec.\n"
    "  show FILE.tld                the tally as a table: own totals, one row per followed player\n"
    "  decompress FILE.tld OUT.txt  the tally text inside the file\n"
    "  compress IN.txt OUT.tld      a tally text packed as the game does\n"
    "  --help                       this text\n"
    "  --version                    the program's version\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

// Pads each field to its column; no blanks at the ends of lines.
void printRow(const std::vector<std::string>& fields, const std::vector<int>& widths) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += fields[i];
        if (i + 1 < fields.size()) line.append(static_cast<std::size_t>(std::max(1, widths[i] - static_cast<int>(fields[i].size()))), ' ');
    }
    std::printf("%s\n", line.c_str());
}

void printTable(const TallyTable& t) {
    std::printf("Your Total Tally\n");
    const char* own[] = {"Total Games:", "Your Wins", "Marches:", "Vornels:"};
    for (int k = 1; k <= 4; ++k) printRow({"  " + std::string(own[k - 1]), t.cell(k, 0)}, {17});
    std::printf("\n");
    printRow({"Player", "Number of Games", "Player Wins", "Your Wins", "Wins as Partners"}, {21, 18, 18, 18});
    const std::vector<int> widths{21, 9, 9, 9, 9, 9, 9, 9, 9};
    printRow({"", "Total", "Session", "Total", "Session", "Total", "Session", "Total", "Session"}, widths);
    for (int row = 1; row < t.rowCount(); ++row) {
        std::vector<std::string> fields{t.cell(0, row)};
        for (int k = 1; k <= 4; ++k) {
            fields.push_back(t.cell(k, row));
            fields.push_back(t.cell(k + 4, row));
        }
        printRow(fields, widths);
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
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::printf("%s%s", kUsage, kHelp);
        return 0;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("vornel-tally %s\n", vornel::version::kFull.data());
        return 0;
    }
    if (argc < 3) return usage();
    const std::string_view command = argv[1];
    if (command == "show" && argc == 3) return show(argv[2]);
    if (command == "decompress" && argc == 4) return decompress(argv[2], argv[3]);
    if (command == "compress" && argc == 4) return compress(argv[2], argv[3]);
    return usage();
}
