// The process-wide texture cache: one D3DZCTEXTURE per file name, loaded on first request.
#pragma once

#include "D3DZCTEXTURE.h"

#include <map>
#include <memory>
#include <string>

class D3DZDMTEXTURE {
public:
    static D3DZDMTEXTURE& GetInstance();
    ~D3DZDMTEXTURE();

    D3DZCTEXTURE* Load(std::string fileName);
    D3DZCTEXTURE* GetTexture(std::string fileName);
    BOOL ReleaseTexture(std::string fileName);
    void AllClear();

private:
    D3DZDMTEXTURE() = default;

    std::map<std::string, std::unique_ptr<D3DZCTEXTURE>> m_textures;
};
