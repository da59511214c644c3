// Reads the values of one parsed data object in order, checking each read against what the object holds.
// The parser already matched the values to the template, but a file may redeclare a standard template
// with another layout; then the reads fail cleanly instead of running off the end.
#pragma once

#include "XFileDataObject.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

class XFileValueCursor {
public:
    explicit XFileValueCursor(const XFileDataObject& object) : m_object(object) {}

    std::uint32_t Integer() {
        if (m_integer >= m_object.integers.size())
            Fail("holds fewer integers than its layout needs");
        return m_object.integers[m_integer++];
    }
    float Float() {
        if (m_float >= m_object.floats.size())
            Fail("holds fewer floats than its layout needs");
        return m_object.floats[m_float++];
    }
    // The next `count` integers at once.
    std::span<const std::uint32_t> Integers(std::size_t count) {
        Require(count, 0);
        const std::span<const std::uint32_t> values(m_object.integers.data() + m_integer, count);
        m_integer += count;
        return values;
    }
    template <std::size_t N> std::array<float, N> Floats() {
        Require(0, N);
        std::array<float, N> values;
        for (float& value : values)
            value = m_object.floats[m_float++];
        return values;
    }
    const std::string& String() {
        if (m_string >= m_object.strings.size())
            Fail("holds fewer strings than its layout needs");
        return m_object.strings[m_string++];
    }
    // Checks that this many integers and floats are left, before anything is sized for them.
    void Require(std::uint64_t integers, std::uint64_t floats) const;

    [[noreturn]] void Fail(const std::string& what) const;

private:
    const XFileDataObject& m_object;
    std::size_t m_integer = 0;
    std::size_t m_float = 0;
    std::size_t m_string = 0;
};
