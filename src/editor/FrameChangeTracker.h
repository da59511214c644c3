// Whether the next frame would show anything the last drawn one did not. The frame loop keeps running
// every 16 ms to read input, but an editor nobody touches should not draw and present the same picture
// sixty times a second. Rather than trusting every command to raise a flag, each frame records the
// state the picture is made from (camera, light, settings, render mode, selection, check marks, world
// matrices, the hovered handle, view size, device) and draws only when that record differs from the
// one of the last drawn frame. What the record cannot see — the window system asking for a repaint, a
// new device, a texture just chosen — asks for a frame explicitly.
#pragma once

#include <QPointer>

#include <cstdint>
#include <vector>

class CheckedListBox;
class QObject;
class QWindow;

class FrameChangeTracker {
public:
    static FrameChangeTracker& GetInstance();
    FrameChangeTracker(const FrameChangeTracker&) = delete;
    FrameChangeTracker& operator=(const FrameChangeTracker&) = delete;

    // Records this frame's state; true when the frame must be drawn, which makes this record the
    // one later frames are compared with.
    bool NeedsDrawing();
    // The next frame is drawn whatever the record says.
    void RequestRedraw() { m_redrawRequested = true; }
    // Every frame drawn, as before frames were skipped (the baseline of the benchmarks).
    void SetAlwaysDraw(bool always) { m_alwaysDraw = always; }
    bool GetAlwaysDraw() const { return m_alwaysDraw; }

private:
    FrameChangeTracker();
    ~FrameChangeTracker();

    void Capture(std::vector<std::uint8_t>& record);
    // Subscribes to what the record does not poll: edits of the check list and repaint requests of
    // the view's window. Again whenever the main window is a new one.
    void Watch(CheckedListBox* list, QWindow* view);

    std::vector<std::uint8_t> m_drawn;
    std::vector<std::uint8_t> m_current;
    bool m_redrawRequested = true;
    bool m_alwaysDraw = false;
    std::uint64_t m_listEdits = 0;
    QPointer<CheckedListBox> m_watchedList;
    QPointer<QWindow> m_watchedView;
    QObject* m_repaintFilter = nullptr;
};
