#include "CXLIST.h"

#include "CAPP.h"
#include "CLIStringToChar.h"
#include "CShader.h"
#include "CWindowCheck.h"
#include "CheckedListBox.h"
#include "D3DZCDIRECT3D.h"
#include "FileDialog.h"
#include "MyForm.h"
#include "ObjectPick.h"
#include "SceneDrawer.h"
#include "TextForm.h"
#include "ViewBox.h"
#include "Win32Input.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>

#include <cstdio>
#include <iostream>

// The application singleton sits below the scene, so the scene supplies the list it hands out.
CXLIST& CAPP::GetXList() {
    static CXLIST list;
    return list;
}

namespace {

enum RenderModes { kFixedMode, kBaseMode, kToonMode, kSphereMapMode, kShadowMapMode };

// How the render mode draws copies of a model; for the shadow map mode, in its second pass. Not used
// in the toon mode.
ModelCopies::Drawer CopiesDrawer(int renderMode) {
    void (CShader::*draw)(ShadedObject*) = renderMode == kBaseMode        ? &CShader::DrawBase
                                           : renderMode == kSphereMapMode ? &CShader::DrawSpeMap
                                                                          : &CShader::DrawShadow;
    if (renderMode == kFixedMode)
        return {};
    return [draw](D3DZCXFILE& model, IDirect3DVertexBuffer9* matrices, UINT offset, UINT count) {
        CShader::GetInstance().DrawCopies(draw, model, matrices, offset, count);
    };
}
constexpr D3DCOLOR kReadOutColour = 0xFFFFFFFF;

} // namespace

CXLIST::~CXLIST() {
    Release();
}

void CXLIST::Release() {
    for (CXData* object : m_vecXData)
        delete object;
    m_vecXData.clear();
    m_pWatched = nullptr;
    m_bDragStep = false;
}

CXData* CXLIST::Selected() const {
    return m_uNowSelectID < m_vecXData.size() ? m_vecXData[m_uNowSelectID] : nullptr;
}

void CXLIST::Update() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr)
        return;
    SelectClickedObject(*form);
    m_uNowSelectID = static_cast<unsigned int>(form->checkedListBox1->SelectedIndex());

    NoticeCheckMarks();
    Ctrl_Z_Y();
    WatchSelected(true);
    CopyXData();
    DeleteXData();
    AddXData();
    if (form->GetMatrixOpenFlg()) {
        LoadMatrixFile(CLIStringToChar(form->openFileDialog2->fileName()).c_str());
        form->SetMatrixOpenFlg(false);
    }
    if (form->GetMapSaveFlg()) {
        SaveMapFile(CLIStringToChar(form->saveFileDialog6->fileName()).c_str());
        form->SetMapSaveFlg(false);
    }
    if (form->GetMapOpenFlg()) {
        OpenMapFile(CLIStringToChar(form->openFileDialog3->fileName()).c_str());
        form->SetMapOpenFlg(false);
    }
    SaveMatrixList();

    // Only the selected object follows the mouse and the pop-up; a pending matrix save waits for it.
    WatchSelected(false);
    const std::vector<CXData*> objects = m_vecXData;
    for (CXData* object : objects) {
        if (static_cast<unsigned int>(object->GetID()) == m_uNowSelectID) {
            object->Update();
            SaveMatrixFile();
        }
    }

    CommitMatrixChange(true);
    RememberCheckMarks();
    m_iLastSelection = form->checkedListBox1->SelectedIndex();
    ShowHistoryOnMenu();

    form->contextMenuStrip1->setEnabled(!m_vecXData.empty());
}

