#include "ID3DXAnimationSet.h"

#include "d3d9types.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

template <typename Key> std::vector<Key> Sorted(const Key* keys, UINT count) {
    std::vector<Key> sorted(keys, keys + count);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Key& a, const Key& b) { return a.Time < b.Time; });
    return sorted;
}

template <typename Key> bool Finite(const Key* keys, UINT count) {
    for (UINT i = 0; i < count; ++i)
        if (!std::isfinite(keys[i].Time))
            return false;
    return true;
}

// The keys on either side of `time` and how far between them it lies; the end key alone outside them.
template <typename Key> std::size_t Bracket(const std::vector<Key>& keys, double time, float& between) {
    between = 0.0f;
    if (time <= keys.front().Time)
        return 0;
    if (time >= keys.back().Time)
        return keys.size() - 1;
    const auto next = std::upper_bound(keys.begin(), keys.end(), time,
                                       [](double t, const Key& key) { return t < key.Time; });
    const std::size_t at = static_cast<std::size_t>(next - keys.begin()) - 1;
    const double span = keys[at + 1].Time - keys[at].Time;
    between = span > 0.0 ? static_cast<float>((time - keys[at].Time) / span) : 0.0f;
    return at;
}

D3DXVECTOR3 SampleVector(const std::vector<D3DXKEY_VECTOR3>& keys, double time) {
    float between = 0.0f;
    const std::size_t at = Bracket(keys, time, between);
    if (between == 0.0f)
        return keys[at].Value;
    D3DXVECTOR3 value;
    D3DXVec3Lerp(&value, &keys[at].Value, &keys[at + 1].Value, between);
    return value;
}

D3DXQUATERNION SampleRotation(const std::vector<D3DXKEY_QUATERNION>& keys, double time) {
    float between = 0.0f;
    const std::size_t at = Bracket(keys, time, between);
    if (between == 0.0f)
        return keys[at].Value;
    D3DXQUATERNION value;
    D3DXQuaternionSlerp(&value, &keys[at].Value, &keys[at + 1].Value, between);
    return value;
}

// Matrix keys hold until the next key: the last key at or before the time.
const D3DXMATRIX& SampleMatrix(const std::vector<D3DXKEY_MATRIX>& keys, double time) {
    const auto next = std::upper_bound(keys.begin(), keys.end(), time,
                                       [](double t, const D3DXKEY_MATRIX& key) { return t < key.Time; });
    return next == keys.begin() ? keys.front().Value : std::prev(next)->Value;
}

} // namespace

void D3DXDecomposeAffine(const D3DXMATRIX& m, D3DXVECTOR3& scale, D3DXQUATERNION& rotation,
                         D3DXVECTOR3& translation) {
    translation = D3DXVECTOR3(m._41, m._42, m._43);
    D3DXVECTOR3 rows[3] = {D3DXVECTOR3(m._11, m._12, m._13), D3DXVECTOR3(m._21, m._22, m._23),
                           D3DXVECTOR3(m._31, m._32, m._33)};
    scale = D3DXVECTOR3(D3DXVec3Length(&rows[0]), D3DXVec3Length(&rows[1]), D3DXVec3Length(&rows[2]));
    if (D3DXMatrixDeterminant(&m) < 0.0f)
        scale.x = -scale.x;
    const float lengths[3] = {scale.x, scale.y, scale.z};
    D3DXMATRIX pure;
    D3DXMatrixIdentity(&pure);
    for (int r = 0; r < 3; ++r) {
        const D3DXVECTOR3 row = lengths[r] != 0.0f ? rows[r] / lengths[r] : D3DXVECTOR3(0, 0, 0);
        pure.m[r][0] = row.x;
        pure.m[r][1] = row.y;
        pure.m[r][2] = row.z;
    }
    D3DXQuaternionRotationMatrix(&rotation, &pure);
    D3DXQuaternionNormalize(&rotation, &rotation);
}

