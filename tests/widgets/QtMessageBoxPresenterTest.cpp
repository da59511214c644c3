#include "QtMessageBoxPresenter.h"
#include "WhenModal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include <functional>

#include <gtest/gtest.h>

namespace {

void WhenMessageBoxShows(std::function<void(QMessageBox&)> act) {
    WhenModal<QMessageBox>(std::move(act));
}

class QtMessageBoxPresenterTest : public testing::Test {
protected:
    void SetUp() override {
        m_previous = SetMessageBoxPresenter(nullptr);
        InstallQtMessageBoxPresenter();
    }
    void TearDown() override { SetMessageBoxPresenter(m_previous); }

private:
    MessageBoxPresenter m_previous;
};

} // namespace

TEST_F(QtMessageBoxPresenterTest, ShowsCaptionTextButtonsAndIconAndAnswersThePressedButton) {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    WhenMessageBoxShows([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        icon = box.icon();
        buttons = box.standardButtons();
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(MessageBoxA(nullptr, "終了しますか？", "Information", MB_YESNO | MB_ICONINFORMATION), IDNO);
    EXPECT_EQ(title, QStringLiteral("Information"));
    EXPECT_EQ(text, QStringLiteral("終了しますか？"));
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);

    WhenMessageBoxShows([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_YESNO), IDYES);
}

TEST_F(QtMessageBoxPresenterTest, ClosingWithoutAButtonAnswersTheHarmlessChoice) {
    // Closing the window must never count as "Yes, quit" or "OK, go ahead".
    WhenMessageBoxShows([](QMessageBox& box) { box.close(); });
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_YESNO), IDNO);
    WhenMessageBoxShows([](QMessageBox& box) { box.close(); });
    EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_OKCANCEL), IDCANCEL);
}
