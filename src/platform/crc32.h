// The standard reflected CRC-32 (polynomial 0xEDB88320, as in gzip and zip).
#pragma once

#include <cstddef>
#include <cstdint>

namespace quillary {

// Continues a CRC-32 over more bytes; start with 0 for a new checksum.
std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size);

} // namespace quillary
