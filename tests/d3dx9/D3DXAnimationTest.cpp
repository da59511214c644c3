#include "ID3DXAnimationController.h"
#include "d3d9types.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

// A set of one animation moving `output` along x from `from` at tick 0 to `to` at tick `ticks`, at
// `ticksPerSecond`.
ID3DXAnimationSet* Slide(const char* name, const char* output, float from, float to, float ticks = 10.0f,
                         double ticksPerSecond = 10.0, D3DXPLAYBACK_TYPE playback = D3DXPLAY_LOOP) {
    ID3DXAnimationSet* set = nullptr;
    EXPECT_EQ(D3DXCreateKeyframedAnimationSet(name, ticksPerSecond, playback, &set), S_OK);
    const D3DXKEY_VECTOR3 keys[2] = {{0.0f, D3DXVECTOR3(from, 0, 0)}, {ticks, D3DXVECTOR3(to, 0, 0)}};
    EXPECT_EQ(set->RegisterAnimationSRTKeys(output, 0, nullptr, 0, nullptr, 2, keys, nullptr), S_OK);
    return set;
}

struct Controller {
    ID3DXAnimationController* c = nullptr;
    D3DXMATRIX bone;

    explicit Controller(UINT tracks = 2, UINT sets = 4) {
        D3DXMatrixIdentity(&bone);
        EXPECT_EQ(D3DXCreateAnimationController(1, sets, tracks, 0, &c), S_OK);
        EXPECT_EQ(c->RegisterAnimationOutput("Bone", &bone, nullptr, nullptr, nullptr), S_OK);
    }
    ~Controller() { c->Release(); }

    void Play(UINT track, ID3DXAnimationSet* set, float weight = 1.0f, float speed = 1.0f) {
        c->RegisterAnimationSet(set);
        set->Release();
        D3DXTRACK_DESC desc;
        desc.Weight = weight;
        desc.Speed = speed;
        desc.Enable = TRUE;
        ASSERT_EQ(c->SetTrackAnimationSet(track, set), S_OK);
        ASSERT_EQ(c->SetTrackDesc(track, &desc), S_OK);
    }
};

} // namespace

TEST(D3DXAnimationSet, InterpolatesTranslationLinearlyRotationSphericallyAndHoldsMatrixKeys) {
    ID3DXAnimationSet* set = nullptr;
    ASSERT_EQ(D3DXCreateKeyframedAnimationSet("Walk", 100.0, D3DXPLAY_LOOP, &set), S_OK);
    D3DXQUATERNION quarter;
    const D3DXVECTOR3 up(0, 1, 0);
    D3DXQuaternionRotationAxis(&quarter, &up, kPi / 2);
    // Given out of order: keys are sorted by time.
    const D3DXKEY_QUATERNION rotations[2] = {{200.0f, quarter}, {0.0f, D3DXQUATERNION(0, 0, 0, 1)}};
    const D3DXKEY_VECTOR3 moves[2] = {{0.0f, D3DXVECTOR3(0, 0, 0)}, {200.0f, D3DXVECTOR3(4, 2, 0)}};
    ASSERT_EQ(set->RegisterAnimationSRTKeys("Arm", 0, nullptr, 2, rotations, 2, moves, nullptr), S_OK);
    D3DXMATRIX first, second;
    D3DXMatrixTranslation(&first, 1, 0, 0);
    D3DXMatrixTranslation(&second, 9, 0, 0);
    const D3DXKEY_MATRIX matrices[2] = {{0.0f, first}, {100.0f, second}};
    ASSERT_EQ(set->RegisterAnimationMatrixKeys("Leg", 2, matrices, nullptr), S_OK);
    EXPECT_EQ(set->RegisterAnimationMatrixKeys("Leg", 2, matrices, nullptr), D3DERR_INVALIDCALL);
    EXPECT_DOUBLE_EQ(set->GetPeriod(), 2.0);

    D3DXVECTOR3 scale, move;
    D3DXQUATERNION turn;
    ASSERT_EQ(set->GetSRT(1.0, 0, &scale, &turn, &move), S_OK);
    EXPECT_NEAR(move.x, 2.0f, 1e-5f);
    EXPECT_NEAR(move.y, 1.0f, 1e-5f);
    EXPECT_EQ(scale, D3DXVECTOR3(1, 1, 1)); // no scale keys
    // Halfway between no turn and a quarter turn about y is an eighth turn, not a normalised average.
    EXPECT_NEAR(turn.y, std::sin(kPi / 8), 1e-5f);
    EXPECT_NEAR(turn.w, std::cos(kPi / 8), 1e-5f);

    D3DXMATRIX leg;
    ASSERT_EQ(set->GetMatrix(0.99, 1, &leg), S_OK);
    EXPECT_EQ(leg, first);
    ASSERT_EQ(set->GetMatrix(1.5, 1, &leg), S_OK);
    EXPECT_EQ(leg, second);
    EXPECT_EQ(set->GetSRT(0.0, 2, &scale, &turn, &move), D3DERR_INVALIDCALL);
    set->Release();
}

