// One running Nuvora per product.
#pragma once
#include <windows.h>

namespace nuvora {

// Claims the product for this process, for as long as the object lives. When
// another Nuvora already checks it, brings that one's window to the front
// instead, and Held() is false.
class ProductClaim {
 public:
  explicit ProductClaim(const char* product);
  ~ProductClaim();
  ProductClaim(const ProductClaim&) = delete;
  ProductClaim& operator=(const ProductClaim&) = delete;

  bool Held() const { return _held; }

 private:
  HANDLE _mutex = nullptr;
  HANDLE _record = nullptr;  // the first instance's process id, for a second start
  bool _held = false;
};

}  // namespace nuvora
