#include "ComPtr.h"
#include "Unknown.h"

#include <gtest/gtest.h>

namespace {

// Counts its references and reports its deletion, so that every path's release can be checked.
class Counted : public IUnknown {
public:
    explicit Counted(bool* deleted) : m_deleted(deleted) {}
    ULONG References() {
        AddRef();
        return Release();
    }

private:
    ~Counted() override { *m_deleted = true; }
    bool* m_deleted;
};

} // namespace

TEST(ComPtr, ReleasesExactlyTheReferencesItHolds) {
    bool deleted = false;
    auto* object = new Counted(&deleted);
    {
        ComPtr<Counted> owner(object);
        ComPtr<Counted> sharer;
        sharer.Share(object);
        EXPECT_EQ(object->References(), 2u);
        sharer.Share(object); // again: still one reference for the sharer
        EXPECT_EQ(object->References(), 2u);
        Counted* copy = owner.Copy();
        EXPECT_EQ(object->References(), 3u);
        copy->Release();
        ComPtr<Counted> moved(std::move(sharer));
        EXPECT_FALSE(sharer);
        EXPECT_EQ(object->References(), 2u);
    }
    EXPECT_TRUE(deleted);
}

TEST(ComPtr, ResetReceiveAndDetachHandOverTheReference) {
    bool firstDeleted = false, secondDeleted = false;
    auto* first = new Counted(&firstDeleted);
    ComPtr<Counted> holder(first);
    *holder.Receive() = new Counted(&secondDeleted); // as an out parameter fills it
    EXPECT_TRUE(firstDeleted);
    Counted* second = holder.Detach();
    EXPECT_FALSE(holder);
    EXPECT_FALSE(secondDeleted);
    holder.Reset(second);
    holder.Reset();
    EXPECT_TRUE(secondDeleted);
}

TEST(ComPtr, ReleaseAndClearLeavesTheRawMemberEmpty) {
    bool deleted = false;
    Counted* member = new Counted(&deleted);
    ReleaseAndClear(member);
    EXPECT_EQ(member, nullptr);
    EXPECT_TRUE(deleted);
    ReleaseAndClear(member); // a second call is harmless
}
