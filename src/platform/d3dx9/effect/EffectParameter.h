// One parameter of an effect: its current value, whether it changed since it was last sent to GL,
// and sending it to a program's uniform of the same name. Every setter checks that the value fits the
// parameter and leaves it untouched when it does not.
#pragma once

#include "EffectFile.h"

#include <string>
#include <vector>

class IDirect3DBaseTexture9;

class EffectParameter {
public:
    // textureUnit is the unit a texture parameter is sampled from; ignored for other types.
    EffectParameter(const EffectParameterDecl& decl, int textureUnit);
    ~EffectParameter();
    EffectParameter(const EffectParameter&) = delete;
    EffectParameter& operator=(const EffectParameter&) = delete;

    const std::string& Name() const { return m_name; }
    EffectType Type() const { return m_type; }
    bool IsNumeric() const { return EffectTypeComponents(m_type) != 0; }
    UINT ValueCount() const { return EffectTypeComponents(m_type) * m_elements; }
    UINT Elements() const { return m_elements; }
    int TextureUnit() const { return m_textureUnit; }
    IDirect3DBaseTexture9* Texture() const { return m_texture; }
    const std::string& Text() const { return m_text; }
    bool Changed() const { return m_changed; }

    // The first count numbers of a numeric parameter, converted to its type (bools become 0 or 1).
    bool SetFloats(const float* values, UINT count);
    bool SetInts(const int* values, UINT count);
    // Raw 32-bit words: floats for float types, ints for int and bool.
    bool SetBytes(const void* data, UINT bytes);
    bool SetString(const char* text);
    // Holds a reference to the texture; null unbinds.
    bool SetTexture(IDirect3DBaseTexture9* texture);

    // Sends the value to a uniform location of the program in use (-1: the program does not use it).
    void Upload(int location);
    void MarkSent() { m_changed = false; }

private:
    std::string m_name;
    EffectType m_type;
    UINT m_elements;
    int m_textureUnit;
    std::vector<float> m_floats; // float types
    std::vector<int> m_ints;     // int and bool
    std::string m_text;
    IDirect3DBaseTexture9* m_texture = nullptr;
    bool m_changed = true;
};
