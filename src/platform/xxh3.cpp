#include "platform/hashes.h"

// The header-only build of xxHash: everything inlined into this file, nothing to link.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace quillary {

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
    XXH3_64bits_update(&m_state->state, data, size);
}

std::uint64_t Xxh3Hasher::Digest() const {
    return XXH3_64bits_digest(&m_state->state);
}

} // namespace quillary
