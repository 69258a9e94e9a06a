// The high-contrast decision from the theme name; see HighContrastTheme.h.
#include "HighContrastTheme.h"

namespace {

constexpr std::string_view HighContrastPrefix = "HighContrast";
constexpr std::string_view InverseSuffix = "Inverse";
constexpr Colour Black{0, 0, 0};
constexpr Colour White{255, 255, 255};

}  // namespace

std::optional<SystemColours> HighContrastThemeColours(std::string_view themeName) {
    if (!themeName.starts_with(HighContrastPrefix)) {
        return std::nullopt;
    }
    const bool inverse = themeName.ends_with(InverseSuffix);
    const Colour text = inverse ? White : Black;
    const Colour ground = inverse ? Black : White;
    return SystemColours{.Window = ground,
                         .WindowText = text,
                         .ButtonFace = ground,
                         .ButtonText = text,
                         .Highlight = text,
                         .HighlightText = ground};
}
