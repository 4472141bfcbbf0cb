// One running Nuvora per product.
#pragma once

namespace nuvora {

// Claims the product for this process. When another Nuvora already checks it,
// brings that one's window to the front and returns false.
bool ClaimProduct(const char* product);

}  // namespace nuvora
