#pragma once
// The XSETTINGS format: the settings an X desktop shares with its programs (theme, fonts, and
// more), which the settings manager keeps in the _XSETTINGS_SETTINGS property of the window that
// owns the _XSETTINGS_S0 selection. The property comes from another program, so every length and
// count in it is checked against the bytes really there. No Xlib: the caller reads the property.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The value of the string setting called name (such as "Net/ThemeName"); nullopt when the
// property has no such setting, has it with a number or a colour, or is not well formed anywhere.
// Where a name comes twice, the later setting counts.
std::optional<std::string> XSettingsString(std::span<const std::uint8_t> property,
                                           std::string_view name);

// The value of the integer setting called name (such as "Xft/DPI"), under the same rules.
std::optional<std::int32_t> XSettingsInteger(std::span<const std::uint8_t> property,
                                             std::string_view name);
