#include "update/sha256_hash.h"

namespace nuvora {

namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

Sha256Hash::Sha256Hash() {
  if (!Succeeded(BCryptOpenAlgorithmProvider(&_algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    _algorithm = nullptr;
    return;
  }
  if (!Succeeded(BCryptCreateHash(_algorithm, &_hash, nullptr, 0, nullptr, 0, 0))) _hash = nullptr;
}

Sha256Hash::~Sha256Hash() {
  if (_hash) BCryptDestroyHash(_hash);
  if (_algorithm) BCryptCloseAlgorithmProvider(_algorithm, 0);
}

void Sha256Hash::Add(const void* data, std::size_t size) {
  if (!Ok()) return;
  auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));
  _ok = Succeeded(BCryptHashData(_hash, bytes, static_cast<ULONG>(size), 0));
}

bool Sha256Hash::Finish(Sha256Digest* digest) {
  if (!Ok()) return false;
  _ok = Succeeded(BCryptFinishHash(_hash, digest->data(), static_cast<ULONG>(digest->size()), 0));
  return _ok;
}

}  // namespace nuvora
