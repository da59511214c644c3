#include "TextForm.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

namespace {

class TextFormTest : public testing::Test {
protected:
    void SetUp() override { TextForm::SetClickFlg(false); }
    void TearDown() override { TextForm::SetClickFlg(false); }
};

} // namespace

TEST_F(TextFormTest, TheChangeFlagOutlivesEveryDialog) {
    EXPECT_FALSE(TextForm::GetClickFlg());
    auto dialog = std::make_unique<TextForm>();
    dialog->show();
    dialog->textBox1->setText(QString());
    dialog->button2->click();
    EXPECT_TRUE(dialog->isVisible());
    dialog.reset();
    // Raised with no object selected, it waits for the next selection, whatever became of the dialog.
    EXPECT_TRUE(TextForm::GetClickFlg());
    TextForm another;
    EXPECT_TRUE(TextForm::GetClickFlg());
    TextForm::SetClickFlg(false);
    EXPECT_FALSE(TextForm::GetClickFlg());
}

TEST_F(TextFormTest, EnterInTheNameFieldActsAsTheButton) {
    TextForm dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("リストで選択されているオブジェクトの名前を変更します"));
    dialog.textBox1->setText(QStringLiteral("床"));
    QTest::keyClick(dialog.textBox1, Qt::Key_Return);
    EXPECT_TRUE(TextForm::GetClickFlg());
    EXPECT_EQ(dialog.textBox1->text(), QStringLiteral("床"));
}
