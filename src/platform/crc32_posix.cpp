#include "platform/crc32.h"

#include <isa-l/crc.h>

namespace quillary {

// ISA-L's carry-less multiplication runs well above the rate at which the page cache delivers bytes.
std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t size) {
    return crc32_gzip_refl(crc, static_cast<const unsigned char*>(data), size);
}

} // namespace quillary
