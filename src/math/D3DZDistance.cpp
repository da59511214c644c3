#include "D3DZDistance.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979;

// The sum of squares is rounded to float before the root, as D3DZCVECTOR3::Length does, so a distance
// equals the length of the difference vector.
float RootOfFloatSum(double sumOfSquares) {
    return std::sqrt(float(sumOfSquares));
}

double Square(float f) {
    return double(f) * double(f);
}

} // namespace

double D2DZGetAngle(float _AX, float _AY, float _BX, float _BY) {
    if (_AX == _BX && _AY == _BY) {
        return 270.0;
    }
    const float dy = _BY - _AY;
    const float dx = _BX - _AX;
    const float radians = float(std::atan2(double(dy), double(dx)));
    double degrees = radians * 180.0 / kPi;
    if (degrees < 0.0) {
        degrees += 360.0;
        // A direction a hair below the x axis would round up to a full turn, outside the range.
        if (degrees >= 360.0) {
            degrees = 0.0;
        }
    }
    return degrees;
}

float D2DZGetDistance(float _AX, float _AY, float _BX, float _BY) {
    const float dx = _AX - _BX;
    const float dy = _AY - _BY;
    return RootOfFloatSum(Square(dx) + Square(dy));
}

float D3DZGetDistance(const D3DXMATRIX* _A, const D3DXMATRIX* _B) {
    if (!_A || !_B) {
        return 0.0f;
    }
    const float dx = _A->_41 - _B->_41;
    const float dy = _A->_42 - _B->_42;
    const float dz = _A->_43 - _B->_43;
    return RootOfFloatSum(Square(dx) + Square(dy) + Square(dz));
}
