// The desktop's system colours, through user32. Kept free of Qt.
#include "windows/syscolor.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

static_assert(syscolor::CaptionText == COLOR_CAPTIONTEXT && syscolor::HighlightText == COLOR_HIGHLIGHTTEXT);

std::optional<std::uint32_t> syscolor::systemColour(int index)
{
    // COLORREF keeps red in the low byte.
    const COLORREF colour = ::GetSysColor(index);
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16)
           | (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

std::optional<bool> syscolor::highContrast()
{
    HIGHCONTRASTW settings{};
    settings.cbSize = sizeof settings;
    if (!::SystemParametersInfoW(SPI_GETHIGHCONTRAST, settings.cbSize, &settings, 0))
        return std::nullopt;
    return (settings.dwFlags & HCF_HIGHCONTRASTON) != 0;
}
