#include <openssl/evp.h>

#include "platform/hashes.h"

namespace quillary {

// OpenSSL's libcrypto, which uses the CPU's SHA instructions where it has them.
struct Sha256Hasher::State {
    EVP_MD_CTX* context = nullptr;
    bool failed = false;
    ~State() { EVP_MD_CTX_free(context); }
};

Sha256Hasher::Sha256Hasher() : m_state(std::make_unique<State>()) {
    m_state->context = EVP_MD_CTX_new();
    Reset();
}

Sha256Hasher::~Sha256Hasher() = default;

void Sha256Hasher::Reset() {
    m_state->failed =
        m_state->context == nullptr || EVP_DigestInit_ex(m_state->context, EVP_sha256(), nullptr) != 1;
}

void Sha256Hasher::Update(const void* data, std::size_t size) {
    if (!m_state->failed && EVP_DigestUpdate(m_state->context, data, size) != 1)
        m_state->failed = true;
}

Sha256Digest Sha256Hasher::Digest() {
    Sha256Digest digest{};
    unsigned int length = 0;
    if (!m_state->failed && EVP_DigestFinal_ex(m_state->context, digest.data(), &length) != 1)
        m_state->failed = true;
    return digest;
}

bool Sha256Hasher::Failed() const {
    return m_state->failed;
}

} // namespace quillary
