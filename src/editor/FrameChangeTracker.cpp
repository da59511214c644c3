#include "FrameChangeTracker.h"

#include "CAPP.h"
#include "CWindowCheck.h"
#include "CXLIST.h"
#include "CamData.h"
#include "CheckedListBox.h"
#include "D3DZCDIRECT3D.h"
#include "MyForm.h"
#include "Setting.h"
#include "ViewBox.h"
#include "ViewWindow.h"

#include <QCheckBox>
#include <QEvent>
#include <QListWidget>
#include <QWindow>

#include <cstring>

namespace {

// The window system asks for the view to be painted again: shown, uncovered, resized.
class RepaintRequestFilter : public QObject {
public:
    explicit RepaintRequestFilter(FrameChangeTracker& tracker) : m_tracker(tracker) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Expose:
        case QEvent::UpdateRequest:
        case QEvent::Resize:
        case QEvent::Show:
            m_tracker.RequestRedraw();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    FrameChangeTracker& m_tracker;
};

class RecordWriter {
public:
    explicit RecordWriter(std::vector<std::uint8_t>& record) : m_record(record) { m_record.clear(); }
    template <typename T> void Add(const T& value) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
        m_record.insert(m_record.end(), bytes, bytes + sizeof(T));
    }

private:
    std::vector<std::uint8_t>& m_record;
};

} // namespace

FrameChangeTracker& FrameChangeTracker::GetInstance() {
    static FrameChangeTracker instance;
    return instance;
}

FrameChangeTracker::FrameChangeTracker() = default;

FrameChangeTracker::~FrameChangeTracker() {
    delete m_repaintFilter;
}

bool FrameChangeTracker::NeedsDrawing() {
    Capture(m_current);
    if (!m_alwaysDraw && !m_redrawRequested && m_current == m_drawn)
        return false;
    m_drawn.swap(m_current);
    m_redrawRequested = false;
    return true;
}

void FrameChangeTracker::Watch(CheckedListBox* list, QWindow* view) {
    if (list != nullptr && m_watchedList != list) {
        m_watchedList = list;
        const auto edited = [this] { ++m_listEdits; };
        QAbstractItemModel* model = list->model();
        QObject::connect(model, &QAbstractItemModel::dataChanged, list, edited);
        QObject::connect(model, &QAbstractItemModel::rowsInserted, list, edited);
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, list, edited);
        QObject::connect(model, &QAbstractItemModel::rowsMoved, list, edited);
        QObject::connect(model, &QAbstractItemModel::modelReset, list, edited);
        QObject::connect(model, &QAbstractItemModel::layoutChanged, list, edited);
        m_redrawRequested = true;
    }
    if (view != nullptr && m_watchedView != view) {
        if (m_repaintFilter == nullptr)
            m_repaintFilter = new RepaintRequestFilter(*this);
        m_watchedView = view;
        view->installEventFilter(m_repaintFilter);
        m_redrawRequested = true;
    }
}

// Everything here is read after the frame's input, camera and commands and before it draws.
void FrameChangeTracker::Capture(std::vector<std::uint8_t>& record) {
    RecordWriter out(record);
    CAPP& app = CAPP::GetInstance();
    MyForm* form = app.GetMainForm();
    D3DZCDIRECT3D& direct3d = D3DZCDIRECT3D::GetInstance();
    IDirect3DDevice9* device = direct3d.GetDevice();
    out.Add(device);
    if (form == nullptr || device == nullptr)
        return;
    Watch(form->checkedListBox1, form->pictureBox1->NativeWindow());

    out.Add(form->pictureBox1->width());
    out.Add(form->pictureBox1->height());
    D3DXMATRIX view, projection;
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    out.Add(view);
    out.Add(projection);
    out.Add(CamData::GetInstance().GetZoom());
    DWORD cullMode = 0;
    device->GetRenderState(D3DRS_CULLMODE, &cullMode);
    out.Add(cullMode);

    for (const float value :
         {Setting::m_fLightDirX, Setting::m_fLightDirY, Setting::m_fLightDirZ, Setting::m_fLightDifR,
          Setting::m_fLightDifG, Setting::m_fLightDifB, Setting::m_fLightDifA, Setting::m_fLightAmbR,
          Setting::m_fLightAmbG, Setting::m_fLightAmbB, Setting::m_fLightAmbA, Setting::m_fLightSpeR,
          Setting::m_fLightSpeG, Setting::m_fLightSpeB, Setting::m_fLightSpeA})
        out.Add(value);
    out.Add(form->GetLightEnable());
    out.Add(form->RenderMode());
    out.Add(form->GetSelectEdit());
    out.Add(form->checkBox2->isChecked());
    out.Add(form->GetDrawStartRange());
    out.Add(form->GetDrawEndRange());
    // A grid applied in the settings window is taken over by the overlay while it draws.
    out.Add(Setting::GetOKClick());
    const CUI& grid = app.GetUI();
    out.Add(grid.GetGridInterval());
    out.Add(grid.GetGridYZ());
    out.Add(grid.GetGridZX());
    out.Add(grid.GetGridXY());

    out.Add(m_listEdits);
    out.Add(form->checkedListBox1->SelectedIndex());
    out.Add(form->checkedListBox1->Count());
    const CXLIST& list = app.GetXList();
    out.Add(list.GetMaxSize());
    for (unsigned int i = 0; i < list.GetMaxSize(); ++i) {
        CXData* object = list.GetObject(i);
        out.Add(*object->GetWorld());
        out.Add(object->GetXData());
    }
    out.Add(CWindowCheck::GetInstance().GetNowColor());
}
