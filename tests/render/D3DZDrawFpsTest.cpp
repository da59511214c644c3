#include "D3DZDrawFps.h"
#include "D3DZCDIRECT3D.h"
#include "FakeClock.h"

#include <gtest/gtest.h>

// The counter shows how many frames the last full second had; the text goes where it is asked.
TEST(D3DZDrawFps, DrawsTheCountAtThePosition) {
    FakeClock clock;
    auto& d3d = D3DZCDIRECT3D::GetInstance();
    ASSERT_NE(d3d.Init(nullptr, 0, 200, 100), nullptr);
    d3d.Begin();
    clock.Set(5000);
    D3DZDrawFps(d3d.GetFont(), 100, 50, 0xFFFFFFFF);
    IDirect3DSurface9* back = nullptr;
    d3d.GetDevice()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(back->LockRect(&locked, nullptr, D3DLOCK_READONLY), S_OK);
    int left = 0, right = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) {
            const DWORD p =
                reinterpret_cast<const DWORD*>(static_cast<char*>(locked.pBits) + y * locked.Pitch)[x];
            if ((p & 0xFFFFFF) != 0)
                (x >= 100 && y >= 50 ? right : left)++;
        }
    back->UnlockRect();
    back->Release();
    d3d.Release();
    EXPECT_GT(right, 20);
    EXPECT_EQ(left, 0);
}
