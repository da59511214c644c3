#include "ID3DXEffect.h"

#include "GLProgram.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kTextureStages = 8;

// The stage's source ready for the compiler: its own #version line or 330 core's, then a #line that
// makes the compiler's line numbers the file's.
std::string CompilableSource(const EffectStage& stage) {
    std::string source = stage.source;
    std::string version = "#version 330 core\n";
    int line = stage.firstLine;
    const auto first = source.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && source.compare(first, 8, "#version") == 0) {
        const auto end = source.find('\n', first);
        version = source.substr(0, end + 1);
        line += static_cast<int>(std::count(version.begin(), version.end(), '\n'));
        source = source.substr(end + 1);
    }
    return version + "#line " + std::to_string(line) + "\n" + source;
}

} // namespace

ID3DXEffect::ID3DXEffect(IDirect3DDevice9* device) : m_device(device) {
    m_device->AddRef();
}

ID3DXEffect::~ID3DXEffect() {
    if (m_begun)
        End();
    m_parameters.clear();
    if (m_device->Context() && m_device->Context()->MakeCurrent())
        for (const Technique& technique : m_techniques)
            for (const Pass& pass : technique.passes)
                for (const unsigned program : {pass.program, pass.copiesProgram})
                    if (program)
                        glDeleteProgram(program);
    m_device->Release();
}

ID3DXEffect* ID3DXEffect::Create(IDirect3DDevice9* device, const EffectFile& file, const std::string& name,
                                 std::string& log) {
    if (device == nullptr || !device->Context() || !device->Context()->MakeCurrent()) {
        log = name + ": the device has no GL context";
        return nullptr;
    }
    auto* effect = new ID3DXEffect(device);
    if (!effect->Build(file, name, log)) {
        effect->Release();
        return nullptr;
    }
    return effect;
}

bool ID3DXEffect::Build(const EffectFile& file, const std::string& name, std::string& log) {
    int textures = 0;
    for (const EffectParameterDecl& decl : file.Parameters()) {
        const bool texture = decl.type == EffectType::Texture;
        if (texture && textures == static_cast<int>(kTextureStages)) {
            log = name + ": more than " + std::to_string(kTextureStages) + " texture parameters";
            return false;
        }
        m_parameters.push_back(std::make_unique<EffectParameter>(decl, texture ? textures++ : -1));
    }
    for (const EffectTechniqueDecl& techniqueDecl : file.Techniques()) {
        Technique& technique = m_techniques.emplace_back();
        technique.name = techniqueDecl.name;
        for (const EffectPassDecl& passDecl : techniqueDecl.passes) {
            const std::string where =
                name + ": technique " + techniqueDecl.name + ", pass " + passDecl.name + ": ";
            if (!BuildPass(passDecl, where, technique.passes.emplace_back(), log))
                return false;
        }
    }
    return true;
}

bool ID3DXEffect::BuildPass(const EffectPassDecl& decl, const std::string& where, Pass& pass,
                            std::string& log) {
    pass.name = decl.name;
    pass.states = decl.states;
    pass.vertexSource = CompilableSource(decl.vertex);
    pass.fragmentSource = CompilableSource(decl.fragment);
    std::string compilerLog;
    pass.program = GLProgram::Build(pass.vertexSource.c_str(), pass.fragmentSource.c_str(), compilerLog);
    if (!pass.program) {
        log = where + compilerLog;
        return false;
    }
    glUseProgram(pass.program);
    for (const auto& parameter : m_parameters) {
        pass.locations.push_back(glGetUniformLocation(pass.program, parameter->Name().c_str()));
        parameter->Upload(pass.locations.back());
    }
    return true;
}

EffectParameter* ID3DXEffect::Find(D3DXHANDLE name) {
    if (name == nullptr)
        return nullptr;
    for (const auto& parameter : m_parameters)
        if (parameter->Name() == name)
            return parameter.get();
    return nullptr;
}

HRESULT ID3DXEffect::SetValue(D3DXHANDLE name, const void* data, UINT bytes) {
    EffectParameter* parameter = Find(name);
    return Result(parameter && parameter->SetBytes(data, bytes));
}

HRESULT ID3DXEffect::SetBool(D3DXHANDLE name, BOOL value) {
    return SetBoolArray(name, &value, 1);
}

HRESULT ID3DXEffect::SetBoolArray(D3DXHANDLE name, const BOOL* values, UINT count) {
    return SetIntArray(name, values, count);
}

HRESULT ID3DXEffect::SetInt(D3DXHANDLE name, INT value) {
    return SetIntArray(name, &value, 1);
}

HRESULT ID3DXEffect::SetIntArray(D3DXHANDLE name, const INT* values, UINT count) {
    EffectParameter* parameter = Find(name);
    return Result(parameter && parameter->SetInts(values, count));
}

