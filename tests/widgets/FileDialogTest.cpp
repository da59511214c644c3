#include "FileDialog.h"
#include "ScopedFileChooser.h"
#include "TempDir.h"
#include "WhenModal.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

const QString kMatrixSaveFilter =
    QStringLiteral("行列をテキストデータで保存する|*.mat|行列をバイナリデータで保存する|*.mat");

// The file name the dialog hands on when the user types a name under a filter and confirms.
QString Confirmed(FileDialog& dialog, const QString& typed, int filterIndex = 1) {
    ScopedFileChooser chooser;
    chooser.Choose(typed, filterIndex);
    dialog.ShowDialog(nullptr);
    return dialog.fileName();
}

} // namespace

TEST(FileDialog, ConfirmStoresNameAndFilterRaisesOneFileOkAndIsKeptForTheNextUse) {
    TempDir dir;
    FileDialog dialog(FileDialog::Kind::Save);
    dialog.setFilter(kMatrixSaveFilter);
    dialog.setFileName(QStringLiteral("<保存するファイル名を入力してください>"));
    QSignalSpy fileOk(&dialog, &FileDialog::FileOk);

    ScopedFileChooser chooser;
    const QString path = Q(dir.File("object.mat"));
    chooser.Choose(path, 2);
    EXPECT_EQ(dialog.ShowDialog(nullptr), FileDialog::Result::OK);
    EXPECT_EQ(chooser.LastFileName(), QStringLiteral("<保存するファイル名を入力してください>"));
    EXPECT_EQ(fileOk.count(), 1);
    EXPECT_EQ(dialog.fileName(), path);
    EXPECT_EQ(dialog.filterIndex(), 2);

    // The next use starts where the last one ended; cancelling it keeps that and raises nothing.
    chooser.Cancel();
    EXPECT_EQ(dialog.ShowDialog(nullptr), FileDialog::Result::Cancel);
    EXPECT_EQ(chooser.LastFileName(), path);
    EXPECT_EQ(chooser.LastFilterIndex(), 2);
    EXPECT_EQ(fileOk.count(), 1);
    EXPECT_EQ(dialog.fileName(), path);
    EXPECT_EQ(dialog.filterIndex(), 2);
}

TEST(FileDialog, UnusableChoicesAreCancelsOrClampedNeverPassedOn) {
    TempDir dir;
    FileDialog dialog(FileDialog::Kind::Save);
    dialog.setFilter(kMatrixSaveFilter);
    dialog.setFileName(QStringLiteral("before"));
    QSignalSpy fileOk(&dialog, &FileDialog::FileOk);
    ScopedFileChooser chooser;

    chooser.Choose(QString(), 1);
    EXPECT_EQ(dialog.ShowDialog(nullptr), FileDialog::Result::Cancel);
    EXPECT_EQ(dialog.fileName(), QStringLiteral("before"));

    // A consumer that tells text from binary by the index must never see one it does not know.
    chooser.Choose(Q(dir.File("a.mat")), 7);
    dialog.ShowDialog(nullptr);
    EXPECT_EQ(dialog.filterIndex(), 2);
    chooser.Choose(Q(dir.File("a.mat")), 0);
    dialog.ShowDialog(nullptr);
    EXPECT_EQ(dialog.filterIndex(), 1);
    EXPECT_EQ(fileOk.count(), 2);

    // Relative names are handed on as full paths.
    EXPECT_EQ(Confirmed(dialog, QStringLiteral("Data/a.mat")),
              QDir::current().absoluteFilePath("Data/a.mat"));
}

TEST(FileDialog, SaveAddsTheExtensionOnlyWhereTheNameHasNone) {
    FileDialog dialog(FileDialog::Kind::Save);
    dialog.setFilter(QStringLiteral("マップの情報を保存します|*.map|すべてのファイル|*.*"));
    dialog.setDefaultExt(QStringLiteral("map"));

    EXPECT_EQ(Confirmed(dialog, QStringLiteral("/d/scene")), QStringLiteral("/d/scene.map"));
    EXPECT_EQ(Confirmed(dialog, QStringLiteral("/d/scene.txt")), QStringLiteral("/d/scene.txt"));
    // A dot in a folder name is no extension of the file; a leading dot marks a hidden file.
    EXPECT_EQ(Confirmed(dialog, QStringLiteral("/d.v2/scene")), QStringLiteral("/d.v2/scene.map"));
    EXPECT_EQ(Confirmed(dialog, QStringLiteral("/d/.scene")), QStringLiteral("/d/.scene.map"));
    // "*.*" names no extension, so the default one is taken, with or without its dot.
    dialog.setDefaultExt(QStringLiteral(".bak"));
    EXPECT_EQ(Confirmed(dialog, QStringLiteral("/d/scene"), 2), QStringLiteral("/d/scene.bak"));

    dialog.setAddExtension(false);
    EXPECT_EQ(Confirmed(dialog, QStringLiteral("/d/scene")), QStringLiteral("/d/scene"));

    FileDialog multi(FileDialog::Kind::Save);
    multi.setFilter(QStringLiteral("archive|*.tar.gz"));
    EXPECT_EQ(Confirmed(multi, QStringLiteral("/d/a")), QStringLiteral("/d/a.gz"));
    multi.setSupportMultiDottedExtensions(true);
    EXPECT_EQ(Confirmed(multi, QStringLiteral("/d/a")), QStringLiteral("/d/a.tar.gz"));
}