TEST(D3DXAnimationSet, PositionsComeIntoThePeriodByPlaybackType) {
    ID3DXAnimationSet* loop = Slide("Loop", "Bone", 0, 1, 20.0f, 10.0, D3DXPLAY_LOOP);
    ID3DXAnimationSet* once = Slide("Once", "Bone", 0, 1, 20.0f, 10.0, D3DXPLAY_ONCE);
    ID3DXAnimationSet* bounce = Slide("Bounce", "Bone", 0, 1, 20.0f, 10.0, D3DXPLAY_PINGPONG);
    EXPECT_DOUBLE_EQ(loop->GetPeriod(), 2.0);
    EXPECT_DOUBLE_EQ(loop->GetPeriodicPosition(5.0), 1.0);
    EXPECT_DOUBLE_EQ(loop->GetPeriodicPosition(-0.5), 1.5);
    EXPECT_DOUBLE_EQ(once->GetPeriodicPosition(5.0), 2.0);
    EXPECT_DOUBLE_EQ(bounce->GetPeriodicPosition(2.5), 1.5);
    loop->Release();
    once->Release();
    bounce->Release();

    ID3DXAnimationSet* set = nullptr;
    EXPECT_EQ(D3DXCreateKeyframedAnimationSet("Still", 0.0, D3DXPLAY_LOOP, &set), D3DERR_INVALIDCALL);
    EXPECT_EQ(set, nullptr);
}

TEST(D3DXAnimationController, CrossFadeWeightsShareTheOutputInProportion) {
    Controller ctl;
    ctl.Play(0, Slide("Left", "Bone", 0, 0));
    ctl.Play(1, Slide("Right", "Bone", 10, 10));
    ctl.c->SetTrackWeight(0, 0.25f);
    ctl.c->SetTrackWeight(1, 0.75f);
    ASSERT_EQ(ctl.c->AdvanceTime(0.1, nullptr), S_OK);
    EXPECT_NEAR(ctl.bone._41, 7.5f, 1e-4f);

    // A track alone shows its set whole, whatever its weight; a disabled one shows nothing.
    ctl.c->SetTrackEnable(0, FALSE);
    ctl.c->SetTrackWeight(1, 0.3f);
    ctl.c->AdvanceTime(0.0, nullptr);
    EXPECT_NEAR(ctl.bone._41, 10.0f, 1e-4f);
}

TEST(D3DXAnimationController, TracksAdvanceByTheirSpeedAndLoopThroughThePeriod) {
    Controller ctl;
    ctl.Play(0, Slide("Slide", "Bone", 0, 10), 1.0f, 2.0f); // period 1 s
    ctl.c->AdvanceTime(0.2, nullptr);
    EXPECT_NEAR(ctl.bone._41, 4.0f, 1e-4f);
    ctl.c->AdvanceTime(0.5, nullptr); // 1.4 s into the set: 0.4 into its second loop
    EXPECT_NEAR(ctl.bone._41, 4.0f, 1e-4f);
    D3DXTRACK_DESC desc;
    ctl.c->GetTrackDesc(0, &desc);
    EXPECT_NEAR(desc.Position, 1.4, 1e-9);
    EXPECT_NEAR(ctl.c->GetTime(), 0.7, 1e-9);

    // A disabled track stands still.
    ctl.c->SetTrackEnable(0, FALSE);
    ctl.c->AdvanceTime(0.3, nullptr);
    ctl.c->GetTrackDesc(0, &desc);
    EXPECT_NEAR(desc.Position, 1.4, 1e-9);
}

TEST(D3DXAnimationController, OutputsNoTrackAnimatesKeepTheirMatrices) {
    Controller ctl;
    ctl.Play(0, Slide("Other", "Tail", 0, 10));
    D3DXMatrixTranslation(&ctl.bone, 3, 4, 5);
    const D3DXMATRIX before = ctl.bone;
    ctl.c->AdvanceTime(0.5, nullptr);
    EXPECT_EQ(ctl.bone, before);
}

TEST(D3DXAnimationController, PartsAnAnimationDoesNotKeyComeFromTheOutputsRestPose) {
    D3DXMATRIX bone;
    D3DXMatrixRotationZ(&bone, kPi / 2);
    bone._41 = 7.0f;
    ID3DXAnimationController* c = nullptr;
    ASSERT_EQ(D3DXCreateAnimationController(1, 1, 1, 0, &c), S_OK);
    c->RegisterAnimationOutput("Bone", &bone, nullptr, nullptr, nullptr);
    ID3DXAnimationSet* set = nullptr;
    D3DXCreateKeyframedAnimationSet("Grow", 10.0, D3DXPLAY_LOOP, &set);
    const D3DXKEY_VECTOR3 scale[1] = {{0.0f, D3DXVECTOR3(2, 2, 2)}};
    set->RegisterAnimationSRTKeys("Bone", 1, scale, 0, nullptr, 0, nullptr, nullptr);
    c->RegisterAnimationSet(set);
    c->SetTrackAnimationSet(0, set);
    c->SetTrackEnable(0, TRUE);
    set->Release();
    c->AdvanceTime(0.0, nullptr);
    EXPECT_NEAR(bone._12, 2.0f, 1e-5f); // still turned a quarter, now twice as big
    EXPECT_NEAR(bone._41, 7.0f, 1e-5f);
    c->Release();
}

