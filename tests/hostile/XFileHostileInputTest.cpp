#include "XFileParser.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

std::vector<XFileDataObject> Parse(std::string_view text) {
    return XFileParser().Parse({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

// Arrays of a template that declares no values, nested four deep with a thousand elements each: a
// trillion empty instances, which the padding lets the size check accept.
TEST(XFileHostileInput, NestedArraysOfEmptyTemplatesReadInstantly) {
    const std::string text = "xof 0303txt 0032\n"
                             "template Empty { }\n"
                             "template L1 { array Empty e[1000]; }\n"
                             "template L2 { array L1 e[1000]; }\n"
                             "template L3 { array L2 e[1000]; }\n"
                             "template Frame { array L3 e[1000]; [...] }\n"
                             "Frame Root { Frame Child { } }\n//" +
                             std::string(4000, '-') + "\n";
    const std::vector<XFileDataObject> objects = Parse(text);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0].children.size(), 1u);
}

} // namespace
