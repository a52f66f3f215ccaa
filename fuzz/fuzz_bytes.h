#pragma once
// A fuzzer's input read front to back: past its end every byte reads as 0
// and every run of bytes as empty, so a script never runs out of arguments.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vornel::fuzz {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    std::string_view take(std::size_t n) {
        n = std::min(n, size_ - at_);
        const std::string_view out(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace vornel::fuzz
