#include <algorithm>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "xtl/singleton.h"

namespace {

struct Counts {
  int constructed = 0;
  int destroyed = 0;
  std::vector<const xtl::singleton_base*> destroyOrder;
};
Counts counts;

template <int N>
class Probe : public xtl::basic_singleton<Probe<N>> {
  friend class xtl::basic_singleton<Probe<N>>;
  Probe() { ++counts.constructed; }
  ~Probe() override {
    ++counts.destroyed;
    counts.destroyOrder.push_back(this);
  }
};

class Singletons : public ::testing::Test {
 protected:
  void SetUp() override { counts = Counts(); }
};

TEST_F(Singletons, CreatedOnFirstUseAndDestroyedByTheOwningGuard) {
  {
    xtl::singleton_guard guard;
    Probe<1>* first = Probe<1>::instance();
    EXPECT_EQ(first, Probe<1>::instance());
    EXPECT_EQ(1, counts.constructed);
    EXPECT_EQ(0, counts.destroyed);
  }
  EXPECT_EQ(1, counts.destroyed);

  // After teardown a use builds a fresh object; a new guard owns it.
  {
    xtl::singleton_guard guard;
    Probe<1>::instance();
    EXPECT_EQ(2, counts.constructed);
  }
  EXPECT_EQ(2, counts.destroyed);
}

TEST_F(Singletons, GuardWithNothingCreatedClearsOwnership) {
  auto* owner = new xtl::singleton_guard;
  EXPECT_NO_THROW(delete owner);
  EXPECT_EQ(0, counts.destroyed);

  auto* next = new xtl::singleton_guard;  // owner again
  Probe<1>::instance();
  delete next;
  EXPECT_EQ(1, counts.destroyed);
}

TEST_F(Singletons, AllDestroyedOnceInAddressOrder) {
  {
    xtl::singleton_guard guard;
    Probe<3>::instance();
    Probe<2>::instance();
    Probe<1>::instance();
    xtl::singleton_mgr::instance()->add(Probe<2>::instance());  // no second entry
  }
  ASSERT_EQ(3, counts.destroyed);
  EXPECT_TRUE(std::is_sorted(counts.destroyOrder.begin(), counts.destroyOrder.end(),
                             std::less<const xtl::singleton_base*>()));
}

TEST_F(Singletons, DestroyUnregistersAndRemoveForgets) {
  xtl::singleton_guard guard;
  Probe<1>::instance()->destroy();
  EXPECT_EQ(1, counts.destroyed);
  Probe<1>::instance();
  EXPECT_EQ(2, counts.constructed);

  Probe<2>* kept = Probe<2>::instance();
  xtl::singleton_mgr::instance()->remove(kept);
  xtl::singleton_mgr::instance()->remove(kept);
  {
    // A non-owning guard changes nothing.
    xtl::singleton_guard inert;
  }
  EXPECT_EQ(1, counts.destroyed);
  kept->destroy();
  EXPECT_EQ(2, counts.destroyed);
}

TEST_F(Singletons, GuardOutlivingTheOwnerThrowsNotCreated) {
  auto* owner = new xtl::singleton_guard;
  auto* late = new xtl::singleton_guard;
  Probe<1>::instance();
  delete owner;
  EXPECT_EQ(1, counts.destroyed);
  EXPECT_THROW(delete late, xtl::singleton_mgr::not_created);
}

}  // namespace
