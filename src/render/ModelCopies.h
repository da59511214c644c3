// Objects gathered in drawing order and drawn as copies of their models: one instanced draw per model
// and subset instead of one draw per object and subset, since the software renderer spends most of a
// big scene's frame setting each draw up. Only models that put down opaque colour are taken: opaque
// pixels do not depend on the order they are drawn in, so the picture is the one the objects drawn
// one by one would make. A caller that draws an object of its own (one that blends) first draws what
// was gathered, so everything before it in the list is drawn before it.
// The copies go through the fixed-function pipeline or an effect built to read their matrices.
#pragma once

#include "d3d9.h"
#include "d3dx9math.h"

#include <functional>
#include <utility>
#include <vector>

class D3DZCXFILE;

class ModelCopies {
public:
    // How a model's copies are drawn: the fixed-function pipeline's unless an effect's is given.
    // matrices holds count world matrices from byte offset on.
    using Drawer =
        std::function<void(D3DZCXFILE& model, IDirect3DVertexBuffer9* matrices, UINT offset, UINT count)>;

    // While alive, DrawIndexedPrimitive draws count copies placed by the matrices (the device's stream
    // 1); the streams are as before afterwards.
    class Streams {
    public:
        Streams(IDirect3DVertexBuffer9* matrices, UINT offset, UINT count);
        ~Streams();
        Streams(const Streams&) = delete;
        Streams& operator=(const Streams&) = delete;
        bool Ready() const { return m_ready; }

    private:
        bool m_ready = false;
    };

    ModelCopies() = default;
    explicit ModelCopies(Drawer drawer) : m_drawer(std::move(drawer)) {}

    // False, with nothing gathered, when the model cannot be drawn as a copy.
    bool Add(D3DZCXFILE* model, const D3DXMATRIX& world);
    // Draws what was gathered and empties the list; the last object's world transform stays set, as
    // after drawing the objects one by one.
    void Draw();

private:
    // The models in the order they first appear, each with its objects' matrices.
    Drawer m_drawer;
    std::vector<std::pair<D3DZCXFILE*, std::vector<D3DXMATRIX>>> m_models;
    std::size_t m_count = 0;
    D3DXMATRIX m_lastWorld;
};