TEST(FileDialog, OpenAddsAnExtensionOnlyWhenThatNamesAnExistingFile) {
    TempDir dir;
    dir.Write("model.x", "xof ");
    FileDialog dialog(FileDialog::Kind::Open);
    dialog.setFilter(QStringLiteral("XFILE|*.x|すべてのファイル|*.*"));
    dialog.setDefaultExt(QStringLiteral("x"));

    EXPECT_EQ(Confirmed(dialog, Q(dir.File("model"))), Q(dir.File("model.x")));
    EXPECT_EQ(Confirmed(dialog, Q(dir.File("other"))), Q(dir.File("other")));
    dialog.setAddExtension(false);
    EXPECT_EQ(Confirmed(dialog, Q(dir.File("model"))), Q(dir.File("model")));
}

TEST(FileDialog, TheDialogStartsAtTheLastChoiceAndAsksBeforeOverwritingTheCompletedName) {
    TempDir dir;
    dir.Write("new.mat", "kept");
    FileDialog dialog(FileDialog::Kind::Save);
    dialog.setFilter(kMatrixSaveFilter);
    dialog.setFileName(Q(dir.File("old.mat")));
    dialog.setFilterIndex(2);

    // "new" becomes "new.mat", which exists: answering No goes back to the dialog, cancelled there.
    QString startFolder, startFilter;
    WhenModal<QFileDialog>([&](QFileDialog& files) {
        startFolder = files.directory().absolutePath();
        startFilter = files.selectedNameFilter();
        files.selectFile(QStringLiteral("new"));
        WhenModal<QMessageBox>([](QMessageBox& box) {
            WhenModal<QFileDialog>([](QFileDialog& again) { again.reject(); });
            box.button(QMessageBox::No)->click();
        });
        static_cast<QDialog&>(files).accept();
    });
    EXPECT_EQ(dialog.ShowDialog(nullptr), FileDialog::Result::Cancel);
    EXPECT_EQ(startFolder, Q(dir.Path().string()));
    EXPECT_EQ(startFilter, QStringLiteral("行列をバイナリデータで保存する (*.mat)"));
    EXPECT_EQ(dialog.fileName(), Q(dir.File("old.mat")));
    EXPECT_EQ(TempDir::Read(dir.File("new.mat")), "kept");

    WhenModal<QFileDialog>([](QFileDialog& files) {
        files.selectFile(QStringLiteral("new"));
        WhenModal<QMessageBox>([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
        static_cast<QDialog&>(files).accept();
    });
    EXPECT_EQ(dialog.ShowDialog(nullptr), FileDialog::Result::OK);
    EXPECT_EQ(dialog.fileName(), Q(dir.File("new.mat")));
    EXPECT_EQ(dialog.filterIndex(), 2);
}

TEST(FileDialog, WindowsFiltersBecomeQtFiltersThatMatchTheSameFiles) {
    FileDialog dialog(FileDialog::Kind::Open);
    dialog.setFilter(QStringLiteral("読み込めるすべてのファイル|*.bmp;*.png|全てのファイル|*.*|incomplete"));
    QStringList filters;
    WhenModal<QFileDialog>([&](QFileDialog& files) {
        filters = files.nameFilters();
        files.reject();
    });
    EXPECT_EQ(dialog.ShowDialog(nullptr), FileDialog::Result::Cancel);
    // "*.*" matches names without a dot too, as it does on Windows; an unfinished entry is dropped.
    EXPECT_EQ(filters, QStringList({QStringLiteral("読み込めるすべてのファイル (*.bmp *.png)"),
                                    QStringLiteral("全てのファイル (*)")}));
}
