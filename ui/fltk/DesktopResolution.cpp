// The desktop's resolution from XSETTINGS and the resource manager string, and the scale it
// gives; see DesktopResolution.h.
#include "DesktopResolution.h"

#include <charconv>
#include <cmath>

namespace {

// A quarter and ten times the usual resolution: beyond them a value is a typing error, and
// taking it would make the window unreadably small or larger than any screen.
constexpr double LowestDotsPerInch = 24.0;
constexpr double HighestDotsPerInch = 960.0;

bool Plausible(double dotsPerInch) {
    return dotsPerInch >= LowestDotsPerInch && dotsPerInch <= HighestDotsPerInch;
}

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view Blanks = " \t";
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// The value text of the last line that names Xft.dpi: when resources are merged, a later line
// overrides an earlier one. Comment lines start with "!" and so never name it.
std::optional<std::string_view> XftDpiValue(std::string_view resources) {
    std::optional<std::string_view> value;
    while (!resources.empty()) {
        const std::size_t end = resources.find('\n');
        const std::string_view line = resources.substr(0, end);
        resources.remove_prefix(end == std::string_view::npos ? resources.size() : end + 1);
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && Trimmed(line.substr(0, colon)) == "Xft.dpi") {
            value = Trimmed(line.substr(colon + 1));
        }
    }
    return value;
}

}  // namespace

double DesktopDotsPerInch(std::string_view resources) {
    const std::optional<std::string_view> value = XftDpiValue(resources);
    if (!value) {
        return DesignDotsPerInch;
    }
    // Read without the locale: the program runs with the user's, whose decimal mark may be a
    // comma, while the resource is written with a point.
    double dotsPerInch = 0;
    const char* end = value->data() + value->size();
    const auto [stop, error] = std::from_chars(value->data(), end, dotsPerInch);
    if (error != std::errc() || stop != end || !Plausible(dotsPerInch)) {
        return DesignDotsPerInch;
    }
    return dotsPerInch;
}

double DesktopDotsPerInch(std::optional<std::int32_t> xsettingsDpi, std::string_view resources) {
    if (xsettingsDpi) {
        // A manager's -1 leaves the choice to the toolkit, which then reads the resources.
        const double served = *xsettingsDpi / 1024.0;
        if (Plausible(served)) {
            return served;
        }
    }
    return DesktopDotsPerInch(resources);
}

ScaleFactor DesktopScale(double dotsPerInch) {
    return {static_cast<int>(std::lround(dotsPerInch)), static_cast<int>(DesignDotsPerInch)};
}
