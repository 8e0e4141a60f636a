#include "platform/crc32.h"

#include <zlib.h>

#include <algorithm>

namespace quillary {

// zlib's CRC-32 (linked statically): ISA-L has no Windows build from this toolchain.
std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const Bytef*>(data);
    uLong value = crc;
    while (size > 0) {
        const auto piece = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
        value = crc32(value, bytes, piece);
        bytes += piece;
        size -= piece;
    }
    return static_cast<std::uint32_t>(value);
}

} // namespace quillary
