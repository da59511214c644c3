#include "CWindowCheck.h"

CWindowCheck& CWindowCheck::GetInstance() {
    static CWindowCheck instance;
    return instance;
}

void CWindowCheck::SetHandleMatrix(int handle, const D3DXMATRIX& world) {
    if (handle < 0 || handle >= kHandleCount)
        return;
    m_mHandle[handle] = world;
}
