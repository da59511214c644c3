#include "CXLISTFixture.h"

#include "PopWindow.h"

#include <cstring>

namespace {

using Strings = std::vector<std::string>;

class ListFiles : public ObjectList {
protected:
    std::string Map(const std::string& name, const std::vector<Fieldsmith::_TAG_MAPDATA>& records) {
        return m_dir.Write(name, Fieldsmith::MapFileText(records));
    }
    // A place where nothing can be written: a file stands where the folder should be.
    std::string Unwritable(const std::string& name) { return m_dir.Write("blocker", "x") + "/" + name; }
    static const std::string kLoadError;
    static const std::string kSaveError;
};

const std::string ListFiles::kLoadError = CXLIST::kLoadErrorText;
const std::string ListFiles::kSaveError = CXLIST::kSaveErrorText;

} // namespace

TEST_F(ListFiles, MapsAppendNamedObjectsAndSaveEveryObjectInListOrder) {
    Open(m_box);
    const std::string map = Map("two.map", {{m_ball, Moved(1, 0, 0)}, {m_box, Moved(0, 0, -2)}});
    OpenMap(map);
    EXPECT_EQ(Names(), (Strings{"OBJ1", "MapObj2", "MapObj3"}));
    EXPECT_EQ(IDs(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(List().SelectedIndex(), 2);
    EXPECT_TRUE(List().GetItemChecked(1) && List().GetItemChecked(2));
    EXPECT_FALSE(m_form->GetMapOpenFlg());
    EXPECT_EQ(*m_list.GetWorld(1), Moved(1, 0, 0));
    EXPECT_EQ(m_list.GetFileName(2), m_box);
    EXPECT_TRUE(m_messages.Messages().empty());

    // The model command takes a map too, and hidden objects are saved with the rest.
    Open(map);
    EXPECT_EQ(Names(), (Strings{"OBJ1", "MapObj2", "MapObj3", "MapObj4", "MapObj5"}));
    List().SetItemChecked(1, false);
    const std::string saved = m_dir.File("saved.map");
    m_form->saveFileDialog6->setFileName(QString::fromStdString(saved));
    m_form->SetMapSaveFlg(true);
    Frame();
    EXPECT_FALSE(m_form->GetMapSaveFlg());
    std::vector<Fieldsmith::_TAG_MAPDATA> expected;
    for (int i = 0; i < 5; ++i)
        expected.push_back(m_list.GetMapData(i));
    EXPECT_EQ(TempDir::Read(saved), Fieldsmith::MapFileText(expected));
    EXPECT_EQ(expected[0].name, m_box);
}

TEST_F(ListFiles, FailingRecordsAreNamedInOneMessageAndTheOthersLoad) {
    const std::string missing = m_dir.File("gone.x");
    OpenMap(Map("holes.map", {{missing, Moved(1, 0, 0)}, {m_box, Moved(2, 0, 0)}}));
    EXPECT_EQ(Names(), (Strings{"MapObj1"}));
    EXPECT_EQ(*m_list.GetWorld(0), Moved(2, 0, 0));
    EXPECT_EQ(Texts(), (Strings{kLoadError + "\n" + missing}));
    EXPECT_EQ(m_messages.Messages()[0].caption, "Information");

    // A file dropped by mistake would read as a map of one record per token; none of them has a map
    // record's form, so it is one message naming the file.
    std::string garbage;
    for (int i = 0; i < 500; ++i)
        garbage += "\x01\x02junk" + std::to_string(i) + " ";
    const std::string picture = m_dir.Write("picture.png", garbage);
    Open(picture);
    EXPECT_EQ(m_list.GetMaxSize(), 1u);
    EXPECT_FALSE(m_form->GetXFileOpenFlg());
    ASSERT_EQ(m_messages.Messages().size(), 2u);
    EXPECT_EQ(Texts()[1], kLoadError + "\n" + picture + "\nXFILEでもMapファイルでもありません。");
}

// What the model command says about a file it cannot place: a broken X file in the X reader's words,
// any other file that is no map in one line naming it; a map keeps listing its missing models.
TEST_F(ListFiles, AFileThatIsNoModelIsReportedForWhatItIs) {
    const std::string missing = m_dir.File("gone.x");
    const struct {
        std::string name, contents, expected;
    } files[] = {
        {"broken.x", "xof 0303txt 0032\ntemplate Frame {\n <3D82AB46-62DA-11cf-AB39-0020AF71E433>\n",
         "broken.x: line 4: the file ends inside template 'Frame'"},
        {"ReadMe.txt", "A model editor.\nOpen a map, then save it.\n",
         "ReadMe.txt\nXFILEでもMapファイルでもありません。"},
        {"image.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
         "image.png\nXFILEでもMapファイルでもありません。"},
        {"holes.map", "XFileName{" + missing + "},Matrix(1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1);\r\n",
         "\n" + missing},
    };
    for (const auto& file : files) {
        const std::size_t before = m_messages.Messages().size();
        Open(m_dir.Write(file.name, file.contents));
        ASSERT_EQ(m_messages.Messages().size(), before + 1) << file.name;
        const std::string text = Texts().back();
        EXPECT_TRUE(text.starts_with(kLoadError + "\n")) << text;
        EXPECT_TRUE(text.ends_with(file.expected)) << text;
        EXPECT_EQ(text.find("0303txt"), std::string::npos) << "an X file's words are no missing models";
    }
    EXPECT_EQ(m_list.GetMaxSize(), 0u);
}

TEST_F(ListFiles, FilesThatCannotBeReadOrWrittenAreReportedAndChangeNothing) {
    // Nothing at all at the path: one message from either command.
    Open(m_dir.File("nothing.x"));
    OpenMap(m_dir.File("nothing.map"));
    EXPECT_EQ(Texts(), (Strings{kLoadError, kLoadError}));
    EXPECT_EQ(m_list.GetMaxSize(), 0u);

    Open(m_box);
    Place(0, Moved(1, 2, 3));
    m_form->openFileDialog2->setFileName(QString::fromStdString(m_dir.File("nothing.mat")));
    m_form->SetMatrixOpenFlg(true);
    Frame();
    EXPECT_EQ(*m_list.GetWorld(0), Moved(1, 2, 3));
    // A binary matrix of numbers that are not numbers.
    const float notNumbers[16] = {NAN, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    m_form->openFileDialog2->setFileName(QString::fromStdString(
        m_dir.Write("nan.mat", std::string(reinterpret_cast<const char*>(notNumbers), sizeof notNumbers))));
    m_form->SetMatrixOpenFlg(true);
    Frame();
    EXPECT_EQ(*m_list.GetWorld(0), Moved(1, 2, 3));
    EXPECT_EQ(Texts(), (Strings{kLoadError, kLoadError, kLoadError, kLoadError}));

    // Saves into a folder that cannot exist: each reported once, the requests lowered.
    m_form->saveFileDialog6->setFileName(QString::fromStdString(Unwritable("a.map")));
    m_form->SetMapSaveFlg(true);
    m_form->saveFileDialog2->setFileName(QString::fromStdString(Unwritable("a.mat")));
    m_form->SetZorvFileSaveFlg(true);
    m_form->saveFileDialog8->setFileName(QString::fromStdString(Unwritable("a.matList")));
    m_form->saveFileDialog8->setFilterIndex(2);
    m_form->SetMatrixFileListFlg(true);
    Frame();
    EXPECT_EQ(Texts(),
              (Strings{kLoadError, kLoadError, kLoadError, kLoadError, kSaveError, kSaveError, kSaveError}));
    EXPECT_FALSE(m_form->GetMapSaveFlg() || m_form->GetZorvFileSaveFlg() || m_form->GetMatrixFileListFlg());
    EXPECT_EQ(m_list.GetMaxSize(), 1u);
    EXPECT_EQ(*m_list.GetWorld(0), Moved(1, 2, 3));
}

TEST_F(ListFiles, MatrixFilesLoadIntoAndSaveFromTheSelectedObject) {
    Open(m_box);
    Open(m_ball);
    D3DXMATRIX world;
    D3DXMatrixRotationZ(&world, 0.5f);
    world._41 = 7, world._42 = -1;
    const std::string text = m_dir.File("in.mat");
    ASSERT_TRUE(Fieldsmith::SaveMatrixFile(text, &world, false));
    m_form->openFileDialog2->setFileName(QString::fromStdString(text));
    m_form->SetMatrixOpenFlg(true);
    Frame();
    Frame();
    D3DXMATRIX read;
    D3DXMatrixIdentity(&read);
    Fieldsmith::LoadMatrixFile(text, &read);
    EXPECT_EQ(*m_list.GetWorld(1), read) << "and the next update keeps its position";
    EXPECT_EQ(*m_list.GetWorld(0), Moved(0, 0, 0));

    // Save: the dialog's filter chooses text or binary.
    for (int filter : {1, 2}) {
        const std::string out = m_dir.File("out" + std::to_string(filter) + ".mat");
        m_form->saveFileDialog2->setFileName(QString::fromStdString(out));
        m_form->saveFileDialog2->setFilterIndex(filter);
        m_form->SetZorvFileSaveFlg(true);
        Frame();
        const std::string reference = m_dir.File("reference.mat");
        Fieldsmith::SaveMatrixFile(reference, &read, filter == 2);
        EXPECT_EQ(TempDir::Read(out), TempDir::Read(reference)) << filter;
    }
    // A save asked for with nothing selected waits for a selection.
    const std::string later = m_dir.File("later.mat");
    m_form->saveFileDialog2->setFileName(QString::fromStdString(later));
    m_form->saveFileDialog2->setFilterIndex(1);
    m_form->SetZorvFileSaveFlg(true);
    Select(-1);
    EXPECT_FALSE(std::filesystem::exists(later));
    Select(0);
    EXPECT_TRUE(std::filesystem::exists(later));

    // The list: every object's matrix in list order.
    const std::string all = m_dir.File("all.matList");
    m_form->saveFileDialog8->setFileName(QString::fromStdString(all));
    m_form->saveFileDialog8->setFilterIndex(2);
    m_form->SetMatrixFileListFlg(true);
    Frame();
    std::vector<D3DXMATRIX> back;
    ASSERT_TRUE(Fieldsmith::LoadMatrixListFile(all, back));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[1], read);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(ListFiles, AMapOpenLetsTheFirstObjectUpdatedTakeThePendingEntryAndReset) {
    const std::string map =
        Map("three.map", {{m_box, Moved(5, 0, 0)}, {m_box, Moved(6, 0, 0)}, {m_box, Moved(7, 0, 0)}});
    auto enter = [&](float x, float y, float z) {
        PopWindow& pop = *m_form->m_PopForm;
        pop.SetxValue(x), pop.SetyValue(y), pop.SetzValue(z);
        pop.SetButtonPush(true);
    };
    // Into an empty scene the first record's object takes the entry, once.
    enter(1, 2, 3);
    OpenMap(map);
    EXPECT_EQ(m_list.GetPos(0), D3DXVECTOR3(6, 2, 3));
    EXPECT_EQ(m_list.GetPos(1), D3DXVECTOR3(6, 0, 0));
    EXPECT_EQ(m_list.GetPos(2), D3DXVECTOR3(7, 0, 0));
    EXPECT_FALSE(m_form->m_PopForm->GetButtonPush());

    // With objects already there, the first of them takes the reset; the map's objects keep theirs.
    m_form->RequestMatrixIdentity();
    Select(-1);
    OpenMap(map);
    EXPECT_EQ(*m_list.GetWorld(0), Moved(0, 0, 0));
    const float xs[6] = {0, 6, 7, 5, 6, 7};
    for (unsigned int i = 1; i < 6; ++i)
        EXPECT_EQ(m_list.GetPos(i), D3DXVECTOR3(xs[i], 0, 0)) << i;
    EXPECT_FALSE(m_form->isMatrixIdenty());
}

TEST_F(ListFiles, AMapOpenDuringADragMovesWhatUpdatingEveryObjectAfterEachRecordWould) {
    std::vector<Fieldsmith::_TAG_MAPDATA> records;
    for (int i = 0; i < 4; ++i)
        records.emplace_back(m_box, Moved(static_cast<float>(i), 0, 0));
    const std::string map = Map("four.map", records);
    // The left button held on a handle and the cursor moved since the drag anchored.
    auto arm = [&] {
        Keys().KeyUp(VK_LBUTTON);
        CAPP::GetInstance().SampleInput();
        CAPP::GetInstance().SampleInput();
        CursorAt(80, 60);
        Keys().KeyDown(VK_LBUTTON);
        CAPP::GetInstance().SampleInput();
        CAPP::GetInstance().GetMouseXMovePos();
        CAPP::GetInstance().GetMouseYMovePos();
        CursorAt(95, 70);
        CAPP::GetInstance().SampleInput();
    };
    for (int editType : {0, 1}) {
        m_form->SetSelectEdit(editType);
        Pick(editType == 0 ? CWindowCheck::kAxisX : CWindowCheck::kAxisY, D3DXVECTOR3(0, 0, 0));
        arm();
        std::vector<std::unique_ptr<CXData>> reference;
        for (Fieldsmith::_TAG_MAPDATA& record : records) {
            reference.push_back(std::make_unique<CXData>(&record));
            for (auto& object : reference)
                object->Update();
        }
        EXPECT_NE(*reference[0]->GetWorld(), records[0].world) << "the drag reached the first object";

        m_list.Release();
        arm();
        m_form->openFileDialog3->setFileName(QString::fromStdString(map));
        m_form->SetMapOpenFlg(true);
        m_list.Update();
        ASSERT_EQ(m_list.GetMaxSize(), 4u);
        EXPECT_EQ(IDs(), (std::vector<int>{0, 1, 2, 3}));
        EXPECT_EQ(Names().back(), "MapObj" + std::to_string(4 * (editType + 1)));
        for (unsigned int i = 0; i < 4; ++i)
            EXPECT_EQ(*m_list.GetWorld(i), *reference[i]->GetWorld())
                << "edit type " << editType << ", object " << i;
    }
    Keys().KeyUp(VK_LBUTTON);
}
