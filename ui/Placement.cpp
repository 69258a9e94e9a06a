// The integer text of the stored position and the show-time placement rule.
#include "Placement.h"

#include <algorithm>
#include <vector>

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Leading zeros are not significant: "$000000001" is one digit and valid.
std::optional<std::int32_t> HexValue(std::string_view digits) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    int significant = 0;
    for (char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        if (value != 0 || digit != 0) {
            ++significant;
        }
        if (significant > 8) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> DecimalValue(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

// The text after a hexadecimal prefix, or nullopt when the text has none.
std::optional<std::string_view> AfterHexPrefix(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X")) {
        return text.substr(2);
    }
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
        return text.substr(1);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::int32_t> TextToInteger(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    text.remove_prefix(start);
    if (const auto digits = AfterHexPrefix(text)) {
        return HexValue(*digits);
    }
    return DecimalValue(text);
}

Point PlaceWindow(const std::function<std::string(const std::string&)>& readSetting,
                  const ScreenLayout& screens, int windowWidth, int windowHeight) {
    // On Windows the primary screen starts at 0, 0, so its right edge is its width; an X server
    // may put it anywhere in the desktop, so its edges are what count.
    const Point fallback{screens.Primary.Right() - windowWidth, screens.Primary.Top + FallbackTop};

    const std::optional<std::int32_t> left = TextToInteger(readSetting("CalcLeft"));
    if (!left) {
        return fallback;
    }
    const std::optional<std::int32_t> top = TextToInteger(readSetting("CalcTop"));
    if (!top) {
        return fallback;
    }
    // Measured against the whole desktop, not the primary screen: a window left on a monitor
    // right of or below the primary one comes back there, as one left or above it always did.
    Point placed{*left, *top};
    if (placed.X > screens.Desktop.Right()) {
        placed.X = screens.Desktop.Right() - windowWidth;
    }
    if (placed.Y > screens.Desktop.Bottom()) {
        placed.Y = screens.Desktop.Bottom() - windowHeight;
    }

    // A position left over from a monitor that has since been unplugged would leave a window
    // without a title bar that nobody can reach or drag back.
    const Rect window{placed.X, placed.Y, windowWidth, windowHeight};
    const std::vector<Rect> monitors =
        screens.Monitors.empty() ? std::vector<Rect>{screens.Primary} : screens.Monitors;
    const bool reachable = std::any_of(monitors.begin(), monitors.end(), [&](const Rect& monitor) {
        return monitor.Intersects(window);
    });
    return reachable ? placed : fallback;
}
