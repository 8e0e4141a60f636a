// Which system the tests run on, for tests that skip what the other system cannot do.
#pragma once

namespace quillary::test {

#ifdef _WIN32
inline constexpr bool kOnWindows = true;
#else
inline constexpr bool kOnWindows = false;
#endif

} // namespace quillary::test