D3DXMATRIX D3DXComposeAffine(const D3DXVECTOR3& scale, const D3DXQUATERNION& rotation,
                             const D3DXVECTOR3& translation) {
    D3DXMATRIX scaling, turning, result;
    D3DXMatrixScaling(&scaling, scale.x, scale.y, scale.z);
    D3DXQUATERNION unit;
    D3DXQuaternionNormalize(&unit, &rotation);
    D3DXMatrixRotationQuaternion(&turning, &unit);
    D3DXMatrixMultiply(&result, &scaling, &turning);
    result._41 = translation.x;
    result._42 = translation.y;
    result._43 = translation.z;
    return result;
}

ID3DXAnimationSet::ID3DXAnimationSet(const char* name, double ticksPerSecond, D3DXPLAYBACK_TYPE playback)
    : m_name(name != nullptr ? name : ""), m_ticksPerSecond(ticksPerSecond), m_playback(playback) {}

HRESULT ID3DXAnimationSet::Create(const char* name, double ticksPerSecond, D3DXPLAYBACK_TYPE playback,
                                  ID3DXAnimationSet** set) {
    if (set == nullptr)
        return D3DERR_INVALIDCALL;
    *set = nullptr;
    if (!(ticksPerSecond > 0.0) || !std::isfinite(ticksPerSecond) || playback > D3DXPLAY_PINGPONG)
        return D3DERR_INVALIDCALL;
    *set = new ID3DXAnimationSet(name, ticksPerSecond, playback);
    return S_OK;
}

HRESULT D3DXCreateKeyframedAnimationSet(const char* name, double ticksPerSecond, D3DXPLAYBACK_TYPE playback,
                                        ID3DXAnimationSet** set) {
    return ID3DXAnimationSet::Create(name, ticksPerSecond, playback, set);
}

HRESULT ID3DXAnimationSet::Add(Animation animation, DWORD* index) {
    if (m_byName.count(animation.name) != 0)
        return D3DERR_INVALIDCALL;
    const auto last = [&](const auto& keys) {
        if (!keys.empty())
            m_lastKeyTime = std::max(m_lastKeyTime, keys.back().Time);
    };
    last(animation.scale);
    last(animation.rotation);
    last(animation.translation);
    last(animation.matrices);
    const auto at = static_cast<UINT>(m_animations.size());
    m_byName[animation.name] = at;
    m_animations.push_back(std::move(animation));
    if (index != nullptr)
        *index = at;
    return S_OK;
}

HRESULT ID3DXAnimationSet::RegisterAnimationSRTKeys(const char* name, UINT numScaleKeys,
                                                    const D3DXKEY_VECTOR3* scaleKeys, UINT numRotationKeys,
                                                    const D3DXKEY_QUATERNION* rotationKeys,
                                                    UINT numTranslationKeys,
                                                    const D3DXKEY_VECTOR3* translationKeys, DWORD* index) {
    if (name == nullptr || (numScaleKeys > 0 && scaleKeys == nullptr) ||
        (numRotationKeys > 0 && rotationKeys == nullptr) ||
        (numTranslationKeys > 0 && translationKeys == nullptr) || !Finite(scaleKeys, numScaleKeys) ||
        !Finite(rotationKeys, numRotationKeys) || !Finite(translationKeys, numTranslationKeys))
        return D3DERR_INVALIDCALL;
    Animation animation{name,
                        Sorted(scaleKeys, numScaleKeys),
                        Sorted(rotationKeys, numRotationKeys),
                        Sorted(translationKeys, numTranslationKeys),
                        {}};
    return Add(std::move(animation), index);
}

HRESULT ID3DXAnimationSet::RegisterAnimationMatrixKeys(const char* name, UINT numKeys,
                                                       const D3DXKEY_MATRIX* keys, DWORD* index) {
    if (name == nullptr || numKeys == 0 || keys == nullptr || !Finite(keys, numKeys))
        return D3DERR_INVALIDCALL;
    Animation animation{name, {}, {}, {}, Sorted(keys, numKeys)};
    return Add(std::move(animation), index);
}

