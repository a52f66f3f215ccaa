#pragma once
// Reading a message's leading number fields in one go, as the table's
// handlers do for the host's messages.

#include <array>
#include <cstddef>
#include <string_view>

#include "net/protocol.h"

namespace vornel::net {

// Reads the first N fields of `rest` as numbers into `out`; false when one
// does not read (then `out` is partly filled and should not be used).
template <std::size_t N>
bool readNumbers(std::string_view rest, std::array<int, N>& out) {
    FieldReader reader(rest);
    for (auto& value : out) {
        const auto number = reader.number();
        if (!number) return false;
        value = *number;
    }
    return true;
}

}  // namespace vornel::net