TEST(D3DXAnimationController, RefusesWhatItsLimitsDoNotHold) {
    Controller ctl(2, 1);
    ID3DXAnimationSet* first = Slide("First", "Bone", 0, 1);
    ID3DXAnimationSet* second = Slide("Second", "Bone", 0, 1);
    EXPECT_EQ(ctl.c->RegisterAnimationSet(first), S_OK);
    EXPECT_EQ(ctl.c->RegisterAnimationSet(first), D3DERR_INVALIDCALL);
    EXPECT_EQ(ctl.c->RegisterAnimationSet(second), D3DERR_INVALIDCALL);
    EXPECT_EQ(ctl.c->GetNumAnimationSets(), 1u);
    D3DXMATRIX more;
    EXPECT_EQ(ctl.c->RegisterAnimationOutput("More", &more, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);

    EXPECT_EQ(ctl.c->SetTrackAnimationSet(2, first), D3DERR_INVALIDCALL);
    EXPECT_EQ(ctl.c->SetTrackWeight(2, 1.0f), D3DERR_INVALIDCALL);
    EXPECT_EQ(ctl.c->SetTrackSpeed(5, 1.0f), D3DERR_INVALIDCALL);
    EXPECT_EQ(ctl.c->SetTrackPosition(2, 0.0), D3DERR_INVALIDCALL);
    EXPECT_EQ(ctl.c->SetTrackEnable(2, TRUE), D3DERR_INVALIDCALL);
    D3DXTRACK_DESC desc;
    EXPECT_EQ(ctl.c->GetTrackDesc(2, &desc), D3DERR_INVALIDCALL);
    EXPECT_EQ(ctl.c->SetTrackSpeed(0, NAN), D3DERR_INVALIDCALL);
    EXPECT_EQ(ctl.c->AdvanceTime(INFINITY, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(ctl.c->SetPriorityBlend(1.5f), D3DERR_INVALIDCALL);
    ID3DXAnimationSet* got = nullptr;
    EXPECT_EQ(ctl.c->GetAnimationSet(1, &got), D3DERR_INVALIDCALL);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(ctl.c->GetAnimationSetByName("Second", &got), D3DERR_INVALIDCALL);

    ID3DXAnimationController* clone = nullptr;
    EXPECT_EQ(ctl.c->CloneAnimationController(0, 1, 2, 0, &clone), D3DERR_INVALIDCALL);
    EXPECT_EQ(ctl.c->CloneAnimationController(1, 0, 2, 0, &clone), D3DERR_INVALIDCALL);
    EXPECT_EQ(clone, nullptr);
    ID3DXAnimationController* none = nullptr;
    EXPECT_EQ(D3DXCreateAnimationController(1, 1, 0, 0, &none), D3DERR_INVALIDCALL);
    first->Release();
    second->Release();
}

TEST(D3DXAnimationController, AClonePlaysTheSameSetsIntoTheSameOutputsOnTracksOfItsOwn) {
    Controller ctl;
    ctl.Play(0, Slide("Slide", "Bone", 0, 10));
    ctl.c->AdvanceTime(0.25, nullptr);
    ID3DXAnimationController* clone = nullptr;
    ASSERT_EQ(ctl.c->CloneAnimationController(2, 3, 3, 5, &clone), S_OK);
    EXPECT_EQ(clone->GetMaxNumTracks(), 3u);
    EXPECT_EQ(clone->GetMaxNumAnimationSets(), 3u);
    EXPECT_EQ(clone->GetMaxNumEvents(), 5u);
    EXPECT_EQ(clone->GetNumAnimationSets(), 1u);
    clone->AdvanceTime(0.25, nullptr);
    EXPECT_NEAR(ctl.bone._41, 5.0f, 1e-4f);
    D3DXTRACK_DESC original;
    ctl.c->GetTrackDesc(0, &original);
    EXPECT_NEAR(original.Position, 0.25, 1e-9);
    clone->Release();
}

TEST(D3DXAnimationController, PriorityBlendSharesBetweenLowAndHighTracks) {
    Controller ctl;
    ctl.Play(0, Slide("Low", "Bone", 0, 0));
    ctl.Play(1, Slide("High", "Bone", 8, 8));
    ctl.c->SetTrackPriority(1, D3DXPRIORITY_HIGH);
    ctl.c->AdvanceTime(0.0, nullptr);
    EXPECT_NEAR(ctl.bone._41, 8.0f, 1e-4f);
    ctl.c->SetPriorityBlend(0.25f);
    ctl.c->AdvanceTime(0.0, nullptr);
    EXPECT_NEAR(ctl.bone._41, 6.0f, 1e-4f);
}
