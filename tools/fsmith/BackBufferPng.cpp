#include "BackBufferPng.h"

#include <QImage>
#include <QString>

bool BackBufferPng::Save(IDirect3DDevice9* device, const std::string& path) {
    IDirect3DSurface9* back = nullptr;
    if (device == nullptr || FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)))
        return false;
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    D3DLOCKED_RECT locked;
    bool saved = false;
    // The back buffer's rows are top first in B, G, R, X byte order: QImage's RGB32 exactly.
    if (SUCCEEDED(back->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        const QImage image(static_cast<const uchar*>(locked.pBits), static_cast<int>(desc.Width),
                           static_cast<int>(desc.Height), locked.Pitch, QImage::Format_RGB32);
        saved = image.save(QString::fromLocal8Bit(path.c_str()), "PNG");
        back->UnlockRect();
    }
    back->Release();
    return saved;
}
