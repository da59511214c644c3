#include "FaceAdjacency.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace {

constexpr DWORD kNone = 0xFFFFFFFF;

struct PositionKey {
    std::uint32_t bits[3];
    bool operator==(const PositionKey& other) const {
        return std::memcmp(bits, other.bits, sizeof bits) == 0;
    }
};

struct PositionHash {
    std::size_t operator()(const PositionKey& key) const {
        std::uint64_t hash = 1469598103934665603ull;
        for (std::uint32_t part : key.bits)
            hash = (hash ^ part) * 1099511628211ull;
        return static_cast<std::size_t>(hash);
    }
};

PositionKey KeyOf(const D3DXVECTOR3& position) {
    // Adding zero turns -0 into +0, so the two count as one place.
    const float values[3] = {position.x + 0.0f, position.y + 0.0f, position.z + 0.0f};
    PositionKey key;
    std::memcpy(key.bits, values, sizeof key.bits);
    return key;
}

// One id per distinct position, so that edges can be compared as pairs of integers.
std::vector<DWORD> PositionIds(const std::vector<D3DXVECTOR3>& positions) {
    std::unordered_map<PositionKey, DWORD, PositionHash> ids;
    ids.reserve(positions.size());
    std::vector<DWORD> result;
    result.reserve(positions.size());
    for (const D3DXVECTOR3& position : positions)
        result.push_back(ids.emplace(KeyOf(position), static_cast<DWORD>(ids.size())).first->second);
    return result;
}

struct EdgeUse {
    std::uint64_t edge; // lower position id in the high half
    DWORD slot;         // face * 3 + edge number
    bool forward;       // runs from the lower id to the higher
};

void Link(std::vector<DWORD>& adjacency, DWORD slotA, DWORD slotB) {
    adjacency[slotA] = slotB / 3;
    adjacency[slotB] = slotA / 3;
}

// Pairs the faces of one edge, oppositely wound uses first, then what is left among itself. A face
// that runs over the same edge twice is never its own neighbour.
void PairGroup(std::vector<DWORD>& adjacency, const EdgeUse* first, const EdgeUse* last) {
    const std::size_t count = static_cast<std::size_t>(last - first);
    if (count == 2 && first[0].slot / 3 != first[1].slot / 3) {
        Link(adjacency, first[0].slot, first[1].slot); // the usual case, without the search below
        return;
    }
    std::vector<bool> paired(count, false);
    for (const bool opposite : {true, false}) {
        for (std::size_t i = 0; i < count; ++i) {
            for (std::size_t j = i + 1; j < count && !paired[i]; ++j) {
                if (paired[j] || (first[i].forward != first[j].forward) != opposite ||
                    first[i].slot / 3 == first[j].slot / 3)
                    continue;
                Link(adjacency, first[i].slot, first[j].slot);
                paired[i] = paired[j] = true;
            }
        }
    }
}

} // namespace

std::vector<DWORD> ComputeFaceAdjacency(const std::vector<D3DXVECTOR3>& positions,
                                        const std::vector<std::array<DWORD, 3>>& faces) {
    const std::vector<DWORD> ids = PositionIds(positions);
    std::vector<EdgeUse> uses;
    uses.reserve(faces.size() * 3);
    for (std::size_t face = 0; face < faces.size(); ++face) {
        for (DWORD edge = 0; edge < 3; ++edge) {
            const DWORD a = ids[faces[face][edge]];
            const DWORD b = ids[faces[face][(edge + 1) % 3]];
            if (a == b)
                continue;
            const std::uint64_t key = (std::uint64_t{std::min(a, b)} << 32) | std::max(a, b);
            uses.push_back({key, static_cast<DWORD>(face * 3 + edge), a < b});
        }
    }
    std::sort(uses.begin(), uses.end(), [](const EdgeUse& x, const EdgeUse& y) {
        return x.edge != y.edge ? x.edge < y.edge : x.slot < y.slot;
    });
    std::vector<DWORD> adjacency(faces.size() * 3, kNone);
    for (std::size_t begin = 0; begin < uses.size();) {
        std::size_t end = begin + 1;
        while (end < uses.size() && uses[end].edge == uses[begin].edge)
            ++end;
        PairGroup(adjacency, uses.data() + begin, uses.data() + end);
        begin = end;
    }
    return adjacency;
}
