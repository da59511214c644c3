#include "EffectParameter.h"

#include "d3d9.h"

#include <epoxy/gl.h>

#include <cstring>

namespace {

bool IsIntegral(EffectType type) {
    return type == EffectType::Int || type == EffectType::Bool;
}

} // namespace

EffectParameter::EffectParameter(const EffectParameterDecl& decl, int textureUnit)
    : m_name(decl.name), m_type(decl.type), m_elements(decl.elements), m_textureUnit(textureUnit),
      m_text(decl.text) {
    (IsIntegral(m_type) ? m_ints.resize(ValueCount()) : m_floats.resize(ValueCount()));
    for (std::size_t i = 0; i < decl.numbers.size() && i < ValueCount(); ++i) {
        if (IsIntegral(m_type))
            m_ints[i] = m_type == EffectType::Bool ? decl.numbers[i] != 0 : static_cast<int>(decl.numbers[i]);
        else
            m_floats[i] = static_cast<float>(decl.numbers[i]);
    }
}

EffectParameter::~EffectParameter() {
    if (m_texture)
        m_texture->Release();
}

bool EffectParameter::SetFloats(const float* values, UINT count) {
    if (!IsNumeric() || values == nullptr || count > ValueCount())
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (m_type == EffectType::Bool)
            m_ints[i] = values[i] != 0.0f;
        else if (m_type == EffectType::Int)
            m_ints[i] = static_cast<int>(values[i]);
        else
            m_floats[i] = values[i];
    }
    m_changed = true;
    return true;
}

bool EffectParameter::SetInts(const int* values, UINT count) {
    if (!IsNumeric() || values == nullptr || count > ValueCount())
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (m_type == EffectType::Bool)
            m_ints[i] = values[i] != 0;
        else if (m_type == EffectType::Int)
            m_ints[i] = values[i];
        else
            m_floats[i] = static_cast<float>(values[i]);
    }
    m_changed = true;
    return true;
}

bool EffectParameter::SetBytes(const void* data, UINT bytes) {
    if (!IsNumeric() || data == nullptr || bytes % 4 != 0)
        return false;
    const UINT count = bytes / 4;
    if (IsIntegral(m_type)) {
        std::vector<int> ints(count);
        std::memcpy(ints.data(), data, bytes);
        return SetInts(ints.data(), count);
    }
    std::vector<float> floats(count);
    std::memcpy(floats.data(), data, bytes);
    return SetFloats(floats.data(), count);
}

bool EffectParameter::SetString(const char* text) {
    if (m_type != EffectType::String || text == nullptr)
        return false;
    m_text = text;
    m_changed = true;
    return true;
}

bool EffectParameter::SetTexture(IDirect3DBaseTexture9* texture) {
    if (m_type != EffectType::Texture)
        return false;
    if (texture)
        texture->AddRef();
    if (m_texture)
        m_texture->Release();
    m_texture = texture;
    m_changed = true;
    return true;
}

void EffectParameter::Upload(int location) {
    if (location < 0)
        return;
    const auto count = static_cast<GLsizei>(m_elements);
    switch (m_type) {
    case EffectType::Bool:
    case EffectType::Int:
        glUniform1iv(location, count, m_ints.data());
        break;
    case EffectType::Float:
        glUniform1fv(location, count, m_floats.data());
        break;
    case EffectType::Float2:
        glUniform2fv(location, count, m_floats.data());
        break;
    case EffectType::Float3:
        glUniform3fv(location, count, m_floats.data());
        break;
    case EffectType::Float4:
        glUniform4fv(location, count, m_floats.data());
        break;
    case EffectType::Float4x4:
        // Row-major as stored, so that "M * v" in GLSL is Direct3D's "v * M".
        glUniformMatrix4fv(location, count, GL_FALSE, m_floats.data());
        break;
    case EffectType::Texture:
        glUniform1i(location, m_textureUnit);
        break;
    case EffectType::String:
        break;
    }
}
