// Which placed object is drawn under a point of the view: every object in the list that is drawn is
// drawn once more, each in a flat colour of its own (its index plus one, in 24 bits), into an off-screen
// surface of the view's size with the depth test on, and the pixel under the point is read back. It
// runs only for a click, so nothing of it is kept between picks.
#pragma once

#include "Win32Types.h"

#include <vector>

class CXData;
class IDirect3DDevice9;

class ObjectPick {
public:
    // drawn[i] tells whether objects[i] is drawn (its check mark). The index of the nearest object at
    // the point, or -1 for none, a point outside the view or no device.
    static int ObjectAt(const std::vector<CXData*>& objects, const std::vector<bool>& drawn, POINT point,
                        int viewWidth, int viewHeight);

    static void IdColour(int index, float colour[4]);
    static int IndexOf(DWORD rgb);

private:
    static void DrawIds(IDirect3DDevice9* device, const std::vector<CXData*>& objects,
                        const std::vector<bool>& drawn);
};
