#include "PopWindow.h"
#include "NumericUpDown.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void Type(NumericUpDown* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

} // namespace

TEST(PopWindow, OKStoresTheFieldsAndCanBePressedAgain) {
    PopWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ControlBox"));
    EXPECT_FALSE(window.GetButtonPush());

    window.numericUpDown1->setValue(1.0);
    window.numericUpDown2->setValue(2.0);
    window.numericUpDown3->setValue(-3.5);
    window.button1->click();
    EXPECT_TRUE(window.GetButtonPush());
    EXPECT_EQ(window.GetxValue(), 1.0f);
    EXPECT_EQ(window.GetyValue(), 2.0f);
    EXPECT_EQ(window.GetzValue(), -3.5f);

    // The consumer applies once and clears; the fields keep their numbers for another OK.
    window.SetxValue(0.0f);
    window.SetyValue(0.0f);
    window.SetzValue(0.0f);
    window.SetButtonPush(false);
    window.button1->click();
    EXPECT_TRUE(window.GetButtonPush());
    EXPECT_EQ(window.GetxValue(), 1.0f);
    EXPECT_EQ(window.GetzValue(), -3.5f);

    // A closed pop-up still answers with what it held.
    window.close();
    EXPECT_TRUE(window.GetButtonPush());
    EXPECT_EQ(window.GetyValue(), 2.0f);
}

TEST(PopWindow, EnterPressesOKWithTheNumberBeingTyped) {
    PopWindow window;
    window.show();
    Type(window.numericUpDown2, QStringLiteral("12.25"));
    QTest::keyClick(window.numericUpDown2, Qt::Key_Return);
    EXPECT_TRUE(window.GetButtonPush());
    EXPECT_EQ(window.GetyValue(), 12.25f);
}

TEST(PopWindow, FieldsAcceptTheirBoundsAndClampTypedNumbersBeyond) {
    PopWindow window;
    window.show();
    window.numericUpDown1->setValue(-999999.0);
    window.numericUpDown2->setValue(999999.0);
    EXPECT_EQ(window.numericUpDown1->value(), -999999.0);
    EXPECT_EQ(window.numericUpDown2->value(), 999999.0);

    Type(window.numericUpDown1, QStringLiteral("1234567"));
    Type(window.numericUpDown2, QStringLiteral("-5000000"));
    Type(window.numericUpDown3, QStringLiteral("0.123456789"));
    window.button1->click();
    EXPECT_EQ(window.GetxValue(), 999999.0f);
    EXPECT_EQ(window.GetyValue(), -999999.0f);
    EXPECT_FLOAT_EQ(window.GetzValue(), 0.12345f);
}
