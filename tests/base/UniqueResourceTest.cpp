// The move-only owner: every resource is closed exactly once, ownership moves and can be given
// up, and the kind's own "none" value is never closed.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "UniqueResource.h"

namespace {

std::vector<int> closed;

struct FakeTraits {  // "none" is -1, as INVALID_HANDLE_VALUE is for files
    using Value = int;
    static Value Invalid() { return -1; }
    static void Close(Value value) { closed.push_back(value); }
};
using Owner = UniqueResource<FakeTraits>;

class UniqueResourceTest : public ::testing::Test {
protected:
    void SetUp() override { closed.clear(); }
};

TEST_F(UniqueResourceTest, ClosesOnceAtEndOfScope) {
    {
        Owner owner(7);
        EXPECT_TRUE(owner.IsValid());
        EXPECT_EQ(owner.Get(), 7);
    }
    EXPECT_EQ(closed, std::vector<int>{7});
}

TEST_F(UniqueResourceTest, EmptyOwnerClosesNothing) {
    {
        Owner owner;
        EXPECT_FALSE(owner);
    }
    {
        Owner owner(-1);
        EXPECT_FALSE(owner.IsValid());
    }
    EXPECT_TRUE(closed.empty());
}

TEST_F(UniqueResourceTest, MoveTransfersOwnership) {
    {
        Owner first(3);
        Owner second(std::move(first));
        EXPECT_FALSE(first.IsValid());
        EXPECT_EQ(second.Get(), 3);
        Owner third(4);
        third = std::move(second);  // 4 is closed now, 3 later
        EXPECT_EQ(closed, std::vector<int>{4});
        third = std::move(third);  // self-move keeps the resource
        EXPECT_EQ(third.Get(), 3);
    }
    EXPECT_EQ(closed, (std::vector<int>{4, 3}));
}

TEST_F(UniqueResourceTest, ResetAndRelease) {
    Owner owner(1);
    owner.Reset(2);
    EXPECT_EQ(closed, std::vector<int>{1});
    EXPECT_EQ(owner.Release(), 2);
    EXPECT_FALSE(owner.IsValid());
    owner.Reset();
    EXPECT_EQ(closed, std::vector<int>{1});  // released: never closed by the owner
}

static_assert(!std::is_copy_constructible_v<Owner>, "owners are move-only");
static_assert(!std::is_copy_assignable_v<Owner>, "owners are move-only");

}  // namespace
