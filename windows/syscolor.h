#pragma once

#include <cstdint>
#include <optional>

// The desktop's numbered system colours, where the platform keeps such a table. Free of Qt so
// that the Windows implementation builds without it.
namespace syscolor {

inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;

// The colour as 0xRRGGBB, or nothing where the platform has no such colour.
std::optional<std::uint32_t> systemColour(int index);

// Whether the desktop's high-contrast switch is on, or nothing where the platform has no such switch.
std::optional<bool> highContrast();

}