void CXLIST::SelectClickedObject(MyForm& form) {
    CAPP& app = CAPP::GetInstance();
    const int handle = CWindowCheck::GetInstance().GetNowColor();
    const bool onHandle = handle >= 0 && handle < CWindowCheck::kHandleCount;
    if (app.GetMouseButton().Left.iState != DZACTION_PUSH || onHandle || m_vecXData.empty() ||
        GetActiveWindow() != app.GetMainWnd() || form.contextMenuStrip1->isVisible())
        return;
    POINT cursor{};
    DZGetMouseClientPos(app.GetViewWnd(), &cursor);
    std::vector<bool> drawn(m_vecXData.size());
    for (std::size_t i = 0; i < drawn.size(); ++i)
        drawn[i] = form.checkedListBox1->GetItemChecked(static_cast<int>(i));
    const int picked = ObjectPick::ObjectAt(m_vecXData, drawn, cursor, form.pictureBox1->width(),
                                            form.pictureBox1->height());
    if (picked >= 0)
        form.checkedListBox1->SetSelectedIndex(picked);
}

void CXLIST::NameAndSelectNewest(MyForm& form, const char* prefix, bool select) {
    ++m_iObjCount;
    char name[64];
    std::snprintf(name, sizeof name, "%s%d", prefix, m_iObjCount);
    CheckedListBox& list = *form.checkedListBox1;
    list.Add(QString::fromUtf8(name));
    const int last = list.Count() - 1;
    list.SetItemChecked(last, true);
    if (select)
        list.SetSelectedIndex(last);
}

void CXLIST::Renumber(std::size_t from) {
    for (std::size_t i = from; i < m_vecXData.size(); ++i)
        m_vecXData[i]->SetID(static_cast<int>(i));
}

void CXLIST::RenumberAndUpdate() {
    for (std::size_t i = 0; i < m_vecXData.size(); ++i) {
        m_vecXData[i]->SetID(static_cast<int>(i));
        m_vecXData[i]->Update();
    }
}

void CXLIST::ListChange() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    if (form == nullptr || !TextForm::GetClickFlg())
        return;
    // The item the user sees selected now, which the dialog was opened for; a confirmation with
    // nothing to rename is dropped rather than left to rename whatever is selected later.
    CheckedListBox& list = *form->checkedListBox1;
    const int selected = list.SelectedIndex();
    TextForm* dialog = form->m_TextForm.data();
    if (selected < 0 || static_cast<std::size_t>(selected) >= m_vecXData.size() || dialog == nullptr) {
        TextForm::SetClickFlg(false);
        return;
    }
    NoticeCheckMarks();
    SceneStep step;
    step.changes.push_back(SceneChange{static_cast<std::size_t>(selected), RecordOf(selected), std::nullopt});
    const std::string name = CLIStringToChar(dialog->textBox1->text());
    dialog->close();
    dialog->deleteLater();
    std::cout << name << std::endl;

    list.RemoveAt(selected);
    list.Insert(selected, QString::fromStdString(name));
    list.SetItemChecked(selected, true);
    list.SetSelectedIndex(selected);
    TextForm::SetClickFlg(false);
    m_bChanged = true;

    step.changes.front().after = RecordOf(selected);
    step.label = "名前の変更 " + step.changes.front().after->name;
    step.selectionBefore = step.selectionAfter = selected;
    PushStep(std::move(step));
    RememberCheckMarks();
    ShowHistoryOnMenu();
}

