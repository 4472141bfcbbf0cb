#ifndef XTL_RANGE_H
#define XTL_RANGE_H

#include <memory>

#include "xtl/value.h"

namespace xtl {

// A closed interval [lower(), upper()].
template <class T>
class basic_range {
 public:
  struct illegal_range {};

  virtual T lower() const = 0;
  virtual T upper() const = 0;
  virtual ~basic_range() = default;

 protected:
  basic_range() = default;
  basic_range(const basic_range&) = default;
  basic_range& operator=(const basic_range&) = default;
};

// A range whose two bounds are settable numbers owned by the range.
// Starts as [0, 0]; every bound change is checked.
template <class T>
class adjustable_range : public basic_range<T> {
 public:
  using illegal_range = typename basic_range<T>::illegal_range;

  adjustable_range()
      : _lower(std::make_unique<dynamic_value<T>>(T(0))),
        _upper(std::make_unique<dynamic_value<T>>(T(0))) {
    validate();
  }

  T lower() const override { return _lower->get(); }
  T upper() const override { return _upper->get(); }
  ~adjustable_range() override = default;

  // The new bound is kept even when the check throws, leaving the range
  // inverted. Restoring it would hide the caller's ordering mistake behind
  // a range that looks untouched; callers order their two calls instead.
  virtual void set_lower(const T& x) {
    _lower->set(x);
    validate();
  }
  virtual void set_upper(const T& x) {
    _upper->set(x);
    validate();
  }

  // Equal bounds are a valid (one-point) range.
  virtual void validate() {
    if (upper() < lower()) throw illegal_range();
  }

 private:
  std::unique_ptr<dynamic_value<T>> _lower;
  std::unique_ptr<dynamic_value<T>> _upper;
};

}  // namespace xtl

#endif
