#include "EffectFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* const kEffect = "parameter float4 Diffuse;\n"
                            "technique Tech\n"
                            "pass P0\n"
                            "vertex\n"
                            "void main() {}\n"
                            "fragment\n"
                            "void main() {}\n";

// Lines of blanks other than spaces and tabs are blank lines like any other.
class EffectFileBlankLine : public testing::TestWithParam<std::string> {};

TEST_P(EffectFileBlankLine, IsSkipped) {
    EffectFile file;
    std::string error;
    ASSERT_TRUE(EffectFile::Parse(GetParam() + "\n" + kEffect, "x.fx", file, error)) << error;
    EXPECT_EQ(file.Techniques().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Blanks, EffectFileBlankLine, testing::Values("\v", "\f", " \v\f\t\r", "\v\v\v\v"));

TEST(EffectFileHostileInput, WordsAfterAVerticalTabAreRead) {
    EffectFile file;
    std::string error;
    ASSERT_TRUE(
        EffectFile::Parse(std::string("parameter\vfloat\fScale = 2;\n") + kEffect, "x.fx", file, error))
        << error;
    EXPECT_EQ(file.Parameters().at(0).name, "Scale");
}

} // namespace