double ID3DXAnimationSet::GetPeriod() const {
    return m_lastKeyTime / m_ticksPerSecond;
}

double ID3DXAnimationSet::GetPeriodicPosition(double position) const {
    const double period = GetPeriod();
    if (!(period > 0.0) || !std::isfinite(position))
        return 0.0;
    switch (m_playback) {
    case D3DXPLAY_ONCE:
        return std::clamp(position, 0.0, period);
    case D3DXPLAY_PINGPONG: {
        const double cycle = std::fmod(position, 2.0 * period);
        const double within = cycle < 0.0 ? cycle + 2.0 * period : cycle;
        return within <= period ? within : 2.0 * period - within;
    }
    default: {
        const double within = std::fmod(position, period);
        return within < 0.0 ? within + period : within;
    }
    }
}

HRESULT ID3DXAnimationSet::GetAnimationNameByIndex(UINT index, const char** name) const {
    if (index >= m_animations.size() || name == nullptr)
        return D3DERR_INVALIDCALL;
    *name = m_animations[index].name.c_str();
    return S_OK;
}

HRESULT ID3DXAnimationSet::GetAnimationIndexByName(const char* name, UINT* index) const {
    if (name == nullptr || index == nullptr)
        return D3DERR_INVALIDCALL;
    const auto found = m_byName.find(std::string_view(name));
    if (found == m_byName.end())
        return D3DERR_INVALIDCALL;
    *index = found->second;
    return S_OK;
}

DWORD ID3DXAnimationSet::GetKeyedParts(UINT animation) const {
    if (animation >= m_animations.size())
        return 0;
    const Animation& a = m_animations[animation];
    if (!a.matrices.empty())
        return kMatrix;
    DWORD keyed = 0;
    if (!a.scale.empty())
        keyed |= kScale;
    if (!a.rotation.empty())
        keyed |= kRotation;
    if (!a.translation.empty())
        keyed |= kTranslation;
    return keyed;
}

HRESULT ID3DXAnimationSet::GetSRT(double periodicPosition, UINT animation, D3DXVECTOR3* scale,
                                  D3DXQUATERNION* rotation, D3DXVECTOR3* translation) const {
    if (animation >= m_animations.size() || scale == nullptr || rotation == nullptr || translation == nullptr)
        return D3DERR_INVALIDCALL;
    const Animation& a = m_animations[animation];
    const double ticks = periodicPosition * m_ticksPerSecond;
    if (!a.matrices.empty()) {
        D3DXDecomposeAffine(SampleMatrix(a.matrices, ticks), *scale, *rotation, *translation);
        return S_OK;
    }
    *scale = a.scale.empty() ? D3DXVECTOR3(1, 1, 1) : SampleVector(a.scale, ticks);
    *rotation = a.rotation.empty() ? D3DXQUATERNION(0, 0, 0, 1) : SampleRotation(a.rotation, ticks);
    *translation = a.translation.empty() ? D3DXVECTOR3(0, 0, 0) : SampleVector(a.translation, ticks);
    return S_OK;
}

HRESULT ID3DXAnimationSet::GetMatrix(double periodicPosition, UINT animation, D3DXMATRIX* matrix) const {
    if (animation >= m_animations.size() || matrix == nullptr)
        return D3DERR_INVALIDCALL;
    const Animation& a = m_animations[animation];
    if (!a.matrices.empty()) {
        *matrix = SampleMatrix(a.matrices, periodicPosition * m_ticksPerSecond);
        return S_OK;
    }
    D3DXVECTOR3 scale, translation;
    D3DXQUATERNION rotation;
    GetSRT(periodicPosition, animation, &scale, &rotation, &translation);
    *matrix = D3DXComposeAffine(scale, rotation, translation);
    return S_OK;
}
