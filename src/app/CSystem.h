// Two editor-wide modes driven by keys every frame: face culling (F9 none, F10 counter-clockwise
// faces, F11 clockwise faces) and the edit type (V move, C rotate, Q scale), which the main window holds.
#pragma once

class CSystem {
public:
    static CSystem& GetInstance();

    void Run();
    void SetCulState();
    void SetEditType();
    void Release() {}

    // 0 no culling, 1 clockwise faces culled, 2 counter-clockwise faces culled.
    int GetCulState() const { return m_iCulState; }

private:
    CSystem() = default;

    int m_iCulState = 2;
};
