#include "listing/html_style.h"

#include <algorithm>
#include <cstdlib>

namespace quillary {

int PointSizeFromHeight(std::int32_t lfHeight, int pixelsPerInch) {
    if (pixelsPerInch == 0)
        return kMinPointSize;
    // MulDiv: 64-bit product, rounded half away from zero.
    const std::int64_t product = static_cast<std::int64_t>(lfHeight) * 72;
    const std::int64_t half = std::llabs(pixelsPerInch) / 2;
    std::int64_t quotient = (std::llabs(product) + half) / std::llabs(pixelsPerInch);
    if ((product < 0) != (pixelsPerInch < 0))
        quotient = -quotient;
    return static_cast<int>(std::clamp<std::int64_t>(-quotient, kMinPointSize, kMaxPointSize));
}

} // namespace quillary
