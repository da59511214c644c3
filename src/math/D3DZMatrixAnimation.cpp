#include "D3DZMatrixAnimation.h"

namespace {

float Blend(float start, float end, float t) {
    return float(start + (double(end) - start) * t);
}

} // namespace

// The rotation comes from the quaternions alone, so any scale in the inputs is dropped; the translation
// is blended separately and written into row 4.
void D3DZMatrixAnimation(D3DXMATRIX* mNow, const D3DXMATRIX* mStart, const D3DXMATRIX* mEnd,
                         float AnimeFrame) {
    D3DXQUATERNION qStart;
    D3DXQUATERNION qEnd;
    D3DXQuaternionRotationMatrix(&qStart, mStart);
    D3DXQuaternionRotationMatrix(&qEnd, mEnd);
    const float x = Blend(mStart->_41, mEnd->_41, AnimeFrame);
    const float y = Blend(mStart->_42, mEnd->_42, AnimeFrame);
    const float z = Blend(mStart->_43, mEnd->_43, AnimeFrame);

    D3DXQUATERNION q;
    D3DXQuaternionSlerp(&q, &qStart, &qEnd, AnimeFrame);
    D3DXMatrixRotationQuaternion(mNow, &q);
    mNow->_41 = x;
    mNow->_42 = y;
    mNow->_43 = z;
}
