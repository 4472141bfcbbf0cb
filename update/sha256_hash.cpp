#include "update/sha256_hash.h"

namespace nuvora {

namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

Sha256Hash::Sha256Hash() {
  if (!Succeeded(BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    algorithm_ = nullptr;
    return;
  }
  if (!Succeeded(BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0))) hash_ = nullptr;
}

Sha256Hash::~Sha256Hash() {
  if (hash_) BCryptDestroyHash(hash_);
  if (algorithm_) BCryptCloseAlgorithmProvider(algorithm_, 0);
}

void Sha256Hash::Add(const void* data, std::size_t size) {
  if (!ok()) return;
  auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));
  ok_ = Succeeded(BCryptHashData(hash_, bytes, static_cast<ULONG>(size), 0));
}

bool Sha256Hash::Finish(Sha256Digest* digest) {
  if (!ok()) return false;
  ok_ = Succeeded(BCryptFinishHash(hash_, digest->data(), static_cast<ULONG>(digest->size()), 0));
  return ok_;
}

}  // namespace nuvora
