#include "D3DXMaterialBuffer.h"

#include "d3dx9mesh.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

namespace {

// Lays out pieces in a buffer. Run once without a base to learn the size, then again over the buffer.
class Packer {
public:
    explicit Packer(unsigned char* base) : m_base(base) {}

    std::size_t Size() const { return m_size; }

    // Room for `count` records of T; null while measuring.
    template <class T> unsigned char* Records(std::size_t count) {
        return Place(sizeof(T) * count, alignof(T));
    }

    template <class T> void Put(unsigned char* records, std::size_t index, const T& value) {
        if (records != nullptr)
            std::memcpy(records + index * sizeof(T), &value, sizeof(T));
    }

    char* String(const std::string& text) {
        return static_cast<char*>(Bytes(text.c_str(), text.size() + 1, 1));
    }

    void* Bytes(const void* data, std::size_t size, std::size_t alignment) {
        unsigned char* at = Place(size, alignment);
        if (at != nullptr)
            std::memcpy(at, data, size);
        return at;
    }

private:
    unsigned char* Place(std::size_t size, std::size_t alignment) {
        m_size = (m_size + alignment - 1) / alignment * alignment;
        unsigned char* at = m_base ? m_base + m_size : nullptr;
        m_size += size;
        return at;
    }

    unsigned char* m_base;
    std::size_t m_size = 0;
};

template <class Fill> ID3DXBuffer* Pack(Fill fill) {
    Packer measure(nullptr);
    fill(measure);
    auto* buffer = new ID3DXBuffer(std::max<std::size_t>(measure.Size(), 1));
    Packer write(static_cast<unsigned char*>(buffer->GetBufferPointer()));
    fill(write);
    return buffer;
}

void PackMaterials(Packer& packer, const std::vector<XFileMaterial>& materials) {
    unsigned char* records = packer.Records<D3DXMATERIAL>(materials.size());
    for (std::size_t i = 0; i < materials.size(); ++i) {
        const std::string texture = TextureNameOf(materials[i]);
        D3DXMATERIAL record{D3DMaterialOf(materials[i]), texture.empty() ? nullptr : packer.String(texture)};
        packer.Put(records, i, record);
    }
}

struct Parameter {
    std::string name;
    D3DXEFFECTDEFAULTTYPE type;
    std::vector<unsigned char> value;
};

Parameter FloatParameter(const std::string& name, std::vector<float> floats) {
    Parameter parameter{name, D3DXEDT_FLOATS, std::vector<unsigned char>(floats.size() * sizeof(float))};
    std::memcpy(parameter.value.data(), floats.data(), parameter.value.size());
    return parameter;
}

Parameter StringParameter(const std::string& name, const std::string& text) {
    return {name, D3DXEDT_STRING, std::vector<unsigned char>(text.c_str(), text.c_str() + text.size() + 1)};
}

std::vector<Parameter> ParametersOf(const XFileMaterial& material) {
    std::vector<Parameter> parameters;
    if (!material.hasEffect) {
        const D3DMATERIAL9 colours = D3DMaterialOf(material);
        const auto rgba = [](const D3DXCOLOR& c) { return std::vector<float>{c.r, c.g, c.b, c.a}; };
        parameters.push_back(FloatParameter("Diffuse", rgba(colours.Diffuse)));
        parameters.push_back(FloatParameter("Specular", rgba(colours.Specular)));
        parameters.push_back(FloatParameter("Emissive", rgba(colours.Emissive)));
        parameters.push_back(FloatParameter("Power", {colours.Power}));
        if (const std::string texture = TextureNameOf(material); !texture.empty())
            parameters.push_back(StringParameter("Texture", texture));
        return parameters;
    }
    for (const XFileEffectParameter& given : material.effect.parameters) {
        if (given.kind == XFileEffectParameter::Kind::Floats) {
            parameters.push_back(FloatParameter(given.name, given.floats));
        } else if (given.kind == XFileEffectParameter::Kind::String) {
            parameters.push_back(StringParameter(given.name, given.text));
        } else {
            Parameter dword{given.name, D3DXEDT_DWORD, std::vector<unsigned char>(sizeof(DWORD))};
            std::memcpy(dword.value.data(), &given.dword, sizeof(DWORD));
            parameters.push_back(std::move(dword));
        }
    }
    return parameters;
}

void PackInstance(Packer& packer, unsigned char* instances, std::size_t index,
                  const XFileMaterial& material) {
    const std::vector<Parameter> parameters = ParametersOf(material);
    D3DXEFFECTINSTANCE instance{nullptr, static_cast<DWORD>(parameters.size()), nullptr};
    if (material.hasEffect)
        instance.pEffectFilename = packer.String(material.effect.effectFilename);
    unsigned char* defaults = packer.Records<D3DXEFFECTDEFAULT>(parameters.size());
    instance.pDefaults = reinterpret_cast<D3DXEFFECTDEFAULT*>(defaults);
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const Parameter& parameter = parameters[i];
        D3DXEFFECTDEFAULT entry{packer.String(parameter.name), parameter.type,
                                static_cast<DWORD>(parameter.value.size()), nullptr};
        entry.pValue = packer.Bytes(parameter.value.data(), parameter.value.size(), alignof(float));
        packer.Put(defaults, i, entry);
    }
    packer.Put(instances, index, instance);
}

} // namespace

D3DMATERIAL9 D3DMaterialOf(const XFileMaterial& material) {
    D3DMATERIAL9 result;
    const auto& face = material.faceColor;
    result.Diffuse = D3DXCOLOR(face[0], face[1], face[2], face[3]);
    result.Ambient = D3DXCOLOR(0.0f, 0.0f, 0.0f, 0.0f);
    result.Specular =
        D3DXCOLOR(material.specularColor[0], material.specularColor[1], material.specularColor[2], 1.0f);
    result.Emissive =
        D3DXCOLOR(material.emissiveColor[0], material.emissiveColor[1], material.emissiveColor[2], 1.0f);
    result.Power = material.power;
    return result;
}

std::string TextureNameOf(const XFileMaterial& material) {
    std::string name = material.textureFilename;
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

ID3DXBuffer* MakeMaterialBuffer(const std::vector<XFileMaterial>& materials) {
    return Pack([&](Packer& packer) { PackMaterials(packer, materials); });
}

ID3DXBuffer* MakeEffectInstanceBuffer(const std::vector<XFileMaterial>& materials) {
    return Pack([&](Packer& packer) {
        unsigned char* instances = packer.Records<D3DXEFFECTINSTANCE>(materials.size());
        for (std::size_t i = 0; i < materials.size(); ++i)
            PackInstance(packer, instances, i, materials[i]);
    });
}
