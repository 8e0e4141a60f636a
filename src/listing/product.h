// The product's name and version as every listing header, title and version line shows them. The
// version number comes from the build (the CMake project version), so it is written in one place.
#pragma once

namespace quillary {

inline constexpr const char* kProductName = "Quillary";
inline constexpr const char* kVersionText = "v" QUILLARY_VERSION;
// The project's home page; until it has a public site the help commands open the bundled guide.
inline constexpr const char* kHomePage = "";

} // namespace quillary
