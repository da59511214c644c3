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

// Two published models close a brace too many before their animation set; the rest is still read.
TEST(XFileHostileInput, StrayTopLevelBraceIsSkipped) {
    testing::internal::CaptureStderr();
    const std::vector<XFileDataObject> objects = Parse("xof 0303txt 0032\nFrame A { }\n}\nFrame B { }\n");
    const std::string warning = testing::internal::GetCapturedStderr();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[1].name, "B");
    EXPECT_NE(warning.find("line 3"), std::string::npos) << warning;
}

} // namespace
