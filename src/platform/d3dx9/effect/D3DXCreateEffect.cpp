#include "d3dx9effect.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

HRESULT Fail(HRESULT result, const std::string& message, LPD3DXBUFFER* errors) {
    if (errors)
        *errors = ID3DXBuffer::FromText(message);
    return result;
}

} // namespace

HRESULT D3DXCreateEffectFromFileA(IDirect3DDevice9* device, const char* path, const D3DXMACRO*, LPD3DXINCLUDE,
                                  DWORD, LPD3DXEFFECTPOOL, LPD3DXEFFECT* effect, LPD3DXBUFFER* errors) {
    if (errors)
        *errors = nullptr;
    if (effect)
        *effect = nullptr;
    if (device == nullptr || path == nullptr || effect == nullptr)
        return D3DERR_INVALIDCALL;
    std::error_code ignored;
    std::ifstream in(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(path, ignored) || !in)
        return Fail(E_FAIL, std::string(path) + ": the file cannot be read", errors);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EffectFile file;
    std::string log;
    if (!EffectFile::Parse(text, path, file, log))
        return Fail(D3DXERR_INVALIDDATA, log, errors);
    *effect = ID3DXEffect::Create(device, file, path, log);
    return *effect ? S_OK : Fail(E_FAIL, log, errors);
}
