#ifndef XTL_BOUNDED_VALUE_H
#define XTL_BOUNDED_VALUE_H

#include "xtl/range.h"
#include "xtl/value.h"

namespace xtl {

// A settable number kept inside a range it does not own. The range must
// outlive the value. Setting clamps; narrowing the range later does not move
// the value until it is set again.
template <class T, class R, class RP = R*>
class bounded_value : public basic_range<T>, public dynamic_value<T> {
 public:
  struct out_of_range {};

  explicit bounded_value(RP range) : dynamic_value<T>(range->lower()), _range(range) { validate(); }
  // A copy refers to the same range.
  bounded_value(const bounded_value&) = default;

  T lower() const override { return _range->lower(); }
  T upper() const override { return _range->upper(); }
  ~bounded_value() override = default;
  virtual void validate() {
    if (lower() > this->get() || this->get() > upper()) throw out_of_range();
  }

  // The bounds are read afresh on every call. The upper test is written
  // negated so that a NaN, which fails every comparison, is stored as
  // upper() instead of slipping through as the number itself.
  void set(const T& x) override {
    if (lower() > x)
      this->_value = lower();
    else if (!(x <= upper()))
      this->_value = upper();
    else
      this->_value = x;
  }

  using dynamic_value<T>::operator=;

  // Assigning another bounded value takes its number, clamped to our own
  // range; the range binding is never copied.
  bounded_value& operator=(const bounded_value& other) {
    set(other.get());
    return *this;
  }

 private:
  RP _range;
};

}  // namespace xtl

#endif
