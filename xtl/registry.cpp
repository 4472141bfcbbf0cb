#include "xtl/registry.h"

#include <map>
#include <vector>

#include "xtl/registry_data.h"

namespace xtl {
namespace registry {

namespace {

// The two lookup tables, built during static initialisation.
const std::map<LONG, long> kResults = {{ERROR_SUCCESS, success},
                                       {ERROR_MORE_DATA, success},
                                       {ERROR_NO_MORE_ITEMS, success},
                                       {ERROR_FILE_NOT_FOUND, not_found},
                                       {ERROR_ACCESS_DENIED, access_denied},
                                       {ERROR_INVALID_PARAMETER, failed}};

const std::map<long, REGSAM> kRights = {{0, KEY_ALL_ACCESS}, {1, KEY_WRITE},
                                        {2, KEY_WRITE},      {3, KEY_READ},
                                        {4, KEY_WRITE},      {5, KEY_ENUMERATE_SUB_KEYS}};

bool creates(long mode) { return mode == 1 || mode == 4; }

}  // namespace

long translate(LONG win32Result) {
  auto it = kResults.find(win32Result);
  return it != kResults.end() ? it->second : failed;
}

REGSAM access_rights(long mode) {
  auto it = kRights.find(mode);
  return it != kRights.end() ? it->second : KEY_READ;
}

key_handle::key_handle(const key_handle& parent, const std::string& name) : mode(parent.mode) {
  if (creates(mode)) {
    DWORD disposition = 0;
    result = RegCreateKeyExA(parent.handle, name.c_str(), 0, nullptr, 0, access_rights(mode),
                             nullptr, &handle, &disposition);
  } else {
    result = RegOpenKeyExA(parent.handle, name.c_str(), 0, access_rights(mode), &handle);
  }
  if (result != ERROR_SUCCESS) handle = nullptr;
}

void key_handle::close() {
  if (handle) RegCloseKey(handle);
  handle = nullptr;
}

namespace {

// The value as stored: its type and every byte of it.
LONG query(HKEY key, const std::string& name, DWORD& type, std::vector<unsigned char>& data) {
  DWORD size = 0;
  LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
  if (rc != ERROR_SUCCESS) return rc;
  data.resize(size);
  rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size);
  data.resize(size);
  return rc;
}

// What the stored data says as T; nothing when it does not say it.
template <class T>
std::optional<T> decode(DWORD type, const std::vector<unsigned char>& data);

template <>
std::optional<DWORD> decode<DWORD>(DWORD type, const std::vector<unsigned char>& data) {
  return read_number(type, data.data(), data.size());
}

template <>
std::optional<bool> decode<bool>(DWORD type, const std::vector<unsigned char>& data) {
  return read_flag(type, data.data(), data.size());
}

}  // namespace

// Read by the stored type: a value of a type that does not give a T fails
// and leaves the variable as it was.
template <class T>
long registry_value<T>::load(const key_handle& parent) {
  DWORD type = 0;
  std::vector<unsigned char> data;
  const LONG rc = query(parent.handle, _name, type, data);
  if (rc == ERROR_MORE_DATA) return failed;  // it grew between the two reads
  if (rc != ERROR_SUCCESS) return translate(rc);
  const std::optional<T> value = decode<T>(type, data);
  if (!value) return failed;
  *_variable = *value;
  return success;
}

template <class T>
long registry_value<T>::store(const key_handle& parent) {
  return translate(RegSetValueExA(parent.handle, _name.c_str(), 0, REG_BINARY,
                                  reinterpret_cast<const BYTE*>(_variable), sizeof(T)));
}

template class registry_value<DWORD>;
template class registry_value<bool>;

registry_key::~registry_key() {
  _subkeys.clear();
  _values.clear();
}

void registry_key::add(const std::string& name, DWORD& variable) {
  _values.push_back(std::make_unique<registry_value<DWORD>>(name, &variable));
}

void registry_key::add(const std::string& name, bool& variable) {
  _values.push_back(std::make_unique<registry_value<bool>>(name, &variable));
}

registry_key& registry_key::add_key(const std::string& name) {
  _subkeys.push_back(std::make_unique<registry_key>(name));
  return *_subkeys.back();
}

template <class List, class Op>
long registry_key::pass(const key_handle& parent, List& list, Op op) {
  key_handle key(parent, _name);
  if (key.result != ERROR_SUCCESS) return translate(key.result);
  for (auto& element : list) {
    long rc = op(*element, key);
    if (rc != success) return rc;
  }
  return success;
}

long registry_key::load(const key_handle& parent) {
  long rc = pass(parent, _values, [](basic_storable& v, const key_handle& k) { return v.load(k); });
  if (rc != success) return rc;
  return pass(parent, _subkeys, [](registry_key& s, const key_handle& k) { return s.load(k); });
}

long registry_key::store(const key_handle& parent) {
  long rc =
      pass(parent, _values, [](basic_storable& v, const key_handle& k) { return v.store(k); });
  if (rc != success) return rc;
  return pass(parent, _subkeys, [](registry_key& s, const key_handle& k) { return s.store(k); });
}

long registry_key::create(const key_handle& parent) {
  return pass(parent, _subkeys, [](registry_key& s, const key_handle& k) { return s.create(k); });
}

long registry_key::remove(const key_handle& parent) {
  long rc =
      pass(parent, _subkeys, [](registry_key& s, const key_handle& k) { return s.remove(k); });
  if (rc != success) return rc;
  return translate(RegDeleteKeyA(parent.handle, _name.c_str()));
}

long registry_key::enumerate(const key_handle& parent) {
  key_handle key(parent, _name);
  if (key.result != ERROR_SUCCESS) return translate(key.result);
  for (DWORD index = 0;; ++index) {
    char name[512];
    DWORD size = sizeof name;
    FILETIME written;
    LONG result =
        RegEnumKeyExA(key.handle, index, name, &size, nullptr, nullptr, nullptr, &written);
    if (result == ERROR_NO_MORE_ITEMS) return success;
    long rc = translate(result);
    if (rc != success) return rc;
    _subkeys.push_back(std::make_unique<registry_key>(name));
  }
}

long registry_key::enumerate_all(const key_handle& parent) {
  long rc = enumerate(parent);
  if (rc != success) return rc;
  return pass(parent, _subkeys,
              [](registry_key& s, const key_handle& k) { return s.enumerate_all(k); });
}

}  // namespace registry
}  // namespace xtl
