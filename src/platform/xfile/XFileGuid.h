// A template or object UUID as the file stores it: the four fields of the OSF DCE layout.
#pragma once

#include <array>
#include <cstdint>

struct XFileGuid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    friend bool operator==(const XFileGuid&, const XFileGuid&) = default;
};
