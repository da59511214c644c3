#include "d3dx9core.h"

#include "ScreenQuadRenderer.h"

#include <array>
#include <vector>

namespace {

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

// A row vector (x, y, z, 1) through the matrix, as Direct3D applies it.
void TransformPoint(const D3DXMATRIX& m, float x, float y, float z, float& outX, float& outY) {
    outX = x * m._11 + y * m._21 + z * m._31 + m._41;
    outY = x * m._12 + y * m._22 + z * m._32 + m._42;
    const float w = x * m._14 + y * m._24 + z * m._34 + m._44;
    if (w != 0.0f && w != 1.0f) {
        outX /= w;
        outY /= w;
    }
}

} // namespace

struct ID3DXSprite::Impl {
    struct Queued {
        IDirect3DTexture9* texture = nullptr; // holds a reference until drawn
        ScreenQuadRenderer::Source source = ScreenQuadRenderer::Source::Texture;
        std::array<ScreenVertex, 6> vertices;
    };

    IDirect3DDevice9* device = nullptr;
    std::unique_ptr<ScreenQuadRenderer> renderer;
    D3DXMATRIX transform = Identity();
    bool begun = false;
    DWORD flags = 0;
    std::vector<Queued> queue;

    std::array<ScreenVertex, 6> Quad(const D3DSURFACE_DESC& desc, const RECT& part, const D3DXVECTOR3& corner,
                                     D3DCOLOR color) const;
    bool DrawQueue();
    void ReleaseQueue();
};

ID3DXSprite::ID3DXSprite(IDirect3DDevice9* device) : m_impl(std::make_unique<Impl>()) {
    m_impl->device = device;
    if (device == nullptr)
        return;
    device->AddRef();
    if (device->Context() && device->Context()->MakeCurrent())
        m_impl->renderer = std::make_unique<ScreenQuadRenderer>(device->Context());
}

ID3DXSprite::~ID3DXSprite() {
    m_impl->ReleaseQueue();
    m_impl->renderer.reset();
    if (m_impl->device)
        m_impl->device->Release();
}

bool ID3DXSprite::Usable() const {
    return m_impl->renderer && m_impl->renderer->IsValid();
}

HRESULT ID3DXSprite::Begin(DWORD flags) {
    if (m_impl->begun || !Usable())
        return D3DERR_INVALIDCALL;
    m_impl->begun = true;
    m_impl->flags = flags;
    return S_OK;
}

