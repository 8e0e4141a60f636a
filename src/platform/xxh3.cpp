#include "platform/hashes.h"

// The header-only build of xxHash: everything inlined into this file, nothing to link.
#define XXH_INLINE_ALL
#include <xxhash.h>

#include "platform/xxh3_avx2.h"

namespace quillary {

namespace {

// Every implementation gives the same hash: the fastest one the CPU runs is taken.
bool UseAvx2() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    static const bool avx2 = __builtin_cpu_supports("avx2") && Xxh3Avx2Built();
    return avx2;
#else
    return false;
#endif
}

} // namespace

struct Xxh3Hasher::State {
    XXH3_state_t state; // 64-byte aligned; operator new honours its alignment
};

Xxh3Hasher::Xxh3Hasher() : m_state(std::make_unique<State>()) {
    Reset();
}

Xxh3Hasher::~Xxh3Hasher() = default;

void Xxh3Hasher::Reset() {
    XXH3_64bits_reset(&m_state->state);
}

void Xxh3Hasher::Update(const void* data, std::size_t size) {
    if (UseAvx2())
        Xxh3Avx2Update(&m_state->state, data, size);
    else
        XXH3_64bits_update(&m_state->state, data, size);
}

std::uint64_t Xxh3Hasher::Digest() const {
    return XXH3_64bits_digest(&m_state->state);
}

} // namespace quillary
