#include "D3DZDMTEXTURE.h"

D3DZDMTEXTURE& D3DZDMTEXTURE::GetInstance() {
    static D3DZDMTEXTURE instance;
    return instance;
}

D3DZDMTEXTURE::~D3DZDMTEXTURE() {
    AllClear();
}

D3DZCTEXTURE* D3DZDMTEXTURE::Load(std::string fileName) {
    auto& slot = m_textures[fileName];
    if (!slot) {
        slot = std::make_unique<D3DZCTEXTURE>();
        slot->LoadTexture(fileName.c_str());
    }
    return slot.get();
}

D3DZCTEXTURE* D3DZDMTEXTURE::GetTexture(std::string fileName) {
    const auto found = m_textures.find(fileName);
    return found == m_textures.end() ? nullptr : found->second.get();
}

BOOL D3DZDMTEXTURE::ReleaseTexture(std::string fileName) {
    const auto found = m_textures.find(fileName);
    if (found == m_textures.end())
        return FALSE;
    m_textures.erase(found);
    return TRUE;
}

void D3DZDMTEXTURE::AllClear() {
    m_textures.clear();
}
