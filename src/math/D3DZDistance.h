// Angle and distance helpers for screen points and for the positions held in world matrices.
#pragma once

#include "d3dx9math.h"

// Direction from A to B in degrees, from 0 up to but not including 360. With y pointing down the angle
// grows clockwise: 0 points right, 90 down, 270 up. A point has no direction; it gives 270.
double D2DZGetAngle(float _AX, float _AY, float _BX, float _BY);

float D2DZGetDistance(float _AX, float _AY, float _BX, float _BY);

// Distance between the translation rows of two matrices; 0 when either is missing.
float D3DZGetDistance(const D3DXMATRIX* _A, const D3DXMATRIX* _B);
