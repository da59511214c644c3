#include "CLIStringToChar.h"

#include <gtest/gtest.h>

#include <QChar>
#include <QString>

TEST(CLIStringToChar, ConvertsWindowStringsToUtf8FileNames) {
    EXPECT_EQ(CLIStringToChar(QString()), "");
    EXPECT_EQ(CLIStringToChar(QStringLiteral("Data/model.x")), "Data/model.x");
    EXPECT_EQ(CLIStringToChar(QStringLiteral("地図/木.x")), "地図/木.x");
    // A character outside the basic plane arrives as a surrogate pair and leaves as one 4-byte sequence.
    EXPECT_EQ(CLIStringToChar(QString::fromUtf8("\xF0\x9F\x98\x80")), "\xF0\x9F\x98\x80");
}

TEST(CLIStringToChar, KeepsEmbeddedZerosAndSubstitutesBrokenSurrogates) {
    const QString withZero = QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b");
    EXPECT_EQ(CLIStringToChar(withZero), std::string("a\0b", 3));

    const QString lone = QStringLiteral("x") + QChar(char16_t(0xD800)) + QStringLiteral("y");
    const std::string bytes = CLIStringToChar(lone);
    EXPECT_EQ(bytes.front(), 'x');
    EXPECT_EQ(bytes.back(), 'y');
    EXPECT_EQ(bytes.find('\xED'), std::string::npos) << "a lone surrogate must not be encoded as is";
}
