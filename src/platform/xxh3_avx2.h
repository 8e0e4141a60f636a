// XXH3's update in AVX2 code, kept apart from the rest because it is compiled for a wider instruction
// set than the program may run on.
#pragma once

#include <cstddef>

namespace quillary {

// Whether this build holds the AVX2 code (x86-64 built with GCC or Clang).
bool Xxh3Avx2Built();
// XXH3_64bits_update on `state` (an XXH3_state_t of the inlined xxHash); only on a CPU with AVX2.
void Xxh3Avx2Update(void* state, const void* data, std::size_t size);

} // namespace quillary
