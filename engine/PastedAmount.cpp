// The text is taken apart into its sign, its currency and a body of digit runs with the
// separators between them; the separators get their roles, and the digits that remain are read by
// the decimal grammar, so rounding and range are those of typed amounts.

#include "PastedAmount.h"

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "AmountParse.h"

namespace {

// Spaces may also group digits; the other blanks only stand around the amount.
constexpr std::string_view Spaces[] = {" ",
                                       "\xC2\xA0",       // no-break space
                                       "\xE2\x80\xAF",   // narrow no-break space
                                       "\xE2\x80\x89"};  // thin space
constexpr std::string_view OtherBlanks[] = {"\t", "\r", "\n"};
constexpr std::string_view CurrencySigns[] = {"\xE2\x82\xAC", "EUR"};
constexpr std::string_view MinusSigns[] = {"-", "\xE2\x88\x92"};
constexpr std::string_view PlusSigns[] = {"+"};
// Every space between digits counts as this one separator, so "1 234" and "1\u00A0234" agree.
constexpr std::string_view SpaceSeparator = " ";
constexpr std::size_t DigitsPerGroup = 3;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Removes the first candidate that begins the text and tells whether one did.
bool TakeFront(std::string_view& text, std::span<const std::string_view> candidates) {
    for (const std::string_view candidate : candidates) {
        if (text.starts_with(candidate)) {
            text.remove_prefix(candidate.size());
            return true;
        }
    }
    return false;
}

bool TakeBack(std::string_view& text, std::span<const std::string_view> candidates) {
    for (const std::string_view candidate : candidates) {
        if (text.ends_with(candidate)) {
            text.remove_suffix(candidate.size());
            return true;
        }
    }
    return false;
}

void SkipFrontBlanks(std::string_view& text) {
    while (TakeFront(text, Spaces) || TakeFront(text, OtherBlanks)) {
    }
}

void SkipBackBlanks(std::string_view& text) {
    while (TakeBack(text, Spaces) || TakeBack(text, OtherBlanks)) {
    }
}

// "-", "+" or nothing, taken from the front of the text with the blanks after it.
std::string_view TakeSign(std::string_view& text) {
    std::string_view sign;
    if (TakeFront(text, MinusSigns)) {
        sign = "-";
    } else if (TakeFront(text, PlusSigns)) {
        sign = "+";
    }
    SkipFrontBlanks(text);
    return sign;
}

// The digits of an amount and the separators between them: Runs has one more element than
// Separators, and a run may be empty where two separators meet or at either end.
struct Body {
    std::vector<std::string_view> Runs;
    std::vector<std::string_view> Separators;
};

// The body taken apart, or nothing when it holds anything but digits and separators.
std::optional<Body> SplitBody(std::string_view text, std::string_view decimal,
                              std::string_view thousands) {
    Body body;
    std::size_t runStart = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        if (IsDigit(text[at])) {
            ++at;
            continue;
        }
        body.Runs.push_back(text.substr(runStart, at - runStart));
        std::string_view rest = text.substr(at);
        if (TakeFront(rest, Spaces)) {
            body.Separators.push_back(SpaceSeparator);
        } else if (!thousands.empty() && rest.starts_with(thousands)) {
            body.Separators.push_back(thousands);
            rest.remove_prefix(thousands.size());
        } else if (rest.starts_with('.') || rest.starts_with(',') || rest.starts_with(decimal)) {
            body.Separators.push_back(rest.substr(0, 1));
            rest.remove_prefix(1);
        } else {
            return std::nullopt;
        }
        at = text.size() - rest.size();
        runStart = at;
    }
    body.Runs.push_back(text.substr(runStart));
    return body;
}

// The index of the decimal separator among the body's separators; Separators.size() when there
// is none.
std::size_t DecimalIndex(const Body& body, std::string_view decimal) {
    const std::vector<std::string_view>& separators = body.Separators;
    const auto canBeDecimal = [&](std::string_view mark) {
        return mark == "." || mark == "," || mark == decimal;
    };
    const auto firstCandidate = std::find_if(separators.begin(), separators.end(), canBeDecimal);
    if (firstCandidate == separators.end()) {
        return separators.size();
    }
    const std::string_view mark = *firstCandidate;
    const bool otherCandidate = std::any_of(separators.begin(), separators.end(), [&](auto other) {
        return other != mark && canBeDecimal(other);
    });
    if (otherCandidate) {
        // Both conventions at once: the later one separates the decimals.
        return separators.size() - 1;
    }
    if (std::count(separators.begin(), separators.end(), mark) > 1) {
        return separators.size();  // repeated, so it groups
    }
    const auto index = static_cast<std::size_t>(firstCandidate - separators.begin());
    const bool groupsNext = body.Runs[index + 1].size() == DigitsPerGroup;
    return mark == decimal || !groupsNext ? index : separators.size();
}

// The integer and fraction digits when every separator stands where its role puts it.
std::optional<std::string> AmountDigits(const Body& body, std::size_t decimalAt) {
    const std::vector<std::string_view>& separators = body.Separators;
    const bool hasDecimal = decimalAt < separators.size();
    if (hasDecimal &&
        (decimalAt + 1 != separators.size() || body.Runs.back().empty() ||
         std::count(separators.begin(), separators.end(), separators[decimalAt]) != 1)) {
        return std::nullopt;
    }
    // Every separator before the decimal one groups thousands.
    const bool firstGroupFits =
        !body.Runs.front().empty() && body.Runs.front().size() <= DigitsPerGroup;
    std::string digits(body.Runs.front());
    for (std::size_t i = 0; i < decimalAt; ++i) {
        const std::string_view group = body.Runs[i + 1];
        if (separators[i] != separators.front() || !firstGroupFits ||
            group.size() != DigitsPerGroup) {
            return std::nullopt;
        }
        digits += group;
    }
    if (hasDecimal) {
        digits.append(".").append(body.Runs.back());
    }
    return digits.empty() ? std::nullopt : std::optional(digits);
}

}  // namespace

std::optional<Currency> ReadPastedAmount(std::string_view text, char decimalSeparator,
                                         std::string_view thousandsSeparator) {
    const std::string_view decimal(&decimalSeparator, 1);
    if (thousandsSeparator == decimal) {
        thousandsSeparator = {};  // a locale cannot mean both
    }

    SkipFrontBlanks(text);
    SkipBackBlanks(text);
    std::string_view sign = TakeSign(text);
    const bool currencyBefore = TakeFront(text, CurrencySigns);
    SkipFrontBlanks(text);
    if (sign.empty()) {
        sign = TakeSign(text);
    }
    if (!currencyBefore && TakeBack(text, CurrencySigns)) {
        SkipBackBlanks(text);
    }

    const std::optional<Body> body = SplitBody(text, decimal, thousandsSeparator);
    if (!body) {
        return std::nullopt;
    }
    const std::optional<std::string> digits = AmountDigits(*body, DecimalIndex(*body, decimal));
    if (!digits) {
        return std::nullopt;
    }
    return ParseAmountText(std::string(sign) + *digits, '.');
}
