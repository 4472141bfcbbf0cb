// Values of the xtl support library, the base of its ranges and bounded values.
//
// Failures in xtl: the registry layer returns its result codes and never
// throws; stored data is read into std::optional, empty when it does not say
// what is wanted; the ranges, the bounded values and the singleton manager
// throw their small structures by value (illegal_range, out_of_range,
// not_created), which mean the caller broke the rule it was given.
#ifndef XTL_VALUE_H
#define XTL_VALUE_H

namespace xtl {

// A number that can be read through a common interface.
template <class T>
class basic_value {
 public:
  virtual T get() const = 0;
  virtual ~basic_value() = default;

 protected:
  basic_value() = default;
  basic_value(const basic_value&) = default;
  basic_value& operator=(const basic_value&) = default;
};

// A number that can also be set. Every way of assigning goes through the
// virtual set(), so a derived class that constrains set() constrains them all.
template <class T>
class dynamic_value : public basic_value<T> {
 public:
  explicit dynamic_value(T initial) : _value(initial) {}
  dynamic_value(const dynamic_value&) = default;

  T get() const override { return _value; }
  ~dynamic_value() override = default;
  virtual void set(const T& x) { _value = x; }
  virtual dynamic_value& operator=(const T& x) {
    set(x);
    return *this;
  }
  virtual dynamic_value& operator=(const basic_value<T>& other) {
    set(other.get());
    return *this;
  }

  // Not the implicit member-wise copy: a derived object reached through a
  // dynamic_value reference must still see its own set().
  dynamic_value& operator=(const dynamic_value& other) {
    set(other.get());
    return *this;
  }

 protected:
  T _value;
};

}  // namespace xtl

#endif
