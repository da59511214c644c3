#include "d3dx9core.h"

#include "ScreenQuadRenderer.h"
#include "TextRasterizer.h"
#include "TextTextureCache.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

// The flags that move text within its rectangle; the rest do not change its pixels.
constexpr DWORD kLayoutFlags = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM | DT_SINGLELINE;

struct Box {
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;

    bool Empty() const { return right <= left || bottom <= top; }
    Box Intersect(const Box& other) const {
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }
};

Box BoxOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// Two triangles covering the box, the texture's first row at its top.
std::array<ScreenVertex, 6> QuadOf(const Box& box, D3DCOLOR color) {
    const auto left = static_cast<float>(box.left), top = static_cast<float>(box.top);
    const auto right = static_cast<float>(box.right), bottom = static_cast<float>(box.bottom);
    return {{{left, top, 0, 0, color},
             {right, top, 1, 0, color},
             {left, bottom, 0, 1, color},
             {right, top, 1, 0, color},
             {right, bottom, 1, 1, color},
             {left, bottom, 0, 1, color}}};
}

// A negative count means a NUL-terminated string; a count never reads past a NUL.
std::string_view TextOf(const char* text, INT count) {
    if (count < 0)
        return {text, std::strlen(text)};
    return {text, strnlen(text, static_cast<std::size_t>(count))};
}

