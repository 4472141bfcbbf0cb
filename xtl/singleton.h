#ifndef XTL_SINGLETON_H
#define XTL_SINGLETON_H

#include <memory>
#include <set>

namespace xtl {

class singleton_mgr;

// Root of every heap singleton; the manager destroys them through this.
class singleton_base {
 public:
  // Unregisters from the manager, then deletes this object.
  virtual void destroy();
  virtual ~singleton_base();

  singleton_base(const singleton_base&) = delete;
  singleton_base& operator=(const singleton_base&) = delete;

 protected:
  singleton_base() = default;
};

// Owns every registered singleton and destroys them all when it is deleted
// by the owning singleton_guard. No locking: use from one thread.
class singleton_mgr {
 public:
  struct not_created {};

  // Creates the manager on first use.
  static singleton_mgr* instance();

  // A pointer already present is not added twice.
  void add(singleton_base* singleton);
  void remove(singleton_base* singleton);

  singleton_mgr(const singleton_mgr&) = delete;
  singleton_mgr& operator=(const singleton_mgr&) = delete;

 private:
  friend class singleton_guard;

  using set_type = std::set<singleton_base*>;

  singleton_mgr();
  // Destroys the singletons in ascending address order, not creation order.
  virtual ~singleton_mgr();

  std::unique_ptr<set_type> _singletons;
  static singleton_mgr* _instance;
};

// Gives T a static instance(): created with new on first use and registered
// with the manager, which deletes it at teardown.
template <class T>
class basic_singleton : public singleton_base {
 public:
  static T* instance() {
    if (!_instance) {
      T* created = new T;
      _instance = created;
      singleton_mgr::instance()->add(created);
    }
    return static_cast<T*>(_instance);
  }

 protected:
  basic_singleton() = default;

  // Forget the instance once it is gone, so that a use after teardown
  // builds a fresh object instead of touching freed memory. That late
  // object registers with a new manager, which only another guard frees.
  ~basic_singleton() override {
    if (_instance == this) _instance = nullptr;
  }

 private:
  // Held as the base so the destructor can compare it with this without
  // converting a pointer to the already destroyed T.
  static inline basic_singleton* _instance = nullptr;
};

// Lifetime guard: the first guard constructed records itself as owner and,
// when destroyed, deletes the manager and with it every singleton. Defined as
// a static object before anything whose destructor may still use singletons.
class singleton_guard {
 public:
  singleton_guard();
  // Throws singleton_mgr::not_created when no owner is recorded, i.e. the
  // owner has already torn the manager down.
  ~singleton_guard() noexcept(false);

  singleton_guard(const singleton_guard&) = delete;
  singleton_guard& operator=(const singleton_guard&) = delete;

 private:
  static singleton_guard* _owner;
};

}  // namespace xtl

#endif