HRESULT ID3DXSprite::Draw(IDirect3DTexture9* texture, const RECT* source, const D3DXVECTOR3* center,
                          const D3DXVECTOR3* position, D3DCOLOR color) {
    D3DSURFACE_DESC desc;
    if (!m_impl->begun || texture == nullptr || texture->GetLevelDesc(0, &desc) != S_OK)
        return D3DERR_INVALIDCALL;
    const RECT whole{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    const RECT& part = source ? *source : whole;
    // An empty or inverted source rectangle has nothing to show.
    if (part.right <= part.left || part.bottom <= part.top)
        return S_OK;
    const D3DXVECTOR3 origin = center ? *center : D3DXVECTOR3(0, 0, 0);
    const D3DXVECTOR3 at = position ? *position : D3DXVECTOR3(0, 0, 0);
    Impl::Queued queued;
    queued.texture = texture;
    queued.source = texture->Format() == D3DFMT_X8R8G8B8 ? ScreenQuadRenderer::Source::OpaqueTexture
                                                         : ScreenQuadRenderer::Source::Texture;
    queued.vertices = m_impl->Quad(desc, part, at - origin, color);
    texture->AddRef();
    m_impl->queue.push_back(queued);
    return S_OK;
}

HRESULT ID3DXSprite::Flush() {
    if (!m_impl->begun)
        return D3DERR_INVALIDCALL;
    const bool drawn = m_impl->DrawQueue();
    m_impl->ReleaseQueue();
    return drawn ? S_OK : D3DERR_INVALIDCALL;
}

HRESULT ID3DXSprite::End() {
    const HRESULT result = Flush();
    m_impl->begun = false;
    return result;
}

// The source rectangle of the texture with its top-left corner at the given point, through the
// sprite transform.
std::array<ScreenVertex, 6> ID3DXSprite::Impl::Quad(const D3DSURFACE_DESC& desc, const RECT& part,
                                                    const D3DXVECTOR3& corner, D3DCOLOR color) const {
    const auto width = static_cast<float>(static_cast<std::int64_t>(part.right) - part.left);
    const auto height = static_cast<float>(static_cast<std::int64_t>(part.bottom) - part.top);
    const auto textureWidth = static_cast<float>(desc.Width), textureHeight = static_cast<float>(desc.Height);
    const float u0 = static_cast<float>(part.left) / textureWidth;
    const float u1 = static_cast<float>(part.right) / textureWidth;
    const float v0 = static_cast<float>(part.top) / textureHeight;
    const float v1 = static_cast<float>(part.bottom) / textureHeight;
    const auto vertex = [&](float x, float y, float u, float v) {
        ScreenVertex out{0, 0, u, v, color};
        TransformPoint(transform, corner.x + x, corner.y + y, corner.z, out.x, out.y);
        return out;
    };
    const ScreenVertex topLeft = vertex(0, 0, u0, v0), topRight = vertex(width, 0, u1, v0);
    const ScreenVertex bottomLeft = vertex(0, height, u0, v1), bottomRight = vertex(width, height, u1, v1);
    return {topLeft, topRight, bottomLeft, topRight, bottomRight, bottomLeft};
}

// Sprites go out in the order they were drawn, one GL draw per run of the same texture.
bool ID3DXSprite::Impl::DrawQueue() {
    const bool blend = (flags & D3DXSPRITE_ALPHABLEND) != 0;
    bool drawn = true;
    std::vector<ScreenVertex> vertices;
    for (std::size_t first = 0; first < queue.size();) {
        std::size_t end = first;
        vertices.clear();
        while (end < queue.size() && queue[end].texture == queue[first].texture) {
            vertices.insert(vertices.end(), queue[end].vertices.begin(), queue[end].vertices.end());
            ++end;
        }
        ScreenQuadRenderer::Batch batch;
        batch.texture = queue[first].texture->GLTexture();
        batch.source = queue[first].source;
        batch.filter = ScreenQuadRenderer::Filter::Linear;
        batch.blend = blend;
        batch.alphaTest = blend;
        drawn = renderer->Draw(*device, batch, vertices.data(), vertices.size()) && drawn;
        first = end;
    }
    return drawn;
}

void ID3DXSprite::Impl::ReleaseQueue() {
    for (const Queued& queued : queue)
        queued.texture->Release();
    queue.clear();
}

HRESULT ID3DXSprite::SetTransform(const D3DXMATRIX* transform) {
    if (transform == nullptr)
        return D3DERR_INVALIDCALL;
    m_impl->transform = *transform;
    return S_OK;
}

HRESULT ID3DXSprite::GetTransform(D3DXMATRIX* transform) {
    if (transform == nullptr)
        return D3DERR_INVALIDCALL;
    *transform = m_impl->transform;
    return S_OK;
}

HRESULT ID3DXSprite::GetDevice(IDirect3DDevice9** device) {
    if (device == nullptr || m_impl->device == nullptr)
        return D3DERR_INVALIDCALL;
    *device = m_impl->device;
    m_impl->device->AddRef();
    return S_OK;
}

HRESULT D3DXCreateSprite(IDirect3DDevice9* device, LPD3DXSPRITE* sprite) {
    if (sprite == nullptr)
        return D3DERR_INVALIDCALL;
    *sprite = nullptr;
    if (device == nullptr)
        return D3DERR_INVALIDCALL;
    auto* created = new ID3DXSprite(device);
    if (!created->Usable()) {
        created->Release();
        return D3DERR_INVALIDCALL;
    }
    *sprite = created;
    return S_OK;
}
