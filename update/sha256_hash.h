// SHA-256 of a file as it arrives, by the platform's CNG provider.
#pragma once
#include <windows.h>
#include <bcrypt.h>

#include <cstddef>

#include "update/sha256_text.h"

namespace nuvora {

class Sha256Hash {
 public:
  Sha256Hash();
  ~Sha256Hash();
  Sha256Hash(const Sha256Hash&) = delete;
  Sha256Hash& operator=(const Sha256Hash&) = delete;

  bool Ok() const { return _hash != nullptr && _ok; }
  void Add(const void* data, std::size_t size);
  // The digest of everything added; false when the provider failed anywhere.
  bool Finish(Sha256Digest* digest);

 private:
  BCRYPT_ALG_HANDLE _algorithm = nullptr;
  BCRYPT_HASH_HANDLE _hash = nullptr;
  bool _ok = true;
};

}  // namespace nuvora
