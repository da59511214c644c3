#include "DeviceCommands.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QImage>
#include <sstream>

TEST(FsmithDevice, DescribesTheRendererAndTheFormats) {
    std::ostringstream out, err;
    ASSERT_EQ(DeviceCommands::Describe(out, err), 0) << err.str();
    EXPECT_NE(out.str().find("renderer: "), std::string::npos);
    EXPECT_NE(out.str().find("GL version: "), std::string::npos);
    EXPECT_NE(out.str().find("target formats: D3DFMT_X8R8G8B8 D3DFMT_A8R8G8B8 D3DFMT_R32F"),
              std::string::npos);
    EXPECT_NE(out.str().find("depth formats: D3DFMT_D16 D3DFMT_D24S8"), std::string::npos);
}

TEST(FsmithDrawTest, DrawsTheBoxTheAxesAndTheText) {
    TempDir dir;
    std::ostringstream out, err;
    ASSERT_EQ(DeviceCommands::DrawTest(dir.File("test.png"), out, err), 0) << err.str();
    const QImage image(QString::fromStdString(dir.File("test.png")));
    ASSERT_EQ(image.width(), 640);
    ASSERT_EQ(image.height(), 480);
    // The lit box stands in the middle of the picture, orange on its sunny side.
    const QColor box = image.pixelColor(330, 240);
    EXPECT_GT(box.red(), 150);
    EXPECT_GT(box.red(), box.blue() + 80);
    // The title text leaves white pixels near the top-left corner, and the background is black.
    int bright = 0;
    for (int y = 12; y < 36; ++y)
        for (int x = 12; x < 300; ++x)
            bright += image.pixelColor(x, y).lightness() > 200;
    EXPECT_GT(bright, 100);
    EXPECT_EQ(image.pixelColor(5, 470), QColor(0, 0, 0));
}

TEST(FsmithDrawTest, AnUnwritableFileIsReportedAsAFailure) {
    TempDir dir;
    std::ostringstream out, err;
    EXPECT_EQ(DeviceCommands::DrawTest(dir.File("missing/test.png"), out, err), 1);
    EXPECT_NE(err.str().find("cannot write"), std::string::npos);
}
