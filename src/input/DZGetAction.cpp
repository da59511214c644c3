#include "DZGetAction.h"

#include "Win32Input.h"

#include <climits>

namespace {

bool IsKeyDown(DWORD vKey) {
    // Codes beyond int are not keys; they must not wrap around onto one.
    if (vKey > static_cast<DWORD>(INT_MAX))
        return false;
    return IsAsyncKeyDown(static_cast<int>(vKey));
}

void StartCountAtWait(D3DXZORVACTIONPARAMETER& key, int waitFrame) {
    if (!key.bInit) {
        key.iCount = waitFrame;
        key.bInit = true;
    }
}

// min(iCount + 1, wait), without overflowing when the wait is INT_MAX.
void CountFrame(D3DXZORVACTIONPARAMETER& key, int waitFrame) {
    key.iCount = key.iCount < waitFrame ? key.iCount + 1 : waitFrame;
}

} // namespace

void DZGetAction(DWORD _Action, int* _flg) {
    if (!_flg)
        return;
    if (IsKeyDown(_Action))
        *_flg = *_flg == DZACTION_NONE ? DZACTION_PUSH : DZACTION_HOLD;
    else
        *_flg = *_flg == DZACTION_HOLD ? DZACTION_RELEASE : DZACTION_NONE;
}

void DZGetAction2(DWORD _Action, D3DXZORVACTIONPARAMETER* _key, int WaitFrame) {
    if (!_key)
        return;
    D3DXZORVACTIONPARAMETER& key = *_key;
    StartCountAtWait(key, WaitFrame);
    if (IsKeyDown(_Action)) {
        if (key.iState != DZACTION_NONE) {
            key.iState = DZACTION_HOLD;
        } else if (key.iCount >= WaitFrame) {
            key.iState = DZACTION_PUSH;
            key.iCount = 0;
        } else {
            key.iState = DZACTION_REFUSED;
        }
    } else {
        key.iState = key.iState == DZACTION_HOLD ? DZACTION_RELEASE : DZACTION_NONE;
    }
    CountFrame(key, WaitFrame);
}

void DZGetAction3(DWORD _Action, D3DXZORVACTIONPARAMETER* _key, int WaitFrame) {
    if (!_key)
        return;
    D3DXZORVACTIONPARAMETER& key = *_key;
    StartCountAtWait(key, WaitFrame);
    if (IsKeyDown(_Action)) {
        if (key.iState != DZACTION_NONE) {
            key.iState = key.iRejectFlg == 1 ? DZACTION_REFUSEDHOLD : DZACTION_HOLD;
        } else if (key.iCount >= WaitFrame) {
            key.iState = DZACTION_PUSH;
            key.iCount = 0;
        } else {
            key.iState = DZACTION_REFUSED;
            key.iRejectFlg = 1;
        }
    } else if (key.iState == DZACTION_HOLD) {
        key.iState = DZACTION_RELEASE;
    } else {
        key.iState = DZACTION_NONE;
        key.iRejectFlg = 0;
    }
    CountFrame(key, WaitFrame);
}

void DZGetActionWASD(D3DXZORV_WASD_KEY* _key, int _waitFrame) {
    if (!_key)
        return;
    DZGetAction3('W', &_key->W, _waitFrame);
    DZGetAction3('A', &_key->A, _waitFrame);
    DZGetAction3('S', &_key->S, _waitFrame);
    DZGetAction3('D', &_key->D, _waitFrame);
}

void DZGetActionCursor(D3DXZORV_CURSOLKEY* cursor, int _waitFrame) {
    if (!cursor)
        return;
    DZGetAction3(VK_UP, &cursor->Up, _waitFrame);
    DZGetAction3(VK_DOWN, &cursor->Down, _waitFrame);
    DZGetAction3(VK_RIGHT, &cursor->Right, _waitFrame);
    DZGetAction3(VK_LEFT, &cursor->Left, _waitFrame);
}
