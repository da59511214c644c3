#include "ExternalViewer.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Stands in for the desktop's viewer so that no program is started.
class ViewerStandIn : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened.append(url); }
};

class ExternalViewerTest : public testing::Test {
protected:
    void SetUp() override { QDesktopServices::setUrlHandler(QStringLiteral("file"), &viewer, "Open"); }
    void TearDown() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    ViewerStandIn viewer;
};

} // namespace

TEST_F(ExternalViewerTest, OpensAnExistingFileByItsFullPath) {
    TempDir dir;
    const std::string path = dir.Write("ReadMe.txt", "text");
    MessageBoxRecorder recorder;
    EXPECT_TRUE(OpenInExternalViewer(QString::fromStdString(path)));
    ASSERT_EQ(viewer.opened.size(), 1);
    EXPECT_EQ(viewer.opened[0], QUrl::fromLocalFile(QString::fromStdString(path)));
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST_F(ExternalViewerTest, AMissingFileOrAFolderIsReportedNamingThePath) {
    TempDir dir;
    MessageBoxRecorder recorder;
    const QString missing = QString::fromStdString(dir.File("Data/Text/ReadMe.txt"));
    EXPECT_FALSE(OpenInExternalViewer(missing));
    EXPECT_FALSE(OpenInExternalViewer(QString::fromStdString(dir.Path().string())));
    EXPECT_FALSE(OpenInExternalViewer(QString()));
    EXPECT_TRUE(viewer.opened.isEmpty());
    ASSERT_EQ(recorder.Messages().size(), 3u);
    EXPECT_NE(recorder.Messages()[0].text.find(missing.toStdString()), std::string::npos);
    EXPECT_NE(recorder.Messages()[0].text.find("開けませんでした"), std::string::npos);
}

#include "ExternalViewerTest.moc"