HRESULT ID3DXEffect::SetFloat(D3DXHANDLE name, FLOAT value) {
    return SetFloatArray(name, &value, 1);
}

HRESULT ID3DXEffect::SetFloatArray(D3DXHANDLE name, const FLOAT* values, UINT count) {
    EffectParameter* parameter = Find(name);
    return Result(parameter && parameter->SetFloats(values, count));
}

HRESULT ID3DXEffect::SetVector(D3DXHANDLE name, const D3DXVECTOR4* vector) {
    EffectParameter* parameter = Find(name);
    if (parameter == nullptr || vector == nullptr)
        return D3DERR_INVALIDCALL;
    const float values[4] = {vector->x, vector->y, vector->z, vector->w};
    return Result(parameter->SetFloats(values, std::min<UINT>(4, parameter->ValueCount())));
}

HRESULT ID3DXEffect::SetMatrix(D3DXHANDLE name, const D3DXMATRIX* matrix) {
    return SetMatrixArray(name, matrix, 1);
}

HRESULT ID3DXEffect::SetMatrixArray(D3DXHANDLE name, const D3DXMATRIX* matrices, UINT count) {
    EffectParameter* parameter = Find(name);
    if (parameter == nullptr || matrices == nullptr || parameter->Type() != EffectType::Float4x4 ||
        count > parameter->Elements())
        return D3DERR_INVALIDCALL;
    std::vector<float> values(std::size_t{count} * 16);
    for (UINT i = 0; i < count; ++i)
        std::memcpy(&values[std::size_t{i} * 16], &matrices[i]._11, 16 * sizeof(float));
    return Result(parameter->SetFloats(values.data(), count * 16));
}

HRESULT ID3DXEffect::SetString(D3DXHANDLE name, const char* text) {
    EffectParameter* parameter = Find(name);
    return Result(parameter && parameter->SetString(text));
}

HRESULT ID3DXEffect::SetTexture(D3DXHANDLE name, IDirect3DBaseTexture9* texture) {
    EffectParameter* parameter = Find(name);
    return Result(parameter && parameter->SetTexture(texture));
}

HRESULT ID3DXEffect::GetString(D3DXHANDLE name, const char** text) {
    EffectParameter* parameter = Find(name);
    if (parameter == nullptr || text == nullptr || parameter->Type() != EffectType::String)
        return D3DERR_INVALIDCALL;
    *text = parameter->Text().c_str();
    return S_OK;
}

HRESULT ID3DXEffect::GetTexture(D3DXHANDLE name, IDirect3DBaseTexture9** texture) {
    EffectParameter* parameter = Find(name);
    if (parameter == nullptr || texture == nullptr || parameter->Type() != EffectType::Texture)
        return D3DERR_INVALIDCALL;
    *texture = parameter->Texture();
    if (*texture)
        (*texture)->AddRef();
    return S_OK;
}

D3DXHANDLE ID3DXEffect::GetParameterByName(D3DXHANDLE parent, const char* name) {
    EffectParameter* parameter = parent == nullptr ? Find(name) : nullptr;
    return parameter ? parameter->Name().c_str() : nullptr;
}

HRESULT ID3DXEffect::SetTechnique(D3DXHANDLE name) {
    if (name == nullptr || m_begun)
        return D3DERR_INVALIDCALL;
    for (std::size_t i = 0; i < m_techniques.size(); ++i) {
        if (m_techniques[i].name == name) {
            m_technique = i;
            return S_OK;
        }
    }
    return D3DERR_INVALIDCALL;
}

D3DXHANDLE ID3DXEffect::GetCurrentTechnique() {
    return m_techniques[m_technique].name.c_str();
}

HRESULT ID3DXEffect::Begin(UINT* passes, DWORD flags) {
    if (m_begun)
        return D3DERR_INVALIDCALL;
    m_saving = (flags & D3DXFX_DONOTSAVESTATE) == 0;
    if (m_saving)
        SaveState();
    m_begun = true;
    if (passes)
        *passes = static_cast<UINT>(m_techniques[m_technique].passes.size());
    return S_OK;
}

void ID3DXEffect::SaveState() {
    for (const Pass& pass : m_techniques[m_technique].passes) {
        for (const auto& [state, value] : pass.states) {
            const bool saved =
                std::any_of(m_savedStates.begin(), m_savedStates.end(),
                            [state = state](const auto& entry) { return entry.first == state; });
            DWORD current = 0;
            if (!saved && m_device->GetRenderState(state, &current) == S_OK)
                m_savedStates.emplace_back(state, current);
        }
    }
    for (const auto& parameter : m_parameters) {
        if (parameter->Type() != EffectType::Texture)
            continue;
        const auto stage = static_cast<DWORD>(parameter->TextureUnit());
        IDirect3DBaseTexture9* current = nullptr;
        if (m_device->GetTexture(stage, &current) == S_OK)
            m_savedTextures.emplace_back(stage, current);
    }
}

