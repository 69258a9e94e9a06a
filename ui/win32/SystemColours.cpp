// The system's colours and the high-contrast decision; see SystemColours.h.
#include "SystemColours.h"

COLORREF ColourReference(Colour colour) {
    return RGB(colour.Red, colour.Green, colour.Blue);
}

Colour ColourOf(COLORREF reference) {
    return {GetRValue(reference), GetGValue(reference), GetBValue(reference)};
}

std::optional<SystemColours> HighContrastColours(const HIGHCONTRASTW& setting,
                                                 const std::function<COLORREF(int)>& systemColour) {
    if ((setting.dwFlags & HCF_HIGHCONTRASTON) == 0) {
        return std::nullopt;
    }
    auto colour = [&](int index) { return ColourOf(systemColour(index)); };
    return SystemColours{.Window = colour(COLOR_WINDOW),
                         .WindowText = colour(COLOR_WINDOWTEXT),
                         .ButtonFace = colour(COLOR_BTNFACE),
                         .ButtonText = colour(COLOR_BTNTEXT),
                         .Highlight = colour(COLOR_HIGHLIGHT),
                         .HighlightText = colour(COLOR_HIGHLIGHTTEXT)};
}

std::optional<SystemColours> SystemHighContrastColours() {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof(setting);
    if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0)) {
        return std::nullopt;
    }
    return HighContrastColours(setting, [](int index) { return GetSysColor(index); });
}
