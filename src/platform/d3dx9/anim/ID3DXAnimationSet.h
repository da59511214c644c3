// D3DX's keyframed animation set: named animations, each moving one output (a frame of the hierarchy)
// with scale, rotation and translation keys, or with whole matrices, over a period of its own.
// Between keys, scale and translation are interpolated linearly and rotation spherically; matrix keys
// are used as given, each until the next one. Key times are in ticks.
#pragma once

#include "Unknown.h"
#include "d3dx9math.h"

#include <map>
#include <string>
#include <vector>

enum D3DXPLAYBACK_TYPE : DWORD { D3DXPLAY_LOOP = 0, D3DXPLAY_ONCE = 1, D3DXPLAY_PINGPONG = 2 };

struct D3DXKEY_VECTOR3 {
    float Time;
    D3DXVECTOR3 Value;
};

struct D3DXKEY_QUATERNION {
    float Time;
    D3DXQUATERNION Value;
};

struct D3DXKEY_MATRIX {
    float Time;
    D3DXMATRIX Value;
};

class ID3DXAnimationSet : public IUnknown {
public:
    // Which parts an animation's keys give; GetSRT fills the others with identity values.
    enum Keyed : DWORD { kScale = 1, kRotation = 2, kTranslation = 4, kMatrix = 8 };

    // Ticks per second must be positive.
    static HRESULT Create(const char* name, double ticksPerSecond, D3DXPLAYBACK_TYPE playback,
                          ID3DXAnimationSet** set);

    // Keys may come in any order; they are kept sorted by time. One animation per name.
    HRESULT RegisterAnimationSRTKeys(const char* name, UINT numScaleKeys, const D3DXKEY_VECTOR3* scaleKeys,
                                     UINT numRotationKeys, const D3DXKEY_QUATERNION* rotationKeys,
                                     UINT numTranslationKeys, const D3DXKEY_VECTOR3* translationKeys,
                                     DWORD* index);
    HRESULT RegisterAnimationMatrixKeys(const char* name, UINT numKeys, const D3DXKEY_MATRIX* keys,
                                        DWORD* index);

    const char* GetName() const { return m_name.c_str(); }
    double GetSourceTicksPerSecond() const { return m_ticksPerSecond; }
    D3DXPLAYBACK_TYPE GetPlaybackType() const { return m_playback; }
    // Seconds from time 0 to the last key of any animation.
    double GetPeriod() const;
    // A track's position in seconds brought into the period: looped, held at its ends, or bounced.
    double GetPeriodicPosition(double position) const;
    UINT GetNumAnimations() const { return static_cast<UINT>(m_animations.size()); }
    HRESULT GetAnimationNameByIndex(UINT index, const char** name) const;
    HRESULT GetAnimationIndexByName(const char* name, UINT* index) const;
    DWORD GetKeyedParts(UINT animation) const;
    // The animation's pose at a periodic position in seconds; matrix keys are decomposed.
    HRESULT GetSRT(double periodicPosition, UINT animation, D3DXVECTOR3* scale, D3DXQUATERNION* rotation,
                   D3DXVECTOR3* translation) const;
    // The pose as one matrix: scale, then rotation, then translation, or the matrix key as given.
    HRESULT GetMatrix(double periodicPosition, UINT animation, D3DXMATRIX* matrix) const;

private:
    struct Animation {
        std::string name;
        std::vector<D3DXKEY_VECTOR3> scale;
        std::vector<D3DXKEY_QUATERNION> rotation;
        std::vector<D3DXKEY_VECTOR3> translation;
        std::vector<D3DXKEY_MATRIX> matrices;
    };

    ID3DXAnimationSet(const char* name, double ticksPerSecond, D3DXPLAYBACK_TYPE playback);
    HRESULT Add(Animation animation, DWORD* index);

    std::string m_name;
    double m_ticksPerSecond;
    D3DXPLAYBACK_TYPE m_playback;
    float m_lastKeyTime = 0.0f;
    std::vector<Animation> m_animations;
    std::map<std::string, UINT, std::less<>> m_byName; // looked up by C string without a copy
};
using LPD3DXANIMATIONSET = ID3DXAnimationSet*;

HRESULT D3DXCreateKeyframedAnimationSet(const char* name, double ticksPerSecond, D3DXPLAYBACK_TYPE playback,
                                        ID3DXAnimationSet** set);

// Scale, rotation and translation of an affine matrix (rows scaled, then rotated, then moved). A
// mirroring matrix gets a negative x scale.
void D3DXDecomposeAffine(const D3DXMATRIX& matrix, D3DXVECTOR3& scale, D3DXQUATERNION& rotation,
                         D3DXVECTOR3& translation);
// The matrix of a scale, then a rotation, then a translation.
D3DXMATRIX D3DXComposeAffine(const D3DXVECTOR3& scale, const D3DXQUATERNION& rotation,
                             const D3DXVECTOR3& translation);
