// Look-alikes for the signs a face lacks; see DrawableSigns.h.
#include "DrawableSigns.h"

#include <array>
#include <string_view>

std::string WithDrawableSigns(const std::string& text,
                              const std::function<bool(char32_t)>& hasGlyph) {
    struct LookAlike {
        char32_t Character;
        std::string_view Utf8;
    };
    struct Sign {
        LookAlike Sign;
        // In the order tried; the last, plain ASCII, every face has.
        std::array<LookAlike, 2> LookAlikes;
    };
    constexpr std::array<Sign, 3> signs{{
        // The en dash is as wide as the minus sign; a hyphen is half as wide, and hard to see.
        {{U'\u2212', "\xE2\x88\x92"}, {{{U'\u2013', "\xE2\x80\x93"}, {U'-', "-"}}}},
        {{U'\u00D7', "\xC3\x97"}, {{{U'x', "x"}, {U'x', "x"}}}},
        {{U'\u00F7', "\xC3\xB7"}, {{{U':', ":"}, {U':', ":"}}}},
    }};
    std::string drawable = text;
    for (const Sign& sign : signs) {
        std::size_t at = drawable.find(sign.Sign.Utf8);
        if (at == std::string::npos || hasGlyph(sign.Sign.Character)) {
            continue;
        }
        const LookAlike& lookAlike =
            hasGlyph(sign.LookAlikes[0].Character) ? sign.LookAlikes[0] : sign.LookAlikes[1];
        for (; at != std::string::npos; at = drawable.find(sign.Sign.Utf8, at)) {
            drawable.replace(at, sign.Sign.Utf8.size(), lookAlike.Utf8);
        }
    }
    return drawable;
}
