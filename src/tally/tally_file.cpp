#include "tally/tally_file.h"

#include <fstream>
#include <iterator>
#include <new>
#include <system_error>

namespace vornel::tally {
namespace {

std::filesystem::path temporaryPath(const std::filesystem::path& file) {
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    return temporary;
}

}  // namespace

std::string failureMessage(CodecFailure failure, const std::filesystem::path& file) {
    switch (failure) {
    case CodecFailure::NoValidHeader:
        return file.string() + " : Lzrw1 decompression : this file has no valid header !";
    case CodecFailure::ShortInput:
        return "Lzrw1 : Error reading from input file : " + file.string();
    case CodecFailure::SizeMismatch:
        break;
    }
    return "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
}

std::string openInputMessage(const std::filesystem::path& file) {
    return "Lzrw1 (de)compression : Failed to open input file : " + file.string();
}

std::string openOutputMessage(const std::filesystem::path& file) {
    return "Lzrw1 (de)compression : Failed to open output file : " + file.string();
}

std::string writeErrorMessage(const std::filesystem::path& file) {
    return "Lzrw1 : Error writing to output file : " + file.string();
}

std::string memoryMessage() { return "Lzrw1 (de)compression : Failed to get memory for I/O buffers !"; }

std::string notATallyMessage(const std::filesystem::path& file) {
    return file.string() + " : this file holds no readable tally !";
}

std::filesystem::path damagedFilePath(const std::filesystem::path& file) {
    std::filesystem::path kept = file;
    kept += kDamagedSuffix;
    return kept;
}

ReadResult readWholeFile(const std::filesystem::path& file) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error)) return {std::nullopt, openInputMessage(file)};
    std::ifstream in(file, std::ios::binary);
    if (!in) return {std::nullopt, openInputMessage(file)};
    try {
        std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (in.bad()) return {std::nullopt, "Lzrw1 : Error reading from input file : " + file.string()};
        return {std::move(bytes), {}};
    } catch (const std::bad_alloc&) {
        return {std::nullopt, memoryMessage()};
    }
}

ReadResult readCompressedFile(const std::filesystem::path& file) {
    ReadResult whole = readWholeFile(file);
    if (!whole.bytes) return whole;
    try {
        auto text = decompress(*whole.bytes);
        if (auto* failure = std::get_if<CodecFailure>(&text)) return {std::nullopt, failureMessage(*failure, file)};
        return {std::move(std::get<std::string>(text)), {}};
    } catch (const std::bad_alloc&) {
        return {std::nullopt, memoryMessage()};
    }
}

std::optional<std::string> writeFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
    const std::filesystem::path temporary = temporaryPath(file);
    std::error_code error;
    if (std::filesystem::is_directory(temporary, error)) return openOutputMessage(file);
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return openOutputMessage(file);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    const bool written = static_cast<bool>(out);
    out.close();
    if (written && !out.fail()) {
        std::filesystem::rename(temporary, file, error);
        if (!error) return std::nullopt;
    }
    std::filesystem::remove(temporary, error);
    return writeErrorMessage(file);
}

LoadedTally loadTallyFile(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::exists(file, error) && !error) return {};
    const ReadResult read = readCompressedFile(file);
    if (!read.bytes) return {TallyTable(), read.failure};
    auto table = TallyTable::fromText(*read.bytes);
    if (!table) return {TallyTable(), notATallyMessage(file)};
    table->startRun();
    return {std::move(*table), std::nullopt};
}

bool keepDamagedFile(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::exists(file, error)) return !error;
    const std::filesystem::path kept = damagedFilePath(file);
    std::filesystem::remove(kept, error);
    std::filesystem::rename(file, kept, error);
    return !error;
}

}  // namespace vornel::tally
