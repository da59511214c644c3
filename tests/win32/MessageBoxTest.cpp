#include "MessageBox.h"
#include "MessageBoxRecorder.h"

#include <gtest/gtest.h>

TEST(MessageBox, RecorderCapturesCallsAndRestoresThePreviousPresenter) {
    int outerCalls = 0;
    MessageBoxPresenter outer = [&](HWND, const std::string&, const std::string&, unsigned) {
        ++outerCalls;
        return IDCANCEL;
    };
    MessageBoxPresenter before = SetMessageBoxPresenter(outer);
    {
        MessageBoxRecorder recorder(IDYES);
        EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_YESNO), IDYES);
        EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_OK), IDYES);
        ASSERT_EQ(recorder.Messages().size(), 2u);
        EXPECT_EQ(recorder.Messages()[0].text, "text");
        EXPECT_EQ(recorder.Messages()[0].caption, "caption");
        EXPECT_EQ(recorder.Messages()[0].type, MB_YESNO);
        EXPECT_EQ(recorder.Messages()[1].text, "");
    }
    EXPECT_EQ(outerCalls, 0);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK), IDCANCEL);
    EXPECT_EQ(outerCalls, 1);
    SetMessageBoxPresenter(before);
}

TEST(MessageBox, DefaultPresenterWritesCaptionAndTextToStandardError) {
    MessageBoxPresenter before = SetMessageBoxPresenter(nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "パスを確認", "ファイルオープンエラー", MB_OK), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ファイルオープンエラー: パスを確認\n");
    SetMessageBoxPresenter(before);
}
