#include "ModelCopies.h"

#include "ComPtr.h"
#include "D3DZCDIRECT3D.h"
#include "D3DZCXFILE.h"

#include <algorithm>

ModelCopies::Streams::Streams(IDirect3DVertexBuffer9* matrices, UINT offset, UINT count) {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (device == nullptr || count == 0 ||
        device->SetStreamSource(1, matrices, offset, sizeof(D3DXMATRIX)) != S_OK)
        return;
    device->SetStreamSourceFreq(0, D3DSTREAMSOURCE_INDEXEDDATA | count);
    device->SetStreamSourceFreq(1, D3DSTREAMSOURCE_INSTANCEDATA | 1);
    m_ready = true;
}

ModelCopies::Streams::~Streams() {
    IDirect3DDevice9* device = D3DZCDIRECT3D::GetInstance().GetDevice();
    if (!m_ready || device == nullptr)
        return;
    device->SetStreamSourceFreq(0, 1);
    device->SetStreamSourceFreq(1, 1);
    device->SetStreamSource(1, nullptr, 0, 0);
}

bool ModelCopies::Add(D3DZCXFILE* model, const D3DXMATRIX& world) {
    if (model == nullptr || model->GetMesh() == nullptr || !model->DrawsOpaque())
        return false;
    // A scene holds few models, so a linear search beats hashing.
    auto found = std::find_if(m_models.begin(), m_models.end(),
                              [model](const auto& entry) { return entry.first == model; });
    if (found == m_models.end())
        found = m_models.insert(m_models.end(), {model, {}});
    found->second.push_back(world);
    m_lastWorld = world;
    ++m_count;
    return true;
}

void ModelCopies::Draw() {
    D3DZCDIRECT3D& direct3d = D3DZCDIRECT3D::GetInstance();
    IDirect3DDevice9* device = direct3d.GetDevice();
    ComPtr<IDirect3DVertexBuffer9> matrices;
    void* data = nullptr;
    if (m_count > 0 && device != nullptr &&
        device->CreateVertexBuffer(static_cast<UINT>(m_count * sizeof(D3DXMATRIX)),
                                   D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT,
                                   matrices.Receive(), nullptr) == S_OK &&
        matrices->Lock(0, 0, &data, D3DLOCK_DISCARD) == S_OK) {
        auto* next = static_cast<D3DXMATRIX*>(data);
        for (const auto& [model, worlds] : m_models)
            next = std::copy(worlds.begin(), worlds.end(), next);
        matrices->Unlock();
        UINT offset = 0;
        for (const auto& [model, worlds] : m_models) {
            if (m_drawer)
                m_drawer(*model, matrices.Get(), offset, static_cast<UINT>(worlds.size()));
            else
                model->DrawCopies(matrices.Get(), offset, static_cast<UINT>(worlds.size()));
            offset += static_cast<UINT>(worlds.size() * sizeof(D3DXMATRIX));
        }
        direct3d.SetWorldTrans(&m_lastWorld);
    } else if (m_count > 0 && device != nullptr && !m_drawer) {
        // No buffer for the matrices: the objects one by one (with an effect, not at all this frame).
        for (const auto& [model, worlds] : m_models)
            for (const D3DXMATRIX& world : worlds) {
                direct3d.SetWorldTrans(&world);
                model->Draw(1.0f);
            }
        direct3d.SetWorldTrans(&m_lastWorld);
    }
    m_models.clear();
    m_count = 0;
}
