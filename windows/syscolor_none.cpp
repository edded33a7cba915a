#include "windows/syscolor.h"

// No numbered system colours here: callers fall back to the nearest role of the palette.
std::optional<std::uint32_t> syscolor::systemColour(int)
{
    return std::nullopt;
}

// Nor a high-contrast switch: the palette tells what it can.
std::optional<bool> syscolor::highContrast()
{
    return std::nullopt;
}
