// Per-frame action states of keys: press, hold and release edges from the instantaneous key state,
// with an optional minimum spacing in frames between accepted presses. Call each function once per
// frame per key and read the state after the call. A null record is ignored.
#pragma once

#include "VirtualKeys.h"
#include "Win32Types.h"

constexpr int DZACTION_NONE = 0;        // not pressed
constexpr int DZACTION_RELEASE = 1;     // let go in this frame after having been held
constexpr int DZACTION_PUSH = 2;        // accepted press in this frame
constexpr int DZACTION_REFUSED = 3;     // press in this frame, sooner than the wait allows
constexpr int DZACTION_HOLD = 4;        // held after an accepted press (two-level: after any press)
constexpr int DZACTION_REFUSEDHOLD = 5; // held after a refused press (three-level only)

// The state of one key for the functions with a wait. All zero is the valid start state.
struct D3DXZORVACTIONPARAMETER {
    int iState = 0;
    int iCount = 0;     // frames since the last accepted press, saturating at the wait
    int iRejectFlg = 0; // 1 from a refused press until the key is let go (three-level only)
    bool bInit = false; // the first call starts iCount at the wait, so the first press is accepted
};

struct D3DXZORV_WASD_KEY {
    D3DXZORVACTIONPARAMETER W;
    D3DXZORVACTIONPARAMETER A;
    D3DXZORVACTIONPARAMETER S;
    D3DXZORVACTIONPARAMETER D;
};

struct D3DXZORV_CURSOLKEY {
    D3DXZORVACTIONPARAMETER Up;
    D3DXZORVACTIONPARAMETER Down;
    D3DXZORVACTIONPARAMETER Left;
    D3DXZORVACTIONPARAMETER Right;
};

// One level, no wait: 0 -> 2 -> 4 ... -> 1 -> 0. A press of a single frame ends in 0 without a 1.
void DZGetAction(DWORD _Action, int* _flg);

// Two levels: a press sooner than WaitFrame frames after the last accepted one reads 3, then 4 like
// any other press.
void DZGetAction2(DWORD _Action, D3DXZORVACTIONPARAMETER* _key, int WaitFrame);

// Three levels: a refused press reads 3, then 5 while held, and ends in 0 without a release edge.
void DZGetAction3(DWORD _Action, D3DXZORVACTIONPARAMETER* _key, int WaitFrame);

// DZGetAction3 on W, A, S and D.
void DZGetActionWASD(D3DXZORV_WASD_KEY* _key, int _waitFrame);

// DZGetAction3 on the arrow keys.
void DZGetActionCursor(D3DXZORV_CURSOLKEY* cursor, int _waitFrame);
