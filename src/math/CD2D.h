// Overlap tests for 2-D sprites in screen units: rectangles anchored at their top-left corner and
// circles given by centre and radius. Every test is a pure function of its arguments.
#pragma once

struct D2DXZORVINT4 {
    int x;
    int y;
    int w;
    int h;
};

struct D2DXZORVSHORT4 {
    short x;
    short y;
    short w;
    short h;
};

struct D2DXZORVFLOAT3 {
    float x;
    float y;
    float r;
};

struct D2DXZORVSHORT3 {
    short x;
    short y;
    short r;
};

// Rectangles that only share an edge do not overlap.
bool CD2D_Square(int _SqX, int _SqY, int _emyX, int _emyY, int _SqW, int _SqH, int _emyW, int _emyH);
bool CD2D_Square(short _SqX, short _SqY, short _emyX, short _emyY, short _SqW, short _SqH, short _emyW,
                 short _emyH);
bool CD2D_Square(D2DXZORVINT4 IS_A, D2DXZORVINT4 IS_B);
bool CD2D_Square(D2DXZORVSHORT4 IS_A, D2DXZORVSHORT4 IS_B);

// Touching circles overlap.
bool CD2D_Circle(float _SqX, float _SqY, float _emyX, float _emyY, int _SqR, int _emyR);
bool CD2D_Circle(short _SqX, short _SqY, short _emyX, short _emyY, short _SqR, short _emyR);
bool CD2D_Circle(D2DXZORVFLOAT3 IC_A, D2DXZORVFLOAT3 IC_B);
bool CD2D_Circle(D2DXZORVSHORT3 IC_A, D2DXZORVSHORT3 IC_B);

// A circle that only touches the rectangle's edge or corner does not overlap it.
bool CD2D_CircleSquare(float _Circle_x, float _Circle_y, int _Square_x, int _Square_y, int _Circle_r,
                       int _Square_width, int _Square_height);
bool CD2D_CircleSquare(short _Circle_x, short _Circle_y, short _Square_x, short _Square_y, short _Circle_r,
                       short _Square_width, short _Square_height);
bool CD2D_CircleSquare(D2DXZORVINT4 IS_A, D2DXZORVFLOAT3 IC_B);
bool CD2D_CircleSquare(D2DXZORVSHORT4 SS_A, D2DXZORVSHORT3 SC_B);