void ID3DXEffect::RestoreState() {
    for (const auto& [state, value] : m_savedStates)
        m_device->SetRenderState(state, value);
    for (const auto& [stage, texture] : m_savedTextures) {
        m_device->SetTexture(stage, texture);
        if (texture)
            texture->Release();
    }
    m_savedStates.clear();
    m_savedTextures.clear();
}

HRESULT ID3DXEffect::SetCopiesMatrix(D3DXHANDLE name) {
    const EffectParameter* parameter = Find(name);
    if (parameter == nullptr || parameter->Type() != EffectType::Float4x4)
        return D3DERR_INVALIDCALL;
    m_copiesMatrix = parameter->Name();
    for (Technique& technique : m_techniques)
        for (Pass& pass : technique.passes)
            pass.copiesTried = false;
    return S_OK;
}

// The declaration "uniform mat4 <name>;" becomes a vertex input at the slots the device fills with
// each copy's matrix (the fixed-function program's InstanceWorld, 7 to 10).
void ID3DXEffect::BuildCopies(Pass& pass) {
    pass.copiesTried = true;
    if (pass.copiesProgram)
        glDeleteProgram(pass.copiesProgram);
    pass.copiesProgram = 0;
    pass.copiesLocations.clear();
    const std::string declaration = "uniform mat4 " + m_copiesMatrix + ";";
    std::string vertex = pass.vertexSource;
    const std::size_t at = m_copiesMatrix.empty() ? std::string::npos : vertex.find(declaration);
    if (at == std::string::npos)
        return;
    vertex.replace(at, declaration.size(), "layout(location = 7) in mat4 " + m_copiesMatrix + ";");
    std::string log;
    pass.copiesProgram = GLProgram::Build(vertex.c_str(), pass.fragmentSource.c_str(), log);
    if (!pass.copiesProgram)
        return;
    glUseProgram(pass.copiesProgram);
    for (const auto& parameter : m_parameters) {
        pass.copiesLocations.push_back(glGetUniformLocation(pass.copiesProgram, parameter->Name().c_str()));
        parameter->Upload(pass.copiesLocations.back());
    }
}

HRESULT ID3DXEffect::BeginPass(UINT pass) {
    auto& passes = m_techniques[m_technique].passes;
    if (!m_begun || m_pass >= 0 || pass >= passes.size() || !m_device->Context()->MakeCurrent())
        return D3DERR_INVALIDCALL;
    m_pass = static_cast<int>(pass);
    for (const auto& [state, value] : passes[pass].states)
        m_device->SetRenderState(state, value);
    if (!passes[pass].copiesTried)
        BuildCopies(passes[pass]);
    Upload(false);
    m_device->SetOverrideProgram(passes[pass].program, passes[pass].copiesProgram);
    return S_OK;
}

HRESULT ID3DXEffect::CommitChanges() {
    if (m_pass < 0 || !m_device->Context()->MakeCurrent())
        return D3DERR_INVALIDCALL;
    Upload(true);
    return S_OK;
}

void ID3DXEffect::Upload(bool changedOnly) {
    const Pass& pass = m_techniques[m_technique].passes[static_cast<std::size_t>(m_pass)];
    // Other drawing between passes uses programs of its own. The copies' program gets the same values.
    if (pass.copiesProgram) {
        glUseProgram(pass.copiesProgram);
        for (std::size_t i = 0; i < m_parameters.size(); ++i)
            if (!changedOnly || m_parameters[i]->Changed())
                m_parameters[i]->Upload(pass.copiesLocations[i]);
    }
    glUseProgram(pass.program);
    for (std::size_t i = 0; i < m_parameters.size(); ++i) {
        EffectParameter& parameter = *m_parameters[i];
        if (changedOnly && !parameter.Changed())
            continue;
        parameter.Upload(pass.locations[i]);
        if (parameter.Type() == EffectType::Texture)
            m_device->SetTexture(static_cast<DWORD>(parameter.TextureUnit()), parameter.Texture());
        parameter.MarkSent();
    }
}

HRESULT ID3DXEffect::EndPass() {
    if (m_pass < 0)
        return D3DERR_INVALIDCALL;
    m_device->SetOverrideProgram(0);
    m_pass = -1;
    return S_OK;
}

HRESULT ID3DXEffect::End() {
    if (!m_begun)
        return D3DERR_INVALIDCALL;
    if (m_pass >= 0)
        EndPass();
    if (m_saving)
        RestoreState();
    m_begun = false;
    return S_OK;
}

HRESULT ID3DXEffect::GetDevice(IDirect3DDevice9** device) {
    if (device == nullptr)
        return D3DERR_INVALIDCALL;
    *device = m_device;
    m_device->AddRef();
    return S_OK;
}
