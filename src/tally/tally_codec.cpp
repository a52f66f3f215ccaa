#include "tally/tally_codec.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vornel::tally {
namespace {

constexpr std::uint8_t kFlagStored = 0x80;
constexpr std::uint8_t kFlagCompressed = 0x40;
constexpr std::size_t kHashSize = 4096;
constexpr std::size_t kMaxDistance = 4095;
constexpr std::size_t kMinCopy = 3;
constexpr std::size_t kMaxCopy = 18;
constexpr std::size_t kMinRun = 16;
constexpr std::size_t kMaxRun = 4095;
constexpr std::uint16_t kEmpty = 0xFFFF;  // no chunk position reaches it
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kSlack = 24;

std::size_t hashAt(const unsigned char* p) {
    const std::uint32_t mixed = ((((std::uint32_t{p[0]} << 4) ^ p[1]) << 4) ^ p[2]) * 40543u;
    return (mixed >> 4) & 0xFFF;
}

void putLittle32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint32_t little32(const unsigned char* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

}  // namespace

std::string compressBlock(std::string_view chunk) {
    const auto* src = reinterpret_cast<const unsigned char*>(chunk.data());
    const std::size_t n = chunk.size();
    // The loop stops once the output is longer than the chunk; one more
    // control word and one item fit in the margin.
    std::string block(n + 8, '\0');
    auto* dst = reinterpret_cast<unsigned char*>(block.data());
    std::array<std::uint16_t, kHashSize> table;
    table.fill(kEmpty);

    dst[0] = kFlagCompressed;
    std::size_t out = 3;
    std::size_t controlAt = 1;
    unsigned control = 0;
    int items = 0;
    std::size_t p = 0;
    while (p < n && out <= n) {
        if (items == 16) {
            dst[controlAt] = static_cast<unsigned char>(control >> 8);
            dst[controlAt + 1] = static_cast<unsigned char>(control & 0xFF);
            controlAt = out;
            out += 2;
            control = 0;
            items = 0;
        }
        ++items;
        control <<= 1;

        const unsigned char value = src[p];
        const std::size_t runLimit = std::min(kMaxRun, n - p);
        std::size_t run = 1;
        while (run < runLimit && src[p + run] == value) ++run;
        if (run >= kMinRun) {
            const std::size_t coded = run - kMinRun;
            dst[out] = 0;
            dst[out + 1] = static_cast<unsigned char>(coded >> 8);
            dst[out + 2] = static_cast<unsigned char>(coded & 0xFF);
            dst[out + 3] = value;
            out += 4;
            p += run;
            control |= 1;
            continue;
        }

        if (n - p >= kMinCopy) {
            const std::size_t h = hashAt(src + p);
            const std::uint16_t q = table[h];
            table[h] = static_cast<std::uint16_t>(p);
            if (q != kEmpty && p - q <= kMaxDistance) {
                const std::size_t limit = std::min(kMaxCopy, n - p);
                std::size_t length = 0;
                while (length < limit && src[q + length] == src[p + length]) ++length;
                if (length >= kMinCopy) {
                    const std::size_t word = (p - q) * 16 + (length - kMinCopy);
                    dst[out] = static_cast<unsigned char>(word >> 8);
                    dst[out + 1] = static_cast<unsigned char>(word & 0xFF);
                    out += 2;
                    p += length;
                    control |= 1;
                    continue;
                }
            }
        }
        dst[out++] = value;
        ++p;
    }
    control <<= (16 - items);
    dst[controlAt] = static_cast<unsigned char>((control >> 8) & 0xFF);
    dst[controlAt + 1] = static_cast<unsigned char>(control & 0xFF);

    if (out > n) {
        block.assign(1, static_cast<char>(kFlagStored));
        block.append(chunk);
        return block;
    }
    block.resize(out);
    return block;
}

bool decompressBlock(std::string_view block, std::string& out) {
    if (block.size() < 2) return true;
    const auto* src = reinterpret_cast<const unsigned char*>(block.data());
    const std::size_t size = block.size();
    if (src[0] == kFlagStored) {
        if (size - 1 > kChunkSize) return false;
        out.append(block.substr(1));
        return true;
    }
    if (src[0] != kFlagCompressed) return false;

    const std::size_t start = out.size();
    // Slack past the chunk lets short copies move eight bytes at a time.
    out.resize(start + kChunkSize + kSlack);
    auto* dst = reinterpret_cast<unsigned char*>(out.data()) + start;
    std::size_t written = 0;
    std::size_t at = 1;
    bool ok = true;
    while (ok && at < size) {
        if (size - at < 2) {
            ok = false;
            break;
        }
        unsigned control = unsigned{src[at]} << 8 | src[at + 1];
        at += 2;
        if (control == 0 && size - at >= 16 && kChunkSize - written >= 16) {
            std::memcpy(dst + written, src + at, 16);
            written += 16;
            at += 16;
            continue;
        }
        for (int item = 0; item < 16 && at < size; ++item, control <<= 1) {
            if ((control & 0x8000) == 0) {
                if (written == kChunkSize) {
                    ok = false;
                    break;
                }
                dst[written++] = src[at++];
                continue;
            }
            if (size - at < 2) {
                ok = false;
                break;
            }
            const std::size_t word = std::size_t{src[at]} << 8 | src[at + 1];
            const std::size_t distance = word >> 4;
            if (distance == 0) {
                if (size - at < 4) {
                    ok = false;
                    break;
                }
                const std::size_t count = (word << 8 | src[at + 2]) + kMinRun;
                if (count > kChunkSize - written) {
                    ok = false;
                    break;
                }
                std::memset(dst + written, src[at + 3], count);
                written += count;
                at += 4;
                continue;
            }
            const std::size_t length = (word & 0xF) + kMinCopy;
            if (distance > written || length > kChunkSize - written) {
                ok = false;
                break;
            }
            unsigned char* to = dst + written;
            const unsigned char* from = to - distance;
            if (distance >= 8) {
                // Each eight bytes come from before the ones being written.
                for (std::size_t i = 0; i < length; i += 8) std::memcpy(to + i, from + i, 8);
            } else {
                // An overlapping copy repeats what it has just written.
                for (std::size_t i = 0; i < length; ++i) to[i] = from[i];
            }
            written += length;
            at += 2;
        }
    }
    out.resize(ok ? start + written : start);
    return ok;
}

std::string compress(std::string_view text) {
    std::string file(kMagic);
    putLittle32(file, static_cast<std::uint32_t>(text.size()));
    file.reserve(kHeaderSize + text.size() / 2 + 16);
    std::size_t at = 0;
    std::size_t chunk = 0;
    do {
        chunk = std::min(kChunkSize, text.size() - at);
        const std::string block = compressBlock(text.substr(at, chunk));
        file.push_back(static_cast<char>(block.size() & 0xFF));
        file.push_back(static_cast<char>(block.size() >> 8));
        file.append(block);
        at += chunk;
    } while (chunk == kChunkSize);
    return file;
}

std::variant<std::string, CodecFailure> decompress(std::string_view file) {
    if (file.size() < kMagic.size() || file.substr(0, kMagic.size()) != kMagic) return CodecFailure::NoValidHeader;
    if (file.size() < kHeaderSize) return CodecFailure::ShortInput;
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
    const std::uint32_t announced = little32(bytes + 4);

    std::string text;
    text.reserve(std::min<std::size_t>(announced, file.size() * 8 + kChunkSize));
    std::size_t at = kHeaderSize;
    std::size_t produced = kChunkSize;
    while (produced == kChunkSize) {
        if (file.size() - at < 2) return CodecFailure::ShortInput;
        const std::size_t length = std::size_t{bytes[at]} | std::size_t{bytes[at + 1]} << 8;
        at += 2;
        if (file.size() - at < length) return CodecFailure::ShortInput;
        const std::size_t before = text.size();
        if (!decompressBlock(file.substr(at, length), text)) return CodecFailure::SizeMismatch;
        at += length;
        produced = text.size() - before;
        if (text.size() > announced) return CodecFailure::SizeMismatch;
    }
    // Bytes after the last block belong to no block the writer makes.
    if (at != file.size() || text.size() != announced) return CodecFailure::SizeMismatch;
    return text;
}

}  // namespace vornel::tally
