// Counts the frames drawn each second and shows the count as "<n>FPS" with a font.
#pragma once

#include "d3dx9core.h"

void D3DZDrawFps(ID3DXFont* _lpFont, int x, int y, DWORD argbcolor);
