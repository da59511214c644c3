// Float comparison by units in the last place: how many representable floats lie between two values.
// +0 and -0 are 0 apart; a NaN is infinitely far from everything, itself included.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <sstream>

namespace fsmith::test {

inline std::int64_t OrderedFloatBits(float f) {
    const auto bits = static_cast<std::int64_t>(std::bit_cast<std::uint32_t>(f));
    // Negative floats count downwards from -0, so the mapping is monotonic across zero.
    return bits < 0x80000000LL ? bits : 0x80000000LL - bits;
}

inline std::uint64_t UlpDistance(float a, float b) {
    if (std::isnan(a) || std::isnan(b)) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    const std::int64_t d = OrderedFloatBits(a) - OrderedFloatBits(b);
    return static_cast<std::uint64_t>(d < 0 ? -d : d);
}

// True when the floats are within maxUlps of each other, or differ by no more than absFloor: near zero
// a result of cancellation is judged by its absolute size, where ULPs mean nothing.
inline bool FloatsClose(float actual, float expected, std::uint64_t maxUlps, float absFloor = 0.0f) {
    if (UlpDistance(actual, expected) <= maxUlps) {
        return true;
    }
    return std::fabs(double(actual) - double(expected)) <= double(absFloor);
}

// For EXPECT_PRED_FORMAT3(FloatsWithinUlps, actual, expected, maxUlps).
inline testing::AssertionResult FloatsWithinUlps(const char* actualExpr, const char* expectedExpr,
                                                 const char*, float actual, float expected,
                                                 std::uint64_t maxUlps) {
    if (FloatsClose(actual, expected, maxUlps)) {
        return testing::AssertionSuccess();
    }
    std::ostringstream text;
    text.precision(9);
    text << actualExpr << " = " << actual << " is " << UlpDistance(actual, expected) << " ULPs from "
         << expectedExpr << " = " << expected << " (allowed " << maxUlps << ")";
    return testing::AssertionFailure() << text.str();
}

// Compares `count` floats starting at `actual` (a matrix, a vector) with those at `expected`, element
// by element, and names the first one out of range.
inline testing::AssertionResult AllWithinUlps(const float* actual, const float* expected, std::size_t count,
                                              std::uint64_t maxUlps, float absFloor = 0.0f) {
    for (std::size_t i = 0; i < count; ++i) {
        if (!FloatsClose(actual[i], expected[i], maxUlps, absFloor)) {
            std::ostringstream text;
            text.precision(9);
            text << "element " << i << " is " << actual[i] << ", expected " << expected[i] << " ("
                 << UlpDistance(actual[i], expected[i]) << " ULPs apart, allowed " << maxUlps
                 << ", or within " << absFloor << ")";
            return testing::AssertionFailure() << text.str();
        }
    }
    return testing::AssertionSuccess();
}

// Same, with the expected values written out in place: AllWithinUlps(m, {1, 0, 0, 0, ...}, 2).
inline testing::AssertionResult AllWithinUlps(const float* actual, std::initializer_list<float> expected,
                                              std::uint64_t maxUlps, float absFloor = 0.0f) {
    return AllWithinUlps(actual, expected.begin(), expected.size(), maxUlps, absFloor);
}

// gmock matcher: EXPECT_THAT(x, IsWithinUlps(0.5f, 2)).
MATCHER_P2(IsWithinUlps, expected, maxUlps,
           std::string("is within ") + testing::PrintToString(maxUlps) + " ULPs of " +
               testing::PrintToString(expected)) {
    const auto distance = UlpDistance(arg, expected);
    *result_listener << distance << " ULPs away";
    return distance <= static_cast<std::uint64_t>(maxUlps);
}

} // namespace fsmith::test
