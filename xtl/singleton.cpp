#include "xtl/singleton.h"

namespace xtl {

singleton_mgr* singleton_mgr::_instance = nullptr;
singleton_guard* singleton_guard::_owner = nullptr;

void singleton_base::destroy() {
  singleton_mgr::instance()->remove(this);
  delete this;
}

singleton_base::~singleton_base() = default;

singleton_mgr::singleton_mgr() : _singletons(std::make_unique<set_type>()) {}

singleton_mgr::~singleton_mgr() {
  // Swap in an empty set first: each destroy() calls remove() on this
  // manager, which must not erase from the set being walked.
  std::unique_ptr<set_type> old = std::move(_singletons);
  _singletons = std::make_unique<set_type>();
  for (singleton_base* singleton : *old) singleton->destroy();
  old.reset();
  _singletons.reset();
}

singleton_mgr* singleton_mgr::instance() {
  if (!_instance) _instance = new singleton_mgr;
  return _instance;
}

void singleton_mgr::add(singleton_base* singleton) { _singletons->insert(singleton); }

void singleton_mgr::remove(singleton_base* singleton) { _singletons->erase(singleton); }

singleton_guard::singleton_guard() {
  if (!_owner) _owner = this;
}

singleton_guard::~singleton_guard() noexcept(false) {
  if (!_owner) throw singleton_mgr::not_created();
  if (_owner != this) return;
  _owner = nullptr;
  // The pointer stays set while the manager is deleted: the singletons'
  // destroy() reaches the dying manager through instance().
  delete singleton_mgr::_instance;
  singleton_mgr::_instance = nullptr;
}

}  // namespace xtl
