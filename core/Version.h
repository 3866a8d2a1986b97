#pragma once
// The program's version, from the build's project version (CMakeLists.txt).

namespace torvane {

inline constexpr int kVersionMajor = TORVANE_VERSION_MAJOR;
inline constexpr int kVersionMinor = TORVANE_VERSION_MINOR;
/// "4.11"
inline constexpr char kVersion[] = TORVANE_VERSION;

}  // namespace torvane
