// A function of a library the program has already loaded (GTK and ATK, through wxWidgets), looked up
// by name. Declaring the few calls the window needs this way keeps the toolkit's development headers
// out of the build; a missing symbol gives nullptr, and the caller turns its feature off.
#pragma once

#ifdef __WXGTK__
#include <dlfcn.h>

namespace quillary {

template <typename Function> Function LoadedSymbol(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

} // namespace quillary
#endif
