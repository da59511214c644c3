#include "CD2D.h"

#include <cstdint>

// Sums of coordinates and extents are formed in 64 bits: an int rectangle near the end of the range
// would otherwise overflow, and every sum that fits in an int keeps its value.
namespace {

using Wide = std::int64_t;

bool RectsOverlap(Wide ax, Wide ay, Wide aw, Wide ah, Wide bx, Wide by, Wide bw, Wide bh) {
    if (bx >= ax + aw) {
        return false;
    }
    if (ax >= bx + bw) {
        return false;
    }
    if (by >= ay + ah) {
        return false;
    }
    if (ay >= by + bh) {
        return false;
    }
    return true;
}

// Every argument is exact in double, so the squares are exact too for the 16-bit forms.
bool CirclesOverlap(double dx, double dy, double r) {
    return dy * dy + dx * dx <= r * r;
}

double Square(float f) {
    return double(f) * double(f);
}

// A rectangle with float edges, and the same rectangle stretched by the radius: top and bottom for the
// vertical band, left and right for the horizontal one.
struct FloatBox {
    float left;
    float top;
    float right;
    float bottom;
};

bool CircleHitsBox(float cx, float cy, const FloatBox& box, const FloatBox& grown, double r2) {
    if (box.left < cx && cx < box.right && grown.top < cy && cy < grown.bottom) {
        return true;
    }
    if (grown.left < cx && cx < grown.right && box.top < cy && cy < box.bottom) {
        return true;
    }
    const double left = Square(box.left - cx);
    const double right = Square(box.right - cx);
    const double top = Square(box.top - cy);
    const double bottom = Square(box.bottom - cy);
    return left + top < r2 || right + top < r2 || right + bottom < r2 || left + bottom < r2;
}

bool CircleHitsRect(Wide cx, Wide cy, Wide r, Wide sx, Wide sy, Wide w, Wide h) {
    const Wide right = sx + w;
    const Wide bottom = sy + h;
    if (sx < cx && cx < right && sy - r < cy && cy < bottom + r) {
        return true;
    }
    if (sx - r < cx && cx < right + r && sy < cy && cy < bottom) {
        return true;
    }
    const Wide r2 = r * r;
    const Wide left2 = (sx - cx) * (sx - cx);
    const Wide right2 = (right - cx) * (right - cx);
    const Wide top2 = (sy - cy) * (sy - cy);
    const Wide bottom2 = (bottom - cy) * (bottom - cy);
    return left2 + top2 < r2 || right2 + top2 < r2 || right2 + bottom2 < r2 || left2 + bottom2 < r2;
}

} // namespace

bool CD2D_Square(int _SqX, int _SqY, int _emyX, int _emyY, int _SqW, int _SqH, int _emyW, int _emyH) {
    return RectsOverlap(_SqX, _SqY, _SqW, _SqH, _emyX, _emyY, _emyW, _emyH);
}

bool CD2D_Square(short _SqX, short _SqY, short _emyX, short _emyY, short _SqW, short _SqH, short _emyW,
                 short _emyH) {
    return RectsOverlap(_SqX, _SqY, _SqW, _SqH, _emyX, _emyY, _emyW, _emyH);
}

bool CD2D_Square(D2DXZORVINT4 IS_A, D2DXZORVINT4 IS_B) {
    return RectsOverlap(IS_A.x, IS_A.y, IS_A.w, IS_A.h, IS_B.x, IS_B.y, IS_B.w, IS_B.h);
}

bool CD2D_Square(D2DXZORVSHORT4 IS_A, D2DXZORVSHORT4 IS_B) {
    return RectsOverlap(IS_A.x, IS_A.y, IS_A.w, IS_A.h, IS_B.x, IS_B.y, IS_B.w, IS_B.h);
}

bool CD2D_Circle(float _SqX, float _SqY, float _emyX, float _emyY, int _SqR, int _emyR) {
    return CirclesOverlap(_SqX - _emyX, _SqY - _emyY, double(Wide(_SqR) + _emyR));
}

bool CD2D_Circle(short _SqX, short _SqY, short _emyX, short _emyY, short _SqR, short _emyR) {
    return CirclesOverlap(_SqX - _emyX, _SqY - _emyY, _SqR + _emyR);
}

bool CD2D_Circle(D2DXZORVFLOAT3 IC_A, D2DXZORVFLOAT3 IC_B) {
    return CirclesOverlap(IC_A.x - IC_B.x, IC_A.y - IC_B.y, IC_A.r + IC_B.r);
}

bool CD2D_Circle(D2DXZORVSHORT3 IC_A, D2DXZORVSHORT3 IC_B) {
    return CirclesOverlap(IC_A.x - IC_B.x, IC_A.y - IC_B.y, IC_A.r + IC_B.r);
}

// With an int radius the stretched edges are whole numbers, formed before the conversion to float.
bool CD2D_CircleSquare(float _Circle_x, float _Circle_y, int _Square_x, int _Square_y, int _Circle_r,
                       int _Square_width, int _Square_height) {
    const Wide right = Wide(_Square_x) + _Square_width;
    const Wide bottom = Wide(_Square_y) + _Square_height;
    const FloatBox box{float(_Square_x), float(_Square_y), float(right), float(bottom)};
    const FloatBox grown{float(_Square_x - Wide(_Circle_r)), float(_Square_y - Wide(_Circle_r)),
                         float(right + _Circle_r), float(bottom + _Circle_r)};
    const double r2 = double(Wide(_Circle_r) * _Circle_r);
    return CircleHitsBox(_Circle_x, _Circle_y, box, grown, r2);
}

bool CD2D_CircleSquare(short _Circle_x, short _Circle_y, short _Square_x, short _Square_y, short _Circle_r,
                       short _Square_width, short _Square_height) {
    return CircleHitsRect(_Circle_x, _Circle_y, _Circle_r, _Square_x, _Square_y, _Square_width,
                          _Square_height);
}

bool CD2D_CircleSquare(D2DXZORVINT4 IS_A, D2DXZORVFLOAT3 IC_B) {
    const float r = IC_B.r;
    const FloatBox box{float(IS_A.x), float(IS_A.y), float(Wide(IS_A.x) + IS_A.w),
                       float(Wide(IS_A.y) + IS_A.h)};
    const FloatBox grown{box.left - r, box.top - r, box.right + r, box.bottom + r};
    return CircleHitsBox(IC_B.x, IC_B.y, box, grown, double(r) * double(r));
}

bool CD2D_CircleSquare(D2DXZORVSHORT4 SS_A, D2DXZORVSHORT3 SC_B) {
    return CircleHitsRect(SC_B.x, SC_B.y, SC_B.r, SS_A.x, SS_A.y, SS_A.w, SS_A.h);
}
