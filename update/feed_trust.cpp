#include "update/feed_trust.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstring>

#include "update/sha256_hash.h"

namespace nuvora {

namespace {

const char kTrustedKeys[] = "Software\\Morvel Software Development\\Nuvora\\Trusted Keys";
const char kSerials[] = "Software\\Morvel Software Development\\Nuvora\\Feed Serials";

bool Succeeded(NTSTATUS status) { return status >= 0; }

void AddKey(const std::string& text, std::vector<FeedKey>* keys) {
  if (auto key = ParseFeedKey(text)) keys->push_back(*key);
}

// Section names match without regard to case, so the remembered Serial does too.
std::string ValueName(const std::string& product) {
  std::string name = product;
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

bool Verifies(BCRYPT_ALG_HANDLE algorithm, const FeedKey& key, Sha256Digest& digest,
              const FeedSignature& signature) {
  unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + sizeof key] = {};
  BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
  std::memcpy(blob, &header, sizeof header);
  std::memcpy(blob + sizeof header, key.data(), key.size());
  BCRYPT_KEY_HANDLE handle = nullptr;
  if (!Succeeded(BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle, blob,
                                     sizeof blob, 0)))
    return false;
  FeedSignature copy = signature;
  const bool ok = Succeeded(BCryptVerifySignature(handle, nullptr, digest.data(),
                                                  static_cast<ULONG>(digest.size()), copy.data(),
                                                  static_cast<ULONG>(copy.size()), 0));
  BCryptDestroyKey(handle);
  return ok;
}

}  // namespace

std::vector<FeedKey> TrustedFeedKeys(const std::vector<std::string>& builtIn) {
  std::vector<FeedKey> keys;
  for (const auto& text : builtIn) AddKey(text, &keys);
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTrustedKeys, 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS)
    return keys;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD nameSize = sizeof name, type = 0;
    BYTE data[260] = {};
    DWORD dataSize = sizeof data - 1;
    const LONG result = RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    std::string text(reinterpret_cast<char*>(data), dataSize);
    while (!text.empty() && (text.back() == '\0' || text.back() == ' ')) text.pop_back();
    AddKey(text, &keys);
  }
  RegCloseKey(key);
  return keys;
}

bool IsSignedBy(const std::string& feed, const FeedSignature& signature,
                const std::vector<FeedKey>& keys) {
  Sha256Hash hash;
  hash.Add(feed.data(), feed.size());
  Sha256Digest digest{};
  if (!hash.Finish(&digest)) return false;
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!Succeeded(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0)))
    return false;
  bool signedBy = false;
  for (const auto& key : keys)
    if ((signedBy = Verifies(algorithm, key, digest, signature))) break;
  BCryptCloseAlgorithmProvider(algorithm, 0);
  return signedBy;
}

std::optional<std::uint64_t> LastFeedSerial(const std::string& product) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSerials, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return std::nullopt;
  ULONGLONG serial = 0;
  DWORD type = 0, size = sizeof serial;
  const bool found = RegQueryValueExA(key, ValueName(product).c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(&serial), &size) == ERROR_SUCCESS &&
                     type == REG_QWORD && size == sizeof serial;
  RegCloseKey(key);
  if (!found) return std::nullopt;
  return serial;
}

void RememberFeedSerial(const std::string& product, std::uint64_t serial) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSerials, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  const ULONGLONG value = serial;
  RegSetValueExA(key, ValueName(product).c_str(), 0, REG_QWORD,
                 reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

Date TodayUtc() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  return {now.wYear, now.wMonth, now.wDay};
}

}  // namespace nuvora
