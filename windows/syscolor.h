#pragma once

#include <cstdint>
#include <optional>

// The desktop's numbered system colours, where the platform keeps such a table. Free of Qt so
// that the Windows implementation builds without it.
namespace syscolor {

// Windows' COLOR_CAPTIONTEXT and COLOR_HIGHLIGHTTEXT, under names of their own: <windows.h>
// makes those names macros, which would break this header wherever it is included after it.
inline constexpr int CaptionText = 9;
inline constexpr int HighlightText = 14;

// The colour as 0xRRGGBB, or nothing where the platform has no such colour.
std::optional<std::uint32_t> systemColour(int index);

// Whether the desktop's high-contrast switch is on, or nothing where the platform has no such switch.
std::optional<bool> highContrast();

}
