#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "xtl/bounded_value.h"

namespace {

using Range = xtl::adjustable_range<float>;
using Bounded = xtl::bounded_value<float, Range, Range*>;

struct Constant : xtl::basic_value<float> {
  explicit Constant(float v) : v(v) {}
  float get() const override { return v; }
  float v;
};

TEST(AdjustableRange, BoundChangesAreCheckedAndAFailedOneStays) {
  Range r;
  EXPECT_EQ(0.0f, r.lower());
  EXPECT_EQ(0.0f, r.upper());

  EXPECT_THROW(r.set_lower(0.1f), Range::illegal_range);
  EXPECT_EQ(0.1f, r.lower());
  EXPECT_EQ(0.0f, r.upper());

  Range ordered;
  ordered.set_upper(0.15f);
  ordered.set_lower(0.1f);
  EXPECT_EQ(0.1f, ordered.lower());
  EXPECT_EQ(0.15f, ordered.upper());
  EXPECT_NO_THROW(ordered.set_lower(0.15f));  // equal bounds are valid
  EXPECT_THROW(ordered.set_upper(0.14f), Range::illegal_range);
}

TEST(BoundedValue, SetAndAssignmentClamp) {
  Range r;
  r.set_upper(0.7f);
  r.set_lower(0.1f);
  Bounded b(&r);
  EXPECT_EQ(0.1f, b.get());  // starts at the lower bound

  b.set(0.0f);
  EXPECT_EQ(0.1f, b.get());
  b.set(0.9f);
  EXPECT_EQ(0.7f, b.get());
  b.set(0.5f);
  EXPECT_EQ(0.5f, b.get());
  b = 0.1f;
  EXPECT_EQ(0.1f, b.get());
  b = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(0.7f, b.get());
  b = -std::numeric_limits<float>::infinity();
  EXPECT_EQ(0.1f, b.get());

  b = Constant(5.0f);
  EXPECT_EQ(0.7f, b.get());

  // Assignment through the plain value interfaces still clamps.
  xtl::dynamic_value<float>& asDynamic = b;
  asDynamic = xtl::dynamic_value<float>(-3.0f);
  EXPECT_EQ(0.1f, b.get());
  asDynamic = 2.0f;
  EXPECT_EQ(0.7f, b.get());

  // Copy-assigning another bounded value takes its number, not its range.
  Range wide;
  wide.set_upper(10.0f);
  Bounded other(&wide);
  other = 9.0f;
  b = other;
  EXPECT_EQ(0.7f, b.get());
  EXPECT_EQ(0.7f, b.upper());
  r.set_upper(0.8f);
  b = other;
  EXPECT_EQ(0.8f, b.get());
}

TEST(BoundedValue, FollowsItsRangeWithoutBeingMoved) {
  Range r;
  Bounded b(&r);
  const xtl::basic_range<float>& asRange = b;
  r.set_upper(0.15f);
  r.set_lower(0.1f);
  EXPECT_EQ(0.1f, asRange.lower());
  EXPECT_EQ(0.15f, asRange.upper());
  EXPECT_EQ(0.0f, b.get());  // not moved until set again
  EXPECT_THROW(b.validate(), Bounded::out_of_range);
  b = b.get();
  EXPECT_EQ(0.1f, b.get());
  EXPECT_NO_THROW(b.validate());
}

TEST(BoundedValue, ConstructionOnAnInvertedRangeThrows) {
  Range r;
  EXPECT_THROW(r.set_lower(1.0f), Range::illegal_range);
  EXPECT_THROW(Bounded b(&r), Bounded::out_of_range);
}

}  // namespace
