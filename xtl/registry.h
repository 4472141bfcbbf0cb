// An object model over the registry: keys with bound values and subkeys,
// loaded or stored in one pass. Never throws; results are small codes.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace xtl {
namespace registry {

// Result codes of every operation.
enum : long { success = 0, not_found = 3, access_denied = 4, failed = 5 };

// Win32 result to result code.
long translate(LONG win32Result);
// Access rights of a mode (0..5).
REGSAM access_rights(long mode);

// One open key; closed when the record goes.
struct key_handle {
  HKEY handle = nullptr;
  long mode = 0;
  LONG result = ERROR_SUCCESS;

  key_handle(HKEY root, long accessMode) : handle(root), mode(accessMode) {}
  // Creates or opens name beneath parent as the parent's mode says.
  key_handle(const key_handle& parent, const std::string& name);
  ~key_handle() { close(); }
  key_handle(const key_handle&) = delete;
  key_handle& operator=(const key_handle&) = delete;
  void close();
};

class basic_registry {
 public:
  explicit basic_registry(HKEY root) : _key(root, 0) {}
  virtual ~basic_registry() = default;
  key_handle& key() { return _key; }

 private:
  key_handle _key;
};

class current_user : public basic_registry {
 public:
  current_user() : basic_registry(HKEY_CURRENT_USER) {}
};

class basic_storable {
 public:
  virtual ~basic_storable() = default;
  virtual long load(const key_handle& parent) = 0;
  virtual long store(const key_handle& parent) = 0;
};

template <class T>
class registry_value : public basic_storable {
 public:
  registry_value(const std::string& name, T* variable) : _name(name), _variable(variable) {}
  long load(const key_handle& parent) override;
  long store(const key_handle& parent) override;

 private:
  std::string _name;
  T* _variable;  // not owned
};

class registry_key : public basic_storable {
 public:
  explicit registry_key(const std::string& name) : _name(name) {}
  ~registry_key() override;
  registry_key(const registry_key&) = delete;
  registry_key& operator=(const registry_key&) = delete;

  // Binds a variable that must outlive every pass.
  void add(const std::string& name, DWORD& variable);
  void add(const std::string& name, bool& variable);
  // Appends an empty subkey and returns it.
  registry_key& add_key(const std::string& name);

  // Entry points on a root; each sets the root's mode first. The program reads
  // with mode 3; stores and creations create missing keys (modes 1 and 4);
  // removal opens with full access (0); enumeration asks for no more than it needs (5).
  long load(basic_registry& root) { return on_root(root, 3, &registry_key::load); }
  long store(basic_registry& root) { return on_root(root, 1, &registry_key::store); }
  long create(basic_registry& root) { return on_root(root, 4, &registry_key::create); }
  long remove(basic_registry& root) { return on_root(root, 0, &registry_key::remove); }
  long enumerate(basic_registry& root) { return on_root(root, 5, &registry_key::enumerate); }
  long enumerate_all(basic_registry& root) {
    return on_root(root, 5, &registry_key::enumerate_all);
  }

  long load(const key_handle& parent) override;
  long store(const key_handle& parent) override;
  virtual long create(const key_handle& parent);
  virtual long remove(const key_handle& parent);
  virtual long enumerate(const key_handle& parent);
  virtual long enumerate_all(const key_handle& parent);

  const std::string& name() const { return _name; }
  const std::vector<std::unique_ptr<registry_key>>& subkeys() const { return _subkeys; }

 private:
  long on_root(basic_registry& root, long mode, long (registry_key::*op)(const key_handle&)) {
    root.key().mode = mode;
    return (this->*op)(root.key());
  }
  template <class List, class Op>
  long pass(const key_handle& parent, List& list, Op op);

  std::vector<std::unique_ptr<registry_key>> _subkeys;
  std::vector<std::unique_ptr<basic_storable>> _values;
  std::string _name;
};

}  // namespace registry
}  // namespace xtl