LONG ClampToLong(std::int64_t value) {
    return static_cast<LONG>(
        std::clamp<std::int64_t>(value, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

INT ClampToInt(std::int64_t value) {
    return static_cast<INT>(std::min<std::int64_t>(value, std::numeric_limits<INT>::max()));
}

} // namespace

struct ID3DXFont::Impl {
    IDirect3DDevice9* device = nullptr;
    D3DXFONT_DESCA desc;
    std::unique_ptr<TextRasterizer> rasterizer;
    std::unique_ptr<ScreenQuadRenderer> renderer;
    std::unique_ptr<TextTextureCache> cache;

    void Draw(std::string_view text, DWORD format, const RECT& rect, const TextLayout& layout,
              D3DCOLOR color);
    bool ShownRegion(DWORD format, const Box& area, const TextLayout& layout, Box& region) const;
    const TextTextureCache::Texture* Rendered(const TextTextureKey& key, const TextLayout& layout);
};

ID3DXFont::ID3DXFont(IDirect3DDevice9* device, const D3DXFONT_DESCA& desc)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->device = device;
    m_impl->desc = desc;
    m_impl->desc.FaceName[sizeof desc.FaceName - 1] = '\0';
    if (device)
        device->AddRef();
    TextRasterizer::Face face;
    face.height = desc.Height;
    face.weight = desc.Weight;
    face.italic = desc.Italic != FALSE;
    face.family = m_impl->desc.FaceName;
    // Width is not honoured: the stand-in face has its own proportions, and squeezing it to another
    // face's average width would distort it.
    m_impl->rasterizer = TextRasterizer::Create(face);
    if (device && device->Context() && device->Context()->MakeCurrent()) {
        m_impl->renderer = std::make_unique<ScreenQuadRenderer>(device->Context());
        m_impl->cache = std::make_unique<TextTextureCache>(device->Context());
    }
}

ID3DXFont::~ID3DXFont() {
    m_impl->cache.reset();
    m_impl->renderer.reset();
    if (m_impl->device)
        m_impl->device->Release();
}

bool ID3DXFont::Usable() const {
    return m_impl->rasterizer && m_impl->renderer && m_impl->renderer->IsValid() && m_impl->cache;
}

// The sprite argument is not used: text is drawn at once rather than batched into the sprite, which
// looks the same unless the caller interleaves the two.
INT ID3DXFont::DrawTextA(LPD3DXSPRITE, const char* text, INT count, RECT* rect, DWORD format,
                         D3DCOLOR color) {
    if (text == nullptr || !Usable())
        return 0;
    // Without a rectangle only unclipped drawing makes sense; it starts at the target's origin.
    if (rect == nullptr && ((format & DT_CALCRECT) || !(format & DT_NOCLIP)))
        return 0;
    const RECT area = rect ? *rect : RECT{};
    const std::string_view utf8 = TextOf(text, count);
    const Box box = BoxOf(area);
    const TextLayout layout =
        m_impl->rasterizer->Layout(utf8, format, box.right - box.left, box.bottom - box.top);
    if (format & DT_CALCRECT) {
        rect->right = ClampToLong(box.left + layout.width);
        rect->bottom = ClampToLong(box.top + layout.height);
        return ClampToInt(layout.height);
    }
    if (!layout.lines.empty())
        m_impl->Draw(utf8, format, area, layout, color);
    return ClampToInt(layout.height);
}

void ID3DXFont::Impl::Draw(std::string_view text, DWORD format, const RECT& rect, const TextLayout& layout,
                           D3DCOLOR color) {
    const Box area = BoxOf(rect);
    Box region;
    if (!ShownRegion(format, area, layout, region))
        return;
    // The region lies within the viewport, so its size fits an int and its corners a float exactly.
    const TextTextureKey key{std::string(text),
                             format & kLayoutFlags,
                             area.right - area.left,
                             area.bottom - area.top,
                             region.left - area.left,
                             region.top - area.top,
                             static_cast<int>(region.right - region.left),
                             static_cast<int>(region.bottom - region.top)};
    const TextTextureCache::Texture* texture = Rendered(key, layout);
    if (texture == nullptr)
        return;
    const auto quad = QuadOf(region, color);
    ScreenQuadRenderer::Batch batch;
    batch.texture = texture->name;
    batch.source = ScreenQuadRenderer::Source::Coverage;
    batch.filter = ScreenQuadRenderer::Filter::Nearest;
    renderer->Draw(*device, batch, quad.data(), quad.size());
}

// The pixels the text can touch: its ink, cut to the viewport and, unless DT_NOCLIP, to the rectangle.
bool ID3DXFont::Impl::ShownRegion(DWORD format, const Box& area, const TextLayout& layout,
                                  Box& region) const {
    RECT visible;
    if (!ScreenQuadRenderer::VisibleBounds(*device, visible))
        return false;
    Box clip = BoxOf(visible);
    if (!(format & DT_NOCLIP))
        clip = clip.Intersect(area);
    const Box ink{area.left + layout.inkLeft, area.top + layout.inkTop, area.left + layout.inkRight,
                  area.top + layout.inkBottom};
    region = clip.Intersect(ink);
    return !region.Empty();
}

const TextTextureCache::Texture* ID3DXFont::Impl::Rendered(const TextTextureKey& key,
                                                           const TextLayout& layout) {
    if (const auto* held = cache->Find(key))
        return held;
    return cache->Insert(key, rasterizer->Rasterize(layout, key.left, key.top, key.width, key.height));
}

HRESULT ID3DXFont::GetDescA(D3DXFONT_DESCA* desc) {
    if (desc == nullptr)
        return D3DERR_INVALIDCALL;
    *desc = m_impl->desc;
    return S_OK;
}

HRESULT ID3DXFont::GetDevice(IDirect3DDevice9** device) {
    if (device == nullptr || m_impl->device == nullptr)
        return D3DERR_INVALIDCALL;
    *device = m_impl->device;
    m_impl->device->AddRef();
    return S_OK;
}

std::string ID3DXFont::ResolvedFamily() const {
    return m_impl->rasterizer ? m_impl->rasterizer->Family() : std::string();
}

HRESULT D3DXCreateFontA(IDirect3DDevice9* device, INT height, UINT width, UINT weight, UINT mipLevels,
                        BOOL italic, DWORD charSet, DWORD outputPrecision, DWORD quality,
                        DWORD pitchAndFamily, const char* faceName, LPD3DXFONT* font) {
    if (font == nullptr)
        return D3DERR_INVALIDCALL;
    *font = nullptr;
    if (device == nullptr)
        return D3DERR_INVALIDCALL;
    D3DXFONT_DESCA desc;
    desc.Height = height;
    desc.Width = width;
    desc.Weight = weight;
    desc.MipLevels = mipLevels;
    desc.Italic = italic;
    desc.CharSet = static_cast<BYTE>(charSet);
    desc.OutputPrecision = static_cast<BYTE>(outputPrecision);
    desc.Quality = static_cast<BYTE>(quality);
    desc.PitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName)
        std::strncpy(desc.FaceName, faceName, sizeof desc.FaceName - 1);
    auto* created = new ID3DXFont(device, desc);
    if (!created->Usable()) {
        created->Release();
        return D3DERR_INVALIDCALL;
    }
    *font = created;
    return S_OK;
}
