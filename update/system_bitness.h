// Whether Nuvora runs on 64-bit Windows, which decides the installer it fetches.
#pragma once

namespace nuvora {

// True in the x86_64 build, and in the i686 build under WOW64.
bool Is64BitWindows();

}  // namespace nuvora