void CXLIST::Draw() {
    MyForm* form = CAPP::GetInstance().GetMainForm();
    D3DZCDIRECT3D& direct3d = D3DZCDIRECT3D::GetInstance();
    if (form == nullptr || direct3d.GetDevice() == nullptr)
        return;
    const CheckedListBox& list = *form->checkedListBox1;
    const bool localAxes = form->checkBox2->isChecked();

    if (form->RenderMode() == kShadowMapMode) {
        const D3DZCVECTOR3 direction = direct3d.GetLightDir(0);
        D3DXVECTOR3 lightPos = D3DXVECTOR3(0, 0, 0) - 30.0f * direction;
        D3DXVECTOR4 box(static_cast<float>(form->pictureBox1->width()),
                        static_cast<float>(form->pictureBox1->height()), form->GetDrawStartRange(),
                        form->GetDrawEndRange());
        D3DZCSHADER_SHADOWMAP& shadowMap = CShader::GetInstance().GetShadowMap();
        shadowMap.Begin(&lightPos, &box);
        // Without its effect the pass has no light box to leave objects out by.
        const ModelCopies::Drawer intoShadowMap = [](D3DZCXFILE& model, IDirect3DVertexBuffer9* matrices,
                                                     UINT offset, UINT count) {
            CShader::GetInstance().DrawCopies(&CShader::DrawCreateShadow, model, matrices, offset, count);
        };
        SceneDrawer::DrawChecked(m_vecXData, list,
                                 shadowMap.GetEffect() != nullptr ? shadowMap.GetLVP() : nullptr, localAxes,
                                 &intoShadowMap);
        shadowMap.End();
    }
    D3DXMATRIX view, projection, viewProjection;
    direct3d.GetDevice()->GetTransform(D3DTS_VIEW, &view);
    direct3d.GetDevice()->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    const int renderMode = form->RenderMode();
    const ModelCopies::Drawer copies = CopiesDrawer(renderMode);
    // The toon effect draws each object twice, its shading and then its outline; where one object's
    // outline and a neighbour's face come to the same depth, which shows depends on the order of the
    // objects' passes, so toon objects are drawn one by one.
    const bool asCopies = renderMode >= kFixedMode && renderMode <= kShadowMapMode && renderMode != kToonMode;
    SceneDrawer::DrawChecked(m_vecXData, list, &viewProjection, localAxes, asCopies ? &copies : nullptr);

    CXData* selected = nullptr;
    for (CXData* object : m_vecXData)
        if (static_cast<unsigned int>(object->GetID()) == m_uNowSelectID) {
            selected = object;
            break;
        }
    if (selected == nullptr)
        return;
    D3DZCMATRIX world = *selected->GetWorld();
    ID3DXFont* font = direct3d.GetFont();
    switch (form->GetSelectEdit()) {
    case 0:
        D3DZDrawPrintf(font, 2, 2, kReadOutColour, "X座標%f\nY座標%f\nZ座標%f", world._41, world._42,
                       world._43);
        break;
    case 1:
        // How far each local axis has turned from its world axis, as a cosine.
        world.NormalizeRotation();
        D3DZDrawPrintf(font, 2, 2, kReadOutColour, "X軸%f\nY軸%f\nZ軸%f", world._11, world._22, world._33);
        break;
    case 2:
        D3DZDrawPrintf(font, 2, 2, kReadOutColour, "拡大率X%f\n拡大率Y%f\n拡大率Z%f", world.GetScaleX(),
                       world.GetScaleY(), world.GetScaleZ());
        break;
    default:
        break;
    }
}

D3DXMATRIX* CXLIST::GetWorld(unsigned int no) {
    return no < m_vecXData.size() ? m_vecXData[no]->GetWorld() : nullptr;
}

Fieldsmith::_TAG_MAPDATA CXLIST::GetMapData(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= m_vecXData.size())
        return Fieldsmith::_TAG_MAPDATA();
    CXData* object = m_vecXData[static_cast<std::size_t>(i)];
    return Fieldsmith::_TAG_MAPDATA(object->GetFilename(), *object->GetWorld());
}

std::string CXLIST::GetFileName(unsigned int no) const {
    return no < m_vecXData.size() ? m_vecXData[no]->GetFilename() : std::string();
}

D3DXVECTOR3 CXLIST::GetPos(unsigned int no) const {
    if (no >= m_vecXData.size())
        return D3DXVECTOR3(0, 0, 0);
    const D3DZCMATRIX& world = *m_vecXData[no]->GetWorld();
    return TranslationOf(world);
}

void CXLIST::DeviceLost_Init(Fieldsmith::_TAG_MAPDATA* data) {
    m_vecXData.push_back(new CXData(data));
}

void CXLIST::DeviceLost_Update(unsigned int no) {
    if (no < m_vecXData.size())
        m_vecXData[no]->Update();
}

void CXLIST::SetID(unsigned int no, unsigned int id) {
    if (no < m_vecXData.size())
        m_vecXData[no]->SetID(static_cast<int>(id));
}
