#include "D3DZDrawFps.h"

#include "D3DZCDIRECT3D.h"
#include "Win32Time.h"

void D3DZDrawFps(ID3DXFont* _lpFont, int x, int y, DWORD argbcolor) {
    static DWORD frames = 0;
    static DWORD shown = 0;
    static DWORD periodStart = 0;
    ++frames;
    if (timeGetTime() - periodStart >= 1000) {
        shown = frames;
        periodStart = timeGetTime();
        frames = 0;
    }
    D3DZDrawPrintf(_lpFont, x, y, argbcolor, "%1dFPS", static_cast<int>(shown));
}
