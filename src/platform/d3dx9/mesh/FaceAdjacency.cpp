#include "FaceAdjacency.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <utility>

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

// The uses of one edge that are still unpaired, in slot order, each winding apart. Finding the first free
// use after a given one follows "next free" links, shortened as they are followed, so that pairing a
// group costs about its size even when thousands of faces share one edge the same way round.
class FreeUses {
public:
    FreeUses(const EdgeUse* first, const EdgeUse* last, bool forward) {
        for (const EdgeUse* use = first; use != last; ++use)
            if (use->forward == forward)
                m_members.push_back(static_cast<std::size_t>(use - first));
        m_next.resize(m_members.size() + 1);
        for (std::size_t i = 0; i < m_next.size(); ++i)
            m_next[i] = i;
    }

    // The first free use after group member `after` whose face differs from `face`, or none. A face
    // meets one edge at most three times, so the face test skips at most two uses.
    std::optional<std::size_t> FirstAfter(std::size_t after, DWORD face, const EdgeUse* first) {
        std::size_t at = Free(static_cast<std::size_t>(
            std::upper_bound(m_members.begin(), m_members.end(), after) - m_members.begin()));
        while (at < m_members.size() && first[m_members[at]].slot / 3 == face)
            at = Free(at + 1);
        if (at == m_members.size())
            return std::nullopt;
        return m_members[at];
    }

    void Take(std::size_t member) {
        const auto at = static_cast<std::size_t>(
            std::lower_bound(m_members.begin(), m_members.end(), member) - m_members.begin());
        m_next[at] = at + 1;
    }

private:
    std::size_t Free(std::size_t at) {
        std::size_t root = at;
        while (m_next[root] != root)
            root = m_next[root];
        while (m_next[at] != root)
            at = std::exchange(m_next[at], root);
        return root;
    }

    std::vector<std::size_t> m_members; // group positions of this winding
    std::vector<std::size_t> m_next;    // itself when free, else a later position to look at
};

// Pairs the faces of one edge, oppositely wound uses first, then what is left among itself: in slot
// order, each free use takes the first free use after it that qualifies. A face that runs over the same
// edge twice is never its own neighbour.
void PairGroup(std::vector<DWORD>& adjacency, const EdgeUse* first, const EdgeUse* last) {
    const std::size_t count = static_cast<std::size_t>(last - first);
    if (count == 2 && first[0].slot / 3 != first[1].slot / 3) {
        Link(adjacency, first[0].slot, first[1].slot); // the usual case, without the search below
        return;
    }
    FreeUses free[2] = {FreeUses(first, last, false), FreeUses(first, last, true)};
    std::vector<bool> paired(count, false);
    for (const bool opposite : {true, false}) {
        for (std::size_t i = 0; i < count; ++i) {
            if (paired[i])
                continue;
            const bool partnerForward = first[i].forward != opposite;
            const std::optional<std::size_t> j = free[partnerForward].FirstAfter(i, first[i].slot / 3, first);
            if (!j)
                continue;
            Link(adjacency, first[i].slot, first[*j].slot);
            paired[i] = paired[*j] = true;
            free[first[i].forward].Take(i);
            free[partnerForward].Take(*j);
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
