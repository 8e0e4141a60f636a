// The modern content hashes beside CRC-32: XXH3-64 (fast, not for security) and SHA-256. Each hasher
// is fed the bytes of one file in pieces and then gives its digest; Reset starts the next file, so that
// one hasher serves many files.
//
// Threading: a hasher belongs to one thread at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace quillary {

class Xxh3Hasher {
public:
    Xxh3Hasher();
    ~Xxh3Hasher();
    Xxh3Hasher(const Xxh3Hasher&) = delete;
    Xxh3Hasher& operator=(const Xxh3Hasher&) = delete;

    void Reset();
    void Update(const void* data, std::size_t size);
    std::uint64_t Digest() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

using Sha256Digest = std::array<unsigned char, 32>;

class Sha256Hasher {
public:
    Sha256Hasher();
    ~Sha256Hasher();
    Sha256Hasher(const Sha256Hasher&) = delete;
    Sha256Hasher& operator=(const Sha256Hasher&) = delete;

    void Reset();
    void Update(const void* data, std::size_t size);
    // The digest of the bytes since the last Reset; the hasher must be Reset before it is fed again.
    Sha256Digest Digest();
    // True when the system's hash provider failed since the last Reset: the digest is then not one.
    bool Failed() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace quillary
