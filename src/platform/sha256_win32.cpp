#include <windows.h>

#include <bcrypt.h>

#include <algorithm>

#include "platform/hashes.h"

namespace quillary {

// The system's CNG provider. The algorithm is opened once per hasher and a hash object made per file.
struct Sha256Hasher::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool failed = false;
    ~State() {
        if (hash != nullptr)
            BCryptDestroyHash(hash);
        if (algorithm != nullptr)
            BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

Sha256Hasher::Sha256Hasher() : m_state(std::make_unique<State>()) {
    if (!BCRYPT_SUCCESS(
            BCryptOpenAlgorithmProvider(&m_state->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        m_state->algorithm = nullptr;
    Reset();
}

Sha256Hasher::~Sha256Hasher() = default;

void Sha256Hasher::Reset() {
    if (m_state->hash != nullptr) {
        BCryptDestroyHash(m_state->hash);
        m_state->hash = nullptr;
    }
    m_state->failed =
        m_state->algorithm == nullptr ||
        !BCRYPT_SUCCESS(BCryptCreateHash(m_state->algorithm, &m_state->hash, nullptr, 0, nullptr, 0, 0));
    if (m_state->failed)
        m_state->hash = nullptr;
}

void Sha256Hasher::Update(const void* data, std::size_t size) {
    auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));
    while (size > 0 && !m_state->failed) {
        const auto piece = static_cast<ULONG>(std::min<std::size_t>(size, 1u << 30));
        m_state->failed = !BCRYPT_SUCCESS(BCryptHashData(m_state->hash, bytes, piece, 0));
        bytes += piece;
        size -= piece;
    }
}

Sha256Digest Sha256Hasher::Digest() {
    Sha256Digest digest{};
    if (!m_state->failed)
        m_state->failed = !BCRYPT_SUCCESS(
            BCryptFinishHash(m_state->hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
    return digest;
}

bool Sha256Hasher::Failed() const {
    return m_state->failed;
}

} // namespace quillary
